#include "import/Layers.h"

#include "shell/ErrHandler.h"

#include <algorithm>

namespace vialto {

bool IsStringlineOffered(const TStringLine &line) { return line.State == 0 || line.State == -1; }

std::vector<OfferedLayer> FillStringlineLayers(const TStringLines &set) {
    Trace(">> FillStringlineLayers");
    std::vector<OfferedLayer> tree;
    if (!HasLayers(set)) {
        // Lines are numbered from 0: every one of them is offered, the first
        // included, so that ticking all of them exports all of them.
        const long last = std::min<long>(set.Count, static_cast<long>(set.Lines.size()) - 1);
        for (long k = 0; k <= last; ++k) {
            const TStringLine &line = set.Lines[static_cast<std::size_t>(k)];
            if (IsStringlineOffered(line))
                tree.push_back({line.Name, k, {}});
        }
    } else {
        for (const TStringLineLayer &layer : set.Layers) {
            OfferedLayer &node = tree.emplace_back();
            node.Name = layer.Name;
            for (long number : layer.Lines) {
                if (number < 0 || static_cast<std::size_t>(number) >= set.Lines.size())
                    continue; // a member that the set does not hold
                const TStringLine &line = set.Lines[static_cast<std::size_t>(number)];
                if (IsStringlineOffered(line))
                    node.Stringlines.push_back({line.Name, number});
            }
        }
    }
    Trace("<< FillStringlineLayers");
    return tree;
}

std::vector<std::string> FillCrossSectionLayers(const CrossSectionSet &set) {
    std::vector<std::string> names;
    for (const CrSecLayer &layer : set.Layers)
        if (!layer.Codes.empty())
            names.push_back(layer.Name);
    return names;
}

void StoreStringlineSelection(const std::string &chosenStringlines, TStringLines &set) {
    std::string chosen = chosenStringlines;
    if (!set.Selection.empty()) {
        const std::size_t at = chosen.find(set.Selection);
        if (at != std::string::npos)
            chosen = chosen.substr(0, at) + "$" + chosen.substr(at + set.Selection.size());
    }
    set.Selection += chosen;
}

} // namespace vialto
