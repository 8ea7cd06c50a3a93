#include <QtTest>

#include "snpdesignation.h"
#include "snpoptions.h"

using snp::DepthButton;
using snp::Temperature;

Q_DECLARE_METATYPE(snp::DepthButton)
Q_DECLARE_METATYPE(snp::Temperature)

class TestSnpOptions : public QObject
{
    Q_OBJECT
private slots:
    void standards_data();
    void standards();
    void typesAndFlanges_data();
    void typesAndFlanges();
    void flangeCoupling_data();
    void flangeCoupling();
    void currentDepth_data();
    void currentDepth();
    void depth23_data();
    void depth23();
    void depthLabels();
    void pressPreselection_data();
    void pressPreselection();
    void temperatureCoupling_data();
    void temperatureCoupling();
    void d2List_data();
    void d2List();
};

void TestSnpOptions::standards_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("sizeKey");
    QTest::addColumn<QString>("pressKey");
    QTest::addColumn<QString>("requestAs");
    QTest::addColumn<QString>("sizeTitle");

    const QString mm = QStringLiteral("Условный проход, мм");
    const QString inch = QStringLiteral("Номинальный проход, \"");
    QTest::newRow("OST128") << "OST128" << "ost128_size" << "ost128_press" << "OST128" << mm;
    QTest::newRow("OST287") << "OST287" << "ost287_size" << "ost287_press" << "OST287" << mm;
    QTest::newRow("GOST128") << "GOST128" << "gost128_size" << "gost128_press" << "GOST128" << mm;
    QTest::newRow("ASME165") << "ASME165" << "asme165_size" << "asme165_press" << "ASME165" << inch;
    QTest::newRow("EN1215165") << "EN1215165" << "asme165_size" << "asme165_press" << "ASME165" << inch;
    QTest::newRow("ASME1647A") << "ASME1647A" << "asme1647A_size" << "asme1647A_press" << "ASME1647A" << inch;
    QTest::newRow("EN12151647A") << "EN12151647A" << "asme1647A_size" << "asme1647A_press"
                                 << "ASME1647A" << inch;
    QTest::newRow("ASME1647B") << "ASME1647B" << "asme1647B_size" << "asme1647B_press" << "ASME1647B" << inch;
    QTest::newRow("EN12151647B") << "EN12151647B" << "asme1647B_size" << "asme1647B_press"
                                 << "ASME1647B" << inch;
    QTest::newRow("EN1514") << "EN1514" << "en15_size" << "en15_press" << "EN1514" << "Номинальный размер DN";
    QTest::newRow("TU") << "TU" << "" << "" << "TU" << "";
}

void TestSnpOptions::standards()
{
    QFETCH(QString, code);
    QFETCH(QString, sizeKey);
    QFETCH(QString, pressKey);
    QFETCH(QString, requestAs);
    QFETCH(QString, sizeTitle);
    const snp::StandardInfo *info = snp::standardInfo(code);
    QVERIFY(info);
    QCOMPARE(snp::sizeKey(info->tableSet), sizeKey);
    QCOMPARE(snp::pressKey(info->tableSet), pressKey);
    QCOMPARE(snp::requestStandard(code), requestAs);
    QCOMPARE(info->sizeTitle, sizeTitle);
    // The option table and the designation agree on the set of standards.
    QVERIFY(snp::isStandard(code));
    QCOMPARE(snp::standardTable().size(), snp::standards().size());
}

void TestSnpOptions::typesAndFlanges_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("defaultType");
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<QStringList>("flanges");
    QTest::addColumn<bool>("jumper");

    const QStringList all = {"A", "B", "C", "D", "E"};
    const QStringList allFlanges = {"A", "B", "C"};
    QTest::newRow("OST128") << "OST128" << "E" << all << allFlanges << false;
    QTest::newRow("OST287") << "OST287" << "C" << QStringList{"A", "C"} << QStringList{"B", "C"} << true;
    QTest::newRow("GOST128") << "GOST128" << "E" << all << allFlanges << false;
    QTest::newRow("ASME165") << "ASME165" << "E" << all << allFlanges << true;
    QTest::newRow("EN1514") << "EN1514" << "E" << all << allFlanges << true;
    QTest::newRow("TU") << "TU" << "E" << all << allFlanges << true;
}

void TestSnpOptions::typesAndFlanges()
{
    QFETCH(QString, standard);
    QFETCH(QString, defaultType);
    QFETCH(QStringList, types);
    QFETCH(QStringList, flanges);
    QFETCH(bool, jumper);
    QCOMPARE(snp::defaultType(standard), defaultType);
    QVERIFY(types.contains(defaultType));
    QCOMPARE(snp::allowedTypes(standard), types);
    QCOMPARE(snp::allowedFlanges(standard), flanges);
    QCOMPARE(snp::jumperAvailable(standard), jumper);
    // Every allowed type's flange is allowed too.
    for (const QString &t : types)
        QVERIFY(flanges.contains(snp::flangeForType(t)));
}

void TestSnpOptions::flangeCoupling_data()
{
    QTest::addColumn<QString>("flange");
    QTest::addColumn<QString>("currentType");
    QTest::addColumn<QString>("type");

    QTest::newRow("В from E") << "C" << "E" << "A";
    QTest::newRow("В keeps A") << "C" << "A" << "A";
    QTest::newRow("Б from A") << "B" << "A" << "C";
    QTest::newRow("Б keeps B") << "B" << "B" << "B";
    QTest::newRow("Б keeps C") << "B" << "C" << "C";
    QTest::newRow("А from C") << "A" << "C" << "E";
    QTest::newRow("А keeps D") << "A" << "D" << "D";
    QTest::newRow("А keeps E") << "A" << "E" << "E";
}

void TestSnpOptions::flangeCoupling()
{
    QFETCH(QString, flange);
    QFETCH(QString, currentType);
    QFETCH(QString, type);
    QCOMPARE(snp::typeForFlange(flange, currentType), type);
    QCOMPARE(snp::flangeForType(type), flange);
}

void TestSnpOptions::currentDepth_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("flange");
    QTest::addColumn<DepthButton>("button");

    QTest::newRow("OST128 row 20 Б") << "OST128" << 20 << "B" << DepthButton::D32;
    QTest::newRow("OST128 row 21 Б") << "OST128" << 21 << "B" << DepthButton::D45;
    QTest::newRow("OST128 row 0 В") << "OST128" << 0 << "C" << DepthButton::D32;
    QTest::newRow("OST128 no row В") << "OST128" << -1 << "C" << DepthButton::D32;
    QTest::newRow("OST128 row 0 А") << "OST128" << 0 << "A" << DepthButton::D45;
    QTest::newRow("OST287 row 0 Б") << "OST287" << 0 << "B" << DepthButton::D45;
    QTest::newRow("GOST128") << "GOST128" << 0 << "A" << DepthButton::ByStandard;
    QTest::newRow("ASME165 row 0 Б") << "ASME165" << 0 << "B" << DepthButton::D45;
    QTest::newRow("TU") << "TU" << -1 << "C" << DepthButton::D45;
}

void TestSnpOptions::currentDepth()
{
    QFETCH(QString, standard);
    QFETCH(int, row);
    QFETCH(QString, flange);
    QFETCH(DepthButton, button);
    QCOMPARE(snp::currentDepthButton(standard, row, flange), button);
}

void TestSnpOptions::depth23_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("EN1514 row 0") << "EN1514" << 0 << true;
    QTest::newRow("EN1514 row 14") << "EN1514" << 14 << true;
    QTest::newRow("EN1514 row 15") << "EN1514" << 15 << false;
    QTest::newRow("EN1514 row 40") << "EN1514" << 40 << false;
    QTest::newRow("OST128") << "OST128" << 0 << false;
    QTest::newRow("OST287") << "OST287" << 0 << false;
    QTest::newRow("GOST128") << "GOST128" << 30 << true;
    QTest::newRow("ASME1647B") << "ASME1647B" << 30 << true;
    QTest::newRow("TU") << "TU" << -1 << true;
}

void TestSnpOptions::depth23()
{
    QFETCH(QString, standard);
    QFETCH(int, row);
    QFETCH(bool, enabled);
    QCOMPARE(snp::depth23Enabled(standard, row), enabled);
    QCOMPARE(snp::depthByStandardEnabled(standard), standard == QLatin1String("GOST128"));
}

void TestSnpOptions::depthLabels()
{
    auto labels = [](const std::optional<snp::DepthLabels> &l) {
        return l ? QStringList{l->h, l->h1, l->h2} : QStringList{};
    };
    QCOMPARE(labels(snp::tableDepthLabels("2,8")), (QStringList{"2,8", "3,3", "2,5"}));
    QCOMPARE(labels(snp::tableDepthLabels("3,5")), (QStringList{"3,5", "3,9", "3,0"}));
    QCOMPARE(labels(snp::tableDepthLabels("6,5")), (QStringList{"6,5", "7,0", "5,0"}));
    QCOMPARE(labels(snp::tableDepthLabels("5,0")), QStringList{});
    QCOMPARE(labels(snp::depthLabels("4,5", false)), (QStringList{"4,5", "4,7", "3,0"}));
    QCOMPARE(labels(snp::depthLabels("3,2", false)), (QStringList{"3,2", "3,5", "2,5"}));
    QCOMPARE(labels(snp::depthLabels("2,3", false)), (QStringList{"2,3", "2,7", "2,0"}));
    QCOMPARE(labels(snp::depthLabels("4,5", true)), (QStringList{"4,5", "", ""}));
    QCOMPARE(labels(snp::depthLabels("5,1", true)), (QStringList{"5,1", "", ""}));
    QCOMPARE(labels(snp::depthLabels("5,1", false)), QStringList{});
}

void TestSnpOptions::pressPreselection_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("press");

    QTest::newRow("preferred in the middle") << QStringList{"0,6 (6,0)", "1,6 (16,0)", "2,5 (25,0)"}
                                             << 1 << "1,6 (16,0)";
    QTest::newRow("no preferred") << QStringList{"0,6 (6,0)", "2,5 (25,0)"} << 0 << "0,6 (6,0)";
    QTest::newRow("suffix match") << QStringList{"150", "Ру 1,6 (16,0)"} << 1 << "1,6 (16,0)";
    QTest::newRow("first of two") << QStringList{"x 1,6 (16,0)", "1,6 (16,0)"} << 0 << "1,6 (16,0)";
    QTest::newRow("empty list") << QStringList{} << -1 << "";
}

void TestSnpOptions::pressPreselection()
{
    QFETCH(QStringList, rows);
    QFETCH(int, row);
    QFETCH(QString, press);
    QCOMPARE(snp::preselectedPressRow(rows), row);
    QCOMPARE(snp::preselectedPress(rows), press);
}

void TestSnpOptions::temperatureCoupling_data()
{
    QTest::addColumn<Temperature>("temperature");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");

    QTest::newRow("max") << Temperature::Max << 0 << 5;
    QTest::newRow("mid") << Temperature::Mid << 1 << 4;
    QTest::newRow("min drops Н-18") << Temperature::Min << 5 << 0;
    QTest::newRow("min drops Н-14") << Temperature::Min << 4 << 0;
    QTest::newRow("min keeps mica") << Temperature::Min << 1 << 1;
    QTest::newRow("min keeps Н-8") << Temperature::Min << 3 << 3;
}

void TestSnpOptions::temperatureCoupling()
{
    QFETCH(Temperature, temperature);
    QFETCH(int, before);
    QFETCH(int, after);
    const int index = snp::modElemForTemperature(temperature, before);
    QCOMPARE(index, after);
    // And back: the element chosen checks the same temperature.
    QCOMPARE(snp::temperatureForModElem(index), temperature);
}

void TestSnpOptions::d2List_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("used");

    QTest::newRow("OST128 E") << "OST128" << "E" << true;
    QTest::newRow("OST128 B") << "OST128" << "B" << true;
    QTest::newRow("OST287 C") << "OST287" << "C" << true;
    QTest::newRow("OST287 A") << "OST287" << "A" << true;
    QTest::newRow("OST287 E") << "OST287" << "E" << false;
    QTest::newRow("GOST128 E") << "GOST128" << "E" << false;
    QTest::newRow("TU C") << "TU" << "C" << false;
}

void TestSnpOptions::d2List()
{
    QFETCH(QString, standard);
    QFETCH(QString, type);
    QFETCH(bool, used);
    QCOMPARE(snp::usesD2List(standard, type), used);
    QCOMPARE(snp::d2Key(type, standard), type + standard + "_d2");
    QCOMPARE(snp::d2Key("E", "OST128"), QStringLiteral("EOST128_d2"));
}

QTEST_APPLESS_MAIN(TestSnpOptions)
#include "tst_snpoptions.moc"
