#include "railtunnel/RailComputation.h"

#include "geometry/HzGeometry.h"
#include "geometry/VtGeometry.h"
#include "landxml/LandXmlCrossSections.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <algorithm>
#include <cmath>

namespace vialto {

namespace {

bool WithinLimits(double value, double from, double to) {
    return (from == kNullValue || value >= from) && (to == kNullValue || value <= to);
}

// The signed radius of the element of the slot's alignment that holds the
// chainage: 0 straight, > 0 turning right.
double RadiusAt(SlotNumber slot, double chainage) {
    HzElement element;
    GetAligmentHzWithChainage(element, slot, chainage);
    return element.Radius;
}

// Adds the width excess to the rails' half spreads (left, right; both
// positive) as the table's width excess type says.
void ApplyWidthExcess(const clsSuperelevation &table, SlotNumber slot, double chainage,
                      double widthExcess, double leftHeight, double rightHeight, double &left,
                      double &right) {
    const double theta = std::abs(
        ArcSin(Divide(leftHeight - rightHeight, widthExcess + table.SuperelevationBase())));
    const double across = widthExcess * std::cos(theta);
    if (table.WidthExcessType() == widthHalfToBothRails) {
        left += 0.5 * across;
        right += 0.5 * across;
        return;
    }
    const std::int32_t lower = table.GetLowerRailSmart(slot, chainage);
    if (lower == lowerRailNone)
        return;
    const bool toLeft = (table.WidthExcessType() == widthLowestRail) == (lower == lowerRailLeft);
    (toLeft ? left : right) += across;
}

} // namespace

CantAtChainage CantAt(const clsSuperelevation &table, double chainage) {
    CantAtChainage result;
    const long i = table.FindStation(chainage);
    if (i < 0)
        return result;
    const auto &stations = table.Stations();
    const CantStation &here = stations.at(static_cast<std::size_t>(i));
    const bool between =
        chainage != here.Station && static_cast<std::size_t>(i) + 1 < stations.size();
    const auto value = [&](double CantStation::*field) {
        if (!between)
            return here.*field;
        const CantStation &next = stations[static_cast<std::size_t>(i) + 1];
        return clsSuperelevation::InterpolateCant(chainage, here.Station, next.Station, here.*field,
                                                  next.*field, here.CantInterpolation);
    };
    result.Found = true;
    result.RotationPoint = here.RotationPoint;
    if (here.RotationPoint == rotLeftRightForm) {
        result.CantLeft = value(&CantStation::AppliedCantLeft);
        result.CantRight = value(&CantStation::AppliedCantRight);
    } else {
        result.Cant = value(&CantStation::AppliedCant);
    }
    result.WidthExcess = value(&CantStation::WidthExcess);
    return result;
}

RailRise RiseOfRails(const CantAtChainage &cant, double radius) {
    const double c = cant.Cant;
    // On a right-hand curve (radius > 0) the left rail is the outer one.
    switch (cant.RotationPoint) {
    case rotLeftRightForm:
        return {cant.CantLeft, cant.CantRight};
    case rotInsideRail:
        if (radius == 0)
            return {};
        return radius > 0 ? RailRise{c, 0} : RailRise{0, c};
    case rotOutsideRail:
        if (radius == 0)
            return {};
        return radius > 0 ? RailRise{0, -c} : RailRise{-c, 0};
    case rotCenter:
        if (radius == 0)
            return {};
        return radius > 0 ? RailRise{c / 2, -c / 2} : RailRise{-c / 2, c / 2};
    case rotLeftRail:
        // The right rail is the inner one only on a right-hand curve.
        return radius > 0 ? RailRise{0, -c} : RailRise{0, c};
    case rotRightRail:
        return radius < 0 ? RailRise{-c, 0} : RailRise{c, 0};
    }
    RaiseError(errAssert, "Unknown rotation point " + std::to_string(cant.RotationPoint));
}

double HalfRailSpread(const CantAtChainage &cant, double radius, double gauge, double base) {
    const bool levelOnStraight =
        radius == 0 && (cant.RotationPoint == rotInsideRail ||
                        cant.RotationPoint == rotOutsideRail || cant.RotationPoint == rotCenter);
    if (levelOnStraight)
        return 0.5 * gauge;
    const double c =
        cant.RotationPoint == rotLeftRightForm ? cant.CantLeft - cant.CantRight : cant.Cant;
    // A cant as large as the base would stand the track on its side, the two
    // rails one above the other; that is a broken table, not a track.
    if (!(std::abs(c) < base))
        RaiseRuntime(errInvalidCall, "a cant of " + FormatDecimals(c, 6) +
                                         " is not smaller than the superelevation base " +
                                         FormatDecimals(base, 6));
    return Divide(0.5 * gauge * std::sqrt(base * base - c * c), base);
}

LowerRailCode LowerRailOf(const CantAtChainage &cant, double radius) {
    if (cant.RotationPoint < rotLeftRightForm || cant.RotationPoint > rotRightRail)
        return lowerRailNone;
    const RailRise rise = RiseOfRails(cant, radius);
    if (rise.Left > rise.Right)
        return lowerRailRight;
    if (rise.Left < rise.Right)
        return lowerRailLeft;
    // Level rails: the turn decides (the inner rail of a curve).
    if (radius > 0)
        return lowerRailRight;
    if (radius < 0)
        return lowerRailLeft;
    if (cant.RotationPoint == rotLeftRail)
        return lowerRailLeft;
    if (cant.RotationPoint == rotRightRail)
        return lowerRailRight;
    return lowerRailNone;
}

std::vector<double> RailChainageList(const clsSuperelevation &table, const HzAlignment &elements,
                                     double from, double to) {
    std::vector<double> list;
    const auto add = [&list](double chainage) {
        if (!std::isfinite(chainage))
            RaiseRuntime(errInvalidCall, "a rail chainage is not a number");
        if (list.size() >= kMaxRailChainages)
            RaiseRuntime(errOutOfMemory,
                         "more than " + std::to_string(kMaxRailChainages) + " rail chainages");
        list.push_back(chainage);
    };
    const auto &stations = table.Stations();
    for (std::size_t i = 0; i < stations.size(); ++i) {
        add(stations[i].Station);
        if (stations[i].CantInterpolation == interpLinear || i + 1 >= stations.size())
            continue;
        // Cubic and reverse-curve runs are written at every unit so that the
        // field software, which joins sections linearly, follows the curve.
        const double next = stations[i + 1].Station;
        for (long k = 1; stations[i].Station + k < next; ++k)
            add(stations[i].Station + k);
    }
    if (!stations.empty()) {
        // Where two clothoids of opposite turn meet (a reverse curve's
        // inflection) the cant changes side; write a section there.
        const double start = table.GetChainageStart();
        const double end = table.GetChainageEnd();
        int turn = 0;
        for (long n = 1; n <= ElementCount(elements); ++n) {
            const HzElement &element = elements[static_cast<std::size_t>(n)];
            if (!WithinLimits(element.Chainage, from, to) || element.Chainage < start ||
                element.Chainage > end)
                continue;
            if (element.Parameter <= 0) {
                turn = 0;
            } else if (element.Radius < 0) {
                if (turn == 1)
                    add(element.Chainage);
                turn = -1;
            } else {
                if (turn == -1)
                    add(element.Chainage);
                turn = 1;
            }
        }
    }
    std::sort(list.begin(), list.end());
    std::vector<double> unique;
    unique.reserve(list.size());
    for (double chainage : list)
        if (unique.empty() || chainage - unique.back() > kRailChainageResolution)
            unique.push_back(chainage);
    return unique;
}

std::string RailVertexNames(std::uint8_t trackSelector) {
    switch (trackSelector) {
    case 1:
        return "Left,Right";
    case 2:
        return "Left_L,Right_L";
    case 3:
        return "Left_R,Right_R";
    default:
        return {};
    }
}

// ---- Members of clsSuperelevation ------------------------------------------

std::int32_t clsSuperelevation::GetLowerRailFromCanTable(SlotNumber nAligment, double dCh) const {
    return Guarded("GetLowerRailFromCanTable", std::int32_t{lowerRailNone}, [&] {
        Trace(">> GetLowerRailFromCanTable");
        const CantAtChainage cant = CantAt(*this, dCh);
        if (!cant.Found)
            return std::int32_t{lowerRailNone};
        return std::int32_t{LowerRailOf(cant, RadiusAt(nAligment, dCh))};
    });
}

std::int32_t clsSuperelevation::GetLowerRailSmart(SlotNumber nAligment, double dCh) const {
    return Guarded("GetLowerRailSmart", std::int32_t{lowerRailNone}, [&] {
        Trace(">> GetLowerRailSmart");
        const std::int32_t here = GetLowerRailFromCanTable(nAligment, dCh);
        if (here != lowerRailNone)
            return here;
        const long i = FindStation(dCh);
        if (i < 0)
            return std::int32_t{lowerRailNone};
        const auto &stations = data_.Stations;
        const long count = static_cast<long>(stations.size());
        const auto stationAt = [&](long k) {
            return stations[static_cast<std::size_t>(k)].Station;
        };
        const double dPrev = i > 0 ? std::abs(dCh - stationAt(i - 1)) : kNullValue;
        const double dNext = i < count - 1 ? std::abs(dCh - stationAt(i + 1)) : kNullValue;
        if (dPrev == kNullValue && dNext == kNullValue)
            return std::int32_t{lowerRailNone};
        const long chosen = (dPrev == kNullValue || dNext > dPrev) ? i + 1 : i - 1;
        if (chosen < 0 || chosen >= count)
            return std::int32_t{lowerRailNone};
        return GetLowerRailFromCanTable(nAligment, stationAt(chosen));
    });
}

bool clsSuperelevation::ProjectChainagesFromAlgimentToAligment(SlotNumber nAligmentFrom,
                                                               SlotNumber nAligmentTo) {
    return GuardedRun("ProjectChainagesFromAlgimentToAligment", [&] {
        Trace(">> ProjectChainagesFromAlgimentToAligment");
        if (!ExistAlignment(flagHz, nAligmentFrom) || !ExistAlignment(flagHz, nAligmentTo))
            RaiseError(errAssert, "There are not Hz aligment to project the cant stations");
        const HzAlignment from = GetAligmentHz(nAligmentFrom);
        const HzAlignment to = GetAligmentHz(nAligmentTo);
        if (ElementCount(from) < 1)
            RaiseError(errAssert, "There are not Hz aligment to project the cant stations");
        std::vector<CantStation> moved;
        std::size_t dropped = 0;
        for (const CantStation &station : data_.Stations) {
            double offset = 0;
            double chainage = 0;
            if (station.Station >= from[1].Chainage &&
                ProjectChainToAnotherAligment(station.Station, from, to, offset, chainage)) {
                CantStation copy = station;
                copy.Station = chainage;
                moved.push_back(copy);
            } else {
                ++dropped;
            }
        }
        if (dropped > 0)
            LogMessage(std::to_string(dropped) +
                       " cant stations lie outside the track and were left out");
        data_.Stations = std::move(moved);
        stationsAscend_ = StationsAscend(data_.Stations);
    });
}

bool clsSuperelevation::CalcHeightVtAligmentCoplane(std::uint8_t track, double chainage,
                                                    double offset, double &height, bool modeFlag,
                                                    int verticalOption,
                                                    const HzAlignmentIndex *trackAlignment,
                                                    const HzAlignmentIndex *otherAlignment) const {
    return Guarded("ModifyHeightVtAligmentCoplane", false, [&] {
        Trace(">> ModifyHeightVtAligmentCoplane");
        if (track != 2 && track != 3)
            return false;
        const double theta = std::abs(GetSlopeInChainage(chainage));
        if (FindStation(chainage) < 0)
            return false;
        double d1 = std::abs(offset) * std::tan(theta);
        double d2 = 0;
        int option = -1; // mode flag off
        if (modeFlag) {
            option = verticalOption;
            if (option == railVtAxis) {
                d2 = 0.5 * data_.SuperelevationBase * std::sin(theta);
            } else if (option == railVtLow || option == railVtHigh) {
                const SlotNumber other = track == 2 ? 3 : 2;
                double between = 0;
                double otherChainage = 0;
                const bool carried =
                    trackAlignment != nullptr && otherAlignment != nullptr
                        ? ProjectChainToAnotherAligment(chainage, *trackAlignment, *otherAlignment,
                                                        between, otherChainage)
                        : ProjectChainToAnotherAligment(chainage, ViewAligmentHz(track),
                                                        ViewAligmentHz(other), between,
                                                        otherChainage);
                if (!carried)
                    return false;
                d1 = std::abs(between) * std::tan(theta);
                if (option == railVtHigh)
                    d2 = data_.SuperelevationBase * std::sin(theta);
            } else {
                RaiseRuntime(errInvalidCall,
                             "unknown vertical option " + std::to_string(verticalOption));
            }
        }
        // The high side of the shared plane is the side of the higher rail.
        const LowerRailCode lower = LowerRailOf(CantAt(*this, chainage), RadiusAt(track, chainage));
        if (lower == lowerRailNone)
            return true;
        const bool leftHigh = lower == lowerRailRight;
        const bool leftTrack = track == 2;
        // The track on the high side gains d1, the other loses it (sign +1 / -1).
        const double side = leftHigh == leftTrack ? 1.0 : -1.0;
        switch (option) {
        case -1:
            height += side * d1;
            break;
        case railVtAxis:
            height += side * d1 - d2;
            break;
        case railVtLow:
            if (side > 0)
                height += d1;
            break;
        case railVtHigh:
            height -= (side > 0 ? 0 : d1) + d2;
            break;
        }
        return true;
    });
}

bool clsSuperelevation::ComputeRails(SlotNumber slot, double chainage, double &leftOffset,
                                     double &rightOffset, double &leftHeight, double &rightHeight,
                                     const std::string &stringline) const {
    return Guarded("ComputeRails", false, [&] {
        Trace(">> ComputeRails");
        const CantAtChainage cant = CantAt(*this, chainage);
        if (!cant.Found)
            RaiseRuntime(errSubscript, "the chainage " + FormatDecimals(chainage, 6) +
                                           " lies before the first cant station");
        double profile = 0;
        if (ExistAlignment(flagVt, slot)) {
            profile = GetHeightFromVtAligment(SearchAligmentVt(slot), chainage);
        } else if (TStringLine line; GetAligmentStrLnWithName(line, slot, stringline)) {
            profile = GetHeightFromVtAligment(line.Vt, chainage);
        }
        if (profile == kNullValue)
            RaiseError(errAssert, "There is no height of the vertical alignment at chainage " +
                                      FormatDecimals(chainage, 6));
        const double radius = RadiusAt(slot, chainage);
        const double gauge = data_.Gauge;
        const double base = data_.SuperelevationBase;
        // A gauge or base of 0 or below would put the rails on top of each
        // other or swap them left for right.
        if (!(gauge > 0) || !(base > 0) || !std::isfinite(gauge) || !std::isfinite(base))
            RaiseRuntime(errInvalidCall, "the gauge (" + FormatDecimals(gauge, 6) +
                                             ") and the superelevation base (" +
                                             FormatDecimals(base, 6) +
                                             ") of the cant table must be positive");
        const RailRise rise = RiseOfRails(cant, radius);
        const double half = HalfRailSpread(cant, radius, gauge, base);
        const double lh = profile + rise.Left;
        const double rh = profile + rise.Right;
        double left = half;
        double right = half;
        if (cant.WidthExcess != 0)
            ApplyWidthExcess(*this, slot, chainage, cant.WidthExcess, lh, rh, left, right);
        if (!std::isfinite(left) || !std::isfinite(right) || !std::isfinite(lh) ||
            !std::isfinite(rh))
            RaiseRuntime(errOverflow, "the rails at chainage " + FormatDecimals(chainage, 6) +
                                          " are not numbers");
        leftOffset = -left;
        rightOffset = right;
        leftHeight = lh;
        rightHeight = rh;
        // A trace for the developer when the rails do not stand a gauge apart.
        const double apart = std::hypot(lh - rh, right + left);
        if (std::abs(gauge - apart) > 0.001) {
            Trace("  Ch      " + FormatDecimals(chainage, 6));
            Trace("  SupBase " + FormatDecimals(base, 6));
            Trace("  Gauge   " + FormatDecimals(gauge, 6));
            Trace("  D.Rails " + FormatDecimals(apart, 6));
            Trace("  Cant    " + FormatDecimals(lh - rh, 6));
        }
        return true;
    });
}

bool clsSuperelevation::ExportToLandXml(double &firstChainage, double &lastChainage,
                                        const std::string &name, std::uint8_t trackSelector,
                                        double from, double to,
                                        const std::string &stringline) const {
    firstChainage = 0;
    lastChainage = 0;
    return Guarded("ExportToLandXML", false, [&] {
        Trace(">> ExportToLandXML");
        // The track's slot has the number of its selector: 1 the single track,
        // 2 the left and 3 the right track of a double track.
        const SlotNumber slot = trackSelector;
        const std::string vertexNames = RailVertexNames(trackSelector);
        if (vertexNames.empty())
            RaiseError(errAssert, "Unknown track selector " + std::to_string(trackSelector));
        if (!ExistAlignment(flagHz, slot))
            RaiseError(errAssert, "There are not Hz aligment to return");
        const std::vector<double> list = RailChainageList(*this, GetAligmentHz(slot), from, to);
        std::vector<double> chosen;
        for (double chainage : list)
            if (WithinLimits(chainage, from, to))
                chosen.push_back(chainage);
        if (chosen.size() < 2)
            return true;
        if (!TagCrossSects(false, ""))
            return false;
        firstChainage = chosen.front();
        bool written = true;
        for (double chainage : chosen) {
            double lo = 0, ro = 0, lh = 0, rh = 0;
            if (!ComputeRails(slot, chainage, lo, ro, lh, rh, stringline)) {
                written = false;
                break;
            }
            const std::string points = FormatDecimals(lo, 6) + " " + FormatDecimals(lh, 6) + " " +
                                       FormatDecimals(ro, 6) + " " + FormatDecimals(rh, 6);
            written = TagCrossSect(false, FormatDecimals(chainage, 6), name) &&
                      TagCrossSectSurf(false, "Rails") && TagPntList2D(points) &&
                      TagVertexName(vertexNames) && TagCrossSectSurf(true, "") &&
                      TagCrossSect(true, "", "");
            if (!written)
                break;
            lastChainage = chainage;
        }
        // The group is closed even after a failure so that the document stays
        // well formed; the failure is still reported to the caller.
        const bool closed = TagCrossSects(true, "");
        return written && closed;
    });
}

} // namespace vialto
