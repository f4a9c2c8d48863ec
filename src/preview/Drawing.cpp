#include "preview/Drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vialto {

void Drawing::Include(const WorldPoint &point) {
    if (!hasExtent_) {
        MinX = MaxX = point.X;
        MinY = MaxY = point.Y;
        hasExtent_ = true;
        return;
    }
    MinX = std::min(MinX, point.X);
    MaxX = std::max(MaxX, point.X);
    MinY = std::min(MinY, point.Y);
    MaxY = std::max(MaxY, point.Y);
}

bool TickInView(const DrawItem &tick, const ViewTransform &view, WorldPoint &from, WorldPoint &to) {
    const WorldPoint p = view.ToView(tick.Points.at(0));
    // The world direction seen in the view (y runs down there).
    double dx = tick.Dx * view.ScaleX, dy = -tick.Dy * view.ScaleY;
    const double length = std::hypot(dx, dy);
    if (length == 0)
        return false;
    dx *= tick.SizePx / length;
    dy *= tick.SizePx / length;
    from = {p.X - dx, p.Y - dy};
    to = {p.X + dx, p.Y + dy};
    return true;
}

ViewTransform FitDrawing(const Drawing &drawing, double widthPx, double heightPx, double marginPx) {
    ViewTransform view;
    view.MarginPx = marginPx;
    const double inner = std::max(1.0, widthPx - 2 * marginPx);
    const double innerHeight = std::max(1.0, heightPx - 2 * marginPx);
    // A drawing of no width or height (one point, a straight profile) is
    // given a unit of room so that it still maps to the view.
    const double spanX = std::max(drawing.MaxX - drawing.MinX, 1e-9);
    const double spanY = std::max(drawing.MaxY - drawing.MinY, 1e-9);
    view.ScaleX = inner / spanX;
    view.ScaleY = innerHeight / spanY;
    if (drawing.KeepAspect)
        view.ScaleX = view.ScaleY = std::min(view.ScaleX, view.ScaleY);
    // Centred: the unused room is shared on both sides.
    view.OriginX = drawing.MinX - (inner / view.ScaleX - spanX) / 2;
    view.OriginY = drawing.MaxY + (innerHeight / view.ScaleY - spanY) / 2;
    return view;
}

std::string HexColour(const Rgb &colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.R, colour.G, colour.B);
    return text;
}

} // namespace vialto
