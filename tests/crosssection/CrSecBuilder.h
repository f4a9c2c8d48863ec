// Hand-made cross-section sets for the tests. Points are written as text,
// blank-separated, each "offset[,height][:code]" with a trailing "*" for a
// copy (IsCopy and IsCopyMark set): "-5:l 0 5,1.5:r 5:q*".
#pragma once

#include "AlignmentStore.h"
#include "Records.h"

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
        const std::string &code = names ? p.Name : p.Code;
        text += (text.empty() ? "" : " ") + (code.empty() ? "-" : code) +
                (p.IsCopy && p.IsCopyMark ? "*" : "");
    }
    return text;
}

// A set of the given layers; stations are added with Station().
class SetBuilder {
  public:
    explicit SetBuilder(std::initializer_list<const char *> layers) {
        for (const char *name : layers)
            set_.Layers.push_back(CrSecLayer{name, {}});
    }
    SetBuilder &Station(double chainage) {
        set_.Stations.push_back(CrossSection{chainage, {}});
        return *this;
    }
    SetBuilder &Surface(std::uint8_t layer, const std::string &points) {
        set_.Stations.back().Surfaces.push_back(CrSecSurface{layer, Points(points), false});
        return *this;
    }
    SetBuilder &LayerCodes(std::uint8_t layer, std::vector<std::string> codes) {
        set_.Layers.at(layer).Codes = std::move(codes);
        return *this;
    }
    CrossSectionSet Build() const { return set_; }

  private:
    CrossSectionSet set_;
};

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
