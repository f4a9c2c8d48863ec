#include "gui/DrawingView.h"

#include "gui/GuiText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace vialto {

namespace {

constexpr double kMargin = 28; // room around a drawing, as in the SVG files

QColor Colour(const Rgb &rgb) { return QColor(rgb.R, rgb.G, rgb.B); }

QPen PenOf(const DrawItem &item) {
    QPen pen(Colour(item.Colour));
    pen.setWidthF(item.WidthPx);
    if (item.Dashed)
        pen.setDashPattern({6 / std::max(item.WidthPx, 0.5), 4 / std::max(item.WidthPx, 0.5)});
    return pen;
}

QPointF At(const ViewTransform &view, const WorldPoint &world) {
    const WorldPoint p = view.ToView(world);
    return {p.X, p.Y};
}

void PaintItem(QPainter &painter, const DrawItem &item, const ViewTransform &view) {
    switch (item.Kind) {
    case ItemKind::Polyline: {
        if (item.Points.size() < 2)
            return;
        QPolygonF line;
        line.reserve(static_cast<qsizetype>(item.Points.size()));
        for (const WorldPoint &p : item.Points)
            line << At(view, p);
        painter.setPen(PenOf(item));
        painter.drawPolyline(line);
        return;
    }
    case ItemKind::Tick: {
        WorldPoint from, to;
        if (!TickInView(item, view, from, to))
            return;
        painter.setPen(PenOf(item));
        painter.drawLine(QPointF(from.X, from.Y), QPointF(to.X, to.Y));
        return;
    }
    case ItemKind::Marker: {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Colour(item.Colour));
        painter.drawEllipse(At(view, item.Points.at(0)), item.SizePx, item.SizePx);
        painter.setBrush(Qt::NoBrush);
        return;
    }
    case ItemKind::Text: {
        QFont font = painter.font();
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(item.SizePx))));
        painter.setFont(font);
        const QString text = Q(item.Text);
        const double width = QFontMetricsF(font).horizontalAdvance(text);
        const QPointF p = At(view, item.Points.at(0));
        const double shift = item.Anchor == TextAnchor::Middle ? width / 2
                             : item.Anchor == TextAnchor::End  ? width
                                                               : 0;
        painter.setPen(Colour(item.Colour));
        // The point is the text's baseline, as in SVG.
        painter.drawText(QPointF(p.x() + item.ShiftXPx - shift, p.y() + item.ShiftYPx), text);
        return;
    }
    }
}

} // namespace

void PaintDrawing(QPainter &painter, const Drawing &drawing, const QRectF &area) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(area.topLeft());
    painter.fillRect(QRectF(0, 0, area.width(), area.height()), Qt::white);
    painter.setPen(QColor(0xcc, 0xcc, 0xcc));
    painter.drawRect(QRectF(0.5, 0.5, area.width() - 1, area.height() - 1));
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(QColor(0x20, 0x20, 0x20));
    painter.drawText(QPointF(8, 18), Q(drawing.Title));
    if (!drawing.Empty()) {
        const ViewTransform view = FitDrawing(drawing, area.width(), area.height(), kMargin);
        painter.setClipRect(QRectF(0, 0, area.width(), area.height()));
        for (const DrawItem &item : drawing.Items)
            PaintItem(painter, item, view);
    }
    font.setPixelSize(10);
    painter.setFont(font);
    double y = 14;
    for (const auto &[name, colour] : drawing.Legend) {
        painter.fillRect(QRectF(area.width() - 130, y - 8, 10, 10), Colour(colour));
        painter.setPen(QColor(0x20, 0x20, 0x20));
        painter.drawText(QPointF(area.width() - 115, y + 1), Q(name));
        y += 14;
    }
    painter.restore();
}

DrawingView::DrawingView(QWidget *parent) : QWidget(parent) {
    setMinimumSize(200, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DrawingView::SetDrawing(Drawing drawing) {
    drawing_ = std::move(drawing);
    setAccessibleDescription(Q(drawing_.Title));
    update();
}

void DrawingView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    PaintDrawing(painter, drawing_, QRectF(rect()));
}

} // namespace vialto
