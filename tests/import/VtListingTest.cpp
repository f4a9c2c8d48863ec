// The vertical listing reader: the plain form's header, letters and passes,
// the progressive conversion against independent arithmetic, the printed
// report's pages, the RTF report's blocks, and bad input.
#include "VtListing.h"

#include "AppModel.h"
#include "TestSupport.h"
#include "VtGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vialto {
namespace {

using test::kGradeTol;
using test::kPositionTol;

class VtListingTest : public ::testing::Test {
  protected:
    void SetUp() override { AppModel().SetAddOnMode(true); }
    void TearDown() override { AppModel().SetAddOnMode(false); }
};

VtAlignment ReadPlain(const std::string &text) {
    VtAlignment e;
    ListingFailure failure;
    EXPECT_TRUE(ReadVtPlainListing(text, e, &failure)) << failure.Text();
    return e;
}

// Three vertices: 0 at 100.000, 1000 at 120.000 (+2 %), 2000 at 120.000 + g2.
std::string Listing(double secondGradePercent, const std::string &curve) {
    const double h2 = 120.0 + secondGradePercent / 100 * 1000;
    return "*ALZ\r\n0,100.000C,0R\r\n1000,120.000C," + curve + "\r\n2000," + std::to_string(h2) +
           "C,0R\r\n";
}

TEST_F(VtListingTest, TangentExternalAndParameterLettersAgree) {
    struct Case {
        const char *Curve;
        double SecondGrade; // percent; the first is +2 %
        double Parameter;
    };
    const Case cases[] = {
        {"50T", 4, 5000},    {"0.25F", 4, 5000},  {"5000R", 4, 5000},  // sag: +2 % -> +4 %
        {"50T", 0, -5000},   {"0.25F", 0, -5000}, {"5000R", 0, -5000}, // crest: +2 % -> 0 %
        {"-5000R", 4, 5000}, // the sign always follows the change of grade
    };
    for (const Case &c : cases) {
        const VtAlignment e = ReadPlain(Listing(c.SecondGrade, c.Curve));
        // Straight to the curve's start, the curve, a straight on, the end.
        ASSERT_EQ(ElementCount(e), 4) << c.Curve;
        EXPECT_NEAR(e[2].Parameter, c.Parameter, 1e-6) << c.Curve;
        EXPECT_NEAR(e[2].Length, 100, 1e-6) << c.Curve; // 0.02 x 5000
        EXPECT_NEAR(e[2].Chainage, 950, 1e-9) << c.Curve;
        EXPECT_NEAR(e[2].Height, 119.0, 1e-9) << c.Curve; // 50 m back on +2 %
        EXPECT_NEAR(e[2].Grade, 0.02, kGradeTol) << c.Curve;
        EXPECT_NEAR(e[1].Length, 950, 1e-9) << c.Curve;
        EXPECT_NEAR(e[3].Chainage, 1050, 1e-9) << c.Curve;
    }
}

TEST_F(VtListingTest, ConvertedProfileMatchesTheParabolaByHand) {
    const VtAlignment e = ReadPlain(Listing(4, "5000R"));
    // Independent arithmetic: z = 119 + 0.02 d + d^2 / (2 * 5000) on the curve,
    // 120 + 0.04 (x - 1000) after it.
    for (double x = 0; x <= 2000; x += 12.5) {
        double expected;
        if (x < 950)
            expected = 100 + 0.02 * x;
        else if (x <= 1050)
            expected = 119 + 0.02 * (x - 950) + (x - 950) * (x - 950) / 10000;
        else
            expected = 120 + 0.04 * (x - 1000);
        EXPECT_NEAR(GetHeightFromVtAligment(e, x), expected, 1e-9) << x;
    }
    EXPECT_NEAR(e[3].Height, 122.0, 1e-9); // the straight after the curve
    EXPECT_NEAR(e[3].Grade, 0.04, kGradeTol);
    EXPECT_DOUBLE_EQ(e[4].Chainage, 2000);
}

TEST_F(VtListingTest, HeaderAndVertexRules) {
    // "*ALZ1" skips exactly one line, even one that looks like a vertex.
    const VtAlignment longHeader = ReadPlain("*ALZ1\r\n0,1C,0R\r\n0,100C,0R\r\n100,102C,0R\r\n");
    ASSERT_EQ(ElementCount(longHeader), 2);
    EXPECT_DOUBLE_EQ(longHeader[1].Height, 100);
    // Blank lines and lines of fewer than three fields are skipped; a curve
    // value of 0 gives no curve whatever its letter.
    const VtAlignment e =
        ReadPlain("\r\n*ALZ\r\n\r\n0,100C,0R\r\nnote\r\n1,2\r\n500,110C,0T\r\n1000,100C,0F\r\n");
    ASSERT_EQ(ElementCount(e), 3);
    EXPECT_DOUBLE_EQ(e[2].Parameter, 0);
    EXPECT_NEAR(e[1].Grade, 0.02, kGradeTol);
    EXPECT_NEAR(e[2].Grade, -0.02, kGradeTol);
    // A grade on the first vertex has no height to start from.
    const VtAlignment first = ReadPlain("*ALZ\r\n0,2.5P,0R\r\n100,3C,0R\r\n");
    EXPECT_DOUBLE_EQ(first[1].Height, 0);
    // A grade on a later vertex continues from the one before.
    const VtAlignment grade = ReadPlain("*ALZ\r\n0,100C,0R\r\n200,-1.5P,0R\r\n");
    EXPECT_NEAR(grade[2].Height, 97, 1e-9);
}

TEST_F(VtListingTest, ACurveBetweenEqualGradesIsAnUnknownElement) {
    AppModel().SetAddOnMode(false);
    test::RecordingUi ui;
    VtAlignment e;
    ListingFailure failure;
    EXPECT_FALSE(ReadVtPlainListing("*ALZ\r\n0,100C,0R\r\n100,102C,5000R\r\n200,104C,0R\r\n", e,
                                    &failure, "a.alz"));
    EXPECT_EQ(failure.Line, 3);
    EXPECT_NE(failure.Reason.find("no curve"), std::string::npos) << failure.Text();
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_NE(ui.Messages[0].Text.find("Unknown vertical element"), std::string::npos);
    EXPECT_NE(ui.Messages[0].Text.find("ConvertVerticalDataToAvanceData"), std::string::npos);
}

TEST_F(VtListingTest, ConversionRaisesForACurveWithoutLengthAndKeepsTheInput) {
    VtAlignment v = MakeOneBased<VtElement>(3);
    v[1] = {1, 0, 100, 0, 0, 0, 0};
    v[2] = {2, 100, 101, 0, 0, 5000, 0};
    v[3] = {3, 200, 103, 0, 0, 0, 0};
    const VtAlignment before = v;
    EXPECT_FALSE(ConvertVerticalDataToAvanceData(v));
    EXPECT_DOUBLE_EQ(v[2].Chainage, before[2].Chainage);
    // One vertex: grades only, and success.
    VtAlignment one = MakeOneBased<VtElement>(1);
    one[1].Height = 5;
    EXPECT_TRUE(ConvertVerticalDataToAvanceData(one));
    EXPECT_EQ(ElementCount(one), 1);
}

struct BadCase {
    const char *Name;
    std::string Text;
    long Line;
    const char *ReasonPart;
};

TEST_F(VtListingTest, BadTextInputFailsWithPlaceAndReason) {
    const BadCase cases[] = {
        {"empty", "", 0, "empty"},
        {"header variant", "*ALZ2\r\n0,1C,0R\r\n1,1C,0R\r\n", 1, "*ALZ"},
        {"header with a space", "*ALZ \r\n0,1C,0R\r\n1,1C,0R\r\n", 1, "*ALZ"},
        {"no vertices", "*ALZ\r\n\r\n", 0, "no vertex"},
        {"one vertex", "*ALZ\r\n0,100C,0R\r\n", 2, "two vertices"},
        {"bad height letter", "*ALZ\r\n0,100X,0R\r\n1,1C,0R\r\n", 2, "C or P"},
        {"bad curve letter", "*ALZ\r\n0,100C,0R\r\n1,1C,5Q\r\n2,1C,0R\r\n", 3, "T, F or R"},
        {"text chainage", "*ALZ\r\n0,100C,0R\r\nabc,1C,0R\r\n", 3, "field 1"},
        {"bare letter", "*ALZ\r\n0,100C,0R\r\n1,C,0R\r\n", 3, "field 2"},
        {"blank lines only", "\r\n\r\n", 0, "rule"},
        {"garbage", "\x01\x02\xff\xfe garbage\r\n\x80", 0, "rule"},
        {"printed, no groups", "== rule\r\ntitles\r\nunits\r\n", 0, "no vertex"},
        {"printed, text fields",
         "== rule\r\nt\r\nu\r\n 1 12+340.000 abc 1.0\r\nx\r\n"
         " TE 1 12+700.000 750.0 1.0 0 0\r\n",
         4, "field 3 (height)"},
        {"printed, short line",
         "== rule\r\nt\r\nu\r\n 1 12+340.000\r\nx\r\n"
         " TE 1 12+700.000 750.0 1.0 0 0\r\n",
         4, "at least 3"},
        {"printed, page without rule",
         "== rule\r\nt\r\nu\r\n 1 0 100 1\r\nx\r\n\fpage 2\r\n"
         "no rule here\r\n",
         0, "rule"},
    };
    for (const BadCase &c : cases) {
        VtAlignment e(3);
        ListingFailure failure;
        EXPECT_FALSE(ReadVtTextListing(c.Text, e, &failure, "bad.alz")) << c.Name;
        EXPECT_TRUE(e.empty()) << c.Name;
        if (c.Line > 0) {
            EXPECT_EQ(failure.Line, c.Line) << c.Name << ": " << failure.Text();
        }
        EXPECT_NE(failure.Reason.find(c.ReasonPart), std::string::npos)
            << c.Name << ": " << failure.Text();
    }
}

TEST_F(VtListingTest, PrintedReportGroupsAndPageBreaks) {
    // Two grades joined by a curve; the page breaks before the second group's
    // third line, and the report ends with blank lines and a form feed.
    const std::string text = "TITLE\r\n"
                             "=======\r\n"
                             " N PK Z G\r\n"
                             " (m)\r\n"
                             "  1  0+000.000  100.000  2.0000  RASANTE\r\n"
                             "  L 950\r\n"
                             "  TE 1  0+950.000  119.000  2.0000  100.000  5000.000\r\n"
                             "  2  1+050.000  123.000  4.0000  RASANTE\r\n"
                             "  L 950\r\n"
                             "\fTITLE page 2\r\n"
                             "=======\r\n"
                             " N PK Z G\r\n"
                             "  TE 2  2+000.000  161.000  4.0000  0.000  0.000\r\n"
                             "\r\n\f\r\n";
    VtAlignment e;
    ListingFailure failure;
    ASSERT_TRUE(ReadVtTextListing(text, e, &failure)) << failure.Text();
    ASSERT_EQ(ElementCount(e), 4);
    EXPECT_DOUBLE_EQ(e[2].Chainage, 950);
    EXPECT_DOUBLE_EQ(e[2].Parameter, 5000);
    EXPECT_DOUBLE_EQ(e[2].Length, 100);
    EXPECT_DOUBLE_EQ(e[3].Chainage, 1050);
    EXPECT_DOUBLE_EQ(e[4].Chainage, 2000); // the end, computed on the last grade
    EXPECT_NEAR(e[4].Height, 161, 1e-9);
    EXPECT_NEAR(GetHeightFromVtAligment(e, 1000), 119 + 0.02 * 50 + 2500.0 / 10000, 1e-9);
}

// An RTF report's text: two title rows, then three rows per vertex.
std::string ReportBlock(const std::string &vertexPk, const std::string &startPk, double z0,
                        double gIn, double kv, const std::string &endPk, double z1, double gOut) {
    auto n = [](double v) {
        std::string s = std::to_string(v);
        for (char &c : s)
            if (c == '.')
                c = ',';
        return s;
    };
    return "\r\nV\t" + vertexPk + "\t" + startPk + "\t" + n(z0) + "\t" + n(gIn) + "\t0\t" + n(kv) +
           "\t\r\n\t" + n(z1) + "\t" + endPk + "\t" + n(z1) + "\t" + n(gOut) + "\t\t\t" +
           "\r\n\t\t\t\t\t\t\t";
}

TEST_F(VtListingTest, ReportVertexWithoutCurveAfterACurveKeepsItsChangeOfGrade) {
    // Vertices: 0+000 (100), 1+000 with a sag of Kv 5 (in thousands) from +2 %
    // to +4 %, 2+000 without a curve from +4 % to -1 %, and the end at 3+000.
    const std::string text = "ESTADO DE RASANTES\r\nV\tPK\tPK\tZ\tG\tL\tKv\t" +
                             ReportBlock("0+000", "0+000", 100, 0, 0, "0+000", 100, 2) +
                             ReportBlock("1+000", "0+950", 119, 2, 5, "1+050", 123, 4) +
                             ReportBlock("2+000", "2+000", 161, 4, 0, "2+000", 161, -1) +
                             ReportBlock("3+000", "3+000", 151, -1, 0, "3+000", 151, -1) + "\r\n";
    VtAlignment e;
    ListingFailure failure;
    ASSERT_TRUE(ReadVtReportText(text, e, &failure)) << failure.Text();
    ASSERT_EQ(ElementCount(e), 5);
    EXPECT_DOUBLE_EQ(e[2].Parameter, 5000); // Kv listed in thousands
    EXPECT_DOUBLE_EQ(e[3].Chainage, 1050);  // the straight at the curve's end
    EXPECT_DOUBLE_EQ(e[3].Length, 950);
    EXPECT_DOUBLE_EQ(e[4].Chainage, 2000); // the vertex itself
    EXPECT_NEAR(e[4].Grade, -0.01, kGradeTol);
    EXPECT_DOUBLE_EQ(e[4].Length, 1000);
    EXPECT_NEAR(GetHeightFromVtAligment(e, 2500), 161 - 5, 1e-9); // falls after the vertex
    EXPECT_DOUBLE_EQ(e[5].Chainage, 3000);
}

TEST_F(VtListingTest, BadReportInputFailsWithPlaceAndReason) {
    const BadCase cases[] = {
        {"titles only", "{\\rtf1 T\\par H\\cell\\row}", 0, "no vertex"},
        {"unbalanced", "{\\rtf1 T\\par{", 1, "unbalanced"},
        {"cut block", "{\\rtf1 T\\par H\\par V\\cell 0+000\\cell\\row}", 3, "cut short"},
        {"text height",
         "{\\rtf1 T\\par H\\par V\\cell 0+000\\cell\\row \\cell\\cell 0\\cell "
         "abc\\cell 1\\cell\\row\\par}",
         4, "(height) is not a number"},
    };
    for (const BadCase &c : cases) {
        VtAlignment e;
        ListingFailure failure;
        EXPECT_FALSE(ReadVtRtfListing(c.Text, e, &failure, "bad.rtf")) << c.Name;
        if (c.Line > 0) {
            EXPECT_EQ(failure.Line, c.Line) << c.Name << ": " << failure.Text();
        }
        EXPECT_NE(failure.Reason.find(c.ReasonPart), std::string::npos)
            << c.Name << ": " << failure.Text();
    }
}

} // namespace
} // namespace vialto
