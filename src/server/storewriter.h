#pragma once
// Writes to the store on a thread of its own, with a store connection of its
// own, so the thread serving customers never waits for a commit: each one
// waits for the disk, and on SQLite for the mail sender's lock as well.
// Orders, questionnaires and applications go through it, and received files
// when PostgreSQL keeps them beside their records.
#include "store.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <functional>

class StoreWorker;

class StoreWriter : public QObject
{
    Q_OBJECT
public:
    explicit StoreWriter(QObject *parent = nullptr);
    // Finishes the work handed over so far, then stops.
    ~StoreWriter() override;

    // What a write that makes one record reports: its id, or -1 and why not.
    struct Written
    {
        qint64 id = -1;
        QString error;
    };

    // Opens the writer's own connection to the store; waits until it is open.
    bool start(const QString &dbUrl, const QString &dataDir, QString *error);

    // Runs `work` with the writer's store on its thread, in the order handed
    // over, then `done` on the caller's thread, unless `context` is gone.
    void run(QObject *context, std::function<void(Store &)> work, std::function<void()> done);

    // Stores the record with the whole content of the file at partPath and
    // removes that file. `done` is called on the caller's thread with the
    // record's id (-1 and a reason on failure), unless `context` is gone.
    void write(const Upload &record, const QString &partPath, QObject *context,
               std::function<void(qint64 id, const QString &error)> done);

private:
    struct Pending
    {
        QPointer<QObject> context;
        std::function<void()> done;
    };
    void finished(quint64 ticket);

    QThread m_thread;
    StoreWorker *m_worker = nullptr;
    // Touched on the caller's thread only.
    QHash<quint64, Pending> m_pending;
    quint64 m_nextTicket = 0;
};
