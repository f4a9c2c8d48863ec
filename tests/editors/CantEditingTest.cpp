#include "editors/CantEditing.h"

#include "EditorFakes.h"
#include "editors/EditorSession.h"

using namespace vialto;
using namespace vialto::editors;
using namespace vialto::editors::test;
using ::testing::HasSubstr;

namespace {

using CantEditingTest = EditorTest;

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

} // namespace
