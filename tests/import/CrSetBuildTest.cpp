// The building of a cross-section set: surfaces, duplicated points and the
// first codes.
#include "import/CrSecSet.h"

#include <gtest/gtest.h>

#include <array>

using namespace vialto;

TEST(AddStation, SurfacesInLayerOrderWithoutRepeatsAndTheFirstCodes) {
    CrossSectionSet set;
    set.Layers = {{"Taludes", {}}, {"Cunetas", {}}, {"Subrasante", {}}, {"Rasante", {}}};
    std::array<CrListPoints, 4> lists;
    AddStation(set, 100, lists);
    EXPECT_TRUE(set.Stations.empty()) << "all lists empty: nothing added";
    lists[3] = {{-3.5, 10, "P"}, {-3.5, 10, "P"}, {0, 10.1, "P"}};
    lists[0] = {{-8, 9, "T"}};
    AddStation(set, 100, lists);
    AddStation(set, 110, lists); // the layers have codes now: left to the rules
    // The second form removes consecutive repeats of each list first.
    // Each point is compared with its neighbour in the input: a drift of tiny
    // steps goes, a vertical face and a point beyond 0.0001 stay.
    AddStation(set, 120,
               std::vector<CrListPoints>{{},
                                         {{0, 1, ""},
                                          {0.00006, 1, ""},
                                          {0.00012, 1, ""},
                                          {1, 1, ""},
                                          {1, 2, ""},
                                          {1.00011, 2, ""}}});
    const auto summary = [](const CrossSection &s) {
        std::string text = std::to_string(static_cast<int>(s.Chainage));
        for (const CrSecSurface &surface : s.Surfaces) {
            text += " | " + std::to_string(surface.Layer) + ":";
            for (const CrSecPoint &p : surface.Points)
                text += " " + (p.Code.empty() ? std::string("-") : std::string(p.Code));
        }
        return text;
    };
    ASSERT_EQ(set.Stations.size(), 3u);
    EXPECT_EQ(summary(set.Stations[0]), "100 | 0: -8.000 | 3: -3.500 0.000");
    EXPECT_EQ(summary(set.Stations[1]), "110 | 0: - | 3: - -");
    EXPECT_EQ(summary(set.Stations[2]), "120 | 1: 0.000 1.000 1.000_2 1.000_3") << "Cunetas starts";
}
