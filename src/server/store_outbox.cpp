// The outbox and the accounts' e-mail addresses. Messages are written in the
// transaction of the record they belong to; a sender takes them one by one.
#include "store.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

const char kMailColumns[] = "id, kind, message_id, recipient, format, order_id, questionnaire_id, application_id,"
                            " status, attempts, last_error, next_attempt, queued, created, sent";

MailItem mailFrom(const QSqlQuery &q)
{
    MailItem m;
    m.id = q.value(0).toLongLong();
    m.kind = q.value(1).toString();
    m.messageId = q.value(2).toString();
    m.recipient = q.value(3).toString();
    m.format = q.value(4).toString();
    m.orderId = q.value(5).toLongLong();
    m.questionnaireId = q.value(6).toLongLong();
    m.applicationId = q.value(7).toLongLong();
    m.status = q.value(8).toString();
    m.attempts = q.value(9).toInt();
    m.lastError = q.value(10).toString();
    m.nextAttempt = q.value(11).toString();
    m.queued = q.value(12).toString();
    m.created = q.value(13).toString();
    m.sent = q.value(14).toString();
    return m;
}

QVariant optionalId(qint64 v)
{
    return v > 0 ? QVariant(v) : QVariant(QVariant::LongLong);
}

QString orEmpty(const QString &s)
{
    return s.isNull() ? QString(QLatin1String("")) : s;
}

} // namespace

bool Store::insertMail(QSqlDatabase &db, QList<MailItem> &mail, qint64 orderId, qint64 questionnaireId,
                       qint64 applicationId, QString *error)
{
    if (mail.isEmpty())
        return true;
    const QString stamp = now();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO outbox (kind, message_id, recipient, format, order_id, questionnaire_id,"
                             " application_id, status, attempts, last_error, next_attempt, queued, created)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, 'queued', 0, '', ?, ?, ?)"));
    for (MailItem &m : mail) {
        m.orderId = orderId;
        m.questionnaireId = questionnaireId;
        m.applicationId = applicationId;
        q.addBindValue(m.kind);
        q.addBindValue(m.messageId);
        q.addBindValue(orEmpty(m.recipient));
        q.addBindValue(orEmpty(m.format));
        q.addBindValue(optionalId(orderId));
        q.addBindValue(optionalId(questionnaireId));
        q.addBindValue(optionalId(applicationId));
        q.addBindValue(stamp);
        q.addBindValue(stamp);
        q.addBindValue(stamp);
        if (!exec(q)) {
            *error = m_error;
            return false;
        }
    }
    return true;
}

QList<MailItem> Store::mail(bool all)
{
    QList<MailItem> out;
    recover();
    QSqlQuery q(QSqlDatabase::database(m_connection));
    QString sql = QStringLiteral("SELECT %1 FROM outbox").arg(QLatin1String(kMailColumns));
    if (!all)
        sql += QStringLiteral(" WHERE status <> 'sent'");
    q.prepare(sql + QStringLiteral(" ORDER BY id"));
    if (!exec(q))
        return out;
    while (q.next())
        out << mailFrom(q);
    return out;
}

bool Store::mailItem(qint64 id, MailItem *out)
{
    recover();
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT %1 FROM outbox WHERE id = ?").arg(QLatin1String(kMailColumns)));
    q.addBindValue(id);
    if (!exec(q) || !q.next())
        return false;
    *out = mailFrom(q);
    return true;
}

QList<qint64> Store::dueMail(int limit)
{
    QList<qint64> out;
    recover();
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT id FROM outbox WHERE status = 'queued' AND next_attempt <= ?"
                             " ORDER BY next_attempt, id LIMIT ?"));
    q.addBindValue(now());
    q.addBindValue(limit);
    if (!exec(q))
        return out;
    while (q.next())
        out << q.value(0).toLongLong();
    return out;
}

bool Store::claimMail(qint64 id, const QString &leaseUntil, const QString &owner)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("UPDATE outbox SET next_attempt = ?, lease_owner = ? WHERE id = ? AND status = 'queued'"
                             " AND next_attempt <= ?"));
    q.addBindValue(leaseUntil);
    q.addBindValue(owner);
    q.addBindValue(id);
    q.addBindValue(now());
    return exec(q) && q.numRowsAffected() == 1;
}

int Store::releaseMail(const std::function<bool(const QString &owner)> &dead)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT id, lease_owner FROM outbox WHERE status = 'queued' AND lease_owner <> ''"
                             " AND next_attempt > ?"));
    q.addBindValue(now());
    if (!exec(q))
        return 0;
    QList<QPair<qint64, QString>> held;
    while (q.next())
        held.append({q.value(0).toLongLong(), q.value(1).toString()});
    int released = 0;
    QSqlQuery u(db);
    u.prepare(QStringLiteral("UPDATE outbox SET next_attempt = ?, lease_owner = '' WHERE id = ? AND lease_owner = ?"));
    for (const auto &h : held) {
        if (!dead(h.second))
            continue;
        u.addBindValue(now());
        u.addBindValue(h.first);
        u.addBindValue(h.second);
        if (exec(u))
            released += u.numRowsAffected() > 0 ? 1 : 0;
    }
    return released;
}

bool Store::mailSent(qint64 id)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("UPDATE outbox SET status = 'sent', attempts = attempts + 1, last_error = '', sent = ?"
                             " WHERE id = ?"));
    q.addBindValue(now());
    q.addBindValue(id);
    return exec(q);
}

bool Store::mailAttemptFailed(qint64 id, const QString &error, const QString &nextAttempt, bool giveUp)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("UPDATE outbox SET status = ?, attempts = attempts + 1, last_error = ?, next_attempt = ?"
                             " WHERE id = ?"));
    q.addBindValue(giveUp ? QStringLiteral("failed") : QStringLiteral("queued"));
    q.addBindValue(orEmpty(error.left(1000)));
    q.addBindValue(nextAttempt);
    q.addBindValue(id);
    return exec(q);
}

bool Store::postponeMail(qint64 id, const QString &nextAttempt)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("UPDATE outbox SET next_attempt = ? WHERE id = ?"));
    q.addBindValue(nextAttempt);
    q.addBindValue(id);
    return exec(q);
}

bool Store::retryMail(qint64 id, QString *error)
{
    MailItem m;
    if (!mailItem(id, &m)) {
        *error = QStringLiteral("no message %1").arg(id);
        return false;
    }
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("UPDATE outbox SET status = 'queued', next_attempt = ?, queued = ? WHERE id = ?"));
    const QString stamp = now();
    q.addBindValue(stamp);
    q.addBindValue(stamp);
    q.addBindValue(id);
    if (!exec(q)) {
        *error = m_error;
        return false;
    }
    return true;
}

QString Store::accountEmail(qint64 accountId)
{
    recover();
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT email FROM accounts WHERE id = ?"));
    q.addBindValue(accountId);
    if (!exec(q) || !q.next())
        return QString();
    return q.value(0).toString();
}

bool Store::setAccountEmail(const QString &name, const QString &address, QString *error)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("UPDATE accounts SET email = ? WHERE name = ?"));
    q.addBindValue(orEmpty(address));
    return updateOneAccount(q, name, error);
}

QHash<QString, QString> Store::accountEmails()
{
    QHash<QString, QString> out;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (!q.exec(QStringLiteral("SELECT name, email FROM accounts")))
        return out;
    while (q.next())
        out.insert(q.value(0).toString(), q.value(1).toString());
    return out;
}

bool Store::applicantOf(const QString &accountName, QString *company, QString *person)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT predpr, fio FROM applications WHERE account_name = ? AND status = 'approved'"
                             " ORDER BY id DESC"));
    q.addBindValue(accountName);
    if (!exec(q) || !q.next())
        return false;
    *company = q.value(0).toString();
    *person = q.value(1).toString();
    return true;
}

QList<Upload> Store::uploadsOfQuestionnaire(qint64 questionnaireId)
{
    QList<Upload> out;
    for (const Upload &u : uploads())
        if (u.questionnaireId == questionnaireId)
            out << u;
    return out;
}
