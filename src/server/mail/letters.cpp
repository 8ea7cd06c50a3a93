#include "letters.h"

#include "documents/orderdocument.h"
#include "store.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace letters {

namespace {

// How often a message waiting for files looks again.
constexpr int kFilePollMs = 2000;

const char *const kQuestionnaireLabels[][2] = {
    {"name_predpe", "Предприятие"},
    {"fio", "Ф.И.О."},
    {"e-mail", "E-mail"},
    {"city", "Город"},
    {"dolzhn", "Должность"},
    {"tel", "Телефон"},
    {"name_teh", "Техническое устройство"},
    {"oborud", "Оборудование"},
    {"uplotn", "Уплотнение"},
    {"predpr_potr", "Предприятие-потребитель"},
    {"zavod_izg", "Завод-изготовитель"},
    {"razrab", "Разработчик"},
    {"file_name", "Файл"},
};

QDateTime parseTime(const QString &iso)
{
    const QDateTime t = QDateTime::fromString(iso, Qt::ISODateWithMs);
    return t.isValid() ? t : QDateTime::currentDateTimeUtc();
}

QString signature(const MakerInfo &maker)
{
    QString s = QStringLiteral("\n-- \n") + maker.name;
    for (const QString &line : {maker.address, maker.phone, maker.email})
        if (!line.isEmpty())
            s += QLatin1Char('\n') + line;
    return s + QLatin1Char('\n');
}

QString customerOf(Store &store, const QString &account)
{
    QString company, person;
    if (store.applicantOf(account, &company, &person))
        return QStringLiteral("%1, %2").arg(company, person);
    return account;
}

// The store knows where a file's bytes are: the uploads folder, or the
// database when servers share no disk.
mail::Attachment fileAttachment(Store &store, const QString &dataDir, const Upload &u, bool *ok)
{
    mail::Attachment a;
    *ok = store.storedFile(u.storedName, dataDir, &a.data);
    if (*ok) {
        a.name = u.clientName;
        a.type = QMimeDatabase().mimeTypeForFileNameAndData(a.name, a.data).name();
    }
    return a;
}

Letter broken(const QString &why)
{
    Letter l;
    l.state = Letter::Broken;
    l.error = why;
    return l;
}

Letter waitFor(const QDateTime &now, const QDateTime &deadline)
{
    Letter l;
    l.state = Letter::Wait;
    l.waitUntil = qMin(now.addMSecs(kFilePollMs), deadline);
    return l;
}

} // namespace

QString documentName(qint64 orderId, const QString &format)
{
    return QStringLiteral("Заявка №%1.%2").arg(orderId).arg(format);
}

QString documentType(const QString &format)
{
    if (format == QLatin1String("pdf"))
        return QStringLiteral("application/pdf");
    if (format == QLatin1String("xlsx"))
        return QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
    return QStringLiteral("application/vnd.oasis.opendocument.spreadsheet");
}

Letter compose(Store &store, const MailItem &item, const MailSettings &settings, const MakerInfo &maker,
               const QDateTime &now)
{
    Letter l;
    l.state = Letter::Ready;
    mail::Message &m = l.message;
    m.from = settings.from;
    m.fromName = maker.name;
    m.to = item.recipient;
    m.messageId = item.messageId;
    m.date = now;
    const QDateTime fileDeadline = parseTime(item.created).addSecs(settings.fileWaitSec);

    if (item.orderId > 0) {
        Order order;
        if (!store.order(item.orderId, &order))
            return broken(QStringLiteral("order %1 cannot be read").arg(item.orderId));
        const QString customer = customerOf(store, order.account);
        const OrderDocument doc = OrderDocument::fromOrder(order, maker, customer);
        const QString what = order.code == 12 ? QStringLiteral("выставление счёта")
                                              : QStringLiteral("коммерческое предложение");
        if (item.kind == QLatin1String(mailkind::OrderConfirmation)) {
            m.subject = QStringLiteral("Заявка № %1 принята").arg(order.id);
            m.body = QStringLiteral("Здравствуйте!\n\nВаша заявка № %1 от %2 на %3 (позиций: %4) принята. "
                                    "Мы ответим Вам по электронной почте.\n")
                         .arg(order.id).arg(doc.date, what).arg(order.rows.size())
                     + signature(maker);
            return l;
        }
        QString error;
        const QByteArray bytes = documents::build(item.format, doc, &error);
        if (bytes.isEmpty())
            return broken(QStringLiteral("document not built: %1").arg(error));
        m.attachments << mail::Attachment{documentName(order.id, item.format), documentType(item.format), bytes};
        if (item.kind == QLatin1String(mailkind::Document)) {
            m.subject = doc.title();
            m.body = QStringLiteral("Здравствуйте!\n\nВо вложении — Ваша заявка № %1 от %2 (позиций: %3) в формате %4.\n")
                         .arg(order.id).arg(doc.date).arg(order.rows.size()).arg(item.format.toUpper())
                     + signature(maker);
            return l;
        }
        // To the order desk: the order with every drawing that came.
        QStringList missing;
        QList<mail::Attachment> drawings;
        for (const OrderRow &r : order.rows) {
            if (r.drawing.isEmpty())
                continue;
            const Upload *latest = nullptr;
            for (const Upload &u : order.uploads)
                if (u.orderRowId == r.id)
                    latest = &u;
            bool ok = false;
            if (latest)
                drawings << fileAttachment(store, settings.dataDir, *latest, &ok);
            if (!ok)
                missing << QStringLiteral("  строка %1: %2").arg(r.index + 1).arg(mail::headerText(r.drawing, 200));
        }
        if (!missing.isEmpty() && now < fileDeadline)
            return waitFor(now, fileDeadline);
        m.attachments << drawings;
        const QString customerMail = [&] {
            Account a;
            return store.findAccount(order.account, &a) ? store.accountEmail(a.id) : QString();
        }();
        m.replyTo = customerMail;
        m.subject = QStringLiteral("%1 — заявка № %2, %3")
                        .arg(order.code == 12 ? QStringLiteral("Счёт") : QStringLiteral("Коммерческое предложение"))
                        .arg(order.id)
                        .arg(customer);
        m.body = QStringLiteral("Заявка № %1 от %2 на %3.\nЗаказчик: %4\nУчётная запись: %5\nE-mail: %6\n"
                                "Позиций: %7\nЧертежей приложено: %8\n")
                     .arg(order.id).arg(doc.date, what, doc.customer, order.account,
                                        customerMail.isEmpty() ? QStringLiteral("не указан") : customerMail)
                     .arg(order.rows.size()).arg(drawings.size());
        if (!missing.isEmpty())
            m.body += QStringLiteral("\nНе получены чертежи:\n") + missing.join(QLatin1Char('\n')) + QLatin1Char('\n');
        return l;
    }

    if (item.questionnaireId > 0) {
        const QVariantMap f = store.questionnaire(item.questionnaireId);
        if (f.isEmpty())
            return broken(QStringLiteral("questionnaire %1 cannot be read").arg(item.questionnaireId));
        const QString fileName = f.value(QStringLiteral("file_name")).toString();
        const QList<Upload> files = store.uploadsOfQuestionnaire(item.questionnaireId);
        if (!fileName.isEmpty() && files.isEmpty() && now < fileDeadline)
            return waitFor(now, fileDeadline);
        m.replyTo = f.value(QStringLiteral("e-mail")).toString().trimmed();
        m.subject = QStringLiteral("Опросный лист № %1, %2")
                        .arg(item.questionnaireId)
                        .arg(f.value(QStringLiteral("name_predpe")).toString());
        QString body = QStringLiteral("Опросный лист № %1\n\n").arg(item.questionnaireId);
        QVariantMap rest = f;
        for (const auto &label : kQuestionnaireLabels) {
            const QString key = QLatin1String(label[0]);
            body += QStringLiteral("%1: %2\n").arg(QString::fromUtf8(label[1]), OrderDocument::clean(rest.take(key).toString()));
        }
        body += QLatin1Char('\n');
        for (auto it = rest.cbegin(); it != rest.cend(); ++it)
            body += QStringLiteral("%1 = %2\n").arg(it.key(), OrderDocument::clean(it.value().toString()));
        for (const Upload &u : files) {
            bool ok = false;
            const mail::Attachment a = fileAttachment(store, settings.dataDir, u, &ok);
            if (ok)
                m.attachments << a;
        }
        if (!fileName.isEmpty() && m.attachments.isEmpty())
            body += QStringLiteral("\nФайл %1 не получен.\n").arg(mail::headerText(fileName, 200));
        m.body = body;
        return l;
    }

    if (item.applicationId > 0) {
        Application app;
        if (!store.findApplication(QString::number(item.applicationId), &app) || app.id != item.applicationId)
            return broken(QStringLiteral("application %1 cannot be read").arg(item.applicationId));
        const auto field = [&app](const char *key) {
            return OrderDocument::clean(app.fields.value(QLatin1String(key)).toString());
        };
        QStringList families;
        for (const char *k : {"SNP", "PUTG", "PUTGm", "Opros"})
            if (app.fields.value(QLatin1String(k)).toBool())
                families << QLatin1String(k);
        m.replyTo = app.fields.value(QStringLiteral("Mail")).toString().trimmed();
        m.subject = QStringLiteral("Заявка на регистрацию № %1, %2").arg(app.id).arg(field("Predpr"));
        m.body = QStringLiteral("Заявка на регистрацию № %1\n\nПредприятие: %2\nФ. И. О.: %3\nДолжность: %4\n"
                                "Город: %5\nE-mail: %6\nТелефон: %7\nДоступ: %8\n\n"
                                "Одобрить: vintaro-server --approve %1\n")
                     .arg(app.id)
                     .arg(field("Predpr"), field("FIO"), field("Dol"), field("City"), field("Mail"), field("Tel"),
                          families.join(QStringLiteral(", ")));
        return l;
    }
    return broken(QStringLiteral("message %1 belongs to nothing").arg(item.id));
}

} // namespace letters
