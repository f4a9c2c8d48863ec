#include "crosssection/CrSecExport.h"

#include "crosssection/CrSec.h"
#include "landxml/LandXmlCrossSections.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <algorithm>
#include <unordered_map>

namespace vialto {

namespace {

// Collected texts of one surface.
struct SurfaceTexts {
    std::string Points;      // "offset height offset height ..."
    std::string Codes;       // vertex names, ","-separated
    std::string Interpolate; // pairs of codes
    std::string Link;
    std::string Continue;
};

void DropTrailing(std::string &text, char separator) {
    if (!text.empty() && text.back() == separator)
        text.pop_back();
}

bool IsSelected(std::string_view selection, const CrSecLayer &layer) {
    return selection.empty() || selection.find(layer.Name + "$") != std::string_view::npos;
}

bool AnyLayerSelected(const CrossSectionSet &set, std::string_view selection) {
    return std::any_of(set.Layers.begin(), set.Layers.end(),
                       [&](const CrSecLayer &layer) { return IsSelected(selection, layer); });
}

void LogUncoded(double chainage, const CrSecPoint &point) {
    LogMessage("Point without code in Export2LandXml function  Ch : " +
               FormatDecimals(chainage, 3) + "\r\n Offset: " + FormatDecimals(point.Offset, 3) +
               "\r\n Height: " + FormatDecimals(point.Height, 3));
}

// Positions of every layer's codes, looked up once per point.
using CodeIndex = std::unordered_map<std::string, long>;

std::vector<CodeIndex> IndexCodes(const CrossSectionSet &set) {
    std::vector<CodeIndex> index(set.Layers.size());
    for (std::size_t l = 0; l < set.Layers.size(); ++l) {
        const std::vector<std::string> &codes = set.Layers[l].Codes;
        for (std::size_t k = 0; k < codes.size(); ++k)
            index[l].emplace(codes[k], static_cast<long>(k));
    }
    return index;
}

// The first and last station of the range, or false when it holds none.
bool StationRange(const CrossSectionSet &set, double start, double end, std::size_t &first,
                  std::size_t &last) {
    const std::size_t lastIndex = set.Stations.size() - 1;
    first = 0;
    last = lastIndex;
    if (start == 0 && end == 0)
        return true;
    // Each end of the range takes the station in force there: the last one
    // whose chainage is not greater. The station search never answers below
    // 1, so below the second station's chainage the answer is station 0 here
    // (else a range starting exactly at the first station would lose it, and
    // one ending before the second station would write that station), or no
    // station at all when the range ends before the first one.
    const double second = set.Stations.size() > 1 ? set.Stations[1].Chainage : 0;
    if (start >= second && start > set.Stations.front().Chainage)
        first = StationIndexAt(set, start);
    if (end < set.Stations.front().Chainage)
        return false;
    if (end < set.Stations.back().Chainage)
        last = end < second ? 0 : std::min(StationIndexAt(set, end), lastIndex);
    return first <= last;
}

void ExportSurface(CrossSectionSet &set, std::size_t i, std::size_t j,
                   const std::vector<CodeIndex> &codeIndex, SurfaceTexts &out) {
    CrossSection &station = set.Stations[i];
    const std::size_t layer = station.Surfaces[j].Layer;
    const long previous = i > 0 ? FindSurfaceOfLayer(layer, set.Stations[i - 1].Surfaces) : -1;
    const long next =
        i + 1 < set.Stations.size() ? FindSurfaceOfLayer(layer, set.Stations[i + 1].Surfaces) : -1;

    // Copies may be appended to the next station's surface while this one is
    // read, so the points are addressed by index.
    for (std::size_t k = 0; k < station.Surfaces[j].Points.size(); ++k) {
        CrSecPoint &point = station.Surfaces[j].Points[k];
        if (!point.IsCopyMark)
            out.Points +=
                FormatDecimals(point.Offset, 6) + " " + FormatDecimals(point.Height, 6) + " ";
        if (point.Code.empty()) {
            out.Codes += "NO_CODE,";
            LogUncoded(station.Chainage, point);
            continue;
        }
        const std::string ruleCode = point.Code;
        const auto found = codeIndex[layer].find(ruleCode);
        const long position = found == codeIndex[layer].end() ? -1 : found->second;
        point.Code = FinalCode(ruleCode, position, layer);
        if (!point.IsCopyMark)
            out.Codes += point.Code + ",";
        if (i == 0)
            continue; // station 0 has no connections

        // The previous station is already written, so its codes are final.
        const bool continues =
            previous >= 0 &&
            !FindPointsByCode(
                 set.Stations[i - 1].Surfaces[static_cast<std::size_t>(previous)].Points,
                 point.Code, true, false)
                 .empty();
        if (continues) {
            if (point.IsCopyMark && !point.IsCopy) {
                if (point.Name.empty())
                    out.Interpolate += point.Code + "," + point.Code + ",";
                else
                    out.Link = point.Name;
            } else {
                out.Continue += point.Code + ",";
            }
        } else if (next >= 0) {
            // The stringline starts here; when the next station does not
            // carry it on, it gets a copy there that ends the line.
            std::vector<CrSecPoint> &nextPoints =
                set.Stations[i + 1].Surfaces[static_cast<std::size_t>(next)].Points;
            if (FindPointsByCode(nextPoints, ruleCode, true, true).empty()) {
                CrSecPoint copy;
                copy.Code = ruleCode;
                copy.IsCopy = true;
                copy.IsCopyMark = true;
                nextPoints.push_back(std::move(copy));
            }
        }
    }
    DropTrailing(out.Points, ' ');
    DropTrailing(out.Codes, ',');
    DropTrailing(out.Interpolate, ',');
    DropTrailing(out.Continue, ',');
}

} // namespace

std::size_t StationIndexAt(const CrossSectionSet &set, double chainage) {
    if (set.Stations.empty())
        return 0;
    const std::size_t lastIndex = set.Stations.size() - 1;
    // Stations ascend by chainage: the first one beyond the chainage ends the
    // search.
    const auto beyond =
        std::upper_bound(set.Stations.begin(), set.Stations.end(), chainage,
                         [](double c, const CrossSection &s) { return c < s.Chainage; });
    const std::size_t count = static_cast<std::size_t>(beyond - set.Stations.begin());
    const std::size_t index = count == 0 ? 0 : count - 1;
    return std::min(std::max<std::size_t>(index, 1), lastIndex);
}

long IndexOfCode(const CrSecLayer &layer, std::string_view code) {
    const auto found = std::find(layer.Codes.begin(), layer.Codes.end(), code);
    return found == layer.Codes.end() ? -1 : static_cast<long>(found - layer.Codes.begin());
}

long FindSurfaceOfLayer(std::size_t layer, const std::vector<CrSecSurface> &surfaces) {
    for (std::size_t k = 0; k < surfaces.size(); ++k)
        if (surfaces[k].Layer == layer)
            return static_cast<long>(k);
    return -1;
}

PointIndexList FindPointsByCode(const std::vector<CrSecPoint> &points, std::string_view code,
                                bool firstOnly, bool includeCopies) {
    PointIndexList found;
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (points[k].Code != code || (!includeCopies && points[k].IsCopy))
            continue;
        found.push_back(k);
        if (firstOnly)
            break;
    }
    return found;
}

std::string FinalCode(std::string_view ruleCode, long index, std::size_t layer) {
    const char side = StartsWith(ruleCode, "-") ? 'L' : CodeValue(ruleCode) == 0 ? 'C' : 'R';
    return side + std::to_string(index) + ":" + std::to_string(layer);
}

bool Export2LandXML(double &firstChainage, double &lastChainage, CrossSectionSet &set,
                    std::string_view selection, double start, double end, IProgress &progress,
                    bool showProgress) {
    return Guarded("CCrSec.Export2LandXML", false, [&] {
        Trace(">>CCrSec.Export2LandXML");
        std::size_t first = 0;
        std::size_t last = 0;
        if (set.Stations.empty() || !StationRange(set, start, end, first, last))
            return false;
        if (showProgress)
            progress.Start(AppModel().GetToken("T_EXPORTING_CR"), static_cast<double>(first),
                           static_cast<double>(last));
        if (!AnyLayerSelected(set, selection))
            return false;

        const std::vector<CodeIndex> codeIndex = IndexCodes(set);
        firstChainage = set.Stations[first].Chainage;
        // A failed line ends the export at once: the writer has reported it,
        // and every further line would fail the same way.
        if (!TagCrossSects(false, ""))
            return false;
        for (std::size_t i = first; i <= last; ++i) {
            if (showProgress)
                progress.Step(static_cast<double>(i));
            const double chainage = set.Stations[i].Chainage;
            if (!TagCrossSect(false, FormatDecimals(chainage, 6)))
                return false;
            lastChainage = chainage;
            for (std::size_t j = 0; j < set.Stations[i].Surfaces.size(); ++j) {
                const CrSecLayer &layer = set.Layers.at(set.Stations[i].Surfaces[j].Layer);
                if (!IsSelected(selection, layer))
                    continue;
                SurfaceTexts texts;
                ExportSurface(set, i, j, codeIndex, texts);
                bool ok = TagCrossSectSurf(false, layer.Name);
                ok = ok && TagPntList2D(texts.Points);
                ok = ok && TagVertexName(texts.Codes);
                if (i != 0)
                    ok = ok && TagVertexConnections(texts.Interpolate, texts.Link, texts.Continue);
                ok = ok && TagCrossSectSurf(true);
                if (!ok)
                    return false;
            }
            if (!TagCrossSect(true))
                return false;
        }
        Trace("<<CCrSec.Export2LandXML");
        return TagCrossSects(true);
    });
}

CrExportResult RuleAndExportCrossSections(CrossSectionSet &set, std::string_view selection,
                                          double start, double end, IProgress &progress,
                                          double &firstChainage, double &lastChainage) {
    // No layer chosen, or a range that holds no cross section, is the user's
    // choice of an alignment without cross sections, not a failed export.
    std::size_t first = 0;
    std::size_t last = 0;
    if (set.Stations.empty() || !AnyLayerSelected(set, selection) ||
        !StationRange(set, start, end, first, last))
        return CrExportResult::Nothing;
    SetDefaultCodes(set, selection);
    progress.SetInfo(AppModel().GetToken("LBL_EXP_CR_RULES"));
    if (!ApplyRules(set, selection, progress, true))
        return CrExportResult::Failed;
    // The rules are the long part; the user's cancel is honoured before a
    // single cross section is written.
    if (progress.CancelRequested())
        return CrExportResult::Cancelled;
    progress.SetInfo(AppModel().GetToken("LBL_EXP_CR_EXP"));
    return Export2LandXML(firstChainage, lastChainage, set, selection, start, end, progress, true)
               ? CrExportResult::Written
               : CrExportResult::Failed;
}

} // namespace vialto
