#include "profiles.h"

#include <QtMath>
#include <QTransform>

namespace picgen {

namespace {

const double kWrap = 2.6;   // obturator sheet thickness

QPainterPath rect(double x0, double y0, double x1, double y1)
{
    QPainterPath p;
    p.addRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)));
    return p;
}

// C-shaped steel sheet around the inner (inner = true) or outer edge of a body
// spanning [0, t] in height; overlap is how far it covers the faces.
QPainterPath obturator(double edge, double t, double overlap, bool inner)
{
    const double s = inner ? 1 : -1;
    QPolygonF poly;
    poly << QPointF(edge + s * overlap, -kWrap) << QPointF(edge - s * kWrap, -kWrap)
         << QPointF(edge - s * kWrap, t + kWrap) << QPointF(edge + s * overlap, t + kWrap)
         << QPointF(edge + s * overlap, t) << QPointF(edge, t) << QPointF(edge, 0)
         << QPointF(edge + s * overlap, 0);
    QPainterPath p;
    p.addPolygon(poly);
    p.closeSubpath();
    return p;
}

// A sheet of given thickness following y = f(x) between x0 and x1.
template <typename F>
QPainterPath sheet(double x0, double x1, double thick, F f)
{
    QPolygonF up, down;
    const int n = std::max(2, int((x1 - x0) / 1.5));
    for (int i = 0; i <= n; ++i) {
        const double x = x0 + (x1 - x0) * i / n;
        up << QPointF(x, f(x) - thick / 2);
        down.prepend(QPointF(x, f(x) + thick / 2));
    }
    QPainterPath p;
    p.addPolygon(up + down);
    p.closeSubpath();
    return p;
}

QPen tapePen(bool perforated)
{
    QPen pen(Qt::black, 2.2, Qt::SolidLine, Qt::FlatCap);
    if (perforated)
        pen.setDashPattern({3.2, 1.6});
    return pen;
}

void addTape(Profile &pr, double x0, double x1, double y, bool perforated)
{
    QPainterPath line;
    line.moveTo(x0 + 1.5, y);
    line.lineTo(x1 - 1.5, y);
    pr.strokes.push_back({line, tapePen(perforated)});
}

} // namespace

double snpMetalInset(double t) { return t * 0.07; }
double snpEdgeInset(double t) { return t * 0.18; }

Profile snpProfile(QChar type, double rMin, double rMax, double t,
                   double innerRingW, double outerRingW)
{
    Profile pr;
    pr.t = t;
    pr.top = 0;
    pr.bottom = t;
    const bool innerRing = type == 'C' || type == 'E';
    const bool outerRing = type == 'D' || type == 'E';
    const double ringW = (rMax - rMin) * 0.2;
    const double b0 = innerRing ? rMin + (innerRingW > 0 ? innerRingW : ringW) : rMin;
    const double b1 = outerRing ? rMax - (outerRingW > 0 ? outerRingW : ringW) : rMax;
    const double ringTop = t * 0.19, ringBottom = t * 0.81;
    if (innerRing)
        pr.shapes.push_back({rect(rMin, ringTop, b0 - 1, ringBottom), Mat::Steel});
    if (outerRing)
        pr.shapes.push_back({rect(b1 + 1, ringTop, rMax, ringBottom), Mat::Steel});

    // Winding: a metal strip seen as chevrons, filler between the turns; the
    // first and last turns carry no filler and are thinner.
    const double pitch = 4.6;
    const int turns = int((b1 - b0 - 4) / pitch);
    const double start = b0 + (b1 - b0 - turns * pitch) / 2;
    const int edgeTurns = 3;
    const double f0 = start + edgeTurns * pitch - pitch / 2;
    const double f1 = start + (turns - edgeTurns) * pitch + pitch / 2;
    pr.shapes.push_back({rect(f0, 0, f1, t), Mat::Filler});
    const double e = snpMetalInset(t), e2 = snpEdgeInset(t);
    QPainterPath strip;
    for (int i = 0; i <= turns; ++i) {
        const double x = start + i * pitch;
        const bool edge = i < edgeTurns || i > turns - edgeTurns;
        const double inset = edge ? e2 : e;
        strip.moveTo(x - 1.4, inset);
        strip.lineTo(x + 1.6, t / 2);
        strip.lineTo(x - 1.4, t - inset);
    }
    pr.strokes.push_back({strip, QPen(Qt::black, 1.1)});
    pr.d[0] = innerRing ? rMin : -1;
    pr.d[1] = b0;
    pr.d[2] = b1;
    pr.d[3] = outerRing ? rMax : -1;
    pr.dy[0] = pr.dy[3] = ringBottom;
    pr.dy[1] = pr.dy[2] = t;
    pr.bodyOuter = b1;
    return pr;
}

Profile putgProfile(const QString &reinf, const QString &constr, double rMin, double rMax, double t)
{
    Profile pr;
    pr.t = t;
    const QStringList innerObtC = {"02", "04", "042", "044"};
    const QStringList outerObtC = {"03", "04", "043", "044"};
    const QStringList innerRingC = {"042", "044", "012", "014"};
    const QStringList outerRingC = {"043", "044", "013", "014"};
    const bool innerObt = innerObtC.contains(constr), outerObt = outerObtC.contains(constr);
    const bool innerRing = innerRingC.contains(constr), outerRing = outerRingC.contains(constr);

    const double ringW = (rMax - rMin) * 0.2;
    const double b0 = innerRing ? rMin + ringW : rMin + (innerObt ? kWrap : 0);
    const double b1 = outerRing ? rMax - ringW : rMax - (outerObt ? kWrap : 0);
    pr.shapes.push_back({rect(b0, 0, b1, t), Mat::Graphite});

    const double ringTop = t * 0.22, ringBottom = t * 0.78;
    if (innerRing)
        pr.shapes.push_back({rect(rMin, ringTop, b0 - (innerObt ? kWrap : 0) - 1.5, ringBottom), Mat::Steel});
    if (outerRing)
        pr.shapes.push_back({rect(b1 + (outerObt ? kWrap : 0) + 1.5, ringTop, rMax, ringBottom), Mat::Steel});

    const bool perforated = reinf.endsWith('2');
    QVector<double> tapes;
    if (reinf == "211" || reinf == "212")
        tapes = {t / 2};
    else if (reinf == "311" || reinf == "312")
        tapes = {t * 0.27, t / 2, t * 0.73};
    for (double y : tapes)
        addTape(pr, b0, b1, y, perforated);

    const double overlap = std::min(t * 0.45, (b1 - b0) * 0.22);
    if (innerObt)
        pr.shapes.push_back({obturator(b0, t, overlap, true), Mat::Solid});
    if (outerObt)
        pr.shapes.push_back({obturator(b1, t, overlap, false), Mat::Solid});

    pr.top = (innerObt || outerObt) ? -kWrap : 0;
    pr.bottom = (innerObt || outerObt) ? t + kWrap : t;
    pr.d[0] = innerRing ? rMin : -1;
    pr.d[1] = innerObt ? b0 - kWrap : b0;
    pr.d[2] = outerObt ? b1 + kWrap : b1;
    pr.d[3] = outerRing ? rMax : -1;
    pr.dy[0] = pr.dy[3] = ringBottom;
    pr.dy[1] = innerObt ? t + kWrap : t;
    pr.dy[2] = outerObt ? t + kWrap : t;
    pr.bodyOuter = pr.d[2];
    return pr;
}

Profile putgmProfile(const QString &base, const QString &constr, const QString &element,
                     double rMin, double rMax, double t)
{
    Profile pr;
    pr.t = t;
    const bool wave = base.startsWith("09");
    const bool multilayer = base.endsWith('x');
    const bool secondary = base == "097" || base == "098" || base == "099";
    const bool outerWave = base == "091" || base == "097";
    const bool outerRing = base == "093" || base == "095" || base == "098";
    const bool tampon = base == "092" || base == "095";
    const bool innerObt = constr == "02" || constr == "04";
    const bool outerObt = constr == "03" || constr == "04";
    const bool bare = element == "9";

    const double span = rMax - rMin;
    const double innerW = tampon ? span * 0.15 : 0;
    const double outerW = (outerWave || outerRing) ? span * 0.2 : 0;
    const double b0 = rMin + innerW + (tampon ? 3 : 0) + (innerObt ? kWrap : 0);
    const double b1 = rMax - outerW - (outerW > 0 ? 3 : 0) - (outerObt ? kWrap : 0);

    Mat facing = Mat::Graphite;
    if (element == "6")
        facing = Mat::Mica;
    else if (element == "7")
        facing = Mat::Basalt;

    if (tampon)
        pr.shapes.push_back({rect(rMin, t * 0.12, rMin + innerW, t * 0.88), Mat::Graphite});
    if (outerRing)
        pr.shapes.push_back({rect(rMax - outerW, t * 0.1, rMax, t * 0.9), Mat::Graphite});
    if (!bare)
        pr.shapes.push_back({rect(b0, 0, b1, t), facing});

    // Metal base: one or three sheets, corrugated or flat.
    const int layers = multilayer ? 3 : 1;
    const double amp = wave ? (multilayer ? t * 0.06 : (bare ? t * 0.3 : t * 0.15)) : 0;
    const double thick = wave ? 3.0 : (multilayer ? 3.5 : 5.0);
    const double lambda = 26;
    const double sheetFrom = tampon ? rMin + innerW * 0.45 : b0;
    const double sheetTo = outerRing ? rMax - outerW * 0.35 : b1;
    double firstY = t / 2, lastY = t / 2;
    for (int i = 0; i < layers; ++i) {
        const double yc = multilayer ? t * (0.3 + 0.2 * i) : t / 2;
        if (i == 0)
            firstY = yc;
        lastY = yc;
        auto f = [=](double x) {
            if (x < b0 || x > b1)
                return yc;   // flat where the base runs into a ring
            const double ph = 2 * M_PI * (x - b0) / lambda;
            double y = yc + amp * std::sin(ph);
            if (secondary)   // flattened crests: the second, smaller wave
                y += amp * 0.3 * std::sin(3 * ph);
            return y;
        };
        pr.shapes.push_back({sheet(sheetFrom, sheetTo, thick, f), Mat::Solid});
    }
    if (outerWave) {
        const double x0 = b1 + (outerObt ? kWrap : 0), x1 = rMax;
        auto f = [=](double x) {
            return t / 2 - t * 0.28 * std::sin(M_PI * (x - x0) / (x1 - x0));
        };
        pr.shapes.push_back({sheet(b1 - 1, x1, 3.0, f), Mat::Solid});
    }

    // Reinforcing tape inside the facings above and below the base.
    if (element == "2" || element == "3" || element == "4" || element == "5") {
        const bool perforated = element == "2" || element == "4";
        const bool many = element == "4" || element == "5";
        const double zoneTop = firstY - amp * (secondary ? 1.3 : 1) - thick / 2 - 1;
        const double zoneBottom = lastY + amp * (secondary ? 1.3 : 1) + thick / 2 + 1;
        const QVector<double> fr = many ? QVector<double>{0.33, 0.67} : QVector<double>{0.5};
        for (double k : fr) {
            addTape(pr, b0, b1, zoneTop * k, perforated);
            addTape(pr, b0, b1, zoneBottom + (t - zoneBottom) * k, perforated);
        }
    }

    const double overlap = std::min(t * 0.45, (b1 - b0) * 0.2);
    if (innerObt)
        pr.shapes.push_back({obturator(b0, t, overlap, true), Mat::Solid});
    if (outerObt)
        pr.shapes.push_back({obturator(b1, t, overlap, false), Mat::Solid});

    pr.top = (innerObt || outerObt) ? -kWrap : 0;
    pr.bottom = (innerObt || outerObt) ? t + kWrap : t;
    pr.d[0] = tampon ? rMin : -1;
    pr.d[1] = innerObt ? b0 - kWrap : b0;
    pr.d[2] = outerObt ? b1 + kWrap : b1;
    pr.d[3] = (outerWave || outerRing) ? rMax : -1;
    pr.dy[0] = t * 0.88;
    pr.dy[1] = innerObt ? t + kWrap : t;
    pr.dy[2] = outerObt ? t + kWrap : t;
    pr.dy[3] = outerRing ? t * 0.9 : t / 2 + 1.5;
    pr.bodyOuter = pr.d[2];
    return pr;
}

void paintProfile(QPainter &p, const Profile &pr, double cx, double y0, bool mirrored)
{
    const QTransform right(1, 0, 0, 1, cx, y0);
    const QTransform left(-1, 0, 0, 1, cx, y0);
    for (int side = 0; side < (mirrored ? 2 : 1); ++side) {
        const QTransform &tr = side == 0 ? right : left;
        for (const Shape &s : pr.shapes)
            fillMat(p, tr.map(s.path), s.mat);
        for (const Stroke &s : pr.strokes) {
            p.save();
            p.setPen(s.pen);
            p.setBrush(Qt::NoBrush);
            p.drawPath(tr.map(s.path));
            p.restore();
        }
    }
}

} // namespace picgen
