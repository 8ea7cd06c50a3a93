// Upload names are data, never paths; sizes are capped; a cut-off upload
// leaves nothing behind; silent connections are closed.
#include "serverharness.h"

#include <QDirIterator>
#include <QtTest>

using harness::Client;

class TestServerUploads : public QObject
{
    Q_OBJECT
    harness::Server m_server;

    QStringList filesUnder(const QString &dir)
    {
        QStringList out;
        QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << it.next();
        return out;
    }

    // The order of one row that drawings attach to.
    void orderOneRow(Client &c)
    {
        c.send(wire::requestFrame(wire::OrderInvoice,
                                  QStringList{QStringLiteral("СНП"), QStringLiteral("1"), QStringLiteral("15"),
                                              QStringLiteral("x"), QStringLiteral("d")}));
        quint8 code = 0;
        QByteArray arg;
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.start({QStringLiteral("--max-upload"), QStringLiteral("100000"), QStringLiteral("--idle-timeout"),
                                QStringLiteral("3")}));
    }

    void pathTricks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kept"); // empty: refused
        QTest::newRow("parent dirs") << "../../etc/passwd" << "passwd";
        QTest::newRow("absolute") << "/abs" << "abs";
        QTest::newRow("backslash") << "a\\b" << "b";
        QTest::newRow("windows path") << "C:\\dir\\plan.pdf" << "plan.pdf";
        QTest::newRow("mixed") << "..\\../..\\x.dwg" << "x.dwg";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("dot dot") << ".." << "";
        QTest::newRow("dir only") << "dir/" << "";
        QTest::newRow("control char") << QStringLiteral("a\nb.pdf") << "a_b.pdf";
        QTest::newRow("nul") << QString::fromUtf16(u"a\u0000b", 3) << "a_b";
        QTest::newRow("bidi override") << QStringLiteral("fdp\u202E.exe") << "fdp_.exe";
        QTest::newRow("cyrillic") << QStringLiteral("чертёж №1.pdf") << QStringLiteral("чертёж №1.pdf");
    }

    void pathTricks()
    {
        QFETCH(QString, name);
        QFETCH(QString, kept);
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        orderOneRow(c);
        Store store;
        QVERIFY(m_server.openStore(&store));
        const int before = store.uploads().size();
        const QByteArray data = "root:x:0:0:" + name.toUtf8();
        c.upload(name, data, QStringLiteral("0"));
        // A follow-up request proves the stream stayed in step; it is
        // answered only after the upload was dealt with.
        orderOneRow(c);
        const QList<Upload> all = store.uploads();
        if (kept.isEmpty()) {
            QCOMPARE(all.size(), before);
        } else {
            QCOMPARE(all.size(), before + 1);
            const Upload &u = all.last();
            QCOMPARE(u.clientName, kept);
            // The stored name is the server's own: no trace of the client's.
            QVERIFY(!u.storedName.contains(QLatin1Char('/')) && !u.storedName.contains(QLatin1String("..")));
            QVERIFY(!u.storedName.contains(QLatin1String("passwd")));
            QCOMPARE(m_server.storedFile(&store, u), data);
        }
        // Nothing lands beside the data directory or outside uploads/ (the
        // server's own mail and the maker's heading aside).
        const QString root = QFileInfo(m_server.dataDir()).absolutePath();
        for (const QString &f : filesUnder(root)) {
            const QString rel = QDir(m_server.dataDir()).relativeFilePath(f);
            QVERIFY2(!rel.startsWith(QLatin1String("..")), qPrintable(f));
            QVERIFY2(rel.startsWith(QLatin1String("uploads/")) || rel.startsWith(QLatin1String("vintaro.sqlite"))
                         || (rel.startsWith(QLatin1String("mail/")) && rel.endsWith(QLatin1String(".eml")))
                         || rel == QLatin1String("maker.txt"),
                     qPrintable(f));
        }
    }

    void sizeCap_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("at the cap") << qint64(100000) << true;
        QTest::newRow("one above") << qint64(100001) << false;
        QTest::newRow("negative") << qint64(-1) << false;
        QTest::newRow("huge") << qint64(1) << false; // replaced below by 2^62
    }

    void sizeCap()
    {
        QFETCH(qint64, size);
        QFETCH(bool, accepted);
        if (QByteArray(QTest::currentDataTag()) == "huge")
            size = qint64(1) << 62;
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        orderOneRow(c);
        c.send(wire::uploadHeader(QStringLiteral("big.bin"), size, QStringLiteral("0")));
        if (accepted) {
            c.send(QByteArray(int(size), 'z'));
            orderOneRow(c);
        } else {
            QVERIFY(c.closedByServer());
        }
        // Others are served all the same.
        Client other;
        QVERIFY(other.connectTo(m_server.port()));
        QVERIFY(other.login(QStringLiteral("demo"), QStringLiteral("demo123")));
    }

    // A file refused for its size ends the connection, but the questionnaire
    // stored just before it must still be answered, even while the client
    // goes on sending the file.
    void answerBeforeARefusedFileArrives_data()
    {
        QTest::addColumn<bool>("mainWindow");
        QTest::newRow("login window") << false;
        QTest::newRow("main window") << true;
    }

    void answerBeforeARefusedFileArrives()
    {
        QFETCH(bool, mainWindow);
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        if (mainWindow)
            QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        const QVariantMap sheet{{QStringLiteral("fio"), QStringLiteral("Иванов")},
                                {QStringLiteral("file_name"), QStringLiteral("big.pdf")}};
        const quint8 code = mainWindow ? wire::QuestionnaireRequest : wire::QuestionnaireBeforeLogin;
        const qint64 size = 400000;
        c.send(wire::requestFrame(code, sheet) + wire::uploadHeader(QStringLiteral("big.pdf"), size));
        for (qint64 at = 0; at < size && c.socket().state() == QAbstractSocket::ConnectedState; at += 6144) {
            c.socket().write(QByteArray(6144, 'b'));
            c.socket().waitForBytesWritten(1000);
        }
        QVERIFY(c.closedByServer());
        if (mainWindow) {
            quint8 got = 0;
            QByteArray arg;
            QVERIFY(c.item(&got, &arg, 1000));
            QCOMPARE(got, quint8(wire::QuestionnaireStored));
        } else {
            QString text;
            QVERIFY(c.loginReply(&text, nullptr, 1000));
            QCOMPARE(text, QStringLiteral("Опросный лист отправлен."));
        }
    }

    void dropMidUploadLeavesNothing()
    {
        Store store;
        QVERIFY(m_server.openStore(&store));
        const int before = store.uploads().size();
        const QString incoming = QDir(m_server.dataDir()).filePath(QStringLiteral("uploads/incoming"));
        {
            Client c;
            QVERIFY(c.connectTo(m_server.port()));
            QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
            orderOneRow(c);
            c.send(wire::uploadHeader(QStringLiteral("half.pdf"), 50000, QStringLiteral("0")));
            c.send(QByteArray(20000, 'h'));
            QVERIFY(harness::waitFor([&] { return !filesUnder(incoming).filter(QStringLiteral(".part")).isEmpty(); }));
            c.socket().abort();
        }
        QVERIFY(harness::waitFor([&] { return filesUnder(incoming).filter(QStringLiteral(".part")).isEmpty(); }));
        QCOMPARE(store.uploads().size(), before);
    }

    // A peer that never speaks is let go; a client is not, since losing the
    // connection makes it restart and drop its unsent order list.
    void onlySilentStrangersTimeOut()
    {
        Client stranger, customer, failedLogin;
        QVERIFY(stranger.connectTo(m_server.port()));
        QVERIFY(customer.connectTo(m_server.port()));
        QVERIFY(failedLogin.connectTo(m_server.port()));
        QVERIFY(customer.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        // Someone who mistyped the password may still fill in the questionnaire.
        QVERIFY(!failedLogin.login(QStringLiteral("demo"), QStringLiteral("wrong")));
        QVERIFY(stranger.closedByServer(6000));
        QTest::qWait(1500); // the timeout is 3 s: both clients are past it now
        for (Client *c : {&customer, &failedLogin}) {
            QCOMPARE(c->socket().state(), QAbstractSocket::ConnectedState);
            c->send(wire::requestFrame(wire::TablesRequest, QString(QLatin1String(""))));
        }
        quint8 code = 0;
        QByteArray arg;
        QVERIFY(customer.item(&code, &arg));
        QCOMPARE(code, quint8(wire::TablesReply));
        QCOMPARE(failedLogin.socket().state(), QAbstractSocket::ConnectedState);
    }
};

QTEST_GUILESS_MAIN(TestServerUploads)
#include "tst_server_uploads.moc"
