// One client's connection: reading its frames in order, handing each to
// its handler, writing the replies, and closing it.
#include "server.h"

#include "proxygate.h"

#include <QTcpSocket>

#include <sys/socket.h>

namespace {

// More malformed or unauthorised requests than this and the peer is not one
// of our clients.
constexpr int kMaxBadFrames = 20;
// How long a dropped connection may take to receive the answers already given.
constexpr int kDrainMs = 5000;
// Unread bytes we let Qt hold for one connection while it waits for a login.
constexpr qint64 kReadBuffer = 256 * 1024;
// Replies a peer has not taken yet; above this we stop reading its requests.
constexpr qint64 kMaxUnsentReplies = 1024 * 1024;

} // namespace

Connection::Connection(QTcpSocket *socket, OrderServer *server)
    : QObject(server), m_socket(socket), m_server(server)
{
    ++m_server->m_connections;
    socket->setParent(this);
    socket->setReadBufferSize(kReadBuffer);
    connect(socket, &QTcpSocket::readyRead, this, &Connection::onReadyRead);
    connect(socket, &QTcpSocket::disconnected, this, &Connection::onDisconnected);
    tlsio::onWritten(socket, this, [this] {
        if (m_socket->bytesAvailable() > 0 && tlsio::unsent(m_socket) <= kMaxUnsentReplies)
            process();
    });
    // A client that vanished without a word is found by the system's probes.
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    m_idle.setSingleShot(true);
    m_idle.setInterval(server->config().idleTimeoutMs);
    connect(&m_idle, &QTimer::timeout, this, &Connection::onIdle);
    m_idle.start();
    if (socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &Connection::onReadyRead, Qt::QueuedConnection);
}

Connection::~Connection()
{
    // A login still queued for a hash worker is skipped, not computed for nobody.
    m_abandoned->storeRelaxed(1);
    discardUpload();
    --m_server->m_connections;
}

void Connection::drop(const QString &why)
{
    if (m_closing)
        return;
    qWarning().noquote() << "closing connection from" << proxygate::clientAddress(m_socket) << ":" << why;
    m_closing = true;
    m_idle.stop();
    discardUpload();
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        m_socket->abort();
        deleteLater();
        return;
    }
    // Answers given before the fault (a questionnaire stored just ahead of a
    // refused file) must still arrive: our side closes once they are written,
    // and what the peer keeps sending is read away, since closing on unread
    // bytes would be a reset that takes those answers with it.
    tlsio::onWritten(m_socket, this, [this] { closeWhenSent(); });
    QTimer::singleShot(kDrainMs, this, [this] {
        m_socket->abort();
        deleteLater();
    });
    closeWhenSent();
}

void Connection::closeWhenSent()
{
    if (m_shutDown || tlsio::unsent(m_socket) > 0)
        return;
    m_shutDown = true;
    ::shutdown(int(m_socket->socketDescriptor()), SHUT_WR);
}

void Connection::heardFromClient()
{
    // Closing a client's connection makes it restart and lose its order list
    // or questionnaire; only peers that never spoke our protocol time out.
    m_heard = true;
    m_idle.stop();
}

void Connection::countBadRequest()
{
    if (++m_badFrames > kMaxBadFrames)
        drop(QStringLiteral("too many malformed or unauthorised requests"));
}

void Connection::onDisconnected()
{
    if (m_upload.active)
        qInfo() << "connection dropped during an upload; partial file removed";
    discardUpload();
    m_closing = true;
    deleteLater();
}

void Connection::onIdle()
{
    drop(QStringLiteral("idle for %1 ms").arg(m_idle.interval()));
}

void Connection::onReadyRead()
{
    if (m_closing) {
        m_socket->readAll(); // dropped: only drained until the peer closes
        return;
    }
    if (!m_heard)
        m_idle.start();
    process();
}

void Connection::resume()
{
    m_busy = false;
    if (!m_closing)
        QMetaObject::invokeMethod(this, &Connection::process, Qt::QueuedConnection);
}

void Connection::process()
{
    while (!m_busy && !m_closing) {
        // A peer that sends requests but never reads the answers would make
        // us buffer replies without end; wait for it to catch up instead.
        if (tlsio::unsent(m_socket) > kMaxUnsentReplies)
            return;
        if (m_upload.active) {
            if (!pumpUpload())
                return;
            continue;
        }
        QByteArray body;
        if (!nextFrame(&body))
            return;
        handleFrame(body);
    }
}

// Qt stops reading into a full read buffer until a read asks for more than
// the buffer holds; taking whole frames out of it never does. Requests that
// filled the buffer while a login was being checked would then leave their
// last, partial frame waiting for bytes Qt no longer reads. So the bytes a
// frame still lacks are always asked of the socket, and gathered here.
bool Connection::nextFrame(QByteArray *body)
{
    for (;;) {
        if (m_gate.next(&m_inbox, body))
            return true;
        const int missing = (m_gate.pending() > 0 ? int(m_gate.pending()) : 2) - m_inbox.size();
        const QByteArray more = m_socket->read(missing);
        if (more.isEmpty())
            return false;
        m_inbox += more;
    }
}

void Connection::handleFrame(const QByteArray &body)
{
    if (body.isEmpty()) {
        qWarning() << "empty frame";
        countBadRequest();
        return;
    }
    // Orders are decoded where they are stored, off this thread.
    if (wire::isOrderCode(quint8(body.at(0)))) {
        handleOrder(body);
        return;
    }
    const requests::Request r = requests::decode(body);
    const quint8 code = r.code;
    switch (code) {
    case wire::Login:
        handleLogin(r);
        break;
    case wire::Registration:
        handleRegistration(r);
        break;
    case wire::QuestionnaireBeforeLogin:
    case wire::QuestionnaireRequest:
        handleQuestionnaire(r);
        break;
    case wire::TablesRequest:
        handleTables();
        break;
    case wire::SnpRequest:
    case wire::SnpD2Request:
    case wire::PutgRequest:
    case wire::PutgmRequest:
        handleLookup(r);
        break;
    case wire::UploadFile:
    case wire::UploadRowFile:
        handleUploadHeader(r);
        break;
    default:
        qWarning() << "unknown request code" << code << "with" << body.size() - 1 << "bytes";
        countBadRequest();
    }
}

// ---- replies ----------------------------------------------------------------

bool Connection::sendBody(const QByteArray &body)
{
    if (body.size() > wire::kMaxBody) {
        qCritical() << "reply of" << body.size() << "bytes does not fit in one frame; not sent";
        return false;
    }
    if (m_closing)
        return false;
    m_socket->write(wire::frameBody(body));
    return true;
}

void Connection::sendText(const QString &text, const QVariantMap *map)
{
    QByteArray body = wire::encodeString(text);
    if (map)
        body += wire::encodeMap(*map);
    sendBody(body);
}

void Connection::sendItem(quint8 code, const QByteArray &argument)
{
    QByteArray body(1, char(code));
    body += argument;
    sendBody(body);
}
