// Product tables shipped in data/products: they load, the lists and the
// lookups agree, the dimensions are physically possible, and known values
// from the standards come out of the lookups.
#include "productdata.h"
#include "wire.h"

#include <QtTest>

#include <QTemporaryDir>

namespace {

double num(const QString &s)
{
    QString t = s;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    return t.toDouble();
}

QVariantMap req(const QString &standard, const QString &tf, const QString &size, const QString &press)
{
    return {{QStringLiteral("standart"), standard},
            {QStringLiteral("tf"), tf},
            {QStringLiteral("size"), size},
            {QStringLiteral("press"), press}};
}

} // namespace

class TestProductData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tablesMapKeys_data();
    void tablesMapKeys();
    void encodedMapFitsOneFrame();
    void listsAndRowsAgree();
    void rowsArePhysical();
    void centringRingGrowsWithClass_data();
    void centringRingGrowsWithClass();
    void knownValues_data();
    void knownValues();
    void unknownChoices_data();
    void unknownChoices();
    void d2ListsLeadBackToTheSize();
    void snpRingsFollowTheType();
    void putgmAdviceComesLast();
    void brokenFile_data();
    void brokenFile();
    void brokenFileInFolderNamesFileAndLine();

private:
    QStringList lookup(const QString &family, const QVariantMap &r) const;
    ProductData m_data;
};

void TestProductData::initTestCase()
{
    QString error;
    QVERIFY2(m_data.load(ProductData::defaultDir(), &error), qPrintable(error));
}

QStringList TestProductData::lookup(const QString &family, const QVariantMap &r) const
{
    if (family == QLatin1String("snp"))
        return m_data.snpLookup(r);
    if (family == QLatin1String("putg"))
        return m_data.putgLookup(r);
    return m_data.putgmLookup(r);
}

void TestProductData::tablesMapKeys_data()
{
    QTest::addColumn<QString>("key");
    const QStringList snp = {"gost128", "ost128", "ost287", "asme165", "asme1647A", "asme1647B", "en15"};
    const QStringList putg = {"gost128", "gost287", "asme165", "asme1647A", "asme1647B", "asmeEN1514"};
    const QStringList putgm = {"gost128", "gost287", "asme165", "asme1647A", "asme1647B", "en1514"};
    QStringList keys;
    for (const QString &s : snp)
        keys << s + "_size" << s + "_press";
    for (const QString &s : putg)
        keys << "putg_" + s + "_size" << "putg_" + s + "_press";
    for (const QString &s : putgm)
        keys << "putgm_" + s + "_size" << "putgm_" + s + "_press";
    // Every type the OST standards allow has a D2 list.
    for (const char *t : {"A", "B", "C", "D", "E"})
        keys << QLatin1String(t) + QStringLiteral("OST128_d2");
    keys << "AOST287_d2" << "COST287_d2";
    for (const QString &k : keys)
        QTest::newRow(qPrintable(k)) << k;
}

void TestProductData::tablesMapKeys()
{
    QFETCH(QString, key);
    const QVariantMap map = m_data.tablesMap();
    QVERIFY2(map.contains(key), qPrintable(key));
    QVERIFY(map.value(key).canConvert<QStringList>());
    QVERIFY(!map.value(key).toStringList().isEmpty());
}

void TestProductData::encodedMapFitsOneFrame()
{
    const int bytes = 1 + wire::encodeMap(m_data.tablesMap()).size();
    qInfo("reply 5 body: %d bytes", bytes);
    QVERIFY2(bytes < 65535, qPrintable(QString::number(bytes)));
}

// Every listed size and pressure leads to rows (or a documented gap); every
// row is reachable from the lists, and the lookup answers it.
void TestProductData::listsAndRowsAgree()
{
    const QVariantMap map = m_data.tablesMap();
    QVERIFY(!m_data.tables().isEmpty());
    for (const ProductTable &t : m_data.tables()) {
        const QStringList sizes = map.value(t.sizeKey).toStringList();
        const QStringList press = map.value(t.pressKey).toStringList();
        QVERIFY2(!sizes.isEmpty() && !press.isEmpty(), qPrintable(t.file));
        for (const QString &s : sizes)
            for (const QString &p : press) {
                bool found = false;
                for (const ProductTable::Row &r : t.rows)
                    found = found || (r.size == s && r.press == p);
                QVERIFY2(found != t.hasGap(s, p),
                         qPrintable(QStringLiteral("%1: size %2 at %3 has %4").arg(t.file, s, p,
                                                                                     found ? "rows and a gap" : "neither rows nor a gap")));
            }
        for (const QString &s : sizes) {
            bool any = false;
            for (const ProductTable::Row &r : t.rows)
                any = any || r.size == s;
            QVERIFY2(any, qPrintable(t.file + ": no row at all for size " + s));
        }
        for (const ProductTable::Row &r : t.rows) {
            QVERIFY2(sizes.contains(r.size) && press.contains(r.press),
                     qPrintable(QStringLiteral("%1:%2").arg(t.file).arg(r.line)));
            for (const QString &code : r.codes) {
                const QStringList got = lookup(t.family, req(t.standards.first(), code, r.size, r.press));
                QVERIFY2(got.size() >= 4, qPrintable(QStringLiteral("%1:%2 %3").arg(t.file).arg(r.line).arg(code)));
                QCOMPARE(got.at(1), r.d3);
                QCOMPARE(got.at(2), r.d2);
            }
        }
    }
}

void TestProductData::rowsArePhysical()
{
    for (const ProductTable &t : m_data.tables())
        for (const ProductTable::Row &r : t.rows) {
            const QString where = QStringLiteral("%1:%2").arg(t.file).arg(r.line);
            QVector<double> d;
            for (const QString &v : {r.d4, r.d3, r.d2, r.d1})
                if (!v.isEmpty())
                    d << num(v);
            QVERIFY2(d.size() >= 2, qPrintable(where));
            for (int i = 1; i < d.size(); ++i)
                QVERIFY2(d.at(i - 1) > d.at(i) && d.at(i) > 0, qPrintable(where));
            // Sealing bands are at least 2 mm wide and no gasket is absurdly wide.
            QVERIFY2(num(r.d3) - num(r.d2) >= 4.0, qPrintable(where));
            QVERIFY2(num(r.d3) < 3000.0, qPrintable(where));
            if (!r.d1.isEmpty())
                QVERIFY2(num(r.d1) < num(r.d2), qPrintable(where + ": inner ring not inside the sealing element"));
        }
}

void TestProductData::centringRingGrowsWithClass_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<int>("sizes"); // how many sizes follow the pattern
    QTest::newRow("ASME B16.5") << "ASME165" << 99;
    // Above NPS 36 the series A class 150 flange is the larger one: the
    // class 300 bolt circle is smaller there.
    QTest::newRow("ASME B16.47 A") << "ASME1647A" << 6;
    QTest::newRow("EN 1514-2") << "EN1514" << 99;
    QTest::newRow("OST on GOST 12815") << "OST128" << 99;
    QTest::newRow("GOST R 52376") << "GOST128" << 99;
}

void TestProductData::centringRingGrowsWithClass()
{
    QFETCH(QString, standard);
    QFETCH(int, sizes);
    const ProductTable *t = m_data.table("snp", standard);
    QVERIFY(t);
    // Where a higher class keeps the bolt circle but takes thicker bolts, the
    // ring inside the bolts gets a little smaller (ASME B16.5 class 400 against
    // 300 from NPS 4, 1500 against 900 at NPS 6 and 8; EN 1092-1 PN 25 against
    // PN 16 at DN 600, PN 63 against PN 40 at DN 400). Such a step stays under
    // 10 mm; anything larger is a wrong row.
    const double boltStep = 10.0;
    int compared = 0;
    for (const QString &size : t->sizes.mid(0, sizes)) {
        QString first, last, prevPress;
        int classes = 0;
        for (const QString &press : t->pressures) {
            const QStringList got = m_data.snpLookup(req(standard, "E", size, press));
            if (got.isEmpty())
                continue;
            if (!last.isEmpty())
                QVERIFY2(num(got.at(0)) >= num(last) - boltStep,
                         qPrintable(QStringLiteral("%1 %2: %3 at %4 after %5 at %6")
                                        .arg(standard, size, got.at(0), press, last, prevPress)));
            if (first.isEmpty())
                first = got.at(0);
            last = got.at(0);
            prevPress = press;
            ++classes;
        }
        // Over three classes or more the bolt circle itself has grown.
        if (classes >= 3) {
            QVERIFY2(num(last) > num(first), qPrintable(size));
            ++compared;
        }
    }
    QVERIFY(compared > 0);
}

void TestProductData::knownValues_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QVariantMap>("request");
    QTest::addColumn<QStringList>("expected");

    // ASME B16.20-2017, spiral-wound gaskets for ASME B16.5 flanges (metric table):
    // NPS 1/2 class 150 ring 47,8, winding 31,8 x 19,1, inner ring 14,2.
    QTest::newRow("SNP ASME 1/2 150") << "snp" << req("ASME165", "E", "1/2", "150")
                                      << QStringList{"47,8", "31,8", "19,1", "14,2"};
    // Same table: NPS 4 class 300 ring 181,1; class 600 ring 193,8; NPS 1 class 2500 ring 85,9.
    QTest::newRow("SNP ASME 4 300") << "snp" << req("ASME165", "E", "4", "300")
                                    << QStringList{"181,1", "149,4", "127", "106,4"};
    QTest::newRow("SNP ASME 4 600 ring") << "snp" << req("ASME165", "E", "4", "600")
                                         << QStringList{"193,8", "149,4", "120,7", "102,6"};
    QTest::newRow("SNP ASME 1 2500") << "snp" << req("ASME165", "E", "1", "2500")
                                     << QStringList{"85,9", "47,8", "31,8", "26,9"};
    // EN 12560-2 gaskets are sent with the ASME standard code and share the rows.
    QTest::newRow("SNP EN12560 alias") << "snp" << req("EN1215165", "E", "1/2", "150")
                                       << QStringList{"47,8", "31,8", "19,1", "14,2"};
    // ГОСТ 12815-80, исполнение 4 (шип): DN 50 tongue 87 x 73; ГОСТ Р 52376 thickness last.
    QTest::newRow("SNP GOST DN50 A") << "snp" << req("GOST128", "A", "50", "1,6 (16,0)")
                                     << QStringList{"", "87", "73", "", "2,8"};
    QTest::newRow("SNP OST DN50 A") << "snp" << req("OST128", "A", "50", "1,6 (16,0)")
                                    << QStringList{"", "87", "73", ""};
    // ГОСТ 15180-86 исполнение А, DN 10, 1,6 MPa: 39 x 18.
    QTest::newRow("PUTG GOST DN10") << "putg" << req("GOST128", "A", "10", "1,6 (16,0)")
                                    << QStringList{"0", "39", "18", "0"};
    // EN 1514-1:1997, type IBC: DN 50 PN 16 61 x 107, DN 100 PN 40 115 x 168.
    QTest::newRow("PUTG EN DN50 PN16") << "putg" << req("EN1514", "A", "50", "16")
                                       << QStringList{"0", "107", "61", "0"};
    QTest::newRow("PUTG EN DN100 PN40") << "putg" << req("EN1514", "A", "100", "40")
                                        << QStringList{"0", "168", "115", "0"};
    // ASME B16.21-2016 Table 1 ring gasket NPS 1/2 class 150: 0,84 x 1,88 in.
    QTest::newRow("PUTG ASME 1/2 150") << "putg" << req("ASME165", "A", "1/2", "150")
                                       << QStringList{"0", "47,8", "21,3", "0"};
    // Metal base, EN 1514-1 PN 16 DN 50 sealing band, no centring.
    QTest::newRow("PUTGm EN DN50 PN16") << "putgm" << req("EN1514", "09_A", "50", "16")
                                        << QStringList{"", "107", "61", ""};
    // Metal base, ASME B16.5 NPS 1/2 class 150 with centring (B16.20 ring 47,8).
    QTest::newRow("PUTGm ASME 093") << "putgm" << req("ASME165", "093_A", "1/2", "150")
                                    << QStringList{"47,8", "31,8", "21,3", ""};
}

void TestProductData::knownValues()
{
    QFETCH(QString, family);
    QFETCH(QVariantMap, request);
    QFETCH(QStringList, expected);
    QCOMPARE(lookup(family, request), expected);
}

void TestProductData::unknownChoices_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QVariantMap>("request");
    QTest::newRow("snp standard") << "snp" << req("DIN", "E", "4", "300");
    QTest::newRow("snp TU") << "snp" << req("TU", "E", "4", "300");
    QTest::newRow("snp type") << "snp" << req("ASME165", "F", "4", "300");
    QTest::newRow("snp size") << "snp" << req("ASME165", "E", "4 1/2", "300");
    QTest::newRow("snp press") << "snp" << req("ASME165", "E", "4", "3000");
    QTest::newRow("snp gap") << "snp" << req("ASME165", "E", "24", "2500");
    QTest::newRow("snp empty") << "snp" << QVariantMap();
    QTest::newRow("snp ost287 type E") << "snp" << req("OST287", "E", "400", "1,6 (16,0)");
    QTest::newRow("putg construction") << "putg" << req("GOST128", "A05", "50", "1,6 (16,0)");
    QTest::newRow("putg tongue with ring") << "putg" << req("GOST128", "C014", "50", "1,6 (16,0)");
    QTest::newRow("putg facing") << "putg" << req("GOST128", "X", "50", "1,6 (16,0)");
    QTest::newRow("putg snp standard") << "putg" << req("OST128", "A", "50", "1,6 (16,0)");
    QTest::newRow("putgm base") << "putgm" << req("GOST128", "07_A", "50", "1,6 (16,0)");
    QTest::newRow("putgm no facing") << "putgm" << req("GOST128", "09", "50", "1,6 (16,0)");
    QTest::newRow("putgm centring on groove") << "putgm" << req("GOST128", "093_C", "50", "1,6 (16,0)");
}

void TestProductData::unknownChoices()
{
    QFETCH(QString, family);
    QFETCH(QVariantMap, request);
    QCOMPARE(lookup(family, request), QStringList());
}

// Code 19 finds the gasket by a D2 list entry; its size, asked with code 7,
// gives back the same D2.
void TestProductData::d2ListsLeadBackToTheSize()
{
    const QVariantMap map = m_data.tablesMap();
    int checked = 0;
    for (const QString &standard : {QStringLiteral("OST128"), QStringLiteral("OST287")}) {
        const ProductTable *t = m_data.table("snp", standard);
        QVERIFY(t);
        for (const QChar type : t->d2Types) {
            const QStringList d2s = map.value(t->d2Key(type)).toStringList();
            QVERIFY(!d2s.isEmpty());
            for (const QString &d2 : d2s) {
                bool answered = false;
                for (const QString &press : t->pressures) {
                    QVariantMap r = {{"standart", standard}, {"tf", QString(type)}, {"d2", d2}, {"press", press}};
                    const QStringList got = m_data.snpD2Lookup(r);
                    if (got.isEmpty())
                        continue;
                    answered = true;
                    QCOMPARE(got.size(), 5);
                    QCOMPARE(got.at(3), d2);
                    const QStringList back = m_data.snpLookup(req(standard, QString(type), got.at(0), press));
                    QCOMPARE(back, got.mid(1));
                    ++checked;
                }
                QVERIFY2(answered, qPrintable(standard + " " + QString(type) + " " + d2));
            }
        }
    }
    QVERIFY(checked > 100);
    QCOMPARE(m_data.snpD2Lookup({{"standart", "OST128"}, {"tf", "A"}, {"d2", "74"}, {"press", "1,6 (16,0)"}}),
             QStringList());
}

// One row serves the types of an ASME size that share the winding; each
// type gets only the rings it has (outer D4 for D and E, inner D1 for C and
// E). The tongue/groove type A sits on the tongue (ASME B16.5 small tongue
// 5 11/16 x 5 3/16 in at NPS 4), the same in every class.
void TestProductData::snpRingsFollowTheType()
{
    const QStringList e = m_data.snpLookup(req("ASME165", "E", "4", "300"));
    QCOMPARE(e.size(), 4);
    for (const QString &d : e)
        QVERIFY(!d.isEmpty());
    const QHash<QString, QStringList> expected = {
        {"A", {QString(), "144,5", "131,8", QString()}}, {"B", {QString(), e.at(1), e.at(2), QString()}},
        {"C", {QString(), e.at(1), e.at(2), e.at(3)}},   {"D", {e.at(0), e.at(1), e.at(2), QString()}}};
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(m_data.snpLookup(req("ASME165", it.key(), "4", "300")), it.value());
    QCOMPARE(m_data.snpLookup(req("ASME165", "A", "4", "150")), expected.value("A"));
    const QStringList d2 = m_data.snpD2Lookup({{"standart", "OST128"}, {"tf", "A"}, {"d2", m_data.snpLookup(req("OST128", "A", "50", "1,6 (16,0)")).value(2)},
                                               {"press", "1,6 (16,0)"}});
    QCOMPARE(d2.size(), 5);
    QVERIFY(d2.at(1).isEmpty() && d2.at(4).isEmpty() && !d2.at(2).isEmpty());
}

void TestProductData::putgmAdviceComesLast()
{
    // A single wave on a high class is steered to other bases; the centring
    // bases answer D4, the tamping ones D1.
    const QStringList high = m_data.putgmLookup(req("ASME165", "09_A", "4", "600"));
    QCOMPARE(high.size(), 5);
    QCOMPARE(high.last(), QStringLiteral("t7"));
    const QStringList low = m_data.putgmLookup(req("ASME165", "09_A", "4", "150"));
    QCOMPARE(low.size(), 4);
    QVERIFY(low.at(0).isEmpty() && low.at(3).isEmpty());
    const QStringList both = m_data.putgmLookup(req("ASME165", "095_A", "4", "150"));
    QCOMPARE(both.size(), 4);
    QVERIFY(!both.at(0).isEmpty() && !both.at(3).isEmpty());

    // Every flange standard has its rule; a table whose advice lines were
    // lost (commented out, say) would never steer anybody.
    int tables = 0;
    for (const ProductTable &t : m_data.tables()) {
        if (t.family == QLatin1String("putgm")) {
            ++tables;
            QVERIFY2(!t.advice.isEmpty(), qPrintable(t.file));
        }
    }
    QCOMPARE(tables, 6);
    const QStringList gost = m_data.putgmLookup(req("GOST128", "09_A", "10", "2,5 (25,0)"));
    QCOMPARE(gost.size(), 5);
    QCOMPARE(gost.last(), QStringLiteral("t6"));

    // The centring bases are made for a raised face only: on a male-female
    // facing the advice names just the base that exists there.
    QCOMPARE(m_data.putgmLookup(req("GOST128", "09_A", "100", "4,0 (40,0)")).value(4), QStringLiteral("t7"));
    QVERIFY(m_data.putgmLookup(req("GOST128", "098_B", "100", "4,0 (40,0)")).isEmpty());
    QVERIFY(!m_data.putgmLookup(req("GOST128", "099_B", "100", "4,0 (40,0)")).isEmpty());
    QCOMPARE(m_data.putgmLookup(req("GOST128", "09_B", "100", "4,0 (40,0)")).value(4), QStringLiteral("t6"));

    // Whatever the table, an advice never names a base it does not answer for.
    const QHash<QString, QStringList> named = {{"t5", {"098", "095"}}, {"t6", {"099"}},
                                               {"t7", {"099", "098", "095"}}, {"t8", {"099", "092"}}};
    int advised = 0;
    for (const ProductTable &t : m_data.tables()) {
        if (t.family != QLatin1String("putgm"))
            continue;
        for (const ProductTable::Row &r : t.rows) {
            for (const QString &tf : r.codes) {
                const QStringList answer = m_data.putgmLookup(req(t.standards.first(), tf, r.size, r.press));
                if (answer.size() < 5)
                    continue;
                ++advised;
                const QString facing = tf.mid(tf.indexOf('_') + 1);
                for (const QString &base : named.value(answer.at(4)))
                    QVERIFY2(!m_data.putgmLookup(req(t.standards.first(), base + "_" + facing, r.size, r.press)).isEmpty(),
                             qPrintable(t.file + ": " + tf + " " + r.size + " " + r.press + " -> " + answer.at(4)
                                        + " names " + base));
            }
        }
    }
    QVERIFY(advised > 100);
}

void TestProductData::brokenFile_data()
{
    const QString head = QStringLiteral("# test\nfamily: snp\nstandard: X\nsize_key: x_size\npress_key: x_press\n"
                                        "sizes: 10 | 20\npressures: 1,6 (16,0) | 2,5 (25,0)\n");
    const QString cols = QStringLiteral("columns: types | size | press | D4 | D3 | D2 | D1\n");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("good") << head + cols + "ABCDE | 10 | 1,6 (16,0) | 60 | 40 | 30 | 20\n" << QString();
    QTest::newRow("good, CRLF and BOM") << QString(QChar(0xFEFF)) + QString(head + cols + "ABCDE | 10 | 1,6 (16,0) | 60 | 40 | 30 | 20\n").replace("\n", "\r\n")
                                       << QString();
    QTest::newRow("unknown header") << "colour: red\n" << "t.txt:1: unknown header 'colour'";
    QTest::newRow("no colon") << "family snp\n" << "t.txt:1: expected 'name: value'";
    QTest::newRow("bad family") << "family: gasket\n" << "t.txt:1: family must be";
    QTest::newRow("missing key") << QString(head).replace("size_key: x_size\n", "") + cols
                                 << "t.txt:7: 'size_key' is missing";
    QTest::newRow("twice") << head + "sizes: 30\n" << "t.txt:8: 'sizes' given twice";
    QTest::newRow("bad columns") << head + "columns: size | press\n" << "t.txt:8: columns must be";
    QTest::newRow("field count") << head + cols + "ABCDE | 10 | 1,6 (16,0) | 60 | 40 | 30\n"
                                 << "t.txt:9: expected 7 fields";
    QTest::newRow("size") << head + cols + "ABCDE | 15 | 1,6 (16,0) | 60 | 40 | 30 | 20\n"
                          << "t.txt:9: size '15' is not in the sizes list";
    QTest::newRow("pressure") << head + cols + "ABCDE | 10 | 1,6 | 60 | 40 | 30 | 20\n"
                              << "t.txt:9: pressure '1,6' is not in the pressures list";
    QTest::newRow("point") << head + cols + "ABCDE | 10 | 1,6 (16,0) | 60 | 40.5 | 30 | 20\n"
                           << "t.txt:9: D3 '40.5' is not a positive number";
    QTest::newRow("order") << head + cols + "ABCDE | 10 | 1,6 (16,0) | 60 | 30 | 40 | 20\n"
                           << "t.txt:9: D3 30 must be larger than D2 40";
    QTest::newRow("ring missing") << head + cols + "ABCDE | 10 | 1,6 (16,0) | - | 40 | 30 | 20\n"
                                  << "t.txt:9: D4 is needed";
    QTest::newRow("ring without type") << head + cols + "AB | 10 | 1,6 (16,0) | 60 | 40 | 30 | -\n"
                                       << "t.txt:9: D4 given but no listed code";
    QTest::newRow("type letter") << head + cols + "AZ | 10 | 1,6 (16,0) | - | 40 | 30 | -\n"
                                 << "t.txt:9: types 'AZ'";
    QTest::newRow("duplicate") << head + cols + "AB | 10 | 1,6 (16,0) | - | 40 | 30 | -\nA | 10 | 1,6 (16,0) | - | 41 | 30 | -\n"
                               << "t.txt:10: A, size 10, pressure 1,6 (16,0) already given on line 9";
    QTest::newRow("gap and row") << head + "gap: 10 | 1,6 (16,0) | none\n" + cols
                                        + "AB | 10 | 1,6 (16,0) | - | 40 | 30 | -\n"
                                 << "t.txt:10: size 10 at 1,6 (16,0) is declared a gap on line 8";
    QTest::newRow("thickness") << head + "columns: types | size | press | D4 | D3 | D2 | D1 | H\n"
                                        + "AB | 10 | 1,6 (16,0) | - | 40 | 30 | - | 4,5\n"
                               << "t.txt:9: thickness '4,5'";
    QTest::newRow("no rows") << head + cols << "t.txt:8: no dimension rows";
    QTest::newRow("header after rows") << head + cols + "AB | 10 | 1,6 (16,0) | - | 40 | 30 | -\ngap: 20 | 1,6 (16,0) | x\n"
                                       << "t.txt:10: header lines belong before the columns line";
    QTest::newRow("semicolon in size") << QString(head).replace("sizes: 10 | 20", "sizes: 10;15 | 20")
                                       << "t.txt:6: 'sizes' entry '10;15' contains ';'";
    QTest::newRow("d2 twice") << head + "d2_types: A\n" + cols + "A | 10 | 1,6 (16,0) | - | 40 | 30 | -\n"
                                        + "A | 20 | 1,6 (16,0) | - | 50 | 30,0 | -\n"
                              << "t.txt:11: D2 30,0 of type A at 1,6 (16,0) already belongs to size 10 (line 10)";
    QTest::newRow("d2 on other pressure") << head + "d2_types: A\n" + cols + "A | 10 | 1,6 (16,0) | - | 40 | 30 | -\n"
                                                  + "A | 20 | 2,5 (25,0) | - | 50 | 30 | -\n"
                                          << QString();
    const QString putg = QString(head).replace("family: snp", "family: putg");
    QTest::newRow("putg tf") << putg + "columns: tf | size | press | D4 | D3 | D2 | D1\nA05 | 10 | 1,6 (16,0) | - | 40 | 30 | -\n"
                             << "t.txt:9: 'A05' is not a tf code";
    QTest::newRow("advice outside putgm") << putg + "advice: 09 | 2,5 (25,0) | t7\n"
                                          << "t.txt:8: advice lines belong to putgm tables only";
    const QString putgm = QString(head).replace("family: snp", "family: putgm");
    QTest::newRow("advice code") << putgm + "advice: 09 | 2,5 (25,0) | t9\n" << "t.txt:8: advice code must be";
    QTest::newRow("putgm centring without D4") << putgm + "columns: tf | size | press | D4 | D3 | D2 | D1\n"
                                                          "093_A | 10 | 1,6 (16,0) | - | 40 | 30 | -\n"
                                               << "t.txt:9: D4 is needed";
}

void TestProductData::brokenFile()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    ProductTable t;
    QString error;
    const bool ok = ProductData::parseTable(QStringLiteral("t.txt"), text, &t, &error);
    if (expected.isEmpty()) {
        QVERIFY2(ok, qPrintable(error));
        QVERIFY(!t.rows.isEmpty());
    } else {
        QVERIFY(!ok);
        QVERIFY2(error.startsWith(expected), qPrintable(error));
    }
}

void TestProductData::brokenFileInFolderNamesFileAndLine()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A copy of the shipped tables with one damaged row: the load fails and
    // names that file and line, and the previous data stays in place.
    QDir src(ProductData::defaultDir());
    const QStringList files = src.entryList({"*.txt"}, QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QString &f : files)
        QVERIFY(QFile::copy(src.filePath(f), dir.filePath(f)));
    ProductData data;
    QString error;
    QVERIFY2(data.load(dir.path(), &error), qPrintable(error));
    const QString victim = dir.filePath(QStringLiteral("snp_asme165.txt"));
    QFile f(victim);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
    f.close();
    const int at = lines.indexOf(QRegularExpression("^BCDE \\| 2 \\| 150 .*"));
    QVERIFY(at > 0);
    lines[at].replace(" | 150 | ", " | 151 | ");
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(lines.join('\n').toUtf8());
    f.close();
    ProductData broken;
    QVERIFY(!broken.load(dir.path(), &error));
    QCOMPARE(error, QStringLiteral("%1:%2: pressure '151' is not in the pressures list").arg(victim).arg(at + 1));
    // Two files answering the same standard are refused as well.
    QVERIFY(QFile::copy(src.filePath("snp_ost128.txt"), dir.filePath("zz_copy.txt")));
    QFile::remove(victim);
    QVERIFY(QFile::copy(src.filePath("snp_asme165.txt"), victim));
    QVERIFY(!broken.load(dir.path(), &error));
    QVERIFY2(error.contains("zz_copy.txt:1: standard OST128"), qPrintable(error));
    QVERIFY(broken.tables().isEmpty());
    // Text that is not UTF-8 is refused before it is read as a table.
    QFile::remove(dir.filePath("zz_copy.txt"));
    QFile bad(dir.filePath("zz_latin1.txt"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("# \xd7\xe5\xf0\xf2\xe5\xe6\n");
    bad.close();
    QVERIFY(!broken.load(dir.path(), &error));
    QVERIFY2(error.contains("zz_latin1.txt:0: not valid UTF-8"), qPrintable(error));
    // An empty folder is an error, not an empty catalogue.
    QTemporaryDir empty;
    QVERIFY(!broken.load(empty.path(), &error));
}

QTEST_APPLESS_MAIN(TestProductData)
#include "tst_productdata.moc"
