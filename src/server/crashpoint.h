#pragma once
// Lets the crash tests stop the process hard at a named point
// (VINTARO_CRASH_POINT=name). Unset in normal runs, so this costs one lookup.
#include <QByteArray>
#include <cstdlib>

inline void crashPoint(const char *name)
{
    static const QByteArray wanted = qgetenv("VINTARO_CRASH_POINT");
    if (!wanted.isEmpty() && wanted == name)
        std::abort();
}
