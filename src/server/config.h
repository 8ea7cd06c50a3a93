#pragma once
// The server's configuration file: `key = value` lines, one per command-line
// option (`quiet = true` for a flag). The settings go through the same parser
// as the command line, so every option can be set there, and the command line
// wins because it comes after them.
#include <QList>
#include <QString>
#include <QStringList>

class QCommandLineParser;
class QCoreApplication;

namespace serverconfig {

struct Setting
{
    QString key;
    QString value;
    int line = 0;
};

// Reads the settings of one file. Blank lines and lines starting with '#' are
// skipped. Fails with "FILE:LINE: what is wrong" (or why it cannot be read).
bool readFile(const QString &path, QList<Setting> *settings, QString *error);

// Turns settings into arguments `parser` understands: "--key=value" for an
// option with a value, nothing for an empty value (the option's default),
// "--key" for a flag set to true, nothing for false.
// A key that is no option, or a flag with another value, fails with
// "FILE:LINE: what is wrong".
bool toArguments(QCommandLineParser &parser, const QString &path, const QList<Setting> &settings,
                 QStringList *arguments, QString *error);

// Adds --config and --version to `parser`, then processes `arguments` (the
// first is the program) with the settings of the configuration file in front.
// The file is the one --config names, else the build's default when it exists.
// Like QCommandLineParser::process, prints and exits on any error.
void process(QCommandLineParser &parser, const QStringList &arguments);

// Root working on a data directory that belongs to another user (the
// service's) continues as that user, so nothing in it ends up owned by root
// and out of the service's reach. Does nothing for other users, or when the
// directory does not exist or belongs to root.
bool becomeOwnerOf(const QString &dir, QString *error);

} // namespace serverconfig
