// The horizontal listing reader: the header, blank-line, end-of-file and
// compaction rules of the plain form, and a report ending in a transition (the
// samples' reports are read against known points in SampleListingsTest).
#include "import/HzListing.h"

#include "shell/Text.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace vialto {
namespace {

// Each element's chainage, length, radius and parameter, in order.
void ExpectElements(const HzAlignment &e, const std::vector<std::array<double, 4>> &expected) {
    ASSERT_EQ(ElementCount(e), static_cast<long>(expected.size()));
    for (std::size_t i = 1; i <= expected.size(); ++i) {
        EXPECT_EQ(e[i].Number, static_cast<long>(i));
        const double actual[] = {e[i].Chainage, e[i].Length, e[i].Radius, e[i].Parameter};
        for (std::size_t k = 0; k < 4; ++k)
            EXPECT_DOUBLE_EQ(actual[k], expected[i - 1][k]) << "element " << i << ", field " << k;
    }
}

HzAlignment ReadPlain(const std::string &text) {
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
        const HzAlignment e = ReadPlain(text);
        // The end line is a marker: its point, azimuth and radius, no length.
        ExpectElements(e, {{0, 100, 0, 0}, {100, 50, -50, 0}, {150, 0, -50, 0}});
        EXPECT_DOUBLE_EQ(e[3].X, 1024.740);
        EXPECT_NEAR(e[3].Azimuth, 63.6619772 * 0.015707963267949, 1e-12);
    }
}

TEST(HzListing, ZeroLengthElementsVanishAndTheRestIsRenumbered) {
    // Row 3 lists the 0.001 marker radius, row 4 runs backwards: both elements
    // ending there get no length and are dropped.
    ExpectElements(ReadPlain("*PLT\r\n0,0,0,0,0,0\r\n10,0,10,0,0,0\r\n20,0,20,0,0.001,0\r\n"
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
    EXPECT_DOUBLE_EQ(e[3].X, 10); // the end point, not X = Y = 0
    EXPECT_DOUBLE_EQ(e[3].Y, 148);
}

} // namespace
} // namespace vialto
