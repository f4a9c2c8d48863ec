// Alignments and cant tables laid out by hand for the tests of the store, the
// checks and the rails: elements given by their start, profiles by their
// points, cant stations by their values (gauge 1.435 and base 1.5 in metres).
#pragma once

#include "model/Records.h"
#include "railtunnel/RailComputation.h"
#include "railtunnel/Superelevation.h"
#include "shell/Error.h"
#include "support/ElementBuilders.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vialto::test {

// The error a call raises; number 0 when it raises none.
inline ErrorInfo ErrorOf(const std::function<void()> &body) {
    try {
        body();
    } catch (const VialtoError &e) {
        return e.Info();
    }
    return {};
}

// The elements numbered 1..n behind the unused position 0.
template <class Element> std::vector<Element> OneBased(std::vector<Element> elements) {
    std::vector<Element> out(1);
    for (auto &e : elements) {
        e.Number = static_cast<long>(out.size());
        out.push_back(e);
    }
    return out;
}

inline CantStation Station(double station, double cant, CantRotation rotation,
                           CantInterpolationKind kind = interpLinear) {
    CantStation s;
    s.Station = station;
    s.AppliedCant = cant;
    s.RotationPoint = rotation;
    s.CantInterpolation = kind;
    return s;
}

inline CantStation LeftRight(double station, double left, double right) {
    CantStation s;
    s.Station = station;
    s.AppliedCantLeft = left;
    s.AppliedCantRight = right;
    return s;
}

inline CantTableData RailTable(std::vector<CantStation> stations, bool coplane = false) {
    CantTableData data;
    data.Gauge = 1.435;
    data.SuperelevationBase = 1.5;
    data.RotationPoint = stations.empty() ? rotInsideRail : stations[0].RotationPoint;
    data.IsCoplaneTrack = coplane;
    data.Version = "1.1.0";
    data.Stations = std::move(stations);
    return data;
}

// A rails page with a fixed vertical option and no stringline chosen,
// installed while it lives.
class FixedRailsPage final : public IRailsPage {
  public:
    explicit FixedRailsPage(int option) : option_(option) { SetRailsPage(this); }
    ~FixedRailsPage() override { SetRailsPage(nullptr); }
    FixedRailsPage(const FixedRailsPage &) = delete;
    FixedRailsPage &operator=(const FixedRailsPage &) = delete;
    int VerticalOption() const override { return option_; }
    std::string SelectedStringline(SlotNumber, int) const override { return {}; }

  private:
    int option_;
};

} // namespace vialto::test
