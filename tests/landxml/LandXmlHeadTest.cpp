// The document head in both flavours, and the Units block of every unit code.
#include "LandXmlFixture.h"

namespace vialto::test {
namespace {

using ::testing::HasSubstr;
using LandXmlHead = LandXmlFixture;

TEST_F(LandXmlHead, PlainHeadIsByteExactAndValid) {
    BeginDocument();
    const std::string bytes = FinishDocument();
    ExpectGolden("head_plain.xml", bytes);
    EXPECT_EQ(ValidateLandXmlKnownForms(out), "");
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(LandXmlHead, ExtendedHeadIsByteExactAndValid) {
    AppModel().IsOstXML = true;
    BeginDocument();
    const std::string bytes = FinishDocument();
    ExpectGolden("head_extended.xml", bytes);
    EXPECT_EQ(ValidateLandXmlKnownForms(out), "");
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(LandXmlHead, ProjectAndAuthorTextsAreEscapedAndUtf8) {
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_TRUE(TagApplication("Jos\xC3\xA9 \"P\" & Co"));
    EXPECT_TRUE(TagProject("<a.plt + b.alz>", "tilde~ok"));
    const std::string bytes = FinishDocument();
    EXPECT_THAT(bytes, HasSubstr("<Author createdBy=\"Jos\xC3\xA9 &quot;P&quot; &amp; Co\" />"));
    EXPECT_THAT(bytes,
                HasSubstr("\t<Project name=\"&lt;a.plt + b.alz&gt;\" desc=\"tilde~ok\" />\r\n"));
    EXPECT_EQ(ValidateLandXmlKnownForms(out), "");
}

struct UnitCase {
    int Code;
    const char *Line;
};

TEST_F(LandXmlHead, UnitsBlockOfEveryUnitCodeIsExactAndValid) {
    const std::vector<UnitCase> cases = {
        {1, "<Metric areaUnit=\"squareMillimeter\" linearUnit=\"millimeter\" "
            "volumeUnit=\"cubicMeter\" temperatureUnit=\"celsius\" pressureUnit=\"HPA\" />"},
        {2, "<Metric areaUnit=\"squareCentimeter\" linearUnit=\"centimeter\" "
            "volumeUnit=\"cubicMeter\" temperatureUnit=\"celsius\" pressureUnit=\"HPA\" />"},
        {3, "<Metric areaUnit=\"squareMeter\" linearUnit=\"meter\" volumeUnit=\"cubicMeter\" "
            "temperatureUnit=\"celsius\" pressureUnit=\"HPA\" />"},
        {4, "<Metric areaUnit=\"hectare\" linearUnit=\"kilometer\" volumeUnit=\"hectareMeter\" "
            "temperatureUnit=\"celsius\" pressureUnit=\"HPA\" />"},
        {5, "<Imperial areaUnit=\"squareFoot\" linearUnit=\"foot\" volumeUnit=\"cubicFeet\" "
            "temperatureUnit=\"fahrenheit\" pressureUnit=\"inHG\" />"},
        {6, "<Imperial areaUnit=\"squareFoot\" linearUnit=\"USSurveyFoot\" "
            "volumeUnit=\"cubicFeet\" temperatureUnit=\"fahrenheit\" pressureUnit=\"inHG\" />"},
        {7, "<Imperial areaUnit=\"squareInch\" linearUnit=\"inch\" volumeUnit=\"cubicInch\" "
            "temperatureUnit=\"fahrenheit\" pressureUnit=\"inHG\" />"},
        {8, "<Imperial areaUnit=\"squareMiles\" linearUnit=\"mile\" volumeUnit=\"cubicFeet\" "
            "temperatureUnit=\"fahrenheit\" pressureUnit=\"inHG\" />"},
    };
    for (const UnitCase &c : cases) {
        SetOutputFile(out.string());
        BeginDocument(c.Code);
        EXPECT_EQ(MainLevel(), 1) << c.Code;
        const std::string bytes = FinishDocument();
        EXPECT_THAT(bytes, HasSubstr("\r\n\t<Units>\r\n\t\t" + std::string(c.Line) +
                                     "\r\n\t</Units>\r\n</LandXML>\r\n"))
            << c.Code;
        EXPECT_EQ(ValidateLandXmlKnownForms(out), "") << c.Code;
    }
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(LandXmlHead, UnknownUnitCodeWritesNothingAndIsReported) {
    ASSERT_TRUE(TagLandXML(false));
    for (int code : {0, 9, -3}) {
        ui.Messages.clear();
        EXPECT_FALSE(TagUnits(code)) << code;
        ASSERT_EQ(ui.Messages.size(), 1u);
        EXPECT_THAT(ui.Messages[0].Text, HasSubstr("CLandXML.TagUnits"));
    }
    EXPECT_EQ(MainLevel(), 1);
    EXPECT_TRUE(TagProject("p", ""));
    const std::string bytes = FinishDocument();
    EXPECT_THAT(bytes, ::testing::Not(HasSubstr("Units")));
    EXPECT_EQ(ValidateLandXmlKnownForms(out), "");
}

} // namespace
} // namespace vialto::test
