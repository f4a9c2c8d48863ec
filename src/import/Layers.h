// The layer choice for the export (module CLayers): the tree of layers and
// stringlines the exporting page offers, from a stringline set or a
// cross-section set, and the storing of the chosen stringlines into the
// stringline set's Selection, where the export reads it. The page draws the
// tree and hands its choice back through the job description.
//
// A choice travels as one text in which every chosen number is followed by
// "$" and the whole begins with "$" (stringlines 0 and 2: "$0$2$").
#pragma once

#include "model/Records.h"

#include <optional>
#include <string>
#include <vector>

namespace vialto {

// A stringline offered under a layer: its name and its number in the set.
struct OfferedStringline {
    std::string Name;
    long Number = 0;
};

// A top-level node of the offered tree: a layer with its offered stringlines,
// or, in a set without layers, one offered stringline (Number set, no
// Stringlines).
struct OfferedLayer {
    std::string Name;
    std::optional<long> Number;
    std::vector<OfferedStringline> Stringlines;
};

// A stringline is offered for the export when its State is 0 or -1.
bool IsStringlineOffered(const TStringLine &line);

// Without layers, every offered stringline becomes a top-level node (with its
// number); with layers, one node per layer with its offered stringlines under
// it (members the set does not hold are left out).
std::vector<OfferedLayer> FillStringlineLayers(const TStringLines &set);

// The names of the layers that have at least one code, in order; the page
// shows its layer list when there is one.
std::vector<std::string> FillCrossSectionLayers(const CrossSectionSet &set);

// Appends the chosen stringlines' numbers ("$a$b$", whichever way the tree was
// drawn) to set.Selection, with the first occurrence of the current Selection
// in them replaced by "$".
void StoreStringlineSelection(const std::string &chosenStringlines, TStringLines &set);

} // namespace vialto
