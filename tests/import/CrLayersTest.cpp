// The layer choice against a recording exporting page.
#include "Layers.h"

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

// Axis and Toe are offered, Edge (state 1) is not.
TStringLines ThreeLines() {
    TStringLines set;
    set.Count = 2;
    for (const char *name : {"Axis", "Edge", "Toe"})
        set.Lines.emplace_back().Name = name;
    set.Lines[1].State = 1;
    set.Lines[2].State = -1;
    return set;
}

} // namespace

TEST(CLayers, StringlineTreeFlatWithoutLayersNestedWithThem) {
    const std::pair<std::vector<TStringLineLayer>, std::vector<std::string>> cases[] = {
        {{}, {"Axis#0", "Toe#2"}},
        {{{"", {0, 1, 2}}}, {"Axis#0", "Toe#2"}}, // a nameless first layer: no layers
        {{{"Road", {0, 1, 7}}, {"Slopes", {2}}}, {"Road", "  L1/Axis#0", "Slopes", "  L3/Toe#2"}},
    };
    for (const auto &[layers, tree] : cases) {
        TStringLines set = ThreeLines();
        set.Layers = layers;
        EXPECT_EQ(HasLayers(set), tree.size() == 4);
        FakePage page;
        FillStringlineLayers(page, set);
        EXPECT_EQ(page.Tree, tree);
    }
}

TEST(CLayers, OnlyCrossSectionLayersWithCodesAreOffered) {
    CrossSectionSet set;
    for (const bool anyCodes : {true, false}) {
        set.Layers = {{"Taludes", {"1.000"}}, {"Cunetas", {}}, {"Rasante", {"0.000", "3.500"}}};
        if (!anyCodes)
            set.Layers = {{"Cunetas", {}}};
        FakePage page;
        FillCrossSectionLayers(page, set);
        EXPECT_EQ(page.Tree, (anyCodes ? std::vector<std::string>{"Taludes", "Rasante"}
                                       : std::vector<std::string>{}));
        EXPECT_EQ(page.LayersVisible, anyCodes);
    }
}

TEST(CLayers, StoringTheChoiceAppends) {
    TStringLines set = ThreeLines();
    FakePage page;
    StoreStringlineSelection(page, set); // no layers: the top-level choice
    EXPECT_EQ(set.Selection, "$0$2$");
    StoreStringlineSelection(page, set); // the same choice again
    EXPECT_EQ(set.Selection, "$0$2$$");
    page.LayersIdx = "$1$";
    StoreStringlineSelection(page, set);
    EXPECT_EQ(set.Selection, "$0$2$$$1$");
    set.Layers = {{"Road", {0}}};
    set.Selection.clear();
    StoreStringlineSelection(page, set); // with layers: the stringlines
    EXPECT_EQ(set.Selection, "$5$");
}
