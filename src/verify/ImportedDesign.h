// What a written document ought to say: for each alignment the export wrote,
// in the order it wrote them, the imported records it was written from. The
// proof compares the document read back with these, evaluating them with the
// engine's own geometry.
//
// Units: the job's linear unit; chainages along the alignment; offsets across
// a track positive to the right; a rail's rise is its height above the track's
// profile.
#pragma once

#include "model/Records.h"

#include <functional>
#include <optional>
#include <string>

namespace vialto {

// The rails of a track at a chainage, as the cant table gives them.
struct RailDesign {
    bool Found = false;           // false where the table gives no cant (before its first station)
    double RiseLeft = 0;          // height of the left rail above the profile
    double RiseRight = 0;         // height of the right rail above the profile
    double WidthExcess = 0;       // the gauge widening
    bool WideningApplies = false; // whether the widening spreads the rails here
};

struct ImportedRails {
    double Gauge = 0;
    double Base = 0; // the distance over which the cant is measured
    std::function<RailDesign(double chainage)> At;
};

// The cross sections the export was asked to write: the stations of the set
// from the first to the last written, the layers of the selection.
struct ImportedCrossSections {
    CrossSectionSet Set;   // the imported points (points marked as copies are not imported)
    std::string Selection; // layer names each followed by "$"; "" chooses every layer
    double First = 0;      // chainage of the first station written
    double Last = 0;       // chainage of the last station written
};

struct ImportedAlignment {
    std::string Name;
    HzAlignment Hz; // 1-based
    VtAlignment Vt; // 1-based; empty when no profile was written
    std::optional<ImportedCrossSections> CrossSections;
    std::optional<ImportedRails> Rails;
};

struct ImportedDesign {
    std::vector<ImportedAlignment> Alignments; // in the order they were written
};

} // namespace vialto
