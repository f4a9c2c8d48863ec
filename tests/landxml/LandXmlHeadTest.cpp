// The document head in both flavours, and the Units block of every unit code.
#include "LandXmlFixture.h"

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

TEST_F(LandXmlHead, ProjectAndAuthorTextsAreEscapedAndUtf8) {
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_TRUE(TagApplication("Jos\xC3\xA9 \"P\" & Co"));
    EXPECT_TRUE(TagProject("<a.plt + b.alz>", "tilde~ok"));
    const std::string bytes = FinishDocument();
    EXPECT_THAT(bytes, HasSubstr("<Author createdBy=\"Jos\xC3\xA9 &quot;P&quot; &amp; Co\" />"));
    EXPECT_THAT(bytes,
                HasSubstr("\t<Project name=\"&lt;a.plt + b.alz&gt;\" desc=\"tilde~ok\" />\r\n"));
}

TEST_F(LandXmlHead, UnitsBlockOfEveryUnitCode) {
    const std::string metric = "temperatureUnit=\"celsius\" pressureUnit=\"HPA\" />";
    const std::string imperial = "temperatureUnit=\"fahrenheit\" pressureUnit=\"inHG\" />";
    const std::vector<std::string> lines = {
        "<Metric areaUnit=\"squareMillimeter\" linearUnit=\"millimeter\" "
        "volumeUnit=\"cubicMeter\" " +
            metric,
        "<Metric areaUnit=\"squareCentimeter\" linearUnit=\"centimeter\" "
        "volumeUnit=\"cubicMeter\" " +
            metric,
        "<Metric areaUnit=\"squareMeter\" linearUnit=\"meter\" volumeUnit=\"cubicMeter\" " + metric,
        "<Metric areaUnit=\"hectare\" linearUnit=\"kilometer\" volumeUnit=\"hectareMeter\" " +
            metric,
        "<Imperial areaUnit=\"squareFoot\" linearUnit=\"foot\" volumeUnit=\"cubicFeet\" " +
            imperial,
        "<Imperial areaUnit=\"squareFoot\" linearUnit=\"USSurveyFoot\" volumeUnit=\"cubicFeet\" " +
            imperial,
        "<Imperial areaUnit=\"squareInch\" linearUnit=\"inch\" volumeUnit=\"cubicInch\" " +
            imperial,
        "<Imperial areaUnit=\"squareMiles\" linearUnit=\"mile\" volumeUnit=\"cubicFeet\" " +
            imperial,
    };
    for (int code = 1; code <= 8; ++code) {
        SetOutputFile(out.string());
        BeginDocument(code);
        EXPECT_EQ(MainLevel(), 1) << code;
        EXPECT_THAT(FinishDocument(), HasSubstr("\r\n\t<Units>\r\n\t\t" + lines[code - 1] +
                                                "\r\n\t</Units>\r\n</LandXML>\r\n"))
            << code;
    }
}

TEST_F(LandXmlHead, UnknownUnitCodeWritesNothingAndIsReported) {
    ASSERT_TRUE(TagLandXML(false));
    for (int code : {0, 9, -3}) {
        EXPECT_FALSE(TagUnits(code)) << code;
        ExpectMessage("CLandXML.TagUnits");
    }
    EXPECT_EQ(MainLevel(), 1);
    EXPECT_TRUE(TagProject("p", ""));
    EXPECT_THAT(FinishDocument(), ::testing::Not(HasSubstr("Units")));
}

} // namespace
} // namespace vialto::test
