// Alignments and cant tables laid out by hand for the tests of the checks and
// the rails: elements given by their start, profiles by their
// points, cant stations by their values (gauge 1.435 and base 1.5 in metres).
#pragma once

#include "model/Records.h"
#include "railtunnel/Superelevation.h"
#include "support/ElementBuilders.h"
#include "support/TestSupport.h"

#include <string>
#include <utility>
#include <vector>

namespace vialto::test {

inline CantStation Station(double station, double cant, CantRotation rotation,
                           CantInterpolationKind kind = interpLinear) {
    return {.Station = station,
            .AppliedCant = cant,
            .RotationPoint = rotation,
            .CantInterpolation = kind};
}

inline CantStation LeftRight(double station, double left, double right) {
    return {.Station = station, .AppliedCantLeft = left, .AppliedCantRight = right};
}

inline CantTableData RailTable(std::vector<CantStation> stations, bool coplane = false) {
    return {.Gauge = 1.435,
            .SuperelevationBase = 1.5,
            .RotationPoint = stations.empty() ? rotInsideRail : stations[0].RotationPoint,
            .IsCoplaneTrack = coplane,
            .Version = "1.1.0",
            .Stations = std::move(stations)};
}

} // namespace vialto::test
