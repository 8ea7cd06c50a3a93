#pragma once
// Account passwords are kept only as salted digests. New and changed
// passwords get Argon2id; PBKDF2-SHA256 digests from earlier versions are
// still checked and replaced at the owner's next successful login.
#include <QByteArray>
#include <QString>

namespace password {

enum class Kind { Argon2id, Pbkdf2Sha256 };

// Argon2id cost of new digests: OWASP's current minimum is 19 MiB, two
// passes, one lane. Raise these here; older digests are upgraded on login.
struct Cost
{
    int memoryKiB = 19 * 1024;
    int passes = 2;
    int lanes = 1;
};
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;

struct Digest
{
    Kind kind = Kind::Argon2id;
    QByteArray salt;
    QByteArray hash;
    // Argon2id: its cost. PBKDF2: rounds in `passes`.
    Cost cost;
};

// `cost` below the default only for throwaway stores (fuzzing, tests).
Digest make(const QString &clear, const Cost &cost = Cost());
// Constant-time comparison against a stored digest.
bool matches(const QString &clear, const Digest &stored);
// An older kind, or a cheaper cost than `current`: replace at the next login.
bool outdated(const Digest &stored, const Cost &current = Cost());

// The text kept in the store's hash column: plain hex for PBKDF2 (the rounds
// live in their own column), "argon2id$m=..,t=..,p=..$hex" for Argon2id.
QString storedHash(const Digest &d);
int storedRounds(const Digest &d);
bool fromStored(const QByteArray &salt, const QString &hashText, int rounds, Digest *out);

// PBKDF2-SHA256 as earlier versions stored it (OpenSSL's implementation).
QByteArray pbkdf2(const QString &clear, const QByteArray &salt, int rounds);
QByteArray argon2id(const QString &clear, const QByteArray &salt, const Cost &cost);

} // namespace password
