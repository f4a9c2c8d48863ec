// The rules the wizard's pages follow, without a window: the input-files
// check and its focus target, the preferences in the settings store, the
// numeric box, the dialog filters and the sibling editors' command lines.
#include "check/AlignmentCheck.h"
#include "shell/AppModel.h"
#include "shell/Platform.h"
#include "support/TestSupport.h"
#include "wizard/DialogFilter.h"
#include "wizard/FileCheck.h"
#include "wizard/ImportStage.h"
#include "wizard/NumericText.h"
#include "wizard/Preferences.h"
#include "wizard/SiblingEditors.h"
#include "wizard/Wizard.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace vialto;

namespace {

// A job (a double track unless said) with the given files chosen ("p.s" names
// page p slot s, and is its file's path; "p.s missing" one that has gone) and
// options of slot 2 set on the given pages.
JobDescription WithFiles(const std::vector<std::string> &chosen, const std::vector<int> &options,
                         int jobType = jobRailDouble) {
    JobDescription job;
    job.JobType = jobType;
    ShapePagesForJobType(job);
    for (const std::string &row : chosen) {
        FileSlot &slot = job.Page(row[0] - '0').Slot(row[2] - '0');
        slot.Selected = true;
        slot.Path = row;
    }
    for (int page : options)
        job.Page(page).Slot(slotVt).Option = true;
    return job;
}

bool Exists(const std::string &path) { return path.find("missing") == std::string::npos; }

} // namespace

TEST(FileCheck, FocusTargetsOfTheRowsRules) {
    struct Case {
        std::vector<std::string> Chosen;
        std::vector<int> Options;
        std::optional<FileRow> Focus;
        int JobType = jobRailDouble;
    };
    const Case cases[] = {
        {{"1.1", "1.2"}, {}, FileRow{2, 1}},  // no track at all
        {{"1.1", "3.1"}, {}, std::nullopt},   // one track is enough
        {{"2.1", "2.4"}, {2}, FileRow{3, 2}}, // left from right: right's profile
        {{"2.1", "3.2"}, {2}, FileRow{2, 4}}, // ... and its own cant table
        {{"2.1", "2.4", "3.2"}, {2}, std::nullopt},
        {{"3.1", "3.4"}, {3}, FileRow{2, 2}}, // right from left
        {{"3.1", "2.2"}, {3}, FileRow{3, 4}},
        {{"1.1", "1.2", "2.1", "3.1"}, {1}, std::nullopt}, // tracks from the centre line
        // A missing file comes first, except a profile taken from elsewhere.
        {{"1.1", "2.1", "2.2 missing", "3.1"}, {}, FileRow{2, 2}},
        {{"1.1", "2.1", "2.2 missing", "2.4", "3.1", "3.2"}, {2}, std::nullopt},
        // A tunnel job: the row not chosen, then the one missing.
        {{}, {}, FileRow{1, 1}, jobTunnel},
        {{"1.1", "1.3 missing"}, {}, FileRow{1, 3}, jobTunnel},
    };
    for (const Case &c : cases) {
        const JobDescription job = WithFiles(c.Chosen, c.Options, c.JobType);
        EXPECT_EQ(CheckInputFiles(job, Exists), c.Focus) << ::testing::PrintToString(c.Chosen);
    }
}

TEST(Preferences, DefaultsAndHandWrittenValuesAreReadAndWrittenBackInTheStoredForm) {
    const Preferences first = ReadPreferences(MemorySettings{});
    EXPECT_TRUE(first.ToleranceHz == 0.010 && first.ToleranceVt == 0.010);
    EXPECT_EQ(first.LinearUnits, 3);
    EXPECT_EQ(first.Filters, (std::array<int, 4>{1, 1, 1, 1}));

    MemorySettings settings;
    const std::string converter = ConverterSection();
    settings.Write(kSectionPreferences, "ToleranceHz", "0,005");
    settings.Write(kSectionPreferences, "ToleranceVt", "rubbish");
    settings.Write(converter, "LinearUnits", "12");
    settings.Write(converter, "FilterHz", "2.9");
    const Preferences read = ReadPreferences(settings);
    EXPECT_DOUBLE_EQ(read.ToleranceHz, 0.005);
    EXPECT_DOUBLE_EQ(read.ToleranceVt, 0.0);
    EXPECT_EQ(read.LinearUnits, 3); // no such unit: metres
    EXPECT_EQ(read.Filters[0], 2);
    WritePreferences(settings, read, jobRoad);
    EXPECT_EQ(settings.Read(kSectionPreferences, "ToleranceHz", ""), "0.005");
    EXPECT_EQ(settings.Read(kSectionPreferences, "ToleranceVt", ""), "0.000");
    // The remembered files' keys are shared with earlier runs and other programs.
    EXPECT_EQ(RememberedFileKey(2, 3), "Page2File3");
    EXPECT_EQ(RememberedOptionKey(3), "Page3File2Option");
}

TEST(NumericText, TheWholeTextRuleWithEitherSeparators) {
    const NumberSeparators comma{',', '.'};
    const NumberSeparators point{'.', ','};
    const NumberSeparators plain{'.', '\0'};
    struct Case {
        const char *Text;
        const NumberSeparators &Separators;
        bool Valid;
        double Value;
    };
    const Case cases[] = {
        {"1.234,5", comma, true, 1234.5},
        {"1,2,3", comma, false, 0},
        {"1.2", comma, false, 0},
        {"12.345.678", comma, true, 12345678},
        {".5", comma, false, 0},
        {"1,234.5", point, true, 1234.5},
        {"-0.25", point, true, -0.25},
        {"+1", point, true, 1},
        {"1-", point, false, 0},
        {"1.2.3", point, false, 0},
        {",5", point, false, 0},
        {"", point, true, 0},
        {"-", point, true, 0},
        {"1,5", plain, false, 0},
        {"12 3", point, false, 0},
        {"1234567890123456", point, false, 0}, // 16 whole digits: no length is that long
    };
    for (const Case &c : cases) {
        EXPECT_EQ(IsValidNumericText(c.Text, c.Separators), c.Valid) << c.Text;
        EXPECT_DOUBLE_EQ(c.Valid ? NumericTextValue(c.Text, c.Separators) : 0, c.Value) << c.Text;
    }
    EXPECT_EQ(FormatNumericText(0.01, 3, comma), "0,010");
    // The keys typed are filtered in the numeric box's test, in two locales.
    const NumberSeparators ungrouped = SeparatorsFromThousand("1000,00");
    EXPECT_TRUE(ungrouped.Decimal == ',' && ungrouped.Thousands == '\0');
}

TEST(DialogFilter, ClassicFiltersBecomeDialogEntries) {
    EXPECT_EQ(DialogFilters("Planta (*.plt;*.rtf,*.txt)|*.plt;*.rtf;*.txt"),
              std::vector<std::string>{"Planta (*.plt *.rtf *.txt)"});
    EXPECT_EQ(DialogFilters("LandXML(*.xml)|*.xml|(*.*)|*.*"),
              (std::vector<std::string>{"LandXML (*.xml)", "* (*)"}));
    EXPECT_EQ(DialogFilters("File xml (*.XML)|*.XML|"),
              std::vector<std::string>{"File xml (*.XML)"});
    EXPECT_TRUE(DialogFilters("").empty());
}

TEST(SiblingEditors, CommandLinesAreArgumentLists) {
    SetProgramFolder("/opt/vialto");
    // Windows joins the folder and the name with "\\".
    const std::string tubrix = PathText(Utf8Path("/opt/vialto") / ("Tubrix" + ExecutableSuffix()));
    const std::string cantrix =
        PathText(Utf8Path("/opt/vialto") / ("Cantrix" + ExecutableSuffix()));
    const std::tuple<EditorKind, std::string, bool, EditorCommand> cases[] = {
        {EditorKind::TunnelProfiles, "", false, {tubrix, {"-l"}}},
        {EditorKind::CantTable, "c.xml", true, {cantrix, {"-d1", "-c", "c.xml"}}},
        {EditorKind::CantTable, "", false, {cantrix, {"-d", "-s"}}},
        {EditorKind::None, "x", false, {"", {}}},
    };
    for (const auto &[kind, file, doubleTrack, command] : cases)
        EXPECT_EQ(ComposeEditorCommand(kind, file, doubleTrack), command) << file;

    vialto::test::TempDir folder;
    SetProgramFolder(folder.Path().string());
    EXPECT_FALSE(SiblingProgramExists(EditorKind::TunnelProfiles));
    vialto::test::WriteFileBytes(folder / ("Tubrix" + ExecutableSuffix()), "");
    EXPECT_TRUE(SiblingProgramExists(EditorKind::TunnelProfiles));
    EXPECT_FALSE(SiblingProgramExists(EditorKind::CantTable));
    SetProgramFolder(".");
}

TEST(ImportTreeLabels, FileNamesWithTheirExtensionAndGeneratedPartsByTheirCaption) {
    JobDescription job = WithFiles({"1.1", "2.1", "2.4"}, {2});
    job.Page(1).Slot(slotHz).Path = "/data/centre.plt";
    job.Page(2).Slot(slotSup).Path = "C:\\data\\left.xml";
    ImportTree tree;
    tree.AddRoot("PAGE1", "Centre line files");
    tree.AddNode("PAGE1", "Hz", "centre");
    tree.AddRoot("PAGE2", "Left track files");
    tree.AddNode("PAGE2", "Vt", "from the right track", 0,
                 "Vertical alignment: from the right track");
    tree.AddNode("PAGE2", "Cr", "left");
    EXPECT_EQ(ImportTreeLabels(tree, job),
              (std::vector<std::string>{"Centre line files", "centre.plt", "Left track files",
                                        "Vertical alignment: from the right track", "left.xml"}));
}

// The centre line of a double track is stored as "<name>_CCL": the importing
// page still finds its check report under the leaf's text.
TEST(ImportTree, TheCentreLinesCheckReportIsFoundUnderItsCheckedName) {
    vialto::test::TempDir dir;
    std::string listing =
        vialto::test::ReadFileBytes(vialto::test::SourcePath("samples/rail/double_centre.plt"));
    listing.replace(listing.find("500.000000,30500.000000"), 23, "500.000000,30500.500000");
    vialto::test::WriteFileBytes(dir / "gap.plt", listing);
    JobDescription job = WithFiles({}, {});
    job.Page(1).Slot(slotHz) =
        FileSlot{true, (dir / "gap.plt").string(), "gap", 1, false, vtProjected};
    ImportTree tree;
    NullProgress progress;
    IntroPageImporting(job, tree, progress);
    const ImportTreeNode *leaf = tree.Find("PAGE1", "Hz");
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->Image, kImageFailed);
    EXPECT_EQ(leaf->Text, "gap");
    EXPECT_NE(GetCheckReportText(leaf->Text, leaf->Key).find("500.0000"), std::string::npos);
}
