#include <QtTest>

#include "materials.h"
#include "snpdesignation.h"

using materials::Pick;

class TestMaterials : public QObject
{
    Q_OBJECT
private slots:
    void ringEntries_data();
    void ringEntries();
    void stripList();
    void otherMaterial_data();
    void otherMaterial();
    void carcFollowsRing_data();
    void carcFollowsRing();
    void materialName_data();
    void materialName();
};

void TestMaterials::ringEntries_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");

    const struct { const char *entry, *code, *name; } rows[] = {
        {"1     AISI 304 (08X18H9)", "1", " AISI 304 (08X18H9)"},
        {"1L   AISI 304L (03Х18Н11)", "1L", "AISI 304L (03Х18Н11)"},
        {"2     AISI 321 (12X18H10T)", "2", " AISI 321 (12X18H10T)"},
        {"3     AISI 316 (10X17H13M2)", "3", " AISI 316 (10X17H13M2)"},
        {"3L   AISI 316 L (03X17H13M2)", "3L", "AISI 316 L (03X17H13M2)"},
        {"3Ti  AISI 316 Ti (10X17H13M2T)", "3Ti", "AISI 316 Ti (10X17H13M2T)"},
        {"4    Inconel 600, 625", "4", "Inconel 600, 625"},
        {"5     CRS (сталь 20)", "5", " CRS (сталь 20)"},
        {"6     Monel", "6", " Monel"},
        {"7     Incoloy 800", "7", " Incoloy 800"},
        {"8    Титан ВТ-1", "8", "Титан ВТ-1"},
        {"9C   Hastelloy C", "9C", "Hastelloy C"},
        {"9B   Hastelloy B", "9B", "Hastelloy B"},
    };
    int i = 0;
    for (const auto &r : rows) {
        QTest::newRow(r.code) << i << QString::fromUtf8(r.entry) << QString::fromUtf8(r.code)
                              << QString::fromUtf8(r.name);
        ++i;
    }
}

void TestMaterials::ringEntries()
{
    QFETCH(int, index);
    QFETCH(QString, entry);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QCOMPARE(materials::ringList().size(), 14);
    QCOMPARE(materials::ringList().at(index), entry);
    const Pick p = Pick::ring(index);
    QVERIFY(!p.isOther());
    QCOMPARE(materials::code(p), code);
    QCOMPARE(materials::codeNoBraces(p), code);
    QCOMPARE(materials::name(p), name);
    QCOMPARE(snp::materialDescriptionName(p), name);
}

void TestMaterials::stripList()
{
    const QStringList &ring = materials::ringList();
    const QStringList &strip = materials::stripList();
    QCOMPARE(strip.size(), 13);
    QCOMPARE(ring.last(), QStringLiteral("<другой материал>"));
    QCOMPARE(strip.last(), QStringLiteral("<другой материал>"));
    QCOMPARE(strip.at(7), QStringLiteral("6     Monel"));
    QVERIFY(!strip.contains(QStringLiteral("5     CRS (сталь 20)")));
    for (int i = 0; i < strip.size(); ++i)
        QCOMPARE(strip.at(i), ring.at(i < materials::kCarbonSteelRing ? i : i + 1));
    QVERIFY(Pick::strip(12).isOther());
    QVERIFY(!Pick::ring(12).isOther());
    QVERIFY(Pick::ring(13).isOther());
}

void TestMaterials::otherMaterial_data()
{
    QTest::addColumn<bool>("strip");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("bare");       // code without braces
    QTest::addColumn<QString>("described");  // name in the SNP description

    for (bool strip : {false, true}) {
        const QString list = strip ? QStringLiteral("strip ") : QStringLiteral("ring ");
        QTest::newRow(qPrintable(list + "untouched")) << strip << "<другой материал>" << "{др.}"
                                                      << "др." << "другой материал";
        QTest::newRow(qPrintable(list + "empty")) << strip << "" << "{др.}" << "др."
                                                  << "другой материал";
        QTest::newRow(qPrintable(list + "blanks")) << strip << "   " << "{др.}" << "др."
                                                   << "другой материал";
        QTest::newRow(qPrintable(list + "typed")) << strip << "Сталь 45" << "{Сталь 45}"
                                                  << "Сталь 45" << "Сталь 45";
        QTest::newRow(qPrintable(list + "typed, blanks kept")) << strip << " Сталь 45 "
                                                               << "{ Сталь 45 }" << " Сталь 45 "
                                                               << "Сталь 45";
        QTest::newRow(qPrintable(list + "edited bracket text")) << strip << "<другой" << "{др.}"
                                                                << "др." << "другой материал";
    }
}

void TestMaterials::otherMaterial()
{
    QFETCH(bool, strip);
    QFETCH(QString, text);
    QFETCH(QString, code);
    QFETCH(QString, bare);
    QFETCH(QString, described);
    const Pick p = strip ? Pick::stripOther(text) : Pick::ringOther(text);
    QVERIFY(p.isOther());
    QCOMPARE(p.index, p.count - 1);
    QCOMPARE(materials::code(p), code);
    QCOMPARE(materials::codeNoBraces(p), bare);
    QCOMPARE(snp::materialDescriptionName(p), described);
}

void TestMaterials::carcFollowsRing_data()
{
    QTest::addColumn<int>("ring");
    QTest::addColumn<int>("strip");   // -1: the strip stays as it was

    for (int i = 0; i <= 7; ++i)
        QTest::newRow(qPrintable(QString::number(i))) << i << i;
    for (int i = 8; i <= 12; ++i)
        QTest::newRow(qPrintable(QString::number(i))) << i << i - 1;
    QTest::newRow("other") << 13 << -1;
    QTest::newRow("no current entry") << -1 << -1;
}

void TestMaterials::carcFollowsRing()
{
    QFETCH(int, ring);
    QFETCH(int, strip);
    QCOMPARE(materials::carcIndexForRing(ring, materials::ringList().size()), strip);
    // Outside carbon steel the winding gets the same metal as the ring.
    if (strip >= 0 && ring != materials::kCarbonSteelRing)
        QCOMPARE(materials::code(Pick::strip(strip)), materials::code(Pick::ring(ring)));
}

void TestMaterials::materialName_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");

    const QStringList o = {"304 (08X18H9)", "304L (03X18H11)", "321 (12X18H10T)",
                           "316 (10X17H13M2)", "316L (03X17H13M2)", "316Ti (10X17H13M2T)",
                           "Inconel 600", "Monel", "Incoloy 800", "Титан ВТ-1",
                           "Hastelloy C", "Hastelloy B", ""};
    const QStringList other = {"304 (08X18H9)", "304L (03X18H11)", "321 (12X18H10T)",
                               "316 (10X17H13M2)", "316L (03X17H13M2)", "316Ti (10X17H13M2T)",
                               "Inconel 600", "CRS (Carbon steel)", "Monel", "Incoloy 800",
                               "Титан ВТ-1", "Hastelloy C", "Hastelloy B"};
    for (int i = 0; i < 13; ++i) {
        QTest::newRow(qPrintable(QStringLiteral("O %1").arg(i))) << "O" << i << o[i];
        QTest::newRow(qPrintable(QStringLiteral("AE %1").arg(i))) << "AE" << i << other[i];
    }
    QTest::newRow("empty kind 12") << "" << 12 << "Hastelloy B";
    QTest::newRow("O 13") << "O" << 13 << "";
    QTest::newRow("AE 13") << "AE" << 13 << "";
    QTest::newRow("O -1") << "O" << -1 << "";
    QTest::newRow("lower-case o is another kind") << "o" << 7 << "CRS (Carbon steel)";
}

void TestMaterials::materialName()
{
    QFETCH(QString, kind);
    QFETCH(int, index);
    QFETCH(QString, name);
    QCOMPARE(materials::MaterialName(kind, index), name);
}

QTEST_APPLESS_MAIN(TestMaterials)
#include "tst_materials.moc"
