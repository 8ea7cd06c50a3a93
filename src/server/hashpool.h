#pragma once
// Password digests are slow on purpose. They run on their own pool, one
// worker per core, so the thread that serves clients never waits for one and
// other work on the global pool is not queued behind a wave of logins.
#include "password.h"

#include <QAtomicInt>
#include <QFuture>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QSharedPointer>

#include <functional>

class QThreadPool;

namespace hashpool {

QThreadPool *pool();
int workers();

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

// Shares the pool fairly between peer addresses: each address has at most
// `perAddress` checks queued or running; its further logins wait here, on the
// serving thread. A thousand wrong logins from one address then hold up
// another customer's login by no more than those few checks. Twice the
// workers per address keeps the pool busy while the serving thread hands
// out the next turns. Behind HAProxy the address is the one its PROXY header
// gives (--proxy-protocol); without it every customer has HAProxy's.
class AddressGate : public QObject
{
public:
    explicit AddressGate(int perAddress, QObject *parent = nullptr) : QObject(parent), m_perAddress(perAddress) {}
    // `start` runs now or when a turn frees up, unless `owner` has gone by
    // then; it returns the check it started, whose end frees the turn.
    void enqueue(const QString &address, QObject *owner, std::function<QFuture<LoginCheck>()> start);
    int waiting(const QString &address) const;

private:
    struct Pending
    {
        QPointer<QObject> owner;
        std::function<QFuture<LoginCheck>()> start;
    };
    struct Slot
    {
        int running = 0;
        QQueue<Pending> queue;
    };
    void run(const QString &address, const Pending &p);
    void release(const QString &address);

    int m_perAddress;
    QHash<QString, Slot> m_slots;
};

} // namespace hashpool
