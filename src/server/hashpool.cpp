#include "hashpool.h"

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

} // namespace hashpool
