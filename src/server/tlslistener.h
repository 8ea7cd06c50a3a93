#pragma once
// TLS on the listening port: the handshake runs before the connection is
// handed to the server, so the order protocol is the same inside TLS.
#include <QList>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

struct TlsFiles
{
    QList<QSslCertificate> chain; // the server's certificate first
    QSslKey key;
    int handshakeTimeoutMs = 10000;
    bool enabled() const { return !chain.isEmpty() && !key.isNull(); }
};

// Reads a PEM certificate (with any intermediates after it) and its private
// key; false with a reason when either cannot be used.
bool loadTlsFiles(const QString &certPath, const QString &keyPath, TlsFiles *out, QString *error);

// Accepts TCP connections, runs the server side of the TLS handshake, and
// offers only encrypted connections as pending ones. A handshake that fails
// or stalls ends that connection alone, with a log line.
class TlsListener : public QTcpServer
{
    Q_OBJECT
public:
    TlsListener(const TlsFiles &files, QObject *parent = nullptr);
    int handshakesRunning() const { return m_handshakes; }
    // Each connection starts with a PROXY header, before the handshake.
    void setProxyProtocol(bool on) { m_proxy = on; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void handshake(qintptr descriptor, const QString &clientAddress);

    bool m_proxy = false;
    QSslConfiguration m_config;
    int m_timeoutMs;
    int m_handshakes = 0;
};

namespace tlsio {
// Bytes written by the server but not yet handed to the system; over TLS
// they wait in two buffers, before and after encryption.
qint64 unsent(const QTcpSocket *socket);
// Calls `f` whenever written bytes leave either buffer.
template <typename F>
void onWritten(QTcpSocket *socket, QObject *context, F f);
}

#include <QSslSocket>
template <typename F>
void tlsio::onWritten(QTcpSocket *socket, QObject *context, F f)
{
    QObject::connect(socket, &QTcpSocket::bytesWritten, context, f);
    if (auto *tls = qobject_cast<QSslSocket *>(socket))
        QObject::connect(tls, &QSslSocket::encryptedBytesWritten, context, f);
}
