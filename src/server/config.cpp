#include "config.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef VINTARO_SERVER_CONF
#define VINTARO_SERVER_CONF ""
#endif

namespace serverconfig {

namespace {

QString where(const QString &path, int line)
{
    return QStringLiteral("%1:%2: ").arg(path).arg(line);
}

[[noreturn]] void quit(const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(message));
    std::exit(1);
}

} // namespace

bool readFile(const QString &path, QList<Setting> *settings, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, f.errorString());
        return false;
    }
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    settings->clear();
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? QString() : line.left(eq).trimmed();
        if (key.isEmpty()) {
            *error = where(path, i + 1) + QStringLiteral("expected \"option = value\"");
            return false;
        }
        settings->append({key, line.mid(eq + 1).trimmed(), i + 1});
    }
    return true;
}

bool toArguments(QCommandLineParser &parser, const QString &path, const QList<Setting> &settings,
                 QStringList *arguments, QString *error)
{
    // Options that are about the program or this file rather than settings.
    static const QSet<QString> notSettings{QStringLiteral("config"), QStringLiteral("help"), QStringLiteral("help-all"),
                                           QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("version"),
                                           QStringLiteral("v")};
    const QString program = QCoreApplication::applicationName();
    for (const Setting &s : settings) {
        const QString option = QStringLiteral("--") + s.key;
        // The parser itself tells a flag (parses alone) from an option that
        // needs a value and from a name it does not know.
        const bool flag = parser.parse({program, option});
        if (notSettings.contains(s.key) || !parser.unknownOptionNames().isEmpty()) {
            *error = where(path, s.line) + QStringLiteral("unknown option \"%1\"").arg(s.key);
            return false;
        }
        if (!flag) {
            // "mail-from =" means the default, not an empty sender.
            if (!s.value.isEmpty())
                *arguments << option + QLatin1Char('=') + s.value;
            continue;
        }
        const QString v = s.value.toLower();
        if (v == QLatin1String("true") || v == QLatin1String("yes") || v == QLatin1String("on") || v == QLatin1String("1")) {
            *arguments << option;
        } else if (!(v == QLatin1String("false") || v == QLatin1String("no") || v == QLatin1String("off")
                     || v == QLatin1String("0"))) {
            *error = where(path, s.line) + QStringLiteral("\"%1\" takes true or false").arg(s.key);
            return false;
        }
    }
    return true;
}

void process(QCommandLineParser &parser, const QStringList &arguments)
{
    QCoreApplication::setApplicationVersion(QStringLiteral(VINTARO_VERSION));
    const QString builtIn = QStringLiteral(VINTARO_SERVER_CONF);
    const QCommandLineOption config(
        QStringLiteral("config"),
        builtIn.isEmpty() ? QStringLiteral("Read settings (option = value lines) from this file; the command line wins.")
                          : QStringLiteral("Read settings (option = value lines) from this file instead of %1; "
                                           "the command line wins.")
                                .arg(builtIn),
        QStringLiteral("file"));
    parser.addOption(config);
    parser.addVersionOption();
    parser.process(arguments);

    QString path = parser.value(config);
    if (path.isEmpty()) {
        if (builtIn.isEmpty() || !QFileInfo::exists(builtIn))
            return;
        path = builtIn;
    }
    QList<Setting> settings;
    QStringList fromFile;
    QString error;
    if (!readFile(path, &settings, &error) || !toArguments(parser, path, settings, &fromFile, &error))
        quit(error);
    parser.process(arguments.mid(0, 1) + fromFile + arguments.mid(1));
}

bool becomeOwnerOf(const QString &dir, QString *error)
{
    struct stat st = {};
    if (::geteuid() != 0 || ::stat(QFile::encodeName(dir).constData(), &st) != 0 || st.st_uid == 0)
        return true;
    const passwd *pw = ::getpwuid(st.st_uid);
    const gid_t gid = pw ? pw->pw_gid : st.st_gid;
    const bool groupsOk = pw ? ::initgroups(pw->pw_name, gid) == 0 : ::setgroups(0, nullptr) == 0;
    if (!groupsOk || ::setgid(gid) != 0 || ::setuid(st.st_uid) != 0) {
        *error = QStringLiteral("cannot switch to the owner of %1: %2").arg(dir, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

} // namespace serverconfig
