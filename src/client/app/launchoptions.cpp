#include "app/launchoptions.h"

#include <QDebug>

namespace launch {

Options read(QCommandLineParser &parser, const QStringList &arguments)
{
    parser.setApplicationDescription(QStringLiteral("Vintaro gasket configurator"));
    // "-host x" is meant as "--host x", not as the letters h, o, s, t.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption hostOpt(QStringLiteral("host"), QStringLiteral("Order server address."),
                                     QStringLiteral("address"), QStringLiteral(VINTARO_DEFAULT_HOST));
    const QCommandLineOption portOpt(QStringLiteral("port"), QStringLiteral("Order server port."),
                                     QStringLiteral("port"), QString::number(VINTARO_DEFAULT_PORT));
    parser.addOption(hostOpt);
    parser.addOption(portOpt);
    // The login window opens with the defaults all the same.
    if (!parser.parse(arguments))
        qWarning().noquote() << parser.errorText();

    Options o;
    o.host = parser.value(hostOpt);
    bool portOk = false;
    o.port = parser.value(portOpt).toInt(&portOk);
    if (!portOk || o.port <= 0 || o.port > 65535) {
        o.port = VINTARO_DEFAULT_PORT;
        portOk = false;
    }
    if (parser.isSet(hostOpt))
        o.restartArguments << QStringLiteral("--host") << o.host;
    if (parser.isSet(portOpt) && portOk)
        o.restartArguments << QStringLiteral("--port") << QString::number(o.port);
    return o;
}

bool wantsVersion(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--")
            break;
        if (a == "--version" || a == "-version" || a == "-v")
            return true;
        // The value of --host or --port is not an option.
        if (a == "--host" || a == "-host" || a == "--port" || a == "-port")
            ++i;
    }
    return false;
}

} // namespace launch
