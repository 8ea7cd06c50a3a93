#include "proxygate.h"

#include "proxyheader.h"

#include <QHostAddress>
#include <QPointer>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace proxygate {

namespace {

const char kProperty[] = "vintaroClientAddress";
// The shortest header of either version ("PROXY UNKNOWN\r\n").
constexpr int kShortest = 15;

QString peerOf(qintptr descriptor)
{
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    if (::getpeername(int(descriptor), reinterpret_cast<sockaddr *>(&addr), &len) != 0)
        return QStringLiteral("?");
    QHostAddress a(reinterpret_cast<sockaddr *>(&addr));
    return a.toString();
}

class Waiter : public QObject
{
public:
    Waiter(qintptr descriptor, int timeoutMs, QObject *context,
           std::function<void(qintptr, const QString &)> accepted)
        : QObject(context), m_fd(descriptor), m_accepted(std::move(accepted)), m_notifier(descriptor, QSocketNotifier::Read)
    {
        connect(&m_notifier, &QSocketNotifier::activated, this, &Waiter::read);
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, [this] { fail(QStringLiteral("no PROXY header in time")); });
        m_timer.start(timeoutMs);
    }
    ~Waiter() override
    {
        if (m_fd >= 0)
            ::close(int(m_fd));
    }

private:
    // How many more bytes surely belong to the header: never one past it.
    int wanted()
    {
        if (m_data.size() < kShortest)
            return kShortest - m_data.size();
        if (m_data.startsWith("\r\n\r\n")) { // version 2: sixteen bytes, then their count
            if (m_data.size() < 16)
                return 16 - m_data.size();
            const int length = (uchar(m_data.at(14)) << 8) | uchar(m_data.at(15));
            return 16 + length - m_data.size();
        }
        // Version 1 ends at the first CR LF.
        char buf[proxyheader::kMaxLength];
        const ssize_t n = ::recv(int(m_fd), buf, sizeof buf, MSG_PEEK | MSG_DONTWAIT);
        if (n <= 0)
            return 1; // the read tells what happened
        const QByteArray seen = m_data.right(1) + QByteArray(buf, int(n));
        const int end = seen.indexOf("\r\n");
        return end < 0 ? int(n) : end + 2 - 1;
    }

    void read()
    {
        const int want = qBound(1, wanted(), proxyheader::kMaxLength);
        QByteArray buf(want, '\0');
        const ssize_t n = ::recv(int(m_fd), buf.data(), size_t(want), MSG_DONTWAIT);
        if (n == 0)
            return fail(QStringLiteral("closed before its PROXY header"));
        if (n < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                fail(QStringLiteral("cannot read its PROXY header: %1").arg(QString::fromLocal8Bit(strerror(errno))));
            return;
        }
        m_data += buf.left(int(n));
        proxyheader::Header h;
        switch (proxyheader::parse(m_data, &h)) {
        case proxyheader::Outcome::NeedMore:
            if (m_data.size() >= proxyheader::kMaxLength)
                fail(QStringLiteral("PROXY header too long"));
            return;
        case proxyheader::Outcome::Invalid:
            return fail(QStringLiteral("no valid PROXY header"));
        case proxyheader::Outcome::Parsed:
            break;
        }
        m_notifier.setEnabled(false);
        const qintptr fd = m_fd;
        m_fd = -1;
        deleteLater();
        m_accepted(fd, h.address);
    }

    void fail(const QString &why)
    {
        qWarning().noquote() << "closing connection from" << peerOf(m_fd) << ":" << why;
        m_notifier.setEnabled(false);
        m_timer.stop();
        deleteLater(); // closes the descriptor
    }

    qintptr m_fd;
    std::function<void(qintptr, const QString &)> m_accepted;
    QSocketNotifier m_notifier;
    QTimer m_timer;
    QByteArray m_data;
};

} // namespace

QString clientAddress(const QTcpSocket *socket)
{
    const QString given = socket->property(kProperty).toString();
    return given.isEmpty() ? socket->peerAddress().toString() : given;
}

void setClientAddress(QTcpSocket *socket, const QString &address)
{
    if (!address.isEmpty())
        socket->setProperty(kProperty, address);
}

bool adopt(QTcpSocket *socket, qintptr descriptor, const QString &address)
{
    if (!socket->setSocketDescriptor(descriptor)) {
        qWarning().noquote() << "cannot take an incoming connection:" << socket->errorString();
        ::close(int(descriptor));
        delete socket;
        return false;
    }
    setClientAddress(socket, address);
    return true;
}

void await(qintptr descriptor, int timeoutMs, QObject *context,
           std::function<void(qintptr, const QString &)> accepted)
{
    new Waiter(descriptor, timeoutMs, context, std::move(accepted));
}

} // namespace proxygate

void ProxiedListener::incomingConnection(qintptr descriptor)
{
    if (!m_proxy) {
        QTcpServer::incomingConnection(descriptor);
        return;
    }
    QPointer<ProxiedListener> self(this);
    proxygate::await(descriptor, proxygate::kTimeoutMs, this, [self](qintptr fd, const QString &address) {
        auto *socket = new QTcpSocket(self);
        if (!proxygate::adopt(socket, fd, address))
            return;
        self->addPendingConnection(socket);
        emit self->newConnection();
    });
}
