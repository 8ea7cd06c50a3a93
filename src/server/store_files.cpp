// File contents kept in the database (PostgreSQL), beside their records.
#include "store.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

qint64 Store::recordUploadWithContent(const Upload &u, const QByteArray &content, QString *error)
{
    recover();
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    if (!begin(db, error))
        return -1;
    const qint64 id = recordUpload(u, error);
    if (id < 0) {
        db.rollback();
        return -1;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO upload_contents (stored_name, content) VALUES (?, ?)"));
    q.addBindValue(u.storedName);
    q.addBindValue(content);
    if (!exec(q)) {
        *error = m_error;
        db.rollback();
        return -1;
    }
    return commit(db, error) ? id : -1;
}

bool Store::uploadContent(const QString &storedName, QByteArray *content)
{
    recover();
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT content FROM upload_contents WHERE stored_name = ?"));
    q.addBindValue(storedName);
    if (!exec(q) || !q.next())
        return false;
    *content = q.value(0).toByteArray();
    return true;
}

bool Store::storedFile(const QString &storedName, const QString &dataDir, QByteArray *content)
{
    // Only names the store recorded: never a path somebody typed.
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT 1 FROM uploads WHERE stored_name = ?"));
    q.addBindValue(storedName);
    if (!exec(q) || !q.next())
        return false;
    if (keepsFileContents())
        return uploadContent(storedName, content);
    QFile f(QDir(dataDir).filePath(QStringLiteral("uploads/") + storedName));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *content = f.readAll();
    return true;
}
