#pragma once
// Whole pictures, one function per kind of picture the client shows.
#include <QImage>
#include <QPainterPath>
#include <QVector>
#include <QString>

namespace picgen {

QImage iconPicture();                      // emblem: gasket ring, 71 x 71
QImage appIcon(int size);                  // the same emblem for the desktop menu
QImage gearPicture();                      // settings button
QImage logoPicture();                      // main window logo

QImage snpPicture(const QString &types);   // "AB", "C", "D", "E"
// Flange joint with the gasket of a family in place; facing 'A', 'B', 'C'
// (raised face, male-female, tongue-groove); family "SNP", "PUTG", "PUTGm".
QImage facingPicture(QChar facing, const QString &family);

QImage putgRound(const QString &reinf, const QString &constr);
QImage putgHalf(const QString &reinf, const QString &constr);
QImage putgmRound(const QString &base, const QString &constr, const QString &element);
QImage putgmHalf(const QString &base, const QString &constr, const QString &element);
QImage outlineSketch(bool oval);           // pr.jpg / ov.jpg

// Questionnaire joints. The tables of one facing do not all give the same
// feature: most give the spigot or tongue of the upper flange, ASME B16.5 the
// recess or groove of the lower one, and EN 1092-1 puts the tongue's inner
// diameter under D1. Each dimension line sits on the feature whose value the
// questionnaire writes beside its name.
struct JointScheme {
    int kind = 0;              // 0 raised face, 1 male-female, 2 tongue-groove
    bool femaleSide = false;   // measure the recess / groove, not the spigot / tongue
    bool d1Inner = false;      // tongue-groove: D1 the inner diameter, D the outer
};

struct JointDimension {
    QString name;
    double x1, x2, y;          // picture pixels
    double slotX;              // the name ends just left of it
    double fromY;              // extension lines start here; < 0: none
};

// Half sections at x = radius (the picture mirrors them about cx) and the
// horizontal dimensions drawn on the picture.
struct JointSheet {
    QPainterPath upper, lower;
    double cx = 0;
    QVector<JointDimension> dims;
};

JointSheet jointSheet(const JointScheme &scheme);
QImage jointPicture(const JointScheme &scheme);

} // namespace picgen
