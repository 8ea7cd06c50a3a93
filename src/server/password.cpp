#include "password.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

namespace password {

Digest make(const QString &clear, int iterations)
{
    Digest d;
    d.salt.resize(kSaltBytes);
    QRandomGenerator::system()->generate(reinterpret_cast<quint32 *>(d.salt.data()),
                                         reinterpret_cast<quint32 *>(d.salt.data() + kSaltBytes));
    d.iterations = iterations;
    d.hash = derive(clear, d.salt, d.iterations);
    return d;
}

QByteArray derive(const QString &clear, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, clear.toUtf8(), salt,
                                              iterations, kHashBytes);
}

bool matches(const QString &clear, const Digest &stored)
{
    if (stored.salt.isEmpty() || stored.hash.size() != kHashBytes || stored.iterations < 1)
        return false;
    const QByteArray got = derive(clear, stored.salt, stored.iterations);
    if (got.size() != stored.hash.size())
        return false;
    unsigned char diff = 0;
    for (int i = 0; i < got.size(); ++i)
        diff |= static_cast<unsigned char>(got[i] ^ stored.hash[i]);
    return diff == 0;
}

} // namespace password
