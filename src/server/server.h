#pragma once
// The order server: one QTcpServer, one Connection object per client, all on
// one event loop. Password digests are computed on the hash pool so a login
// never stalls other clients.
#include "hashpool.h"
#include "mail/mailsettings.h"
#include "password.h"
#include "store.h"
#include "tlslistener.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QLockFile>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QAtomicInt>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

#include "requests.h"
#include "wire.h"

class ProductData;
class StoreWriter;
class QFile;
class QTcpServer;
class QTcpSocket;

struct ServerConfig
{
    QString dataDir;
    qint64 maxUploadBytes = 16 * 1024 * 1024;
    int idleTimeoutMs = 30 * 60 * 1000;
    int loginDelayBaseMs = 500;
    int loginDelayMaxMs = 30 * 1000;
    TlsFiles tls; // set: the listening port serves TLS only
    bool proxyProtocol = false; // every connection starts with a PROXY header
    MailSettings mail;
};

// Slows down repeated wrong passwords for one account name: every attempt
// waits for its turn, and each failure doubles the spacing of the turns.
class LoginThrottle
{
public:
    explicit LoginThrottle(int baseMs = 500, int maxMs = 30000) : m_baseMs(baseMs), m_maxMs(maxMs) {}
    // Milliseconds the attempt must wait before it is checked.
    qint64 reserve(const QString &name, qint64 nowMs);
    void failed(const QString &name, qint64 nowMs);
    void succeeded(const QString &name);
    int failures(const QString &name) const { return m_entries.value(name).failures; }

private:
    struct Entry
    {
        int failures = 0;
        qint64 notBefore = 0;
        qint64 lastFailure = 0;
    };
    qint64 delayFor(int failures) const;
    void prune(qint64 nowMs);

    int m_baseMs;
    int m_maxMs;
    QHash<QString, Entry> m_entries;
};

// Client file names are data, never paths. Returns the bare name, with
// controls and bidi overrides blanked out, or an empty text when there is no
// name to keep.
QString safeUploadName(const QString &clientName);

class OrderServer : public QObject
{
    Q_OBJECT
public:
    OrderServer(Store *store, const ProductData *products, const ServerConfig &config, QObject *parent = nullptr);
    ~OrderServer() override;

    bool listen(const QHostAddress &address, quint16 port, QString *error);
    quint16 port() const;
    // Plain connections on a second port beside the TLS one, for older clients.
    bool listenPlain(const QHostAddress &address, quint16 port, QString *error);
    quint16 plainPort() const;

    Store *store() const { return m_store; }
    const ProductData *products() const { return m_products; }
    const ServerConfig &config() const { return m_config; }
    LoginThrottle &throttle() { return m_throttle; }
    hashpool::AddressGate *hashGate() { return m_hashGate; }
    const password::Digest &decoyDigest() const { return m_decoy; }
    qint64 nowMs() const { return m_clock.elapsed(); }
    QString uploadsDir() const;
    QString uploadsTempDir() const;
    // Writes to the store off this thread (from listen() on).
    StoreWriter *storeWriter() const { return m_writer; }
    // Set when files go into the database.
    StoreWriter *uploadWriter() const { return m_store->keepsFileContents() ? m_writer : nullptr; }
    int connectionCount() const { return m_connections; }
    // Reply 5 body, encoded once: the tables do not change while serving.
    const QByteArray &tablesReply();

signals:
    // A message went into the outbox.
    void mailQueued();

private:
    void onNewConnection();
    static int listeningSocket(const QHostAddress &address, quint16 port, QString *error);

    Store *m_store;
    const ProductData *m_products;
    ServerConfig m_config;
    QTcpServer *m_tcp;
    QTcpServer *m_plain = nullptr;
    LoginThrottle m_throttle;
    hashpool::AddressGate *m_hashGate = new hashpool::AddressGate(2 * hashpool::workers(), this);
    password::Digest m_decoy;
    QElapsedTimer m_clock;
    int m_connections = 0;
    QByteArray m_tablesReply;
    QString m_tempDir;
    QScopedPointer<QLockFile> m_tempLock;
    StoreWriter *m_writer = nullptr;
    friend class Connection;
};

class Connection : public QObject
{
    Q_OBJECT
public:
    Connection(QTcpSocket *socket, OrderServer *server);
    ~Connection() override;

private:
    void onReadyRead();
    void onDisconnected();
    void onIdle();
    void process();
    bool nextFrame(QByteArray *body);
    void resume();
    void handleFrame(const QByteArray &body);
    void heardFromClient();
    void drop(const QString &why);
    void closeWhenSent();
    // A malformed frame, or a request this connection may not make: our
    // client sends neither, so a peer that keeps doing it is let go.
    void countBadRequest();

    // requests
    void handleLogin(const requests::Request &r);
    void checkLogin(const QString &name, const QString &clear);
    void finishLogin(const QString &name, bool matched, const Account &account);
    void handleRegistration(const requests::Request &r);
    void handleQuestionnaire(const requests::Request &r);
    void handleTables();
    void handleLookup(const requests::Request &r);
    void handleOrder(const QByteArray &body);
    void forgetLastOrder();
    bool stillLoggedIn();
    bool followAccountState(Store::AccountState state, const Account &fresh);
    void writeToStore(std::function<void(Store &)> work, std::function<void()> done);
    void handleUploadHeader(const requests::Request &r);

    // replies
    void sendText(const QString &text, const QVariantMap *map = nullptr);
    void sendItem(quint8 code, const QByteArray &argument = QByteArray());
    bool sendBody(const QByteArray &body);

    // uploads
    bool pumpUpload();
    void finishUpload();
    void uploadRecorded(const Upload &record, qint64 id, const QString &error);
    void discardUpload();

    QTcpSocket *m_socket;
    OrderServer *m_server;
    wire::FrameGate m_gate;
    QByteArray m_inbox; // the start of a frame not yet whole
    QTimer m_idle;
    bool m_busy = false;
    bool m_closing = false;
    bool m_shutDown = false;
    int m_badFrames = 0;
    // Set by a well-formed login, registration or questionnaire.
    bool m_heard = false;

    bool m_loggedIn = false;
    Account m_account;
    QSharedPointer<QAtomicInt> m_abandoned{new QAtomicInt(0)};
    qint64 m_lastOrderId = 0;
    int m_lastOrderRows = 0;
    // 0: none yet on this connection; -1: the last one was not stored.
    qint64 m_lastQuestionnaireId = 0;

    struct UploadState
    {
        bool active = false;
        int kind = 0;
        QString clientName;
        QString storedName;
        QString rowIndex;
        qint64 size = 0;
        qint64 received = 0;
        qint64 orderId = 0;
        qint64 orderRowId = 0;
        qint64 questionnaireId = 0;
        QFile *file = nullptr; // null: the bytes are read and dropped
        QString tempPath;
    };
    UploadState m_upload;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
};
