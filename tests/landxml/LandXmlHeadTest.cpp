// The document head in both flavours, and the Units block of every unit code.
#include "landxml/LandXmlFixture.h"

namespace vialto::test {
namespace {

using ::testing::HasSubstr;
using LandXmlHead = LandXmlFixture;

TEST_F(LandXmlHead, HeadOfBothFlavoursIsByteExact) {
    for (const bool extended : {false, true}) {
        SetOutputFile(out.string());
        AppModel().IsOstXML = extended;
        BeginDocument();
        ExpectGolden(extended ? "head_extended.xml" : "head_plain.xml", FinishDocument());
    }
}

TEST_F(LandXmlHead, AuthorIsEscapedAndUtf8) {
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_TRUE(TagApplication("Jos\xC3\xA9 \"P\" & Co"));
    EXPECT_THAT(FinishDocument(),
                HasSubstr("<Author createdBy=\"Jos\xC3\xA9 &quot;P&quot; &amp; Co\" />"));
}

TEST_F(LandXmlHead, UnitsBlockOfEveryUnitCodeAndNoneOfAnUnknownOne) {
    const char *units[8][3] = {{"squareMillimeter", "millimeter", "cubicMeter"},
                               {"squareCentimeter", "centimeter", "cubicMeter"},
                               {"squareMeter", "meter", "cubicMeter"},
                               {"hectare", "kilometer", "hectareMeter"},
                               {"squareFoot", "foot", "cubicFeet"},
                               {"squareFoot", "USSurveyFoot", "cubicFeet"},
                               {"squareInch", "inch", "cubicInch"},
                               {"squareMiles", "mile", "cubicFeet"}};
    for (int code = 1; code <= 8; ++code) {
        const char **u = units[code - 1];
        const std::string line = std::string(code <= 4 ? "<Metric" : "<Imperial") + " areaUnit=\"" +
                                 u[0] + "\" linearUnit=\"" + u[1] + "\" volumeUnit=\"" + u[2] +
                                 "\" temperatureUnit=\"" +
                                 (code <= 4 ? "celsius\" pressureUnit=\"HPA\" />"
                                            : "fahrenheit\" pressureUnit=\"inHG\" />");
        SetOutputFile(out.string());
        BeginDocument(code);
        EXPECT_EQ(MainLevel(), 1) << code;
        EXPECT_THAT(FinishDocument(),
                    HasSubstr("\r\n\t<Units>\r\n\t\t" + line + "\r\n\t</Units>\r\n</LandXML>\r\n"))
            << code;
    }
    // An unknown code writes nothing and is reported.
    SetOutputFile(out.string());
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_FALSE(TagUnits(9));
    ExpectMessage("CLandXML.TagUnits");
    EXPECT_EQ(MainLevel(), 1);
    EXPECT_THAT(FinishDocument(), ::testing::Not(HasSubstr("Units")));
}

} // namespace
} // namespace vialto::test
