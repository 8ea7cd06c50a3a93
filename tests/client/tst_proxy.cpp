// Connection settings dialog and how the login window takes its result over.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include "app/message.h"
#include "fake_login_peer.h"
#include "login/proxy.h"
#include "login/startwindow.h"
#include "modal_driver.h"

namespace {

template <typename T>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QLatin1String(name));
    if (!c)
        qFatal("no widget %s", name);
    return c;
}

QVariantMap settings(const QString &host, int port, int type, const QString &proxyHost,
                     const QString &proxyPort, bool aut, const QString &user, const QString &pass)
{
    QVariantMap s;
    s[QStringLiteral("host")] = host;
    s[QStringLiteral("port")] = port;
    s[QStringLiteral("type")] = type;
    s[QStringLiteral("proxy_host")] = proxyHost;
    s[QStringLiteral("proxy_port")] = proxyPort;
    s[QStringLiteral("aut")] = aut;
    s[QStringLiteral("user")] = user;
    s[QStringLiteral("pass")] = pass;
    return s;
}

void clickButton(QDialog *d, QDialogButtonBox::StandardButton which)
{
    child<QDialogButtonBox>(d, "buttonBox")->button(which)->click();
}

} // namespace

class TestProxy : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    }

    void opensWithDefaults()
    {
        const QVariantMap defaults = StartWindow::defaultSettings(QStringLiteral("orders.example"), 63000);
        Proxy p(defaults);
        QCOMPARE(p.windowTitle(), QStringLiteral("Настройки подключения"));
        QCOMPARE(child<QLineEdit>(&p, "lineEdit")->text(), QStringLiteral("orders.example"));
        QCOMPARE(child<QLineEdit>(&p, "lineEdit_6")->text(), QStringLiteral("63000"));
        auto *combo = child<QComboBox>(&p, "comboBox");
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(0), QStringLiteral("NONE"));
        QCOMPARE(combo->itemText(1), QStringLiteral("HTTP(S)"));
        QCOMPARE(combo->itemText(2), QStringLiteral("SOCKS5"));
        QCOMPARE(combo->currentText(), QStringLiteral("NONE"));
        QVERIFY(child<QLineEdit>(&p, "lineEdit_3")->text().isEmpty());
        QVERIFY(child<QLineEdit>(&p, "lineEdit_2")->text().isEmpty());
        QVERIFY(!child<QCheckBox>(&p, "checkBox")->isChecked());
        QVERIFY(!child<QCheckBox>(&p, "checkBox")->isEnabled());
        QVERIFY(!child<QLineEdit>(&p, "lineEdit_4")->isEnabled());
        QVERIFY(!child<QLineEdit>(&p, "lineEdit_5")->isEnabled());
        // Untouched, the dialog gives back what it was given, types included.
        const QVariantMap back = p.settingsMap();
        QCOMPARE(back, defaults);
        QCOMPARE(back.value(QStringLiteral("port")).userType(), int(QMetaType::Int));
        QCOMPARE(back.value(QStringLiteral("type")).userType(), int(QMetaType::Int));
        QCOMPARE(back.value(QStringLiteral("aut")).userType(), int(QMetaType::Bool));
    }

    void opensFromMap_data()
    {
        QTest::addColumn<QVariantMap>("in");
        QTest::addColumn<bool>("checkEnabled");
        QTest::addColumn<bool>("loginEnabled");
        QTest::newRow("socks5 with login")
            << settings("10.0.0.5", 7000, 2, "proxy.lan", "1080", true, "u", "p") << true << true;
        QTest::newRow("http without login")
            << settings("10.0.0.5", 7000, 1, "proxy.lan", "3128", false, "u", "p") << true << false;
        QTest::newRow("none keeps proxy fields")
            << settings("srv", 1, 0, "proxy.lan", "3128", false, "u", "p") << false << false;
        QTest::newRow("missing keys") << QVariantMap() << false << false;
    }

    void opensFromMap()
    {
        QFETCH(QVariantMap, in);
        QFETCH(bool, checkEnabled);
        QFETCH(bool, loginEnabled);
        Proxy p(in);
        QCOMPARE(child<QComboBox>(&p, "comboBox")->currentIndex(), in.value("type").toInt());
        QCOMPARE(child<QCheckBox>(&p, "checkBox")->isEnabled(), checkEnabled);
        QCOMPARE(child<QLineEdit>(&p, "lineEdit_4")->isEnabled(), loginEnabled);
        QCOMPARE(child<QLineEdit>(&p, "lineEdit_5")->isEnabled(), loginEnabled);
        QVariantMap expected = in.isEmpty() ? settings("", 0, 0, "", "", false, "", "") : in;
        QCOMPARE(p.settingsMap(), expected);
    }

    // Each row edits the opened dialog, ends it with OK or Cancel and checks
    // the outcome and the map read back.
    void edits_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("expectType");
        QTest::addColumn<int>("expectPort");
        QTest::newRow("HTTP(S) then OK") << 1 << "63000" << true << 1 << 63000;
        QTest::newRow("SOCKS5 then OK") << 2 << "63000" << true << 2 << 63000;
        QTest::newRow("port abc") << 0 << "abc" << true << 0 << 0;
        QTest::newRow("port empty") << 0 << "" << true << 0 << 0;
        QTest::newRow("port typed") << 1 << "8081" << true << 1 << 8081;
        QTest::newRow("cancel") << 2 << "1" << false << 2 << 1;
    }

    void edits()
    {
        QFETCH(int, type);
        QFETCH(QString, port);
        QFETCH(bool, ok);
        QFETCH(int, expectType);
        QFETCH(int, expectPort);
        Proxy p(StartWindow::defaultSettings(QStringLiteral("srv"), 63000));
        p.show();
        QVERIFY(QTest::qWaitForWindowActive(&p));
        child<QComboBox>(&p, "comboBox")->setCurrentIndex(type);
        if (type != 0) {
            QVERIFY(child<QCheckBox>(&p, "checkBox")->isEnabled());
            QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&p, "lineEdit_3"));
        }
        auto *portEdit = child<QLineEdit>(&p, "lineEdit_6");
        portEdit->clear();
        QTest::keyClicks(portEdit, port);
        clickButton(&p, ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
        QCOMPARE(p.result(), int(ok ? QDialog::Accepted : QDialog::Rejected));
        QVERIFY(!p.isVisible());
        const QVariantMap m = p.settingsMap();
        QCOMPARE(m.size(), 8);
        QCOMPARE(m.value("type").toInt(), expectType);
        QCOMPARE(m.value("port").userType(), int(QMetaType::Int));
        QCOMPARE(m.value("port").toInt(), expectPort);
    }

    void backToNoneKeepsValues()
    {
        Proxy p(StartWindow::defaultSettings(QStringLiteral("srv"), 63000));
        auto *combo = child<QComboBox>(&p, "comboBox");
        auto *check = child<QCheckBox>(&p, "checkBox");
        auto *user = child<QLineEdit>(&p, "lineEdit_4");
        auto *pass = child<QLineEdit>(&p, "lineEdit_5");
        combo->setCurrentIndex(1);
        check->click();
        QVERIFY(check->isChecked());
        QVERIFY(user->isEnabled() && pass->isEnabled());
        child<QLineEdit>(&p, "lineEdit_3")->setText(QStringLiteral("proxy.lan"));
        child<QLineEdit>(&p, "lineEdit_2")->setText(QStringLiteral("3128"));
        user->setText(QStringLiteral("petrov"));
        pass->setText(QStringLiteral("pa ss"));

        combo->setCurrentIndex(0);
        QVERIFY(!check->isEnabled());
        QVERIFY(!user->isEnabled());
        QVERIFY(!pass->isEnabled());
        QCOMPARE(p.settingsMap(),
                 settings("srv", 63000, 0, "proxy.lan", "3128", true, "petrov", "pa ss"));

        // A proxy kind again: the check box comes back, the fields keep their state.
        combo->setCurrentIndex(2);
        QVERIFY(check->isEnabled());
        QVERIFY(!user->isEnabled());
        check->click();
        QVERIFY(!check->isChecked());
        QVERIFY(!user->isEnabled() && !pass->isEnabled());
        check->click();
        QVERIFY(user->isEnabled() && pass->isEnabled());
    }

    // Accepting the settings while connected drops the connection: the next
    // "Войти" connects anew, to the new address, and the old socket no longer
    // reaches the login window. Cancel changes nothing.
    void settingsWhileConnecting()
    {
        // A SOCKS5 proxy that takes the connection and never answers keeps the
        // attempt pending, as a wrong or dead proxy does.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        FakeLoginPeer server;
        QVERIFY(server.listen());
        StartWindow w(QStringLiteral("order.example"), 63000);
        w.setSettings(settings(QStringLiteral("order.example"), 63000, 2, QStringLiteral("127.0.0.1"),
                               QString::number(silent.serverPort()), false, QString(), QString()));
        w.show();
        child<QLineEdit>(&w, "lineEditUsr")->setText(server.user);
        child<QLineEdit>(&w, "lineEditPass")->setText(server.password);
        child<QPushButton>(&w, "LoginBut")->click();
        QVERIFY(silent.waitForNewConnection(5000));
        QTcpSocket *stuck = silent.nextPendingConnection();
        QPointer<QTcpSocket> pending = w.pendingSocket();
        QVERIFY(pending);
        QVERIFY(w.hasKeptRequests());
        QCOMPARE(QNetworkProxy::applicationProxy().type(), QNetworkProxy::Socks5Proxy);
        // The user gives up waiting, closes the dialog and drops the proxy.
        for (Message *m : w.findChildren<Message *>())
            m->close();
        whenModal<Proxy>([&](Proxy *p) {
            child<QComboBox>(p, "comboBox")->setCurrentIndex(0);
            child<QLineEdit>(p, "lineEdit")->setText(QStringLiteral("127.0.0.1"));
            child<QLineEdit>(p, "lineEdit_6")->setText(QString::number(server.port()));
            clickButton(p, QDialogButtonBox::Ok);
        });
        child<QPushButton>(&w, "ExitBut_2")->click();

        // The old attempt is gone, and with it the login kept for the proxy.
        QCOMPARE(w.pendingSocket(), nullptr);
        QVERIFY(!w.hasKeptRequests());
        QTRY_VERIFY(pending.isNull());
        QTRY_COMPARE(stuck->state(), QAbstractSocket::UnconnectedState);

        child<QPushButton>(&w, "LoginBut")->click();
        // "No proxy" now means none, not the proxy chosen before.
        QCOMPARE(QNetworkProxy::applicationProxy().type(), QNetworkProxy::NoProxy);
        QTRY_COMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(server.connectionCount(), 1);
        QCOMPARE(server.requests().size(), 1);
    }

    void settingsWhileConnected_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("accepted") << true;
        QTest::newRow("cancelled") << false;
    }

    void settingsWhileConnected()
    {
        QFETCH(bool, accept);
        FakeLoginPeer first, second;
        QVERIFY(first.listen());
        QVERIFY(second.listen());

        StartWindow w(QStringLiteral("127.0.0.1"), first.port());
        w.show();
        child<QLineEdit>(&w, "lineEditUsr")->setText(first.user);
        child<QLineEdit>(&w, "lineEditPass")->setText(QStringLiteral("wrong"));
        child<QPushButton>(&w, "LoginBut")->click();
        QTRY_VERIFY(w.loginSocket());
        QTRY_COMPARE(first.requests().size(), 1); // the refused login
        QTcpSocket *old = w.loginSocket();
        // Let the refusal reach the window and close its status dialog.
        QTRY_VERIFY(!QApplication::activeModalWidget()
                    || !qobject_cast<Message *>(QApplication::activeModalWidget())
                    || qobject_cast<Message *>(QApplication::activeModalWidget())->isCloseEnabled());
        for (Message *m : w.findChildren<Message *>())
            m->close();

        bool seen = false;
        const quint16 newPort = second.port();
        whenModal<Proxy>([&](Proxy *p) {
            seen = true;
            QCOMPARE(p->parentWidget(), &w);
            child<QLineEdit>(p, "lineEdit_6")->setText(QString::number(newPort));
            clickButton(p, accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
        });
        child<QPushButton>(&w, "ExitBut_2")->click();
        QVERIFY(seen);

        if (!accept) {
            QCOMPARE(w.loginSocket(), old);
            QCOMPARE(w.settings().value("port").toInt(), int(first.port()));
            return;
        }
        QCOMPARE(w.settings().value("port").toInt(), int(newPort));
        QCOMPARE(w.loginSocket(), nullptr);

        // A success answer on the old connection must not log the window in.
        const QByteArray late = FakeLoginPeer::loginSuccessFrame(QVariantMap());
        first.connection(0)->write(late);
        QTRY_COMPARE(old->bytesAvailable(), qint64(late.size()));
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(w.loginData().isEmpty());

        child<QLineEdit>(&w, "lineEditPass")->setText(second.password);
        child<QPushButton>(&w, "LoginBut")->click();
        QVERIFY(w.pendingSocket());
        QVERIFY(w.pendingSocket() != old);
        QTRY_COMPARE(second.connectionCount(), 1);
        QTRY_COMPARE(second.requests().size(), 1);
        QTRY_COMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(w.loginSocket() != old);
        QCOMPARE(first.connectionCount(), 1);
        QCOMPARE(second.requests().size(), 1);
        QCOMPARE(int(second.requests().at(0).code), int(wire::Login));
        QCOMPARE(w.loginData().value("SNP").toBool(), true);
    }
};

QTEST_MAIN(TestProxy)
#include "tst_proxy.moc"
