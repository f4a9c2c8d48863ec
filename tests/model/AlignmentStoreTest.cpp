#include "model/AlignmentStore.h"

#include "shell/ErrHandler.h"
#include "shell/Error.h"
#include "support/ElementBuilders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace vialto;
using namespace vialto::test;

namespace {

TEST(AlignmentStore, AbsentPartsRaise20000WithTheirDescriptions) {
    ResetAlignments();
    AddAlignment();
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { GetAligmentHz(1); }, "There are not Hz aligment to return"},
        {[] { GetAligmentVt(1); }, "There are not Vt aligment to return"},
        {[] { GetAligmentShared(1, flagSup); }, "There are not Sup aligment to return"},
        {[] { GetAligmentShared(1, flagTnl); }, "There are not tunnel aligment to return"},
        {[] { SetAligmentShared(1, flagCr, 1); },
         "Only the cant table and the tunnel profile set are shared"},
    };
    for (const auto &[body, expected] : cases) {
        const ErrorInfo error = ErrorOf(body);
        EXPECT_EQ(error.Number, 20000);
        EXPECT_EQ(error.Description, expected);
    }
}

// The element in force at a chainage: the first before the alignment, the
// last beyond it. Three elements of 100 from 0.
TEST(AlignmentStore, ElementAtAChainage) {
    ResetAlignments();
    AddAlignment();
    SetAligmentHz(1,
                  OneBased<HzElement>({HzAt(0, 0, 0, 0, 0, 0, 100), HzAt(100, 0, 0, 0, 0, 0, 100),
                                       HzAt(200, 0, 0, 0, 0, 0, 100)}));
    for (const auto &[chainage, number] :
         {std::pair{-5.0, 1L}, {100.0, 2L}, {199.999, 2L}, {1000.0, 3L}}) {
        HzElement e;
        GetAligmentHzWithChainage(e, 1, chainage);
        EXPECT_EQ(e.Number, number) << chainage;
    }
}

} // namespace
