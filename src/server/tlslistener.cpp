#include "tlslistener.h"

#include "proxygate.h"

#include <QDebug>
#include <QFile>
#include <QPointer>
#include <QSslSocket>
#include <QTimer>

#include <openssl/pem.h>
#include <openssl/x509.h>

namespace {
// Qt cannot tell whether a key belongs to a certificate; without this check
// a wrong key would only show as every handshake failing.
bool keyMatches(const QSslCertificate &cert, const QByteArray &keyPem)
{
    const QByteArray certPem = cert.toPem();
    BIO *certBio = BIO_new_mem_buf(certPem.constData(), int(certPem.size()));
    BIO *keyBio = BIO_new_mem_buf(keyPem.constData(), int(keyPem.size()));
    X509 *x509 = certBio ? PEM_read_bio_X509(certBio, nullptr, nullptr, nullptr) : nullptr;
    EVP_PKEY *key = keyBio ? PEM_read_bio_PrivateKey(keyBio, nullptr, nullptr, nullptr) : nullptr;
    const bool ok = x509 && key && X509_check_private_key(x509, key) == 1;
    EVP_PKEY_free(key);
    X509_free(x509);
    BIO_free(keyBio);
    BIO_free(certBio);
    return ok;
}
} // namespace

bool loadTlsFiles(const QString &certPath, const QString &keyPath, TlsFiles *out, QString *error)
{
    if (!QSslSocket::supportsSsl()) {
        *error = QStringLiteral("TLS is not available: the OpenSSL library was not found");
        return false;
    }
    QFile cert(certPath);
    if (!cert.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the TLS certificate %1: %2").arg(certPath, cert.errorString());
        return false;
    }
    const QList<QSslCertificate> chain = QSslCertificate::fromDevice(&cert, QSsl::Pem);
    if (chain.isEmpty() || chain.first().isNull()) {
        *error = QStringLiteral("%1 holds no PEM certificate").arg(certPath);
        return false;
    }
    QFile keyFile(keyPath);
    if (!keyFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the TLS key %1: %2").arg(keyPath, keyFile.errorString());
        return false;
    }
    const QByteArray pem = keyFile.readAll();
    QSslKey key;
    for (QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
        key = QSslKey(pem, algorithm, QSsl::Pem, QSsl::PrivateKey);
        if (!key.isNull())
            break;
    }
    if (key.isNull()) {
        *error = QStringLiteral("%1 holds no PEM private key (RSA or EC, without a passphrase)").arg(keyPath);
        return false;
    }
    if (!keyMatches(chain.first(), pem)) {
        *error = QStringLiteral("the key in %1 does not belong to the certificate in %2").arg(keyPath, certPath);
        return false;
    }
    out->chain = chain;
    out->key = key;
    return true;
}

TlsListener::TlsListener(const TlsFiles &files, QObject *parent)
    : QTcpServer(parent), m_timeoutMs(files.handshakeTimeoutMs)
{
    m_config = QSslConfiguration::defaultConfiguration();
    m_config.setProtocol(QSsl::TlsV1_2OrLater);
    m_config.setPeerVerifyMode(QSslSocket::VerifyNone); // customers have no certificates
    m_config.setLocalCertificateChain(files.chain);
    m_config.setPrivateKey(files.key);
}

void TlsListener::incomingConnection(qintptr descriptor)
{
    if (!m_proxy) {
        handshake(descriptor, QString());
        return;
    }
    proxygate::await(descriptor, m_timeoutMs, this,
                     [this](qintptr fd, const QString &address) { handshake(fd, address); });
}

void TlsListener::handshake(qintptr descriptor, const QString &clientAddress)
{
    auto *socket = new QSslSocket(this);
    if (!proxygate::adopt(socket, descriptor, clientAddress))
        return;
    socket->setSslConfiguration(m_config);
    const QString peer = proxygate::clientAddress(socket);
    ++m_handshakes;
    // The handshake's own connections hang on this guard: gone with it once
    // the handshake is over, they never touch the connection afterwards.
    auto *guard = new QTimer(socket);
    guard->setSingleShot(true);
    QPointer<TlsListener> self(this);
    auto over = [self, socket, guard] {
        if (self)
            --self->m_handshakes;
        guard->stop();
        socket->disconnect(guard);
        guard->disconnect();
        guard->deleteLater();
    };
    auto end = [over, socket](const QString &why) {
        qWarning().noquote() << why;
        over();
        socket->abort();
        socket->deleteLater();
    };
    connect(guard, &QTimer::timeout, guard, [end, peer, this] {
        end(QStringLiteral("closing connection from %1: no TLS handshake within %2 s")
                .arg(peer).arg(m_timeoutMs / 1000.0));
    });
    connect(socket, &QAbstractSocket::errorOccurred, guard, [end, peer, socket] {
        end(QStringLiteral("closing connection from %1: TLS handshake failed (a client without TLS?): %2")
                .arg(peer, socket->errorString()));
    });
    connect(socket, &QSslSocket::encrypted, guard, [this, over, socket] {
        over();
        addPendingConnection(socket);
        emit newConnection();
    });
    socket->startServerEncryption();
    guard->start(m_timeoutMs);
}

namespace tlsio {

qint64 unsent(const QTcpSocket *socket)
{
    qint64 n = socket->bytesToWrite();
    if (auto *tls = qobject_cast<const QSslSocket *>(socket))
        n += tls->encryptedBytesToWrite();
    return n;
}

} // namespace tlsio
