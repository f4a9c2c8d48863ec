// The vertical listing reader: the plain form's header, letters and passes,
// the progressive conversion against independent arithmetic, and the RTF
// report's blocks.
#include "import/VtListing.h"

#include "geometry/VtGeometry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vialto {
namespace {

using test::kGradeTol;

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

TEST(VtListing, TangentExternalAndParameterLettersGiveTheParabolaByHand) {
    const struct {
        const char *Curve;
        double SecondGrade; // percent; the first is +2 %
        double Parameter;
    } cases[] = {
        {"50T", 4, 5000},    {"0.25F", 4, 5000},  {"5000R", 4, 5000},  // sag: +2 % -> +4 %
        {"50T", 0, -5000},   {"0.25F", 0, -5000}, {"5000R", 0, -5000}, // crest: +2 % -> 0 %
        {"-5000R", 4, 5000}, // the sign always follows the change of grade
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Curve);
        const VtAlignment e = ReadPlain(Listing(c.SecondGrade, c.Curve));
        // Straight to the curve's start, the curve of 0.02 x 5000 m, a straight, the end.
        ASSERT_EQ(ElementCount(e), 4);
        EXPECT_NEAR(e[2].Parameter, c.Parameter, 1e-6);
        EXPECT_NEAR(e[2].Length, 100, 1e-6);
        // Independent arithmetic: z = 119 + 0.02 d + d^2 / (2 Kv) on the curve.
        for (double x = 0; x <= 2000; x += 12.5) {
            const double d = x - 950;
            const double expected = x < 950     ? 100 + 0.02 * x
                                    : x <= 1050 ? 119 + 0.02 * d + d * d / (2 * c.Parameter)
                                                : 120 + c.SecondGrade / 100 * (x - 1000);
            EXPECT_NEAR(GetHeightFromVtAligment(e, x), expected, 1e-9) << x;
        }
    }
}

TEST(VtListing, HeaderAndVertexRules) {
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
    // A grade on the first vertex has no height to start from; on a later
    // vertex it continues from the one before.
    EXPECT_DOUBLE_EQ(ReadPlain("*ALZ\r\n0,2.5P,0R\r\n100,3C,0R\r\n")[1].Height, 0);
    EXPECT_NEAR(ReadPlain("*ALZ\r\n0,100C,0R\r\n200,-1.5P,0R\r\n")[2].Height, 97, 1e-9);
}

// Three rows of an RTF report's text for one vertex (decimal commas).
std::string ReportBlock(const std::string &pk, const std::string &startPk, const char *z0,
                        const char *gIn, const char *kv, const std::string &endPk, const char *z1,
                        const char *gOut) {
    return "\r\nV\t" + pk + "\t" + startPk + "\t" + z0 + "\t" + gIn + "\t0\t" + kv + "\t\r\n\t" +
           z1 + "\t" + endPk + "\t" + z1 + "\t" + gOut + "\t\t\t\r\n\t\t\t\t\t\t\t";
}

TEST(VtListing, ReportVertexWithoutCurveAfterACurveKeepsItsChangeOfGrade) {
    // Vertices: 0+000 (100), 1+000 with a sag of Kv 5 (in thousands) from +2 %
    // to +4 %, 2+000 without a curve from +4 % to -1 %, and the end at 3+000.
    const std::string text =
        "ESTADO DE RASANTES\r\nV\tPK\tPK\tZ\tG\tL\tKv\t" +
        ReportBlock("0+000", "0+000", "100", "0", "0", "0+000", "100", "2") +
        ReportBlock("1+000", "0+950", "119", "2", "5", "1+050", "123", "4") +
        ReportBlock("2+000", "2+000", "161", "4", "0", "2+000", "161", "-1") +
        ReportBlock("3+000", "3+000", "151", "-1,0", "0,000", "3+000", "151,000", "-1,00") + "\r\n";
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
}

} // namespace
} // namespace vialto
