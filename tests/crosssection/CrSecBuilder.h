// Hand-made cross-section sets for the tests. Points are written as text,
// blank-separated, each "offset[,height][:code]" with a trailing "*" for a
// copy (IsCopy and IsCopyMark set): "-5:l 0 5,1.5:r 5:q*".
#pragma once

#include "model/AlignmentStore.h"
#include "model/Records.h"

#include <sstream>
#include <string>
#include <vector>

namespace vialto::test {

inline std::vector<CrSecPoint> Points(const std::string &text) {
    std::vector<CrSecPoint> points;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        CrSecPoint &p = points.emplace_back();
        p.IsCopy = p.IsCopyMark = word.back() == '*';
        const std::size_t colon = word.find(':');
        if (colon != std::string::npos)
            p.Code = word.substr(colon + 1, word.find('*') - colon - 1);
        std::istringstream numbers(word.substr(0, std::min(colon, word.find('*'))));
        char comma;
        numbers >> p.Offset;
        if (numbers >> comma)
            numbers >> p.Height;
    }
    return points;
}

// The codes (or with `names`, the Name fields) of the points, blank-separated,
// "-" for an empty one, a copy followed by "*".
inline std::string CodesOf(const std::vector<CrSecPoint> &points, bool names = false) {
    std::string text;
    for (const CrSecPoint &p : points) {
        const std::string_view code = names ? std::string_view(p.Name) : std::string_view(p.Code);
        text += (text.empty() ? "" : " ") + std::string(code.empty() ? "-" : code) +
                (p.IsCopy && p.IsCopyMark ? "*" : "");
    }
    return text;
}

// A set of the given layers; each station lists its surfaces in layer order
// as Points() text, "" for none.
inline CrossSectionSet Sections(std::vector<CrSecLayer> layers,
                                std::vector<std::pair<double, std::vector<std::string>>> stations) {
    CrossSectionSet set;
    set.Layers = std::move(layers);
    for (const auto &[chainage, surfaces] : stations) {
        CrossSection &station = set.Stations.emplace_back(CrossSection{chainage, {}});
        for (std::size_t k = 0; k < surfaces.size(); ++k)
            if (!surfaces[k].empty())
                station.Surfaces.push_back(
                    CrSecSurface{static_cast<std::uint8_t>(k), Points(surfaces[k]), false});
    }
    return set;
}

// The rules need the vertical alignment of store slot 1.
inline void StoreWithVerticalAlignment() {
    ResetAlignments();
    AddAlignment();
    VtAlignment vt = MakeOneBased<VtElement>(1);
    vt[1].Number = 1;
    vt[1].Length = 1000;
    SetAligmentVt(1, vt);
}

} // namespace vialto::test
