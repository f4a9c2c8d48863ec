#include "AlignmentStore.h"

#include "ErrHandler.h"
#include "Error.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace vialto;

namespace {

HzAlignment ThreeElements() {
    HzAlignment hz = MakeOneBased<HzElement>(3);
    for (long i = 1; i <= 3; ++i) {
        hz[i].Number = i;
        hz[i].Chainage = 100.0 * static_cast<double>(i - 1);
        hz[i].Length = 100.0;
    }
    return hz;
}

long ErrorNumberOf(const std::function<void()> &body, std::string *description = nullptr) {
    try {
        body();
    } catch (const VialtoError &e) {
        if (description)
            *description = e.Info().Description;
        return e.Info().Number;
    }
    return 0;
}

} // namespace

TEST(AlignmentStore, SlotsAndFlags) {
    ResetAlignments();
    EXPECT_EQ(GetAlignmentCount(), 0);
    EXPECT_FALSE(ExistAlignment(flagHz, 1));
    AddAlignment();
    AddAlignment();
    EXPECT_EQ(GetAlignmentCount(), 2);
    SetAligmentHz(1, ThreeElements());
    SetAligmentVt(1, MakeOneBased<VtElement>(1));
    EXPECT_TRUE(ExistAlignment(flagHz | flagVt, 1));
    EXPECT_FALSE(ExistAlignment(flagHz | flagCr, 1));
    EXPECT_FALSE(ExistAlignment(flagHz, 2));
    EXPECT_FALSE(ExistAlignment(flagHz, 200)); // above the count: no error
    EXPECT_EQ(GetAlignmentFlags(1), flagHz | flagVt);
    EXPECT_EQ(ErrorNumberOf([] { GetAlignmentFlags(9); }), 9);
    ResetAlignments();
    EXPECT_FALSE(ExistAlignment(flagHz, 1));
}

TEST(AlignmentStore, AbsentPartsRaise20000WithTheirDescriptions) {
    ResetAlignments();
    AddAlignment();
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[] { GetAligmentHz(1); }, "There are not Hz aligment to return"},
        {[] { GetAligmentVt(1); }, "There are not Vt aligment to return"},
        {[] { GetStationEquations(1); }, "There are not Station equation to return"},
        {[] { GetAligmentCr(1); }, "There are not Cr aligment to return"},
        {[] { GetAligmentSup(1); }, "There are not Sup aligment to return"},
        {[] { GetAligmentTnl(1); }, "There are not tunnel aligment to return"},
        {[] { GetAligmentStrLn(1); }, "There are not StrLn aligment to return"},
    };
    for (const auto &[body, expected] : cases) {
        std::string description;
        EXPECT_EQ(ErrorNumberOf(body, &description), 20000);
        EXPECT_EQ(description, expected);
    }
}

TEST(AlignmentStore, ElementSearchRule) {
    ResetAlignments();
    AddAlignment();
    SetAligmentHz(1, ThreeElements());
    const std::pair<double, long> cases[] = {{-5, 1},      {0, 1},   {50, 1},  {100, 2},
                                             {199.999, 2}, {200, 3}, {1000, 3}};
    for (auto [chainage, number] : cases) {
        HzElement e;
        GetAligmentHzWithChainage(e, 1, chainage);
        EXPECT_EQ(e.Number, number) << chainage;
    }
}

TEST(AlignmentStore, StationEquationsAndStringlines) {
    ResetAlignments();
    AddAlignment();
    SetStationEquations(1, MakeOneBased<StationEquation>(0));
    EXPECT_TRUE(ExistAlignment(flagStaEq, 1));
    EXPECT_FALSE(HasStationEquations(1));
    SetStationEquations(1, MakeOneBased<StationEquation>(1));
    EXPECT_TRUE(HasStationEquations(1));

    TStringLine out;
    out.Name = "untouched";
    EXPECT_FALSE(GetAligmentStrLnWithName(out, 1, "A")); // no stringlines
    TStringLines set;
    set.Count = 1;
    set.Lines.resize(2);
    set.Lines[0].Name = "A";
    set.Lines[1].Name = "B";
    set.Lines[1].State = 7;
    SetAligmentStrLn(1, set);
    EXPECT_FALSE(GetAligmentStrLnWithName(out, 1, ""));
    EXPECT_EQ(out.Name, "untouched");
    EXPECT_FALSE(GetAligmentStrLnWithName(out, 1, "b"));
    EXPECT_TRUE(GetAligmentStrLnWithName(out, 1, "B"));
    EXPECT_EQ(out.State, 7);
}

TEST(AlignmentStore, GettersReturnCopies) {
    ResetAlignments();
    AddAlignment();
    SetAligmentHz(1, ThreeElements());
    HzAlignment copy = GetAligmentHz(1);
    copy[1].X = 99;
    EXPECT_EQ(GetAligmentHz(1)[1].X, 0);
}

TEST(AlignmentStore, StringlineFileImportAlwaysFails) {
    vialto::test::RecordingUi ui;
    TStringLines set;
    EXPECT_FALSE(ImportStrLnAligment(set, "any.txt"));
    EXPECT_TRUE(ui.Messages.empty()); // an assertion outside debug mode is only logged
}
