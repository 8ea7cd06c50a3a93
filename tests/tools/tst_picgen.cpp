// The questionnaire writes a table value next to each letter of its joint
// picture; the line carrying that letter must lie on the feature the value is.
#include "pages.h"

#include <QtTest>

using picgen::JointScheme;
using picgen::JointSheet;

namespace {

// Half span of the named dimension, or -1.
double radiusOf(const JointSheet &s, const QString &name)
{
    for (const picgen::JointDimension &d : s.dims) {
        if (d.name == name)
            return (d.x2 - d.x1) / 2;
    }
    return -1;
}

// Whether the half section has a wall at radius r anywhere between its top
// and bottom.
bool wallAt(const QPainterPath &section, double r)
{
    const QRectF b = section.boundingRect();
    for (double y = b.top(); y <= b.bottom(); y += 0.5) {
        if (section.contains(QPointF(r - 0.5, y)) != section.contains(QPointF(r + 0.5, y)))
            return true;
    }
    return false;
}

} // namespace

class TstPicgen : public QObject
{
    Q_OBJECT

private slots:
    void facingDiametersSitOnTheirFeature_data();
    void facingDiametersSitOnTheirFeature();
};

void TstPicgen::facingDiametersSitOnTheirFeature_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("femaleSide");
    QTest::addColumn<bool>("d1Inner");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("onUpper");   // the spigot / tongue flange, else the recess / groove one
    QTest::addColumn<QString>("wider");  // a name whose line must be wider, or empty

    QTest::newRow("spigot D1") << 1 << false << false << "D1" << true << "";
    QTest::newRow("recess D1") << 1 << true << false << "D1" << false << "";
    QTest::newRow("tongue outer D1") << 2 << false << false << "D1" << true << "";
    QTest::newRow("tongue inner D") << 2 << false << false << "D" << true << "D1";
    QTest::newRow("groove outer D1") << 2 << true << false << "D1" << false << "";
    QTest::newRow("groove inner D") << 2 << true << false << "D" << false << "D1";
    QTest::newRow("tongue inner D1") << 2 << false << true << "D1" << true << "D";
    QTest::newRow("tongue outer D") << 2 << false << true << "D" << true << "";
}

void TstPicgen::facingDiametersSitOnTheirFeature()
{
    QFETCH(int, kind);
    QFETCH(bool, femaleSide);
    QFETCH(bool, d1Inner);
    QFETCH(QString, name);
    QFETCH(bool, onUpper);
    QFETCH(QString, wider);

    const JointSheet s = picgen::jointSheet(JointScheme{kind, femaleSide, d1Inner});
    const double r = radiusOf(s, name);
    QVERIFY2(r > 0, qPrintable(name));
    // Spigot and recess (tongue and groove) differ in width, so a wall of the
    // measured flange is no wall of the other.
    QVERIFY2(wallAt(onUpper ? s.upper : s.lower, r), qPrintable(QString::number(r)));
    QVERIFY2(!wallAt(onUpper ? s.lower : s.upper, r), qPrintable(QString::number(r)));
    if (!wider.isEmpty())
        QVERIFY(radiusOf(s, wider) > r);
}

QTEST_GUILESS_MAIN(TstPicgen)
#include "tst_picgen.moc"
