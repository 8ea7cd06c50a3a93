#pragma once
// A mail message and its MIME form. The same bytes go over SMTP or into an
// .eml file. Header texts are encoded by GMime; addresses are checked here
// before they get anywhere near a header.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace mail {

struct Attachment
{
    QString name; // shown to the reader; any characters
    QString type; // MIME type
    QByteArray data;
};

struct Message
{
    QString from;
    QString fromName;
    QString to;
    QString replyTo; // optional
    QString subject;
    QString body;
    QString messageId; // without angle brackets
    QDateTime date;
    QList<Attachment> attachments;
};

// One plain address (local@domain), nothing a header could be split with.
bool isValidAddress(const QString &address);
// Customer text fit for a header line: controls and bidi overrides become
// blanks, blanks are folded, and the text is cut at max characters.
QString headerText(const QString &text, int max = 150);
// <random>@<domain of from>
QString newMessageId(const QString &from);
QByteArray compose(const Message &m);

} // namespace mail
