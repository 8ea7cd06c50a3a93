#include "storewriter.h"

#include <QFile>
#include <QSharedPointer>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

class StoreWorker : public QObject
{
public:
    Store store;
};

StoreWriter::StoreWriter(QObject *parent) : QObject(parent)
{
    m_thread.setObjectName(QStringLiteral("store writer"));
}

StoreWriter::~StoreWriter()
{
    if (!m_worker)
        return;
    // Calls run in order: once this one has, everything handed over is stored.
    QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->store.close(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

bool StoreWriter::start(const QString &dbUrl, const QString &dataDir, QString *error)
{
    m_worker = new StoreWorker;
    m_worker->moveToThread(&m_thread);
    m_thread.start();
    bool ok = false;
    QMetaObject::invokeMethod(
        m_worker,
        [&] {
            // Commits yield to the thread that serves clients, as the mail
            // sender does (the same level: neither outranks the other). A
            // burst of large orders then delays its own answers a little,
            // not every customer's lookups; at the digests' level (5) it
            // still held them up in the benchmark.
            setpriority(PRIO_PROCESS, id_t(::syscall(SYS_gettid)), 10);
            ok = m_worker->store.open(dbUrl, dataDir, error);
        },
        Qt::BlockingQueuedConnection);
    return ok;
}

void StoreWriter::run(QObject *context, std::function<void(Store &)> work, std::function<void()> done)
{
    const quint64 ticket = ++m_nextTicket;
    m_pending.insert(ticket, Pending{context, std::move(done)});
    QMetaObject::invokeMethod(m_worker, [this, w = m_worker, ticket, work = std::move(work)] {
        work(w->store);
        QMetaObject::invokeMethod(this, [this, ticket] { finished(ticket); }, Qt::QueuedConnection);
    });
}

void StoreWriter::write(const Upload &record, const QString &partPath, QObject *context,
                        std::function<void(qint64, const QString &)> done)
{
    const auto result = QSharedPointer<Written>::create();
    run(
        context,
        [record, partPath, result](Store &store) {
            QFile part(partPath);
            QByteArray content;
            if (!part.open(QIODevice::ReadOnly) || (content = part.readAll()).size() != record.size)
                result->error = QStringLiteral("cannot read %1: %2").arg(partPath, part.errorString());
            else
                result->id = store.recordUploadWithContent(record, content, &result->error);
            part.close();
            QFile::remove(partPath);
        },
        [result, done = std::move(done)] { done(result->id, result->error); });
}

void StoreWriter::finished(quint64 ticket)
{
    const Pending p = m_pending.take(ticket);
    if (p.context)
        p.done();
}
