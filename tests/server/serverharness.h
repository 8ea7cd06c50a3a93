#pragma once
// Runs the real vintaro-server on a free port with its own data directory
// (and, when VINTARO_TEST_PG_URL is set, its own fresh PostgreSQL database),
// and talks to it as the client does.
#include "store.h"
#include "wire.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QUuid>

namespace harness {

inline QString serverBinary()
{
    return QDir(qEnvironmentVariable("VINTARO_BIN_DIR")).filePath(QStringLiteral("vintaro-server"));
}

inline bool usingPostgres()
{
    return !qEnvironmentVariableIsEmpty("VINTARO_TEST_PG_URL");
}

// A database of its own for each test server on the shared PostgreSQL.
class TestDatabase
{
public:
    TestDatabase()
    {
        if (!usingPostgres())
            return;
        const QUrl admin(qEnvironmentVariable("VINTARO_TEST_PG_URL"));
        const QString name = QStringLiteral("vt_") + QUuid::createUuid().toString(QUuid::Id128);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("harness-admin"));
            db.setHostName(admin.host());
            db.setPort(admin.port(5432));
            db.setUserName(admin.userName());
            db.setPassword(admin.password());
            db.setDatabaseName(admin.path().mid(1));
            if (!db.open()) {
                m_error = db.lastError().text();
            } else {
                QSqlQuery q(db);
                if (!q.exec(QStringLiteral("CREATE DATABASE ") + name))
                    m_error = q.lastError().text();
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("harness-admin"));
        QUrl url = admin;
        url.setPath(QLatin1Char('/') + name);
        m_url = url.toString();
    }
    QString url() const { return m_url; }
    QString error() const { return m_error; }

private:
    QString m_url;
    QString m_error;
};

class Server
{
public:
    Server() { m_dataDir = m_tmp.path() + QStringLiteral("/data"); }
    ~Server() { stop(); }

    QString dataDir() const { return m_dataDir; }
    QString dbUrl() const { return m_sharedUrl.isNull() ? m_db.url() : m_sharedUrl; }
    // A second server instance on the same store and data directory.
    void shareStoreWith(const Server &other)
    {
        m_dataDir = other.dataDir();
        m_sharedUrl = other.dbUrl();
    }
    // Another instance on the same database with a data directory of its own.
    void shareDatabaseWith(const Server &other) { m_sharedUrl = other.dbUrl(); }
    quint16 port() const { return m_port; }
    QProcess &process() { return m_proc; }
    QString output() const { return m_output; }

    QStringList baseArgs() const
    {
        QStringList a{QStringLiteral("--data-dir"), m_dataDir};
        if (!dbUrl().isEmpty())
            a << QStringLiteral("--db") << dbUrl();
        return a;
    }

    // Runs an operator command to completion; returns its exit code.
    int command(const QStringList &args, QString *output = nullptr)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(serverBinary(), baseArgs() + args);
        if (!p.waitForFinished(60000))
            return -1;
        if (output)
            *output = QString::fromUtf8(p.readAll());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    bool start(const QStringList &extra = {}, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
    {
        if (!m_db.error().isEmpty()) {
            qWarning().noquote() << "cannot create the test database:" << m_db.error();
            return false;
        }
        m_output.clear();
        m_proc.setProcessChannelMode(QProcess::MergedChannels);
        m_proc.setProcessEnvironment(env);
        m_proc.start(serverBinary(), baseArgs() + QStringList{QStringLiteral("--port"), QStringLiteral("0")} + extra);
        if (!m_proc.waitForStarted(10000))
            return false;
        // Only a whole line counts: a pipe may hand it over in pieces.
        static const QRegularExpression re(QStringLiteral("listening on [0-9a-f.:]+:([0-9]+), data in .*, store (\\w+)\n"));
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 30000) {
            m_proc.waitForReadyRead(200);
            m_output += QString::fromUtf8(m_proc.readAll());
            const auto m = re.match(m_output);
            if (m.hasMatch()) {
                m_port = quint16(m.captured(1).toUInt());
                // The suite must really run on the store it was asked for.
                if (m.captured(2) == (usingPostgres() ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite")))
                    return true;
                break;
            }
            if (m_proc.state() == QProcess::NotRunning)
                break;
        }
        qWarning().noquote() << "server did not start:" << m_output;
        return false;
    }

    bool running() { return m_proc.state() == QProcess::Running; }

    void kill()
    {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.kill();
            m_proc.waitForFinished(10000);
        }
    }

    void stop()
    {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.terminate();
            if (!m_proc.waitForFinished(10000))
                kill();
        }
        m_output += QString::fromUtf8(m_proc.readAll());
    }

    // A stored upload's bytes: from the database when it keeps them, else
    // from the uploads folder.
    QByteArray storedFile(Store *store, const Upload &u) const
    {
        QByteArray content;
        return store->storedFile(u.storedName, m_dataDir, &content) ? content : QByteArray("<missing>");
    }

    // Opens the same store the server uses, for checks.
    bool openStore(Store *store)
    {
        QString error;
        if (!store->open(dbUrl(), m_dataDir, &error)) {
            qWarning().noquote() << error;
            return false;
        }
        return true;
    }

private:
    QTemporaryDir m_tmp;
    TestDatabase m_db;
    QString m_dataDir;
    QString m_sharedUrl;
    QProcess m_proc;
    QString m_output;
    quint16 m_port = 0;
};

// A client connection speaking the wire protocol, with blocking helpers.
class Client
{
public:
    bool connectTo(quint16 port)
    {
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        return m_socket.waitForConnected(10000);
    }
    // The same over TLS, trusting only the authority in `caFile`.
    bool connectEncrypted(quint16 port, const QString &caFile, const QString &host = QStringLiteral("127.0.0.1"))
    {
        QSslConfiguration conf = m_socket.sslConfiguration();
        conf.setCaCertificates(QSslCertificate::fromPath(caFile));
        m_socket.setSslConfiguration(conf);
        m_socket.connectToHostEncrypted(host, port);
        return m_socket.waitForEncrypted(10000);
    }
    QTcpSocket &socket() { return m_socket; }

    void send(const QByteArray &bytes)
    {
        m_socket.write(bytes);
        m_socket.flush();
    }

    // Waits for one complete frame body.
    bool nextBody(QByteArray *body, int timeoutMs = 20000)
    {
        QElapsedTimer t;
        t.start();
        for (;;) {
            if (m_gate.next(&m_buffer, body))
                return true;
            const int left = timeoutMs - int(t.elapsed());
            if (left <= 0 || m_socket.state() != QAbstractSocket::ConnectedState) {
                // Bytes may have arrived with the close.
                m_buffer += m_socket.readAll();
                return m_gate.next(&m_buffer, body);
            }
            if (m_socket.waitForReadyRead(qMin(left, 200)))
                m_buffer += m_socket.readAll();
        }
    }

    // A reply to the login window: a text and, on success, the login data.
    bool loginReply(QString *text, QVariantMap *map = nullptr, int timeoutMs = 20000)
    {
        QByteArray body;
        if (!nextBody(&body, timeoutMs))
            return false;
        wire::Reader r(body);
        if (!r.readString(text))
            return false;
        if (r.atEnd())
            return true;
        QVariantMap ignored;
        return r.readMap(map ? map : &ignored) && r.atEnd();
    }

    // One reply item to the main window: its code and the raw argument.
    bool item(quint8 *code, QByteArray *argument, int timeoutMs = 20000)
    {
        QByteArray body;
        if (!nextBody(&body, timeoutMs) || body.isEmpty())
            return false;
        *code = quint8(body.at(0));
        *argument = body.mid(1);
        return true;
    }

    bool login(const QString &user, const QString &pass, QVariantMap *map = nullptr)
    {
        send(wire::requestFrame(wire::Login, wire::loginText(user, pass)));
        QString text;
        return loginReply(&text, map) && text == QStringLiteral("Авторизация прошла успешно");
    }

    // Sends a file the way the client does: header, then the raw bytes.
    void upload(const QString &name, const QByteArray &data, const QString &row = QString())
    {
        send(row.isNull() ? wire::uploadHeader(name, data.size()) : wire::uploadHeader(name, data.size(), row));
        for (int at = 0; at < data.size(); at += 6144)
            m_socket.write(data.mid(at, 6144));
        m_socket.flush();
    }

    // True when the server closed the connection within the time.
    bool closedByServer(int timeoutMs = 10000)
    {
        QElapsedTimer t;
        t.start();
        while (m_socket.state() == QAbstractSocket::ConnectedState && t.elapsed() < timeoutMs) {
            m_socket.waitForReadyRead(100);
            m_buffer += m_socket.readAll();
        }
        return m_socket.state() != QAbstractSocket::ConnectedState;
    }

private:
    QSslSocket m_socket; // plain unless connected encrypted
    wire::FrameGate m_gate;
    QByteArray m_buffer;
};

// Waits (while serving events) until cond() holds.
template <typename Cond>
bool waitFor(Cond cond, int timeoutMs = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
    return true;
}

} // namespace harness
