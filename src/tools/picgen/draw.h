#pragma once
// Drawing primitives shared by all pictures: material fills, dimension lines,
// axis lines. Everything works in device pixels of the target image.
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace picgen {

// One fill style per material, used the same way in every picture.
enum class Mat {
    Steel,      // rings, metal bases: fine 45° hatch
    FlangeUp,   // upper flange: wide 135° hatch
    FlangeLow,  // lower flange: wide 45° hatch
    Graphite,   // expanded graphite: grey with cross hatch
    Filler,     // filler of a spiral winding: plain grey
    Mica,       // mica: thin horizontal layers
    Basalt,     // basalt fibre: staggered dots
    Solid,      // thin metal (tape, obturator, wave sheet): black
    Void        // outline only
};

QImage whiteCanvas(int w, int h);
void setupPainter(QPainter &p);
QFont labelFont(double pixelSize = 13);

void fillMat(QPainter &p, const QPainterPath &path, Mat m);
void axisLine(QPainter &p, QPointF a, QPointF b);
void thinLine(QPainter &p, QPointF a, QPointF b);
void arrowHead(QPainter &p, QPointF tip, QPointF dir);
void text(QPainter &p, const QRectF &box, const QString &s, int align);

// Horizontal dimension from x1 to x2 at y. The name ends just left of slotX,
// where the client puts its value label; when the span is too short the arrows
// sit outside.
void dimH(QPainter &p, double x1, double x2, double y, const QString &name, double slotX);
// Vertical dimension from y1 to y2 at x, name to the right (or left).
void dimV(QPainter &p, double x, double y1, double y2, const QString &name, bool nameLeft = false);

// Grayscale JPEG for drawings, PNG with alpha for window pictures.
bool saveJpeg(const QImage &img, const QString &file);
bool savePng(const QImage &img, const QString &file);

} // namespace picgen
