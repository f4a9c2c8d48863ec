#include "crosssection/CrSecExport.h"

#include "crosssection/CrSec.h"
#include "landxml/LandXmlCrossSections.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"
#include "shell/WorkSplit.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vialto {

namespace {

// Stations prepared at once: enough to outweigh starting a thread, little
// enough to hold two blocks' texts (under 1 MB each).
constexpr std::size_t kExportBlock = 512;
// A block with fewer selected surfaces is prepared on the calling thread.
constexpr std::size_t kMinSharedSurfaces = 1024;

// Collected texts of one surface.
struct SurfaceTexts {
    std::string Codes;       // vertex names, ","-separated
    std::string Interpolate; // pairs of codes
    std::string Link;
    std::string Continue;

    // Empties the texts, keeping their storage for the next surface.
    void Clear() {
        Codes.clear();
        Interpolate.clear();
        Link.clear();
        Continue.clear();
    }
};

// True when a point carries the code; copies (IsCopy) count only with
// includeCopies.
bool HasPointWithCode(const std::vector<CrSecPoint> &points, std::string_view code,
                      bool includeCopies) {
    return std::any_of(points.begin(), points.end(), [&](const CrSecPoint &point) {
        return point.Code == code && (includeCopies || !point.IsCopy);
    });
}

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

// A final code and its number within its layer: two final codes of a layer
// are equal exactly when their numbers are. A code in the layer's list is
// numbered by its first position there (0 up); one that is not takes -1 for
// "L", -2 for "C" and -3 for "R", the side that its final code begins with.
struct FinalCodeOf {
    std::string Text;
    long Number = 0;
};

// Hashes a code as it stands, so that a point's code is looked up without a
// copy of it.
struct CodeHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view code) const {
        return std::hash<std::string_view>{}(code);
    }
};

// The final form of every layer's codes (FinalCode at the code's first
// position in the layer's list), looked up once per point.
using CodeIndex = std::unordered_map<std::string, FinalCodeOf, CodeHash, std::equal_to<>>;

std::vector<CodeIndex> IndexCodes(const CrossSectionSet &set) {
    std::vector<CodeIndex> index(set.Layers.size());
    for (std::size_t l = 0; l < set.Layers.size(); ++l) {
        const std::vector<std::string> &codes = set.Layers[l].Codes;
        for (std::size_t k = 0; k < codes.size(); ++k)
            if (index[l].find(codes[k]) == index[l].end())
                index[l].emplace(codes[k], FinalCodeOf{FinalCode(codes[k], static_cast<long>(k), l),
                                                       static_cast<long>(k)});
    }
    return index;
}

FinalCodeOf FinalCodeOutsideList(std::string_view ruleCode, std::size_t layer) {
    FinalCodeOf code{FinalCode(ruleCode, -1, layer), 0};
    code.Number = code.Text.front() == 'L' ? -1 : code.Text.front() == 'C' ? -2 : -3;
    return code;
}

// The numbers of the final codes that a written surface's own points (not
// the copies) carry, for the next station's look back; Known is false for a
// surface not written in this run.
struct WrittenCodes {
    bool Known = false;
    std::vector<long> Numbers;
};

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

// What a surface's export needs that no other station changes, worked out
// for many surfaces at once: the text of its points (the copy marks, which
// the export appends, have none) and the final code of each point it had
// then (nullptr where the code is empty or outside the layer's list).
struct PreparedSurface {
    std::string Points;
    std::vector<const FinalCodeOf *> Codes;
};

void PrepareSurface(const CrSecSurface &surface, const CodeIndex &codeIndex, PreparedSurface &out) {
    out.Points.clear();
    out.Codes.clear();
    for (const CrSecPoint &point : surface.Points) {
        if (!point.IsCopyMark) {
            AppendDecimals(out.Points, point.Offset, 6);
            out.Points += ' ';
            AppendDecimals(out.Points, point.Height, 6);
            out.Points += ' ';
        }
        const auto found =
            point.Code.empty() ? codeIndex.end() : codeIndex.find(std::string_view(point.Code));
        out.Codes.push_back(found == codeIndex.end() ? nullptr : &found->second);
    }
    DropTrailing(out.Points, ' ');
}

// A block of stations [Start, End) and its selected surfaces (station,
// surface), each with what PrepareSurface worked out.
struct PreparedBlock {
    std::size_t Start = 0;
    std::size_t End = 0;
    std::vector<std::pair<std::size_t, std::size_t>> Surfaces;
    std::vector<PreparedSurface> Prepared;
};

// Writes surface j of station i into `out` and its final codes' numbers
// into `written`; `before` holds those of the previous station's surfaces.
// `prepared` holds the surface's points text and final codes.
void ExportSurface(CrossSectionSet &set, std::size_t i, std::size_t j,
                   const std::vector<CodeIndex> &codeIndex, const PreparedSurface &prepared,
                   const std::vector<WrittenCodes> &before, WrittenCodes &written,
                   SurfaceTexts &out) {
    CrossSection &station = set.Stations[i];
    const std::size_t layer = station.Surfaces[j].Layer;
    const long previous = i > 0 ? FindSurfaceOfLayer(layer, set.Stations[i - 1].Surfaces) : -1;
    const long next =
        i + 1 < set.Stations.size() ? FindSurfaceOfLayer(layer, set.Stations[i + 1].Surfaces) : -1;
    const WrittenCodes *previousCodes =
        previous >= 0 && static_cast<std::size_t>(previous) < before.size() &&
                before[static_cast<std::size_t>(previous)].Known
            ? &before[static_cast<std::size_t>(previous)]
            : nullptr;
    written.Known = true;
    written.Numbers.clear();

    // Copies may be appended to the next station's surface while this one is
    // read, so the points are addressed by index.
    for (std::size_t k = 0; k < station.Surfaces[j].Points.size(); ++k) {
        CrSecPoint &point = station.Surfaces[j].Points[k];
        if (point.Code.empty()) {
            out.Codes += "NO_CODE,";
            LogUncoded(station.Chainage, point);
            continue;
        }
        std::string ruleCode(point.Code);
        // Points appended since the surface was prepared are looked up here.
        const FinalCodeOf *final = nullptr;
        if (k < prepared.Codes.size()) {
            final = prepared.Codes[k];
        } else {
            const auto found = codeIndex[layer].find(ruleCode);
            final = found == codeIndex[layer].end() ? nullptr : &found->second;
        }
        long number = 0;
        if (final == nullptr) {
            FinalCodeOf outside = FinalCodeOutsideList(ruleCode, layer);
            point.Code = std::move(outside.Text);
            number = outside.Number;
        } else {
            point.Code = final->Text;
            number = final->Number;
        }
        if (!point.IsCopy)
            written.Numbers.push_back(number);
        if (!point.IsCopyMark) {
            out.Codes += point.Code;
            out.Codes += ',';
        }
        if (i == 0)
            continue; // station 0 has no connections

        // A previous station written in this run has final codes, compared
        // by their numbers; one before the range is compared as it stands.
        const bool continues =
            previousCodes
                ? std::find(previousCodes->Numbers.begin(), previousCodes->Numbers.end(), number) !=
                      previousCodes->Numbers.end()
                : previous >= 0 &&
                      HasPointWithCode(
                          set.Stations[i - 1].Surfaces[static_cast<std::size_t>(previous)].Points,
                          point.Code, false);
        if (continues) {
            if (point.IsCopyMark && !point.IsCopy) {
                if (point.Name.empty()) {
                    for (int twice = 0; twice < 2; ++twice) {
                        out.Interpolate += point.Code;
                        out.Interpolate += ',';
                    }
                } else {
                    out.Link = point.Name;
                }
            } else {
                out.Continue += point.Code;
                out.Continue += ',';
            }
        } else if (next >= 0) {
            // The stringline starts here; when the next station does not
            // carry it on, it gets a copy there that ends the line.
            std::vector<CrSecPoint> &nextPoints =
                set.Stations[i + 1].Surfaces[static_cast<std::size_t>(next)].Points;
            if (!HasPointWithCode(nextPoints, ruleCode, true)) {
                CrSecPoint copy;
                copy.Code = std::move(ruleCode);
                copy.IsCopy = true;
                copy.IsCopyMark = true;
                nextPoints.push_back(std::move(copy));
            }
        }
    }
    DropTrailing(out.Codes, ',');
    DropTrailing(out.Interpolate, ',');
    DropTrailing(out.Continue, ',');
}

// What the rules and the export change in a set, noted to be put back.
struct CodeState {
    std::vector<CrSecLayer> Layers;
    std::vector<std::size_t> PointCounts; // per surface, station by station
    std::vector<bool> Done;               // per surface
    // Points that carry a code, a second code or a copy mark: their position
    // counted across the whole set, and the point.
    std::vector<std::pair<std::size_t, CrSecPoint>> Marked;
};

bool IsMarked(const CrSecPoint &point) {
    return !point.Code.empty() || !point.Name.empty() || point.IsCopy || point.IsCopyMark;
}

CodeState NoteCodeState(const CrossSectionSet &set) {
    CodeState state;
    state.Layers = set.Layers;
    std::size_t position = 0;
    for (const CrossSection &station : set.Stations)
        for (const CrSecSurface &surface : station.Surfaces) {
            state.PointCounts.push_back(surface.Points.size());
            state.Done.push_back(surface.Done);
            for (const CrSecPoint &point : surface.Points) {
                if (IsMarked(point))
                    state.Marked.emplace_back(position, point);
                ++position;
            }
        }
    return state;
}

void PutBackCodeState(CrossSectionSet &set, CodeState &state) {
    set.Layers = std::move(state.Layers);
    std::size_t surfaceIndex = 0;
    std::size_t position = 0;
    auto marked = state.Marked.begin();
    for (CrossSection &station : set.Stations)
        for (CrSecSurface &surface : station.Surfaces) {
            surface.Points.resize(state.PointCounts[surfaceIndex]);
            surface.Done = state.Done[surfaceIndex];
            ++surfaceIndex;
            for (CrSecPoint &point : surface.Points) {
                if (marked != state.Marked.end() && marked->first == position) {
                    point = std::move(marked->second);
                    ++marked;
                } else if (IsMarked(point)) {
                    point.Code.clear();
                    point.Name.clear();
                    point.IsCopy = false;
                    point.IsCopyMark = false;
                }
                ++position;
            }
        }
}

// The stored set of a slot lent to the cross-section step: put back as it
// was and returned to the store when the step ends, however it ends.
class LentSet {
  public:
    explicit LentSet(SlotNumber slot)
        : slot_(slot), set_(TakeAligmentCr(slot)), noted_(NoteCodeState(set_)) {}
    LentSet(const LentSet &) = delete;
    LentSet &operator=(const LentSet &) = delete;
    ~LentSet() {
        PutBackCodeState(set_, noted_);
        SetAligmentCr(slot_, std::move(set_));
    }
    CrossSectionSet &Set() { return set_; }

  private:
    SlotNumber slot_;
    CrossSectionSet set_;
    CodeState noted_;
};

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

std::string FinalCode(std::string_view ruleCode, long index, std::size_t layer) {
    const char side = StartsWith(ruleCode, "-") ? 'L' : CodeValue(ruleCode) == 0 ? 'C' : 'R';
    return side + std::to_string(index) + ":" + std::to_string(layer);
}

bool Export2LandXML(double &firstChainage, double &lastChainage, CrossSectionSet &set,
                    std::string_view selection, double start, double end, IProgress &progress,
                    bool showProgress, std::size_t parts) {
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
        SurfaceTexts texts; // reused from surface to surface
        // The codes written at the previous station and at this one, by surface.
        std::vector<WrittenCodes> before;
        std::vector<WrittenCodes> written;
        // Stations are written block by block; while one block is written,
        // another thread prepares the next (two blocks' storage, reused).
        PreparedBlock blocks[2];
        const auto list = [&](PreparedBlock &block, std::size_t start) {
            block.Start = start;
            block.End = std::min(last + 1, start + kExportBlock);
            block.Surfaces.clear();
            for (std::size_t i = block.Start; i < block.End; ++i)
                for (std::size_t j = 0; j < set.Stations[i].Surfaces.size(); ++j)
                    if (IsSelected(selection, set.Layers.at(set.Stations[i].Surfaces[j].Layer)))
                        block.Surfaces.emplace_back(i, j);
            if (block.Prepared.size() < block.Surfaces.size())
                block.Prepared.resize(block.Surfaces.size());
        };
        const auto prepare = [&](PreparedBlock &block, std::size_t from, std::size_t to) {
            for (std::size_t k = from; k < to; ++k) {
                const CrSecSurface &surface =
                    set.Stations[block.Surfaces[k].first].Surfaces[block.Surfaces[k].second];
                PrepareSurface(surface, codeIndex[surface.Layer], block.Prepared[k]);
            }
        };
        list(blocks[0], first);
        prepare(blocks[0], 0, blocks[0].Surfaces.size());
        for (std::size_t b = 0;; ++b) {
            PreparedBlock &block = blocks[b % 2];
            PreparedBlock &next = blocks[(b + 1) % 2];
            const bool more = block.End <= last;
            // The next block's first station gains copies while this block is
            // written: its surfaces are prepared after that, here.
            std::size_t nextFirst = 0;
            std::optional<WorkInBackground> ahead;
            if (more) {
                list(next, block.End);
                while (nextFirst < next.Surfaces.size() &&
                       next.Surfaces[nextFirst].first == next.Start)
                    ++nextFirst;
                if (parts > 1 && next.Surfaces.size() >= kMinSharedSurfaces)
                    ahead.emplace([&] { prepare(next, nextFirst, next.Surfaces.size()); });
            }
            std::size_t k = 0;
            for (std::size_t i = block.Start; i < block.End; ++i) {
                if (showProgress)
                    progress.Step(static_cast<double>(i));
                const double chainage = set.Stations[i].Chainage;
                if (!TagCrossSect(false, FormatDecimals(chainage, 6)))
                    return false;
                lastChainage = chainage;
                std::swap(before, written);
                written.resize(set.Stations[i].Surfaces.size());
                for (WrittenCodes &codes : written)
                    codes.Known = false;
                for (std::size_t j = 0; j < set.Stations[i].Surfaces.size(); ++j) {
                    const CrSecLayer &layer = set.Layers.at(set.Stations[i].Surfaces[j].Layer);
                    if (!IsSelected(selection, layer))
                        continue;
                    const PreparedSurface &surface = block.Prepared[k++];
                    texts.Clear();
                    ExportSurface(set, i, j, codeIndex, surface, before, written[j], texts);
                    bool ok = TagCrossSectSurf(false, layer.Name);
                    ok = ok && TagPntList2D(surface.Points);
                    ok = ok && TagVertexName(texts.Codes);
                    if (i != 0)
                        ok = ok &&
                             TagVertexConnections(texts.Interpolate, texts.Link, texts.Continue);
                    ok = ok && TagCrossSectSurf(true);
                    if (!ok)
                        return false;
                }
                if (!TagCrossSect(true))
                    return false;
            }
            if (!more)
                break;
            if (ahead)
                ahead->Wait();
            else
                prepare(next, nextFirst, next.Surfaces.size());
            prepare(next, 0, nextFirst);
        }
        Trace("<<CCrSec.Export2LandXML");
        return TagCrossSects(true);
    });
}

CrExportResult RuleAndExportCrossSections(CrossSectionSet &set, std::string_view selection,
                                          double start, double end, IProgress &progress,
                                          double &firstChainage, double &lastChainage,
                                          std::size_t parts) {
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
    return Export2LandXML(firstChainage, lastChainage, set, selection, start, end, progress, true,
                          parts)
               ? CrExportResult::Written
               : CrExportResult::Failed;
}

CrExportResult RuleAndExportStoredCrossSections(SlotNumber slot, std::string_view selection,
                                                double start, double end, IProgress &progress,
                                                double &firstChainage, double &lastChainage,
                                                std::size_t parts) {
    LentSet lent(slot);
    return RuleAndExportCrossSections(lent.Set(), selection, start, end, progress, firstChainage,
                                      lastChainage, parts);
}

} // namespace vialto
