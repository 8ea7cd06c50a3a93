// A client built with the server's authority compiled in (-DVINTARO_SERVER_CA;
// this test's build makes one) trusts that authority: it logs in to a server
// whose certificate it signed and refuses a server signed by another.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "../server/serverharness.h"
#include "app/message.h"
#include "login/startwindow.h"
#include "login_helpers.h"
#include "testcerts.h"
#include "vintaro_builtin_ca.h"

class TstBuiltinCa : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Message::restartLauncher = [] {};
        Message::processExit = [](int) {};
    }

    void loginTrustsTheCompiledInAuthority_data()
    {
        QTest::addColumn<bool>("signedByIt");
        QTest::newRow("signed by it") << true;
        QTest::newRow("signed by another") << false;
    }

    void loginTrustsTheCompiledInAuthority()
    {
        QFETCH(bool, signedByIt);
        ClientTls tls = ClientTls::withAuthority(vintaroBuiltinCa);
        QCOMPARE(tls.caCertificates, QSslCertificate::fromPath(BUILTIN_CA_DIR "/ca.pem"));
        tls.enabled = true;

        TestCerts certs;
        if (signedByIt) {
            QVERIFY(QFile::copy(BUILTIN_CA_DIR "/ca.pem", certs.ca()));
            QVERIFY(QFile::copy(BUILTIN_CA_DIR "/ca.key", certs.path("ca.key")));
        } else {
            QVERIFY(certs.makeAuthority().isEmpty());
        }
        TestCerts::Pair pair;
        const QString why = certs.issue("server", {"IP:127.0.0.1"}, 2, &pair);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        harness::Server server;
        QVERIFY(server.start({"--tls-cert", pair.cert, "--tls-key", pair.key}));

        StartWindow w("127.0.0.1", server.port());
        w.setTls(tls);
        w.show();
        pressLogin(w, "demo", "demo123");
        QTRY_VERIFY_WITH_TIMEOUT(w.result() == QDialog::Accepted || !shownError(w).isEmpty(), 20000);
        QCOMPARE(w.result() == QDialog::Accepted, signedByIt);
        if (!signedByIt)
            QVERIFY2(shownError(w).contains("выдан неизвестным центром сертификации"), qPrintable(shownError(w)));
    }
};

QTEST_MAIN(TstBuiltinCa)
#include "tst_builtin_ca.moc"
