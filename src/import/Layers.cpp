#include "import/Layers.h"

#include "shell/ErrHandler.h"

#include <algorithm>

namespace vialto {

bool IsStringlineOffered(const TStringLine &line) { return line.State == 0 || line.State == -1; }

void FillStringlineLayers(IExportingPage &page, const TStringLines &set) {
    Trace(">> FillStringlineLayers");
    if (!HasLayers(set)) {
        // Lines are numbered from 0: every one of them is offered, the first
        // included, so that ticking all of them exports all of them.
        const long last = std::min<long>(set.Count, static_cast<long>(set.Lines.size()) - 1);
        for (long k = 0; k <= last; ++k) {
            const TStringLine &line = set.Lines[static_cast<std::size_t>(k)];
            if (IsStringlineOffered(line))
                page.AddLayer(line.Name, k);
        }
    } else {
        for (const TStringLineLayer &layer : set.Layers) {
            const std::string key = page.AddLayer(layer.Name);
            for (long number : layer.Lines) {
                if (number < 0 || static_cast<std::size_t>(number) >= set.Lines.size())
                    continue; // a member that the set does not hold
                const TStringLine &line = set.Lines[static_cast<std::size_t>(number)];
                if (IsStringlineOffered(line))
                    page.AddStringline(key, line.Name, number);
            }
        }
    }
    Trace("<< FillStringlineLayers");
}

void FillCrossSectionLayers(IExportingPage &page, const CrossSectionSet &set) {
    bool any = false;
    for (const CrSecLayer &layer : set.Layers) {
        if (layer.Codes.empty())
            continue;
        page.AddLayer(layer.Name);
        any = true;
    }
    if (any)
        page.SetLayersVisible(true);
}

void StoreStringlineSelection(IExportingPage &page, TStringLines &set) {
    std::string chosen =
        HasLayers(set) ? page.GetSelectedStringlinesIdx() : page.GetSelectedLayersIdx();
    if (!set.Selection.empty()) {
        const std::size_t at = chosen.find(set.Selection);
        if (at != std::string::npos)
            chosen = chosen.substr(0, at) + "$" + chosen.substr(at + set.Selection.size());
    }
    set.Selection += chosen;
}

} // namespace vialto
