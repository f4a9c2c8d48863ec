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

} // namespace vialto::test
