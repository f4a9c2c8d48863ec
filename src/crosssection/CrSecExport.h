// The export of a coded cross-section set: the stations of a chainage range
// written as CrossSect elements, every code rewritten into its final form
// (side letter, position in the layer's ordered code list, ":", layer index,
// e.g. "R2:2"), and per surface the vertex names and the connections of its
// stringlines with the previous station.
#pragma once

#include "model/AlignmentStore.h"
#include "model/Records.h"
#include "shell/UserInterface.h"
#include "shell/WorkSplit.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vialto {

// Writes the stations from the one in force at start to the one in force at
// end (the last station whose chainage is not greater; both 0: every station;
// a start before the first station starts there) with the layers of the
// selection (layer names each followed by "$"; empty: all). Gives back the
// chainages of the first and last stations written. Codes are rewritten in
// place and copy points may be appended to stations, so the set is used up by
// the export. False when no layer is selected, the range holds no station (it
// ends before the first one or runs backwards), or a line could not be
// written (reported as "CCrSec.Export2LandXML").
// The points' texts and final codes of each block of stations are worked out
// in up to `parts` ranges at once; the document does not depend on `parts`.
bool Export2LandXML(double &firstChainage, double &lastChainage, CrossSectionSet &set,
                    std::string_view selection, double start, double end, IProgress &progress,
                    bool showProgress, std::size_t parts = WorkParts());

// How the cross-section step of an export ended.
enum class CrExportResult { Written, Nothing, Cancelled, Failed };

// The cross-section step of the export stage: default codes for the layers
// outside the selection, the rules (progress per station), then, unless the
// user asked to cancel meanwhile, the export of the range. Nothing is written
// when no layer is selected or the range holds no cross section (Nothing),
// when cancelled, or when the rules fail.
CrExportResult RuleAndExportCrossSections(CrossSectionSet &set, std::string_view selection,
                                          double start, double end, IProgress &progress,
                                          double &firstChainage, double &lastChainage,
                                          std::size_t parts = WorkParts());

// The same step on the set stored in the slot itself rather than on a copy
// (a long road's cross sections are the largest thing a conversion holds).
// The rules and the export change only the points' codes and copy marks,
// the surfaces' Done marks and the layers' code lists, and append copy points
// at the ends of surfaces; those are noted before and put back after, so the
// store holds the set as it was, whatever the outcome.
CrExportResult RuleAndExportStoredCrossSections(SlotNumber slot, std::string_view selection,
                                                double start, double end, IProgress &progress,
                                                double &firstChainage, double &lastChainage,
                                                std::size_t parts = WorkParts());

// Index of the last station whose chainage is not greater than the chainage,
// at least 1 and at most the last index (0 for a set of one station).
std::size_t StationIndexAt(const CrossSectionSet &set, double chainage);

// 0-based position of the code in the layer's code list, -1 when absent.
long IndexOfCode(const CrSecLayer &layer, std::string_view code);

// Index of the first surface of the layer, -1 when there is none.
long FindSurfaceOfLayer(std::size_t layer, const std::vector<CrSecSurface> &surfaces);

// The final form of a rule code at position `index` of layer `layer`: "L" for a
// code that begins with "-", "C" for one whose value is 0, "R" otherwise.
std::string FinalCode(std::string_view ruleCode, long index, std::size_t layer);

} // namespace vialto
