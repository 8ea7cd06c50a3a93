#include "mailsender.h"

#include "crashpoint.h"
#include "documents/orderdocument.h"
#include "letters.h"
#include "smtp.h"
#include "store.h"

#include <QDebug>
#include <QDir>
#include <QSaveFile>
#include <QSysInfo>
#include <QTimer>
#include <QUuid>

#include <cerrno>
#include <csignal>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// A message taken for an attempt is left alone by other senders this long.
constexpr int kLeaseSec = 600;

// Who holds a message: host, process and a token of this run (the pid may be reused).
QString instance()
{
    static const QString token = QUuid::createUuid().toString(QUuid::Id128);
    return token;
}

QString owner()
{
    return QStringLiteral("%1:%2:%3").arg(QSysInfo::machineHostName()).arg(::getpid()).arg(instance());
}

QString iso(const QDateTime &t)
{
    return t.toUTC().toString(Qt::ISODateWithMs);
}

} // namespace

class MailWorker : public QObject
{
public:
    MailWorker(const MailSettings &settings, const mail::SmtpTarget &smtp, std::atomic_bool *abort)
        : m_settings(settings), m_smtp(smtp), m_abort(abort)
    {
    }

    void begin()
    {
        // Documents take the processor the clients' requests leave over:
        // this thread runs at a lower priority than the one serving them.
        setpriority(PRIO_PROCESS, id_t(::syscall(SYS_gettid)), 10);
        QString error;
        if (!m_store.open(m_settings.dbUrl, m_settings.dataDir, &error)) {
            qCritical().noquote() << "mail sender: cannot open the store:" << error;
            return;
        }
        // Messages a crashed server on this machine had taken are due again.
        const int released = m_store.releaseMail([](const QString &owner) {
            const QStringList parts = owner.split(QLatin1Char(':'));
            if (parts.size() != 3 || parts[0] != QSysInfo::machineHostName())
                return false;
            const pid_t pid = pid_t(parts[1].toLongLong());
            return pid != ::getpid() ? ::kill(pid, 0) != 0 && errno == ESRCH : parts[2] != instance();
        });
        if (released > 0)
            qInfo() << "mail sender: took over" << released << "messages of a server that stopped";
        m_timer = new QTimer(this);
        m_timer->setInterval(m_settings.pollMs);
        connect(m_timer, &QTimer::timeout, this, &MailWorker::pass);
        m_timer->start();
        pass();
    }

    void end()
    {
        delete m_timer;
        m_timer = nullptr;
        m_store.close();
    }

    void pass()
    {
        if (!m_timer || m_busy)
            return;
        m_busy = true;
        for (bool more = true; more && !m_abort->load();) {
            const QList<qint64> due = m_store.dueMail(10);
            more = !due.isEmpty();
            for (qint64 id : due) {
                if (m_abort->load())
                    break;
                const QDateTime now = QDateTime::currentDateTimeUtc();
                MailItem item;
                if (!m_store.claimMail(id, iso(now.addSecs(kLeaseSec)), owner()) || !m_store.mailItem(id, &item))
                    continue;
                crashPoint("mail-taken");
                deliver(item);
            }
        }
        m_busy = false;
    }

private:
    void deliver(const MailItem &item)
    {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const MakerInfo maker = MakerInfo::load(m_settings.dataDir);
        const letters::Letter letter = letters::compose(m_store, item, m_settings, maker, now);
        if (letter.state == letters::Letter::Wait) {
            m_store.postponeMail(item.id, iso(letter.waitUntil));
            return;
        }
        if (letter.state == letters::Letter::Broken) {
            qCritical().noquote() << "message" << item.id << "cannot be sent:" << letter.error;
            m_store.mailAttemptFailed(item.id, letter.error, iso(now), true);
            return;
        }
        const QByteArray bytes = mail::compose(letter.message);
        QString error;
        bool permanent = false;
        if (m_settings.smtpUrl.isEmpty()) {
            const QString path = QDir(m_settings.mailDir()).filePath(
                QStringLiteral("%1-%2.eml").arg(item.id, 6, 10, QLatin1Char('0')).arg(item.kind));
            QSaveFile f(path);
            if (!QDir().mkpath(m_settings.mailDir()) || !f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()
                || !f.commit())
                error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
            else
                qInfo().noquote() << "message" << item.id << "to" << item.recipient << "written to" << path;
        } else {
            const mail::SmtpResult r = mail::send(m_smtp, m_settings.from, item.recipient, bytes, m_abort);
            error = r.delivered ? QString() : r.error;
            permanent = r.permanent;
            if (r.delivered)
                qInfo().noquote() << "message" << item.id << "(" << item.kind << ") sent to" << item.recipient;
        }
        if (error.isEmpty()) {
            m_store.mailSent(item.id);
            return;
        }
        if (m_abort->load()) {
            // Cut off by our own shutdown: not the message's fault.
            m_store.postponeMail(item.id, iso(now));
            return;
        }
        const QDateTime queued = QDateTime::fromString(item.queued, Qt::ISODateWithMs);
        const bool expired = queued.isValid() && queued.secsTo(now) >= m_settings.expireSec;
        qint64 delay = m_settings.firstRetrySec;
        for (int i = 0; i < item.attempts && delay < m_settings.maxRetrySec; ++i)
            delay *= 2;
        delay = qMin<qint64>(delay, m_settings.maxRetrySec);
        const bool giveUp = permanent || expired;
        qWarning().noquote() << "message" << item.id << "to" << item.recipient << "not sent:" << error
                             << (giveUp ? QStringLiteral("; given up") : QStringLiteral("; next try in %1 s").arg(delay));
        m_store.mailAttemptFailed(item.id, error, iso(now.addSecs(giveUp ? 0 : delay)), giveUp);
    }

    MailSettings m_settings;
    mail::SmtpTarget m_smtp;
    std::atomic_bool *m_abort;
    Store m_store;
    QTimer *m_timer = nullptr;
    bool m_busy = false;
};

MailSender::MailSender(const MailSettings &settings, QObject *parent) : QObject(parent), m_settings(settings)
{
    m_thread.setObjectName(QStringLiteral("mail"));
}

MailSender::~MailSender()
{
    m_abort = true;
    if (m_worker) {
        QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->end(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
        delete m_worker;
    }
}

bool MailSender::start(QString *error)
{
    mail::SmtpTarget smtp;
    if (!m_settings.smtpUrl.isEmpty()) {
        if (!mail::SmtpTarget::parse(m_settings.smtpUrl, &smtp, error))
            return false;
        smtp.caFile = m_settings.caFile;
    }
    if (!mail::isValidAddress(m_settings.from)) {
        *error = QStringLiteral("the sender address %1 is not usable (--mail-from)").arg(m_settings.from);
        return false;
    }
    if (!mail::isValidAddress(m_settings.desk)) {
        *error = QStringLiteral("the order desk address %1 is not usable (--sales-mail)").arg(m_settings.desk);
        return false;
    }
    m_worker = new MailWorker(m_settings, smtp, &m_abort);
    m_worker->moveToThread(&m_thread);
    m_thread.start();
    QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->begin(); }, Qt::QueuedConnection);
    return true;
}

void MailSender::wake()
{
    if (m_worker)
        QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->pass(); }, Qt::QueuedConnection);
}
