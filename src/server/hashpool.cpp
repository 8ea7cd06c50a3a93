#include "hashpool.h"

#include <QFutureWatcher>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace hashpool {

namespace {
// Digests yield to the thread that serves clients: a wave of logins then
// delays other logins, not every customer's lookups.
void yieldToServing()
{
    static thread_local const bool done = [] {
        setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 5);
        return true;
    }();
    Q_UNUSED(done);
}
} // namespace

QThreadPool *pool()
{
    static QThreadPool *p = [] {
        auto *tp = new QThreadPool;
        tp->setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
        // Workers stay: a wave of logins would otherwise start threads anew.
        tp->setExpiryTimeout(-1);
        return tp;
    }();
    return p;
}

int workers()
{
    return pool()->maxThreadCount();
}

QFuture<LoginCheck> check(const QString &clear, const password::Digest &stored, const password::Cost *upgradeTo,
                          const QSharedPointer<QAtomicInt> &abandoned)
{
    const bool upgrade = upgradeTo && password::outdated(stored, *upgradeTo);
    const password::Cost cost = upgradeTo ? *upgradeTo : password::Cost();
    return QtConcurrent::run(pool(), [clear, stored, upgrade, cost, abandoned] {
        yieldToServing();
        LoginCheck r;
        if (abandoned && abandoned->loadRelaxed())
            return r;
        r.matched = password::matches(clear, stored);
        if (r.matched && upgrade)
            r.upgraded = password::make(clear, cost);
        return r;
    });
}

void AddressGate::enqueue(const QString &address, QObject *owner, std::function<QFuture<LoginCheck>()> start)
{
    Slot &slot = m_slots[address];
    const Pending p{owner, std::move(start)};
    if (slot.running < m_perAddress)
        run(address, p);
    else
        slot.queue.enqueue(p);
}

int AddressGate::waiting(const QString &address) const
{
    return m_slots.value(address).queue.size();
}

void AddressGate::run(const QString &address, const Pending &p)
{
    ++m_slots[address].running;
    // The turn is freed when the check ends, whether or not its connection
    // is still there to take the answer.
    auto *watcher = new QFutureWatcher<LoginCheck>(this);
    connect(watcher, &QFutureWatcher<LoginCheck>::finished, this, [this, watcher, address] {
        watcher->deleteLater();
        release(address);
    });
    watcher->setFuture(p.start());
}

void AddressGate::release(const QString &address)
{
    auto it = m_slots.find(address);
    if (it == m_slots.end())
        return;
    --it->running;
    while (!it->queue.isEmpty() && it->running < m_perAddress) {
        const Pending next = it->queue.dequeue();
        if (next.owner) // a client that left meanwhile costs nothing
            run(address, next);
        it = m_slots.find(address); // run() may have grown the table
    }
    if (it->running == 0 && it->queue.isEmpty())
        m_slots.erase(it);
}

} // namespace hashpool
