// The code tables of the cross-section listings, and the building of a set:
// duplicated points and the first codes.
#include "CrSecSet.h"
#include "PointCodes.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

using namespace vialto;

TEST(IsCodeOfKind, FamiliesByPrefix) {
    const std::pair<const char *, int> cases[] = {
        // (code, kind); -1: no family
        {"TX1", 0}, {"MDX", 0}, {"MI2", 0}, {"MU3", 2}, {"S1", 2},  {"E", 2},
        {"MP7", 3}, {"M", -1},  {"mp", -1}, {"", -1},   {" P", -1}, {"MX", -1},
    };
    for (const auto &[code, family] : cases)
        for (long kind = -1; kind <= 4; ++kind)
            EXPECT_EQ(IsCodeOfKind(kind, code), kind >= 0 && kind == family)
                << '"' << code << "\" kind " << kind;
}

TEST(LayerNameOfCode, KeywordsFromTheSecondCharacter) {
    const std::pair<const char *, const char *> cases[] = {
        {"DDESMO1", "Taludes"},        {"MURO2", "Taludes"},      {"ICAJERO", "Cajero"},
        {"ISUBBALASTO", "Subbalasto"}, {"IBALASTO", "Balasto"},   {"IEXPLA", "Explanada"},
        {"ICAPAF", "Capa de Forma"},   {"", "Plataforma"},        {"CUNETA", "Plataforma"},
        {"icuneta", "Plataforma"},     {"ISUBRAS", "Subrasante"}, {"ISUBRA", "Plataforma"},
    };
    for (const auto &[code, layer] : cases)
        EXPECT_EQ(LayerNameOfCode(code), layer) << '"' << code << '"';
}

TEST(DeleteDuplicatedpoints, ComparesWithTheNeighbourInTheInput) {
    const struct {
        std::vector<std::pair<double, double>> Points; // (offset, height)
        int Removed;
        std::vector<double> Offsets; // left
    } cases[] = {
        {{{1, 1}, {1, 1}, {1, 1}}, 2, {1}},
        {{{1, 1}, {2, 2}, {1.00005, 1}}, 0, {1, 2, 1.00005}},
        {{{1, 1}, {1.00011, 1}}, 0, {1, 1.00011}}, // beyond 0.0001: another point
        {{{1, 1}, {1, 2}}, 0, {1, 1}},             // a vertical face
        // A drift of tiny steps: each point is near the one before it.
        {{{0, 0}, {0.00006, 0}, {0.00012, 0}, {0.00018, 0}}, 3, {0}},
    };
    for (const auto &c : cases) {
        std::vector<CrSecPoint> points(c.Points.size());
        for (std::size_t k = 0; k < points.size(); ++k)
            std::tie(points[k].Offset, points[k].Height) = c.Points[k];
        EXPECT_EQ(DeleteDuplicatedpoints(points), c.Removed);
        std::vector<double> offsets;
        for (const CrSecPoint &p : points)
            offsets.push_back(p.Offset);
        EXPECT_EQ(offsets, c.Offsets);
    }
}

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
    AddStation(set, 120, std::vector<CrListPoints>{{}, {{1, 1, ""}, {1, 1, ""}, {2, 1, ""}}});
    const auto summary = [](const CrossSection &s) {
        std::string text = std::to_string(static_cast<int>(s.Chainage));
        for (const CrSecSurface &surface : s.Surfaces) {
            text += " | " + std::to_string(surface.Layer) + ":";
            for (const CrSecPoint &p : surface.Points)
                text += " " + (p.Code.empty() ? "-" : p.Code);
        }
        return text;
    };
    ASSERT_EQ(set.Stations.size(), 3u);
    EXPECT_EQ(summary(set.Stations[0]), "100 | 0: -8.000 | 3: -3.500 0.000");
    EXPECT_EQ(summary(set.Stations[1]), "110 | 0: - | 3: - -");
    EXPECT_EQ(summary(set.Stations[2]), "120 | 1: 1.000 2.000"); // Cunetas starts here
}
