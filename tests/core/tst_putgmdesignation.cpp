#include "putgmdesignation.h"

#include <QtTest>
#include <functional>

using putgm::PutgmChoices;
using Setup = std::function<void(PutgmChoices &)>;
Q_DECLARE_METATYPE(Setup)

namespace {

// Start state with a size and pressure row picked and the server's diameters.
PutgmChoices round(const Setup &setup)
{
    PutgmChoices c = putgm::startState();
    c.PUTGmSize = QStringLiteral("10");
    c.PUTGmPress = QStringLiteral("1,6 (16,0)");
    c.PUTGmD4 = QStringLiteral("60");
    c.PUTGmD3 = QStringLiteral("39");
    c.PUTGmD2 = QStringLiteral("18");
    c.PUTGmD1 = QStringLiteral("12");
    if (setup)
        setup(c);
    return c;
}

void nonRound(PutgmChoices &c, const char *shape, const char *mode)
{
    c.PUTGmConfig = QString::fromLatin1(shape);
    c.PUTGm_Config_Ellipse = c.PUTGmConfig == QLatin1String("ell");
    c.PUTGmSizeMode = QString::fromLatin1(mode);
    c.PUTGmD3.clear();
    c.PUTGmD2.clear();
    if (c.PUTGmSizeMode == QLatin1String("gab")) {
        c.PUTGmA1 = QStringLiteral("300");
        c.PUTGmA2 = QStringLiteral("200");
        c.PUTGmB1 = QStringLiteral("260");
        c.PUTGmB2 = QStringLiteral("160");
    } else {
        c.PUTGmA1 = QStringLiteral("500");
        c.PUTGmB1 = QStringLiteral("300");
        c.PUTGmC = QStringLiteral("20");
    }
}

Setup base(const char *osn)
{
    return [osn](PutgmChoices &c) { c.PUTGmOsn = QString::fromLatin1(osn); };
}

// Catalogue entry 0 keeps the blank of its code column.
const QString kSteel = QStringLiteral(" AISI 304 (08X18H9)");
const QString kWave = QStringLiteral(" на металлическом волновом основании из стали ") + kSteel;
const QString kPlate1 = QStringLiteral(", с уплотнительным элементом из неармированного ТРГ");
const QString kFacingA =
    QStringLiteral(", для применения на фланцах с уплотнительной поверхностью \"соединительный выступ\"");

} // namespace

class TestPutgmDesignation : public QObject
{
    Q_OBJECT

private slots:
    void designation_data();
    void designation();
    void diameterString_data();
    void diameterString();
    void incomplete_data();
    void incomplete();
    void groupPiece_data();
    void groupPiece();
    void description_data();
    void description();
};

void TestPutgmDesignation::designation_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("expected");

    QTest::newRow("defaults") << Setup() << QStringLiteral("ПУТГм-А-09-01-10-1,6-3,0 [39 x 18]");

    // Multilayer bases with and without a layer count.
    QTest::newRow("09x with 3 layers") << Setup([](PutgmChoices &c) {
        c.PUTGmOsn = QStringLiteral("09x");
        c.PUTGm_09x_Edit = QStringLiteral("3");
        c.PUTGmDepth = QStringLiteral("9,0 (3 слоя)");
    }) << QStringLiteral("ПУТГм-А-09(3)-01-10-1,6-9,0 [39 x 18]");
    QTest::newRow("09x without count") << base("09x")
                                       << QStringLiteral("ПУТГм-А-09(x)-01-10-1,6-3,0 [39 x 18]");
    QTest::newRow("08x with 4 layers") << Setup([](PutgmChoices &c) {
        c.PUTGmOsn = QStringLiteral("08x");
        c.PUTGm_08x_Edit = QStringLiteral("4");
        c.PUTGm_09x_Edit = QStringLiteral("2"); // the other base's field plays no part
        c.PUTGmDepth = QStringLiteral("16,0 (4 слоя)");
    }) << QStringLiteral("ПУТГм-А-08(4)-01-10-1,6-16,0 [39 x 18]");
    QTest::newRow("08x without count") << base("08x")
                                       << QStringLiteral("ПУТГм-А-08(x)-01-10-1,6-3,0 [39 x 18]");
    QTest::newRow("single-layer base ignores the layer field") << Setup([](PutgmChoices &c) {
        c.PUTGmOsn = QStringLiteral("08");
        c.PUTGm_08x_Edit = QStringLiteral("3");
    }) << QStringLiteral("ПУТГм-А-08-01-10-1,6-3,0 [39 x 18]");
    QTest::newRow("base 095") << base("095")
                              << QStringLiteral("ПУТГм-А-095-01-10-1,6-3,0 [60 x 39 x 18 x 12]");

    // Non-standard round gasket: no pressure piece.
    QTest::newRow("non-standard round") << Setup([](PutgmChoices &c) { c.PUTGm_Input_Box = true; })
                                        << QStringLiteral("ПУТГм-А-09-01-39 x 18-3,0 [нестанд.]");
    QTest::newRow("non-standard 095 on ASME") << Setup([](PutgmChoices &c) {
        c.PUTGm_Input_Box = true;
        c.PUTGmOsn = QStringLiteral("095");
        c.PUTGmStandard = QStringLiteral("ASME165");
    }) << QStringLiteral("ПУТГм-А-095-01-60 x 39 x 18 x 12-3,0 [нестанд.]");

    // Standards and shapes.
    QTest::newRow("round ASME B16.5") << Setup([](PutgmChoices &c) {
        c.PUTGmStandard = QStringLiteral("ASME165");
        c.PUTGmPress = QStringLiteral("150 (20)");
    }) << QStringLiteral("ПУТГм-А-09-01-10-150#-3,0 ASME B 16.20 [39 x 18]");
    QTest::newRow("round ASME B16.47 A with holes") << Setup([](PutgmChoices &c) {
        c.PUTGmStandard = QStringLiteral("ASME1647A");
        c.PUTGmPress = QStringLiteral("300");
        c.PUTGm_Otv_checkBox = true;
    }) << QStringLiteral("ПУТГм-А-09-01-10-300#-3,0 (черт.) [39 x 18]");
    QTest::newRow("rect on ASME: no #") << Setup([](PutgmChoices &c) {
        nonRound(c, "rect", "gab");
        c.PUTGmStandard = QStringLiteral("ASME165");
        c.PUTGmPress = QStringLiteral("150 (20)");
    }) << QStringLiteral("ПУТГм-Ап-09-01-300 x 200 x 260 x 160-150-3,0");
    QTest::newRow("oval fie") << Setup([](PutgmChoices &c) { nonRound(c, "ell", "fie"); })
                              << QStringLiteral("ПУТГм-Ао-09-01-500 x 300 x 20-1,6-3,0 (черт.)");
    QTest::newRow("GOST 28759 round") << Setup([](PutgmChoices &c) {
        c.PUTGmStandard = QStringLiteral("GOST287");
        c.PUTGmFlanType = QStringLiteral("C");
    }) << QStringLiteral("ПУТГм-В2-09-01-10-1,6-3,0 [39 x 18]");
    QTest::newRow("GOST 28759 rect") << Setup([](PutgmChoices &c) {
        nonRound(c, "rect", "fie");
        c.PUTGmStandard = QStringLiteral("GOST287");
        c.PUTGmFlanType = QStringLiteral("B");
    }) << QStringLiteral("ПУТГм-Бп-09-01-500 x 300 x 20-1,6-3,0");

    // Thickness with a layer note.
    QTest::newRow("layered thickness") << Setup([](PutgmChoices &c) {
        c.PUTGmOsn = QStringLiteral("09x");
        c.PUTGm_09x_Edit = QStringLiteral("4");
        c.PUTGmDepth = QStringLiteral("12,0 (4 слоя)");
    }) << QStringLiteral("ПУТГм-А-09(4)-01-10-1,6-12,0 [39 x 18]");
    QTest::newRow("typed thickness with a blank") << Setup([](PutgmChoices &c) {
        c.PUTGmDepth = QStringLiteral("3,2 мм");
    }) << QStringLiteral("ПУТГм-А-09-01-10-1,6-3,2 мм [39 x 18]");

    // Jumper and constructive elements.
    QTest::newRow("jumper A/5") << Setup([](PutgmChoices &c) {
        c.PUTGm_Perem_Yes = true;
        c.PUTGm_Perem_Depth_Edit = QStringLiteral("5");
    }) << QStringLiteral("ПУТГм-А-09-01(A/5)-10-1,6-3,0 [39 x 18]");
    QTest::newRow("jumper C, fixing, self-adhesive") << Setup([](PutgmChoices &c) {
        c.PUTGm_Perem_Yes = true;
        c.PUTGm_Perem_Box = QStringLiteral("C");
        c.PUTGm_KVF_checkBox = true;
        c.PUTGmFixBox = QStringLiteral("Ф1-24");
        c.PUTGm_HowMade_Box = 1;
        c.PUTGmStandard = QStringLiteral("ASME165");
    }) << QStringLiteral("ПУТГм-А-09-01(C)-10-1,6#-3,0 (Ф1-24, черт., СК) [39 x 18]");
    QTest::newRow("self-adhesive alone keeps the ASME suffix") << Setup([](PutgmChoices &c) {
        c.PUTGm_HowMade_Box = 1;
        c.PUTGmStandard = QStringLiteral("ASME1647B");
    }) << QStringLiteral("ПУТГм-А-09-01-10-1,6#-3,0 (СК) ASME B 16.47 B [39 x 18]");
    QTest::newRow("group and modifying element") << Setup([](PutgmChoices &c) {
        c.PUTGmConst = QStringLiteral("02");
        c.PUTGm_ModElem = 4;
        c.PUTGm_Otv_checkBox = true;
    }) << QStringLiteral("ПУТГм-А-09-02-10-1,6-3,0-121(Н-14) (черт.) [39 x 18]");
}

void TestPutgmDesignation::designation()
{
    QFETCH(Setup, setup);
    QFETCH(QString, expected);
    QCOMPARE(putgm::designation(round(setup)), expected);
}

void TestPutgmDesignation::diameterString_data()
{
    QTest::addColumn<QString>("osn");
    QTest::addColumn<QString>("expected");

    QTest::newRow("09") << "09" << "39 x 18";
    QTest::newRow("099") << "099" << "39 x 18";
    QTest::newRow("08") << "08" << "39 x 18";
    QTest::newRow("09x") << "09x" << "39 x 18";
    QTest::newRow("08x") << "08x" << "39 x 18";
    QTest::newRow("091") << "091" << "60 x 39 x 18";
    QTest::newRow("093") << "093" << "60 x 39 x 18";
    QTest::newRow("097") << "097" << "60 x 39 x 18";
    QTest::newRow("098") << "098" << "60 x 39 x 18";
    QTest::newRow("092") << "092" << "39 x 18 x 12";
    QTest::newRow("095") << "095" << "60 x 39 x 18 x 12";
}

void TestPutgmDesignation::diameterString()
{
    QFETCH(QString, osn);
    QFETCH(QString, expected);
    PutgmChoices c = round(Setup());
    c.PUTGmOsn = osn;
    QCOMPARE(putgm::diameterString(c), expected);
    // The bracketed dimensions and the non-standard size piece use the same string.
    QVERIFY(putgm::designation(c).endsWith(QStringLiteral(" [") + expected + QLatin1Char(']')));
    c.PUTGm_Input_Box = true;
    QVERIFY(putgm::designation(c).contains(QLatin1Char('-') + expected + QLatin1Char('-')));
}

void TestPutgmDesignation::incomplete_data()
{
    QTest::addColumn<Setup>("setup");

    QTest::newRow("round without D2 and D3") << Setup([](PutgmChoices &c) {
        c.PUTGmD2.clear();
        c.PUTGmD3.clear();
    });
    QTest::newRow("typed, D2 and D3 empty") << Setup([](PutgmChoices &c) {
        c.PUTGm_Input_Box = true;
        c.PUTGmOsn = QStringLiteral("095");
        c.PUTGmD2.clear();
        c.PUTGmD3.clear();
    });
    QTest::newRow("rect gab without A2") << Setup([](PutgmChoices &c) {
        nonRound(c, "rect", "gab");
        c.PUTGmA2.clear();
    });
    QTest::newRow("oval fie without B1") << Setup([](PutgmChoices &c) {
        nonRound(c, "ell", "fie");
        c.PUTGmB1.clear();
    });
    QTest::newRow("oval without sizing mode") << Setup([](PutgmChoices &c) {
        nonRound(c, "ell", "fie");
        c.PUTGmSizeMode.clear();
    });
}

void TestPutgmDesignation::incomplete()
{
    QFETCH(Setup, setup);
    const PutgmChoices c = round(setup);
    QVERIFY(!putgm::isComplete(c));
    QCOMPARE(putgm::designation(c), QString());
    QCOMPARE(putgm::description(c), QString());
}

void TestPutgmDesignation::groupPiece_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("piece");

    auto with = [](const char *k, int obturator, const char *plak) {
        return Setup([=](PutgmChoices &c) {
            c.PUTGmConst = QString::fromLatin1(k);
            c.PUTGm_O_Material = materials::Pick::strip(obturator);
            c.PUTGmPlak = QString::fromLatin1(plak);
        });
    };
    QTest::newRow("121 left out") << with("02", 2, "1") << "";
    QTest::newRow("111 left out") << with("03", 0, "1") << "";
    QTest::newRow("120 left out") << with("04", 2, "0") << "";
    QTest::newRow("110 left out") << with("02", 0, "0") << "";
    QTest::newRow("101 left out") << with("01", 2, "1") << "";
    QTest::newRow("100 left out") << with("01", 5, "0") << "";
    QTest::newRow("121 with Н-14") << Setup([](PutgmChoices &c) {
        c.PUTGmConst = QStringLiteral("02");
        c.PUTGm_ModElem = 4;
    }) << "-121(Н-14)";
    QTest::newRow("101 with mica") << Setup([](PutgmChoices &c) { c.PUTGm_ModElem = 1; }) << "-101(С)";
    QTest::newRow("01 replaces the obturator") << with("01", 5, "3") << "-103";
    QTest::newRow("04 keeps the obturator") << with("04", 5, "3") << "-13Ti3";
    QTest::newRow("no sealing element") << with("01", 2, "9") << "-109";
    QTest::newRow("base steel 316 Ti") << Setup([](PutgmChoices &c) {
        c.PUTGm_AE_Material = materials::Pick::ring(5);
    }) << "-3Ti01";
    QTest::newRow("other base steel typed") << Setup([](PutgmChoices &c) {
        c.PUTGm_AE_Material = materials::Pick::ringOther(QStringLiteral("12Х18Н10Т"));
    }) << "-12Х18Н10Т01";
    QTest::newRow("other base steel untouched") << Setup([](PutgmChoices &c) {
        c.PUTGm_AE_Material = materials::Pick::ring(13);
    }) << "-др.01";
    QTest::newRow("other obturator, blanks") << Setup([](PutgmChoices &c) {
        c.PUTGmConst = QStringLiteral("03");
        c.PUTGm_O_Material = materials::Pick::stripOther(QStringLiteral("  "));
    }) << "-1др.1";
    QTest::newRow("Al") << Setup([](PutgmChoices &c) { c.PUTGm_ModElem = 2; }) << "-101(Al)";
    QTest::newRow("Н-8") << Setup([](PutgmChoices &c) { c.PUTGm_ModElem = 3; }) << "-101(Н-8)";
    QTest::newRow("Н-18") << Setup([](PutgmChoices &c) { c.PUTGm_ModElem = 5; }) << "-101(Н-18)";
}

void TestPutgmDesignation::groupPiece()
{
    QFETCH(Setup, setup);
    QFETCH(QString, piece);
    const PutgmChoices c = round(setup);
    QCOMPARE(putgm::groupPiece(c), piece);
    const QStringList pieces = putgm::designationPieces(c);
    QCOMPARE(pieces.value(6), piece);
    QCOMPARE(pieces.value(5), c.PUTGmDepth);
}

void TestPutgmDesignation::description_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("expected");

    const QString dn = QStringLiteral(", DN = 10, PN = 1,6");
    QTest::newRow("defaults") << Setup()
                              << QStringLiteral("Прокладка") + kWave + QStringLiteral(", без обтюраторов") + kPlate1
                                     + kFacingA + dn + QStringLiteral(", с размерами 39 x 18 и толщиной 3,0");
    QTest::newRow("09x with layers") << Setup([](PutgmChoices &c) {
        c.PUTGmOsn = QStringLiteral("09x");
        c.PUTGm_09x_Edit = QStringLiteral("3");
        c.PUTGmDepth = QStringLiteral("9,0 (3 слоя)");
    }) << QStringLiteral("Прокладка на многослойном (3 слоя) металлическом волновом основании  из стали ") + kSteel
              + QStringLiteral(", без обтюраторов") + kPlate1 + kFacingA + dn
              + QStringLiteral(", с размерами 39 x 18 и толщиной 9,0 (3 слоя)");
    QTest::newRow("08x with layers") << Setup([](PutgmChoices &c) {
        c.PUTGmOsn = QStringLiteral("08x");
        c.PUTGm_08x_Edit = QStringLiteral("4");
        c.PUTGmDepth = QStringLiteral("12,0 (4 слоя)");
    }) << QStringLiteral("Прокладка на многослойном (4 слоя) металлическом гладком основании из стали ") + kSteel
              + QStringLiteral(", без обтюраторов") + kPlate1 + kFacingA + dn
              + QStringLiteral(", с размерами 39 x 18 и толщиной 12,0 (4 слоя)");
    QTest::newRow("095, construction 04, Monel") << Setup([](PutgmChoices &c) {
        c.PUTGmOsn = QStringLiteral("095");
        c.PUTGmConst = QStringLiteral("04");
        c.PUTGm_O_Material = materials::Pick::strip(7);
        c.PUTGmPlak = QStringLiteral("4");
        c.PUTGmFlanType = QStringLiteral("B");
    }) << QStringLiteral("Прокладка") + kWave
              + QStringLiteral(" с наружным графитовым центрирующим кольцом и внутренним тампонирующим элементом"
                               ", с наружным и внутренним обтюраторами из стали  Monel"
                               ", с уплотнительным элементом из ТРГ, многослойно армированного перфорированной нержавеющей лентой"
                               ", для применения на фланцах с уплотнительной поверхностью \"выступ-впадина\"")
              + dn + QStringLiteral(", с размерами 60 x 39 x 18 x 12 и толщиной 3,0");
    QTest::newRow("099 basalt, tongue and groove") << Setup([](PutgmChoices &c) {
        c.PUTGmOsn = QStringLiteral("099");
        c.PUTGmPlak = QStringLiteral("7");
        c.PUTGmFlanType = QStringLiteral("C");
        c.PUTGmConst = QStringLiteral("03");
        c.PUTGm_AE_Material = materials::Pick::ring(1);
    }) << QStringLiteral("Прокладка на металлическом волновом основании из стали AISI 304L (03Х18Н11) со вторичной волной"
                         ", с наружным обтюратором из стали  AISI 321 (12X18H10T)"
                         ", с уплотнительным элементом из базальтового волокна"
                         ", для применения на фланцах с уплотнительной поверхностью \"шип-паз\"")
              + dn + QStringLiteral(", с размерами 39 x 18 и толщиной 3,0");
    QTest::newRow("rect fie") << Setup([](PutgmChoices &c) { nonRound(c, "rect", "fie"); })
                              << QStringLiteral("Прокладка прямоугольной формы") + kWave
                                     + QStringLiteral(", без обтюраторов") + kPlate1 + kFacingA
                                     + QStringLiteral(", с размерами 500 x 300 x 20 и толщиной 3,0");
    QTest::newRow("oval gab, no sealing element") << Setup([](PutgmChoices &c) {
        nonRound(c, "ell", "gab");
        c.PUTGmPlak = QStringLiteral("9");
    }) << QStringLiteral("Прокладка овальной формы") + kWave + QStringLiteral(", без обтюраторов")
              + QStringLiteral(", без уплотнительного элемента") + kFacingA
              + QStringLiteral(", с размерами 300 x 200 x 260 x 160 и толщиной 3,0");
    QTest::newRow("non-standard round") << Setup([](PutgmChoices &c) { c.PUTGm_Input_Box = true; })
                                        << QStringLiteral("Прокладка") + kWave + QStringLiteral(", без обтюраторов") + kPlate1
                                               + kFacingA + QStringLiteral(", с нестандартными размерами 39 x 18 и толщиной 3,0");
    QTest::newRow("features in order") << Setup([](PutgmChoices &c) {
        c.PUTGm_ModElem = 5;
        c.PUTGm_KVF_checkBox = true;
        c.PUTGmFixBox = QStringLiteral("Ф1-20");
        c.PUTGm_HowMade_Box = 1;
        c.PUTGm_Otv_checkBox = true;
        c.PUTGm_Perem_Yes = true;
        c.PUTGm_Perem_Depth_Edit = QStringLiteral("8");
    }) << QStringLiteral("Прокладка") + kWave + QStringLiteral(", без обтюраторов") + kPlate1 + kFacingA + dn
              + QStringLiteral(", с добавлением ингибитора окисления И(Н-18), с фиксатором Ф1-20"
                               ", с элементом для крепления на поверхности, с отверстиями (по чертежу)"
                               ", с перемычкой типа A шириной 8 мм, с размерами 39 x 18 и толщиной 3,0");
    // A typed steel name reaches the description whole.
    QTest::newRow("other base steel typed") << Setup([](PutgmChoices &c) {
        c.PUTGm_AE_Material = materials::Pick::ringOther(QStringLiteral("12Х18Н10Т"));
    }) << QStringLiteral("Прокладка на металлическом волновом основании из стали 12Х18Н10Т, без обтюраторов") + kPlate1
              + kFacingA + dn + QStringLiteral(", с размерами 39 x 18 и толщиной 3,0");
    QTest::newRow("other base untouched") << Setup([](PutgmChoices &c) {
        c.PUTGm_AE_Material = materials::Pick::ring(13);
    }) << QStringLiteral("Прокладка на металлическом волновом основании из стали другой материал, без обтюраторов") + kPlate1
              + kFacingA + dn + QStringLiteral(", с размерами 39 x 18 и толщиной 3,0");
    QTest::newRow("other base typed blanks") << Setup([](PutgmChoices &c) {
        c.PUTGm_AE_Material = materials::Pick::ringOther(QStringLiteral("   "));
    }) << QStringLiteral("Прокладка на металлическом волновом основании из стали другой материал, без обтюраторов") + kPlate1
              + kFacingA + dn + QStringLiteral(", с размерами 39 x 18 и толщиной 3,0");
    QTest::newRow("other obturator untouched") << Setup([](PutgmChoices &c) {
        c.PUTGmConst = QStringLiteral("02");
        c.PUTGm_O_Material = materials::Pick::strip(12);
    }) << QStringLiteral("Прокладка") + kWave + QStringLiteral(", с внутренним обтюратором из стали другой материал") + kPlate1
              + kFacingA + dn + QStringLiteral(", с размерами 39 x 18 и толщиной 3,0");
}

void TestPutgmDesignation::description()
{
    QFETCH(Setup, setup);
    QFETCH(QString, expected);
    const PutgmChoices c = round(setup);
    QVERIFY(!putgm::designation(c).isEmpty());
    QCOMPARE(putgm::description(c), expected);
}

QTEST_APPLESS_MAIN(TestPutgmDesignation)
#include "tst_putgmdesignation.moc"
