#pragma once
// Delivery of one composed message over SMTP, by libcurl: STARTTLS whenever
// the server offers it (smtps:// is TLS from the start), authentication when
// the URL carries a user.
#include <QByteArray>
#include <QString>

#include <atomic>

namespace mail {

struct SmtpTarget
{
    QString url; // smtp[s]://host:port, without the credentials
    QString user;
    QString password;
    QString caFile;
    bool implicitTls = false;

    // smtp[s]://[user:password@]host[:port]; false with the reason otherwise.
    static bool parse(const QString &text, SmtpTarget *out, QString *error);
};

struct SmtpResult
{
    bool delivered = false;
    bool permanent = false; // the server refused the message for good (5xx)
    QString error;
};

// Blocks until done; `abort` ends a transfer early (shutdown).
SmtpResult send(const SmtpTarget &target, const QString &from, const QString &to, const QByteArray &message,
                const std::atomic_bool *abort);

} // namespace mail
