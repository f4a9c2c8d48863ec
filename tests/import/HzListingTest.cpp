// The horizontal listing reader: the header, blank-line, end-of-file and
// compaction rules of the plain form, the rows-to-elements shift of the RTF
// report, the end marker, and bad input.
#include "HzListing.h"

#include "AppModel.h"
#include "HzGeometry.h"
#include "TestSupport.h"
#include "Text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vialto {
namespace {

using test::kPositionTol;

constexpr double kGon = 0.015707963267949;

class HzListingTest : public ::testing::Test {
  protected:
    void SetUp() override { AppModel().SetAddOnMode(true); } // no message boxes, no log
    void TearDown() override { AppModel().SetAddOnMode(false); }
};

// A straight of 100 m, an arc, and a straight: three rows and the end.
const char *kThreeRows = "0.000,1000.000,2000.000,0.0000000,0.000,0.000\r\n"
                         "100.000,1000.000,2100.000,0.0000000,0.000,0.000\r\n"
                         "150.000,1024.740,2142.074,63.6619772,-50.000,0.000\r\n";

HzAlignment ReadPlain(const std::string &text, ListingFailure *failure = nullptr) {
    HzAlignment elements;
    EXPECT_TRUE(ReadHzPlainListing(text, elements, failure)) << (failure ? failure->Text() : "");
    return elements;
}

TEST_F(HzListingTest, PlainRowsCloseTheElementBeforeThemAndTheEndLineIsAMarker) {
    const HzAlignment e = ReadPlain(std::string("*PLT\r\n") + kThreeRows);
    ASSERT_EQ(ElementCount(e), 3);
    EXPECT_EQ(e[1].Number, 1);
    EXPECT_DOUBLE_EQ(e[1].Length, 100.0);
    EXPECT_DOUBLE_EQ(e[1].Radius, 0.0); // the second row's radius
    EXPECT_DOUBLE_EQ(e[2].Chainage, 100.0);
    EXPECT_DOUBLE_EQ(e[2].Length, 50.0);  // ends at the third row's chainage
    EXPECT_DOUBLE_EQ(e[2].Radius, -50.0); // and carries its radius
    // The end marker: the end line's point, azimuth and radius, no length.
    EXPECT_EQ(e[3].Number, 3);
    EXPECT_DOUBLE_EQ(e[3].Chainage, 150.0);
    EXPECT_DOUBLE_EQ(e[3].X, 1024.740);
    EXPECT_NEAR(e[3].Azimuth, 63.6619772 * kGon, 1e-12);
    EXPECT_DOUBLE_EQ(e[3].Length, 0.0);
    EXPECT_DOUBLE_EQ(e[3].Parameter, 0.0);
    EXPECT_DOUBLE_EQ(e[3].Radius, -50.0);
}

TEST_F(HzListingTest, HeaderVariantsAndBlankLines) {
    const std::string rows = kThreeRows;
    const HzAlignment plain = ReadPlain("*PLT\r\n" + rows);
    // Blank lines before the header, the long header with its extra line,
    // blank lines between rows and at the end, LF endings: the same elements.
    for (const std::string &text :
         {"\r\n\r\n*PLT\r\n" + rows, "*PLT1\r\nEje 1\r\n" + rows,
          "*PLT\n" + ReplaceAll(rows, "\r\n", "\n"), "*PLT\r\n" + rows + "\r\n\r\n  \r\n",
          "*PLT\r\n" + rows.substr(0, rows.size() - 2)}) {
        const HzAlignment e = ReadPlain(text);
        ASSERT_EQ(ElementCount(e), ElementCount(plain)) << text;
        for (long i = 1; i <= ElementCount(e); ++i) {
            EXPECT_DOUBLE_EQ(e[i].Length, plain[i].Length);
            EXPECT_DOUBLE_EQ(e[i].Radius, plain[i].Radius);
            EXPECT_DOUBLE_EQ(e[i].Chainage, plain[i].Chainage);
        }
    }
    const std::string between = std::string("*PLT\r\n") +
                                "0.000,1000.000,2000.000,0.0000000,0.000,0.000\r\n\r\n  \r\n" +
                                "100.000,1000.000,2100.000,0.0000000,0.000,0.000\r\n";
    EXPECT_EQ(ElementCount(ReadPlain(between)), 2);
}

TEST_F(HzListingTest, ZeroLengthElementsVanishAndTheRestIsRenumbered) {
    // Row 3 lists the 0.001 marker radius, row 4 runs backwards: both elements
    // ending there get no length and are dropped.
    const std::string text = "*PLT\r\n"
                             "0,0,0,0,0,0\r\n"
                             "10,0,10,0,0,0\r\n"
                             "20,0,20,0,0.001,0\r\n"
                             "15,0,30,0,0,0\r\n"
                             "40,0,40,0,0,0\r\n";
    const HzAlignment e = ReadPlain(text);
    ASSERT_EQ(ElementCount(e), 3);
    EXPECT_DOUBLE_EQ(e[1].Chainage, 0);
    EXPECT_DOUBLE_EQ(e[2].Chainage, 15);
    EXPECT_DOUBLE_EQ(e[2].Length, 25);
    EXPECT_EQ(e[2].Number, 2);
    EXPECT_EQ(e[3].Number, 3); // the end marker stays
    EXPECT_DOUBLE_EQ(e[3].Length, 0);
}

TEST_F(HzListingTest, TransitionsStoreTheRadiusTheGeometryExpects) {
    // A clothoid A = 100 from a straight into R = 200 (length 50), then the arc.
    const double a = 100, r = 200, l = a * a / r;
    const double turn = l / (2 * r); // radians
    // Row 2 closes a straight, row 3 the transition (radius r, A), row 4 the arc.
    const std::string rows = std::string("*PLT\r\n0,0,0,0,0,0\r\n100,0,100,0,0,0\r\n") +
                             std::to_string(100 + l) + ",0,150," + std::to_string(turn / kGon) +
                             ",200," + std::to_string(a) + "\r\n" + "200,0,200,50,200,0\r\n";
    const HzAlignment e = ReadPlain(rows);
    ASSERT_EQ(ElementCount(e), 4);
    EXPECT_DOUBLE_EQ(e[2].Parameter, a);
    EXPECT_DOUBLE_EQ(e[2].Radius, kRadiusMarker); // starts at zero curvature
    EXPECT_DOUBLE_EQ(e[3].Radius, 200);
}

TEST_F(HzListingTest, ReportRowsShiftToTheElementThatEndsThere) {
    const std::string text =
        "LISTADO\r\n"
        "Estación\tLongitud\tX\tY\tAzimut\tRadio\tParámetro\t\r\n"
        "12+345,678\t0,000\t1.000,000\t2.000,000\t0,000\tINFINITO\t0,000\t\r\n"
        "12+445,678\t100,000\t1.000,000\t2.100,000\t0,000\t  infinito\t0,000\t\r\n"
        "12+495,678\t50,000\t1.024,740\t2.142,074\t63,661977\t-50,000\t0,000\t\r\n"
        "Fin del listado\r\n";
    HzAlignment e;
    ListingFailure failure;
    ASSERT_TRUE(ReadHzReportText(text, e, &failure)) << failure.Text();
    ASSERT_EQ(ElementCount(e), 3);
    EXPECT_NEAR(e[1].Chainage, 12345.678, 1e-9);
    EXPECT_DOUBLE_EQ(e[1].X, 1000.0);
    EXPECT_DOUBLE_EQ(e[1].Length, 100.0);
    EXPECT_DOUBLE_EQ(e[1].Radius, 0.0);
    EXPECT_DOUBLE_EQ(e[2].Length, 50.0);
    EXPECT_DOUBLE_EQ(e[2].Radius, -50.0);
    EXPECT_DOUBLE_EQ(e[3].Length, 0.0); // the last row is the end point
    EXPECT_DOUBLE_EQ(e[3].Parameter, 0.0);
    EXPECT_DOUBLE_EQ(e[3].Radius, -50.0);
}

TEST_F(HzListingTest, AReportEndingInATransitionHasNoPhantomElement) {
    // Straight, clothoid out of nothing into R = 200 ... and the listing ends
    // with a transition back to a straight (A = 100, length 50).
    const std::string text = "Estación\tLongitud\tX\tY\tAzimut\tRadio\tParámetro\t\r\n"
                             "0+000\t0\t0\t0\t0\tINFINITO\t0\t\r\n"
                             "0+100\t100\t0\t100\t0\t200\t0\t\r\n" // an arc ends here (R 200)
                             "0+150\t50\t10\t148\t15,915494\tINFINITO\t100\t\r\n";
    HzAlignment e;
    ASSERT_TRUE(ReadHzReportText(text, e));
    ASSERT_EQ(ElementCount(e), 3);
    EXPECT_DOUBLE_EQ(e[2].Parameter, 100);
    EXPECT_DOUBLE_EQ(e[2].Length, 50);
    EXPECT_DOUBLE_EQ(e[3].Chainage, 150);
    EXPECT_DOUBLE_EQ(e[3].Length, 0);
    EXPECT_DOUBLE_EQ(e[3].X, 10); // the end point, not X = Y = 0
    EXPECT_DOUBLE_EQ(e[3].Y, 148);
}

TEST_F(HzListingTest, CellCountsDecideRadiusAndParameter) {
    const std::string header = "Estación\tL\tX\tY\tAz\tR\tA\t\r\n";
    struct Case {
        const char *Row;
        double Radius;
        double Parameter;
    };
    const Case cases[] = {
        {"0+100\t100\t0\t0\t0\t300\t90\t\r\n", 300, 90},       // 8 pieces
        {"0+100\t100\t0\t0\t0\t300\t\r\n", 0, 0},              // 7 pieces: neither
        {"0+100\t100\t0\t0\t0\t300\t90\t1\t\r\n", 300, 0},     // 9 pieces: radius only
        {"0+100\t100\t0\t0\t0\t300\t90\t1\t2\t\r\n", 300, 90}, // 10 pieces
        {"0+100\t100\t0\t0\t0\t300\t90\t1\t2\t3\t\r\n", 0, 0}, // 11 pieces
    };
    for (const Case &c : cases) {
        HzAlignment e;
        ASSERT_TRUE(ReadHzReportText(header + "0+000\t0\t0\t0\t0\t0\t0\t\r\n" + c.Row, e)) << c.Row;
        ASSERT_EQ(ElementCount(e), 2);
        EXPECT_DOUBLE_EQ(e[2].Radius, c.Radius) << c.Row; // the end marker keeps the row's
        EXPECT_DOUBLE_EQ(std::fabs(e[1].Parameter), c.Parameter) << c.Row;
    }
}

TEST_F(HzListingTest, ImportNamesTheAlignmentAndChoosesTheFormByExtension) {
    test::TempDir dir;
    test::WriteFileBytes(dir / "Eje 1.planta.txt", std::string("*PLT\r\n") + kThreeRows);
    HzAlignment e;
    StationEquations equations(3);
    std::string name;
    ASSERT_TRUE(ImportHzAligment(e, equations, name, (dir / "Eje 1.planta.txt").string()));
    EXPECT_EQ(name, "Eje 1.planta");
    EXPECT_TRUE(equations.empty());
    EXPECT_EQ(ElementCount(e), 3);
    EXPECT_EQ(GetLinearUnitsDefault((dir / "Eje 1.planta.txt").string(), 1), 0);

    // The same text in a file named .rtf is read as RTF, and fails as such.
    test::WriteFileBytes(dir / "a.rtf", std::string("*PLT\r\n") + kThreeRows);
    ListingFailure failure;
    EXPECT_FALSE(ImportHzAligment(e, equations, name, (dir / "a.rtf").string(), &failure));
    EXPECT_EQ(name, "a");
    EXPECT_NE(failure.Reason.find("RTF"), std::string::npos) << failure.Reason;
    EXPECT_TRUE(e.empty());
}

struct BadCase {
    const char *Name;
    std::string Text;
    long Line;
    const char *ReasonPart;
};

TEST_F(HzListingTest, BadPlainInputFailsWithPlaceAndReason) {
    const std::string row = "0,1,2,3,4,5\r\n";
    const BadCase cases[] = {
        {"empty", "", 0, "empty"},
        {"blank lines", "\r\n\r\n\r\n", 0, "blank"},
        {"trailing space", "*PLT \r\n" + row + row, 1, "*PLT"},
        {"lower case", "*plt\r\n" + row + row, 1, "*PLT"},
        {"leading space", "\r\n *PLT\r\n" + row + row, 2, "*PLT"},
        {"header only", "*PLT\r\n", 1, "no data"},
        {"blank first data line", "*PLT\r\n\r\n" + row + row, 2, "six numbers"},
        {"one data line", "*PLT\r\n" + row, 0, "two data lines"},
        {"one line, then blanks", "*PLT\r\n" + row + "\r\n\r\n", 0, "two data lines"},
        {"truncated line", "*PLT\r\n" + row + "10,1,2\r\n" + row, 3, "six numbers"},
        {"text in a field", "*PLT\r\n" + row + "10,1,abc,3,4,5\r\n" + row, 3, "field 3 (Y)"},
        {"bad end line", "*PLT\r\n" + row + row + "1,2,3,4,5,x\r\n", 4, "field 6"},
        {"garbage bytes", "*PLT\r\n\x01\xff\xfe,\x80\x81\r\n" + row, 2, "six numbers"},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0", 12), 1, "*PLT"},
    };
    for (const BadCase &c : cases) {
        HzAlignment e(5);
        ListingFailure failure;
        EXPECT_FALSE(ReadHzPlainListing(c.Text, e, &failure, "bad.plt")) << c.Name;
        EXPECT_TRUE(e.empty()) << c.Name;
        EXPECT_EQ(failure.File, "bad.plt") << c.Name;
        if (c.Line > 0) {
            EXPECT_EQ(failure.Line, c.Line) << c.Name << ": " << failure.Text();
        }
        EXPECT_NE(failure.Reason.find(c.ReasonPart), std::string::npos)
            << c.Name << ": " << failure.Text();
    }
}

TEST_F(HzListingTest, AWrongHeaderIsQuietOtherFailuresAreReported) {
    AppModel().SetAddOnMode(false);
    test::RecordingUi ui;
    HzAlignment e;
    EXPECT_FALSE(ReadHzPlainListing("*PLT2\r\n0,1,2,3,4,5\r\n", e));
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_FALSE(ReadHzPlainListing("*PLT\r\n0,1,2\r\n0,1,2,3,4,5\r\n", e));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_NE(ui.Messages[0].Text.find("ImportHzAligment"), std::string::npos);
    EXPECT_NE(ui.Messages[0].Text.find("line 2"), std::string::npos);
}

TEST_F(HzListingTest, BadReportInputFailsWithPlaceAndReason) {
    const BadCase cases[] = {
        {"header row only",
         "{\\rtf1 \\trowd\\cellx1 Estaci\\'f3n\\cell L\\cell X\\cell Y\\cell "
         "Az\\cell R\\cell A\\cell\\row}",
         0, "no table row"},
        {"not rtf", "*PLT\r\n0,1,2,3,4,5\r\n", 0, "RTF"},
        {"unbalanced", "{\\rtf1 {\\b 0+000\\cell", 1, "unbalanced"},
        {"text in X", "{\\rtf1 0+000\\cell 0\\cell abc\\cell 0\\cell 0\\cell 0\\cell 0\\cell\\row}",
         1, "field 3 (X)"},
        {"empty", "", 0, "RTF"},
    };
    for (const BadCase &c : cases) {
        HzAlignment e;
        ListingFailure failure;
        EXPECT_FALSE(ReadHzRtfListing(c.Text, e, &failure, "bad.rtf")) << c.Name;
        if (c.Line > 0) {
            EXPECT_EQ(failure.Line, c.Line) << c.Name << ": " << failure.Text();
        }
        EXPECT_NE(failure.Reason.find(c.ReasonPart), std::string::npos)
            << c.Name << ": " << failure.Text();
    }
}

TEST_F(HzListingTest, AMissingFileIsReported) {
    HzAlignment e;
    StationEquations eq;
    std::string name;
    ListingFailure failure;
    EXPECT_FALSE(ImportHzAligment(e, eq, name, "/nonexistent/folder/x.plt", &failure));
    EXPECT_EQ(name, "x");
    EXPECT_EQ(failure.File, "x.plt");
    EXPECT_NE(failure.Reason.find("does not exist"), std::string::npos);
}

TEST_F(HzListingTest, AHugeFileFailsQuickly) {
    // 50 MB: a valid start, then one long line of garbage.
    std::string text = "*PLT\r\n0,1,2,3,4,5\r\n";
    text.append(50u * 1024 * 1024, 'x');
    test::TempDir dir;
    test::WriteFileBytes(dir / "huge.plt", text);
    HzAlignment e;
    StationEquations eq;
    std::string name;
    ListingFailure failure;
    EXPECT_FALSE(ImportHzAligment(e, eq, name, (dir / "huge.plt").string(), &failure));
    EXPECT_EQ(failure.Line, 3);
    EXPECT_NE(failure.Reason.find("six numbers"), std::string::npos) << failure.Text();
    EXPECT_LT(failure.Text().size(), 200u); // the reason quotes a few characters only
}

} // namespace
} // namespace vialto
