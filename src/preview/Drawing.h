// The drawing model of the preview: a drawing is a list of simple items in
// world coordinates (polylines, ticks, point markers, texts) with their
// colours and sizes, and the extents of what they show. Renderers only map
// world to view with the ViewTransform below and draw each item as it says:
// the SVG files here, a QPainter later. Nothing in it knows a user interface.
//
// Units: world coordinates are those of the document (plan: X easting,
// Y northing; profile: X chainage, Y height; cross section: X offset, Y
// height), all growing right and up. Sizes of lines, ticks, markers and texts
// are in view pixels, whatever the zoom.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vialto {

struct Rgb {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    bool operator==(const Rgb &) const = default;
};

inline constexpr Rgb kFailedColour{208, 0, 0}; // what failed the proof

struct WorldPoint {
    double X = 0;
    double Y = 0;
};

enum class ItemKind : std::uint8_t {
    Polyline, // Points in order
    Tick,     // a short line across Points[0], along the world direction (Dx, Dy), SizePx each side
    Marker,   // a dot of radius SizePx at Points[0]
    Text,     // Text at Points[0], SizePx high, moved by (ShiftXPx, ShiftYPx) in the view
};

enum class TextAnchor : std::uint8_t { Start, Middle, End };

struct DrawItem {
    ItemKind Kind = ItemKind::Polyline;
    std::string Role; // what the item shows ("element", "boundary", "tick", ...)
    std::vector<WorldPoint> Points;
    Rgb Colour;
    double WidthPx = 1; // line width
    bool Dashed = false;
    double SizePx = 0;     // tick half length, marker radius, text height
    double Dx = 0, Dy = 0; // Tick: its direction in the world (a unit vector)
    std::string Text;      // Text
    TextAnchor Anchor = TextAnchor::Start;
    double ShiftXPx = 0; // Text: moved right in the view
    double ShiftYPx = 0; // Text: moved down in the view
    bool Failed = false; // part of what failed the proof (drawn in kFailedColour)
};

struct Drawing {
    std::string Title;
    double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0; // world extents of the items
    // Plans and cross sections keep their proportions; a profile stretches
    // its heights to fill the view.
    bool KeepAspect = true;
    std::vector<DrawItem> Items;
    // What the colours stand for (cross-section layers), for a corner of the view.
    std::vector<std::pair<std::string, Rgb>> Legend;

    // Widens the extents to hold the point (the first point sets them).
    void Include(const WorldPoint &point);
    bool Empty() const { return !hasExtent_; }

  private:
    bool hasExtent_ = false;
};

// World to view: x right, y down, in pixels.
struct ViewTransform {
    double ScaleX = 1;
    double ScaleY = 1;
    double OriginX = 0; // world X shown at view x = MarginPx
    double OriginY = 0; // world Y shown at view y = MarginPx
    double MarginPx = 0;

    WorldPoint ToView(const WorldPoint &world) const {
        return {MarginPx + (world.X - OriginX) * ScaleX, MarginPx + (OriginY - world.Y) * ScaleY};
    }
    WorldPoint ToWorld(const WorldPoint &view) const {
        return {OriginX + (view.X - MarginPx) / ScaleX, OriginY - (view.Y - MarginPx) / ScaleY};
    }
};

// A tick's two ends in the view (pixels); false when its direction has no
// length there.
bool TickInView(const DrawItem &tick, const ViewTransform &view, WorldPoint &from, WorldPoint &to);

// The transform that shows the drawing's extents within a view of the size,
// inside a margin, centred; with KeepAspect both scales are equal.
ViewTransform FitDrawing(const Drawing &drawing, double widthPx, double heightPx, double marginPx);

// "#rrggbb".
std::string HexColour(const Rgb &colour);

} // namespace vialto
