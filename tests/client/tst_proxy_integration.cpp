// The login window's connection through real proxies: tinyproxy (HTTP
// CONNECT), microsocks and dante (SOCKS5), each started here on loopback with
// its own config, with and without authentication. The login goes to the real
// vintaro-server, listening on a non-loopback address of this machine because
// Qt never proxies connections to loopback addresses; the proxy's own log must
// show the connection to the server, so a bypassed proxy fails the test.
// The same logins also run over TLS through each proxy, and over TLS an
// order with a drawing and a questionnaire with its file before and after
// the login travel directly and through each proxy.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHostInfo>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <unistd.h>

#include "app/message.h"
#include "login/startwindow.h"
#include "order_helpers.h"
#include "questionnaire/questionnairesender.h"
#include "testcerts.h"
#include "wire.h"

namespace {

constexpr int kLoginTimeoutMs = 20000;

enum class Kind { Tinyproxy, Microsocks, Dante };

const char *toolName(Kind k)
{
    switch (k) {
    case Kind::Tinyproxy: return "tinyproxy";
    case Kind::Microsocks: return "microsocks";
    case Kind::Dante: return "danted";
    }
    return "";
}

QString findTool(const QString &name)
{
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(name, { "/usr/sbin", "/sbin", "/usr/local/sbin",
                                                      "/usr/bin", "/usr/local/bin" });
    return path;
}

quint16 freeLoopbackPort()
{
    QTcpServer s;
    s.setProxy(QNetworkProxy::NoProxy);
    if (!s.listen(QHostAddress::LocalHost, 0))
        return 0;
    return s.serverPort();
}

// An address of this machine that Qt does not treat as loopback.
QHostAddress peerAddress()
{
    for (const QHostAddress &a : QNetworkInterface::allAddresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback() && !a.isLinkLocal())
            return a;
    }
    return QHostAddress();
}

bool waitForListener(quint16 port, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        QTcpSocket probe;
        probe.setProxy(QNetworkProxy::NoProxy);
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (probe.waitForConnected(200)) {
            probe.disconnectFromHost();
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}

// The real order server on a fresh store (which gets the demo account),
// listening on the given address with a port of its own choosing.
class ServerRun
{
public:
    ~ServerRun()
    {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.terminate();
            if (!m_proc.waitForFinished(5000)) {
                m_proc.kill();
                m_proc.waitForFinished(5000);
            }
        }
    }

    // Empty on success, otherwise why the server did not come up.
    QString start(const QHostAddress &address, const QStringList &extra = {})
    {
        if (!m_dir.isValid())
            return QStringLiteral("no temporary directory");
        const QString binary = QDir(qEnvironmentVariable("VINTARO_BIN_DIR"))
                                   .filePath(QStringLiteral("vintaro-server"));
        m_proc.setProcessChannelMode(QProcess::MergedChannels);
        m_proc.start(binary, QStringList{ QStringLiteral("--data-dir"), m_dir.filePath(QStringLiteral("data")),
                               QStringLiteral("--listen"), address.toString(),
                               QStringLiteral("--port"), QStringLiteral("0") } + extra);
        if (!m_proc.waitForStarted(10000))
            return binary + QStringLiteral(" did not start: ") + m_proc.errorString();
        static const QRegularExpression re(QStringLiteral("listening on ([0-9.]+):([0-9]+)"));
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 30000) {
            m_proc.waitForReadyRead(200);
            const QRegularExpressionMatch m = re.match(output());
            if (m.hasMatch()) {
                if (QHostAddress(m.captured(1)) != address)
                    return QStringLiteral("the server listens on %1, not on %2")
                        .arg(m.captured(1), address.toString());
                m_port = quint16(m.captured(2).toUInt());
                return m_port ? QString() : QStringLiteral("the server reported port 0");
            }
            if (m_proc.state() == QProcess::NotRunning)
                break;
        }
        return QStringLiteral("the server did not report its port; its output: ") + output();
    }

    quint16 port() const { return m_port; }

    // The contents of every file the server has stored, sorted.
    QList<QByteArray> storedFiles() const
    {
        QList<QByteArray> files;
        QDirIterator it(m_dir.filePath(QStringLiteral("data/uploads")), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            if (!f.contains(QStringLiteral("/incoming/")))
                files << orderfx::contents(f);
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    // Everything the server printed so far (its log goes there too).
    QString output()
    {
        m_output += QString::fromUtf8(m_proc.readAll());
        return m_output;
    }

    // Logins of the given account the server accepted so far.
    int loginsOf(const QString &user)
    {
        return output().count(QRegularExpression(
            QStringLiteral("login of %1\\b").arg(QRegularExpression::escape(user))));
    }

private:
    QTemporaryDir m_dir;
    QProcess m_proc;
    QString m_output;
    quint16 m_port = 0;
};

struct Credentials
{
    QString user;
    QString pass;
};

// One proxy process, owned by the test and stopped with it.
class ProxyRun
{
public:
    ProxyRun(Kind kind, const QString &binary) : m_kind(kind), m_binary(binary) {}
    ~ProxyRun()
    {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.terminate();
            if (!m_proc.waitForFinished(3000)) {
                m_proc.kill();
                m_proc.waitForFinished(3000);
            }
        }
    }

    // Empty on success, otherwise why the proxy did not come up.
    QString start(const QHostAddress &peer, quint16 peerPort, const Credentials *auth)
    {
        if (!m_dir.isValid())
            return QStringLiteral("no temporary directory");
        // tinyproxy and dante may drop privileges before writing their logs.
        QFile::setPermissions(m_dir.path(), QFile::Permissions(0x7777));
        m_port = freeLoopbackPort();
        if (m_port == 0)
            return QStringLiteral("no free port");
        m_logPath = m_dir.filePath(QStringLiteral("proxy.log"));
        QStringList args;
        const QString conf = m_dir.filePath(QStringLiteral("proxy.conf"));
        QString text;
        switch (m_kind) {
        case Kind::Tinyproxy:
            text = QStringLiteral("Port %1\nListen 127.0.0.1\nTimeout 60\nLogFile \"%2\"\n"
                                  "LogLevel Info\nMaxClients 20\nAllow 127.0.0.1\n"
                                  // CONNECT is limited to 443 and 563 unless told otherwise.
                                  "ConnectPort %3\n")
                       .arg(m_port).arg(m_logPath).arg(peerPort);
            if (auth)
                text += QStringLiteral("BasicAuth %1 %2\n").arg(auth->user, auth->pass);
            args << "-d" << "-c" << conf;
            break;
        case Kind::Microsocks:
            args << "-i" << "127.0.0.1" << "-p" << QString::number(m_port);
            if (auth)
                args << "-u" << auth->user << "-P" << auth->pass;
            break;
        case Kind::Dante:
            text = QStringLiteral("logoutput: %1\ninternal: 127.0.0.1 port = %2\nexternal: %3\n"
                                  "clientmethod: none\nsocksmethod: %4\n")
                       .arg(m_logPath).arg(m_port).arg(peer.toString(),
                                                        auth ? "username" : "none");
            if (geteuid() == 0)
                text += QStringLiteral("user.privileged: root\nuser.unprivileged: nobody\n");
            text += QStringLiteral(
                "client pass {\n from: 127.0.0.0/8 to: 0.0.0.0/0\n log: connect disconnect error\n}\n"
                "socks pass {\n from: 127.0.0.0/8 to: 0.0.0.0/0\n log: connect disconnect error\n}\n");
            args << "-f" << conf << "-p" << m_dir.filePath(QStringLiteral("danted.pid")) << "-N" << "1";
            break;
        }
        if (!text.isEmpty()) {
            QFile f(conf);
            if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) != text.toUtf8().size())
                return QStringLiteral("cannot write ") + conf;
        }
        m_proc.setProcessChannelMode(QProcess::MergedChannels);
        m_proc.start(m_binary, args);
        if (!m_proc.waitForStarted(5000))
            return m_binary + QStringLiteral(" did not start: ") + m_proc.errorString();
        if (!waitForListener(m_port, 10000))
            return m_binary + QStringLiteral(" is not listening; its output: ") + log();
        return QString();
    }

    quint16 port() const { return m_port; }

    // The proxy's log file and its console output so far.
    QString log()
    {
        m_output += QString::fromLocal8Bit(m_proc.readAll());
        QFile f(m_logPath);
        QString fromFile;
        if (f.open(QIODevice::ReadOnly))
            fromFile = QString::fromLocal8Bit(f.readAll());
        return fromFile + m_output;
    }

    // Whether the proxy reports having connected to the peer.
    bool reportsConnectionTo(const QHostAddress &peer, quint16 peerPort)
    {
        const QString l = log();
        const QString host = peer.toString();
        switch (m_kind) {
        case Kind::Tinyproxy:
            return l.contains(QStringLiteral("CONNECT %1:%2 ").arg(host).arg(peerPort))
                && l.contains(QStringLiteral("Established connection to host \"%1\"").arg(host));
        case Kind::Microsocks:
            return l.contains(QStringLiteral("connected to %1:%2").arg(host).arg(peerPort));
        case Kind::Dante:
            return l.contains(QStringLiteral("tcp/connect [")) && l.contains(QStringLiteral("%1.%2").arg(host).arg(peerPort));
        }
        return false;
    }

private:
    Kind m_kind;
    QString m_binary;
    QTemporaryDir m_dir;
    QProcess m_proc;
    quint16 m_port = 0;
    QString m_logPath;
    QString m_output;
};

QString statusTexts(StartWindow *w)
{
    QStringList texts;
    for (Message *m : w->findChildren<Message *>())
        texts << m->messageText();
    return texts.join(QStringLiteral(" | "));
}

bool showsError(StartWindow *w)
{
    for (Message *m : w->findChildren<Message *>())
        if (m->isVisible() && m->messageText().startsWith(QStringLiteral("Ошибка: ")))
            return true;
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestProxyIntegration : public QObject
{
    Q_OBJECT
private:
    QHostAddress m_peer;
    const Credentials m_proxyCreds{ QStringLiteral("vintaroproxy"), QStringLiteral("Pr0xy-pass") };
    // The account a fresh store gets.
    const QString m_user = QStringLiteral("demo");
    const QString m_password = QStringLiteral("demo123");

    // Starts the proxy of the row, or says why the row cannot run.
    std::unique_ptr<ProxyRun> startProxy(Kind kind, bool auth, quint16 serverPort, QString *why)
    {
        const QString binary = findTool(QLatin1String(toolName(kind)));
        if (binary.isEmpty()) {
            *why = QStringLiteral("%1 is not installed (scripts/deps.d/dialogs.txt lists its package)")
                       .arg(QLatin1String(toolName(kind)));
            return nullptr;
        }
        auto run = std::make_unique<ProxyRun>(kind, binary);
        *why = run->start(m_peer, serverPort, auth ? &m_proxyCreds : nullptr);
        if (!why->isEmpty())
            return nullptr;
        return run;
    }

    // dante takes SOCKS user names from the system's accounts.
    bool prepareDanteUser(const Credentials &c)
    {
        const QString script = QDir(QString::fromLocal8Bit(qgetenv("VINTARO_SOURCE_DIR")))
                                   .filePath(QStringLiteral("scripts/proxy-test-user.sh"));
        return QProcess::execute(QStringLiteral("/bin/sh"), { script, c.user, c.pass }) == 0;
    }

    // Points the window at the proxy and presses "Войти" as the demo user.
    void login(StartWindow *w, int type, quint16 proxyPort, bool auth, const QString &proxyPass)
    {
        useProxy(w, type, proxyPort, auth, proxyPass);
        pressLogin(w);
    }

    void useProxy(StartWindow *w, int type, quint16 proxyPort, bool auth, const QString &proxyPass)
    {
        QVariantMap s = w->settings();
        s["type"] = type;
        s["proxy_host"] = QStringLiteral("127.0.0.1");
        s["proxy_port"] = QString::number(proxyPort);
        s["aut"] = auth;
        s["user"] = m_proxyCreds.user;
        s["pass"] = proxyPass;
        w->setSettings(s);
    }

    void pressLogin(StartWindow *w)
    {
        w->show();
        w->findChild<QLineEdit *>("lineEditUsr")->setText(m_user);
        w->findChild<QLineEdit *>("lineEditPass")->setText(m_password);
        w->findChild<QPushButton *>("LoginBut")->click();
        QTRY_VERIFY_WITH_TIMEOUT(w->result() == QDialog::Accepted || showsError(w), kLoginTimeoutMs);
    }

    void rows(bool authOnly)
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("auth");
        QTest::addColumn<bool>("tls");
        if (!authOnly)
            QTest::newRow("tinyproxy HTTP") << Kind::Tinyproxy << 1 << false << false;
        QTest::newRow("tinyproxy HTTP BasicAuth") << Kind::Tinyproxy << 1 << true << false;
        if (!authOnly)
            QTest::newRow("microsocks SOCKS5") << Kind::Microsocks << 2 << false << false;
        QTest::newRow("microsocks SOCKS5 user/password") << Kind::Microsocks << 2 << true << false;
        if (!authOnly)
            QTest::newRow("dante SOCKS5") << Kind::Dante << 2 << false << false;
        QTest::newRow("dante SOCKS5 system user") << Kind::Dante << 2 << true << false;
        if (authOnly)
            return;
        QTest::newRow("TLS tinyproxy HTTP") << Kind::Tinyproxy << 1 << false << true;
        QTest::newRow("TLS tinyproxy HTTP BasicAuth") << Kind::Tinyproxy << 1 << true << true;
        QTest::newRow("TLS microsocks SOCKS5") << Kind::Microsocks << 2 << false << true;
        QTest::newRow("TLS microsocks SOCKS5 user/password") << Kind::Microsocks << 2 << true << true;
    }

private slots:
    void initTestCase()
    {
        vintaroInitResources();
        // Never let a status dialog restart or end the test process.
        Message::restartLauncher = [] {};
        Message::processExit = [](int) {};
        m_peer = peerAddress();
        QVERIFY2(!m_peer.isNull(),
                 "this machine has no non-loopback IPv4 address; Qt would bypass any proxy");
    }

    void cleanup()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    }

    void loginThroughProxy_data() { rows(false); }

    void loginThroughProxy()
    {
        QFETCH(Kind, kind);
        QFETCH(int, type);
        QFETCH(bool, auth);
        QFETCH(bool, tls);
        if (kind == Kind::Dante && auth) {
            if (geteuid() != 0)
                QSKIP("dante checks SOCKS users against system accounts; creating one needs root");
            QVERIFY(prepareDanteUser(m_proxyCreds));
        }
        TestCerts certs;
        QStringList tlsArgs;
        ClientTls clientTls;
        if (tls) {
            TestCerts::Pair pair;
            const QString why = certs.makeServer({"IP:" + m_peer.toString()}, &pair);
            QVERIFY2(why.isEmpty(), qPrintable(why));
            tlsArgs << "--tls-cert" << pair.cert << "--tls-key" << pair.key;
            clientTls.enabled = true;
            clientTls.useCaFile(certs.ca());
        }

        ServerRun server;
        QString why = server.start(m_peer, tlsArgs);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        auto proxy = startProxy(kind, auth, server.port(), &why);
        QVERIFY2(proxy, qPrintable(why));

        StartWindow w(m_peer.toString(), server.port());
        w.setTls(clientTls);
        login(&w, type, proxy->port(), auth, m_proxyCreds.pass);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(w.result() == QDialog::Accepted,
                 qPrintable(statusTexts(&w) + QStringLiteral("\nproxy log:\n") + proxy->log()
                            + QStringLiteral("\nserver output:\n") + server.output()));
        auto *ssl = qobject_cast<QSslSocket *>(w.loginSocket());
        QCOMPARE(ssl && ssl->isEncrypted(), tls);

        // What the server grants the demo account, as it came over the wire.
        QVariantMap expected;
        expected.insert(QStringLiteral("SNP"), true);
        expected.insert(QStringLiteral("PUTG"), true);
        expected.insert(QStringLiteral("PUTGm"), true);
        QCOMPARE(w.loginData(), expected);
        for (const QVariant &v : w.loginData())
            QCOMPARE(int(v.type()), int(QVariant::Bool));

        QTRY_COMPARE(server.loginsOf(m_user), 1);
        QTRY_VERIFY2(proxy->reportsConnectionTo(m_peer, server.port()),
                     qPrintable(QStringLiteral("the proxy did not carry the connection; its log:\n")
                                + proxy->log()));
        if (kind == Kind::Dante && auth)
            QVERIFY(proxy->log().contains(QStringLiteral("username%") + m_proxyCreds.user + QLatin1Char('@')));
    }

    void tlsRoadsDirectAndThroughProxies_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("auth");
        QTest::newRow("direct") << Kind::Tinyproxy << 0 << false;
        QTest::newRow("tinyproxy HTTP") << Kind::Tinyproxy << 1 << false;
        QTest::newRow("tinyproxy HTTP BasicAuth") << Kind::Tinyproxy << 1 << true;
        QTest::newRow("microsocks SOCKS5") << Kind::Microsocks << 2 << false;
        QTest::newRow("microsocks SOCKS5 user/password") << Kind::Microsocks << 2 << true;
    }

    // Over TLS: a questionnaire with its file from the login window, the
    // login, an order with a drawing and a questionnaire with its file from
    // the main window; every file arrives byte for byte.
    void tlsRoadsDirectAndThroughProxies()
    {
        QFETCH(Kind, kind);
        QFETCH(int, type);
        QFETCH(bool, auth);
        TestCerts certs;
        TestCerts::Pair pair;
        QString why = certs.makeServer({"IP:" + m_peer.toString()}, &pair);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        ClientTls clientTls;
        clientTls.enabled = true;
        clientTls.useCaFile(certs.ca());
        ServerRun server;
        why = server.start(m_peer, {"--tls-cert", pair.cert, "--tls-key", pair.key});
        QVERIFY2(why.isEmpty(), qPrintable(why));
        std::unique_ptr<ProxyRun> proxy;
        if (type != 0) {
            proxy = startProxy(kind, auth, server.port(), &why);
            QVERIFY2(proxy, qPrintable(why));
        }
        QTemporaryDir dir;
        QList<QByteArray> sent;
        auto file = [&](const QString &name, int size) {
            QByteArray bytes(size, '\0');
            for (char &c : bytes)
                c = char(QRandomGenerator::global()->bounded(256));
            sent << bytes;
            QFile f(dir.filePath(name));
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
            return f.fileName();
        };
        auto arrived = [&](int count) {
            return QTest::qWaitFor([&] { return server.storedFiles().size() == count; }, kLoginTimeoutMs);
        };
        const QVariantMap sheet{{"fio", QStringLiteral("Иванов")}, {"file_name", QStringLiteral("лист.pdf")}};

        StartWindow w(m_peer.toString(), server.port());
        w.setTls(clientTls);
        useProxy(&w, type, proxy ? proxy->port() : 0, auth, m_proxyCreds.pass);
        auto before = QuestionnaireSender::forWindow(&w);
        before->sendQuestionnaire(sheet);
        before->sendFile(file(QStringLiteral("лист.pdf"), 150000));
        QVERIFY2(arrived(1), qPrintable(statusTexts(&w) + "\n" + server.output()));
        pressLogin(&w);
        QVERIFY2(w.result() == QDialog::Accepted, qPrintable(statusTexts(&w) + "\n" + server.output()));
        auto *ssl = qobject_cast<QSslSocket *>(w.loginSocket());
        QVERIFY(ssl && ssl->isEncrypted());

        orderfx::Answers answers;
        answers.install();
        MainWindow mw(w.loginSocket(), w.loginUser(), w.loginPassword(), w.loginStatusDialog(), w.loginData(), nullptr);
        mw.show();
        QTRY_VERIFY_WITH_TIMEOUT(!mw.tables().isEmpty(), kLoginTimeoutMs);
        answers.files << file(QStringLiteral("чертёж.dwg"), 300000);
        orderfx::press(&mw, mw.snpTab(), "SNP_Add_Chert", &MainWindow::on_SNP_Add_Chert_clicked);
        orderfx::addSnp(&mw, QStringLiteral("СНП-А-1-10-1,6"), QStringLiteral("1"), QStringLiteral("A"),
                        {"1", "2", "3", "4"}, QStringLiteral("описание"));
        QCOMPARE(mw.ChertList.size(), 1);
        mw.findChild<QPushButton *>("To_Basket")->click();
        answers.boxes << QMessageBox::Yes;
        mw.findChild<QPushButton *>("Send_List")->click();
        QVERIFY2(arrived(2), qPrintable(server.output()));
        auto after = QuestionnaireSender::forWindow(&mw);
        after->sendQuestionnaire(sheet);
        after->sendFile(file(QStringLiteral("лист.pdf"), 200000));
        QVERIFY2(arrived(3), qPrintable(server.output()));
        QTRY_COMPARE(server.storedFiles(), [&] { std::sort(sent.begin(), sent.end()); return sent; }());
        if (proxy)
            QVERIFY2(proxy->reportsConnectionTo(m_peer, server.port()), qPrintable(proxy->log()));
        orderfx::Answers::uninstall();
    }

    // With a wrong proxy password the proxy refuses: the login window shows
    // an error and the server never sees a login.
    void wrongProxyPassword_data()
    {
        rows(true);
    }

    void wrongProxyPassword()
    {
        QFETCH(Kind, kind);
        QFETCH(int, type);
        QFETCH(bool, auth);
        QVERIFY(auth);
        if (kind == Kind::Dante) {
            if (geteuid() != 0)
                QSKIP("dante checks SOCKS users against system accounts; creating one needs root");
            QVERIFY(prepareDanteUser(m_proxyCreds));
        }
        ServerRun server;
        QString why = server.start(m_peer);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        auto proxy = startProxy(kind, auth, server.port(), &why);
        QVERIFY2(proxy, qPrintable(why));

        StartWindow w(m_peer.toString(), server.port());
        login(&w, type, proxy->port(), true, QStringLiteral("wrong-pass"));
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(showsError(&w), qPrintable(statusTexts(&w)));
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(w.loginSocket(), nullptr);
        QVERIFY2(!proxy->reportsConnectionTo(m_peer, server.port()), qPrintable(proxy->log()));
        QVERIFY2(!server.output().contains(QStringLiteral("login")), qPrintable(server.output()));
    }
};

QTEST_MAIN(TestProxyIntegration)
#include "tst_proxy_integration.moc"
