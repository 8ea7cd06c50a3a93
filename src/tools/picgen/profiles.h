#pragma once
// Cross-section profiles of one side of a gasket, built from its construction.
// Coordinates: x is the distance from the gasket axis in pixels, y runs from
// the top face (0) down to the bottom face (t); parts may stick out a little.
#include "draw.h"

#include <QPen>
#include <QString>
#include <vector>

namespace picgen {

struct Shape {
    QPainterPath path;
    Mat mat;
};

struct Stroke {
    QPainterPath path;
    QPen pen;
};

struct Profile {
    std::vector<Shape> shapes;    // painted in order, later ones on top
    std::vector<Stroke> strokes;  // painted after all shapes
    double t = 0;                 // nominal thickness
    // Radii where the diameters D1..D4 are measured; negative when absent.
    double d[4] = {-1, -1, -1, -1};
    double dy[4] = {0, 0, 0, 0};  // lowest point of the part at that radius
    double top = 0, bottom = 0;   // outermost faces (obturators stick out)
    double bodyOuter = 0;         // outer edge of the sealing body
};

// Spiral-wound gasket, type "A".."E" (rings by type).
// Ring widths default to a fifth of the span each.
Profile snpProfile(QChar type, double rMin, double rMax, double t,
                   double innerRingW = -1, double outerRingW = -1);
// Thickness marks of the winding: metal height (H) and edge turns (H2).
double snpMetalInset(double t);
double snpEdgeInset(double t);

// Graphite gasket: reinforcement "100".."312", construction "01".."044".
Profile putgProfile(const QString &reinf, const QString &constr, double rMin, double rMax, double t);

// Graphite on metal base: base "09".."08x", construction "01".."04",
// sealing element "1".."7", "9".
Profile putgmProfile(const QString &base, const QString &constr, const QString &element,
                     double rMin, double rMax, double t);

// Paints a profile with its axis at cx and top face at y0; mirrored also
// paints the left half.
void paintProfile(QPainter &p, const Profile &pr, double cx, double y0, bool mirrored);

} // namespace picgen
