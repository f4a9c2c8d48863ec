// Bad input to every listing reader: a failure with its reason and line, no
// result left behind, and the error handler told unless the header was wrong.
#include "import/CrListing.h"
#include "import/HzListing.h"
#include "import/VtListing.h"

#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vialto {
namespace {

using ::testing::HasSubstr;

enum Reader { HzPlain, HzRtf, VtText, VtRtf, Trv, Trv2, CrText, CrRtf };

// Runs the reader on the text; true when it failed and left nothing behind.
bool FailsClean(Reader reader, const std::string &text, ListingFailure &failure) {
    HzAlignment hz(3);
    VtAlignment vt(3);
    CrossSectionSet cr;
    cr.Stations.resize(3);
    const char *const extensions[] = {"TRV", "TRV2", "TXT", "RTF"};
    const bool ok = reader == HzPlain  ? ReadHzPlainListing(text, hz, &failure, "bad")
                    : reader == HzRtf  ? ReadHzRtfListing(text, hz, &failure, "bad")
                    : reader == VtText ? ReadVtTextListing(text, vt, &failure, "bad")
                    : reader == VtRtf
                        ? ReadVtRtfListing(text, vt, &failure, "bad")
                        : ReadCrListing(text, extensions[reader - Trv], cr, &failure, "bad");
    return !ok && (reader <= HzRtf   ? hz.empty()
                   : reader <= VtRtf ? vt.empty()
                                     : cr.Stations.empty());
}

TEST(ListingFailures, EveryReaderNamesTheReasonAndTheLine) {
    const std::string row = "0,1,2,3,4,5\r\n", plt = "*PLT\r\n" + row;
    const std::string alz = "*ALZ\r\n0,100C,0R\r\n", printed = "== rule\r\nt\r\nu\r\n";
    const std::string te = "\r\nx\r\n TE 1 12+700.000 750.0 1.0 0 0\r\n", trv = "*TRV\r\nx\r\n";
    // RTF vertical report rows: a vertex's first and second rows.
    const std::string v0 =
        "V\\cell 0+000\\cell 0+000\\cell 100\\cell 0\\cell 0\\cell 0\\cell\\row\r\n";
    const std::string v1 = "\\cell 100\\cell 0+000\\cell 100\\cell 1\\cell\\cell\\cell\\row\r\n";
    const std::string hz = "0+000\\cell 0\\cell 1\\cell 2\\cell 0\\cell 0\\cell 0\\cell\\row\r\n";
    const std::string station = "Estaci\\'f3n\\cell 0+010\\cell\\row\r\n";
    const std::string rule = "=====  =====  =====  =====  =====  =====  =====  =====\r\n";
    const struct {
        Reader Form;
        std::string Text;
        long Line;
        const char *Reason;            // part of the reason; for cross sections, its beginning
        bool Shown;                    // handed to the error handler
        const char *Message = nullptr; // what it shows, when not the failure's text
    } cases[] = {
        {HzPlain, "", 0, "the file is empty", false},
        {HzPlain, "*PLT \r\n" + row + row, 1, "expected the header \"*PLT\"", false},
        {HzPlain, plt + std::string(50u << 20, 'x'), 3, "expected six numbers", true}, // 50 MB
        {HzRtf, plt, 1, "not a readable RTF report", true},
        {HzRtf, "{\\rtf1 0+000\\cell 0\\cell abc\\cell 0\\cell 0\\cell 0\\cell 0\\cell\\row}", 1,
         "cell 3 (X) holds no number: \"abc\"", true},
        // Text outside the table is passed over; rows that hold data are read
        // or refused, never skipped or padded.
        {HzRtf, "{\\rtf1 Title\\par\r\n" + hz + "0+100\\cell 100\\cell\\row\r\nEnd\\par}", 3,
         "the row has 3 cell(s)", true},
        {HzRtf,
         "{\\rtf1 " + hz + "0,1 km\\cell 1\\cell 1\\cell 2\\cell 0\\cell 0\\cell 0\\cell\\row}", 2,
         "cell 1 (chainage) is not a chainage", true},
        {HzRtf, "{\\rtf1 Title\\par " + hz + "}", 2, "the report lists one row", true},
        {VtText, "*ALZ2\r\n0,1C,0R\r\n1,1C,0R\r\n", 1, "expected the header \"*ALZ\"", false},
        {VtText, "*ALZ\r\n0,100X,0R\r\n1,1C,0R\r\n", 2, "C or P", true},
        {VtText, alz + "1,C,0R\r\n", 3, "field 2", true},
        // A curve between equal grades has no length: the conversion raises its own error.
        {VtText, alz + "100,102C,5000R\r\n200,104C,0R\r\n", 3, "no curve", true,
         "ConvertVerticalDataToAvanceData\r\nUnknown vertical element"},
        {VtText, "\x01\x02\xff\xfe garbage\r\n\x80", 0, "no group of a printed", false},
        {VtText, printed + " 1 12+340.000" + te, 4, "field 3 (height) is missing", true},
        {VtText, printed + " 1 12+340.000 1 1\r\n 2 12+540.000 1 1" + te, 4, "no curve line", true},
        {VtRtf, "{\\rtf1 T\\par H\\par V\\cell 0+000\\cell\\row}", 3, "cut short", true},
        {VtRtf, "{\\rtf1 " + v0 + v1 + "End of listing\\par}", 1, "lists one vertex", true},
        {VtRtf, "{\\rtf1 " + v0 + v0 + v1 + "}", 2,
         "expected the second row of the vertex in row 1", true},
        {VtRtf,
         "{\\rtf1 " + v0 + v1 +
             "V2\\cell 0+100\\cell 0+100\\cell 101\\cell 1\\cell 0\\cell "
             "\\cell\\row\\cell 101\\cell 0+100\\cell\\row}",
         4, "cell 4 (height) is empty", true},
        {Trv2, "*TRX\r\n", 1, "expected the header \"*TRV\"", false},
        {Trv, trv + "10,3\r\n1,2,P\r\n", 3,
         "the section announces 3 line(s) but the file ends after 1", true},
        {Trv, trv + "10,1\r\n1,2x,P\r\n", 4, "field 2 (height) is not a number", true},
        {CrText, "P.K.    10\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n", 1, "no column rule",
         true},
        {CrText, "P.K.\r\n==  ==  ==  ==  ==  ==  ==  ==\r\n", 1,
         "the \"P.K.\" line carries no chainage", true},
        {CrRtf, "{\\rtf1 " + station + "1\\cell 2\\cell 3\\cell\\row}", 2,
         "a row of points with 4 cell(s)", true},
        // Letters outside ASCII are quoted as themselves, broken bytes as "?".
        {CrRtf, "{\\rtf1 Estaci\\'f3n\\cell P.K. v\\'e9rtice\\cell\\row}", 1,
         "cell 2 (chainage) is not a chainage: \"P.K. vértice\"", true},
        {HzPlain, plt + "10,1,\xff\x01,3,4,5\r\n" + row, 3, "field 3 (Y) is not a number: \"??\"",
         true},
        {CrText, "P.K.    10\r\n" + rule + " 1 x\r\n", 3,
         "the height of the Taludes columns holds no number", true},
        // The form follows the extension and, for ".trv", the first line.
        {Trv, std::string("\0\1\2\3\xff", 5), 0, "neither the header \"*TRV\" nor a", false},
        {CrText, trv + "10,1\r\n1,2,P\r\n", 0, "neither the header \"*TRV\" nor a", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text.substr(0, 60));
        test::RecordingUi ui;
        ListingFailure failure;
        EXPECT_TRUE(FailsClean(c.Form, c.Text, failure));
        EXPECT_EQ(failure.File, "bad");
        EXPECT_EQ(failure.Line, c.Line) << failure.Text();
        const std::size_t at = failure.Reason.find(c.Reason);
        EXPECT_TRUE(c.Form >= Trv ? at == 0 : at != std::string::npos) << failure.Text();
        EXPECT_LT(failure.Text().size(), 200u) << "quotes a few characters only";
        ASSERT_EQ(ui.Messages.size(), c.Shown ? 1u : 0u);
        if (c.Shown) {
            const std::string reader = c.Form <= HzRtf   ? "ImportHzAligment"
                                       : c.Form <= VtRtf ? "ImportVtAligment"
                                                         : "ImportCrAligment";
            EXPECT_THAT(ui.Messages[0].Text, HasSubstr(c.Message ? c.Message : reader));
            EXPECT_THAT(ui.Messages[0].Text, HasSubstr(c.Message ? c.Message : failure.Text()));
        }
    }
}

TEST(ListingFailures, ImportNamesTheFileAndReadsTheFormItsExtensionGives) {
    test::RecordingUi ui;
    test::TempDir dir;
    test::WriteFileBytes(dir / "a.b.rtf", "*PLT\r\n0,1,2,3,4,5\r\n1,1,2,3,4,5\r\n");
    HzAlignment hz;
    VtAlignment vt;
    CrossSectionSet cr;
    StationEquations equations(3);
    std::string name;
    ListingFailure f[4];
    // Plain text in a file named .rtf is read as RTF, and fails as such.
    EXPECT_FALSE(ImportHzAligment(hz, equations, name, (dir / "a.b.rtf").string(), &f[0]));
    EXPECT_EQ(name, "a.b");
    EXPECT_TRUE(equations.empty());
    EXPECT_THAT(f[0].Text(), HasSubstr("a.b.rtf, line 1: not a readable RTF report"));
    EXPECT_FALSE(ImportHzAligment(hz, equations, name, "/no/such/folder/x.plt", &f[1]) ||
                 ImportVtAligment(vt, "/no/such/folder/x.alz", "", &f[2]) ||
                 ImportCrAligment(cr, "/no/such/folder/x.trv", "", &f[3]));
    for (int k = 1; k < 4; ++k)
        EXPECT_THAT(f[k].Text(),
                    testing::AllOf(testing::StartsWith("x."), HasSubstr("does not exist")));
}

} // namespace
} // namespace vialto
