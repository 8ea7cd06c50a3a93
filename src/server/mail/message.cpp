// glib's headers come before Qt's: Qt's keyword macros would break them.
#include <gmime/gmime.h>

#include "message.h"

#include <QRegularExpression>
#include <QUuid>

#include <mutex>

namespace mail {

bool isValidAddress(const QString &address)
{
    static const QRegularExpression re(QStringLiteral(
        "^[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+(\\.[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+)*"
        "@[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?(\\.[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?)*$"));
    return address.size() <= 254 && address.indexOf(QLatin1Char('@')) <= 64 && re.match(address).hasMatch();
}

QString headerText(const QString &text, int max)
{
    QString out;
    out.reserve(qMin(text.size(), max * 2));
    for (const QChar c : text) {
        const ushort u = c.unicode();
        const bool bidi = (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069) || u == 0x200e
                          || u == 0x200f || u == 0x061c;
        if (u < 0x20 || (u >= 0x7f && u < 0xa0) || u == 0x2028 || u == 0x2029 || bidi)
            out += QLatin1Char(' ');
        else
            out += c;
        if (out.size() > 4 * max)
            break;
    }
    out = out.simplified();
    if (out.size() > max) {
        out.truncate(max);
        if (out.at(max - 1).isHighSurrogate())
            out.chop(1);
        out += QChar(0x2026);
    }
    return out;
}

QString newMessageId(const QString &from)
{
    QString domain = from.mid(from.lastIndexOf(QLatin1Char('@')) + 1);
    if (!isValidAddress(from))
        domain = QStringLiteral("vintaro.localdomain");
    return QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char('@') + domain;
}

QByteArray compose(const Message &m)
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });

    GMimeMessage *msg = g_mime_message_new(TRUE);
    const QByteArray fromName = headerText(m.fromName).toUtf8();
    g_mime_message_add_mailbox(msg, GMIME_ADDRESS_TYPE_FROM, fromName.constData(), m.from.toUtf8().constData());
    g_mime_message_add_mailbox(msg, GMIME_ADDRESS_TYPE_TO, nullptr, m.to.toUtf8().constData());
    if (!m.replyTo.isEmpty() && isValidAddress(m.replyTo))
        g_mime_message_add_mailbox(msg, GMIME_ADDRESS_TYPE_REPLY_TO, nullptr, m.replyTo.toUtf8().constData());
    g_mime_message_set_subject(msg, headerText(m.subject, 200).toUtf8().constData(), "utf-8");
    g_mime_message_set_message_id(msg, m.messageId.toUtf8().constData());
    GDateTime *date = g_date_time_new_from_unix_utc((m.date.isValid() ? m.date : QDateTime::currentDateTimeUtc()).toSecsSinceEpoch());
    g_mime_message_set_date(msg, date);
    g_date_time_unref(date);

    GMimeTextPart *text = g_mime_text_part_new_with_subtype("plain");
    g_mime_text_part_set_text(text, m.body.toUtf8().constData());
    g_mime_text_part_set_charset(text, "utf-8");
    g_mime_part_set_content_encoding(GMIME_PART(text), GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE);
    GMimeObject *root = GMIME_OBJECT(text);
    if (!m.attachments.isEmpty()) {
        GMimeMultipart *mixed = g_mime_multipart_new_with_subtype("mixed");
        g_mime_multipart_add(mixed, root);
        g_object_unref(root);
        for (const Attachment &a : m.attachments) {
            const QStringList type = a.type.split(QLatin1Char('/'));
            const bool typed = type.size() == 2;
            GMimePart *part = g_mime_part_new_with_type(typed ? type[0].toLatin1().constData() : "application",
                                                        typed ? type[1].toLatin1().constData() : "octet-stream");
            g_mime_part_set_filename(part, headerText(a.name, 200).toUtf8().constData());
            GMimeStream *stream = g_mime_stream_mem_new_with_buffer(a.data.constData(), size_t(a.data.size()));
            GMimeDataWrapper *wrapper = g_mime_data_wrapper_new_with_stream(stream, GMIME_CONTENT_ENCODING_DEFAULT);
            g_mime_part_set_content(part, wrapper);
            g_object_unref(wrapper);
            g_object_unref(stream);
            g_mime_part_set_content_encoding(part, GMIME_CONTENT_ENCODING_BASE64);
            g_mime_multipart_add(mixed, GMIME_OBJECT(part));
            g_object_unref(part);
        }
        root = GMIME_OBJECT(mixed);
    }
    g_mime_message_set_mime_part(msg, root);
    g_object_unref(root);

    // SMTP wants CRLF line ends; .eml readers take them as well.
    GMimeFormatOptions *options = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(options, GMIME_NEWLINE_FORMAT_DOS);
    GMimeStream *out = g_mime_stream_mem_new();
    g_mime_object_write_to_stream(GMIME_OBJECT(msg), options, out);
    GByteArray *bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out));
    QByteArray result(reinterpret_cast<const char *>(bytes->data), int(bytes->len));
    g_object_unref(out);
    g_mime_format_options_free(options);
    g_object_unref(msg);
    return result;
}

} // namespace mail
