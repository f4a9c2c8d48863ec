#include "editors/CantEditing.h"

#include "EditorFakes.h"
#include "editors/EditorSession.h"
#include "railtunnel/Superelevation.h"
#include "shell/Text.h"

using namespace vialto;
using namespace vialto::editors;
using namespace vialto::editors::test;
using ::testing::HasSubstr;

namespace {

using CantEditingTest = EditorTest;

// Stations of the two-rail form in a group; the table's name, the group and
// every attribute it does not show are kept; an older file is written in the
// current format version, which is what the converter asks of old tables.
TEST_F(CantEditingTest, SaveKeepsTheFileAndWritesTheCurrentVersion) {
    struct Case {
        const char *Sample;
        std::size_t Row, Column;
        const char *Before, *After;
    };
    const Case cases[] = {
        {"samples/cant/left_right.xml", 2, cantApplied, "appliedCantLeft=\"120\"",
         "appliedCantLeft=\"130\""},
        {"samples/cant/single_cant.xml", 3, cantRotationOrRight,
         "rotationPoint=\"insideRail\" cantInterpolation=\"cubic\"",
         "rotationPoint=\"center\" cantInterpolation=\"cubic\""},
        {"samples/cant/old_version.xml", 1, cantStation, "station=\"1500.000\"",
         "station=\"1500.25\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Sample);
        EditorSession session(CantKind(true));
        const auto original = SourcePath(c.Sample);
        ASSERT_TRUE(session.Open(original.string()));
        EXPECT_TRUE(session.Verdict().Accepted);
        const std::string value = ExtractText(c.After, "\"", "\"");
        ASSERT_EQ(session.SetCell(c.Row, c.Column, value), "");
        dialogs_.SavePath = (dir_ / "copy.xml").string();
        ASSERT_TRUE(session.SaveAs(dialogs_));

        std::string expected = Canonical(original);
        const std::size_t at = expected.find(c.Before);
        ASSERT_NE(at, std::string::npos);
        expected.replace(at, std::string(c.Before).size(), c.After);
        // The root's version is the current one.
        const std::size_t version = expected.find(" version=\"") + 10;
        ASSERT_LT(version, expected.find('>'));
        expected.replace(version, expected.find('"', version) - version, "1.2.0");
        EXPECT_EQ(Canonical(dir_ / "copy.xml"), expected);
        EXPECT_THAT(ReadFileBytes(dir_ / "copy.xml"),
                    HasSubstr("<!-- Cant table written by Cantrix. File format version '1.2.0' "
                              "-->\r\n<Cant "));
        clsSuperelevation table; // and the converter reads it
        EXPECT_TRUE(table.Import((dir_ / "copy.xml").string(), unitMetre));
        EXPECT_EQ(table.Version(), "1.2.0");
    }
}

// What the converter would refuse, or compute wrongly, is not saved.
TEST_F(CantEditingTest, RowsThatBreakARuleAreNotSaved) {
    struct Case {
        std::size_t Row, Column;
        const char *Value;
        const char *Problem;
    };
    const Case cases[] = {
        {1, cantStation, "-5",
         "Row 2: the station -5 lies before the station 0.000 of the row above"},
        {1, cantApplied, "1600",
         "Row 2: a cant of 1600.0 mm is more than the superelevation base (1500.0 mm)"},
        {0, cantApplied, "-1500.5", "Row 1: a cant of 1500.5 mm is more than"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Value);
        EditorSession session(CantKind(false));
        const auto file = dir_ / "rules.xml";
        ASSERT_TRUE(session.CreateTemplate(file.string(), dialogs_));
        const std::string before = ReadFileBytes(file);
        ASSERT_EQ(session.SetCell(c.Row, c.Column, c.Value), "");
        dialogs_.Told.clear();
        EXPECT_FALSE(session.Save(dialogs_));
        ASSERT_EQ(dialogs_.Told.size(), 1u);
        EXPECT_THAT(dialogs_.Told[0], HasSubstr(c.Problem));
        EXPECT_EQ(ReadFileBytes(file), before);
    }
    // Header rules and a word the file holds that is not one of the choices.
    EditorSession session(CantKind(false));
    const auto file = dir_ / "words.xml";
    WriteFileBytes(file, "<?xml version=\"1.0\"?>\n<!-- '1.1.0' -->\n<Cant gauge=\"0\" "
                         "superelevationBase=\"1.5\" rotationPoint=\"center\" coPlane=\"false\">"
                         "<CantStation station=\"0\" appliedCant=\"0\" rotationPoint=\"center\" "
                         "cantInterpolation=\"spline\"/></Cant>");
    ASSERT_TRUE(session.Open(file.string()));
    EXPECT_TRUE(session.Verdict().Accepted); // the reader takes an unknown word as linear
    EXPECT_NE(session.SetHeader(cantCoPlane, "true"), ""); // only a track of a double track
    EXPECT_FALSE(session.Save(dialogs_));
    EXPECT_THAT(dialogs_.Told.back(),
                HasSubstr("Row 1, Transition to next: 'spline' is not one of linear, cubic, "
                          "reverseCurve"));
    ASSERT_EQ(session.SetCell(0, cantInterpolation, "linear"), "");
    EXPECT_FALSE(session.Save(dialogs_));
    EXPECT_THAT(dialogs_.Told.back(), HasSubstr("Gauge (m): the gauge must be more than 0"));
}

// A table the converter refuses for its version is mended by saving it with
// the user's consent.
TEST_F(CantEditingTest, UnknownVersionIsRefusedAndMendedBySaving) {
    const auto file = dir_ / "future.xml";
    const std::string text = "<?xml version=\"1.0\"?>\n<!-- version '1.4.2' -->\n<Cant "
                             "gauge=\"1.435\" superelevationBase=\"1.5\" rotationPoint=\"center\" "
                             "coPlane=\"false\" version=\"1.4.2\"><CantStation station=\"0\" "
                             "appliedCant=\"0\" rotationPoint=\"center\"/></Cant>";
    WriteFileBytes(file, text);
    EditorSession session(CantKind(false));
    ASSERT_TRUE(session.Open(file.string()));
    EXPECT_FALSE(session.Verdict().Accepted);
    EXPECT_EQ(session.Verdict().Message, "E_FILE_SUPER_VER"); // no language file in the tests
    EXPECT_THAT(session.Verdict().Reason, HasSubstr("'1.4.2'"));
    dialogs_.ConfirmAnswer = false;
    EXPECT_FALSE(session.Save(dialogs_));
    EXPECT_EQ(ReadFileBytes(file), text);
    dialogs_.ConfirmAnswer = true;
    ASSERT_TRUE(session.Save(dialogs_));
    EXPECT_TRUE(session.Verdict().Accepted) << VerdictLine(session.Verdict());
}

} // namespace
