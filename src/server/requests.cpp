#include "requests.h"

namespace requests {

bool parseLogin(const QString &text, QString *name, QString *clear)
{
    static const QString user = QStringLiteral("USER:");
    static const QString pass = QStringLiteral(" PASS:");
    if (!text.startsWith(user))
        return false;
    const int at = text.indexOf(pass, user.size());
    if (at < 0)
        return false;
    *name = text.mid(user.size(), at - user.size());
    *clear = text.mid(at + pass.size());
    return !name->isEmpty();
}

Request decode(const QByteArray &body)
{
    Request q;
    if (body.isEmpty())
        return q;
    q.code = quint8(body.at(0));
    wire::Reader r(body.mid(1));
    switch (q.code) {
    case wire::Login: {
        QString text;
        q.ok = r.readString(&text) && parseLogin(text, &q.name, &q.clear);
        break;
    }
    case wire::Registration:
    case wire::QuestionnaireBeforeLogin:
    case wire::QuestionnaireRequest:
    case wire::SnpRequest:
    case wire::SnpD2Request:
    case wire::PutgRequest:
    case wire::PutgmRequest:
        q.ok = r.readMap(&q.map);
        break;
    case wire::TablesRequest:
        q.ok = true; // its text says nothing
        break;
    case wire::UploadFile:
    case wire::UploadRowFile:
        // Without a sound header nobody can know where the raw bytes end.
        q.ok = r.readString(&q.fileName) && r.readI64(&q.size)
               && (q.code == wire::UploadFile || r.readString(&q.row)) && r.atEnd();
        break;
    default:
        if (wire::isOrderCode(q.code))
            q.ok = r.readStringList(&q.list);
        break;
    }
    return q;
}

} // namespace requests
