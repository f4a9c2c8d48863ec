// The records in which one conversion holds its design data: horizontal and
// vertical alignments, station equations, cross sections, stringlines, and the
// alignment slot that gathers everything imported for one alignment.
//
// Units: lengths, chainages, coordinates and heights in the unit of the
// listings; angles in radians; azimuths clockwise from north (+Y); a positive
// radius turns right (clockwise); offsets are positive to the right; grades
// are fractions.
//
// Element arrays are used 1-based: position 0 exists and is never filled,
// elements are 1..n, and an array with no position 1 counts as empty (see
// ElementCount).
#pragma once

#include "model/PointCode.h"

#include <any>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vialto {

// One element of a horizontal alignment; the element starts at (X, Y).
struct HzElement {
    long Number = 0;     // 1-based position in its alignment
    double Chainage = 0; // chainage of the start
    double X = 0;        // easting: grows with sin(azimuth)
    double Y = 0;        // northing: grows with cos(azimuth)
    double Azimuth = 0;  // tangent direction at the start, radians clockwise from +Y
    double Radius =
        0; // 0 line; > 0 turns clockwise; transitions: radius at the curved end or the 0.001 marker
    double Parameter = 0; // 0 line or arc; > 0 clothoid parameter A; < 0 cubic parabola
    double Length = 0;    // element length
    long Kind = 0;    // 0 from the importers; 1 write as line, 2 as arc, 4/5 write Desc verbatim
    std::string Desc; // free text
};
using HzAlignment = std::vector<HzElement>;

// One element of a vertical alignment: where a grade or a vertical curve starts.
struct VtElement {
    long Number = 0;
    double Chainage = 0;
    double Height = 0;
    double Grade = 0;     // grade leaving the point, dh/dL
    double GradeOut = 0;  // circular curve: grade at its end; 0 means the next element's Grade
    double Parameter = 0; // curve parameter Kv; 0 straight; < 0 crest; > 0 sag
    double Length = 0;    // horizontal length to the next element; < 0 marks a circular curve
};
using VtAlignment = std::vector<VtElement>;

struct StationEquation {
    double staAhead = 0;
    double staBack = 0;
    double staInternal = 0;
};
using StationEquations = std::vector<StationEquation>; // 1-based

// A text that nearly every record leaves empty: it costs one pointer until
// it is set (a long road holds hundreds of thousands of section points).
class RareText {
  public:
    RareText() = default;
    RareText(const RareText &other) { *this = other; }
    RareText(RareText &&) noexcept = default;
    RareText &operator=(const RareText &other) {
        if (this != &other)
            *this = std::string_view(other);
        return *this;
    }
    RareText &operator=(RareText &&) noexcept = default;
    ~RareText() = default;
    RareText &operator=(std::string_view text) {
        if (text.empty())
            text_.reset();
        else
            text_ = std::make_unique<std::string>(text);
        return *this;
    }

    bool empty() const { return text_ == nullptr; }
    void clear() { text_.reset(); }
    operator std::string_view() const {
        return text_ ? std::string_view(*text_) : std::string_view();
    }
    friend bool operator==(const RareText &a, const RareText &b) {
        return std::string_view(a) == std::string_view(b);
    }

  private:
    std::unique_ptr<std::string> text_;
};

struct CrSecPoint {
    double Offset = 0; // from the axis, positive to the right
    double Height = 0;
    PointCode Code; // stringline code; "" while it has none
    RareText Name;  // a second code
    bool IsCopy = false;
    bool IsCopyMark = false;
};

struct CrSecSurface {
    std::uint8_t Layer = 0;         // index into the set's Layers
    std::vector<CrSecPoint> Points; // from index 0, across the section
    bool Done = false;              // every point carries a code
};

struct CrossSection {
    double Chainage = 0;
    std::vector<CrSecSurface> Surfaces; // from index 0
};

struct CrSecLayer {
    std::string Name;
    std::vector<std::string> Codes; // codes generated so far in the layer
};

struct CrossSectionSet {
    std::vector<CrossSection> Stations; // from index 0, ascending by chainage
    std::vector<CrSecLayer> Layers;     // from index 0
};

struct TStringLine {
    std::string Name; // compared exactly
    int State = 0;    // offered for export when 0 or -1; "Default Layer" when below 1
    int Unused = 0;
    bool Export = false;
    bool Excluded = false;
    HzAlignment Hz;
    VtAlignment Vt;
};

struct TStringLineLayer {
    std::string Name;
    std::vector<long> Lines; // stringline numbers
};

struct TStringLines {
    int Count = -1;        // index of the last stringline; lines are 0..Count
    std::string Selection; // the export choice
    std::vector<TStringLine> Lines;
    std::vector<TStringLineLayer> Layers;
};

// True when the set has a layer list whose first layer is named; a set
// without layers is offered and written as a flat list of stringlines.
inline bool HasLayers(const TStringLines &set) {
    return !set.Layers.empty() && !set.Layers.front().Name.empty();
}

// Presence flags of an alignment slot.
enum SlotFlag : int {
    flagHz = 1,
    flagVt = 2,
    flagCr = 4,
    flagSup = 8,
    flagTnl = 16,
    flagStrLn = 32,
    flagStaEq = 128,
};

// One imported alignment with everything that belongs to it.
struct AlignmentSlot {
    HzAlignment Hz;
    VtAlignment Vt;
    StationEquations StaEq;
    CrossSectionSet Cr;
    // The cant table and the tunnel profile set are objects of the rail layer
    // above: each is held as that layer's std::shared_ptr, shared, not copied.
    std::any Sup;
    std::any Tnl;
    TStringLines StrLn;
    std::string Name;
    int Flags = 0;
};

// Number of elements of a 1-based array (0 when it has no position 1).
template <class T> long ElementCount(const std::vector<T> &elements) {
    return elements.size() > 1 ? static_cast<long>(elements.size()) - 1 : 0;
}

// Makes a 1-based array of n elements (position 0 present and unused).
template <class T> std::vector<T> MakeOneBased(long n) {
    return std::vector<T>(static_cast<std::size_t>(n < 0 ? 0 : n) + 1);
}

} // namespace vialto
