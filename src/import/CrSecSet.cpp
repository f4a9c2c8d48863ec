#include "import/CrSecSet.h"

#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <cmath>

namespace vialto {

namespace {

constexpr double kSamePointTol = 0.0001;

bool SamePlace(double offsetA, double heightA, double offsetB, double heightB) {
    return std::abs(offsetA - offsetB) < kSamePointTol &&
           std::abs(heightA - heightB) < kSamePointTol;
}

std::string CodeBase(const CrSecPoint &point) { return FormatDecimals(point.Offset, 3); }

std::size_t CountWithPrefix(const std::vector<std::string> &codes, std::string_view base) {
    std::size_t n = 0;
    for (const std::string &code : codes)
        if (StartsWith(code, base))
            ++n;
    return n;
}

// Gives the surface its codes when the layer has none yet, and appends it
// to the station.
void AppendSurface(CrossSectionSet &set, CrSecSurface surface, std::size_t station,
                   std::size_t layer) {
    CrSecLayer &target = set.Layers.at(layer);
    DeleteDuplicatedpoints(surface.Points);
    if (target.Codes.empty())
        CodeAllPoints(surface, target);
    set.Stations.at(station).Surfaces.push_back(std::move(surface));
}

CrSecPoint PointAt(const CrListPoint &p) {
    CrSecPoint point;
    point.Offset = p.Offset;
    point.Height = p.Height;
    return point;
}

} // namespace

std::string FixedPointCode(std::string_view code) {
    std::string fixed(code.substr(0, 8));
    fixed.resize(8, ' ');
    return fixed;
}

CrossSection MakeStation(double chainage, const std::array<CrListPoints, 4> &lists) {
    CrossSection station{chainage, {}};
    for (std::size_t layer = 0; layer < lists.size(); ++layer) {
        if (lists[layer].empty())
            continue;
        CrSecSurface &surface = station.Surfaces.emplace_back();
        surface.Layer = static_cast<std::uint8_t>(layer);
        surface.Points.reserve(lists[layer].size());
        for (const CrListPoint &p : lists[layer])
            surface.Points.push_back(PointAt(p));
        DeleteDuplicatedpoints(surface.Points);
    }
    return station;
}

CrossSection MakeStation(double chainage, const std::vector<CrListPoints> &surfaces) {
    CrossSection station{chainage, {}};
    for (std::size_t layer = 0; layer < surfaces.size(); ++layer) {
        const CrListPoints &source = surfaces[layer];
        if (source.empty())
            continue;
        // A point in the place of the listed point before it is left out.
        CrSecSurface &surface = station.Surfaces.emplace_back();
        surface.Layer = static_cast<std::uint8_t>(layer);
        surface.Points.reserve(source.size());
        surface.Points.push_back(PointAt(source.front()));
        for (std::size_t k = 1; k < source.size(); ++k)
            if (!SamePlace(source[k].Offset, source[k].Height, source[k - 1].Offset,
                           source[k - 1].Height))
                surface.Points.push_back(PointAt(source[k]));
        DeleteDuplicatedpoints(surface.Points);
    }
    return station;
}

void AppendStation(CrossSectionSet &set, CrossSection &&station) {
    if (station.Surfaces.empty())
        return;
    for (CrSecSurface &surface : station.Surfaces) {
        CrSecLayer &layer = set.Layers.at(surface.Layer);
        if (layer.Codes.empty())
            CodeAllPoints(surface, layer);
    }
    set.Stations.push_back(std::move(station));
}

void AddStation(CrossSectionSet &set, double chainage, const std::array<CrListPoints, 4> &lists) {
    AppendStation(set, MakeStation(chainage, lists));
}

void AddStation(CrossSectionSet &set, double chainage, const std::vector<CrListPoints> &surfaces) {
    AppendStation(set, MakeStation(chainage, surfaces));
}

void AddSurface(CrossSectionSet &set, const CrListPoints &points, std::size_t station,
                std::size_t layer) {
    CrSecSurface surface;
    surface.Layer = static_cast<std::uint8_t>(layer);
    surface.Points.reserve(points.size());
    for (const CrListPoint &p : points)
        surface.Points.push_back(PointAt(p));
    AppendSurface(set, std::move(surface), station, layer);
}

int DeleteDuplicatedpoints(std::vector<CrSecPoint> &points) {
    Trace(">> DeleteDuplicatedpoints");
    int removed = 0;
    if (!points.empty()) {
        // Each point is compared with its neighbour in the input, not with the
        // last point kept: a run of steps each below the tolerance collapses to
        // its first point even when the run as a whole drifts further. The
        // points kept move forward in place.
        double offset = points.front().Offset;
        double height = points.front().Height;
        std::size_t kept = 1;
        for (std::size_t k = 1; k < points.size(); ++k) {
            const double nextOffset = points[k].Offset;
            const double nextHeight = points[k].Height;
            if (SamePlace(nextOffset, nextHeight, offset, height)) {
                ++removed;
            } else {
                if (kept != k)
                    points[kept] = std::move(points[k]);
                ++kept;
            }
            offset = nextOffset;
            height = nextHeight;
        }
        points.erase(points.begin() + static_cast<std::ptrdiff_t>(kept), points.end());
    }
    Trace("<< DeleteDuplicatedpoints");
    return removed;
}

void CodeAllPoints(CrSecSurface &surface, CrSecLayer &layer) {
    for (CrSecPoint &point : surface.Points)
        point.Code = MakeStringlineName(layer, point);
}

std::string MakeStringlineName(CrSecLayer &layer, const CrSecPoint &point) {
    const std::string base = CodeBase(point);
    if (layer.Codes.empty()) {
        layer.Codes.push_back(base);
        return base;
    }
    const std::size_t n = CountWithPrefix(layer.Codes, base);
    std::string code = n > 0 ? base + "_" + std::to_string(n + 1) : base;
    layer.Codes.push_back(code);
    return code;
}

std::string CodeFromOffset(CrSecLayer &layer, const CrSecPoint &point) {
    const std::string base = CodeBase(point);
    if (layer.Codes.empty()) {
        layer.Codes.push_back(base);
        return base;
    }
    for (const std::string &code : layer.Codes)
        if (StartsWith(code, base))
            return base;
    return MakeStringlineName(layer, point);
}

int CountUncoded(const std::vector<CrSecPoint> &points) {
    int n = 0;
    for (const CrSecPoint &point : points)
        if (point.Code.empty())
            ++n;
    return n;
}

} // namespace vialto
