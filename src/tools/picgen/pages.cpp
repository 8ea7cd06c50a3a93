#include "pages.h"

#include "draw.h"
#include "profiles.h"

#include <QtMath>

namespace picgen {

namespace {

// The client puts its value labels just right of this x on every drawing with
// a diameter stack (the SNP tab moves them to x = 250).
const double kSlotX = 250;

void paintDiameters(QPainter &p, const Profile &pr, double cx, double y0, const double ys[4])
{
    for (int i = 0; i < 4; ++i) {
        if (pr.d[i] < 0)
            continue;
        const double r = pr.d[i];
        const double y = ys[i];
        for (double x : {cx - r, cx + r})
            thinLine(p, {x, y0 + pr.dy[i] + 2}, {x, y + 5});
        dimH(p, cx - r, cx + r, y, QStringLiteral("D%1").arg(i + 1), kSlotX);
    }
}

// Thickness between y1 and y2 (profile coordinates) measured at x; the
// extension lines run from the profile edge at edgeX.
void paintThickness(QPainter &p, double edgeX, double x, double y0, double y1, double y2,
                    const QString &name, bool nameLeft)
{
    const double dir = x > edgeX ? 1 : -1;
    thinLine(p, {edgeX + dir * 2, y0 + y1}, {x + dir * 4, y0 + y1});
    thinLine(p, {edgeX + dir * 2, y0 + y2}, {x + dir * 4, y0 + y2});
    dimV(p, x, y0 + y1, y0 + y2, name, nameLeft);
}

// Small plan view: each section part becomes an annulus of its material.
// Thin sheets (tape, waves, obturators) are left out at this scale.
void paintPlanInset(QPainter &p, const Profile &pr, QPointF c, double radius)
{
    double rMax = 0;
    for (const Shape &s : pr.shapes)
        rMax = std::max(rMax, s.path.boundingRect().right());
    if (rMax <= 0)
        return;
    const double k = radius / rMax;
    for (const Shape &s : pr.shapes) {
        if (s.mat == Mat::Solid)
            continue;
        const QRectF b = s.path.boundingRect();
        QPainterPath ring;
        ring.addEllipse(c, b.right() * k, b.right() * k);
        QPainterPath hole;
        hole.addEllipse(c, b.left() * k, b.left() * k);
        fillMat(p, ring.subtracted(hole), s.mat);
    }
    axisLine(p, c - QPointF(radius + 5, 0), c + QPointF(radius + 5, 0));
    axisLine(p, c - QPointF(0, radius + 5), c + QPointF(0, radius + 5));
}

// Stacks the present diameters one below the other, smallest first.
void stackYs(const Profile &pr, double first, double step, double ys[4])
{
    double y = first;
    for (int i = 0; i < 4; ++i) {
        ys[i] = y;
        if (pr.d[i] >= 0)
            y += step;
    }
}

// The PUTGm tab places its values for this wider layout (580 x 250, value
// labels right of x = 250 on each line).
QImage roundPageWide(const Profile &pr, double tThick)
{
    const int w = 580, h = 250;
    const double cx = 280, y0 = 40;
    QImage img = whiteCanvas(w, h);
    QPainter p(&img);
    setupPainter(p);
    double maxR = 0;
    for (double r : pr.d)
        maxR = std::max(maxR, r);
    axisLine(p, {cx, y0 - 28}, {cx, y0 + pr.bottom + 16});
    paintProfile(p, pr, cx, y0, true);
    double ys[4];
    stackYs(pr, y0 + pr.bottom + 36, 32, ys);
    paintDiameters(p, pr, cx, y0, ys);
    paintThickness(p, cx + pr.bodyOuter, cx + maxR + 16, y0, 0, tThick, QStringLiteral("H"), false);
    paintPlanInset(p, pr, {w - 34.0, h - 36.0}, 26);
    return img;
}

// Round PUTG drawings are laid out in the pixels of a 250 px wide
// picture label (kRound*) and rendered kRoundScale times as large; the tabs
// scale them to their label's width. The diameters present are stacked
// smallest first from kRoundRow0 in steps of kRoundRowStep, each leading to
// the value column at kRoundSlotX where the tab puts its value label
// (kPutgRoundLines in putgwidgets.h holds the same numbers).
const double kRoundScale = 3;
const double kRoundW = 250, kRoundH = 160;
const double kRoundCx = 92, kRoundY0 = 24;
const double kRoundSlotX = 190, kRoundRow0 = 72, kRoundRowStep = 24;

QImage roundPage(const Profile &pr, double tThick)
{
    const double k = kRoundScale, cx = kRoundCx, y0 = kRoundY0;
    QImage img = whiteCanvas(int(kRoundW * k), int(kRoundH * k));
    QPainter p(&img);
    setupPainter(p);
    paintProfile(p, pr, cx * k, y0 * k, true);

    p.scale(k, k);
    double maxR = 0;
    for (double r : pr.d)
        maxR = std::max(maxR, r / k);
    axisLine(p, {cx, y0 - 14}, {cx, y0 + pr.bottom / k + 10});
    double row = kRoundRow0;
    for (int i = 0; i < 4; ++i) {
        if (pr.d[i] < 0)
            continue;
        const double r = pr.d[i] / k, y = row;
        row += kRoundRowStep;
        for (double x : {cx - r, cx + r})
            thinLine(p, {x, y0 + pr.dy[i] / k + 1}, {x, y + 4});
        dimH(p, cx - r, cx + r, y, QString(), 0);
        const double shelf = cx + r + (2 * r < 24 ? 14 : 0);
        if (shelf < kRoundSlotX - 31)
            thinLine(p, {shelf, y}, {kRoundSlotX - 31, y});
        text(p, QRectF(kRoundSlotX - 29, y - 8, 23, 16), QStringLiteral("D%1").arg(i + 1),
             Qt::AlignRight | Qt::AlignVCenter);
    }
    const double xH = cx + maxR + 8, edge = cx + pr.bodyOuter / k;
    thinLine(p, {edge + 1, y0}, {xH + 3, y0});
    thinLine(p, {edge + 1, y0 + tThick / k}, {xH + 3, y0 + tThick / k});
    dimV(p, xH, y0, y0 + tThick / k, QStringLiteral("H"), false);

    paintPlanInset(p, pr, {kRoundW - 18, 20}, 16);
    return img;
}

QImage halfPage(const Profile &pr)
{
    const int w = 480, h = 180;
    const double y0 = std::round((h - pr.t) / 2);
    QImage img = whiteCanvas(w, h);
    QPainter p(&img);
    setupPainter(p);
    paintProfile(p, pr, 0, y0, false);
    double maxR = 0;
    for (double r : pr.d)
        maxR = std::max(maxR, r);
    paintThickness(p, pr.bodyOuter, maxR + 18, y0, 0, pr.t, QStringLiteral("H"), false);
    return img;
}

} // namespace

// ---------------------------------------------------------------- window

static void paintEmblem(QPainter &p, QPointF c, double r)
{
    p.save();
    p.setPen(Qt::NoPen);
    QPainterPath outer;
    outer.addEllipse(c, r, r);
    QPainterPath cut;
    cut.addEllipse(c, r * 0.74, r * 0.74);
    p.fillPath(outer.subtracted(cut), QColor(0x1f, 0x3b, 0x57));
    QPainterPath seal;
    seal.addEllipse(c, r * 0.66, r * 0.66);
    QPainterPath hole;
    hole.addEllipse(c, r * 0.38, r * 0.38);
    p.fillPath(seal.subtracted(hole), QColor(0xe5, 0x8a, 0x2b));
    // Bolt holes in the outer ring, visible from about 32 px up.
    if (r > 20) {
        for (int i = 0; i < 8; ++i) {
            const double a = M_PI / 8 + i * M_PI / 4;
            const QPointF bc = c + QPointF(std::cos(a), std::sin(a)) * r * 0.87;
            QPainterPath b;
            b.addEllipse(bc, r * 0.055, r * 0.055);
            p.fillPath(b, Qt::white);
        }
    }
    p.restore();
}

QImage iconPicture()
{
    QImage img(71, 71, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    setupPainter(p);
    paintEmblem(p, {35.5, 35.5}, 34);
    return img;
}

QImage appIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    setupPainter(p);
    paintEmblem(p, {size / 2.0, size / 2.0}, size / 2.0 - size / 71.0);
    return img;
}

QImage gearPicture()
{
    const int s = 48;
    QImage img(s, s, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    setupPainter(p);
    const QPointF c(s / 2.0, s / 2.0);
    const int teeth = 8;
    QPolygonF poly;
    for (int i = 0; i < teeth * 4; ++i) {
        const double a = 2 * M_PI * i / (teeth * 4) - M_PI / 2;
        const double r = (i % 4 == 1 || i % 4 == 2) ? 22.5 : 17.0;
        poly << c + QPointF(std::cos(a), std::sin(a)) * r;
    }
    QPainterPath gear;
    gear.addPolygon(poly);
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 7, 7);
    p.fillPath(gear.subtracted(hole), QColor(0x45, 0x5a, 0x64));
    return img;
}

QImage logoPicture()
{
    QImage img(260, 72, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    setupPainter(p);
    paintEmblem(p, {36, 36}, 32);
    QFont f = labelFont(38);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x1f, 0x3b, 0x57));
    p.drawText(QRectF(78, 4, 182, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vintaro"));
    p.fillRect(QRectF(80, 56, 160, 4), QColor(0xe5, 0x8a, 0x2b));
    return img;
}

// ---------------------------------------------------------------- SNP

// The SNP drawing is laid out in the pixels of the tab's picture label
// (263 x 224, the narrow layout) and rendered at twice that size. The tab keeps
// it flush with the label's right edge, so the value column x = 213..263 here
// is x = 213 (narrow) or 250 (wide) in the tab; each dimension line runs at the
// vertical centre of the value label the tab places for it.
namespace {
constexpr double kSnpScale = 2;
constexpr double kSnpSlotX = 213;
constexpr double kSnpTop = 36, kSnpT = 22, kSnpCx = 117;

// Leader from the end of a diameter to the value column, name just before it.
void snpDiameter(QPainter &p, double r, double fromY, double y, const QString &name)
{
    for (double x : {kSnpCx - r, kSnpCx + r})
        thinLine(p, {x, fromY + 1}, {x, y + 4});
    dimH(p, kSnpCx - r, kSnpCx + r, y, QString(), 0);
    const double shelf = kSnpCx + r + (2 * r < 24 ? 14 : 0);
    if (shelf < kSnpSlotX - 31)
        thinLine(p, {shelf, y}, {kSnpSlotX - 31, y});
    text(p, QRectF(kSnpSlotX - 29, y - 8, 23, 16), name, Qt::AlignRight | Qt::AlignVCenter);
}

// Vertical thickness mark at x between y1 and y2, extension lines from edgeX.
void snpThickness(QPainter &p, double edgeX, double x, double y1, double y2)
{
    const double dir = x > edgeX ? 1 : -1;
    thinLine(p, {edgeX + dir * 1, y1}, {x + dir * 3, y1});
    thinLine(p, {edgeX + dir * 1, y2}, {x + dir * 3, y2});
    dimV(p, x, y1, y2, QString());
}
} // namespace

QImage snpPicture(const QString &types)
{
    const QChar type = types.at(0) == 'B' ? QChar('A') : types.at(0);
    const double k = kSnpScale;
    const bool ab = types == "AB";
    const double rMax = ab ? 58 : 65, rMin = 22, t = kSnpT, y0 = kSnpTop, cx = kSnpCx;
    QImage img = whiteCanvas(int(263 * k), int(224 * k));
    QPainter p(&img);
    setupPainter(p);

    // The section in image pixels, so that the winding keeps its fine pitch.
    const Profile big = snpProfile(type, rMin * k, rMax * k, t * k);
    paintProfile(p, big, cx * k, y0 * k, true);

    p.scale(k, k);
    axisLine(p, {cx, y0 - 14}, {cx, y0 + t + 10});
    double d[4], dy[4];
    for (int i = 0; i < 4; ++i) {
        d[i] = big.d[i] / k;
        dy[i] = big.dy[i] / k;
    }

    // Centres of the value labels the tab puts at x = 213 / 250 (+8 of their y).
    double ys[4] = {0, 0, 0, 0};
    if (ab) {
        ys[1] = 175;
        ys[2] = 212;
    } else if (type == 'C') {
        ys[0] = 138;
        ys[1] = 173;
        ys[2] = 213;
    } else {
        ys[0] = 118;
        ys[1] = 148;
        ys[2] = 178;
        ys[3] = 208;
    }
    for (int i = 0; i < 4; ++i) {
        if (d[i] > 0 && ys[i] > 0)
            snpDiameter(p, d[i], y0 + dy[i], ys[i], QStringLiteral("D%1").arg(i + 1));
    }

    // Thickness marks; their values are the tab's H labels (snptab.cpp keeps
    // the same positions): H left of its mark, H1/H2 right of theirs.
    const double body = big.bodyOuter / k;
    const double e = snpMetalInset(t), e2 = snpEdgeInset(t);
    const double xH = cx - rMax - 8;
    snpThickness(p, cx - body, xH, y0 + e, y0 + t - e);
    text(p, QRectF(xH - 43, y0 - 18, 40, 16), QStringLiteral("H"), Qt::AlignRight | Qt::AlignVCenter);
    if (ab) {
        snpThickness(p, cx + body, cx + rMax + 10, y0, y0 + t);
        snpThickness(p, cx + body - 2, cx + rMax + 18, y0 + e2, y0 + t - e2);
        text(p, QRectF(196, y0 - 18, 18, 16), QStringLiteral("H1"), Qt::AlignLeft | Qt::AlignVCenter);
        text(p, QRectF(196, y0 + t + 2, 18, 16), QStringLiteral("H2"), Qt::AlignLeft | Qt::AlignVCenter);
    } else {
        snpThickness(p, cx + body, cx + rMax + 10, y0, y0 + t);
        text(p, QRectF(196, y0 + t / 2 - 8, 18, 16), QStringLiteral("H1"), Qt::AlignLeft | Qt::AlignVCenter);
    }

    // Small plan view in the free lower left corner.
    const Profile small = snpProfile(type, rMin, rMax, t);
    paintPlanInset(p, small, {22, 196}, 17);
    return img;
}

// ---------------------------------------------------------------- flanges

namespace {

struct Joint {
    QPainterPath upper, lower;   // half sections, x = radius
    double gTop = 0, gBottom = 0;
    double gIn = 0, gOut = 0;    // radial room for the gasket
    double boltR = 0, hole = 0;
    double top = 0, bottom = 0;
    double r0 = 0;
};

QPainterPath polygonPath(const QPolygonF &poly)
{
    QPainterPath p;
    p.addPolygon(poly);
    p.closeSubpath();
    return p;
}

// Facing 'A' raised face, 'B' male-female, 'C' tongue-groove. Heights are
// given top-down: upper face f1, its step f1 + step, lower face f2, its
// recess f2 + depth (for 'A' the lower raised face rises to f2 - step).
struct JointDims {
    double r0, rf, rb, hole;
    double top, f1, step, f2, depth, bottom;
    double rFace, rRecess;       // A: raised face; B: projection / recess
    double rt0, rt1, rg0, rg1;   // C: tongue and groove
};

Joint makeJoint(QChar facing, const JointDims &d)
{
    Joint j;
    QPolygonF up, low;
    if (facing == 'A') {
        up << QPointF(d.r0, d.top) << QPointF(d.rf, d.top) << QPointF(d.rf, d.f1)
           << QPointF(d.rFace, d.f1) << QPointF(d.rFace, d.f1 + d.step) << QPointF(d.r0, d.f1 + d.step);
        low << QPointF(d.r0, d.f2 - d.step) << QPointF(d.rFace, d.f2 - d.step) << QPointF(d.rFace, d.f2)
            << QPointF(d.rf, d.f2) << QPointF(d.rf, d.bottom) << QPointF(d.r0, d.bottom);
        j.gTop = d.f1 + d.step;
        j.gBottom = d.f2 - d.step;
        j.gIn = d.r0;
        j.gOut = d.rFace;
    } else if (facing == 'B') {
        up << QPointF(d.r0, d.top) << QPointF(d.rf, d.top) << QPointF(d.rf, d.f1)
           << QPointF(d.rFace, d.f1) << QPointF(d.rFace, d.f1 + d.step) << QPointF(d.r0, d.f1 + d.step);
        low << QPointF(d.r0, d.f2 + d.depth) << QPointF(d.rRecess, d.f2 + d.depth)
            << QPointF(d.rRecess, d.f2) << QPointF(d.rf, d.f2) << QPointF(d.rf, d.bottom)
            << QPointF(d.r0, d.bottom);
        j.gTop = d.f1 + d.step;
        j.gBottom = d.f2 + d.depth;
        j.gIn = d.r0;
        j.gOut = d.rFace;
    } else {
        up << QPointF(d.r0, d.top) << QPointF(d.rf, d.top) << QPointF(d.rf, d.f1)
           << QPointF(d.rt1, d.f1) << QPointF(d.rt1, d.f1 + d.step) << QPointF(d.rt0, d.f1 + d.step)
           << QPointF(d.rt0, d.f1) << QPointF(d.r0, d.f1);
        low << QPointF(d.r0, d.f2) << QPointF(d.rg0, d.f2) << QPointF(d.rg0, d.f2 + d.depth)
            << QPointF(d.rg1, d.f2 + d.depth) << QPointF(d.rg1, d.f2) << QPointF(d.rf, d.f2)
            << QPointF(d.rf, d.bottom) << QPointF(d.r0, d.bottom);
        j.gTop = d.f1 + d.step;
        j.gBottom = d.f2 + d.depth;
        j.gIn = d.rt0;
        j.gOut = d.rt1;
    }
    QPainterPath holeRect;
    holeRect.addRect(QRectF(QPointF(d.rb - d.hole, d.top - 1), QPointF(d.rb + d.hole, d.bottom + 1)));
    j.upper = polygonPath(up).subtracted(holeRect);
    j.lower = polygonPath(low).subtracted(holeRect);
    j.boltR = d.rb;
    j.hole = d.hole;
    j.top = d.top;
    j.bottom = d.bottom;
    j.r0 = d.r0;
    return j;
}

void paintJoint(QPainter &p, const Joint &j, double cx, bool mirrored)
{
    for (int side = 0; side < (mirrored ? 2 : 1); ++side) {
        const QTransform tr(side == 0 ? 1 : -1, 0, 0, 1, cx, 0);
        fillMat(p, tr.map(j.upper), Mat::FlangeUp);
        fillMat(p, tr.map(j.lower), Mat::FlangeLow);
        const double s = side == 0 ? 1 : -1;
        axisLine(p, {cx + s * j.boltR, j.top - 10}, {cx + s * j.boltR, j.bottom + 8});
    }
    axisLine(p, {cx, j.top - 12}, {cx, j.bottom + 10});
}

} // namespace

QImage facingPicture(QChar facing, const QString &family)
{
    const int w = 360, h = 240;
    const double cx = 20;
    JointDims d{};
    d.r0 = 26;
    d.rf = 332;
    d.rb = 294;
    d.hole = 11;
    d.top = 20;
    d.bottom = 220;
    d.f1 = 96;
    if (facing == 'A') {
        d.step = 10;
        d.f2 = 138;
        d.rFace = 200;
    } else {
        d.step = 12;
        d.f2 = 102;
        d.depth = 28;
        d.rFace = 190;
        d.rRecess = 196;
        d.rt0 = 130;
        d.rt1 = 190;
        d.rg0 = 126;
        d.rg1 = 194;
    }
    const Joint j = makeJoint(facing, d);
    QImage img = whiteCanvas(w, h);
    QPainter p(&img);
    setupPainter(p);
    paintJoint(p, j, cx, false);

    const double t = j.gBottom - j.gTop;
    Profile pr;
    if (family == "SNP") {
        if (facing == 'A')   // with both rings, the outer one centring on the bolts
            pr = snpProfile('E', d.r0 + 8, d.rb - d.hole - 6, t, 34, d.rb - d.hole - 6 - (d.rFace - 4));
        else if (facing == 'B')
            pr = snpProfile('C', d.r0 + 8, j.gOut - 1, t, 34);
        else
            pr = snpProfile('A', j.gIn + 1, j.gOut - 1, t);
    } else if (family == "PUTG") {
        pr = putgProfile("212", "01", (facing == 'C' ? j.gIn : d.r0 + 8) + 1, j.gOut - 2, t);
    } else {
        pr = putgmProfile("09", "01", "1", (facing == 'C' ? j.gIn : d.r0 + 8) + 1, j.gOut - 2, t);
    }
    paintProfile(p, pr, cx, j.gTop, false);
    return img;
}

// ---------------------------------------------------------------- PUTG, PUTGm

QImage putgRound(const QString &reinf, const QString &constr)
{
    return roundPage(putgProfile(reinf, constr, 28 * kRoundScale, 68 * kRoundScale, 42), 42);
}

QImage putgHalf(const QString &reinf, const QString &constr)
{
    return halfPage(putgProfile(reinf, constr, 30, 400, 70));
}

static double putgmThickness(const QString &base, double scale)
{
    return (base.endsWith('x') ? 52 : 42) * scale;
}

QImage putgmRound(const QString &base, const QString &constr, const QString &element)
{
    const double t = putgmThickness(base, 1);
    return roundPageWide(putgmProfile(base, constr, element, 95, 230, t), t);
}

QImage putgmHalf(const QString &base, const QString &constr, const QString &element)
{
    return halfPage(putgmProfile(base, constr, element, 30, 400, putgmThickness(base, 1.6)));
}

QImage outlineSketch(bool oval)
{
    const int w = 360, h = 260;
    QImage img = whiteCanvas(w, h);
    QPainter p(&img);
    setupPainter(p);
    const QRectF outer(60, 50, 240, 160), inner(94, 84, 172, 92);
    QPainterPath o, i;
    if (oval) {
        o.addRoundedRect(outer, outer.height() / 2, outer.height() / 2);
        i.addRoundedRect(inner, inner.height() / 2, inner.height() / 2);
    } else {
        o.addRoundedRect(outer, 14, 14);
        i.addRoundedRect(inner, 6, 6);
    }
    fillMat(p, o.subtracted(i), Mat::Graphite);
    axisLine(p, {outer.center().x(), outer.top() - 12}, {outer.center().x(), outer.bottom() + 12});
    axisLine(p, {outer.left() - 12, outer.center().y()}, {outer.right() + 12, outer.center().y()});

    // A1 over the top, A2 inside the opening, B1 at the left, B2 inside,
    // C across the band at the right.
    // Extension lines start at the extreme points of the outline.
    const double sideY = oval ? outer.center().y() - 4 : outer.top() + 10;
    const double topX = oval ? outer.left() + outer.height() / 2 + 4 : outer.left() + 10;
    for (double x : {outer.left(), outer.right()})
        thinLine(p, {x, sideY}, {x, 22});
    dimH(p, outer.left(), outer.right(), 27, QStringLiteral("A1"), 180);
    dimH(p, inner.left(), inner.right(), inner.top() + 22, QStringLiteral("A2"), 180);
    for (double y : {outer.top(), outer.bottom()})
        thinLine(p, {topX, y}, {26, y});
    dimV(p, 32, outer.top(), outer.bottom(), QStringLiteral("B1"), true);
    dimV(p, inner.right() - (oval ? 44 : 30), inner.top(), inner.bottom(), QStringLiteral("B2"), true);
    if (oval) {
        // Across the straight part of the band.
        dimV(p, outer.center().x() + 24, outer.top(), inner.top(), QStringLiteral("C"), false);
    } else {
        const double cy = outer.center().y() + 20;
        dimH(p, inner.right(), outer.right(), cy, QString(), 0);
        text(p, QRectF(outer.right() + 8, cy - 18, 30, 16), QStringLiteral("C"), Qt::AlignLeft | Qt::AlignBottom);
    }
    return img;
}

// ---------------------------------------------------------------- questionnaire

namespace {

// The flanges are drawn apart from the gasket so the facing steps can be
// dimensioned. Spigot and tongue are drawn a little narrower than recess and
// groove, so that a line from one is not taken for the other.
JointDims questionnaireDims(int kind)
{
    JointDims d{};
    d.r0 = 46;
    d.rf = 176;
    d.rb = 146;
    d.hole = 10;
    d.top = 86;
    d.f1 = 124;
    d.step = 12;
    d.f2 = 168;
    d.depth = 12;
    d.bottom = 214;
    d.rFace = 94;
    d.rRecess = 102;
    d.rt0 = 66;
    d.rt1 = 94;
    d.rg0 = 60;
    d.rg1 = 100;
    if (kind == 0) {
        d.step = 8;
        d.f2 = 180;
        d.rFace = 100;
    }
    return d;
}

QChar facingOf(int kind)
{
    return kind == 0 ? 'A' : kind == 1 ? 'B' : 'C';
}

const double kJointCx = 186;

} // namespace

JointSheet jointSheet(const JointScheme &scheme)
{
    const int kind = scheme.kind;
    const JointDims d = questionnaireDims(kind);
    const Joint j = makeJoint(facingOf(kind), d);
    JointSheet sheet;
    sheet.upper = j.upper;
    sheet.lower = j.lower;
    sheet.cx = kJointCx;
    const double cx = kJointCx;
    auto diameter = [&](const QString &name, double r, double y, double fromY) {
        sheet.dims.push_back({name, cx - r, cx + r, y, cx - 4, fromY});
    };

    // Above: bolt circle, bolt hole, bore (the tongue-groove tables give no bore).
    diameter(QStringLiteral("D2"), d.rb, 22, -1);
    sheet.dims.push_back({QStringLiteral("d"), cx + d.rb - d.hole, cx + d.rb + d.hole, 48,
                          cx + d.rb - d.hole - 14, d.top - 2});
    if (kind != 2)
        diameter(QStringLiteral("D"), d.r0, 72, d.top - 2);

    // Below: the facing diameters, the outer one further out. Lines from the
    // upper flange's spigot or tongue pass the gasket and the recess or groove.
    const double upFace = d.f1 + d.step, lowFace = d.f2 + d.depth;
    if (kind == 0) {
        diameter(QStringLiteral("D1"), d.rFace, 258, d.f2 - d.step);
    } else if (kind == 1) {
        diameter(QStringLiteral("D1"), scheme.femaleSide ? d.rRecess : d.rFace, 258,
                 scheme.femaleSide ? lowFace : upFace);
    } else {
        const double from = scheme.femaleSide ? lowFace : upFace;
        const QString outer = scheme.d1Inner ? QStringLiteral("D") : QStringLiteral("D1");
        const QString inner = scheme.d1Inner ? QStringLiteral("D1") : QStringLiteral("D");
        diameter(outer, scheme.femaleSide ? d.rg1 : d.rt1, 258, from);
        diameter(inner, scheme.femaleSide ? d.rg0 : d.rt0, 232, from);
    }
    return sheet;
}

QImage jointPicture(const JointScheme &scheme)
{
    const int w = 372, h = 291;
    const int kind = scheme.kind;
    const JointDims d = questionnaireDims(kind);
    const JointSheet sheet = jointSheet(scheme);
    const double cx = sheet.cx;
    QImage img = whiteCanvas(w, h);
    QPainter p(&img);
    setupPainter(p);
    paintJoint(p, makeJoint(facingOf(kind), d), cx, true);

    // The gasket floats midway between the flanges, clear of the lines that
    // come down from the spigot or tongue.
    const double gTop = d.f1 + d.step + 10;
    const double gIn = kind == 2 ? d.rt0 + 3 : d.r0 + 6;
    const double gOut = kind == 0 ? d.rFace - 2 : (kind == 1 ? d.rFace - 3 : d.rt1 - 3);
    for (double s : {1.0, -1.0}) {
        QPainterPath g;
        g.addRect(QRectF(QPointF(cx + s * gIn, gTop), QPointF(cx + s * gOut, gTop + 10)));
        fillMat(p, g, Mat::Graphite);
    }

    for (const JointDimension &dim : sheet.dims) {
        if (dim.fromY >= 0) {
            const bool down = dim.y > dim.fromY;
            for (double x : {dim.x1, dim.x2})
                thinLine(p, {x, dim.fromY + (down ? 2 : 0)}, {x, dim.y + (down ? 5 : -5)});
        }
        dimH(p, dim.x1, dim.x2, dim.y, dim.name, dim.slotX);
    }

    // Heights of the facing steps: the upper flange at the left, the lower at
    // the right, named as the form's fields "h1" and "h2" whose values they show.
    const double upEdge = kind == 2 ? d.rt1 : d.rFace;
    paintThickness(p, cx - upEdge, cx - upEdge - 16, 0, d.f1, d.f1 + d.step, QStringLiteral("h1"), true);
    if (kind != 0) {
        // Inside the recess or groove, where there is no metal.
        const double lowEdge = kind == 1 ? d.rRecess : d.rg1;
        paintThickness(p, cx + lowEdge, cx + lowEdge - (kind == 1 ? 14 : 8), 0, d.f2, d.f2 + d.depth,
                       QStringLiteral("h2"), true);
    }
    return img;
}

} // namespace picgen
