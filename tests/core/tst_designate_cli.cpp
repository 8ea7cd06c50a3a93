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

} // namespace

class TestDesignateCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void snpTexts_data();
    void snpTexts();
    void usageErrors_data();
    void usageErrors();
};

void TestDesignateCli::initTestCase()
{
    QVERIFY2(QFileInfo(tool()).isExecutable(),
             qPrintable(tool() + " is not built (target vintaro-designate)"));
}

void TestDesignateCli::snpTexts_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("designation");
    QTest::addColumn<QString>("description");

    QTest::newRow("start state: nothing yet") << QStringList{"snp"} << QString() << QString();
    QTest::newRow("TU E")
        << QStringList{"snp", "SNPStandard=TU", "SNPD4=90", "SNPD3=70", "SNPD2=50", "SNPD1=40"}
        << QStringLiteral("СНП-Д-3-90 x 70 x 50 x 40-4,5  ТУ 3689-010-40517326")
        << QStringLiteral("Спирально-навитая прокладка (СНП) по ТУ 3689-010-40517326 типа Д "
                          "(с наружным  CRS (сталь 20) и внутренним  AISI 304 (08X18H9) "
                          "ограничительными кольцами), с металлическим каркасом из ленты  "
                          "AISI 304 (08X18H9) и наполнителем из ТРГ (FG) для применения на "
                          "фланце \"соединительный выступ\" с размерами 90*70*50*40, толщиной 4,5 мм");
    QTest::newRow("TU C incomplete")
        << QStringList{"snp", "SNPStandard=TU", "SNPType=C", "SNPD3=70", "SNPD2=50"}
        << QString() << QString();
    QTest::newRow("OST128 A")
        << QStringList{"snp", "SNPType=A", "SNPFill=4", "SNPD3=55", "SNPD2=40",
                       "SNPPress=2,5 (25,0)", "SNPDepth=3,2", "SNP_K_Materials=4"}
        << QStringLiteral("СНП-А-4-40-2,5-3,2-03L0 ОСТ 26.260.454 [55 x 40] ")
        << QStringLiteral("Спирально-навитая прокладка (СНП) по ОСТ 26.260.454 типа А "
                          "(без ограничительных колец) с металлическим каркасом из ленты "
                          "AISI 316 L (03X17H13M2) и наполнителем из ТРГ (FG) для применения на "
                          "фланце \"шип-паз\" по ГОСТ 12815 (трубопроводы) с размерами 55*40, "
                          "толщиной 3,2 мм");
    QTest::newRow("ASME B, typed inner ring, jumper, fixing")
        << QStringList{"snp", "SNPStandard=ASME1647B", "SNPType=C", "SNPSize=26", "SNPPress=150",
                       "SNPD3=70", "SNPD2=50", "SNPD1=40", "SNPFill=5", "SNPDepth=3,2",
                       "SNP_In_Materials=other:Сталь 45", "SNP_ModElem=1", "SNP_Perem_Yes=1",
                       "SNP_Perem_Box=B", "SNP_KVF_checkBox=1", "SNPFixBox=Ф1-30"}
        << QStringLiteral("СНП-В-26-150#-{Сталь 45}- PTFE-3,2-(С)(B, Ф1-30, черт.) "
                          "ASME B 16.47 B [70 x 50 x 40] ")
        << QStringLiteral("Спирально-навитая прокладка (СНП) по ASME B 16.20 типа В "
                          "(с внутренним ограничительным кольцом Сталь 45), с металлическим "
                          "каркасом из ленты  AISI 304 (08X18H9) и наполнителем из фторопласта "
                          "(PTFE) для применения на фланце \"выступ-впадина\" по ASME B 16.47 B "
                          "с размерами 70*50*40, толщиной 3,2 мм, с добавлением слюды, "
                          "с фиксатором Ф1-30, с перемычкой типа B (по чертежу)");
    QTest::newRow("EN1514 outer 304, untouched other winding, jumper A/5")
        << QStringList{"snp", "SNPStandard=EN1514", "SNPType=D", "SNPSize=50", "SNPPress=PN40",
                       "SNPD4=90", "SNPD3=70", "SNPD2=50", "SNP_Out_Materials=0",
                       "SNP_K_Materials=other:", "SNP_Perem_Yes=1", "SNP_Perem_Depth_Edit=5",
                       "SNP_ONO_checkBox=1"}
        << QStringLiteral("СНП-Г-50-PN40-F.G-304(A/5, черт.) EN 1514-2 [90 x 70 x 50] ")
        << QStringLiteral("Спирально-навитая прокладка (СНП) по EN 1514-2 типа Г "
                          "(с наружным ограничительным кольцом  AISI 304 (08X18H9)), "
                          "с металлическим каркасом из ленты другой материал и наполнителем "
                          "из ТРГ (FG) для применения на фланце \"соединительный выступ\" "
                          "с размерами 90*70*50, толщиной 4,5 мм, с отверстиями (по чертежу), "
                          "с перемычкой типа A шириной 5 мм");
    QTest::newRow("GOST, later key wins")
        << QStringList{"snp", "SNPStandard=OST287", "SNPStandard=GOST128", "SNPSize=50",
                       "SNPPress=1,6 (16,0)", "SNPD4=90", "SNPD3=70", "SNPD2=50", "SNPD1=40"}
        << QStringLiteral("СНП-Д-1-1-50-16,0 У   ГОСТ Р 52376 -2005 [90 x 70 x 50 x 40] ")
        << QStringLiteral("Спирально-навитая прокладка (СНП) по ГОСТ Р 52376 - 2005 типа Д "
                          "(с наружным  CRS (сталь 20) и внутренним  AISI 304 (08X18H9) "
                          "ограничительными кольцами), с металлическим каркасом из ленты  "
                          "AISI 304 (08X18H9) и наполнителем из ТРГ (FG) для применения на "
                          "фланце \"соединительный выступ\" по ГОСТ 12815 (трубопроводы) "
                          "с размерами 90*70*50*40, толщиной 4,5 мм");
}

void TestDesignateCli::snpTexts()
{
    QFETCH(QStringList, args);
    QFETCH(QString, designation);
    QFETCH(QString, description);
    const Run r = run(args);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.isEmpty(), r.err.constData());
    QCOMPARE(QString::fromUtf8(r.out), designation + '\n' + description + '\n');
}

void TestDesignateCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");

    QTest::newRow("no arguments") << QStringList{};
    QTest::newRow("unknown family") << QStringList{"gasket", "SNPType=A"};
    QTest::newRow("unknown key") << QStringList{"snp", "SNPColour=red"};
    QTest::newRow("key without value sign") << QStringList{"snp", "SNPType"};
    QTest::newRow("empty key") << QStringList{"snp", "=A"};
    QTest::newRow("unknown standard") << QStringList{"snp", "SNPStandard=DIN"};
    QTest::newRow("Cyrillic type letter") << QStringList{"snp", "SNPType=А"};
    QTest::newRow("lower-case type") << QStringList{"snp", "SNPType=a"};
    QTest::newRow("filler 6") << QStringList{"snp", "SNPFill=6"};
    QTest::newRow("modifier 6") << QStringList{"snp", "SNP_ModElem=6"};
    QTest::newRow("modifier -1") << QStringList{"snp", "SNP_ModElem=-1"};
    QTest::newRow("modifier not a number") << QStringList{"snp", "SNP_ModElem=one"};
    QTest::newRow("ring index 14") << QStringList{"snp", "SNP_In_Materials=14"};
    QTest::newRow("strip index 13") << QStringList{"snp", "SNP_K_Materials=13"};
    QTest::newRow("outer ring empty") << QStringList{"snp", "SNP_Out_Materials="};
    QTest::newRow("flag 2") << QStringList{"snp", "SNP_Perem_Yes=2"};
    QTest::newRow("flag yes") << QStringList{"snp", "SNP_ONO_checkBox=yes"};
    QTest::newRow("fixing element not in list") << QStringList{"snp", "SNPFixBox=Ф1-99"};
    QTest::newRow("jumper Y") << QStringList{"snp", "SNP_Perem_Box=Y"};
    QTest::newRow("line break in a value") << QStringList{"snp", "SNPSize=50\nx"};
    QTest::newRow("error after good keys") << QStringList{"snp", "SNPD2=50", "SNPType=F"};
}

void TestDesignateCli::usageErrors()
{
    QFETCH(QStringList, args);
    const Run r = run(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY(!r.err.trimmed().isEmpty());
}

QTEST_GUILESS_MAIN(TestDesignateCli)
#include "tst_designate_cli.moc"
