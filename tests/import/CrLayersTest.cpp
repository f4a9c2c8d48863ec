// The layer choice against a recording exporting page.
#include "import/Layers.h"

#include <gtest/gtest.h>

using namespace vialto;

namespace {

class FakePage final : public IExportingPage {
  public:
    std::vector<std::string> Tree; // "name#data" at the top, "  key/name#data" below
    std::string LayersIdx = "$0$2$";
    std::string StringlinesIdx = "$5$";
    bool LayersVisible = false;

    std::string AddLayer(const std::string &name, std::optional<long> itemData) override {
        Tree.push_back(name + (itemData ? "#" + std::to_string(*itemData) : ""));
        return "L" + std::to_string(Tree.size());
    }
    std::string AddStringline(const std::string &layerKey, const std::string &name,
                              long itemData) override {
        Tree.push_back("  " + layerKey + "/" + name + "#" + std::to_string(itemData));
        return std::to_string(itemData) + "S" + layerKey;
    }
    std::string GetSelectedLayersIdx() override { return LayersIdx; }
    std::string GetSelectedStringlinesIdx() override { return StringlinesIdx; }
    void SetLayersVisible(bool visible) override { LayersVisible = visible; }
};

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
        {{{"Road", {0, 1, 7}}, {"Slopes", {2}}}, {"Road", "  L1/Axis#0", "Slopes", "  L3/Toe#2"}},
    };
    for (const auto &[layers, tree] : trees) {
        set.Layers = layers;
        EXPECT_EQ(HasLayers(set), tree.size() == 4);
        FakePage page;
        FillStringlineLayers(page, set);
        EXPECT_EQ(page.Tree, tree);
    }
    // Without layers the top-level choice is appended, the same one as "$";
    // with layers the stringlines are stored.
    FakePage page;
    set.Layers.clear();
    for (const auto &[chosen, stored] :
         {std::pair{"$0$2$", "$0$2$"}, {"$0$2$", "$0$2$$"}, {"$1$", "$0$2$$$1$"}}) {
        page.LayersIdx = chosen;
        StoreStringlineSelection(page, set);
        EXPECT_EQ(set.Selection, stored);
    }
    set.Layers = {{"Road", {0}}};
    set.Selection.clear();
    StoreStringlineSelection(page, set);
    EXPECT_EQ(set.Selection, "$5$");

    // Only cross-section layers with codes are offered, and none hides the list.
    for (const bool anyCodes : {true, false}) {
        CrossSectionSet cross;
        cross.Layers = {{"Taludes", {"1.000"}}, {"Cunetas", {}}, {"Rasante", {"0.000", "3.500"}}};
        cross.Layers.erase(cross.Layers.begin() + (anyCodes ? 3 : 1), cross.Layers.end());
        cross.Layers.back().Codes.resize(anyCodes ? 2 : 0);
        FakePage fresh;
        FillCrossSectionLayers(fresh, cross);
        EXPECT_EQ(fresh.Tree, (anyCodes ? std::vector<std::string>{"Taludes", "Rasante"}
                                        : std::vector<std::string>{}));
        EXPECT_EQ(fresh.LayersVisible, anyCodes);
    }
}
