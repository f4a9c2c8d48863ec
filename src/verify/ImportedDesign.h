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
    // The profile the rails stand on: the track's own, or the chosen
    // stringline's; empty: height 0.
    VtAlignment Heights;
};

// The cross sections the export wrote, as they were imported: the stations of
// the set from the first to the last written, the surfaces of the chosen
// layers, the points of each surface in order (the copies the stringline
// rules add are not imported points). A view of the set, which must outlive
// the proof: nothing is copied.
struct ImportedCrossSections {
    const CrossSectionSet *Set = nullptr;
    std::string Selection; // layer names each followed by "$"; "" chooses every layer
    double First = 0;      // the chainages of the first and the last station written
    double Last = 0;
};

// The stations of the set whose chainages lie within first..last, with the
// surfaces of the layers of the selection.
ImportedCrossSections ImportedCrossSectionsOf(const CrossSectionSet &set,
                                              const std::string &selection, double first,
                                              double last);

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
