#pragma once
#include <QList>
#include <QSslCertificate>
#include <QSslError>
#include <QSslSocket>
#include <QString>
#include <QTimer>

// How the client reaches the order server: plain TCP, or TLS with the
// server's certificate checked against the given authorities.
struct ClientTls
{
    bool enabled = false;
    // Trusted authorities; empty means the system's certificate store.
    QList<QSslCertificate> caCertificates;
    // Why an encrypted connection cannot be made (unreadable CA file, no
    // TLS library); shown instead of connecting, never bypassed.
    QString problem;
    int handshakeTimeoutMs = 20000;

    // What this build does unless told otherwise: its TLS default and its
    // compiled-in authority, if any.
    static ClientTls fromBuild();
    // The same with the authorities of `pem` (the system's store when empty).
    static ClientTls withAuthority(const QByteArray &pem);
    // Trusts only the authorities of the PEM file at `path` for this run.
    void useCaFile(const QString &path);
};

// A client socket that connects encrypted and verifies the server. Every
// failure is reported through the ordinary error signal with a Russian
// reason as the error string, so the windows show it like any other
// connection error. The login is only sent after encrypted().
class TlsSocket : public QSslSocket
{
    Q_OBJECT
public:
    TlsSocket(const ClientTls &tls, QObject *parent = nullptr);
    void connectEncrypted(const QString &host, quint16 port);

    // The Russian reason for a failed verification.
    static QString verificationText(const QList<QSslError> &errors, const QString &host);

private slots:
    void onError(QAbstractSocket::SocketError error);

private:
    void onSslErrors(const QList<QSslError> &errors);
    void onHandshakeTimeout();

    QTimer m_handshake;
    QString m_host;
    QString m_failure;
};

namespace tlsclient {
// The signal that says the connection is ready for the login: encrypted()
// for a TLS socket, connected() for a plain one.
const char *readySignal(const QAbstractSocket *socket);
// Upload pacing. With TLS, bytesWritten only means "encrypted"; the next
// chunk also waits for the network to take the encrypted bytes, so no more
// than about two chunks are ever queued, not the whole file.
void pace(QAbstractSocket *socket, QObject *receiver, const char *slot, bool on);
bool roomForChunk(const QAbstractSocket *socket, qint64 chunk);
} // namespace tlsclient
