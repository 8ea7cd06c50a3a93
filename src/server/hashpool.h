#pragma once
// Password digests are slow on purpose. They run on their own pool, one
// worker per core, so the thread that serves clients never waits for one and
// other work on the global pool is not queued behind a wave of logins.
#include "password.h"

#include <QAtomicInt>
#include <QFuture>
#include <QSharedPointer>

class QThreadPool;

namespace hashpool {

QThreadPool *pool();

struct LoginCheck
{
    bool matched = false;
    // Set when the stored digest was outdated and the password matched.
    password::Digest upgraded;
};

// Compares `clear` with `stored`; with `upgradeTo` set, an outdated digest
// that matches is also derived afresh at that cost. A check whose
// `abandoned` flag is set before a worker takes it is skipped: its client
// has gone and nobody waits for the answer.
QFuture<LoginCheck> check(const QString &clear, const password::Digest &stored, const password::Cost *upgradeTo,
                          const QSharedPointer<QAtomicInt> &abandoned);

} // namespace hashpool
