// The layer choice for the export (module CLayers): fills the exporting
// page's tree of layers and stringlines from a stringline set or a
// cross-section set, and stores the user's choice back into the stringline
// set's Selection, where the export reads it.
//
// A choice travels as one text in which every chosen number is followed by
// "$" and the whole begins with "$" (layers 0 and 2: "$0$2$").
#pragma once

#include "model/Records.h"

#include <optional>
#include <string>

namespace vialto {

// What the layer choice needs of the exporting page (the wizard implements
// it with its tree of tick boxes).
class IExportingPage {
  public:
    virtual ~IExportingPage() = default;
    // Adds a top-level node; returns its key.
    virtual std::string AddLayer(const std::string &name, std::optional<long> itemData = {}) = 0;
    // Adds a stringline under the layer node; returns its key.
    virtual std::string AddStringline(const std::string &layerKey, const std::string &name,
                                      long itemData) = 0;
    // The ticked top-level nodes' numbers / the ticked stringlines' item data,
    // each as "$a$b$".
    virtual std::string GetSelectedLayersIdx() = 0;
    virtual std::string GetSelectedStringlinesIdx() = 0;
    virtual void SetLayersVisible(bool visible) = 0;
};

// A stringline is offered for the export when its State is 0 or -1.
bool IsStringlineOffered(const TStringLine &line);

// Without layers, every offered stringline becomes a top-level node (its
// number as item data); with layers, one node per layer with its offered
// stringlines under it.
void FillStringlineLayers(IExportingPage &page, const TStringLines &set);

// Offers every layer that has at least one code; shows the layer tree when
// one was offered.
void FillCrossSectionLayers(IExportingPage &page, const CrossSectionSet &set);

// Reads the choice (top-level nodes without layers, stringlines with layers)
// and appends it to set.Selection, with the first occurrence of the current
// Selection in it replaced by "$".
void StoreStringlineSelection(IExportingPage &page, TStringLines &set);

} // namespace vialto
