#include "crosssection/CrSec.h"

#include "crosssection/CrSecRules.h"
#include "model/AlignmentStore.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <algorithm>

namespace vialto {

bool IsLayerInRules(std::string_view selection, std::string_view name) {
    if (selection.empty())
        return true;
    const std::string key = "$" + std::string(name) + "$";
    return selection.find(key) != std::string_view::npos;
}

void SetDefaultCodes(CrossSectionSet &set, std::string_view selection) {
    Trace(">> SetDefaultCodes");
    for (CrossSection &station : set.Stations) {
        for (CrSecSurface &surface : station.Surfaces) {
            if (surface.Layer >= set.Layers.size())
                continue;
            CrSecLayer &layer = set.Layers[surface.Layer];
            // The layers left out of the rules are written with a stringline
            // per point. An empty selection puts every layer under the rules
            // (defaults there would pre-empt the rules and break every line).
            if (selection.empty() || selection.find(layer.Name + "$") != std::string_view::npos)
                continue;
            for (CrSecPoint &point : surface.Points)
                if (point.Code.empty())
                    point.Code = MakeStringlineName(layer, point);
        }
    }
    Trace("<< SetDefaultCodes");
}

std::optional<std::size_t> FindLastSurface(const CrossSectionSet &set, std::size_t i,
                                           std::size_t j) {
    if (i == 0 || i >= set.Stations.size())
        return std::nullopt;
    const std::uint8_t layer = set.Stations[i].Surfaces.at(j).Layer;
    const std::vector<CrSecSurface> &previous = set.Stations[i - 1].Surfaces;
    for (std::size_t k = 0; k < previous.size(); ++k)
        if (previous[k].Layer == layer)
            return k;
    return std::nullopt;
}

bool GetPointThisAndLast(std::vector<CrSecPoint> &thisPoints, std::vector<CrSecPoint> &lastPoints,
                         std::size_t &lastSurface, const CrossSectionSet &set, std::size_t i,
                         std::size_t j) {
    if (i == 0)
        return false;
    thisPoints = set.Stations.at(i).Surfaces.at(j).Points;
    const std::optional<std::size_t> last = FindLastSurface(set, i, j);
    if (!last)
        return false;
    lastPoints = set.Stations[i - 1].Surfaces[*last].Points;
    lastSurface = *last;
    return true;
}

void ApplyRulesTo(CrossSectionSet &set, std::size_t i, std::size_t j) {
    Trace(">> ApplyRulesTo");
    NamesByDistance(set, i, j, 0.0001);
    NamesByEnds(set, i, j, true);
    NamesByProximity(set, i, j);
    ClearRepeatedCodes(set, i, j);
    NamesToRest(set, i, j);
    Trace("<< ApplyRulesTo");
}

bool ApplyRules(CrossSectionSet &set, std::string_view selection, IProgress &progress,
                bool showProgress) {
    return Guarded("ApplyRules", false, [&] {
        Trace(">> ApplyRules");
        const std::size_t last = set.Stations.empty() ? 0 : set.Stations.size() - 1;
        // The range is the rules' own; the title stays that of the
        // cross-section step.
        if (showProgress)
            progress.Start(AppModel().GetToken("T_EXPORTING_CR"), 0, static_cast<double>(last));
        if (!ExistAlignment(flagVt, 1))
            RaiseError(errAssert, "There are not Vt aligment to return");
        for (std::size_t i = 1; i < set.Stations.size(); ++i) {
            if (showProgress)
                progress.Step(static_cast<double>(i));
            for (std::size_t j = 0; j < set.Stations[i].Surfaces.size(); ++j) {
                const CrSecLayer &layer = set.Layers.at(set.Stations[i].Surfaces[j].Layer);
                if (IsLayerInRules(selection, layer.Name))
                    ApplyRulesTo(set, i, j);
            }
        }
        ReasignCodes(set);
        Trace("<< ApplyRules");
        return true;
    });
}

double CodeValue(std::string_view code) { return ParseDecimal(code); }

void ReasignCodes(CrossSectionSet &set) {
    Trace(">> ReasignCodes");
    for (CrSecLayer &layer : set.Layers) {
        if (layer.Name.empty() || layer.Codes.size() < 2)
            continue;
        struct Keyed {
            double Value;
            std::string Code;
        };
        std::vector<Keyed> keyed;
        keyed.reserve(layer.Codes.size());
        for (std::string &code : layer.Codes)
            keyed.push_back({CodeValue(code), std::move(code)});
        // A stable sort exchanges neighbours only when the earlier value is
        // strictly greater, exactly as the classic bubble sort did, without
        // its quadratic time on long lists.
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const Keyed &a, const Keyed &b) { return a.Value < b.Value; });
        for (std::size_t k = 0; k < keyed.size(); ++k)
            layer.Codes[k] = std::move(keyed[k].Code);
    }
    Trace("<< ReasignCodes");
}

} // namespace vialto
