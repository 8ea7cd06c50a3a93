#pragma once
// Puts received files into the database (PostgreSQL keeps them beside their
// records) on a thread of its own, with a store connection of its own, so
// the thread serving customers never waits for a large insert.
#include "store.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <functional>

class UploadWorker;

class UploadWriter : public QObject
{
    Q_OBJECT
public:
    explicit UploadWriter(QObject *parent = nullptr);
    // Finishes the files handed over so far, then stops.
    ~UploadWriter() override;

    // Opens the writer's own connection to the store; waits until it is open.
    bool start(const QString &dbUrl, const QString &dataDir, QString *error);

    // Stores the record with the whole content of the file at partPath and
    // removes that file. `done` is called on the caller's thread with the
    // record's id (-1 and a reason on failure), unless `context` is gone.
    void write(const Upload &record, const QString &partPath, QObject *context,
               std::function<void(qint64 id, const QString &error)> done);

private:
    struct Pending
    {
        QPointer<QObject> context;
        std::function<void(qint64, const QString &)> done;
    };
    void finished(quint64 ticket, qint64 id, const QString &error);

    QThread m_thread;
    UploadWorker *m_worker = nullptr;
    // Touched on the caller's thread only.
    QHash<quint64, Pending> m_pending;
    quint64 m_nextTicket = 0;
};
