#include "smtp.h"

#include <QUrl>

#include <curl/curl.h>

#include <cstring>
#include <mutex>

namespace mail {

namespace {

struct Upload
{
    const QByteArray *data;
    qint64 at = 0;
};

size_t readMessage(char *buffer, size_t size, size_t count, void *user)
{
    auto *u = static_cast<Upload *>(user);
    const qint64 n = qMin<qint64>(qint64(size * count), u->data->size() - u->at);
    std::memcpy(buffer, u->data->constData() + u->at, size_t(n));
    u->at += n;
    return size_t(n);
}

int progress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto *abort = static_cast<const std::atomic_bool *>(user);
    return abort && abort->load() ? 1 : 0;
}

} // namespace

bool SmtpTarget::parse(const QString &text, SmtpTarget *out, QString *error)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("smtp") && scheme != QLatin1String("smtps")) || url.host().isEmpty()
        || (!url.path().isEmpty() && url.path() != QLatin1String("/"))) {
        *error = QStringLiteral("--smtp takes smtp[s]://[user:password@]host[:port]");
        return false;
    }
    SmtpTarget t;
    t.implicitTls = scheme == QLatin1String("smtps");
    const int port = url.port(t.implicitTls ? 465 : 25);
    QString host = url.host(QUrl::FullyEncoded);
    if (host.contains(QLatin1Char(':')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    t.url = QStringLiteral("%1://%2:%3").arg(scheme, host).arg(port);
    t.user = url.userName(QUrl::FullyDecoded);
    t.password = url.password(QUrl::FullyDecoded);
    *out = t;
    return true;
}

SmtpResult send(const SmtpTarget &target, const QString &from, const QString &to, const QByteArray &message,
                const std::atomic_bool *abort)
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    SmtpResult result;
    CURL *curl = curl_easy_init();
    if (!curl) {
        result.error = QStringLiteral("cannot start libcurl");
        return result;
    }
    char errors[CURL_ERROR_SIZE] = {};
    const QByteArray url = target.url.toUtf8();
    const QByteArray user = target.user.toUtf8();
    const QByteArray password = target.password.toUtf8();
    const QByteArray ca = target.caFile.toLocal8Bit();
    const QByteArray mailFrom = '<' + from.toUtf8() + '>';
    const QByteArray rcpt = '<' + to.toUtf8() + '>';
    curl_slist *recipients = curl_slist_append(nullptr, rcpt.constData());
    Upload upload{&message};

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errors);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 20L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 180L);
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(target.implicitTls ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    if (!ca.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, ca.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, mailFrom.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(message.size()));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic_bool *>(abort));

    const CURLcode code = curl_easy_perform(curl);
    long reply = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply);
    if (code == CURLE_OK) {
        result.delivered = true;
    } else {
        result.error = QString::fromUtf8(errors[0] ? errors : curl_easy_strerror(code));
        if (reply > 0)
            result.error += QStringLiteral(" (server reply %1)").arg(reply);
        // The mailbox or the message was refused for good; anything else
        // (down, busy, timed out, rejected our login) may pass later.
        result.permanent = reply >= 550 && reply <= 554;
    }
    curl_slist_free_all(recipients);
    curl_easy_cleanup(curl);
    return result;
}

} // namespace mail
