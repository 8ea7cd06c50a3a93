#include "mailplan.h"

#include "message.h"

namespace mailplan {

namespace {

MailItem item(const char *kind, const QString &to, const MailSettings &settings, const QString &format = QString())
{
    MailItem m;
    m.kind = QLatin1String(kind);
    m.recipient = to;
    m.format = format;
    m.messageId = mail::newMessageId(settings.from);
    return m;
}

} // namespace

bool forOrder(int code, const QString &customerEmail, const MailSettings &settings, QList<MailItem> *out,
              QString *why)
{
    const bool hasAddress = mail::isValidAddress(customerEmail);
    QString format;
    switch (code) {
    case 22:
        format = QStringLiteral("pdf");
        break;
    case 23:
        format = QStringLiteral("xlsx");
        break;
    case 24:
        format = QStringLiteral("ods");
        break;
    default:
        break;
    }
    if (!format.isEmpty()) {
        if (!hasAddress) {
            *why = customerEmail.isEmpty() ? QStringLiteral("the account has no e-mail address to send the document to")
                                           : QStringLiteral("the account's e-mail address is not usable");
            return false;
        }
        *out << item(mailkind::Document, customerEmail, settings, format);
        return true;
    }
    *out << item(mailkind::OrderDesk, settings.desk, settings, QStringLiteral("xlsx"));
    if (hasAddress)
        *out << item(mailkind::OrderConfirmation, customerEmail, settings);
    return true;
}

QList<MailItem> forQuestionnaire(const MailSettings &settings)
{
    return {item(mailkind::Questionnaire, settings.desk, settings)};
}

QList<MailItem> forApplication(const MailSettings &settings)
{
    return {item(mailkind::Application, settings.desk, settings)};
}

} // namespace mailplan
