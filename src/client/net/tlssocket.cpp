#include "net/tlssocket.h"

#include <QDebug>
#include <QFile>
#include <QSslConfiguration>

#include "vintaro_builtin_ca.h"

ClientTls ClientTls::fromBuild()
{
    return withAuthority(vintaroBuiltinCa);
}

ClientTls ClientTls::withAuthority(const QByteArray &pem)
{
    ClientTls tls;
    tls.enabled = VINTARO_TLS_DEFAULT;
    if (!pem.trimmed().isEmpty())
        tls.caCertificates = QSslCertificate::fromData(pem, QSsl::Pem);
    if (!QSslSocket::supportsSsl())
        tls.problem = QStringLiteral("Защищённое соединение недоступно: не найдена библиотека OpenSSL.");
    return tls;
}

void ClientTls::useCaFile(const QString &path)
{
    QFile f(path);
    QList<QSslCertificate> certs;
    if (f.open(QIODevice::ReadOnly))
        certs = QSslCertificate::fromDevice(&f, QSsl::Pem);
    if (certs.isEmpty()) {
        problem = QStringLiteral("Не удалось прочитать сертификат центра сертификации из файла %1.").arg(path);
        qWarning().noquote() << "no PEM certificate in" << path;
        return;
    }
    caCertificates = certs;
}

TlsSocket::TlsSocket(const ClientTls &tls, QObject *parent) : QSslSocket(parent)
{
    QSslConfiguration conf = sslConfiguration();
    conf.setProtocol(QSsl::TlsV1_2OrLater);
    conf.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!tls.caCertificates.isEmpty())
        conf.setCaCertificates(tls.caCertificates);
    setSslConfiguration(conf);

    m_handshake.setSingleShot(true);
    m_handshake.setInterval(tls.handshakeTimeoutMs);
    // Connected first, so the reason is in place before any window hears the error.
    connect(this, QOverload<const QList<QSslError> &>::of(&QSslSocket::sslErrors), this, &TlsSocket::onSslErrors);
    // The old error() signal, which the windows listen to, comes before errorOccurred().
    connect(this, SIGNAL(error(QAbstractSocket::SocketError)), this, SLOT(onError(QAbstractSocket::SocketError)));
    connect(this, &QAbstractSocket::connected, &m_handshake, QOverload<>::of(&QTimer::start));
    connect(this, &QSslSocket::encrypted, &m_handshake, &QTimer::stop);
    connect(&m_handshake, &QTimer::timeout, this, &TlsSocket::onHandshakeTimeout);
}

void TlsSocket::connectEncrypted(const QString &host, quint16 port)
{
    m_host = host;
    m_failure.clear();
    connectToHostEncrypted(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
}

QString TlsSocket::verificationText(const QList<QSslError> &errors, const QString &host)
{
    QStringList reasons;
    for (const QSslError &e : errors) {
        QString r;
        switch (e.error()) {
        case QSslError::HostNameMismatch:
            r = QStringLiteral("сертификат сервера выдан на другое имя, а не на «%1»").arg(host);
            break;
        case QSslError::CertificateExpired:
            r = QStringLiteral("срок действия сертификата сервера истёк");
            break;
        case QSslError::CertificateNotYetValid:
            r = QStringLiteral("сертификат сервера ещё не вступил в действие");
            break;
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
        case QSslError::SelfSignedCertificate:
        case QSslError::SelfSignedCertificateInChain:
        case QSslError::CertificateUntrusted:
        case QSslError::InvalidCaCertificate:
            r = QStringLiteral("сертификат сервера выдан неизвестным центром сертификации");
            break;
        case QSslError::CertificateRevoked:
            r = QStringLiteral("сертификат сервера отозван");
            break;
        case QSslError::NoPeerCertificate:
            r = QStringLiteral("сервер не предъявил сертификат");
            break;
        default:
            r = QStringLiteral("сертификат сервера не прошёл проверку (%1)").arg(e.errorString());
            break;
        }
        if (!reasons.contains(r))
            reasons << r;
    }
    return QStringLiteral("Не удалось проверить подлинность сервера: ") + reasons.join(QStringLiteral("; "))
        + QStringLiteral(". Вход не выполнен.");
}

void TlsSocket::onSslErrors(const QList<QSslError> &errors)
{
    // Never ignored: there is no way to accept an unverified server.
    m_failure = verificationText(errors, m_host);
    qWarning().noquote() << "server certificate refused:" << errors;
}

void TlsSocket::onError(QAbstractSocket::SocketError error)
{
    m_handshake.stop();
    if (error != QAbstractSocket::SslHandshakeFailedError)
        return;
    if (!m_failure.isEmpty()) {
        setErrorString(m_failure);
        return;
    }
    qWarning().noquote() << "TLS handshake failed:" << errorString();
    setErrorString(QStringLiteral("Не удалось установить защищённое соединение с сервером. "
                                  "Возможно, сервер работает без шифрования."));
}

void TlsSocket::onHandshakeTimeout()
{
    if (isEncrypted())
        return;
    qWarning() << "TLS handshake timed out after" << m_handshake.interval() << "ms";
    abort();
    setSocketError(QAbstractSocket::SocketTimeoutError);
    setErrorString(QStringLiteral("Сервер не ответил при установке защищённого соединения. "
                                  "Возможно, сервер работает без шифрования."));
    emit errorOccurred(QAbstractSocket::SocketTimeoutError);
#if QT_DEPRECATED_SINCE(5, 15)
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    emit error(QAbstractSocket::SocketTimeoutError);
    QT_WARNING_POP
#endif
}

namespace tlsclient {

namespace {
// What TLS adds to a record: header, nonce, tag and padding.
constexpr qint64 kRecordOverhead = 256;
}

const char *readySignal(const QAbstractSocket *socket)
{
    return qobject_cast<const QSslSocket *>(socket) ? SIGNAL(encrypted()) : SIGNAL(connected());
}

void pace(QAbstractSocket *socket, QObject *receiver, const char *slot, bool on)
{
    const bool tls = qobject_cast<QSslSocket *>(socket) != nullptr;
    if (on) {
        QObject::connect(socket, SIGNAL(bytesWritten(qint64)), receiver, slot);
        if (tls)
            QObject::connect(socket, SIGNAL(encryptedBytesWritten(qint64)), receiver, slot);
    } else {
        QObject::disconnect(socket, SIGNAL(bytesWritten(qint64)), receiver, slot);
        if (tls)
            QObject::disconnect(socket, SIGNAL(encryptedBytesWritten(qint64)), receiver, slot);
    }
}

bool roomForChunk(const QAbstractSocket *socket, qint64 chunk)
{
    const auto *tls = qobject_cast<const QSslSocket *>(socket);
    if (!tls || !tls->isEncrypted())
        return true; // a plain socket reports bytesWritten only once they left
    // One encrypted chunk may wait for the network while the next one is
    // encrypted: that keeps the line busy, and memory at two chunks.
    return tls->bytesToWrite() == 0 && tls->encryptedBytesToWrite() <= chunk + kRecordOverhead;
}

} // namespace tlsclient
