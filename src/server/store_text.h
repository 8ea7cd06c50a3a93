#pragma once
// Small helpers shared by the store's source files.
#include <QString>

namespace storetext {

// The form in which names and addresses are compared.
inline QString key(const QString &s)
{
    return s.simplified().toCaseFolded();
}

// A null text would be bound as SQL NULL; the client means an empty cell.
inline QString nn(const QString &s)
{
    return s.isNull() ? QString(QLatin1String("")) : s;
}

// Flags are stored as 0 and 1 on both dialects.
inline int toInt(bool b)
{
    return b ? 1 : 0;
}

} // namespace storetext
