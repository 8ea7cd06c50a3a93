#pragma once
// Delivers the outbox in the background. A worker thread with a store
// connection of its own takes due messages one at a time, builds what they
// carry (documents included) and sends them over SMTP, or writes them as
// .eml files when no SMTP server is configured. Failed attempts come back
// with growing delays until the message is older than the allowed time.
#include "mailsettings.h"

#include <QObject>
#include <QThread>

#include <atomic>

class MailWorker;

class MailSender : public QObject
{
    Q_OBJECT
public:
    explicit MailSender(const MailSettings &settings, QObject *parent = nullptr);
    ~MailSender() override;

    // Checks the settings and starts the worker; false with the reason.
    bool start(QString *error);
    // Something was queued: look at the outbox now rather than at the next poll.
    void wake();

private:
    MailSettings m_settings;
    QThread m_thread;
    MailWorker *m_worker = nullptr;
    std::atomic_bool m_abort{false};
};
