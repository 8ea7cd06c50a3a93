// The flange tables the program carries are the ones in the source tree.
#include "flangetables.h"

#include <QFile>
#include <QtTest>

void vintaroInitResources();

using namespace flanges;

class TestFlangeResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vintaroInitResources(); }

    void compiledInCopies_data()
    {
        QTest::addColumn<int>("table");
        for (int i = 0; i < kTableCount; ++i)
            QTest::newRow(qPrintable(tableFileName(i))) << i;
    }

    void compiledInCopies()
    {
        QFETCH(int, table);
        QFile compiled(resourceDir() + QLatin1Char('/') + tableFileName(table));
        QVERIFY2(compiled.open(QIODevice::ReadOnly), qPrintable(compiled.fileName()));
        QFile source(qEnvironmentVariable("VINTARO_SOURCE_DIR") + QStringLiteral("/resources/flanges/")
                     + tableFileName(table));
        QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(source.fileName()));
        QCOMPARE(compiled.readAll(), source.readAll());
    }

    void buildsAllMapsFromResources()
    {
        bool ok = false;
        const QVector<FlangeTable> maps = buildFlangeTables(readTableData(resourceDir(), &ok));
        QVERIFY(ok);
        QCOMPARE(maps.size(), kTableCount);
        for (int i = 0; i < kTableCount; ++i)
            QCOMPARE(maps.at(i).size(), tableInfo(i).rows);

        FlangeLookupInput in;
        in.jointType = TongueGroove;
        in.standard = AsmeB165;
        in.size = QStringLiteral("1/2\"(15)");
        in.pressure = QStringLiteral("150#");
        in.button12Checked = true;
        const FlangeLookupResult r = lookupFlange(maps, in);
        QVERIFY(r.rowFound);
        QCOMPARE(r.D, QStringLiteral("23,8"));
    }
};

QTEST_GUILESS_MAIN(TestFlangeResources)
#include "tst_flangeresources.moc"
