#pragma once
// Account passwords are kept only as salted PBKDF2-SHA256 digests.
#include <QByteArray>
#include <QString>

namespace password {

constexpr int kIterations = 100000;
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;

struct Digest
{
    QByteArray salt;
    QByteArray hash;
    int iterations = kIterations;
};

// `iterations` below kIterations only for throwaway stores (fuzzing, tests).
Digest make(const QString &clear, int iterations = kIterations);
QByteArray derive(const QString &clear, const QByteArray &salt, int iterations);
// Constant-time comparison against a stored digest.
bool matches(const QString &clear, const Digest &stored);

} // namespace password
