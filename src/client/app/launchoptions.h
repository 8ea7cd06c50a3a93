#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace launch {

struct Options
{
    QString host;
    int port = 0;
    bool tls = true;
    QString caFile; // authorities trusted for this run instead of the built-in ones
    // The overrides given for this run, passed on to a restarted instance so
    // that it comes back to the same server.
    QStringList restartArguments;
};

// Declares the program's options on `parser` and reads `arguments` (the first
// is the program). An unknown option is only warned about.
Options read(QCommandLineParser &parser, const QStringList &arguments);

// True when the command line asks for the version (--version, -version, -v),
// which is printed before the window system starts.
bool wantsVersion(int argc, char **argv);

} // namespace launch
