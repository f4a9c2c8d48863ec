// The preview's drawings of a document read back (verify/DocumentRecords.h),
// built from its own evaluation (verify/DocumentGeometry.h):
// - the plan: each alignment element by element, element boundaries, a tick
//   every 100 m of chainage and a label every kilometre, the rails and the
//   tunnel profile stations where the document holds them;
// - the profile of each alignment: heights along the chainage, the PVI
//   polygon and the limits of each vertical curve;
// - a cross section: the points of each surface in its layer's colour with
//   their stringline names.
// With a proof report, what failed it (plan elements, height ranges, cross
// sections) is drawn in red.
#pragma once

#include "preview/Drawing.h"
#include "verify/DocumentRecords.h"
#include "verify/Proof.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace vialto {

inline constexpr double kPlanTickEvery = 100;   // chainage between plan ticks
inline constexpr double kPlanLabelEvery = 1000; // chainage between plan labels

// proof may be null (no proof ran).
Drawing PlanDrawing(const ReadBackDocument &document, const ProofReport *proof);

// One drawing per alignment that has a profile, in document order.
std::vector<Drawing> ProfileDrawings(const ReadBackDocument &document, const ProofReport *proof);

// A colour per cross-section layer (surface name), in order of first
// appearance in the document; the same name has the same colour everywhere.
using LayerColours = std::vector<std::pair<std::string, Rgb>>;
LayerColours LayerColoursOf(const ReadBackDocument &document);

// Cross section `crossSect` of alignment `alignment` (indices into the
// document's records).
Drawing SectionDrawing(const ReadBackDocument &document, std::size_t alignment,
                       std::size_t crossSect, const LayerColours &colours,
                       const ProofReport *proof);

// The cross sections a page shows: every n-th of each alignment, counted
// from its first, and its last one (n of 0 counts as 1).
struct SectionRef {
    std::size_t Alignment = 0;
    std::size_t CrossSect = 0;
};
std::vector<SectionRef> SectionsEvery(const ReadBackDocument &document, std::size_t n);

} // namespace vialto
