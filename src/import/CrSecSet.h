// Building a cross-section set from a listing: stations and their surfaces,
// the removal of duplicated points, and the generation of stringline codes
// (the codes are unique within a layer and begin with the point's offset, so
// that a layer's code list sorts from left to right across the section).
//
// Offsets are signed distances from the axis, positive to the right; heights
// in the listing's unit.
#pragma once

#include "model/Records.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vialto {

// One point of a listing while its chainage is being read. Code is the
// listed point code as a fixed field of 8 characters.
struct CrListPoint {
    double Offset = 0;
    double Height = 0;
    std::string Code;
};
using CrListPoints = std::vector<CrListPoint>;

// The listed code as a fixed field of 8 characters: cut when longer, padded
// with blanks when shorter.
std::string FixedPointCode(std::string_view code);

// Appends a station at the chainage with one surface per non-empty list, in
// layer order (list k is layer k); adds nothing when every list is empty.
void AddStation(CrossSectionSet &set, double chainage, const std::array<CrListPoints, 4> &lists);

// The second form, for listings that give a list of surfaces per station:
// surfaces[k] belongs to layer k. Empty lists add no surface.
void AddStation(CrossSectionSet &set, double chainage, const std::vector<CrListPoints> &surfaces);

// The station that AddStation appends, made without the set: its surfaces'
// duplicated points removed, but no codes yet (AppendStation gives those).
// A station without surfaces when every list is empty.
CrossSection MakeStation(double chainage, const std::array<CrListPoints, 4> &lists);
CrossSection MakeStation(double chainage, const std::vector<CrListPoints> &surfaces);

// Appends a station made by MakeStation (none when it has no surface), coding
// every surface whose layer has no code yet, in surface order. Raises 9 for a
// surface of a layer the set does not have.
void AppendStation(CrossSectionSet &set, CrossSection &&station);

// Appends a surface of `layer` to station `station` with the listed offsets
// and heights, removes its duplicated points, and codes all its points when
// the layer has no code yet (the first station where a layer appears starts
// one stringline per point). Raises 9 for a station or layer out of range.
void AddSurface(CrossSectionSet &set, const CrListPoints &points, std::size_t station,
                std::size_t layer);

// Removes every point that lies within 0.0001 in offset and height of the
// point before it in the input; returns the number removed.
int DeleteDuplicatedpoints(std::vector<CrSecPoint> &points);

// Gives every point of the surface a new code of the layer.
void CodeAllPoints(CrSecSurface &surface, CrSecLayer &layer);

// A new code for the point, registered in the layer: the offset with three
// decimals ("-3.500"), then "_2", "_3", ... when codes with that base exist.
std::string MakeStringlineName(CrSecLayer &layer, const CrSecPoint &point);

// The code of the stringline at the point's offset: the plain base when a code
// of the layer begins with it, otherwise a new code.
std::string CodeFromOffset(CrSecLayer &layer, const CrSecPoint &point);

// Number of points without a code.
int CountUncoded(const std::vector<CrSecPoint> &points);

} // namespace vialto
