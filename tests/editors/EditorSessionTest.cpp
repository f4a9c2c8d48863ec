#include "editors/EditorSession.h"

#include "EditorFakes.h"
#include "editors/CantEditing.h"
#include "editors/EditorCommandLine.h"
#include "editors/TunnelEditing.h"
#include "shell/Text.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

using namespace vialto;
using namespace vialto::editors;
using namespace vialto::editors::test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

using EditorSessionTest = EditorTest;

TEST(EditorCommandLine, ArgumentsAsTheFilesPageGivesThem) {
    struct Case {
        bool Cantrix;
        std::vector<std::string> Args;
        const char *File, *TemplateOut;
        bool DoubleTrack, Check;
        const char *Error; // "" when understood
    };
    const Case cases[] = {
        {false, {"-l", "/p/a b.xml"}, "/p/a b.xml", "", false, false, ""},
        {false, {"-l"}, "", "", false, false, ""},
        {false, {"-l", ""}, "", "", false, false, ""}, // the row had no file
        {false, {}, "", "", false, false, ""},
        {false, {"-l", "--template-out", "t.xml", "--check"}, "", "t.xml", false, true, ""},
        {false, {"-l", "-s"}, "-s", "", false, false, ""}, // not an option of Tubrix
        {false, {"/p/x.xml"}, "/p/x.xml", "", false, false, ""},
        {false, {"-l", "a", "b"}, "a", "", false, false, "more than one file"},
        {false, {"-x"}, "", "", false, false, "unknown option '-x'"},
        {false, {"--check"}, "", "", false, true, "needs --template-out"},
        {false, {"-l", "a", "--template-out", "b"}, "a", "b", false, false, "is opened instead"},
        {true, {"-d", "-c", "/p/c.xml"}, "/p/c.xml", "", false, false, ""},
        {true, {"-d1", "-s"}, "", "", true, false, ""},
        {true, {"-d", "-s", ""}, "", "", false, false, ""}, // the command line plus the empty name
        {true, {"-d", "-c", "x", "-s"}, "x", "", false, false, "-s makes a new table"},
        {true, {"-d1", "-c", "--template-out"}, "", "", true, false, "needs a file name"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.Args));
        const EditorCommand command =
            c.Cantrix ? ParseCantrixArguments(c.Args) : ParseTubrixArguments(c.Args);
        EXPECT_EQ(command.Error.empty(), !*c.Error) << command.Error;
        EXPECT_THAT(command.Error, HasSubstr(c.Error));
        if (!*c.Error) {
            EXPECT_EQ(
                std::tie(command.File, command.TemplateOut, command.DoubleTrack, command.CheckOnly),
                std::make_tuple(std::string(c.File), std::string(c.TemplateOut), c.DoubleTrack,
                                c.Check));
        }
    }
}

// File names holding shell syntax, quotes or blanks are made, judged, edited
// and saved under exactly that name, and nothing else appears in the folder.
TEST_F(EditorSessionTest, HostileFileNamesAreJustFileNames) {
    const std::string names[] = {"a; touch PWNED; `b`.xml", "$(touch PWNED).xml",
                                 "q\"uo'te & <x>.xml", " blanks  around .xml"};
    for (const std::string &name : names) {
#ifdef _WIN32
        if (name.find_first_of("\"<>") != std::string::npos)
            continue; // no Windows file name holds these
#endif
        SCOPED_TRACE(name);
        const std::string path = (dir_ / name).string();
        for (const bool cantrix : {false, true}) {
            const EditorCommand made =
                cantrix ? ParseCantrixArguments({"-d1", "-s", "--template-out", path, "--check"})
                        : ParseTubrixArguments({"-l", "--template-out", path, "--check"});
            ASSERT_EQ(made.Error, "");
            std::ostringstream out, err;
            EXPECT_EQ(RunCheck(cantrix ? CantKind(true) : TunnelKind(), made, out, err), 0)
                << err.str();
            EXPECT_THAT(out.str(), HasSubstr("The converter reads this file"));

            const EditorCommand opened = cantrix ? ParseCantrixArguments({"-d", "-c", path})
                                                 : ParseTubrixArguments({"-l", path});
            ASSERT_EQ(opened.File, path);
            EditorSession session(cantrix ? CantKind(false) : TunnelKind());
            ASSERT_TRUE(StartSession(session, opened, dialogs_));
            session.AddRow(2);
            ASSERT_TRUE(session.Save(dialogs_));
            EXPECT_TRUE(session.Verdict().Accepted);
            EXPECT_THAT(FolderNames(dir_.Path()), ElementsAre(name));
        }
        std::filesystem::remove(path);
    }
    EXPECT_THAT(FolderNames(dir_.Path()), IsEmpty());
}

// Everything the table does not show survives a save: the root's attributes,
// comments, remarks, layers, groups; only the edited value differs, and an
// older cant table is written in the current format version, which is what
// the converter asks of old tables.
TEST_F(EditorSessionTest, SaveKeepsEverythingTheTableDoesNotShow) {
    const struct {
        const char *Sample;
        std::size_t Row, Column;
        const char *Before, *After;
    } cases[] = {
        {"tunnel/profiles.xml", 0, tunnelChainage, "sta=\"12360.000\"", "sta=\"12345.678\""},
        {"tunnel/profiles_cp1252.xml", 0, tunnelChainage, "sta=\"12520,5\"", "sta=\"12345.678\""},
        {"cant/left_right.xml", 2, cantApplied, "appliedCantLeft=\"120\"",
         "appliedCantLeft=\"130\""},
        {"cant/single_cant.xml", 3, cantRotationOrRight,
         "rotationPoint=\"insideRail\" cantInterpolation=\"cubic\"",
         "rotationPoint=\"center\" cantInterpolation=\"cubic\""},
        {"cant/old_version.xml", 1, cantStation, "station=\"1500.000\"", "station=\"1500.25\""},
    };
    const auto copy = dir_ / "copy.xml";
    dialogs_.SavePath = copy.string();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Sample);
        const bool cant = std::string_view(c.Sample).starts_with("cant/");
        EditorSession session(cant ? CantKind(true) : TunnelKind());
        const std::string original = vialto::test::SamplePath(c.Sample);
        ASSERT_TRUE(session.Open(original));
        EXPECT_TRUE(session.Verdict().Accepted);
        ASSERT_EQ(session.SetCell(c.Row, c.Column, ExtractText(c.After, "\"", "\"")), "");
        ASSERT_TRUE(session.SaveAs(dialogs_));

        std::string expected = Canonical(original);
        const std::size_t at = expected.find(c.Before);
        ASSERT_NE(at, std::string::npos);
        expected.replace(at, std::string(c.Before).size(), c.After);
        if (cant) {
            const std::size_t version = expected.find(" version=\"") + 10;
            ASSERT_LT(version, expected.find('>'));
            expected.replace(version, expected.find('"', version) - version, "1.2.0");
            EXPECT_THAT(ReadFileBytes(copy),
                        HasSubstr("<!-- Cant table written by Cantrix. File format version "
                                  "'1.2.0' -->\r\n<Cant "));
        }
        EXPECT_EQ(Canonical(copy), expected);
        EXPECT_EQ(session.Path(), copy.string());
        EXPECT_TRUE(session.Verdict().Accepted) << "the converter reads the copy";
    }
    // A file saved by the editor and saved again is the same to the byte.
    EditorSession session(TunnelKind());
    ASSERT_TRUE(session.Open(vialto::test::SamplePath("tunnel/profiles_cp1252.xml")));
    ASSERT_TRUE(session.SaveAs(dialogs_));
    const std::string once = ReadFileBytes(copy);
    session.SetCell(0, tunnelName, "changed");
    session.SetCell(0, tunnelName, "Boca norte – emboquille");
    ASSERT_TRUE(session.Save(dialogs_));
    EXPECT_EQ(ReadFileBytes(copy), once);
}

// A failed save says why, leaves the file as it was and leaves no work file;
// closing asks about the changes while they are unsaved.
TEST_F(EditorSessionTest, FailedSaveLosesNothingAndClosingAsksAboutTheChanges) {
    EditorSession session(TunnelKind());
    const auto file = dir_ / "set.xml";
    ASSERT_TRUE(session.CreateTemplate(file.string(), dialogs_));
    EXPECT_TRUE(session.MayClose(dialogs_)); // nothing changed: nothing asked
    EXPECT_THAT(dialogs_.Asked, IsEmpty());
    const std::string before = ReadFileBytes(file);
    EXPECT_EQ(session.SetCell(0, tunnelName, "Changed"), "");

    std::filesystem::create_directory(dir_ / "folder.xml");
    dialogs_.SavePath = (dir_ / "folder.xml").string();
    EXPECT_FALSE(session.SaveAs(dialogs_));
    dialogs_.SavePath = (dir_ / "no such folder" / "x.xml").string();
    EXPECT_FALSE(session.SaveAs(dialogs_));
    ASSERT_EQ(dialogs_.Told.size(), 2u);
    EXPECT_THAT(dialogs_.Told[0], HasSubstr("it is a folder"));
    EXPECT_THAT(dialogs_.Told[1], HasSubstr("no file can be created in its folder"));
    // A folder without write permission, where the system enforces it (the
    // superuser and Windows write there anyway, which the probe finds out).
    std::filesystem::permissions(dir_.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    if (!std::ofstream(dir_ / "probe").is_open()) {
        EXPECT_FALSE(session.Save(dialogs_));
    }
    std::filesystem::remove(dir_ / "probe");
    std::filesystem::permissions(dir_.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_TRUE(session.Modified());
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_THAT(FolderNames(dir_.Path()), ElementsAre("folder.xml", "set.xml"));

    dialogs_.UnsavedAnswer = IEditorDialogs::Unsaved::Cancel;
    EXPECT_FALSE(session.MayClose(dialogs_));
    dialogs_.UnsavedAnswer = IEditorDialogs::Unsaved::Discard;
    EXPECT_TRUE(session.MayClose(dialogs_));
    EXPECT_EQ(ReadFileBytes(file), before);
    dialogs_.UnsavedAnswer = IEditorDialogs::Unsaved::Save;
    EXPECT_TRUE(session.MayClose(dialogs_));
    EXPECT_THAT(ReadFileBytes(file), HasSubstr("name=\"Changed\""));
}

TEST_F(EditorSessionTest, MissingFileIsMadeOnlyWithConsent) {
    const auto file = dir_ / "new cant.xml";
    const EditorCommand command = ParseCantrixArguments({"-d", "-c", file.string()});
    EditorSession refused(CantKind(false));
    dialogs_.ConfirmAnswer = false;
    ASSERT_TRUE(StartSession(refused, command, dialogs_));
    EXPECT_FALSE(refused.Editable());
    EXPECT_FALSE(refused.Verdict().Accepted);
    EXPECT_THAT(refused.Verdict().Reason, HasSubstr("File not found"));
    EXPECT_FALSE(std::filesystem::exists(file));

    EditorSession made(CantKind(false));
    dialogs_.ConfirmAnswer = true;
    ASSERT_TRUE(StartSession(made, command, dialogs_));
    EXPECT_TRUE(made.Verdict().Accepted);
    EXPECT_TRUE(std::filesystem::exists(file));

    // A template whose save dialog is cancelled makes nothing.
    EditorSession cancelled(TunnelKind());
    dialogs_.SavePath.clear();
    EXPECT_FALSE(StartSession(cancelled, ParseTubrixArguments({"-l"}), dialogs_));
    EXPECT_THAT(FolderNames(dir_.Path()), ElementsAre("new cant.xml"));
}

TEST(XmlTableFields, EachKindTakesWhatItsRuleAllows) {
    struct Case {
        std::size_t Column;
        const char *Text;
        const char *Kept; // nullptr: refused
    };
    // Tunnel columns: chainage (a required number), name (optional text).
    const Case cases[] = {
        {tunnelChainage, "12,5", "12.5"},     {tunnelChainage, " -7 ", "-7"},
        {tunnelChainage, ".5", ".5"},         {tunnelChainage, "1e3", nullptr},
        {tunnelChainage, "1.2.3", nullptr},   {tunnelChainage, "", nullptr},
        {tunnelChainage, "+", nullptr},       {tunnelName, "", ""},
        {tunnelName, "Boca – ñ", "Boca – ñ"}, {tunnelName, "two\nlines", nullptr},
        {tunnelContent, "x", nullptr},
    };
    TableDocument table = TableFromText(TunnelKind().TemplateText(), TunnelKind().ChooseDef);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Text);
        const std::string before = CellText(table, 0, c.Column);
        const std::string problem = SetCellText(table, 0, c.Column, c.Text);
        EXPECT_EQ(problem.empty(), c.Kept != nullptr) << problem;
        EXPECT_EQ(CellText(table, 0, c.Column), c.Kept ? c.Kept : before);
    }
    TableDocument cant = TableFromText(CantKind(true).TemplateText(), CantKind(true).ChooseDef);
    EXPECT_EQ(SetHeaderText(cant, cantRotation, "middle"),
              "Rotation point: 'middle' is not one of insideRail, outsideRail, center, "
              "leftRail, rightRail");
    EXPECT_EQ(SetHeaderText(cant, cantCoPlane, "yes"),
              "Co-planar with the other track: 'yes' is neither true nor false");
    EXPECT_EQ(SetHeaderText(cant, cantStationType, ""), ""); // optional: dropped on saving
    EXPECT_EQ(SetHeaderText(cant, cantVersion, "9.9.9"), "Format version cannot be changed");
}

} // namespace
