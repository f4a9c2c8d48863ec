// The vertical alignment of a track derived from another alignment's profile:
// the track of a double track is sampled along its chainage, each sample takes
// the height of the corresponding point of the centre line (or of the other
// track), corrected for a co-planar track by its cant table, and the samples
// become a profile of straight grades stored in the track's slot.
//
// Units: chainages and heights in the job's linear unit; offsets positive to
// the right of the alignment the chainage is carried onto; grades are
// fractions.
#pragma once

#include "model/AlignmentStore.h"
#include "model/Records.h"
#include "shell/UserInterface.h"

namespace vialto {

class clsSuperelevation;
class HzAlignmentIndex;

// Samples closer than this along the track are one sample.
inline constexpr double kTrackSampleMerge = 0.0001;
// Along the centre line the stretch facing the track is widened by this much
// at both ends.
inline constexpr double kTrackStretchMargin = 20;
// A centre-line chainage this close outside its profile still takes the
// profile's first or last height.
inline constexpr double kProfileEndTolerance = 0.01;
// Where the projection starts or stops succeeding between two samples, the
// edge is searched in steps of this length.
inline constexpr double kEdgeSearchStep = 0.001;
// More samples than this is not a track (a step far too small for the range).
inline constexpr double kMaxTrackSamples = 20'000'000;
// A double-track job keeps its centre line in slot 1 (its left and right
// tracks in slots 2 and 3).
inline constexpr SlotNumber kCentreLineSlot = 1;

// Builds the vertical alignment of the track in trackSlot from the profile of
// centreSlot and stores it there (SetAligmentVt).
// - cantSlot: the slot whose cant table corrects the heights of a co-planar
//   track; 0 for none.
// - step: the sampling interval (> 0); every element start of the walked
//   alignment is sampled as well.
// - trackSelector: 2 the left, 3 the right track (the rails' track selector);
//   a co-planar table needs one of the two.
// - alongCentreLine: walk the centre line's chainages (true) or the track's.
// - verticalOption: what the centre line's profile gives the height of
//   (RailVtOption: 0 the axis between the tracks, 1 the lower, 2 the higher
//   rail); only a co-planar table read against the centre line (kCentreLineSlot)
//   uses it, and refuses any other value. From the other track the correction
//   carries the profile across the shared plane.
// - footTolerance: a track point whose foot lies this far or less beyond an
//   end of the centre line (along its tangent there) takes that end's height
//   (the job's horizontal tolerance, >= 0).
// The profile covers the track as far as the centre line's profile covers the
// track's projection: from the track's first to its last chainage when both
// ends face the profile. The samples are taken on the machine's cores, but
// progress, cancel and every error reach the calling thread only, errors in
// chainage order. Progress runs over the walked range; Start gets an empty
// caption (the title is the caller's). False, with nothing stored, when the
// user cancels or an error occurs (reported as "CreateVtFromVt").
bool CreateVtFromVt(SlotNumber trackSlot, SlotNumber centreSlot, SlotNumber cantSlot, double step,
                    IProgress &progress, long trackSelector, bool alongCentreLine,
                    int verticalOption, double footTolerance);

// Appends one sample at the chainage to the profile being built: nothing for
// the null height, for a chainage within kTrackSampleMerge of the last sample
// or behind it. A co-planar table corrects the height first
// (CalcHeightVtAligmentCoplane with the track selector, the offset, the mode
// flag and the vertical option, and the tracks' prepared alignments when
// given). The element before the new one gets the length and the grade up to
// it.
void AddTrackVtPoint(VtAlignment &points, const clsSuperelevation *table, double chainage,
                     double offset, double height, SlotNumber trackSlot, long trackSelector,
                     bool modeFlag = false, int verticalOption = 0,
                     const HzAlignmentIndex *trackAlignment = nullptr,
                     const HzAlignmentIndex *otherAlignment = nullptr);

} // namespace vialto
