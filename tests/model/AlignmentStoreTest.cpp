#include "model/AlignmentStore.h"

#include "shell/ErrHandler.h"
#include "shell/Error.h"
#include "support/ElementBuilders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace vialto;
using namespace vialto::test;

namespace {

HzAlignment ThreeElements() { // of 100 each, from 0, 100 and 200
    return OneBased<HzElement>({HzAt(0, 0, 0, 0, 0, 0, 100), HzAt(100, 0, 0, 0, 0, 0, 100),
                                HzAt(200, 0, 0, 0, 0, 0, 100)});
}

TEST(AlignmentStore, AbsentPartsRaise20000WithTheirDescriptions) {
    ResetAlignments();
    AddAlignment();
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[] { GetAligmentHz(1); }, "There are not Hz aligment to return"},
        {[] { GetAligmentVt(1); }, "There are not Vt aligment to return"},
        {[] { GetAligmentShared(1, flagSup); }, "There are not Sup aligment to return"},
        {[] { GetAligmentShared(1, flagTnl); }, "There are not tunnel aligment to return"},
        {[] { SetAligmentShared(1, flagCr, 1); },
         "Only the cant table and the tunnel profile set are shared"},
    };
    for (const auto &[body, expected] : cases) {
        EXPECT_EQ(ErrorOf(body).Number, 20000);
        EXPECT_EQ(ErrorOf(body).Description, expected);
    }
}

TEST(AlignmentStore, ElementSearchRule) {
    ResetAlignments();
    AddAlignment();
    SetAligmentHz(1, ThreeElements());
    const std::pair<double, long> cases[] = {{-5, 1}, {100, 2}, {199.999, 2}, {1000, 3}};
    for (auto [chainage, number] : cases) {
        HzElement e;
        GetAligmentHzWithChainage(e, 1, chainage);
        EXPECT_EQ(e.Number, number) << chainage;
    }
}

TEST(AlignmentStore, StringlinesByExactName) {
    RecordingUi ui;
    ResetAlignments();
    AddAlignment();
    // Stringlines are found by their exact name; a miss leaves the output alone.
    TStringLine out{.Name = "untouched", .Hz = {}, .Vt = {}};
    EXPECT_FALSE(GetAligmentStrLnWithName(out, 1, "A")); // no stringlines
    TStringLines set;
    set.Count = 1;
    set.Lines = {{.Name = "A", .Hz = {}, .Vt = {}}, {.Name = "B", .State = 7, .Hz = {}, .Vt = {}}};
    SetAligmentStrLn(1, set);
    EXPECT_FALSE(GetAligmentStrLnWithName(out, 1, "b"));
    EXPECT_EQ(out.Name, "untouched");
    EXPECT_TRUE(GetAligmentStrLnWithName(out, 1, "B"));
    EXPECT_EQ(out.State, 7);
    // Stringline files cannot be imported; outside debug mode that is only logged.
    EXPECT_FALSE(ImportStrLnAligment(set, "any.txt"));
    EXPECT_TRUE(ui.Messages.empty());
}

} // namespace
