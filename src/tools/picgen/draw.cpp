#include "draw.h"

#include <QFile>
#include <QImageWriter>
#include <QtMath>

namespace picgen {

QImage whiteCanvas(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

QFont labelFont(double pixelSize)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(qRound(pixelSize));
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

void setupPainter(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(labelFont());
}

// Parallel lines at angleDeg (0 = horizontal, 45 = rising to the right),
// anchored to the image origin so neighbouring areas of one material line up.
static void hatch(QPainter &p, const QPainterPath &path, double angleDeg, double spacing,
                  const QPen &pen)
{
    const QRectF r = path.boundingRect().adjusted(-2, -2, 2, 2);
    const double a = qDegreesToRadians(angleDeg);
    const QPointF d(std::cos(a), -std::sin(a));   // line direction (y down)
    const QPointF n(-d.y(), d.x());               // normal
    const QPointF corners[4] = {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()};
    double lo = 1e9, hi = -1e9, tlo = 1e9, thi = -1e9;
    for (const QPointF &c : corners) {
        const double s = c.x() * n.x() + c.y() * n.y();
        const double t = c.x() * d.x() + c.y() * d.y();
        lo = std::min(lo, s);
        hi = std::max(hi, s);
        tlo = std::min(tlo, t);
        thi = std::max(thi, t);
    }
    p.save();
    p.setClipPath(path, Qt::IntersectClip);
    p.setPen(pen);
    for (double k = std::floor(lo / spacing); k * spacing <= hi; k += 1) {
        const QPointF base = n * (k * spacing);
        p.drawLine(base + d * tlo, base + d * thi);
    }
    p.restore();
}

static void dots(QPainter &p, const QPainterPath &path, double step)
{
    const QRectF r = path.boundingRect();
    p.save();
    p.setClipPath(path, Qt::IntersectClip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    int row = int(std::floor(r.top() / step));
    for (double y = row * step; y <= r.bottom() + step; y += step, ++row) {
        const double shift = (row & 1) ? step / 2 : 0;
        for (double x = std::floor(r.left() / step) * step - shift; x <= r.right() + step; x += step)
            p.drawEllipse(QPointF(x, y), 0.9, 0.9);
    }
    p.restore();
}

void fillMat(QPainter &p, const QPainterPath &path, Mat m)
{
    p.save();
    p.setPen(Qt::NoPen);
    const QPen hatchPen(QColor(0, 0, 0), 0.8);
    switch (m) {
    case Mat::Steel:
        p.fillPath(path, Qt::white);
        hatch(p, path, 45, 4.5, hatchPen);
        break;
    case Mat::FlangeUp:
        p.fillPath(path, Qt::white);
        hatch(p, path, 135, 8, hatchPen);
        break;
    case Mat::FlangeLow:
        p.fillPath(path, Qt::white);
        hatch(p, path, 45, 8, hatchPen);
        break;
    case Mat::Graphite:
        p.fillPath(path, QColor(222, 222, 222));
        hatch(p, path, 45, 6, QPen(QColor(90, 90, 90), 0.6));
        hatch(p, path, 135, 6, QPen(QColor(90, 90, 90), 0.6));
        break;
    case Mat::Filler:
        p.fillPath(path, QColor(200, 200, 200));
        break;
    case Mat::Mica:
        p.fillPath(path, QColor(238, 238, 238));
        hatch(p, path, 0, 3, QPen(QColor(60, 60, 60), 0.7));
        break;
    case Mat::Basalt:
        p.fillPath(path, QColor(235, 235, 235));
        dots(p, path, 4);
        break;
    case Mat::Solid:
        p.fillPath(path, Qt::black);
        break;
    case Mat::Void:
        p.fillPath(path, Qt::white);
        break;
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1.0));
    p.drawPath(path);
    p.restore();
}

void axisLine(QPainter &p, QPointF a, QPointF b)
{
    p.save();
    QPen pen(Qt::black, 0.8);
    pen.setDashPattern({16, 4, 2, 4});
    p.setPen(pen);
    p.drawLine(a, b);
    p.restore();
}

void thinLine(QPainter &p, QPointF a, QPointF b)
{
    p.save();
    p.setPen(QPen(Qt::black, 0.8));
    p.drawLine(a, b);
    p.restore();
}

void arrowHead(QPainter &p, QPointF tip, QPointF dir)
{
    const double len = std::hypot(dir.x(), dir.y());
    if (len <= 0)
        return;
    const QPointF u = dir / len;
    const QPointF n(-u.y(), u.x());
    QPolygonF tri;
    tri << tip << tip - u * 8 + n * 2.6 << tip - u * 8 - n * 2.6;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPolygon(tri);
    p.restore();
}

void text(QPainter &p, const QRectF &box, const QString &s, int align)
{
    p.save();
    p.setPen(Qt::black);
    p.drawText(box, align, s);
    p.restore();
}

void dimH(QPainter &p, double x1, double x2, double y, const QString &name, double slotX)
{
    if (x1 > x2)
        std::swap(x1, x2);
    if (x2 - x1 >= 24) {
        thinLine(p, {x1, y}, {x2, y});
        arrowHead(p, {x1, y}, {-1, 0});
        arrowHead(p, {x2, y}, {1, 0});
    } else {
        thinLine(p, {x1 - 14, y}, {x2 + 14, y});
        arrowHead(p, {x1, y}, {1, 0});
        arrowHead(p, {x2, y}, {-1, 0});
    }
    if (!name.isEmpty())
        text(p, QRectF(slotX - 66, y - 18, 60, 16), name, Qt::AlignRight | Qt::AlignBottom);
}

void dimV(QPainter &p, double x, double y1, double y2, const QString &name, bool nameLeft)
{
    if (y1 > y2)
        std::swap(y1, y2);
    if (y2 - y1 >= 24) {
        thinLine(p, {x, y1}, {x, y2});
        arrowHead(p, {x, y1}, {0, -1});
        arrowHead(p, {x, y2}, {0, 1});
    } else {
        thinLine(p, {x, y1 - 14}, {x, y2 + 14});
        arrowHead(p, {x, y1}, {0, 1});
        arrowHead(p, {x, y2}, {0, -1});
    }
    if (name.isEmpty())
        return;
    const double mid = (y1 + y2) / 2;
    if (nameLeft)
        text(p, QRectF(x - 44, mid - 8, 40, 16), name, Qt::AlignRight | Qt::AlignVCenter);
    else
        text(p, QRectF(x + 4, mid - 8, 40, 16), name, Qt::AlignLeft | Qt::AlignVCenter);
}

bool saveJpeg(const QImage &img, const QString &file)
{
    QImageWriter w(file, "jpeg");
    w.setQuality(90);
    w.setOptimizedWrite(true);
    return w.write(img.convertToFormat(QImage::Format_Grayscale8));
}

bool savePng(const QImage &img, const QString &file)
{
    QImageWriter w(file, "png");
    w.setQuality(0);   // for PNG: smallest file
    return w.write(img);
}

} // namespace picgen
