// In-process checks of the server's pure parts: upload names, the login
// throttle, access lists, CSV export and the store's migrations.
#include "server.h"
#include "serverharness.h"
#include "store.h"

#include <QTemporaryDir>
#include <QtTest>

class TestServerUnits : public QObject
{
    Q_OBJECT

private slots:
    void uploadNames_data()
    {
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("safe");
        QTest::newRow("plain") << "plan.pdf" << "plan.pdf";
        QTest::newRow("unix dirs") << "/home/u/plan.pdf" << "plan.pdf";
        QTest::newRow("windows dirs") << "C:\\Users\\u\\plan.pdf" << "plan.pdf";
        QTest::newRow("traversal") << "../../etc/passwd" << "passwd";
        QTest::newRow("trailing slash") << "dir/" << "";
        QTest::newRow("dot") << "." << "";
        QTest::newRow("dot dot after dirs") << "a/.." << "";
        QTest::newRow("dots inside are fine") << "v1..2.pdf" << "v1..2.pdf";
        QTest::newRow("tab") << "a\tb" << "a_b";
        QTest::newRow("delete char") << QStringLiteral("a\x7f") << "a_";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("null") << QString() << "";
        QTest::newRow("too long") << QString(256, QLatin1Char('x')) << "";
        QTest::newRow("255 is fine") << QString(255, QLatin1Char('x')) << QString(255, QLatin1Char('x'));
        QTest::newRow("soft hyphen") << QStringLiteral("чертёж\u00adфланца.pdf") << QStringLiteral("чертёж\u00adфланца.pdf");
        QTest::newRow("joiner") << QStringLiteral("план\u200d1.pdf") << QStringLiteral("план\u200d1.pdf");
        QTest::newRow("right-to-left override") << QStringLiteral("fdp\u202e.exe") << "fdp_.exe";
        QTest::newRow("isolate") << QStringLiteral("a\u2067b.pdf") << "a_b.pdf";
    }

    void uploadNames()
    {
        QFETCH(QString, client);
        QFETCH(QString, safe);
        QCOMPARE(safeUploadName(client), safe);
    }

    void passwordDigests()
    {
        // Accounts of earlier versions hold standard PBKDF2-HMAC-SHA256.
        QCOMPARE(password::pbkdf2(QStringLiteral("passwd"), "salt", 1).toHex(),
                 QByteArray("55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"));
        // The reference implementation's own test vector.
        QCOMPARE(password::argon2id(QStringLiteral("password"), "somesalt", password::Cost{65536, 2, 1}).toHex(),
                 QByteArray("09316115d5cf24ed5a15a31a3ba326e5cf32edc24702987c02b6566f61913cf7"));
        const password::Cost cheap{64, 1, 1};
        const password::Digest d = password::make(QStringLiteral("пароль1"), cheap);
        QVERIFY(password::matches(QStringLiteral("пароль1"), d));
        QVERIFY(!password::matches(QStringLiteral("пароль2"), d));
        QVERIFY(password::outdated(d));
        // What the store keeps reads back as the same digest.
        password::Digest back;
        QVERIFY(password::fromStored(d.salt, password::storedHash(d), password::storedRounds(d), &back));
        QVERIFY(password::matches(QStringLiteral("пароль1"), back));
        // A damaged row matches nothing rather than costing a worker for minutes.
        QVERIFY(password::fromStored(d.salt, QStringLiteral("argon2id$m=99999999,t=1,p=1$") + d.hash.toHex(), 0, &back));
        QVERIFY(!password::matches(QStringLiteral("пароль1"), back));
        QVERIFY(!password::fromStored(d.salt, QStringLiteral("argon2id$m=,t=1"), 0, &back));
    }

    void throttleForgetsOverlongNames()
    {
        // No account has a name over 100 characters; remembering such names
        // would let a peer fill the server's memory one failed login at a time.
        LoginThrottle t(500, 4000);
        const QString longName(32000, QLatin1Char('x'));
        t.failed(longName, 1000);
        QCOMPARE(t.reserve(longName, 1000), qint64(0));
        const QString longest(100, QLatin1Char('x'));
        t.failed(longest, 1000);
        QCOMPARE(t.reserve(longest, 1000), qint64(500));
    }

    void throttleGrows()
    {
        LoginThrottle t(500, 4000);
        qint64 now = 1000;
        QCOMPARE(t.reserve(QStringLiteral("a"), now), qint64(0));
        t.failed(QStringLiteral("a"), now);
        // 0.5, 1, 2, then capped at 4 s.
        const qint64 expected[] = {500, 1000, 2000, 4000, 4000};
        for (qint64 e : expected) {
            const qint64 wait = t.reserve(QStringLiteral("a"), now);
            QCOMPARE(wait, e);
            now += wait;
            t.failed(QStringLiteral("a"), now);
        }
        // Other names are not held up; success clears the record.
        QCOMPARE(t.reserve(QStringLiteral("b"), now), qint64(0));
        t.succeeded(QStringLiteral("a"));
        QCOMPARE(t.reserve(QStringLiteral("a"), now), qint64(0));
    }

    void throttleQueuesParallelTries()
    {
        LoginThrottle t(500, 30000);
        t.failed(QStringLiteral("a"), 0);
        t.failed(QStringLiteral("a"), 0); // two failures: 1 s spacing
        // Three tries at the same moment get successive turns.
        QCOMPARE(t.reserve(QStringLiteral("a"), 0), qint64(1000));
        QCOMPARE(t.reserve(QStringLiteral("a"), 0), qint64(2000));
        QCOMPARE(t.reserve(QStringLiteral("a"), 0), qint64(3000));
        // A flood of them does not lock the name beyond the longest delay.
        qint64 longest = 0;
        for (int i = 0; i < 200; ++i)
            longest = qMax(longest, t.reserve(QStringLiteral("a"), 5000));
        QCOMPARE(longest, qint64(30000));
        QCOMPARE(t.reserve(QStringLiteral("a"), 5000), qint64(30000));
    }

    void throttleForgetsOldFailures()
    {
        LoginThrottle t(500, 30000);
        t.failed(QStringLiteral("a"), 0);
        t.failed(QStringLiteral("a"), 0);
        QCOMPARE(t.reserve(QStringLiteral("a"), 16 * 60 * 1000), qint64(0));
        QCOMPARE(t.failures(QStringLiteral("a")), 0);
    }

    void accessLists_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("normal");
        QTest::newRow("all") << "SNP,PUTG,PUTGm" << true << "SNP,PUTG,PUTGm";
        QTest::newRow("case and blanks") << " putgm , snp" << true << "SNP,PUTGm";
        QTest::newRow("none") << "" << true << "";
        QTest::newRow("unknown") << "SNP,FLAN" << false << "";
    }

    void accessLists()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QString, normal);
        Access a;
        QCOMPARE(Access::parse(text, &a), ok);
        if (ok)
            QCOMPARE(a.toString(), normal);
    }

    void csvQuotesAndFormulas()
    {
        Order o;
        o.id = 7;
        o.account = QStringLiteral("demo");
        o.code = 12;
        OrderRow r;
        r.id = 1;
        r.designation = QStringLiteral("+1");
        r.quantity = QStringLiteral("2");
        r.description = QStringLiteral("a;b \"c\"\nd");
        o.rows << r;
        Upload u;
        u.orderRowId = 1;
        u.storedName = QStringLiteral("x.pdf");
        o.uploads << u;
        const QStringList lines = Store::csvForOrder(o).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 4); // header, row spread over two lines, final newline
        QVERIFY(lines[1].startsWith(QStringLiteral("7;demo;12;;0;'+1;2;;;\"a;b \"\"c\"\"")));
        QCOMPARE(lines[2], QStringLiteral("d\";x.pdf"));

        // A tab or carriage return in front of a formula is neutralised as well.
        r.designation = QStringLiteral("\t=1+1");
        r.description = QStringLiteral("\r=2+2");
        o.rows = {r};
        const QString csv = Store::csvForOrder(o);
        QVERIFY2(csv.contains(QStringLiteral(";'\t=1+1;")), qPrintable(csv));
        QVERIFY2(csv.contains(QStringLiteral("\"'\r=2+2\"")), qPrintable(csv));
    }

    void migrationsAndBadUrls_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("ok");
        QTest::newRow("sqlite") << "" << true;
        if (harness::usingPostgres())
            QTest::newRow("postgresql") << harness::TestDatabase().url() << true;
        QTest::newRow("other scheme") << "mysql://u:p@h/db" << false;
        QTest::newRow("no database") << "postgresql://u:p@localhost" << false;
        QTest::newRow("no host") << "postgresql:///db" << false;
    }

    void migrationsAndBadUrls()
    {
        QFETCH(QString, url);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        Store s;
        QString error;
        QCOMPARE(s.open(url, dir.path(), &error), ok);
        if (!ok) {
            QVERIFY(!error.isEmpty());
            return;
        }
        QCOMPARE(s.schemaVersion(), Store::latestSchemaVersion());
        QString e;
        QVERIFY(s.addAccount(QStringLiteral("x"), QStringLiteral("y"), Access{}, &e));
        QVERIFY(!s.addAccount(QStringLiteral("x"), QStringLiteral("z"), Access{}, &e));
        QVERIFY(!s.addAccount(QStringLiteral("a b"), QStringLiteral("z"), Access{}, &e));
        s.close();
        // Opening again neither migrates twice nor loses data.
        Store again;
        QVERIFY(again.open(url, dir.path(), &error));
        QCOMPARE(again.schemaVersion(), Store::latestSchemaVersion());
        QCOMPARE(again.accountCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestServerUnits)
#include "tst_server_units.moc"
