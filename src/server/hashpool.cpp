#include "hashpool.h"

#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

namespace hashpool {

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
