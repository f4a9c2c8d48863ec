// The alignment listing readers, each rule on a small listing checked by hand
// or against independent arithmetic; the sample listings (samples/listings/,
// written by the generator from a known geometry) pass through the known
// points within a millimetre.
#include "import/HzListing.h"
#include "import/VtListing.h"

#include "geometry/HzGeometry.h"
#include "geometry/VtGeometry.h"
#include "shell/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>
#include <tuple>

namespace vialto {
namespace {

using test::kGradeTol;

// Each element's chainage, length, radius and parameter; the elements numbered from 1.
void ExpectElements(const HzAlignment &e, const std::vector<std::array<double, 4>> &expected) {
    std::vector<std::array<double, 4>> actual;
    for (std::size_t i = 1; i < e.size(); ++i) {
        EXPECT_EQ(e[i].Number, static_cast<long>(i));
        actual.push_back({e[i].Chainage, e[i].Length, e[i].Radius, e[i].Parameter});
    }
    EXPECT_EQ(actual, expected);
}

HzAlignment ReadHz(const std::string &text) {
    HzAlignment elements;
    ListingFailure failure;
    EXPECT_TRUE(ReadHzPlainListing(text, elements, &failure)) << failure.Text();
    return elements;
}

// A straight of 100 m, an arc, and the end: each row closes the element
// before it, so the arc's radius is on the third row.
const std::string kThreeRows = "0.000,1000.000,2000.000,0.0000000,0.000,0.000\r\n"
                               "100.000,1000.000,2100.000,0.0000000,0.000,0.000\r\n"
                               "150.000,1024.740,2142.074,63.6619772,-50.000,0.000\r\n";

TEST(HzListing, PlainRowsCloseTheElementBeforeThemWhateverTheBlankLines) {
    const std::string &rows = kThreeRows;
    for (const std::string &text : {
             "*PLT\r\n" + rows, "\r\n\r\n*PLT\r\n" + rows, "*PLT1\r\nEje 1\r\n" + rows,
             "*PLT\n" + ReplaceAll(rows, "\r\n", "\n"),
             "*PLT\r\n" + ReplaceAll(rows, "\r\n", "\r\n\r\n  \r\n"), // blanks between and after
             "*PLT\r\n" + rows.substr(0, rows.size() - 2),            // no final line ending
         }) {
        SCOPED_TRACE(text);
        const HzAlignment e = ReadHz(text);
        // The end line is a marker: its point, azimuth and radius, no length.
        ExpectElements(e, {{0, 100, 0, 0}, {100, 50, -50, 0}, {150, 0, -50, 0}});
        EXPECT_DOUBLE_EQ(e[3].X, 1024.740);
        EXPECT_NEAR(e[3].Azimuth, 63.6619772 * 0.015707963267949, 1e-12);
    }
}

TEST(HzListing, ZeroLengthElementsVanishAndTheRestIsRenumbered) {
    // Row 3 lists the 0.001 marker radius, row 4 runs backwards: both elements
    // ending there get no length and are dropped.
    ExpectElements(ReadHz("*PLT\r\n0,0,0,0,0,0\r\n10,0,10,0,0,0\r\n20,0,20,0,0.001,0\r\n"
                          "15,0,30,0,0,0\r\n40,0,40,0,0,0\r\n"),
                   {{0, 10, 0, 0}, {15, 25, 0, 0}, {40, 0, 0, 0}});
}

TEST(HzListing, AReportEndingInATransitionHasNoPhantomElement) {
    // An arc of R 200 and a transition A = 100 out of it that ends the
    // listing; "infinito" in any case and with blanks is a straight's radius.
    HzAlignment e;
    ASSERT_TRUE(ReadHzReportText("Estación\tL\tX\tY\tAz\tR\tA\t\r\n"
                                 "0+000\t0\t0\t0\t0\t  infinito\t0\t\r\n"
                                 "0+100\t100\t0\t100\t0\t200\t0\t\r\n"
                                 "0+150\t50\t10\t148\t15,915494\tINFINITO\t100\t\r\n",
                                 e));
    ExpectElements(e, {{0, 100, 200, 0}, {100, 50, 200, 100}, {150, 0, 0, 0}});
    EXPECT_EQ(std::pair(e[3].X, e[3].Y), std::pair(10.0, 148.0)); // the end point, not 0 0
}

VtAlignment ReadVt(const std::string &text) {
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
        const VtAlignment e = ReadVt(Listing(c.SecondGrade, c.Curve));
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
    const VtAlignment longHeader = ReadVt("*ALZ1\r\n0,1C,0R\r\n0,100C,0R\r\n100,102C,0R\r\n");
    ASSERT_EQ(ElementCount(longHeader), 2);
    EXPECT_DOUBLE_EQ(longHeader[1].Height, 100);
    // Blank lines and lines of fewer than three fields are skipped; a curve
    // value of 0 gives no curve whatever its letter.
    const VtAlignment e =
        ReadVt("\r\n*ALZ\r\n\r\n0,100C,0R\r\nnote\r\n1,2\r\n500,110C,0T\r\n1000,100C,0F\r\n");
    ASSERT_EQ(ElementCount(e), 3);
    EXPECT_DOUBLE_EQ(e[2].Parameter, 0);
    EXPECT_NEAR(e[1].Grade, 0.02, kGradeTol);
    EXPECT_NEAR(e[2].Grade, -0.02, kGradeTol);
    // A grade on the first vertex has no height to start from; on a later
    // vertex it continues from the one before.
    EXPECT_DOUBLE_EQ(ReadVt("*ALZ\r\n0,2.5P,0R\r\n100,3C,0R\r\n")[1].Height, 0);
    EXPECT_NEAR(ReadVt("*ALZ\r\n0,100C,0R\r\n200,-1.5P,0R\r\n")[2].Height, 97, 1e-9);
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
    // The straight at the curve's end, and one from the vertex itself.
    EXPECT_EQ(std::tuple(e[3].Chainage, e[3].Length, e[4].Chainage, e[4].Length),
              std::tuple(1050.0, 950.0, 2000.0, 1000.0));
    EXPECT_NEAR(e[4].Grade, -0.01, kGradeTol);
    EXPECT_NEAR(GetHeightFromVtAligment(e, 2500), 161 - 5, 1e-9); // falls after the vertex
}

constexpr double kMillimetre = 0.001;

struct KnownPoint {
    double Chainage, X, Y, Azimuth, Height;
};

// The generator's sampled points: "chainage x y azimuth_rad height" a line.
std::vector<KnownPoint> KnownPoints(const std::string &file) {
    std::ifstream in(test::SourcePath("samples/listings/" + file.substr(0, 4) + "_points.txt"));
    std::vector<KnownPoint> points;
    KnownPoint p;
    for (std::string line; std::getline(in, line);)
        if (std::istringstream(line) >> p.Chainage >> p.X >> p.Y >> p.Azimuth >> p.Height)
            points.push_back(p);
    EXPECT_FALSE(points.empty());
    return points;
}

std::string Sample(const std::string &file) {
    return test::SourcePath("samples/listings/" + file).string();
}

TEST(SampleListings, EveryFormPassesThroughTheKnownPoints) {
    ListingFailure failure;
    for (const char *file : {"road.plt", "road_hz.rtf", "rail.plt"}) {
        HzAlignment elements;
        StationEquations equations;
        std::string name;
        ASSERT_TRUE(ImportHzAligment(elements, equations, name, Sample(file), &failure))
            << failure.Text();
        for (const KnownPoint &k : KnownPoints(file)) {
            HzPoint p;
            ASSERT_TRUE(GetCoordFromHzAligment(elements, k.Chainage, p)) << file << k.Chainage;
            EXPECT_NEAR(p.X, k.X, kMillimetre) << file << " at " << k.Chainage;
            EXPECT_NEAR(p.Y, k.Y, kMillimetre) << file << " at " << k.Chainage;
            EXPECT_LT(std::fabs(std::remainder(p.Azimuth - k.Azimuth, 2 * std::numbers::pi)), 1e-5)
                << file << " at " << k.Chainage;
        }
    }
    for (const char *file : {"road.alz", "road_vt.txt", "road_vt.rtf", "rail.alz"}) {
        VtAlignment elements;
        ASSERT_TRUE(ImportVtAligment(elements, Sample(file), "", &failure)) << failure.Text();
        for (const KnownPoint &k : KnownPoints(file))
            EXPECT_NEAR(GetHeightFromVtAligment(elements, k.Chainage), k.Height, kMillimetre)
                << file << " at " << k.Chainage;
    }
}

} // namespace
} // namespace vialto
