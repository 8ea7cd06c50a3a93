#pragma once
// Which messages each request leaves in the outbox. Decided when the request
// is stored, in the same transaction; written out later by the sender.
#include "mailitem.h"
#include "mailsettings.h"

#include <QList>

namespace mailplan {

// Codes 22-24: the document to the customer. 12 and 21: the order to the
// desk and a note to the customer (when the account has an address). False,
// with the reason, when a document is asked for by an account without one.
bool forOrder(int code, const QString &customerEmail, const MailSettings &settings, QList<MailItem> *out,
              QString *why);
QList<MailItem> forQuestionnaire(const MailSettings &settings);
QList<MailItem> forApplication(const MailSettings &settings);

} // namespace mailplan
