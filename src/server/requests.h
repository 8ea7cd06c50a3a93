#pragma once
// Reading a client's request body: the command code and the one argument the
// code fixes. Kept apart from the connection so it can be checked, and
// fuzzed, on bytes alone.
#include "wire.h"

namespace requests {

struct Request
{
    quint8 code = 0;
    // The argument was read in full (for upload headers: and nothing follows).
    bool ok = false;
    QString name, clear;  // login
    QVariantMap map;      // registration, questionnaires, lookups
    QStringList list;     // orders
    QString fileName;     // upload headers
    qint64 size = 0;
    QString row;          // drawing of an order row
};

// `body` holds at least the code byte.
Request decode(const QByteArray &body);
// "USER:name PASS:password"; false without a name.
bool parseLogin(const QString &text, QString *name, QString *clear);

} // namespace requests
