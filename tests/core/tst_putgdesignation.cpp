#include "putgdesignation.h"

#include <QtTest>
#include <functional>

using putg::PutgChoices;
using Setup = std::function<void(PutgChoices &)>;
Q_DECLARE_METATYPE(Setup)

namespace {

// Start state of the tab with the diameters a server answer would bring.
PutgChoices round(const Setup &setup)
{
    PutgChoices c = putg::startState();
    c.PUTGD3 = QStringLiteral("39");
    c.PUTGD2 = QStringLiteral("18");
    if (setup)
        setup(c);
    return c;
}

void typedDiameters(PutgChoices &c, const char *construction)
{
    c.PUTGConst = QString::fromLatin1(construction);
    c.PUTG_Input_Box = true;
    c.PUTGD4 = QStringLiteral("100");
    c.PUTGD3 = QStringLiteral("80");
    c.PUTGD2 = QStringLiteral("60");
    c.PUTGD1 = QStringLiteral("40");
}

void nonRound(PutgChoices &c, const char *shape, const char *mode)
{
    c.PUTGConfig = QString::fromLatin1(shape);
    c.PUTG_Config_Ellipse = c.PUTGConfig == QLatin1String("ell");
    c.PUTGSizeMode = QString::fromLatin1(mode);
    c.PUTGD3.clear();
    c.PUTGD2.clear();
    if (c.PUTGSizeMode == QLatin1String("gab")) {
        c.PUTGA1 = QStringLiteral("300");
        c.PUTGA2 = QStringLiteral("200");
        c.PUTGB1 = QStringLiteral("260");
        c.PUTGB2 = QStringLiteral("160");
    } else {
        c.PUTGA1 = QStringLiteral("500");
        c.PUTGB1 = QStringLiteral("300");
        c.PUTGC = QStringLiteral("20");
    }
}

const QString kIntro = QStringLiteral("Прокладка из терморасширенного графита (ТРГ), ");
const QString k212 = QStringLiteral("армированная перфорированной нержавеющей лентой  б=0,1 мм марки 304 (08X18H9)");

} // namespace

class TestPutgDesignation : public QObject
{
    Q_OBJECT

private slots:
    void designation_data();
    void designation();
    void incomplete_data();
    void incomplete();
    void groupCode_data();
    void groupCode();
    void description_data();
    void description();
};

void TestPutgDesignation::designation_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("expected");

    // Worked example: defaults, D3 39 and D2 18.
    QTest::newRow("defaults") << Setup() << QStringLiteral("ПУТГ-А-2-212-01-10-1,6-1,0  [39 x 18]");
    QTest::newRow("only D3 passes the gate")
        << Setup([](PutgChoices &c) { c.PUTGD2.clear(); })
        << QStringLiteral("ПУТГ-А-2-212-01-10-1,6-1,0  [39 x ]");

    // Typed diameters.
    QTest::newRow("044 typed") << Setup([](PutgChoices &c) { typedDiameters(c, "044"); })
                               << QStringLiteral("ПУТГ-А-2-212-044-100 x 80 x 60 x 40-1,6-1,0  [нестанд.]");
    QTest::newRow("014 typed") << Setup([](PutgChoices &c) { typedDiameters(c, "014"); })
                               << QStringLiteral("ПУТГ-А-2-212-014-100 x 80 x 60 x 40-1,6-1,0  [нестанд.]");
    QTest::newRow("043 typed") << Setup([](PutgChoices &c) { typedDiameters(c, "043"); })
                               << QStringLiteral("ПУТГ-А-2-212-043-100 x 80 x 60-1,6-1,0  [нестанд.]");
    QTest::newRow("012 typed") << Setup([](PutgChoices &c) { typedDiameters(c, "012"); })
                               << QStringLiteral("ПУТГ-А-2-212-012-80 x 60 x 40-1,6-1,0  [нестанд.]");
    QTest::newRow("044 typed on ASME: no suffix")
        << Setup([](PutgChoices &c) {
               typedDiameters(c, "044");
               c.PUTGStandard = QStringLiteral("ASME165");
               c.PUTGPress = QStringLiteral("150");
           })
        << QStringLiteral("ПУТГ-А-2-212-044-100 x 80 x 60 x 40-150#-1,0  [нестанд.]");
    QTest::newRow("044 from the server")
        << Setup([](PutgChoices &c) {
               typedDiameters(c, "044");
               c.PUTG_Input_Box = false;
           })
        << QStringLiteral("ПУТГ-А-2-212-044-10-1,6-1,0  [100 x 80 x 60 x 40]");

    // Facing, standard and shape marks.
    QTest::newRow("facing B") << Setup([](PutgChoices &c) { c.PUTGFlanType = QStringLiteral("B"); })
                              << QStringLiteral("ПУТГ-Б-2-212-01-10-1,6-1,0  [39 x 18]");
    QTest::newRow("facing C") << Setup([](PutgChoices &c) { c.PUTGFlanType = QStringLiteral("C"); })
                              << QStringLiteral("ПУТГ-В-2-212-01-10-1,6-1,0  [39 x 18]");
    QTest::newRow("facing R") << Setup([](PutgChoices &c) { c.PUTGFlanType = QStringLiteral("R"); })
                              << QStringLiteral("ПУТГ-Р-2-212-01-10-1,6-1,0  [39 x 18]");
    QTest::newRow("unknown facing") << Setup([](PutgChoices &c) { c.PUTGFlanType = QStringLiteral("Z"); })
                                    << QStringLiteral("ПУТГ--2-212-01-10-1,6-1,0  [39 x 18]");
    QTest::newRow("GOST 28759 round")
        << Setup([](PutgChoices &c) { c.PUTGStandard = QStringLiteral("GOST287"); })
        << QStringLiteral("ПУТГ-А2-2-212-01-10-1,6-1,0  [39 x 18]");
    QTest::newRow("GOST 28759 rect")
        << Setup([](PutgChoices &c) {
               c.PUTGStandard = QStringLiteral("GOST287");
               nonRound(c, "rect", "fie");
           })
        << QStringLiteral("ПУТГ-Ап-2-212-01-500 x 300 x 20-1,6-1,0 ");

    // Shapes in both sizing modes.
    QTest::newRow("rect gab") << Setup([](PutgChoices &c) { nonRound(c, "rect", "gab"); })
                              << QStringLiteral("ПУТГ-Ап-2-212-01-300 x 200 x 260 x 160-1,6-1,0 ");
    QTest::newRow("rect fie on ASME")
        << Setup([](PutgChoices &c) {
               nonRound(c, "rect", "fie");
               c.PUTGStandard = QStringLiteral("ASME1647A");
               c.PUTGPress = QStringLiteral("300 (50)");
           })
        << QStringLiteral("ПУТГ-Ап-2-212-01-500 x 300 x 20-300#-1,0 ");
    QTest::newRow("oval gab") << Setup([](PutgChoices &c) { nonRound(c, "ell", "gab"); })
                              << QStringLiteral("ПУТГ-Ао-2-212-01-300 x 200 x 260 x 160-1,6-1,0 (черт.)");
    QTest::newRow("oval fie with fixing")
        << Setup([](PutgChoices &c) {
               nonRound(c, "ell", "fie");
               c.PUTG_KVF_checkBox = true;
               c.PUTGFixBox = QStringLiteral("Ф1-33");
           })
        << QStringLiteral("ПУТГ-Ао-2-212-01-500 x 300 x 20-1,6-1,0 (Ф1-33, черт.)");

    // Jumpers.
    QTest::newRow("jumper A/5") << Setup([](PutgChoices &c) {
        c.PUTG_Perem_Yes = true;
        c.PUTG_Perem_Depth_Edit = QStringLiteral("5");
    }) << QStringLiteral("ПУТГ-А-2-212-01(A/5)-10-1,6-1,0  [39 x 18]");
    QTest::newRow("jumper A without width")
        << Setup([](PutgChoices &c) { c.PUTG_Perem_Yes = true; })
        << QStringLiteral("ПУТГ-А-2-212-01(A)-10-1,6-1,0  [39 x 18]");
    QTest::newRow("jumper B") << Setup([](PutgChoices &c) {
        c.PUTG_Perem_Yes = true;
        c.PUTG_Perem_Box = QStringLiteral("B");
    }) << QStringLiteral("ПУТГ-А-2-212-01(B)-10-1,6-1,0 (черт.) [39 x 18]");
    QTest::newRow("jumper M needs no drawing") << Setup([](PutgChoices &c) {
        c.PUTG_Perem_Yes = true;
        c.PUTG_Perem_Box = QStringLiteral("M");
    }) << QStringLiteral("ПУТГ-А-2-212-01(M)-10-1,6-1,0  [39 x 18]");
    QTest::newRow("jumper letter ignored when off") << Setup([](PutgChoices &c) {
        c.PUTG_Perem_Box = QStringLiteral("B");
        c.PUTG_Perem_Depth_Edit = QStringLiteral("5");
    }) << QStringLiteral("ПУТГ-А-2-212-01-10-1,6-1,0  [39 x 18]");

    // ASME pressure and suffix.
    QTest::newRow("ASME B16.5") << Setup([](PutgChoices &c) {
        c.PUTGStandard = QStringLiteral("ASME165");
        c.PUTGPress = QStringLiteral("150 (20)");
    }) << QStringLiteral("ПУТГ-А-2-212-01-10-150#-1,0  ASME B 16.20 [39 x 18]");
    QTest::newRow("ASME B16.47 B") << Setup([](PutgChoices &c) {
        c.PUTGStandard = QStringLiteral("ASME1647B");
        c.PUTGPress = QStringLiteral("75");
    }) << QStringLiteral("ПУТГ-А-2-212-01-10-75#-1,0  ASME B 16.47 B [39 x 18]");
    QTest::newRow("ASME with holes: no suffix") << Setup([](PutgChoices &c) {
        c.PUTGStandard = QStringLiteral("ASME1647A");
        c.PUTGPress = QStringLiteral("150");
        c.PUTG_Otv_checkBox = true;
    }) << QStringLiteral("ПУТГ-А-2-212-01-10-150#-1,0 (черт.) [39 x 18]");
    QTest::newRow("EN 1514") << Setup([](PutgChoices &c) {
        c.PUTGStandard = QStringLiteral("EN1514");
        c.PUTGPress = QStringLiteral("2,5");
    }) << QStringLiteral("ПУТГ-А-2-212-01-10-2,5-1,0  [39 x 18]");

    // Purity, reinforcement, materials.
    QTest::newRow("purity class 1") << Setup([](PutgChoices &c) { c.PUTGCleenBox = 1; })
                                    << QStringLiteral("ПУТГ-А-1-212-01-10-1,6-1,0  [39 x 18]");
    QTest::newRow("reinforcement 100") << Setup([](PutgChoices &c) {
        c.PUTGPrType = QStringLiteral("100");
        c.PUTG_AE_Material = materials::Pick::ring(5);
    }) << QStringLiteral("ПУТГ-А-2-100-01-10-1,6-1,0  [39 x 18]");
    QTest::newRow("modifying element Н-14") << Setup([](PutgChoices &c) { c.PUTG_ModElem = 4; })
                                             << QStringLiteral("ПУТГ-А-2-212-01-10-1,6-1,0-1(Н-14)-000  [39 x 18]");
    QTest::newRow("tape 3Ti") << Setup([](PutgChoices &c) {
        c.PUTG_AE_Material = materials::Pick::ring(5);
    }) << QStringLiteral("ПУТГ-А-2-212-01-10-1,6-1,0-3Ti-000  [39 x 18]");
    QTest::newRow("other obturator, nothing typed") << Setup([](PutgChoices &c) {
        c.PUTGConst = QStringLiteral("02");
        c.PUTG_O_Material = materials::Pick::strip(12);
    }) << QStringLiteral("ПУТГ-А-2-212-02-10-1,6-1,0-1-0{др.}0  [39 x 18]");
    QTest::newRow("other tape typed") << Setup([](PutgChoices &c) {
        c.PUTG_AE_Material = materials::Pick::ringOther(QStringLiteral("12Х18Н10Т"));
    }) << QStringLiteral("ПУТГ-А-2-212-01-10-1,6-1,0-{12Х18Н10Т}-000  [39 x 18]");
    QTest::newRow("other tape, blanks only") << Setup([](PutgChoices &c) {
        c.PUTG_AE_Material = materials::Pick::ringOther(QStringLiteral("   "));
    }) << QStringLiteral("ПУТГ-А-2-212-01-10-1,6-1,0-{др.}-000  [39 x 18]");

    // Constructive-element list.
    QTest::newRow("all elements") << Setup([](PutgChoices &c) {
        c.PUTG_KVF_checkBox = true;
        c.PUTGFixBox = QStringLiteral("Ф1-33");
        c.PUTG_Ras_checkBox = true;
        c.PUTG_Otv_checkBox = true;
        c.PUTG_HowMade_Box = 1;
    }) << QStringLiteral("ПУТГ-А-2-212-01-10-1,6-1,0 (Ф1-33, разъемная, черт., СК) [39 x 18]");
    QTest::newRow("split into parts alone") << Setup([](PutgChoices &c) {
        c.PUTG_Ras_checkBox = true;
        c.PUTG_Kol_Ch_Raz = QStringLiteral("4");
    }) << QStringLiteral("ПУТГ-А-2-212-01-10-1,6-1,0 (4 сегм.) [39 x 18]");
    QTest::newRow("self-adhesive alone") << Setup([](PutgChoices &c) { c.PUTG_HowMade_Box = 1; })
                                         << QStringLiteral("ПУТГ-А-2-212-01-10-1,6-1,0 (СК) [39 x 18]");
    QTest::newRow("fixing element off keeps its text out")
        << Setup([](PutgChoices &c) { c.PUTGFixBox = QStringLiteral("Ф1-33"); })
        << QStringLiteral("ПУТГ-А-2-212-01-10-1,6-1,0  [39 x 18]");
}

void TestPutgDesignation::designation()
{
    QFETCH(Setup, setup);
    QFETCH(QString, expected);
    QCOMPARE(putg::designation(round(setup)), expected);
}

void TestPutgDesignation::incomplete_data()
{
    QTest::addColumn<Setup>("setup");

    QTest::newRow("round without D2 and D3") << Setup([](PutgChoices &c) {
        c.PUTGD2.clear();
        c.PUTGD3.clear();
        c.PUTGD1 = QStringLiteral("10");
        c.PUTGD4 = QStringLiteral("50");
    });
    QTest::newRow("typed, D2 and D3 empty") << Setup([](PutgChoices &c) {
        typedDiameters(c, "044");
        c.PUTGD2.clear();
        c.PUTGD3.clear();
    });
    QTest::newRow("rect gab without B2") << Setup([](PutgChoices &c) {
        nonRound(c, "rect", "gab");
        c.PUTGB2.clear();
    });
    QTest::newRow("oval fie without C") << Setup([](PutgChoices &c) {
        nonRound(c, "ell", "fie");
        c.PUTGC.clear();
    });
    QTest::newRow("rect without sizing mode") << Setup([](PutgChoices &c) {
        nonRound(c, "rect", "gab");
        c.PUTGSizeMode.clear();
    });
    QTest::newRow("fie fields in gab mode") << Setup([](PutgChoices &c) {
        nonRound(c, "rect", "fie");
        c.PUTGSizeMode = QStringLiteral("gab");
    });
    QTest::newRow("no shape") << Setup([](PutgChoices &c) { c.PUTGConfig.clear(); });
}

void TestPutgDesignation::incomplete()
{
    QFETCH(Setup, setup);
    const PutgChoices c = round(setup);
    QVERIFY(!putg::isComplete(c));
    QCOMPARE(putg::designation(c), QString());
    QCOMPARE(putg::description(c), QString());
}

void TestPutgDesignation::groupCode_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("omitted");

    auto construction = [](const char *k) {
        return Setup([k](PutgChoices &c) { c.PUTGConst = QString::fromLatin1(k); });
    };
    QTest::newRow("01") << construction("01") << "-1-000" << true;
    QTest::newRow("02") << construction("02") << "-1-020" << true;
    QTest::newRow("04") << construction("04") << "-1-020" << true;
    QTest::newRow("042") << construction("042") << "-1-220" << true;
    QTest::newRow("043") << construction("043") << "-1-022" << true;
    QTest::newRow("044") << construction("044") << "-1-222" << true;
    QTest::newRow("012 drops the ring codes") << construction("012") << "-1-020" << true;
    QTest::newRow("100 zeroes the tape") << Setup([](PutgChoices &c) {
        c.PUTGPrType = QStringLiteral("100");
        c.PUTG_AE_Material = materials::Pick::ring(3);
    }) << "-0-000" << true;
    QTest::newRow("100 with mica") << Setup([](PutgChoices &c) {
        c.PUTGPrType = QStringLiteral("100");
        c.PUTG_ModElem = 1;
    }) << "-0(С)-000" << false;
    QTest::newRow("aluminium") << Setup([](PutgChoices &c) { c.PUTG_ModElem = 2; })
                               << "-1(Al)-000" << false;
    QTest::newRow("Н-8") << Setup([](PutgChoices &c) { c.PUTG_ModElem = 3; }) << "-1(Н-8)-000" << false;
    QTest::newRow("Н-18") << Setup([](PutgChoices &c) { c.PUTG_ModElem = 5; }) << "-1(Н-18)-000" << false;
    QTest::newRow("044 mixed rings") << Setup([](PutgChoices &c) {
        c.PUTGConst = QStringLiteral("044");
        c.PUTG_In_Material = materials::Pick::ring(3);
        c.PUTG_O_Material = materials::Pick::strip(0);
        c.PUTG_Out_Material = materials::Pick::ring(7);
    }) << "-1-315" << false;
    QTest::newRow("03 obturator 1") << Setup([](PutgChoices &c) {
        c.PUTGConst = QStringLiteral("03");
        c.PUTG_O_Material = materials::Pick::strip(0);
    }) << "-1-010" << true;
    QTest::newRow("043 all 1") << Setup([](PutgChoices &c) {
        c.PUTGConst = QStringLiteral("043");
        c.PUTG_O_Material = materials::Pick::strip(0);
        c.PUTG_Out_Material = materials::Pick::ring(0);
    }) << "-1-011" << true;
    QTest::newRow("042 Inconel ring") << Setup([](PutgChoices &c) {
        c.PUTGConst = QStringLiteral("042");
        c.PUTG_In_Material = materials::Pick::ring(6);
    }) << "-1-420" << false;
}

void TestPutgDesignation::groupCode()
{
    QFETCH(Setup, setup);
    QFETCH(QString, code);
    QFETCH(bool, omitted);
    const PutgChoices c = round(setup);
    QCOMPARE(putg::groupCode(c), code);
    QCOMPARE(putg::designation(c).contains(code), !omitted);
}

void TestPutgDesignation::description_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("expected");

    QTest::newRow("defaults") << Setup()
                              << kIntro + k212 + QStringLiteral(", без обтюраторов, с размерами 39 x 18 x 1,0");
    QTest::newRow("100") << Setup([](PutgChoices &c) { c.PUTGPrType = QStringLiteral("100"); })
                         << kIntro + QStringLiteral("неармированная, , без обтюраторов, с размерами 39 x 18 x 1,0");
    QTest::newRow("211 Monel tape") << Setup([](PutgChoices &c) {
        c.PUTGPrType = QStringLiteral("211");
        c.PUTG_AE_Material = materials::Pick::ring(8);
    }) << kIntro + QStringLiteral("армированная гладкой нержавеющей лентой б=0,1 мм марки Monel, без обтюраторов, с размерами 39 x 18 x 1,0");
    QTest::newRow("311 carbon steel")
        << Setup([](PutgChoices &c) {
               c.PUTGPrType = QStringLiteral("311");
               c.PUTG_AE_Material = materials::Pick::ring(7);
               c.PUTGConst = QStringLiteral("03");
               c.PUTG_O_Material = materials::Pick::strip(7);
           })
        << kIntro
               + QStringLiteral("армированная несколькими слоями гладкой нержавеющей ленты  б=0,05 мм марки CRS (Carbon steel)"
                                ", с наружным обтюратором из нержавеющей ленты марки Monel, с размерами 39 x 18 x 1,0");
    QTest::newRow("312 042")
        << Setup([](PutgChoices &c) {
               c.PUTGPrType = QStringLiteral("312");
               c.PUTGConst = QStringLiteral("042");
               c.PUTGD1 = QStringLiteral("12");
               c.PUTG_In_Material = materials::Pick::ring(12);
           })
        << kIntro
               + QStringLiteral("армированная несколькими слоями перфорированной нержавеющей ленты  б=0,1 мм марки 304 (08X18H9)"
                                ", с внутренним и наружным обтюраторами из нержавеющей ленты 321 (12X18H10T)"
                                " и внутренним ограничительным кольцом из стали Hastelloy B, с размерами 39 x 18 x 12 x 1,0");
    QTest::newRow("044 typed")
        << Setup([](PutgChoices &c) {
               typedDiameters(c, "044");
               c.PUTG_In_Material = materials::Pick::ring(3);
               c.PUTG_Out_Material = materials::Pick::ring(7);
               c.PUTG_O_Material = materials::Pick::strip(7);
           })
        << kIntro + k212
               + QStringLiteral(", с внутренним и наружным обтюраторами из нержавеющей ленты Monel"
                                " и наружным (из стали CRS (Carbon steel)) и внутренним (из стали 316 (10X17H13M2))"
                                " ограничительными кольцами, с нестандартными размерами 100 x 80 x 60 x 40 x 1,0");
    QTest::newRow("014")
        << Setup([](PutgChoices &c) {
               typedDiameters(c, "014");
               c.PUTG_Input_Box = false;
               c.PUTG_In_Material = materials::Pick::ring(0);
           })
        << kIntro + k212
               + QStringLiteral(", с внутренним и наружным ограничительными кольцами из сталей 304 (08X18H9) и 321 (12X18H10T)"
                                " соответственно, с размерами 100 x 80 x 60 x 40 x 1,0");
    QTest::newRow("jumper A/5") << Setup([](PutgChoices &c) {
        c.PUTG_Perem_Yes = true;
        c.PUTG_Perem_Depth_Edit = QStringLiteral("5");
    }) << kIntro + k212 + QStringLiteral(", без обтюраторов, с перемычкой типа A шириной 5 мм, с размерами 39 x 18 x 1,0");
    QTest::newRow("jumper B") << Setup([](PutgChoices &c) {
        c.PUTG_Perem_Yes = true;
        c.PUTG_Perem_Box = QStringLiteral("B");
        c.PUTG_Perem_Depth_Edit = QStringLiteral("5");
    }) << kIntro + k212 + QStringLiteral(", без обтюраторов, с перемычкой типа B (по чертежу), с размерами 39 x 18 x 1,0");
    QTest::newRow("every feature in order")
        << Setup([](PutgChoices &c) {
               c.PUTG_ModElem = 4;
               c.PUTG_KVF_checkBox = true;
               c.PUTGFixBox = QStringLiteral("Ф1-56");
               c.PUTG_HowMade_Box = 1;
               c.PUTG_Otv_checkBox = true;
               c.PUTG_Perem_Yes = true;
               c.PUTG_Perem_Box = QStringLiteral("J");
               c.PUTG_Ras_checkBox = true;
               c.PUTG_Kol_Ch_Raz = QStringLiteral("6");
           })
        << kIntro + k212
               + QStringLiteral(", без обтюраторов, с добавлением ингибитора окисления И(Н-14), с фиксатором Ф1-56"
                                ", с элементом для крепления на поверхности, с отверстиями (по чертежу)"
                                ", с перемычкой типа J, разъемная (количество частей - 6), с размерами 39 x 18 x 1,0");
    QTest::newRow("split without count") << Setup([](PutgChoices &c) { c.PUTG_Ras_checkBox = true; })
                                         << kIntro + k212 + QStringLiteral(", без обтюраторов, разъемная, с размерами 39 x 18 x 1,0");
    QTest::newRow("rect gab") << Setup([](PutgChoices &c) { nonRound(c, "rect", "gab"); })
                              << QStringLiteral("Прокладка прямоугольной формы из терморасширенного графита (ТРГ), ") + k212
                                     + QStringLiteral(", без обтюраторов, с размерами 300 x 200 x 260 x 160 x 1,0");
    QTest::newRow("oval fie, mica") << Setup([](PutgChoices &c) {
        nonRound(c, "ell", "fie");
        c.PUTG_ModElem = 1;
    }) << QStringLiteral("Прокладка овальной формы из терморасширенного графита (ТРГ), ") + k212
              + QStringLiteral(", без обтюраторов, с добавлением слюды, с размерами 500 x 300 x 20 x 1,0");
    // The typed name of the free entry must reach the description too.
    QTest::newRow("other obturator typed") << Setup([](PutgChoices &c) {
        c.PUTGConst = QStringLiteral("02");
        c.PUTG_O_Material = materials::Pick::stripOther(QStringLiteral("12Х18Н10Т"));
    }) << kIntro + k212 + QStringLiteral(", с внутренним обтюратором из нержавеющей ленты марки 12Х18Н10Т, с размерами 39 x 18 x 1,0");
    QTest::newRow("other obturator untouched") << Setup([](PutgChoices &c) {
        c.PUTGConst = QStringLiteral("02");
        c.PUTG_O_Material = materials::Pick::strip(12);
    }) << kIntro + k212 + QStringLiteral(", с внутренним обтюратором из нержавеющей ленты марки , с размерами 39 x 18 x 1,0");
}

void TestPutgDesignation::description()
{
    QFETCH(Setup, setup);
    QFETCH(QString, expected);
    const PutgChoices c = round(setup);
    QVERIFY(!putg::designation(c).isEmpty());
    QCOMPARE(putg::description(c), expected);
}

QTEST_APPLESS_MAIN(TestPutgDesignation)
#include "tst_putgdesignation.moc"
