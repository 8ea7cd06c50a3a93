// The store's accounts and registration applications.
#include "store.h"

#include "crashpoint.h"
#include "password.h"
#include "store_text.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

using storetext::key;
using storetext::nn;
using storetext::toInt;

int Store::accountCount()
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM accounts")) || !q.next())
        return -1;
    return q.value(0).toInt();
}

static Account accountFrom(const QSqlQuery &q)
{
    Account a;
    a.id = q.value(0).toLongLong();
    a.name = q.value(1).toString();
    // A row that cannot be read keeps an empty digest, which matches nothing.
    password::fromStored(QByteArray::fromHex(q.value(2).toString().toLatin1()), q.value(3).toString(),
                         q.value(4).toInt(), &a.digest);
    a.access.snp = q.value(5).toInt() != 0;
    a.access.putg = q.value(6).toInt() != 0;
    a.access.putgm = q.value(7).toInt() != 0;
    a.disabled = q.value(8).toInt() != 0;
    return a;
}

// -1: the store could not be read; 0: no such account; 1: found.
int Store::readAccount(const QString &name, Account *out)
{
    // A read is tried once more on a new connection: a restarted database
    // then costs no customer a refused login.
    for (int attempt = 0; attempt < (m_postgres ? 2 : 1); ++attempt) {
        recover();
        QSqlQuery q(QSqlDatabase::database(m_connection));
        q.prepare(QStringLiteral("SELECT id, name, salt, hash, iterations, snp, putg, putgm, disabled FROM accounts WHERE name = ?"));
        q.addBindValue(name);
        if (!exec(q))
            continue;
        if (!q.next())
            return 0;
        *out = accountFrom(q);
        return 1;
    }
    return -1;
}

bool Store::findAccount(const QString &name, Account *out)
{
    return readAccount(name, out) > 0;
}

Store::AccountState Store::accountState(const QString &name, qint64 id, Account *out)
{
    Account a;
    const int read = readAccount(name, &a);
    if (read < 0)
        return AccountState::Unknown;
    if (read == 0 || a.id != id || a.disabled)
        return AccountState::Gone;
    *out = a;
    return AccountState::Active;
}

QList<Account> Store::accounts()
{
    QList<Account> out;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (!q.exec(QStringLiteral("SELECT id, name, salt, hash, iterations, snp, putg, putgm, disabled FROM accounts ORDER BY id")))
        return out;
    while (q.next())
        out << accountFrom(q);
    return out;
}

bool Store::addAccount(const QString &name, const QString &clearPassword, const Access &access, QString *error)
{
    if (name.isEmpty() || name.contains(QLatin1Char(' ')) || name.size() > 100) {
        *error = QStringLiteral("account name must be 1 to 100 characters without spaces");
        return false;
    }
    Account existing;
    if (findAccount(name, &existing)) {
        *error = QStringLiteral("account %1 exists already").arg(name);
        return false;
    }
    const password::Digest d = password::make(clearPassword, m_passwordCost);
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("INSERT INTO accounts (name, salt, hash, iterations, snp, putg, putgm, disabled, created)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, 0, ?)"));
    q.addBindValue(name);
    q.addBindValue(QString::fromLatin1(d.salt.toHex()));
    q.addBindValue(password::storedHash(d));
    q.addBindValue(password::storedRounds(d));
    q.addBindValue(toInt(access.snp));
    q.addBindValue(toInt(access.putg));
    q.addBindValue(toInt(access.putgm));
    q.addBindValue(now());
    if (!exec(q)) {
        *error = m_error;
        return false;
    }
    return true;
}

// Binds the name last and runs an UPDATE meant for exactly that account.
bool Store::updateOneAccount(QSqlQuery &q, const QString &name, QString *error)
{
    q.addBindValue(name);
    if (!exec(q)) {
        *error = m_error;
        return false;
    }
    if (q.numRowsAffected() != 1) {
        *error = QStringLiteral("no account %1").arg(name);
        return false;
    }
    return true;
}

bool Store::setDisabled(const QString &name, bool disabled, QString *error)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("UPDATE accounts SET disabled = ? WHERE name = ?"));
    q.addBindValue(toInt(disabled));
    return updateOneAccount(q, name, error);
}

bool Store::setPassword(const QString &name, const QString &clearPassword, QString *error)
{
    const password::Digest d = password::make(clearPassword, m_passwordCost);
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("UPDATE accounts SET salt = ?, hash = ?, iterations = ? WHERE name = ?"));
    q.addBindValue(QString::fromLatin1(d.salt.toHex()));
    q.addBindValue(password::storedHash(d));
    q.addBindValue(password::storedRounds(d));
    return updateOneAccount(q, name, error);
}

bool Store::upgradeDigest(qint64 accountId, const password::Digest &old, const password::Digest &fresh)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("UPDATE accounts SET salt = ?, hash = ?, iterations = ? WHERE id = ? AND hash = ?"));
    q.addBindValue(QString::fromLatin1(fresh.salt.toHex()));
    q.addBindValue(password::storedHash(fresh));
    q.addBindValue(password::storedRounds(fresh));
    q.addBindValue(accountId);
    q.addBindValue(password::storedHash(old));
    return exec(q) && q.numRowsAffected() == 1;
}

Store::ApplicationResult Store::addApplication(const QVariantMap &f, qint64 *id, QList<MailItem> toSend)
{
    recover();
    const QString predpr = f.value(QStringLiteral("Predpr")).toString();
    const QString fio = f.value(QStringLiteral("FIO")).toString();
    const QString mail = f.value(QStringLiteral("Mail")).toString();
    const QString city = f.value(QStringLiteral("City")).toString();
    const QString dol = f.value(QStringLiteral("Dol")).toString();
    if (predpr.isEmpty() || fio.isEmpty() || mail.isEmpty() || city.isEmpty() || dol.isEmpty()
        || mail.size() > 200 || fio.size() > 500 || predpr.size() > 500)
        return ApplicationResult::Invalid;
    const QString mailKey = key(mail);
    const QString nameKey = key(fio) + QLatin1Char('|') + key(predpr);

    QSqlDatabase db = QSqlDatabase::database(m_connection);
    // An account already called by this address counts as a repeat too.
    Account existing;
    if (findAccount(mail.trimmed(), &existing))
        return ApplicationResult::DuplicateMail;
    {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT mail_key, name_key FROM applications WHERE mail_key = ? OR name_key = ?"));
        q.addBindValue(mailKey);
        q.addBindValue(nameKey);
        if (!exec(q))
            return ApplicationResult::Failed;
        if (q.next())
            return q.value(0).toString() == mailKey ? ApplicationResult::DuplicateMail
                                                    : ApplicationResult::DuplicateName;
    }
    QString error;
    if (!begin(db, &error))
        return ApplicationResult::Failed;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO applications (predpr, fio, mail, city, dol, tel, snp, putg, putgm, flan, zat,"
                             " opros, mail_key, name_key, status, created)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'pending', ?) RETURNING id"));
    q.addBindValue(nn(predpr));
    q.addBindValue(nn(fio));
    q.addBindValue(nn(mail));
    q.addBindValue(nn(city));
    q.addBindValue(nn(dol));
    q.addBindValue(nn(f.value(QStringLiteral("Tel")).toString()));
    for (const char *flag : {"SNP", "PUTG", "PUTGm", "Flan", "Zat", "Opros"})
        q.addBindValue(toInt(f.value(QLatin1String(flag)).toBool()));
    q.addBindValue(mailKey);
    q.addBindValue(nameKey);
    q.addBindValue(now());
    if (!exec(q) || !q.next()) {
        db.rollback();
        // A concurrent twin may have won the unique index meanwhile.
        QSqlQuery again(db);
        again.prepare(QStringLiteral("SELECT mail_key FROM applications WHERE mail_key = ? OR name_key = ?"));
        again.addBindValue(mailKey);
        again.addBindValue(nameKey);
        if (again.exec() && again.next())
            return again.value(0).toString() == mailKey ? ApplicationResult::DuplicateMail
                                                        : ApplicationResult::DuplicateName;
        return ApplicationResult::Failed;
    }
    const qint64 stored = q.value(0).toLongLong();
    q.finish();
    if (!insertMail(db, toSend, 0, 0, stored, &error)) {
        db.rollback();
        qCritical().noquote() << "registration application not stored:" << error;
        return ApplicationResult::Failed;
    }
    if (!commit(db, &error)) {
        qCritical().noquote() << "registration application not stored:" << error;
        return ApplicationResult::Failed;
    }
    if (id)
        *id = stored;
    return ApplicationResult::Stored;
}

QList<Application> Store::applications(bool pendingOnly)
{
    QList<Application> out;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    QString sql = QStringLiteral("SELECT id, predpr, fio, mail, city, dol, tel, snp, putg, putgm, flan, zat, opros,"
                                 " status, account_name, created FROM applications");
    if (pendingOnly)
        sql += QStringLiteral(" WHERE status = 'pending'");
    sql += QStringLiteral(" ORDER BY id");
    if (!q.exec(sql))
        return out;
    while (q.next()) {
        Application a;
        a.id = q.value(0).toLongLong();
        const char *texts[] = {"Predpr", "FIO", "Mail", "City", "Dol", "Tel"};
        for (int i = 0; i < 6; ++i)
            a.fields.insert(QLatin1String(texts[i]), q.value(1 + i).toString());
        const char *flags[] = {"SNP", "PUTG", "PUTGm", "Flan", "Zat", "Opros"};
        for (int i = 0; i < 6; ++i)
            a.fields.insert(QLatin1String(flags[i]), q.value(7 + i).toInt() != 0);
        a.status = q.value(13).toString();
        a.accountName = q.value(14).toString();
        a.created = q.value(15).toString();
        out << a;
    }
    return out;
}

bool Store::findApplication(const QString &appKey, Application *out)
{
    bool isNumber = false;
    const qint64 wantedId = appKey.toLongLong(&isNumber);
    const QList<Application> all = applications(false);
    // A number is the application's id first: an address typed as "8" on
    // another application must not take its place.
    for (const Application &a : all) {
        if (isNumber && a.id == wantedId) {
            *out = a;
            return true;
        }
    }
    for (const Application &a : all) {
        if (key(a.fields.value(QStringLiteral("Mail")).toString()) == key(appKey)) {
            *out = a;
            return true;
        }
    }
    return false;
}

bool Store::approveApplication(const QString &appKey, const QString &login, const QString &clearPassword,
                               const Access *accessOverride, QString *accountName, QString *error)
{
    Application match;
    const Application *found = findApplication(appKey, &match) ? &match : nullptr;
    if (!found) {
        *error = QStringLiteral("no application %1").arg(appKey);
        return false;
    }
    if (found->status != QLatin1String("pending")) {
        *error = QStringLiteral("application %1 is %2 already (account %3)")
                     .arg(found->id).arg(found->status, found->accountName);
        return false;
    }
    const QString name = login.isEmpty() ? found->fields.value(QStringLiteral("Mail")).toString().trimmed() : login;
    Access access;
    access.snp = found->fields.value(QStringLiteral("SNP")).toBool();
    access.putg = found->fields.value(QStringLiteral("PUTG")).toBool();
    access.putgm = found->fields.value(QStringLiteral("PUTGm")).toBool();
    if (accessOverride)
        access = *accessOverride;

    QSqlDatabase db = QSqlDatabase::database(m_connection);
    if (!begin(db, error))
        return false;
    if (!addAccount(name, clearPassword, access, error)) {
        db.rollback();
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("UPDATE applications SET status = 'approved', account_name = ? WHERE id = ? AND status = 'pending'"));
    q.addBindValue(name);
    q.addBindValue(found->id);
    if (!exec(q) || q.numRowsAffected() != 1 || !db.commit()) {
        *error = m_error.isEmpty() ? QStringLiteral("application changed meanwhile") : m_error;
        db.rollback();
        return false;
    }
    *accountName = name;
    return true;
}
