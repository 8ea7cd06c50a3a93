#include "password.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include <argon2.h>
#include <openssl/evp.h>
#include <sys/mman.h>

namespace password {

namespace {

QByteArray randomSalt()
{
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(reinterpret_cast<quint32 *>(salt.data()),
                                         reinterpret_cast<quint32 *>(salt.data() + kSaltBytes));
    return salt;
}

bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size() || a.isEmpty())
        return false;
    unsigned char diff = 0;
    for (int i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

// Costs a stored digest may name. Anything outside is a damaged row: checking
// it could take the worker for minutes or gigabytes.
bool sane(const Cost &c, Kind kind)
{
    if (kind == Kind::Pbkdf2Sha256)
        return c.passes >= 1 && c.passes <= 10000000;
    return c.memoryKiB >= 8 * c.lanes && c.memoryKiB <= 1024 * 1024 && c.passes >= 1 && c.passes <= 64
           && c.lanes >= 1 && c.lanes <= 16;
}

// Argon2's working memory is mapped and unmapped per digest: from the heap,
// the allocator would keep each worker's megabytes after a wave of logins.
int mapMemory(uint8_t **memory, size_t bytes)
{
    void *p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return ARGON2_MEMORY_ALLOCATION_ERROR;
    *memory = static_cast<uint8_t *>(p);
    return ARGON2_OK;
}

void unmapMemory(uint8_t *memory, size_t bytes)
{
    munmap(memory, bytes);
}

} // namespace

QByteArray pbkdf2(const QString &clear, const QByteArray &salt, int rounds)
{
    const QByteArray pass = clear.toUtf8();
    QByteArray out(kHashBytes, Qt::Uninitialized);
    if (PKCS5_PBKDF2_HMAC(pass.constData(), pass.size(), reinterpret_cast<const unsigned char *>(salt.constData()),
                          salt.size(), rounds, EVP_sha256(), out.size(),
                          reinterpret_cast<unsigned char *>(out.data()))
        != 1)
        return QByteArray();
    return out;
}

QByteArray argon2id(const QString &clear, const QByteArray &salt, const Cost &cost)
{
    const QByteArray pass = clear.toUtf8();
    QByteArray saltCopy = salt;
    QByteArray out(kHashBytes, Qt::Uninitialized);
    argon2_context ctx{};
    ctx.out = reinterpret_cast<uint8_t *>(out.data());
    ctx.outlen = uint32_t(out.size());
    ctx.pwd = reinterpret_cast<uint8_t *>(const_cast<char *>(pass.constData()));
    ctx.pwdlen = uint32_t(pass.size());
    ctx.salt = reinterpret_cast<uint8_t *>(saltCopy.data());
    ctx.saltlen = uint32_t(saltCopy.size());
    ctx.t_cost = uint32_t(cost.passes);
    ctx.m_cost = uint32_t(cost.memoryKiB);
    ctx.lanes = uint32_t(cost.lanes);
    ctx.threads = uint32_t(cost.lanes);
    ctx.version = ARGON2_VERSION_13;
    ctx.allocate_cbk = mapMemory;
    ctx.free_cbk = unmapMemory;
    ctx.flags = ARGON2_DEFAULT_FLAGS;
    if (argon2_ctx(&ctx, Argon2_id) != ARGON2_OK)
        return QByteArray();
    return out;
}

Digest make(const QString &clear, const Cost &cost)
{
    Digest d;
    d.kind = Kind::Argon2id;
    d.salt = randomSalt();
    d.cost = cost;
    d.hash = argon2id(clear, d.salt, cost);
    return d;
}

bool matches(const QString &clear, const Digest &stored)
{
    if (stored.salt.isEmpty() || stored.hash.size() != kHashBytes || !sane(stored.cost, stored.kind))
        return false;
    const QByteArray got = stored.kind == Kind::Argon2id ? argon2id(clear, stored.salt, stored.cost)
                                                         : pbkdf2(clear, stored.salt, stored.cost.passes);
    return sameBytes(got, stored.hash);
}

bool outdated(const Digest &stored, const Cost &current)
{
    return stored.kind != Kind::Argon2id || stored.cost.memoryKiB < current.memoryKiB
           || stored.cost.passes < current.passes;
}

QString storedHash(const Digest &d)
{
    const QString hex = QString::fromLatin1(d.hash.toHex());
    if (d.kind == Kind::Pbkdf2Sha256)
        return hex;
    return QStringLiteral("argon2id$m=%1,t=%2,p=%3$%4").arg(d.cost.memoryKiB).arg(d.cost.passes).arg(d.cost.lanes).arg(hex);
}

int storedRounds(const Digest &d)
{
    return d.kind == Kind::Pbkdf2Sha256 ? d.cost.passes : 0;
}

bool fromStored(const QByteArray &salt, const QString &hashText, int rounds, Digest *out)
{
    Digest d;
    d.salt = salt;
    if (hashText.startsWith(QLatin1String("argon2id$"))) {
        static const QRegularExpression re(QStringLiteral("^argon2id\\$m=(\\d{1,9}),t=(\\d{1,3}),p=(\\d{1,3})\\$([0-9a-f]+)$"));
        const auto m = re.match(hashText);
        if (!m.hasMatch())
            return false;
        d.kind = Kind::Argon2id;
        d.cost.memoryKiB = m.captured(1).toInt();
        d.cost.passes = m.captured(2).toInt();
        d.cost.lanes = m.captured(3).toInt();
        d.hash = QByteArray::fromHex(m.captured(4).toLatin1());
    } else {
        d.kind = Kind::Pbkdf2Sha256;
        d.cost = Cost{0, rounds, 0};
        d.hash = QByteArray::fromHex(hashText.toLatin1());
    }
    *out = d;
    return true;
}

} // namespace password
