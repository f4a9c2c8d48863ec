// The alignment store: the process-wide table of alignment slots that holds
// one conversion's imported data from the import stage that fills it until
// the next import stage empties it. Slots are numbered 1..count (slot 0 exists
// and is unused) and addressed by a byte, so at most 255 alignments.
//
// Getters return copies, except the cant table and tunnel profile set, which
// are shared. A getter of a part the slot does not have raises error 20000
// with the source set by the caller's boundary.
#pragma once

#include "model/ElementSearch.h"
#include "model/Records.h"

#include <any>
#include <cstdint>
#include <string>

namespace vialto {

using SlotNumber = std::uint8_t;

void ResetAlignments();
void AddAlignment();
SlotNumber GetAlignmentCount();
int GetAlignmentFlags(SlotNumber slot);
bool ExistAlignment(int mask, SlotNumber slot);

std::string GetAligmentName(SlotNumber slot);
void SetAligmentName(SlotNumber slot, const std::string &name);

HzAlignment GetAligmentHz(SlotNumber slot);
// The stored alignment itself, for evaluations repeated along a track; valid
// until the store changes.
const HzAlignment &ViewAligmentHz(SlotNumber slot);
// The stored alignment for searches repeated along a track: the element search
// rule by bisection when its starts ascend, which is checked when it is set;
// valid until the store changes.
ElementSearch<HzElement> SearchAligmentHz(SlotNumber slot);
// The element that holds the chainage by the element search rule
// (FindElementAt, model/ElementSearch.h).
void GetAligmentHzWithChainage(HzElement &element, SlotNumber slot, double chainage);
void SetAligmentHz(SlotNumber slot, const HzAlignment &elements);

VtAlignment GetAligmentVt(SlotNumber slot);
// The stored profile itself, for evaluations repeated along a track; valid
// until the store changes.
const VtAlignment &ViewAligmentVt(SlotNumber slot);
// As SearchAligmentHz, for the profile.
ElementSearch<VtElement> SearchAligmentVt(SlotNumber slot);
void SetAligmentVt(SlotNumber slot, VtAlignment elements);
// start = Chainage of element 1; end = Chainage + Length of the last element.
void GetStartEndAligmentVt(SlotNumber slot, double &start, double &end);

StationEquations GetStationEquations(SlotNumber slot);
void SetStationEquations(SlotNumber slot, const StationEquations &list);
bool HasStationEquations(SlotNumber slot);

CrossSectionSet GetAligmentCr(SlotNumber slot);
// The stored set itself, for reading; valid until the store changes.
const CrossSectionSet &ViewAligmentCr(SlotNumber slot);
// Moves the stored set out (the slot keeps an empty set and its flag) for
// work that gives it back with SetAligmentCr.
CrossSectionSet TakeAligmentCr(SlotNumber slot);
void SetAligmentCr(SlotNumber slot, const CrossSectionSet &set);
// Takes the set over without copying it (a large listing is held once).
void SetAligmentCr(SlotNumber slot, CrossSectionSet &&set);

// The slot's cant table (part flagSup) or tunnel profile set (flagTnl), held
// as the std::shared_ptr the rail layer stored; that layer's GetAligmentSup,
// SetAligmentSup, GetAligmentTnl and SetAligmentTnl are the typed access.
// Setting marks the part present; any other part raises error 20000.
const std::any &GetAligmentShared(SlotNumber slot, SlotFlag part);
void SetAligmentShared(SlotNumber slot, SlotFlag part, std::any object);

TStringLines GetAligmentStrLn(SlotNumber slot);
void SetAligmentStrLn(SlotNumber slot, const TStringLines &set);
bool GetAligmentStrLnWithName(TStringLine &line, SlotNumber slot, const std::string &name);

// Reading a stringline file is not supported: always fails (error 20000,
// logged as "ImportStrLnAligment") and returns false.
bool ImportStrLnAligment(TStringLines &set, const std::string &path);

} // namespace vialto
