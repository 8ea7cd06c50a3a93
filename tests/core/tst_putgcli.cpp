// vintaro-designate with the putg and putgm families.
#include <QtTest>

#include <QProcess>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QString tool()
{
    return qEnvironmentVariable("VINTARO_BIN_DIR") + QStringLiteral("/vintaro-designate");
}

Run run(const QStringList &args)
{
    QProcess p;
    p.start(tool(), args);
    Run r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(30000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

const QString kPutgIntro = QStringLiteral(
    "Прокладка из терморасширенного графита (ТРГ), армированная перфорированной нержавеющей "
    "лентой  б=0,1 мм марки ");

} // namespace

class TestPutgCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void texts_data();
    void texts();
    void usageErrors_data();
    void usageErrors();
};

void TestPutgCli::initTestCase()
{
    QVERIFY2(QFileInfo(tool()).isExecutable(),
             qPrintable(tool() + " is not built (target vintaro-designate)"));
}

void TestPutgCli::texts_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("designation");
    QTest::addColumn<QString>("description");

    QTest::newRow("putg start state: no diameters yet") << QStringList{"putg"} << QString() << QString();
    QTest::newRow("putg worked example")
        << QStringList{"putg", "PUTGD3=39", "PUTGD2=18"}
        << QStringLiteral("ПУТГ-А-2-212-01-10-1,6-1,0  [39 x 18]")
        << kPutgIntro + QStringLiteral("304 (08X18H9), без обтюраторов, с размерами 39 x 18 x 1,0");
    QTest::newRow("putg oval follows the shape")
        << QStringList{"putg", "PUTGConfig=ell", "PUTGSizeMode=fie", "PUTGA1=500", "PUTGB1=300", "PUTGC=20"}
        << QStringLiteral("ПУТГ-Ао-2-212-01-500 x 300 x 20-1,6-1,0 (черт.)")
        << QStringLiteral("Прокладка овальной формы из терморасширенного графита (ТРГ), армированная "
                          "перфорированной нержавеющей лентой  б=0,1 мм марки 304 (08X18H9), без "
                          "обтюраторов, с размерами 500 x 300 x 20 x 1,0");
    QTest::newRow("putg oval button given")
        << QStringList{"putg", "PUTGConfig=ell", "PUTG_Config_Ellipse=0", "PUTGSizeMode=fie",
                       "PUTGA1=500", "PUTGB1=300", "PUTGC=20"}
        << QStringLiteral("ПУТГ-Ао-2-212-01-500 x 300 x 20-1,6-1,0 ")
        << QStringLiteral("Прокладка овальной формы из терморасширенного графита (ТРГ), армированная "
                          "перфорированной нержавеющей лентой  б=0,1 мм марки 304 (08X18H9), без "
                          "обтюраторов, с размерами 500 x 300 x 20 x 1,0");
    QTest::newRow("putg 044 typed, ASME, materials")
        << QStringList{"putg", "PUTGStandard=ASME165", "PUTGPress=150", "PUTGConst=044",
                       "PUTG_Input_Box=1", "PUTGD4=100", "PUTGD3=80", "PUTGD2=60", "PUTGD1=40",
                       "PUTG_O_Material=other:", "PUTG_In_Material=3", "PUTG_Out_Material=other:Ст 20",
                       "PUTG_ModElem=4", "PUTGCleenBox=1"}
        << QStringLiteral("ПУТГ-А-1-212-044-100 x 80 x 60 x 40-150#-1,0-1(Н-14)-3{др.}{Ст 20}  [нестанд.]")
        << kPutgIntro
               + QStringLiteral("304 (08X18H9), с внутренним и наружным обтюраторами из нержавеющей ленты "
                                " и наружным (из стали Ст 20) и внутренним (из стали 316 (10X17H13M2)) "
                                "ограничительными кольцами, с добавлением ингибитора окисления И(Н-14), "
                                "с нестандартными размерами 100 x 80 x 60 x 40 x 1,0");
    QTest::newRow("putg split, fixing, jumper")
        << QStringList{"putg", "PUTGD3=39", "PUTGD2=18", "PUTG_KVF_checkBox=1", "PUTGFixBox=Ф1-52",
                       "PUTG_Ras_checkBox=1", "PUTG_Kol_Ch_Raz=3", "PUTG_Perem_Yes=1",
                       "PUTG_Perem_Box=A", "PUTG_Perem_Depth_Edit=5", "PUTG_HowMade_Box=1"}
        << QStringLiteral("ПУТГ-А-2-212-01(A/5)-10-1,6-1,0 (Ф1-52, 3 сегм., СК) [39 x 18]")
        << kPutgIntro
               + QStringLiteral("304 (08X18H9), без обтюраторов, с фиксатором Ф1-52, с элементом для "
                                "крепления на поверхности, с перемычкой типа A шириной 5 мм, разъемная "
                                "(количество частей - 3), с размерами 39 x 18 x 1,0");

    QTest::newRow("putgm start state") << QStringList{"putgm"} << QString() << QString();
    QTest::newRow("putgm 09x with layers, typed steel")
        << QStringList{"putgm", "PUTGmSize=50", "PUTGmPress=4,0 (40,0)", "PUTGmD3=90", "PUTGmD2=60",
                       "PUTGmOsn=09x", "PUTGm_09x_Edit=4", "PUTGmDepth=12,0 (4 слоя)",
                       "PUTGm_AE_Material=other:12Х18Н10Т"}
        << QStringLiteral("ПУТГм-А-09(4)-01-50-4,0-12,0-12Х18Н10Т01 [90 x 60]")
        << QStringLiteral("Прокладка на многослойном (4 слоя) металлическом волновом основании  из "
                          "стали 12Х18Н10Т, без обтюраторов, с уплотнительным элементом из неармированного "
                          "ТРГ, для применения на фланцах с уплотнительной поверхностью \"соединительный "
                          "выступ\", DN = 50, PN = 4,0, с размерами 90 x 60 и толщиной 12,0 (4 слоя)");
    QTest::newRow("putgm oval 02 with Н-14")
        << QStringList{"putgm", "PUTGmConfig=ell", "PUTGmSizeMode=gab", "PUTGmA1=300",
                       "PUTGmA2=200", "PUTGmB1=260", "PUTGmB2=160", "PUTGmPress=2,5",
                       "PUTGmConst=02", "PUTGm_ModElem=4", "PUTGmFlanType=C"}
        << QStringLiteral("ПУТГм-Во-09-02-300 x 200 x 260 x 160-2,5-3,0-121(Н-14) (черт.)")
        << QStringLiteral("Прокладка овальной формы на металлическом волновом основании из стали  AISI "
                          "304 (08X18H9), с внутренним обтюратором из стали  AISI 321 (12X18H10T), с "
                          "уплотнительным элементом из неармированного ТРГ, для применения на фланцах с "
                          "уплотнительной поверхностью \"шип-паз\", с добавлением ингибитора окисления "
                          "И(Н-14), с размерами 300 x 200 x 260 x 160 и толщиной 3,0");
    QTest::newRow("putgm non-standard 095")
        << QStringList{"putgm", "PUTGm_Input_Box=1", "PUTGmOsn=095", "PUTGmD4=110", "PUTGmD3=90",
                       "PUTGmD2=60", "PUTGmD1=50", "PUTGmPlak=9", "PUTGmDepth=1,6"}
        << QStringLiteral("ПУТГм-А-095-01-110 x 90 x 60 x 50-1,6-109 [нестанд.]")
        << QStringLiteral("Прокладка на металлическом волновом основании из стали  AISI 304 (08X18H9) с "
                          "наружным графитовым центрирующим кольцом и внутренним тампонирующим элементом, "
                          "без обтюраторов, без уплотнительного элемента, для применения на фланцах с "
                          "уплотнительной поверхностью \"соединительный выступ\", с нестандартными "
                          "размерами 110 x 90 x 60 x 50 и толщиной 1,6");
}

void TestPutgCli::texts()
{
    QFETCH(QStringList, args);
    QFETCH(QString, designation);
    QFETCH(QString, description);
    const Run r = run(args);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.isEmpty(), r.err.constData());
    QCOMPARE(QString::fromUtf8(r.out), designation + '\n' + description + '\n');
}

void TestPutgCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");

    QTest::newRow("putg unknown key") << QStringList{"putg", "PUTGColour=red"};
    QTest::newRow("putg key of another family") << QStringList{"putg", "PUTGmOsn=09"};
    QTest::newRow("putg shape") << QStringList{"putg", "PUTGConfig=round"};
    QTest::newRow("putg sizing mode") << QStringList{"putg", "PUTGSizeMode=GAB"};
    QTest::newRow("putg facing Cyrillic") << QStringList{"putg", "PUTGFlanType=А"};
    QTest::newRow("putg reinforcement") << QStringList{"putg", "PUTGPrType=213"};
    QTest::newRow("putg construction") << QStringList{"putg", "PUTGConst=05"};
    QTest::newRow("putg standard") << QStringList{"putg", "PUTGStandard=OST128"};
    QTest::newRow("putg modifying element 6") << QStringList{"putg", "PUTG_ModElem=6"};
    QTest::newRow("putg purity 2") << QStringList{"putg", "PUTGCleenBox=2"};
    QTest::newRow("putg coating -1") << QStringList{"putg", "PUTG_HowMade_Box=-1"};
    QTest::newRow("putg check box 2") << QStringList{"putg", "PUTG_Otv_checkBox=2"};
    QTest::newRow("putg check box yes") << QStringList{"putg", "PUTG_Input_Box=yes"};
    QTest::newRow("putg strip index 13") << QStringList{"putg", "PUTG_O_Material=13"};
    QTest::newRow("putg ring index 14") << QStringList{"putg", "PUTG_Out_Material=14"};
    QTest::newRow("putg fixing entry") << QStringList{"putg", "PUTGFixBox=Ф1-21"};
    QTest::newRow("putg jumper letter Y") << QStringList{"putg", "PUTG_Perem_Box=Y"};
    QTest::newRow("putg no value sign") << QStringList{"putg", "PUTGD3"};
    QTest::newRow("putgm unknown key") << QStringList{"putgm", "PUTGConst=01"};
    QTest::newRow("putgm base") << QStringList{"putgm", "PUTGmOsn=094"};
    QTest::newRow("putgm construction") << QStringList{"putgm", "PUTGmConst=05"};
    QTest::newRow("putgm plate 8") << QStringList{"putgm", "PUTGmPlak=8"};
    QTest::newRow("putgm facing R") << QStringList{"putgm", "PUTGmFlanType=R"};
    QTest::newRow("putgm strip index 13") << QStringList{"putgm", "PUTGm_O_Material=13"};
    QTest::newRow("putgm modifying element") << QStringList{"putgm", "PUTGm_ModElem=9"};
    QTest::newRow("putgm check box") << QStringList{"putgm", "PUTGm_Input_Box=true"};
}

void TestPutgCli::usageErrors()
{
    QFETCH(QStringList, args);
    const Run r = run(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY(!r.err.isEmpty());
}

QTEST_GUILESS_MAIN(TestPutgCli)
#include "tst_putgcli.moc"
