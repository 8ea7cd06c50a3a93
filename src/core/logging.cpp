#include "logging.h"

#include <QDateTime>
#include <QFileInfo>
#include <QString>
#include <cstdio>

namespace logging {

namespace {
const char *typeName(QtMsgType t)
{
    switch (t) {
    case QtDebugMsg: return "debug";
    case QtInfoMsg: return "info";
    case QtWarningMsg: return "warning";
    case QtCriticalMsg: return "critical";
    case QtFatalMsg: return "fatal";
    }
    return "?";
}

// The context's function is the full signature (Q_FUNC_INFO); the pattern
// placeholder would strip it, so the line is formatted here.
void handler(QtMsgType type, const QMessageLogContext &ctx, const QString &msg)
{
    const QString file = ctx.file ? QFileInfo(QString::fromUtf8(ctx.file)).completeBaseName() : QStringLiteral("?");
    const QByteArray line = QStringLiteral("%1 %2 %3:%4 %5: %6\n")
                                .arg(QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")),
                                     QLatin1String(typeName(type)), file)
                                .arg(ctx.line)
                                .arg(QString::fromUtf8(ctx.function ? ctx.function : "?"), msg)
                                .toUtf8();
    std::fputs(line.constData(), stderr);
    if (type == QtFatalMsg)
        std::abort();
}
} // namespace

void install()
{
    qInstallMessageHandler(handler);
}

} // namespace logging
