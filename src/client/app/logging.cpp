#include "app/logging.h"
#include <QString>

namespace logging {
void install()
{
    qSetMessagePattern(QStringLiteral(
        "%{time hh:mm:ss.zzz} %{type} %{file}:%{line} %{function}: %{message}"));
}
}
