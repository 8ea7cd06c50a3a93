#pragma once
// Whole pictures, one function per kind of picture the client shows.
#include <QImage>
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

// Questionnaire joints: 0 raised face, 1 male-female, 2 tongue-groove.
QImage jointPicture(int kind);

} // namespace picgen
