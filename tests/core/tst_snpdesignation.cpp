#include <QtTest>

#include "snpchoices_helpers.h"
#include "snpdesignation.h"

using snp::SnpChoices;
using testing::snpWith;

namespace {

const QString kPress16 = QStringLiteral("1,6 (16,0)");

// Type "E" diameters of the table-based rows below.
SnpChoices asme(testing::Kv extra)
{
    const SnpChoices base = snpWith({{"SNPStandard", "ASME165"}, {"SNPSize", "2"},
                                     {"SNPPress", "300 lb"}, {"SNPD4", "90"}, {"SNPD3", "70"},
                                     {"SNPD2", "50"}, {"SNPD1", "40"}});
    return testing::snpApply(base, extra);
}

const QString kAsmeEDescription = QStringLiteral(
    "Спирально-навитая прокладка (СНП) по ASME B 16.20 типа Д (с наружным  CRS (сталь 20) и "
    "внутренним  AISI 304 (08X18H9) ограничительными кольцами), с металлическим каркасом из "
    "ленты  AISI 304 (08X18H9) и наполнителем из ТРГ (FG) для применения на фланце "
    "\"соединительный выступ\" по ASME B 16.5 с размерами 90*70*50*40, толщиной 4,5 мм");

} // namespace

class TestSnpDesignation : public QObject
{
    Q_OBJECT
private slots:
    void workedShapes_data();
    void workedShapes();
    void emptyDiameters_data();
    void emptyDiameters();
    void tuCompleteness_data();
    void tuCompleteness();
    void groupCodes_data();
    void groupCodes();
    void asmeRings_data();
    void asmeRings();
    void ringCodeTexts_data();
    void ringCodeTexts();
    void thicknessPart_data();
    void thicknessPart();
    void gost_data();
    void gost();
    void modifyingElement_data();
    void modifyingElement();
    void constructiveElements_data();
    void constructiveElements();
    void standardTexts_data();
    void standardTexts();
    void descriptionByType_data();
    void descriptionByType();
    void unknownChoices_data();
    void unknownChoices();
    void startState();
};

void TestSnpDesignation::workedShapes_data()
{
    QTest::addColumn<SnpChoices>("choices");
    QTest::addColumn<QString>("designation");
    QTest::addColumn<QString>("description");

    QTest::newRow("TU E")
        << snpWith({{"SNPStandard", "TU"}, {"SNPType", "E"}, {"SNPFill", "3"}, {"SNPD4", "90"},
                    {"SNPD3", "70"}, {"SNPD2", "50"}, {"SNPD1", "40"}, {"SNPDepth", "4,5"}})
        << QStringLiteral("СНП-Д-3-90 x 70 x 50 x 40-4,5  ТУ 3689-010-40517326")
        << QStringLiteral("Спирально-навитая прокладка (СНП) по ТУ 3689-010-40517326 типа Д "
                          "(с наружным  CRS (сталь 20) и внутренним  AISI 304 (08X18H9) "
                          "ограничительными кольцами), с металлическим каркасом из ленты  "
                          "AISI 304 (08X18H9) и наполнителем из ТРГ (FG) для применения на "
                          "фланце \"соединительный выступ\" с размерами 90*70*50*40, толщиной 4,5 мм");
    QTest::newRow("OST128 A")
        << snpWith({{"SNPStandard", "OST128"}, {"SNPType", "A"}, {"SNPFill", "4"}, {"SNPD3", "55"},
                    {"SNPD2", "40"}, {"SNPPress", "2,5 (25,0)"}, {"SNPDepth", "3,2"},
                    {"SNP_K_Materials", "4"}})
        << QStringLiteral("СНП-А-4-40-2,5-3,2-03L0 ОСТ 26.260.454 [55 x 40] ")
        << QStringLiteral("Спирально-навитая прокладка (СНП) по ОСТ 26.260.454 типа А "
                          "(без ограничительных колец) с металлическим каркасом из ленты "
                          "AISI 316 L (03X17H13M2) и наполнителем из ТРГ (FG) для применения на "
                          "фланце \"шип-паз\" по ГОСТ 12815 (трубопроводы) с размерами 55*40, "
                          "толщиной 3,2 мм");
}

void TestSnpDesignation::workedShapes()
{
    QFETCH(SnpChoices, choices);
    QFETCH(QString, designation);
    QFETCH(QString, description);
    const QString def = snp::designation(choices);
    QCOMPARE(def, designation);
    QCOMPARE(snp::description(choices, def), description);
}

void TestSnpDesignation::emptyDiameters_data()
{
    QTest::addColumn<SnpChoices>("choices");
    for (const QString &s : snp::standards()) {
        for (const QString &t : snp::types()) {
            // Everything else filled in, extras on: still nothing to show.
            SnpChoices c = snpWith({{"SNPSize", "50"}, {"SNPPress", kPress16},
                                    {"SNP_ModElem", "2"}, {"SNP_KVF_checkBox", "1"},
                                    {"SNP_ONO_checkBox", "1"}, {"SNP_Perem_Yes", "1"},
                                    {"SNP_Perem_Box", "B"}, {"SNP_In_Materials", "3"}});
            c.SNPStandard = s;
            c.SNPType = t;
            QTest::newRow(qPrintable(s + QLatin1Char(' ') + t)) << c;
        }
    }
}

void TestSnpDesignation::emptyDiameters()
{
    QFETCH(SnpChoices, choices);
    QCOMPARE(snp::designation(choices), QString());
    QCOMPARE(snp::description(choices), QString());
    // Any single diameter makes the choice buildable again.
    choices.SNPD2 = QStringLiteral("50");
    if (choices.SNPStandard != QLatin1String("TU"))
        QVERIFY(!snp::designation(choices).isEmpty());
}

void TestSnpDesignation::tuCompleteness_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("d4d3d2d1");
    QTest::addColumn<QString>("designation");

    const QString tu = QStringLiteral("-4,5  ТУ 3689-010-40517326");
    QTest::newRow("D without D1") << "D" << QStringList{"90", "70", "50", ""}
                                  << QStringLiteral("СНП-Г-3-90 x 70 x 50") + tu;
    QTest::newRow("D without D4") << "D" << QStringList{"", "70", "50", "40"} << QString();
    QTest::newRow("C without D1") << "C" << QStringList{"90", "70", "50", ""} << QString();
    QTest::newRow("C without D4") << "C" << QStringList{"", "70", "50", "40"}
                                  << QStringLiteral("СНП-В-3-70 x 50 x 40") + tu;
    QTest::newRow("A D3 D2 only") << "A" << QStringList{"", "70", "50", ""}
                                  << QStringLiteral("СНП-А-3-70 x 50") + tu;
    QTest::newRow("A without D3") << "A" << QStringList{"90", "", "50", "40"} << QString();
    QTest::newRow("B without D2") << "B" << QStringList{"90", "70", "", "40"} << QString();
    QTest::newRow("B complete") << "B" << QStringList{"90", "70", "50", "40"}
                                << QStringLiteral("СНП-Б-3-70 x 50") + tu;
    QTest::newRow("E without D4") << "E" << QStringList{"", "70", "50", "40"} << QString();
    QTest::newRow("E without D1") << "E" << QStringList{"90", "70", "50", ""} << QString();
    QTest::newRow("E complete") << "E" << QStringList{"90", "70", "50", "40"}
                                << QStringLiteral("СНП-Д-3-90 x 70 x 50 x 40") + tu;
}

void TestSnpDesignation::tuCompleteness()
{
    QFETCH(QString, type);
    QFETCH(QStringList, d4d3d2d1);
    QFETCH(QString, designation);
    SnpChoices c = snpWith({{"SNPStandard", "TU"}, {"SNPType", type}, {"SNPD4", d4d3d2d1[0]},
                            {"SNPD3", d4d3d2d1[1]}, {"SNPD2", d4d3d2d1[2]}, {"SNPD1", d4d3d2d1[3]}});
    const QString def = snp::designation(c);
    QCOMPARE(def, designation);
    QCOMPARE(snp::description(c, def).isEmpty(), designation.isEmpty());
}

void TestSnpDesignation::groupCodes_data()
{
    QTest::addColumn<SnpChoices>("choices");
    QTest::addColumn<QString>("designation");

    auto ost = [](const QString &type, const QString &in, const QString &k, const QString &out) {
        return snpWith({{"SNPStandard", "OST128"}, {"SNPType", type}, {"SNPPress", kPress16},
                        {"SNPD4", "90"}, {"SNPD3", "70"}, {"SNPD2", "50"}, {"SNPD1", "40"},
                        {"SNP_In_Materials", in}, {"SNP_K_Materials", k}, {"SNP_Out_Materials", out}});
    };
    const QString e = QStringLiteral(" ОСТ 26.260.454 [90 x 70 x 50 x 40] ");
    const QString c = QStringLiteral(" ОСТ 26.260.454 [70 x 50 x 40] ");
    const QString d = QStringLiteral(" ОСТ 26.260.454 [90 x 70 x 50] ");
    const QString a = QStringLiteral(" ОСТ 26.260.454 [70 x 50] ");

    // The four default groups are replaced by a single blank.
    QTest::newRow("115") << ost("E", "0", "0", "7") << "СНП-Д-3-50-1,6-4,5 " + e;
    QTest::newRow("110") << ost("C", "0", "0", "7") << "СНП-В-3-50-1,6-4,5 " + c;
    QTest::newRow("015") << ost("D", "0", "0", "7") << "СНП-Г-3-50-1,6-4,5 " + d;
    QTest::newRow("010") << ost("A", "0", "0", "7") << "СНП-А-3-50-1,6-4,5 " + a;
    QTest::newRow("010 type B") << ost("B", "0", "0", "7")
                                << QStringLiteral("СНП-Б-3-50-1,6-4,5  ОСТ 26.260.454 [70 x 50] ");
    // Rings the type lacks do not enter the group.
    QTest::newRow("A ignores rings") << ost("A", "3", "0", "3") << "СНП-А-3-50-1,6-4,5 " + a;
    QTest::newRow("C ignores outer") << ost("C", "0", "0", "3") << "СНП-В-3-50-1,6-4,5 " + c;
    // Rewritten groups.
    QTest::newRow("3L3L3L") << ost("E", "4", "4", "4") << "СНП-Д-3-50-1,6-4,5-333L" + e;
    QTest::newRow("3Ti3Ti3Ti") << ost("E", "5", "5", "5") << "СНП-Д-3-50-1,6-4,5-333Ti" + e;
    QTest::newRow("3L3L5") << ost("E", "4", "4", "7") << "СНП-Д-3-50-1,6-4,5-335L" + e;
    QTest::newRow("3Ti3Ti5") << ost("E", "5", "5", "7") << "СНП-Д-3-50-1,6-4,5-335Ti" + e;
    // Look-alikes that stay as formed.
    QTest::newRow("3L3L0") << ost("C", "4", "4", "7") << "СНП-В-3-50-1,6-4,5-3L3L0" + c;
    QTest::newRow("03L3L") << ost("D", "0", "4", "4") << "СНП-Г-3-50-1,6-4,5-03L3L" + d;
    QTest::newRow("335") << ost("E", "3", "3", "7") << "СНП-Д-3-50-1,6-4,5-335" + e;
    QTest::newRow("1L15") << ost("E", "1", "0", "7") << "СНП-Д-3-50-1,6-4,5-1L15" + e;
    QTest::newRow("3L3L1") << ost("E", "4", "4", "0") << "СНП-Д-3-50-1,6-4,5-3L3L1" + e;
    QTest::newRow("winding other typed") << ost("E", "0", "other:Сталь 45", "7")
                                         << "СНП-Д-3-50-1,6-4,5-1{Сталь 45}5" + e;
    QTest::newRow("winding other untouched") << ost("E", "0", "other:<другой материал>", "7")
                                             << "СНП-Д-3-50-1,6-4,5-1{др.}5" + e;
    QTest::newRow("OST287 same rule") << [&] {
        SnpChoices x = ost("C", "4", "4", "7");
        x.SNPStandard = QStringLiteral("OST287");
        return x;
    }() << QStringLiteral("СНП-В-3-50-1,6-4,5-3L3L0 ОСТ 26.260.454 [70 x 50 x 40] ");
}

void TestSnpDesignation::groupCodes()
{
    QFETCH(SnpChoices, choices);
    QFETCH(QString, designation);
    QCOMPARE(snp::designation(choices), designation);
}

void TestSnpDesignation::asmeRings_data()
{
    QTest::addColumn<SnpChoices>("choices");
    QTest::addColumn<QString>("designation");

    const QString b4 = QStringLiteral(" [90 x 70 x 50 x 40] ");
    const QString head = QStringLiteral("СНП-Д-2-300#");
    const QString tail = QStringLiteral(" ASME B 16.20") + b4;

    QTest::newRow("defaults") << asme({}) << head + "-F.G" + tail;
    QTest::newRow("inner CS winding MON")
        << asme({{"SNP_In_Materials", "7"}, {"SNP_K_Materials", "7"}}) << head + "-CS-MON-F.G" + tail;
    QTest::newRow("inner CS winding 304") << asme({{"SNP_In_Materials", "7"}}) << head + "-CS-F.G" + tail;
    QTest::newRow("inner MON winding MON")
        << asme({{"SNP_In_Materials", "8"}, {"SNP_K_Materials", "7"}}) << head + "-MON-F.G" + tail;
    QTest::newRow("inner 3Ti outer 9C")
        << asme({{"SNP_In_Materials", "5"}, {"SNP_Out_Materials", "11"}})
        << head + "-316Ti-F.G-HAST C" + tail;
    QTest::newRow("outer 304 ASME") << asme({{"SNP_Out_Materials", "0"}}) << head + "-F.G" + tail;
    QTest::newRow("outer 304 EN 12560")
        << asme({{"SNPStandard", "EN1215165"}, {"SNP_Out_Materials", "0"}})
        << head + "-F.G EN 12560-2" + b4;
    QTest::newRow("outer 304 EN1514")
        << asme({{"SNPStandard", "EN1514"}, {"SNP_Out_Materials", "0"}})
        << "СНП-Д-2-300-F.G-304 EN 1514-2" + b4;
    QTest::newRow("outer 304 ASME 16.47 A")
        << asme({{"SNPStandard", "ASME1647A"}, {"SNP_Out_Materials", "0"}})
        << head + "-F.G ASME B 16.47 A" + b4;
    QTest::newRow("inner other typed") << asme({{"SNP_In_Materials", "other:Сталь 45"}})
                                       << head + "-{Сталь 45}-F.G" + tail;
    QTest::newRow("outer other untouched") << asme({{"SNP_Out_Materials", "other:<другой материал>"}})
                                           << head + "-F.G-{др.}" + tail;
    QTest::newRow("outer other blanks") << asme({{"SNP_Out_Materials", "other:   "}})
                                        << head + "-F.G-{др.}" + tail;
    QTest::newRow("PTFE") << asme({{"SNPFill", "5"}}) << head + "- PTFE" + tail;
    QTest::newRow("filler 4") << asme({{"SNPFill", "4"}}) << head + "-F.G" + tail;
    // Rings the type lacks are not written.
    QTest::newRow("A without rings")
        << asme({{"SNPType", "A"}, {"SNP_In_Materials", "3"}, {"SNP_Out_Materials", "3"}})
        << QStringLiteral("СНП-А-2-300#-F.G ASME B 16.20 [70 x 50] ");
    QTest::newRow("C inner only")
        << asme({{"SNPType", "C"}, {"SNP_In_Materials", "3"}, {"SNP_Out_Materials", "3"}})
        << QStringLiteral("СНП-В-2-300#-316-F.G ASME B 16.20 [70 x 50 x 40] ");
    QTest::newRow("D outer only")
        << asme({{"SNPType", "D"}, {"SNP_In_Materials", "3"}, {"SNP_Out_Materials", "3"}})
        << QStringLiteral("СНП-Г-2-300#-F.G-316 ASME B 16.20 [90 x 70 x 50] ");
    QTest::newRow("pressure words after the class ignored")
        << [] { SnpChoices c = asme({}); c.SNPPress = QStringLiteral("600 (PN 100)"); return c; }()
        << QStringLiteral("СНП-Д-2-600#-F.G") + tail;
}

void TestSnpDesignation::asmeRings()
{
    QFETCH(SnpChoices, choices);
    QFETCH(QString, designation);
    QCOMPARE(snp::designation(choices), designation);
}

void TestSnpDesignation::ringCodeTexts_data()
{
    QTest::addColumn<int>("ring");
    QTest::addColumn<QString>("inner");  // inner ring, ASME, type C
    QTest::addColumn<QString>("outer");  // outer ring, EN1514, type D

    const QStringList texts = {"-304",   "-304L", "-321",   "-316",    "-316L",
                               "-316Ti", "-IN 600", "-CS",  "-MON",    "-IN 800",
                               "-Ti",    "-HAST C", "-HAST B"};
    for (int i = 0; i < texts.size(); ++i) {
        QString inner = texts[i];
        QString outer = texts[i];
        if (i == 0)
            inner.clear();   // 304 inner ring is implied
        if (i == materials::kCarbonSteelRing)
            outer.clear();   // carbon-steel outer ring is implied
        QTest::newRow(qPrintable(materials::ringList().at(i))) << i << inner << outer;
    }
}

void TestSnpDesignation::ringCodeTexts()
{
    QFETCH(int, ring);
    QFETCH(QString, inner);
    QFETCH(QString, outer);
    const SnpChoices c = asme({{"SNPType", "C"}, {"SNP_In_Materials", QString::number(ring)}});
    QCOMPARE(snp::designation(c),
             "СНП-В-2-300#" + inner + "-F.G ASME B 16.20 [70 x 50 x 40] ");
    const SnpChoices d = asme({{"SNPStandard", "EN1514"}, {"SNPType", "D"},
                               {"SNP_Out_Materials", QString::number(ring)}});
    QCOMPARE(snp::designation(d), "СНП-Г-2-300-F.G" + outer + " EN 1514-2 [90 x 70 x 50] ");
}

void TestSnpDesignation::thicknessPart_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("depth");
    QTest::addColumn<QString>("designation");

    const QString b = QStringLiteral(" [90 x 70 x 50 x 40] ");
    QTest::newRow("ASME 4,5 omitted") << "ASME165" << "4,5" << "СНП-Д-2-300#-F.G ASME B 16.20" + b;
    QTest::newRow("ASME 3,2") << "ASME165" << "3,2" << "СНП-Д-2-300#-F.G-3,2 ASME B 16.20" + b;
    QTest::newRow("ASME B 2,3") << "ASME1647B" << "2,3" << "СНП-Д-2-300#-F.G-2,3 ASME B 16.47 B" + b;
    QTest::newRow("EN 12560 other 5,5") << "EN12151647B" << "5,5"
                                        << "СНП-Д-2-300#-F.G-5,5 EN 12560-2" + b;
    QTest::newRow("EN1514 2,3") << "EN1514" << "2,3" << "СНП-Д-2-300-F.G-2,3 EN 1514-2" + b;
    QTest::newRow("EN1514 4,5") << "EN1514" << "4,5" << "СНП-Д-2-300-F.G EN 1514-2" + b;
    QTest::newRow("OST keeps 4,5") << "OST128" << "4,5" << "СНП-Д-3-50-300-4,5  ОСТ 26.260.454" + b;
    QTest::newRow("TU keeps 3,2") << "TU" << "3,2"
                                  << QStringLiteral("СНП-Д-3-90 x 70 x 50 x 40-3,2  ТУ 3689-010-40517326");
}

void TestSnpDesignation::thicknessPart()
{
    QFETCH(QString, standard);
    QFETCH(QString, depth);
    QFETCH(QString, designation);
    const SnpChoices c = asme({{"SNPStandard", standard}, {"SNPDepth", depth}});
    const QString def = snp::designation(c);
    QCOMPARE(def, designation);
    QVERIFY(snp::description(c, def).endsWith(QStringLiteral(", толщиной ") + depth + " мм"));
}

void TestSnpDesignation::gost_data()
{
    QTest::addColumn<SnpChoices>("choices");
    QTest::addColumn<QString>("designation");

    auto gost = [](testing::Kv extra) {
        SnpChoices c = asme(extra);
        c.SNPStandard = QStringLiteral("GOST128");
        c.SNPSize = QStringLiteral("50");
        c.SNPPress = kPress16;
        return c;
    };
    const QString g = QStringLiteral(" ГОСТ Р 52376 -2005");
    QTest::newRow("E outer CS") << gost({}) << "СНП-Д-1-1-50-16,0 У  " + g + " [90 x 70 x 50 x 40] ";
    QTest::newRow("E outer 316") << gost({{"SNP_Out_Materials", "3"}})
                                 << "СНП-Д-1-1-50-16,0 -113" + g + " [90 x 70 x 50 x 40] ";
    QTest::newRow("D outer 316L") << gost({{"SNPType", "D"}, {"SNP_Out_Materials", "4"}})
                                  << "СНП-Г-1-1-50-16,0 -013L" + g + " [90 x 70 x 50] ";
    QTest::newRow("A") << gost({{"SNPType", "A"}}) << "СНП-А-4-5-50-16,0 У  " + g + " [70 x 50] ";
    QTest::newRow("B") << gost({{"SNPType", "B"}}) << "СНП-Б-2-3-50-16,0 У  " + g + " [70 x 50] ";
    QTest::newRow("C") << gost({{"SNPType", "C"}}) << "СНП-В-2-3-50-16,0 У  " + g + " [70 x 50 x 40] ";
    QTest::newRow("filler and thickness not written")
        << gost({{"SNPFill", "5"}, {"SNPDepth", "3,2"}})
        << "СНП-Д-1-1-50-16,0 У  " + g + " [90 x 70 x 50 x 40] ";
    QTest::newRow("pressure 4,0") << [&] { SnpChoices c = gost({}); c.SNPPress = "4,0 (40,0)"; return c; }()
                                  << "СНП-Д-1-1-50-40,0 У  " + g + " [90 x 70 x 50 x 40] ";
    QTest::newRow("pressure without kgf") << [&] { SnpChoices c = gost({}); c.SNPPress = "1,6"; return c; }()
                                          << "СНП-Д-1-1-50- У  " + g + " [90 x 70 x 50 x 40] ";
    QTest::newRow("modifier and bracket")
        << gost({{"SNP_ModElem", "3"}, {"SNP_ONO_checkBox", "1"}})
        << "СНП-Д-1-1-50-16,0 У  -И(Н-8)(черт.)" + g + " [90 x 70 x 50 x 40] ";
}

void TestSnpDesignation::gost()
{
    QFETCH(SnpChoices, choices);
    QFETCH(QString, designation);
    const QString def = snp::designation(choices);
    QCOMPARE(def, designation);
    QVERIFY(snp::description(choices, def).contains(
        QStringLiteral("(СНП) по ГОСТ Р 52376 - 2005 типа ")));
}

void TestSnpDesignation::modifyingElement_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("piece");   // between the material blank and the standard
    QTest::addColumn<QString>("addition");

    QTest::newRow("0 none") << 0 << QString() << QString();
    QTest::newRow("1 mica") << 1 << QStringLiteral("-(С)") << QStringLiteral(", с добавлением слюды");
    QTest::newRow("2 foil") << 2 << QStringLiteral("-(Al)")
                            << QStringLiteral(", с добавлением алюминиевой фольги");
    QTest::newRow("3 Н-8") << 3 << QStringLiteral("-И(Н-8)")
                           << QStringLiteral(", с добавлением ингибитора коррозии И(Н-8)");
    QTest::newRow("4 Н-14") << 4 << QStringLiteral("-И(Н-14)")
                            << QStringLiteral(", с добавлением ингибитора окисления И(Н-14)");
    QTest::newRow("5 Н-18") << 5 << QStringLiteral("-И(Н-18)")
                            << QStringLiteral(", с добавлением ингибитора окисления И(Н-18)");
}

void TestSnpDesignation::modifyingElement()
{
    QFETCH(int, index);
    QFETCH(QString, piece);
    QFETCH(QString, addition);
    SnpChoices c = asme({});
    c.SNPStandard = QStringLiteral("OST128");
    c.SNPPress = kPress16;
    c.SNP_ModElem = index;
    const QString def = snp::designation(c);
    QCOMPARE(def, "СНП-Д-3-50-1,6-4,5 " + piece + " ОСТ 26.260.454 [90 x 70 x 50 x 40] ");
    QVERIFY(snp::description(c, def).endsWith(QStringLiteral("толщиной 4,5 мм") + addition));
    if (index == 1) {
        // The mica mark is the Cyrillic letter Es, not Latin C.
        QVERIFY(def.contains(QChar(0x0421)));
        QVERIFY(!def.contains(QLatin1String("(C)")));
    }
}

void TestSnpDesignation::constructiveElements_data()
{
    QTest::addColumn<SnpChoices>("choices");
    QTest::addColumn<QString>("bracket");
    QTest::addColumn<QString>("additions");

    QTest::newRow("jumper A width 5")
        << asme({{"SNP_Perem_Yes", "1"}, {"SNP_Perem_Box", "A"}, {"SNP_Perem_Depth_Edit", "5"}})
        << "(A/5)" << ", с перемычкой типа A шириной 5 мм";
    QTest::newRow("jumper A no width")
        << asme({{"SNP_Perem_Yes", "1"}, {"SNP_Perem_Box", "A"}}) << "(A)" << ", с перемычкой типа A";
    QTest::newRow("jumper B")
        << asme({{"SNP_Perem_Yes", "1"}, {"SNP_Perem_Box", "B"}})
        << "(B, черт.)" << ", с перемычкой типа B (по чертежу)";
    QTest::newRow("jumper B ignores width")
        << asme({{"SNP_Perem_Yes", "1"}, {"SNP_Perem_Box", "B"}, {"SNP_Perem_Depth_Edit", "5"}})
        << "(B, черт.)" << ", с перемычкой типа B (по чертежу)";
    QTest::newRow("jumper J") << asme({{"SNP_Perem_Yes", "1"}, {"SNP_Perem_Box", "J"}})
                              << "(J)" << ", с перемычкой типа J";
    QTest::newRow("jumper M") << asme({{"SNP_Perem_Yes", "1"}, {"SNP_Perem_Box", "M"}})
                              << "(M)" << ", с перемычкой типа M";
    QTest::newRow("jumper X") << asme({{"SNP_Perem_Yes", "1"}, {"SNP_Perem_Box", "X"}})
                              << "(X, черт.)" << ", с перемычкой типа X (по чертежу)";
    QTest::newRow("jumper off, letter B") << asme({{"SNP_Perem_Box", "B"}, {"SNP_Perem_Depth_Edit", "5"}})
                                          << "" << "";
    QTest::newRow("fixing only") << asme({{"SNP_KVF_checkBox", "1"}, {"SNPFixBox", "Ф1-24"}})
                                 << "(Ф1-24)" << ", с фиксатором Ф1-24";
    QTest::newRow("fixing off ignores box") << asme({{"SNPFixBox", "Ф1-56"}}) << "" << "";
    QTest::newRow("holes only") << asme({{"SNP_ONO_checkBox", "1"}})
                                << "(черт.)" << ", с отверстиями (по чертежу)";
    QTest::newRow("fixing and holes")
        << asme({{"SNP_KVF_checkBox", "1"}, {"SNP_ONO_checkBox", "1"}})
        << "(Ф1-20, черт.)" << ", с фиксатором Ф1-20, с отверстиями (по чертежу)";
    QTest::newRow("jumper B, fixing, holes: one mark")
        << asme({{"SNP_Perem_Yes", "1"}, {"SNP_Perem_Box", "B"}, {"SNP_KVF_checkBox", "1"},
                 {"SNP_ONO_checkBox", "1"}})
        << "(B, Ф1-20, черт.)"
        << ", с фиксатором Ф1-20, с отверстиями (по чертежу), с перемычкой типа B (по чертежу)";
    QTest::newRow("jumper A/5, fixing, holes")
        << asme({{"SNP_Perem_Yes", "1"}, {"SNP_Perem_Box", "A"}, {"SNP_Perem_Depth_Edit", "5"},
                 {"SNP_KVF_checkBox", "1"}, {"SNPFixBox", "Ф1-36"}, {"SNP_ONO_checkBox", "1"}})
        << "(A/5, Ф1-36, черт.)"
        << ", с фиксатором Ф1-36, с отверстиями (по чертежу), с перемычкой типа A шириной 5 мм";
    QTest::newRow("jumper A/5 and fixing")
        << asme({{"SNP_Perem_Yes", "1"}, {"SNP_Perem_Box", "A"}, {"SNP_Perem_Depth_Edit", "5"},
                 {"SNP_KVF_checkBox", "1"}})
        << "(A/5, Ф1-20)" << ", с фиксатором Ф1-20, с перемычкой типа A шириной 5 мм";
    QTest::newRow("jumper M and holes")
        << asme({{"SNP_Perem_Yes", "1"}, {"SNP_Perem_Box", "M"}, {"SNP_ONO_checkBox", "1"}})
        << "(M, черт.)" << ", с отверстиями (по чертежу), с перемычкой типа M";
    QTest::newRow("modifier before bracket")
        << asme({{"SNP_ModElem", "2"}, {"SNP_Perem_Yes", "1"}, {"SNP_Perem_Box", "A"},
                 {"SNP_Perem_Depth_Edit", "3,5"}})
        << "-(Al)(A/3,5)"
        << ", с добавлением алюминиевой фольги, с перемычкой типа A шириной 3,5 мм";
}

void TestSnpDesignation::constructiveElements()
{
    QFETCH(SnpChoices, choices);
    QFETCH(QString, bracket);
    QFETCH(QString, additions);
    const QString def = snp::designation(choices);
    QCOMPARE(def, "СНП-Д-2-300#-F.G" + bracket + " ASME B 16.20 [90 x 70 x 50 x 40] ");
    QCOMPARE(snp::description(choices, def), kAsmeEDescription + additions);
}

void TestSnpDesignation::standardTexts_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("flange");
    QTest::addColumn<QString>("suffix");   // standard as the designation writes it

    QTest::newRow("OST128") << "OST128" << "ОСТ 26.260.454" << " по ГОСТ 12815 (трубопроводы)"
                            << " ОСТ 26.260.454 [";
    QTest::newRow("OST287") << "OST287" << "ОСТ 26.260.454" << " по ГОСТ 28759 (сосуды и аппараты)"
                            << " ОСТ 26.260.454 [";
    QTest::newRow("GOST128") << "GOST128" << "ГОСТ Р 52376 - 2005" << " по ГОСТ 12815 (трубопроводы)"
                             << " ГОСТ Р 52376 -2005 [";
    QTest::newRow("ASME165") << "ASME165" << "ASME B 16.20" << " по ASME B 16.5" << " ASME B 16.20 [";
    QTest::newRow("ASME1647A") << "ASME1647A" << "ASME B 16.20" << " по ASME B 16.47 A"
                               << " ASME B 16.47 A [";
    QTest::newRow("ASME1647B") << "ASME1647B" << "ASME B 16.20" << " по ASME B 16.47 B"
                               << " ASME B 16.47 B [";
    QTest::newRow("EN1215165") << "EN1215165" << "EN 12560-2" << " по ASME B 16.5" << " EN 12560-2 [";
    QTest::newRow("EN12151647A") << "EN12151647A" << "EN 12560-2" << " по ASME B 16.47 A"
                                 << " EN 12560-2 [";
    QTest::newRow("EN12151647B") << "EN12151647B" << "EN 12560-2" << " по ASME B 16.47 B"
                                 << " EN 12560-2 [";
    QTest::newRow("EN1514") << "EN1514" << "EN 1514-2" << "" << " EN 1514-2 [";
    QTest::newRow("TU") << "TU" << "ТУ 3689-010-40517326" << "" << " ТУ 3689-010-40517326";
}

void TestSnpDesignation::standardTexts()
{
    QFETCH(QString, standard);
    QFETCH(QString, name);
    QFETCH(QString, flange);
    QFETCH(QString, suffix);
    QCOMPARE(snp::standardName(standard), name);
    QCOMPARE(snp::flangeText(standard), flange);

    const SnpChoices c = asme({{"SNPStandard", standard}});
    const QString def = snp::designation(c);
    QVERIFY2(def.contains(suffix), qPrintable(def));
    const QString desc = snp::description(c, def);
    QVERIFY(desc.startsWith(QStringLiteral("Спирально-навитая прокладка (СНП) по ") + name
                            + QStringLiteral(" типа Д (")));
    QVERIFY2(desc.contains(QStringLiteral("\"соединительный выступ\"") + flange
                           + QStringLiteral(" с размерами 90*70*50*40,")),
             qPrintable(desc));
}

void TestSnpDesignation::descriptionByType_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("fill");
    QTest::addColumn<QString>("description");

    const QString head = QStringLiteral("Спирально-навитая прокладка (СНП) по ТУ 3689-010-40517326");
    const QString k = QStringLiteral(" с металлическим каркасом из ленты  Incoloy 800");
    const QString ptfe = QStringLiteral(" и наполнителем из фторопласта (PTFE)");
    const QString fg = QStringLiteral(" и наполнителем из ТРГ (FG)");
    const QString use = QStringLiteral(" для применения на фланце ");
    const QString tail = QStringLiteral(", толщиной 4,5 мм");

    QTest::newRow("A") << "A" << "5"
                       << head + " типа А (без ограничительных колец)" + k + ptfe + use
                              + "\"шип-паз\" с размерами 70*50" + tail;
    QTest::newRow("B") << "B" << "5"
                       << head + " типа Б (без ограничительных колец)" + k + ptfe + use
                              + "\"выступ-впадина\" с размерами 70*50" + tail;
    QTest::newRow("C") << "C" << "4"
                       << head + " типа В (с внутренним ограничительным кольцом  AISI 316 "
                                 "(10X17H13M2))," + k + fg + use
                              + "\"выступ-впадина\" с размерами 70*50*40" + tail;
    QTest::newRow("D") << "D" << "3"
                       << head + " типа Г (с наружным ограничительным кольцом AISI 304L "
                                 "(03Х18Н11))," + k + fg + use
                              + "\"соединительный выступ\" с размерами 90*70*50" + tail;
    QTest::newRow("E") << "E" << "5"
                       << head + " типа Д (с наружным AISI 304L (03Х18Н11) и внутренним  "
                                 "AISI 316 (10X17H13M2) ограничительными кольцами)," + k + ptfe
                              + use + "\"соединительный выступ\" с размерами 90*70*50*40" + tail;
}

void TestSnpDesignation::descriptionByType()
{
    QFETCH(QString, type);
    QFETCH(QString, fill);
    QFETCH(QString, description);
    const SnpChoices c = snpWith({{"SNPStandard", "TU"}, {"SNPType", type}, {"SNPFill", fill},
                                  {"SNPD4", "90"}, {"SNPD3", "70"}, {"SNPD2", "50"}, {"SNPD1", "40"},
                                  {"SNP_In_Materials", "3"}, {"SNP_K_Materials", "8"},
                                  {"SNP_Out_Materials", "1"}});
    QCOMPARE(snp::description(c), description);
}

void TestSnpDesignation::unknownChoices_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("type");

    QTest::newRow("unknown standard") << "DIN" << "E";
    QTest::newRow("empty standard") << "" << "E";
    QTest::newRow("unknown type") << "ASME165" << "F";
    QTest::newRow("Cyrillic type letter") << "ASME165" << "Д";
    QTest::newRow("empty type") << "TU" << "";
}

void TestSnpDesignation::unknownChoices()
{
    QFETCH(QString, standard);
    QFETCH(QString, type);
    SnpChoices c = asme({});
    QVERIFY(!snp::designation(c).isEmpty());
    c.SNPStandard = standard;
    c.SNPType = type;
    QCOMPARE(snp::designation(c), QString());
    QCOMPARE(snp::description(c), QString());
}

void TestSnpDesignation::startState()
{
    const SnpChoices c = snp::startState();
    QCOMPARE(c.SNPStandard, QStringLiteral("OST128"));
    QCOMPARE(c.SNPType, QStringLiteral("E"));
    QCOMPARE(c.SNPFill, QStringLiteral("3"));
    QCOMPARE(c.SNPDepth, QStringLiteral("4,5"));
    QCOMPARE(materials::code(c.SNP_In_Materials), QStringLiteral("1"));
    QCOMPARE(materials::code(c.SNP_K_Materials), QStringLiteral("1"));
    QCOMPARE(materials::code(c.SNP_Out_Materials), QStringLiteral("5"));
    QCOMPARE(c.SNP_K_Materials.count, 13);
    QCOMPARE(c.SNP_In_Materials.count, 14);
    QCOMPARE(c.SNP_ModElem, 0);
    QVERIFY(!c.SNP_KVF_checkBox && !c.SNP_ONO_checkBox && !c.SNP_Perem_Yes);
    QCOMPARE(c.SNPFixBox, QStringLiteral("Ф1-20"));
    QCOMPARE(c.SNP_Perem_Box, QStringLiteral("A"));
    QVERIFY(c.SNPSize.isEmpty() && c.SNPPress.isEmpty() && c.SNPD1.isEmpty() && c.SNPD4.isEmpty());
    // Nothing to show until the diameters arrive.
    QCOMPARE(snp::designation(c), QString());
}

QTEST_APPLESS_MAIN(TestSnpDesignation)
#include "tst_snpdesignation.moc"
