// The ".trv" and ".trv2" forms: a "*TRV" line, one ignored line, then sections
// of a header "chainage,count" and count lines "offset,height,code", up to a
// "FIN" header or the end of the file. A header whose first field ends in
// "E" announces count lines to skip.
#include "import/CrReaders.h"

#include "import/CrSecSet.h"
#include "import/PointCodes.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace vialto {

namespace {

struct TrvPoint {
    double Offset = 0;
    double Height = 0;
    std::string Code; // as a fixed field of 8 characters
};

struct TrvSection {
    double Chainage = 0;
    std::vector<TrvPoint> Points;
};

// More point lines than any file can hold; a larger count still ends at the
// end of the file, with a clear failure.
constexpr double kMaxCount = 1e12;

long long SectionCount(const std::vector<std::string_view> &fields, ListingContext &ctx) {
    if (fields.size() < 2)
        ctx.Reject(errSubscript, "expected a section header \"chainage,number of lines\", found "
                                 "\"" +
                                     Printable(fields.front()) + "\"");
    const double count = std::floor(RequireNumber(fields[1], 2, "number of lines", ctx));
    return count <= 0 ? 0 : static_cast<long long>(std::min(count, kMaxCount));
}

// The next line of a section, which the header promised.
std::string_view SectionLine(ListingLines &lines, ListingContext &ctx, long long read,
                             long long count, long headerLine) {
    if (lines.AtEnd()) {
        ctx.SetLine(headerLine);
        ctx.Reject(errSubscript, "the section announces " + std::to_string(count) +
                                     " line(s) but the file ends after " + std::to_string(read));
    }
    std::string_view line = lines.Next();
    ctx.SetLine(lines.LineNumber());
    return line;
}

// Reads the sections one after the other and hands each to `take` as soon as
// it is complete; the section is reused for the next one, so a large listing
// is never held twice.
template <class Take> bool ReadFrame(std::string_view text, ListingContext &ctx, Take &&take) {
    ListingLines lines(text);
    if (lines.AtEnd())
        return ctx.Decline("the file is empty; expected the header \"*TRV\"");
    const std::string_view first = lines.Next();
    ctx.SetLine(lines.LineNumber());
    if (first.substr(0, first.find(',')) != "*TRV")
        return ctx.Decline("expected the header \"*TRV\", found \"" + Printable(first) + "\"");
    lines.Next(); // the line after the header carries nothing we use

    std::vector<std::string_view> fields;
    std::vector<std::string_view> point;
    std::vector<std::string_view> previous;
    TrvSection section;
    while (!lines.AtEnd()) {
        const std::string_view headerText = lines.Next();
        const long headerLine = lines.LineNumber();
        ctx.SetLine(headerLine);
        if (IsBlankText(headerText))
            continue; // a blank line between sections holds nothing
        SplitViews(headerText, ',', fields);
        const std::string_view name = TrimView(fields.front());
        if (name == "FIN")
            break;
        const long long count = SectionCount(fields, ctx);
        if (EndsWith(name, "E")) {
            for (long long k = 0; k < count; ++k)
                SectionLine(lines, ctx, k, count, headerLine);
            continue;
        }
        section.Chainage = RequireNumber(fields.front(), 1, "chainage", ctx);
        section.Points.clear();
        previous.clear();
        for (long long k = 0; k < count; ++k) {
            const std::string_view line = SectionLine(lines, ctx, k, count, headerLine);
            // An empty point line repeats the line before it.
            if (IsBlankText(line))
                point = previous;
            else
                SplitViews(line, ',', point);
            if (point.empty())
                continue; // nothing to repeat right after the header
            if (point.size() < 3)
                ctx.Reject(errSubscript,
                           "expected \"offset,height,code\", found \"" + Printable(line) + "\"");
            TrvPoint p;
            p.Offset = OptionalNumber(point[0], 1, "offset", ctx);
            p.Height = OptionalNumber(point[1], 2, "height", ctx);
            p.Code = FixedPointCode(point[2]);
            section.Points.push_back(std::move(p));
            previous.swap(point);
        }
        take(section);
    }
    return true;
}

// The layers of layer-name-form codes, in the order in which the listing
// first names them; each code's layer is worked out once.
struct LayerNames {
    std::vector<std::string> Names;
    std::unordered_map<std::string, std::size_t> Known; // code -> position in Names

    // The code's layer: its position in Names, where a name not met before
    // is appended.
    std::size_t Of(const std::string &code) {
        const auto known = Known.find(code);
        if (known != Known.end())
            return known->second;
        std::string name = LayerNameOfCode(code);
        const auto found = std::find(Names.begin(), Names.end(), name);
        const std::size_t layer = static_cast<std::size_t>(found - Names.begin());
        if (found == Names.end())
            Names.push_back(std::move(name));
        Known.emplace(code, layer);
        return layer;
    }
};

// A listing that names no layer at all still has one.
void NameLayerless(std::vector<std::string> &names) {
    if (names.empty())
        names.push_back("Layer");
}

} // namespace

std::vector<CrSecLayer> FixedCrLayers() {
    std::vector<CrSecLayer> layers;
    for (std::string_view name : kCrLayerNames)
        layers.push_back(CrSecLayer{std::string(name), {}});
    return layers;
}

bool ReadCrTrv(std::string_view text, CrossSectionSet &out, ListingContext &ctx) {
    out.Layers = FixedCrLayers();
    std::array<CrListPoints, 4> lists;
    return ReadFrame(text, ctx, [&](const TrvSection &section) {
        for (CrListPoints &list : lists)
            list.clear();
        for (const TrvPoint &point : section.Points) {
            std::size_t layer = 0;
            while (layer < lists.size() && !IsCodeOfKind(static_cast<long>(layer), point.Code))
                ++layer;
            if (layer == lists.size())
                continue; // a code of no family belongs to no layer
            std::string code = point.Code;
            // Slope codes are kept under one letter unless they are wall codes.
            if (layer == 0 && code.front() != 'M' && code.front() != 'm')
                code.front() = 'T';
            CrListPoints &list = lists[layer];
            if (!list.empty() && list.back().Code == code && list.back().Offset == point.Offset &&
                list.back().Height == point.Height)
                continue;
            list.push_back(CrListPoint{point.Offset, point.Height, std::move(code)});
        }
        AddStation(out, section.Chainage, lists);
    });
}

bool ReadCrTrv2(std::string_view text, CrossSectionSet &out, ListingContext &ctx) {
    LayerNames layers;
    const std::vector<std::string> &names = layers.Names;
    std::vector<CrListPoints> surfaces;
    out.Layers.clear();
    const bool read = ReadFrame(text, ctx, [&](const TrvSection &section) {
        for (CrListPoints &list : surfaces)
            list.clear();
        for (const TrvPoint &point : section.Points) {
            const std::size_t layer = layers.Of(point.Code);
            while (out.Layers.size() < names.size())
                out.Layers.push_back(CrSecLayer{names[out.Layers.size()], {}});
            if (surfaces.size() < names.size())
                surfaces.resize(names.size());
            surfaces[layer].push_back(CrListPoint{point.Offset, point.Height, {}});
        }
        AddStation(out, section.Chainage, surfaces);
    });
    if (!read)
        return false;
    NameLayerless(layers.Names);
    if (out.Layers.empty())
        out.Layers.push_back(CrSecLayer{names.front(), {}});
    return true;
}

} // namespace vialto
