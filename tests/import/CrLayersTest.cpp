// The layer choice: the offered trees and the stored choice.
#include "import/Layers.h"

#include <gtest/gtest.h>

using namespace vialto;

namespace {

// The tree as lines: "name#number" at the top, "  layer/name#number" below.
std::vector<std::string> Lines(const std::vector<OfferedLayer> &tree) {
    std::vector<std::string> lines;
    for (const OfferedLayer &node : tree) {
        lines.push_back(node.Name + (node.Number ? "#" + std::to_string(*node.Number) : ""));
        for (const OfferedStringline &line : node.Stringlines)
            lines.push_back("  " + node.Name + "/" + line.Name + "#" + std::to_string(line.Number));
    }
    return lines;
}

} // namespace

TEST(CLayers, OfferedTreesAndTheStoredChoice) {
    // Axis and Toe are offered, Edge (state 1) is not; a nameless first layer
    // counts as none.
    TStringLines set;
    set.Count = 2;
    for (const char *name : {"Axis", "Edge", "Toe"})
        set.Lines.emplace_back().Name = name;
    set.Lines[1].State = 1;
    set.Lines[2].State = -1;
    const std::pair<std::vector<TStringLineLayer>, std::vector<std::string>> trees[] = {
        {{}, {"Axis#0", "Toe#2"}},
        {{{"", {0, 1, 2}}}, {"Axis#0", "Toe#2"}},
        {{{"Road", {0, 1, 7}}, {"Slopes", {2}}},
         {"Road", "  Road/Axis#0", "Slopes", "  Slopes/Toe#2"}},
    };
    for (const auto &[layers, tree] : trees) {
        set.Layers = layers;
        EXPECT_EQ(HasLayers(set), tree.size() == 4);
        EXPECT_EQ(Lines(FillStringlineLayers(set)), tree);
    }
    // The choice is appended, the same one again as "$".
    for (const auto &[chosen, stored] :
         {std::pair{"$0$2$", "$0$2$"}, {"$0$2$", "$0$2$$"}, {"$1$", "$0$2$$$1$"}}) {
        StoreStringlineSelection(chosen, set);
        EXPECT_EQ(set.Selection, stored);
    }

    // Only cross-section layers with codes are offered.
    for (const bool anyCodes : {true, false}) {
        CrossSectionSet cross;
        cross.Layers = {{"Taludes", {"1.000"}}, {"Cunetas", {}}, {"Rasante", {"0.000", "3.500"}}};
        cross.Layers.erase(cross.Layers.begin() + (anyCodes ? 3 : 1), cross.Layers.end());
        cross.Layers.back().Codes.resize(anyCodes ? 2 : 0);
        EXPECT_EQ(FillCrossSectionLayers(cross),
                  (anyCodes ? std::vector<std::string>{"Taludes", "Rasante"}
                            : std::vector<std::string>{}));
    }
}
