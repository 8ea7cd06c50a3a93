#pragma once
// What each outbox message says, built from the records it points at when it
// is about to be sent.
#include "mailitem.h"
#include "mailsettings.h"
#include "message.h"

#include <QDateTime>

class Store;
struct MakerInfo;

namespace letters {

struct Letter
{
    enum State { Ready, Wait, Broken } state = Broken;
    mail::Message message;
    QDateTime waitUntil; // Wait: files still on their way
    QString error;       // Broken: why it can never be sent
};

Letter compose(Store &store, const MailItem &item, const MailSettings &settings, const MakerInfo &maker,
               const QDateTime &now);

// Attachment file name and MIME type of a document format.
QString documentName(qint64 orderId, const QString &format);
QString documentType(const QString &format);

} // namespace letters
