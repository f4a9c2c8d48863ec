// Hand-made cross-section sets for the tests: stations of named layers with
// points given as offset, height and (optionally) code.
#pragma once

#include "AlignmentStore.h"
#include "Records.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace vialto::test {

struct P {
    double Offset;
    double Height = 0;
    const char *Code = "";
};

inline std::vector<CrSecPoint> MakePoints(std::initializer_list<P> points) {
    std::vector<CrSecPoint> out;
    for (const P &p : points) {
        CrSecPoint point;
        point.Offset = p.Offset;
        point.Height = p.Height;
        point.Code = p.Code;
        out.push_back(point);
    }
    return out;
}

inline std::vector<std::string> Codes(const std::vector<CrSecPoint> &points) {
    std::vector<std::string> codes;
    for (const CrSecPoint &p : points)
        codes.push_back(p.Code);
    return codes;
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
    SetBuilder &Surface(std::uint8_t layer, std::initializer_list<P> points) {
        CrSecSurface surface;
        surface.Layer = layer;
        surface.Points = MakePoints(points);
        set_.Stations.back().Surfaces.push_back(surface);
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
