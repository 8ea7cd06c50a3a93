#pragma once
// How the server sends its mail; filled from the command line.
#include <QDir>
#include <QString>

struct MailSettings
{
    QString dataDir;
    QString dbUrl;
    // smtp[s]://[user:password@]host[:port]; empty: messages are written as
    // .eml files into mailDir() instead of being sent.
    QString smtpUrl;
    QString caFile; // extra certificate authority for the SMTP server
    QString from;   // empty: the maker's address from maker.txt
    QString desk;   // the order desk; empty: the maker's address
    int firstRetrySec = 60;
    int maxRetrySec = 3600;
    qint64 expireSec = 2 * 24 * 3600;
    // How long an invoice or offer request, or a questionnaire, waits for its files.
    int fileWaitSec = 600;
    int pollMs = 1000;

    QString mailDir() const { return QDir(dataDir).filePath(QStringLiteral("mail")); }
};
