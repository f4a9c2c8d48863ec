// The rails of a track: where the two rails stand at a chainage, which rail is
// the lower one, and the chainages at which the rails are written. The members
// of clsSuperelevation that do this work (ComputeRails, ExportToLandXml,
// GetLowerRailFromCanTable, GetLowerRailSmart, CalcHeightVtAligmentCoplane,
// ProjectChainagesFromAlgimentToAligment) are defined in RailComputation.cpp on
// top of the rules below.
//
// Conventions: a positive radius turns right, so on a right-hand curve the left
// rail is the outer one; offsets across the track are positive to the right;
// heights and cant values are in the job's linear unit. An applied cant is the
// amount by which the outer rail of a curve stands above the inner rail (a
// negative cant tilts the track the other way); the rotation point only says
// which rail, or the centre, keeps the profile height.
#pragma once

#include "model/AlignmentStore.h"
#include "railtunnel/Superelevation.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vialto {

// The cant in force at a chainage: entry i of FindStation, interpolated towards
// entry i + 1 by entry i's interpolation when the chainage lies strictly
// between them.
struct CantAtChainage {
    bool Found = false; // false before the first station: nothing else is set
    CantRotation RotationPoint = rotLeftRightForm;
    double Cant = 0;      // single-cant form
    double CantLeft = 0;  // left/right form: rise of the left rail
    double CantRight = 0; // left/right form: rise of the right rail
    double WidthExcess = 0;
};
CantAtChainage CantAt(const clsSuperelevation &table, double chainage);

// How far each rail stands above the profile height.
struct RailRise {
    double Left = 0;
    double Right = 0;
};

// The rails' rise for the cant and the radius of the element at the chainage:
// the rail the rotation point names is held at the profile height and the
// other stands at +cant when it is the outer rail and -cant when it is the
// inner one ("center" splits the cant); on a straight "leftRail" and
// "rightRail" raise the other rail by the cant and the other rotation points
// keep both rails level; the left/right form gives each rail its own cant.
// Raises error 20000 for a rotation point outside 0..5.
RailRise RiseOfRails(const CantAtChainage &cant, double radius);

// Half the horizontal distance between the rails: 0.5 G sqrt(B^2 - c^2) / B,
// c the cant (left minus right in the left/right form), or 0.5 G on a straight
// of a table turned about the inner or outer rail or the centre. Raises
// run-time error 5 for a cant that is not smaller than the base (so also for a
// base of 0 or below).
double HalfRailSpread(const CantAtChainage &cant, double radius, double gauge, double base);

// The rail that stands lower (LowerRailCode). When the cant leaves the rails
// level the turn decides: on a curve the inner rail, on a straight none, except
// that a table turned about the left (right) rail names that rail.
LowerRailCode LowerRailOf(const CantAtChainage &cant, double radius);

// The chainages at which the rails are written: every station; after a cubic
// or reverse-curve station that has a following one, every whole unit step
// before the next station; and where two consecutive clothoids of opposite
// turn meet, for the elements that start within from..to (kNullValue: no
// limit) and within the table. Sorted ascending, each chainage once (values
// within 0.000001 of the one before are dropped). Raises error 7 when the list
// would pass kMaxRailChainages.
inline constexpr std::size_t kMaxRailChainages = 10'000'000;
inline constexpr double kRailChainageResolution = 0.000001;
std::vector<double> RailChainageList(const clsSuperelevation &table, const HzAlignment &elements,
                                     double from, double to);

// The vertex names of the rail points for a track selector (1 single track,
// 2 left track, 3 right track); "" for any other selector.
std::string RailVertexNames(std::uint8_t trackSelector);

} // namespace vialto
