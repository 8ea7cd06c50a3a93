#include "uploadwriter.h"

#include <QFile>

class UploadWorker : public QObject
{
public:
    Store store;
};

UploadWriter::UploadWriter(QObject *parent) : QObject(parent)
{
    m_thread.setObjectName(QStringLiteral("uploads"));
}

UploadWriter::~UploadWriter()
{
    if (!m_worker)
        return;
    // Calls run in order: once this one has, every file handed over is stored.
    QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->store.close(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

bool UploadWriter::start(const QString &dbUrl, const QString &dataDir, QString *error)
{
    m_worker = new UploadWorker;
    m_worker->moveToThread(&m_thread);
    m_thread.start();
    bool ok = false;
    QMetaObject::invokeMethod(
        m_worker, [&] { ok = m_worker->store.open(dbUrl, dataDir, error); }, Qt::BlockingQueuedConnection);
    return ok;
}

void UploadWriter::write(const Upload &record, const QString &partPath, QObject *context,
                         std::function<void(qint64, const QString &)> done)
{
    const quint64 ticket = ++m_nextTicket;
    m_pending.insert(ticket, Pending{context, std::move(done)});
    QMetaObject::invokeMethod(m_worker, [this, w = m_worker, ticket, record, partPath] {
        QString error;
        qint64 id = -1;
        QFile part(partPath);
        QByteArray content;
        if (!part.open(QIODevice::ReadOnly) || (content = part.readAll()).size() != record.size)
            error = QStringLiteral("cannot read %1: %2").arg(partPath, part.errorString());
        else
            id = w->store.recordUploadWithContent(record, content, &error);
        part.close();
        QFile::remove(partPath);
        QMetaObject::invokeMethod(this, [this, ticket, id, error] { finished(ticket, id, error); },
                                  Qt::QueuedConnection);
    });
}

void UploadWriter::finished(quint64 ticket, qint64 id, const QString &error)
{
    const Pending p = m_pending.take(ticket);
    if (p.context)
        p.done(id, error);
}
