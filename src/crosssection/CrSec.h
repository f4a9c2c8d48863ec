// The cross-section module: default codes for the layers left out of the
// rules, the driver that runs the naming rules over every station, and the
// ordering of each layer's codes across the section. The building of a set
// and the code generators are in CrSecSet.h; the rules in CrSecRules.h; the
// export in CrSecExport.h.
//
// A selection names layers, each followed by "$", the whole starting with
// "$" ("$Taludes$Rasante$"); an empty selection selects every layer.
#pragma once

#include "import/CrSecSet.h"
#include "model/Records.h"
#include "shell/UserInterface.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vialto {

// Gives a new code to every uncoded point of the layers whose name followed by
// "$" is not in the selection; an empty selection leaves every layer to the
// rules. Never fails (a surface of an unknown layer is left alone).
void SetDefaultCodes(CrossSectionSet &set, std::string_view selection);

// Runs the rules on every surface of a selected layer at stations 1..last
// (station 0 only serves as the first "Last"), then orders the codes.
// Reports each station to the progress when showProgress is set (value =
// station index). Needs the vertical alignment of store slot 1. False (and
// the error logged as "ApplyRules") on the first failure.
bool ApplyRules(CrossSectionSet &set, std::string_view selection, IProgress &progress,
                bool showProgress);

// The rules on surface j of station i, in their order.
void ApplyRulesTo(CrossSectionSet &set, std::size_t i, std::size_t j);

// Index of the first surface of station i - 1 whose layer is that of surface j
// of station i; none for i = 0 or when station i - 1 lacks the layer.
std::optional<std::size_t> FindLastSurface(const CrossSectionSet &set, std::size_t i,
                                           std::size_t j);

// Copies of the points of surface j of station i (This) and of the matching
// surface of station i - 1 (Last); true when there is such a Last surface.
bool GetPointThisAndLast(std::vector<CrSecPoint> &thisPoints, std::vector<CrSecPoint> &lastPoints,
                         std::size_t &lastSurface, const CrossSectionSet &set, std::size_t i,
                         std::size_t j);

// The numeric value of a code: its leading number after "," becomes "."; 0
// when it does not begin with a number.
double CodeValue(std::string_view code);

// Sorts the code list of every named layer by CodeValue, keeping codes of
// equal value in their order, so each list runs from left to right.
void ReasignCodes(CrossSectionSet &set);

// True when the layer is selected: the selection is empty or holds
// "$" + name + "$".
bool IsLayerInRules(std::string_view selection, std::string_view name);

} // namespace vialto
