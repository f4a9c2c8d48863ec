// The alignment store's refusals, and the prepared element search against the scan.
#include "model/AlignmentStore.h"
#include "model/ElementSearch.h"

#include "shell/ErrHandler.h"
#include "shell/Error.h"
#include "support/ElementBuilders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

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

// The prepared search gives FindElementAt's answer for every chainage, on
// arrays whose starts ascend (bisection) and on those that do not.
VtAlignment Starts(const std::vector<double> &chainages) {
    std::vector<VtElement> elements;
    for (double c : chainages)
        elements.push_back(VtAt(c, 0, 0, 0, 0));
    return OneBased(elements);
}

TEST(ElementSearch, AnswersAsTheScanForEveryChainage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::vector<double>> arrays = {
        {},
        {50},
        {0, 100, 200, 300},
        {0, 100, 100, 100, 250}, // repeated starts: the first of them
        {-inf, 0, 10, inf},
        {0, 100, 50, 200}, // runs backwards: the scan's answer
        {300, 200, 100},
        {0, nan, 200},
    };
    std::vector<double> probes = {nan, -inf, inf, -1e300, 1e300, -0.0};
    for (const auto &array : arrays)
        for (double c : array)
            probes.insert(probes.end(), {c, std::nextafter(c, -inf), std::nextafter(c, inf),
                                         c - 0.5, c + 0.5, c + 75});
    for (const auto &array : arrays) {
        const VtAlignment elements = Starts(array);
        const ElementSearch<VtElement> search(elements);
        for (double c : probes)
            EXPECT_EQ(search.At(c), FindElementAt(c, elements))
                << "at " << c << " in an array of " << array.size();
    }
    EXPECT_EQ(ElementSearch<VtElement>(VtAlignment{}).At(5), 0);
}

} // namespace
