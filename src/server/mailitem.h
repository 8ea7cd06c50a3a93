#pragma once
// One message in the outbox. What it says is built when it is sent, from the
// records it points at; what is fixed when it is queued is whom it goes to
// and its Message-ID, so a message sent again after a crash is the same one.
#include <QString>

namespace mailkind {
// The order as a PDF, .xlsx or .ods document, to the customer.
inline const char *const Document = "document";
// An invoice or offer request with its drawings, to the order desk.
inline const char *const OrderDesk = "order-desk";
// The customer's note that the invoice or offer request arrived.
inline const char *const OrderConfirmation = "order-confirmation";
inline const char *const Questionnaire = "questionnaire";
inline const char *const Application = "application";
} // namespace mailkind

struct MailItem
{
    qint64 id = 0;
    QString kind;
    QString messageId; // without the angle brackets
    QString recipient;
    QString format; // pdf, xlsx or ods for documents
    qint64 orderId = 0;
    qint64 questionnaireId = 0;
    qint64 applicationId = 0;
    QString status; // queued, sent or failed
    int attempts = 0;
    QString lastError;
    QString nextAttempt; // UTC ISO times, comparable as text
    QString queued;      // start of the time it may take before it fails
    QString created;
    QString sent;
};
