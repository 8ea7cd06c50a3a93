#include "putgoptions.h"

#include <QtTest>

class TestPutgOptions : public QObject
{
    Q_OBJECT

private slots:
    void constructions_data();
    void constructions();
    void everyEnabledConstructionHasDrawings();
    void defaultThickness_data();
    void defaultThickness();
    void splitParts_data();
    void splitParts();
    void temperature();
    void pickers_data();
    void pickers();
    void requestTf_data();
    void requestTf();
};

void TestPutgOptions::constructions_data()
{
    QTest::addColumn<QString>("prType");
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("flanType");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QString>("checked");

    QTest::newRow("100") << "100" << "circ" << "R" << QStringList{"01"} << "01";
    QTest::newRow("211 facing C") << "211" << "circ" << "C" << QStringList{"01"} << "01";
    QTest::newRow("311") << "311" << "circ" << "R" << QStringList{"01", "02", "03", "04"} << "01";
    QTest::newRow("312 facing C") << "312" << "circ" << "C" << QStringList{"01", "02", "03", "04"} << "01";
    QTest::newRow("312 facing B") << "312" << "rect" << "B" << QStringList{"01", "02", "03", "04", "042"} << "01";
    QTest::newRow("212 round R")
        << "212" << "circ" << "R"
        << QStringList{"01", "02", "03", "04", "042", "043", "044", "012", "013", "014"} << "";
    QTest::newRow("212 round A")
        << "212" << "circ" << "A" << QStringList{"01", "02", "03", "04", "043", "044", "013", "014"} << "";
    QTest::newRow("212 round B")
        << "212" << "circ" << "B" << QStringList{"01", "02", "03", "04", "042", "012"} << "";
    QTest::newRow("212 rect A") << "212" << "rect" << "A" << QStringList{"01", "02", "03", "04", "043", "044"} << "";
    QTest::newRow("212 oval R")
        << "212" << "ell" << "R" << QStringList{"01", "02", "03", "04", "042", "043", "044"} << "";
}

void TestPutgOptions::constructions()
{
    QFETCH(QString, prType);
    QFETCH(QString, config);
    QFETCH(QString, flanType);
    QFETCH(QStringList, enabled);
    QFETCH(QString, checked);
    QCOMPARE(putg::enabledConstructions(prType, config, flanType), enabled);
    QCOMPARE(putg::checkedConstruction(prType), checked);
}

// The drawings exist for exactly the combinations the rules can reach.
void TestPutgOptions::everyEnabledConstructionHasDrawings()
{
    const QStringList drawings = {"100-01",  "211-01",  "212-01",  "212-02",  "212-03",  "212-04",
                                  "212-042", "212-043", "212-044", "212-012", "212-013", "212-014",
                                  "311-01",  "311-02",  "311-03",  "311-04",  "312-01",  "312-02",
                                  "312-03",  "312-04",  "312-042", "312-043", "312-044"};
    QSet<QString> reachable;
    for (const QString &pr : putg::reinforcements())
        for (const QString &shape : putg::shapes())
            for (const QString &facing : putg::flanTypes())
                for (const QString &k : putg::enabledConstructions(pr, shape, facing)) {
                    reachable.insert(pr + '-' + k);
                    QCOMPARE(putg::roundDrawing(pr, k), QStringLiteral(":/res/pic/PUTG/") + pr + '-' + k + ".jpg");
                    QCOMPARE(putg::halfDrawing(pr, k), QStringLiteral(":/res/pic/half/p-") + pr + '-' + k + ".jpg");
                }
    QCOMPARE(reachable, QSet<QString>(drawings.begin(), drawings.end()));
}

void TestPutgOptions::defaultThickness_data()
{
    QTest::addColumn<QString>("prType");
    QTest::addColumn<QString>("standard");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("sizeClass");
    QTest::addColumn<QString>("thickness");

    QTest::newRow("212 GOST128 first row") << "212" << "GOST128" << 0 << "<250" << "2,0";
    QTest::newRow("212 GOST128 no row yet") << "212" << "GOST128" << -1 << "<250" << "2,0";
    QTest::newRow("212 GOST128 row 13") << "212" << "GOST128" << 13 << "<250" << "2,0";
    QTest::newRow("212 GOST128 row 14") << "212" << "GOST128" << 14 << "<500" << "3,0";
    QTest::newRow("311 GOST128 row 19") << "311" << "GOST128" << 19 << ">500" << "3,0";
    QTest::newRow("312 small: 2,0 is its first entry") << "312" << "EN1514" << 15 << "<250" << "2,0";
    QTest::newRow("EN1514 row 16") << "212" << "EN1514" << 16 << "<500" << "3,0";
    QTest::newRow("EN1514 row 21") << "212" << "EN1514" << 21 << ">500" << "3,0";
    QTest::newRow("100 middle") << "100" << "GOST128" << 18 << "<500" << "2,0";
    QTest::newRow("100 small takes 3,0") << "100" << "GOST128" << 0 << "<250" << "3,0";
    QTest::newRow("211 middle") << "211" << "GOST287" << 2 << "<500" << "1,0";
    QTest::newRow("211 large stays at 0,6") << "211" << "GOST287" << 3 << ">500" << "0,6";
    QTest::newRow("211 small stays at 0,6") << "211" << "GOST128" << 3 << "<250" << "0,6";
    QTest::newRow("ASME is always large") << "212" << "ASME165" << 0 << ">500" << "3,0";
}

void TestPutgOptions::defaultThickness()
{
    QFETCH(QString, prType);
    QFETCH(QString, standard);
    QFETCH(int, row);
    QFETCH(QString, sizeClass);
    QFETCH(QString, thickness);
    QCOMPARE(putg::sizeClass(standard, row), sizeClass);
    QCOMPARE(putg::defaultThickness(prType, standard, row), thickness);
    QVERIFY(putg::thicknessList(prType).contains(thickness));
    QCOMPARE(putg::thicknessList(prType).last(), QStringLiteral("др."));
}

void TestPutgOptions::splitParts_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("parts");

    QTest::newRow("GOST128 row 6") << "GOST128" << 6 << "3";
    QTest::newRow("GOST128 row 8") << "GOST128" << 8 << "4";
    QTest::newRow("GOST287 row 10") << "GOST287" << 10 << "4";
    QTest::newRow("GOST287 row 11") << "GOST287" << 11 << "6";
    QTest::newRow("ASME165 row 40") << "ASME165" << 40 << "3";
    QTest::newRow("ASME1647A row 2") << "ASME1647A" << 2 << "3";
    QTest::newRow("ASME1647B row 3") << "ASME1647B" << 3 << "4";
    QTest::newRow("ASME1647B row 11") << "ASME1647B" << 11 << "6";
    QTest::newRow("EN1514 row 22") << "EN1514" << 22 << "3";
    QTest::newRow("EN1514 row 26") << "EN1514" << 26 << "4";
    QTest::newRow("EN1514 row 27") << "EN1514" << 27 << "6";
    QTest::newRow("unknown standard") << "TU" << 0 << "";
}

void TestPutgOptions::splitParts()
{
    QFETCH(QString, standard);
    QFETCH(int, row);
    QFETCH(QString, parts);
    QCOMPARE(putg::splitParts(standard, row), parts);
}

void TestPutgOptions::temperature()
{
    // Both directions agree: a temperature chosen from an element maps back to it.
    for (int m = 0; m < putg::modElemEntries().size(); ++m) {
        const int t = putg::temperatureForModElem(m);
        const int back = putg::modElemForTemperature(t, m);
        QVERIFY2(back == -1 || back == m, qPrintable(QString::number(m)));
    }
    QCOMPARE(putg::temperatureForModElem(5), 2);
    QCOMPARE(putg::modElemForTemperature(0, 5), 0);  // "до 500" drops Н-18
    QCOMPARE(putg::modElemForTemperature(0, 2), -1); // but keeps aluminium
    QCOMPARE(putg::modElemForTemperature(1, 0), 4);
}

void TestPutgOptions::pickers_data()
{
    QTest::addColumn<QString>("prType");
    QTest::addColumn<QString>("construction");
    QTest::addColumn<QString>("enabled"); // AE, O, In, Out as 0/1

    QTest::newRow("100 01") << "100" << "01" << "0000";
    QTest::newRow("212 02") << "212" << "02" << "1100";
    QTest::newRow("212 042") << "212" << "042" << "1110";
    QTest::newRow("312 043") << "312" << "043" << "1101";
    QTest::newRow("212 044") << "212" << "044" << "1111";
    QTest::newRow("212 012") << "212" << "012" << "1010";
    QTest::newRow("212 013") << "212" << "013" << "1001";
    QTest::newRow("212 014") << "212" << "014" << "1011";
}

void TestPutgOptions::pickers()
{
    QFETCH(QString, prType);
    QFETCH(QString, construction);
    QFETCH(QString, enabled);
    const putg::PickerStates s = putg::pickerStates(prType, construction);
    const QString got = QString::number(s.ae) + QString::number(s.o) + QString::number(s.in)
                        + QString::number(s.out);
    QCOMPARE(got, enabled);
}

void TestPutgOptions::requestTf_data()
{
    QTest::addColumn<QString>("flanType");
    QTest::addColumn<QString>("construction");
    QTest::addColumn<QString>("tf");

    QTest::newRow("A 043") << "A" << "043" << "A043";
    QTest::newRow("B 042") << "B" << "042" << "B042";
    QTest::newRow("B 02") << "B" << "02" << "B";
    QTest::newRow("R 014") << "R" << "014" << "R014";
}

void TestPutgOptions::requestTf()
{
    QFETCH(QString, flanType);
    QFETCH(QString, construction);
    QFETCH(QString, tf);
    QCOMPARE(putg::requestTf(flanType, construction), tf);
}

QTEST_APPLESS_MAIN(TestPutgOptions)
#include "tst_putgoptions.moc"
