// The login window against the real server over TLS when the server cannot
// be verified: each reason is shown in Russian, and the password never
// leaves the machine.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "../server/serverharness.h"
#include "app/message.h"
#include "login/startwindow.h"
#include "login_helpers.h"
#include "testcerts.h"

class TstTlsLogin : public QObject
{
    Q_OBJECT
    TestCerts m_certs;
    TestCerts m_otherAuthority;
    enum Trust { Ours, Other, System };

private slots:
    void initTestCase()
    {
        Message::restartLauncher = [] {};
        Message::processExit = [](int) {};
        QString why = m_certs.makeAuthority();
        if (why.isEmpty())
            why = m_otherAuthority.makeAuthority();
        QVERIFY2(why.isEmpty(), qPrintable(why));
    }

    void refusedServers_data()
    {
        QTest::addColumn<QStringList>("names");   // of the server's certificate; empty: a plain server
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("trust");           // the authorities the client trusts
        QTest::addColumn<QString>("reason");
        const QStringList local{"IP:127.0.0.1", "DNS:localhost"};
        QTest::newRow("another name") << QStringList{"DNS:orders.example"} << 2 << int(Ours)
                                      << "сертификат сервера выдан на другое имя, а не на «127.0.0.1»";
        QTest::newRow("expired") << local << -1 << int(Ours) << "срок действия сертификата сервера истёк";
        QTest::newRow("unknown issuer") << local << 2 << int(Other)
                                        << "сертификат сервера выдан неизвестным центром сертификации";
        QTest::newRow("unknown to the system store") << local << 2 << int(System)
                                                     << "сертификат сервера выдан неизвестным центром сертификации";
        QTest::newRow("plain server") << QStringList() << 0 << int(Ours)
                                      << "Сервер не ответил при установке защищённого соединения";
    }

    void refusedServers()
    {
        QFETCH(QStringList, names);
        QFETCH(int, days);
        QFETCH(int, trust);
        QFETCH(QString, reason);
        QStringList args;
        if (!names.isEmpty()) {
            TestCerts::Pair pair;
            const QString why = m_certs.issue(QTest::currentDataTag(), names, days, &pair);
            QVERIFY2(why.isEmpty(), qPrintable(why));
            args << "--tls-cert" << pair.cert << "--tls-key" << pair.key;
        }
        harness::Server server;
        QVERIFY(server.start(args));

        StartWindow w("127.0.0.1", server.port());
        ClientTls tls;
        tls.enabled = true;
        tls.handshakeTimeoutMs = 1500;
        if (trust != System)
            tls.useCaFile(trust == Other ? m_otherAuthority.ca() : m_certs.ca());
        QVERIFY(tls.problem.isEmpty());
        w.setTls(tls);
        w.show();
        pressLogin(w, "demo", "demo123");
        if (names.isEmpty()) {
            // The plain server serves others while the TLS client waits.
            harness::Client other;
            QVERIFY(other.connectTo(server.port()));
            QVERIFY(other.login("demo", "demo123"));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!shownError(w).isEmpty(), 15000);
        QVERIFY2(shownError(w).contains(reason), qPrintable(shownError(w)));
        QCOMPARE(w.loginSocket(), nullptr);
        QVERIFY(w.result() != QDialog::Accepted);
        // Another press tries again and is refused again: there is no way past.
        w.findChild<QPushButton *>("LoginBut")->click();
        QTest::qWait(300);
        QCOMPARE(w.loginSocket(), nullptr);
        server.stop();
        QVERIFY2(server.output().count("login of") == (names.isEmpty() ? 1 : 0), qPrintable(server.output()));
    }

    void unreadableAuthorityFileStopsTheLogin()
    {
        StartWindow w("127.0.0.1", 9);
        ClientTls tls;
        tls.enabled = true;
        tls.useCaFile(m_certs.path("missing.pem"));
        w.setTls(tls);
        w.show();
        w.findChild<QPushButton *>("LoginBut")->click();
        QCOMPARE(shownError(w), "Ошибка: Не удалось прочитать сертификат центра сертификации из файла "
                                    + m_certs.path("missing.pem") + ".");
        QCOMPARE(w.pendingSocket(), nullptr);
    }
};

QTEST_MAIN(TstTlsLogin)
#include "tst_tls_login.moc"
