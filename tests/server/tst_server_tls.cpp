// The server's TLS port: encrypted logins and requests, plain clients beside
// it when asked, and every kind of broken handshake ending only its own
// connection, with a log line saying why.
#include <QtTest>

#include "serverharness.h"
#include "testcerts.h"

class TstServerTls : public QObject
{
    Q_OBJECT
    TestCerts m_certs;
    TestCerts::Pair m_pair;

    QStringList tlsArgs() const { return {"--tls-cert", m_pair.cert, "--tls-key", m_pair.key}; }

private slots:
    void initTestCase()
    {
        const QString why = m_certs.makeServer({"IP:127.0.0.1", "DNS:localhost"}, &m_pair);
        QVERIFY2(why.isEmpty(), qPrintable(why));
    }

    // Behind a balancer the PROXY header comes first, in the clear, and the
    // handshake right behind it, often in the same packet.
    void tlsBehindABalancer()
    {
        harness::Server server;
        QVERIFY(server.start(tlsArgs() + QStringList{"--proxy-protocol"}));
        harness::Client c;
        auto &ssl = static_cast<QSslSocket &>(c.socket());
        QSslConfiguration conf = ssl.sslConfiguration();
        conf.setCaCertificates(QSslCertificate::fromPath(m_certs.ca()));
        ssl.setSslConfiguration(conf);
        QVERIFY(c.connectTo(server.port()));
        ssl.write("PROXY TCP4 192.0.2.7 127.0.0.1 40000 63000\r\n");
        ssl.startClientEncryption();
        QVERIFY2(ssl.waitForEncrypted(10000), qPrintable(ssl.errorString()));
        QVERIFY(c.login("demo", "demo123"));
        server.stop();
        QVERIFY2(server.output().contains("login of demo from 192.0.2.7"), qPrintable(server.output()));
    }

    void servesTlsAndPlainBeside()
    {
        harness::Server server;
        QVERIFY(server.start(tlsArgs() + QStringList{"--plain-port", "0"}));
        const QRegularExpression re("TLS on port ([0-9]+), plain connections on port ([0-9]+)");
        const auto m = re.match(server.output());
        QVERIFY2(m.hasMatch(), qPrintable(server.output()));
        QCOMPARE(m.captured(1).toUInt(), uint(server.port()));

        harness::Client tls;
        QVERIFY(tls.connectEncrypted(server.port(), m_certs.ca()));
        const auto &ssl = static_cast<QSslSocket &>(tls.socket());
        QVERIFY(ssl.isEncrypted());
        QVERIFY(ssl.sessionProtocol() == QSsl::TlsV1_2 || ssl.sessionProtocol() == QSsl::TlsV1_3);
        QVariantMap access;
        QVERIFY(tls.login("demo", "demo123", &access));
        QCOMPARE(access.value("SNP").toBool(), true);
        // After the login, main-window requests travel the same way.
        tls.send(wire::requestFrame(wire::TablesRequest, QString("")));
        quint8 code = 0;
        QByteArray arg;
        QVERIFY(tls.item(&code, &arg));
        QCOMPARE(int(code), 5);

        harness::Client plain;
        QVERIFY(plain.connectTo(quint16(m.captured(2).toUInt())));
        QVERIFY(plain.login("demo", "demo123"));
    }

    // Old protocol versions are refused by the server itself, whatever the
    // client offers; the server's log says so. TLS 1.2 is the control.
    void refusesOldProtocols_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("TLS 1.0") << "-tls1" << false;
        QTest::newRow("TLS 1.1") << "-tls1_1" << false;
        QTest::newRow("TLS 1.2") << "-tls1_2" << true;
    }

    void refusesOldProtocols()
    {
        QFETCH(QString, version);
        QFETCH(bool, accepted);
        harness::Server server;
        QVERIFY(server.start(tlsArgs()));
        // Only the TLS port unless a plain one is asked for.
        QVERIFY2(!server.output().contains("plain"), qPrintable(server.output()));
        QProcess client;
        client.setProcessChannelMode(QProcess::MergedChannels);
        // Security level 0 lets this OpenSSL offer the old versions at all.
        client.start("openssl", {"s_client", "-connect", QString("127.0.0.1:%1").arg(server.port()), version,
                                 "-cipher", "DEFAULT@SECLEVEL=0", "-CAfile", m_certs.ca()});
        QVERIFY(client.waitForStarted());
        client.closeWriteChannel();
        QVERIFY(client.waitForFinished(20000));
        const QString said = QString::fromUtf8(client.readAll());
        QCOMPARE(said.contains(QRegularExpression("Cipher is [A-Z]")), accepted);
        server.stop();
        QCOMPARE(server.output().contains("TLS handshake failed") && server.output().contains("unsupported protocol"),
                 !accepted);
    }

    void refusesToStartWithoutUsableFiles_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString missing = m_certs.path("nothing.pem");
        QTest::newRow("missing certificate") << QStringList{"--tls-cert", missing, "--tls-key", m_pair.key}
                                             << "cannot read the TLS certificate " + missing;
        QTest::newRow("missing key") << QStringList{"--tls-cert", m_pair.cert, "--tls-key", missing}
                                     << "cannot read the TLS key " + missing;
        QTest::newRow("unreadable certificate") << QStringList{"--tls-cert", m_certs.path(""), "--tls-key", m_pair.key}
                                                << "cannot read the TLS certificate " + m_certs.path("");
        QTest::newRow("certificate for key") << QStringList{"--tls-cert", m_pair.cert, "--tls-key", m_pair.cert}
                                             << "holds no PEM private key";
        QTest::newRow("key for certificate") << QStringList{"--tls-cert", m_pair.key, "--tls-key", m_pair.key}
                                             << "holds no PEM certificate";
        TestCerts::Pair other;
        QVERIFY2(m_certs.issue("other", {"IP:127.0.0.1"}, 2, &other).isEmpty(), "openssl failed");
        QTest::newRow("key of another certificate") << QStringList{"--tls-cert", m_pair.cert, "--tls-key", other.key}
                                                    << "the key in " + other.key + " does not belong to the certificate";
        QTest::newRow("certificate alone") << QStringList{"--tls-cert", m_pair.cert}
                                           << "--tls-cert and --tls-key go together";
        QTest::newRow("plain port without TLS") << QStringList{"--plain-port", "0"} << "--plain-port";
    }

    void refusesToStartWithoutUsableFiles()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        harness::Server server;
        QString out;
        QCOMPARE(server.command(QStringList{"--port", "0"} + args, &out), 1);
        QVERIFY2(out.contains(message), qPrintable(out));
        QVERIFY2(!out.contains("listening on"), qPrintable(out));
    }

    // Each broken peer is let go with a log line, while a customer logged in
    // before it keeps being served.
    void brokenHandshakesEndOnlyThatConnection_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("logged");
        QTest::newRow("plain client") << wire::requestFrame(wire::Login, wire::loginText("demo", "demo123"))
                                      << "TLS handshake failed";
        QByteArray garbage;
        for (int i = 0; i < 300; ++i)
            garbage += char(i * 73 + 11);
        QTest::newRow("garbage") << garbage << "TLS handshake failed";
        QTest::newRow("silence") << QByteArray() << "no TLS handshake within 1 s";
        // A ClientHello announced, then nothing more.
        QTest::newRow("stalled hello") << QByteArray::fromHex("160301020001") << "no TLS handshake within 1 s";
    }

    void brokenHandshakesEndOnlyThatConnection()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QString, logged);
        harness::Server server;
        QVERIFY(server.start(tlsArgs() + QStringList{"--tls-handshake-timeout", "1"}));
        harness::Client customer;
        QVERIFY(customer.connectEncrypted(server.port(), m_certs.ca()));
        QVERIFY(customer.login("demo", "demo123"));

        harness::Client broken;
        QVERIFY(broken.connectTo(server.port()));
        if (!sent.isEmpty())
            broken.send(sent);
        QVERIFY(broken.closedByServer(8000));
        QVERIFY(harness::waitFor([&] {
            server.process().waitForReadyRead(50);
            return QString::fromUtf8(server.process().peek(1 << 20)).contains(logged);
        }));

        customer.send(wire::requestFrame(wire::TablesRequest, QString("")));
        quint8 code = 0;
        QByteArray arg;
        QVERIFY(customer.item(&code, &arg));
        QCOMPARE(int(code), 5);
        QVERIFY(server.running());
    }
};

QTEST_MAIN(TstServerTls)
#include "tst_server_tls.moc"
