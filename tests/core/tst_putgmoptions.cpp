#include "putgmoptions.h"

#include <QRegularExpression>
#include <QtTest>

class TestPutgmOptions : public QObject
{
    Q_OBJECT

private slots:
    void constructions_data();
    void constructions();
    void plates_data();
    void plates();
    void drawingsMatchTheRules();
    void thickness_data();
    void thickness();
    void layerCountsMatchTheNotes_data();
    void layerCountsMatchTheNotes();
    void requestTf_data();
    void requestTf();
};

void TestPutgmOptions::constructions_data()
{
    QTest::addColumn<QString>("osn");
    QTest::addColumn<QString>("config");
    QTest::addColumn<QStringList>("enabled");

    QTest::newRow("099") << "099" << "circ" << QStringList{"01"};
    QTest::newRow("097") << "097" << "circ" << QStringList{"01"};
    QTest::newRow("091") << "091" << "circ" << QStringList{"01", "02"};
    QTest::newRow("09 round") << "09" << "circ" << QStringList{"01", "02", "03", "04"};
    QTest::newRow("09 rect") << "09" << "rect" << QStringList{"01", "02", "04"};
    QTest::newRow("093 oval") << "093" << "ell" << QStringList{"01", "02", "03", "04"};
    QTest::newRow("092") << "092" << "circ" << QStringList{"01", "02", "04"};
    QTest::newRow("095 rect") << "095" << "rect" << QStringList{"01", "02", "03", "04"};
    QTest::newRow("08x rect") << "08x" << "rect" << QStringList{"01", "02", "03", "04"};
}

void TestPutgmOptions::constructions()
{
    QFETCH(QString, osn);
    QFETCH(QString, config);
    QFETCH(QStringList, enabled);
    QCOMPARE(putgm::enabledConstructions(osn, config), enabled);
}

void TestPutgmOptions::plates_data()
{
    QTest::addColumn<QString>("osn");
    QTest::addColumn<QString>("construction");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<bool>("glue");

    QTest::newRow("09 01") << "09" << "01" << QStringList{"1", "2", "3", "4", "5", "6", "7", "9"} << false;
    QTest::newRow("09 03") << "09" << "03" << QStringList{"1", "2", "3", "4", "5", "6", "7"} << false;
    QTest::newRow("099") << "099" << "01" << QStringList{"1", "2", "3", "6", "7"} << false;
    QTest::newRow("095") << "095" << "04" << QStringList{"1", "2", "3", "4", "5"} << false;
    QTest::newRow("097") << "097" << "01" << QStringList{"1", "2", "3"} << false;
    QTest::newRow("08x") << "08x" << "02" << QStringList{"1"} << true;
    QTest::newRow("08") << "08" << "01" << QStringList{"1"} << true;
    QTest::newRow("09x") << "09x" << "01" << QStringList{"1"} << false;
}

void TestPutgmOptions::plates()
{
    QFETCH(QString, osn);
    QFETCH(QString, construction);
    QFETCH(QStringList, enabled);
    QFETCH(bool, glue);
    QCOMPARE(putgm::enabledPlates(osn, construction), enabled);
    QCOMPARE(putgm::glueAvailable(osn), glue);
}

// Every combination the buttons allow has a drawing, and there are 117 drawings.
void TestPutgmOptions::drawingsMatchTheRules()
{
    int drawings = 0;
    for (const QString &osn : putgm::bases())
        for (const QString &k : putgm::constructions())
            for (const QString &p : putgm::plates())
                drawings += putgm::hasDrawing(osn, k, p);
    QCOMPARE(drawings, 117);

    for (const QString &osn : putgm::bases())
        for (const QString &k : putgm::enabledConstructions(osn, QStringLiteral("circ")))
            for (const QString &p : putgm::enabledPlates(osn, k))
                QVERIFY2(putgm::hasDrawing(osn, k, p), qPrintable(osn + ' ' + k + ' ' + p));

    QCOMPARE(putgm::roundDrawing("09", "01", "9"), QStringLiteral(":/res/pic/PUTGm/PM 09-01-09.jpg"));
    QCOMPARE(putgm::halfDrawing("08x", "03", "1"), QStringLiteral(":/res/pic/PUTGm half/PM 08x-03-01.jpg"));
}

void TestPutgmOptions::thickness_data()
{
    QTest::addColumn<QString>("osn");
    QTest::addColumn<QString>("plak");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("current");

    QTest::newRow("09 graphite") << "09" << "1" << 5 << "3,0";
    QTest::newRow("093 perforated") << "093" << "2" << 4 << "3,5";
    QTest::newRow("09 no sealing element") << "09" << "9" << 3 << "1,6";
    QTest::newRow("099 mica") << "099" << "6" << 1 << "2,5";
    QTest::newRow("08") << "08" << "1" << 9 << "3,0";
    QTest::newRow("08x") << "08x" << "1" << 9 << "6,0 (2 слоя)";
    QTest::newRow("09x graphite") << "09x" << "1" << 12 << "5,0 (2 слоя)";
    QTest::newRow("09x perforated") << "09x" << "2" << 9 << "5,0 (2 слоя)";
    QTest::newRow("09x other: nothing current") << "09x" << "3" << 1 << "";
}

void TestPutgmOptions::thickness()
{
    QFETCH(QString, osn);
    QFETCH(QString, plak);
    QFETCH(int, count);
    QFETCH(QString, current);
    const putgm::ThicknessChoice t = putgm::thickness(osn, plak);
    QCOMPARE(t.entries.size(), count);
    QCOMPARE(t.text(), current);
}

void TestPutgmOptions::layerCountsMatchTheNotes_data()
{
    QTest::addColumn<QString>("osn");
    QTest::addColumn<QString>("plak");

    QTest::newRow("09x graphite") << "09x" << "1";
    QTest::newRow("09x perforated") << "09x" << "2";
    QTest::newRow("08x") << "08x" << "1";
    QTest::newRow("08x any plate") << "08x" << "5";
}

// The layer count written into the designation agrees with the note of the
// chosen thickness ("9,5 (4 слоя)" -> 4).
void TestPutgmOptions::layerCountsMatchTheNotes()
{
    QFETCH(QString, osn);
    QFETCH(QString, plak);
    const QStringList entries = putgm::thickness(osn, plak).entries;
    QVERIFY(!entries.isEmpty());
    const QRegularExpression note(QStringLiteral("\\((\\d+) сло"));
    for (int i = 0; i < entries.size(); ++i) {
        const QRegularExpressionMatch m = note.match(entries.at(i));
        QVERIFY2(m.hasMatch(), qPrintable(entries.at(i)));
        QCOMPARE(putgm::layerCount(osn, plak, i), m.captured(1));
    }
    QCOMPARE(putgm::layerCount(QStringLiteral("09"), plak, 0), QString());
}

void TestPutgmOptions::requestTf_data()
{
    QTest::addColumn<QString>("osn");
    QTest::addColumn<QString>("flanType");
    QTest::addColumn<QString>("tf");

    QTest::newRow("08x C") << "08x" << "C" << "09_C";
    QTest::newRow("09x A") << "09x" << "A" << "09_A";
    QTest::newRow("08 B") << "08" << "B" << "09_B";
    QTest::newRow("099 A") << "099" << "A" << "099_A";
    QTest::newRow("093 B") << "093" << "B" << "093_B";
}

void TestPutgmOptions::requestTf()
{
    QFETCH(QString, osn);
    QFETCH(QString, flanType);
    QFETCH(QString, tf);
    QCOMPARE(putgm::requestTf(osn, flanType), tf);
}

QTEST_APPLESS_MAIN(TestPutgmOptions)
#include "tst_putgmoptions.moc"
