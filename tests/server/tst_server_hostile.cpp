// Hostile bytes on one connection never stop the server or disturb others.
#include "serverharness.h"

#include <QRandomGenerator>
#include <QtTest>
#include <QtEndian>

using harness::Client;

namespace {

QByteArray u16(quint16 v)
{
    QByteArray b(2, '\0');
    qToBigEndian(v, b.data());
    return b;
}

QByteArray u32(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

QByteArray frame(const QByteArray &body)
{
    return u16(quint16(body.size())) + body;
}

QByteArray code(quint8 c)
{
    return QByteArray(1, char(c));
}

// What a load balancer writes first: a PROXY header (version 2) naming the
// customer at `ipv4`.
QByteArray proxyHeader(quint32 ipv4)
{
    return QByteArray("\r\n\r\n\0\r\nQUIT\n\x21\x11", 14) + u16(12) + u32(ipv4) + u32(0x7f000001) + u16(40000)
           + u16(7000);
}

QByteArray login(const char *user, const char *pass)
{
    return wire::requestFrame(wire::Login, wire::loginText(QLatin1String(user), QLatin1String(pass)));
}

} // namespace

class TestServerHostile : public QObject
{
    Q_OBJECT
    harness::Server m_server;
    harness::Server m_proxied;
    QString m_log;

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.start());
        QVERIFY(m_proxied.start({QStringLiteral("--proxy-protocol")}));
    }

    void hostileFrames_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("loginFirst");
        QTest::newRow("empty frame") << frame({}) << false;
        QTest::newRow("login without argument") << frame(code(1)) << false;
        QTest::newRow("login string longer than frame") << frame(code(1) + u32(0x7ffffff0) + "ab") << false;
        QTest::newRow("login odd byte count") << frame(code(1) + u32(3) + "abc") << false;
        QTest::newRow("login null string") << frame(code(1) + u32(0xffffffff)) << false;
        QTest::newRow("truncated map") << frame(code(7) + u32(5)) << true;
        QTest::newRow("map huge count") << frame(code(15) + u32(0xffffffff) + u32(0)) << true;
        QTest::newRow("map unknown variant type") << frame(code(17) + u32(1) + wire::encodeString(QStringLiteral("k")) + u32(999) + code(0)) << true;
        QByteArray deep = code(19);
        for (int i = 0; i < 40; ++i)
            deep += u32(1) + wire::encodeString(QStringLiteral("k")) + u32(QMetaType::QVariantMap) + code(0);
        QTest::newRow("map nested deep") << frame(deep) << true;
        QTest::newRow("string list huge count") << frame(code(12) + u32(0x7fffffff) + u32(0)) << true;
        QTest::newRow("string list count past end") << frame(code(21) + u32(1000) + wire::encodeString(QStringLiteral("a"))) << true;
        QTest::newRow("registration garbage") << frame(code(255) + QByteArray(300, '\xff')) << false;
        QTest::newRow("questionnaire truncated") << frame(code(9) + u32(2) + wire::encodeString(QStringLiteral("fio"))) << true;
        QTest::newRow("unknown codes") << frame(code(200) + "xyz") + frame(code(0)) + frame(code(5)) << true;
        QTest::newRow("tables before login") << frame(code(6) + u32(0)) << false;
        QTest::newRow("upload header truncated") << frame(code(4) + wire::encodeString(QStringLiteral("a.pdf"))) << true;
        QTest::newRow("upload header extra bytes") << frame(code(3) + wire::encodeString(QStringLiteral("a")) + QByteArray(8, '\0') + wire::encodeString(QStringLiteral("0")) + "zz") << true;
        QTest::newRow("upload negative size") << frame(code(4) + wire::encodeString(QStringLiteral("a")) + QByteArray(8, '\xff')) << true;
        QTest::newRow("length beyond data, then close") << u16(65535) + QByteArray(10, 'x') << false;
        QTest::newRow("one length byte") << QByteArray(1, '\x05') << false;
        QByteArray junk(64 * 1024, '\0');
        QRandomGenerator g(42);
        for (char &ch : junk)
            ch = char(g.bounded(256));
        QTest::newRow("random bytes") << junk << false;
        QTest::newRow("many empty frames") << QByteArray(4000, '\0') << true;
    }

    void hostileFrames()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, loginFirst);
        Client hostile;
        QVERIFY(hostile.connectTo(m_server.port()));
        if (loginFirst)
            QVERIFY(hostile.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        hostile.send(bytes);
        QTest::qWait(100);

        // Another client is served from login to an order meanwhile.
        Client other;
        QVERIFY(other.connectTo(m_server.port()));
        QVERIFY(other.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        other.send(wire::requestFrame(wire::TablesRequest, QString(QLatin1String(""))));
        quint8 c = 0;
        QByteArray arg;
        QVERIFY(other.item(&c, &arg));
        QCOMPARE(c, quint8(wire::TablesReply));
        other.send(wire::requestFrame(wire::OrderInvoice, QStringList{QStringLiteral("a"), QStringLiteral("1"),
                                                                     QStringLiteral("2"), QString(), QStringLiteral("b")}));
        QVERIFY(other.item(&c, &arg));
        QCOMPARE(c, quint8(wire::OrderAccepted));
        QVERIFY(m_server.running());

        // If the hostile connection is still open, it is still understood:
        // a well-formed request gets its answer (or the server hangs up).
        if (loginFirst && hostile.socket().state() == QAbstractSocket::ConnectedState) {
            hostile.send(wire::requestFrame(wire::TablesRequest, QString(QLatin1String(""))));
            bool answered = false;
            QByteArray body;
            while (!answered && hostile.nextBody(&body, 3000))
                answered = !body.isEmpty() && quint8(body.at(0)) == wire::TablesReply;
            QVERIFY(answered || hostile.closedByServer(1000));
        }
    }

    // Requests our client never makes before a login each cost the server
    // work and a log line; a peer that keeps sending them is let go.
    void unauthorisedRequestsEndTheConnection()
    {
        Client hostile;
        QVERIFY(hostile.connectTo(m_server.port()));
        QByteArray flood;
        for (int i = 0; i < 30; ++i)
            flood += frame(code(6) + u32(0));
        hostile.send(flood);
        QVERIFY(hostile.closedByServer());

        // Logged in, the same requests are no fault.
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        QByteArray requests;
        for (int i = 0; i < 30; ++i)
            requests += wire::requestFrame(wire::TablesRequest, QString(QLatin1String("")));
        c.send(requests);
        for (int i = 0; i < 30; ++i) {
            quint8 got = 0;
            QByteArray arg;
            QVERIFY(c.item(&got, &arg));
            QCOMPARE(got, quint8(wire::TablesReply));
        }
        QCOMPARE(c.socket().state(), QAbstractSocket::ConnectedState);
    }

    // Logins whose clients leave before the digest is done, and a login sent
    // together with the requests after it: those wait for the login's answer.
    void loginsKeepTheirPlace()
    {
        for (int i = 0; i < 40; ++i) {
            Client gone;
            QVERIFY(gone.connectTo(m_server.port()));
            gone.send(wire::requestFrame(wire::Login, wire::loginText(QStringLiteral("demo"), QStringLiteral("demo123"))));
            gone.socket().abort();
        }
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        c.send(wire::requestFrame(wire::Login, wire::loginText(QStringLiteral("demo"), QStringLiteral("demo123")))
               + wire::requestFrame(wire::TablesRequest, QString(QLatin1String(""))));
        QString text;
        QVERIFY(c.loginReply(&text));
        QCOMPARE(text, QStringLiteral("Авторизация прошла успешно"));
        quint8 got = 0;
        QByteArray arg;
        QVERIFY(c.item(&got, &arg));
        QCOMPARE(got, quint8(wire::TablesReply));
    }

    // Wrong logins by the dozen from one address take their turns with the
    // password checks; a customer elsewhere does not queue behind them all.
    // Behind a balancer, where all come from one peer, "elsewhere" is the
    // address its PROXY header gives.
    void loginFloodFromOneAddress_data()
    {
        QTest::addColumn<bool>("proxied");
        QTest::newRow("direct") << false;
        QTest::newRow("through a balancer") << true;
    }

    void loginFloodFromOneAddress()
    {
        QFETCH(bool, proxied);
        harness::Server &server = proxied ? m_proxied : m_server;
        const QByteArray floodHeader = proxied ? proxyHeader(0x0a000001) : QByteArray();
        QList<Client *> flood;
        for (int i = 0; i < 60; ++i) {
            flood << new Client;
            QVERIFY(flood.last()->connectTo(server.port()));
            flood.last()->send(floodHeader + login(qPrintable(QStringLiteral("flood%1").arg(i)), "x"));
        }
        QTest::qWait(300); // all of them read by the server
        Client other;
        if (!proxied)
            QVERIFY(other.socket().bind(QHostAddress(QStringLiteral("127.0.0.2"))));
        QVERIFY(other.connectTo(server.port()));
        if (proxied)
            other.send(proxyHeader(0x0a000002));
        QVERIFY(other.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        if (proxied) { // and the log names the customer, not the balancer
            QVERIFY(harness::waitFor([&] {
                server.process().waitForReadyRead(50);
                m_log += QString::fromUtf8(server.process().readAll());
                return m_log.contains(QStringLiteral("login of demo from 10.0.0.2"));
            }));
        }
        int answered = 0;
        for (Client *c : flood) {
            c->socket().waitForReadyRead(0);
            answered += c->socket().bytesAvailable() > 0 ? 1 : 0;
        }
        QVERIFY2(answered < flood.size() / 2, qPrintable(QString::number(answered)));
        qDeleteAll(flood);
    }

    // Behind a balancer a connection without a valid header is not served;
    // the balancer's health check (a LOCAL header) is.
    void balancerConnectionsNeedTheHeader()
    {
        Client bare;
        QVERIFY(bare.connectTo(m_proxied.port()));
        bare.send(login("demo", "demo123"));
        QVERIFY(bare.closedByServer());
        QCOMPARE(bare.socket().bytesAvailable(), qint64(0));
        Client check;
        QVERIFY(check.connectTo(m_proxied.port()));
        check.send(QByteArray("\r\n\r\n\0\r\nQUIT\n\x20\x00\x00\x00", 16));
        QVERIFY(check.login(QStringLiteral("demo"), QStringLiteral("demo123")));
    }

    void cleanupTestCase()
    {
        QVERIFY(m_server.running());
        m_server.stop();
        QVERIFY2(!m_server.output().contains(QStringLiteral("ASSERT")), qPrintable(m_server.output().right(2000)));
    }
};

QTEST_GUILESS_MAIN(TestServerHostile)
#include "tst_server_hostile.moc"
