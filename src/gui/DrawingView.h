// A preview drawing (preview/Drawing.h) painted with QPainter: the same items
// the SVG files show, fitted into the widget by the drawing model's own
// transform, with the title at the top left and the legend at the top right.
#pragma once

#include "preview/Drawing.h"

#include <QWidget>

class QPainter;

namespace vialto {

// Paints the drawing into the rectangle (in the painter's pixels).
void PaintDrawing(QPainter &painter, const Drawing &drawing, const QRectF &area);

class DrawingView : public QWidget {
    Q_OBJECT
  public:
    explicit DrawingView(QWidget *parent = nullptr);
    void SetDrawing(Drawing drawing);
    const Drawing &Shown() const { return drawing_; }
    QSize sizeHint() const override { return {420, 220}; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    Drawing drawing_;
};

} // namespace vialto
