#include "app/launchoptions.h"

#include <QDebug>
#include <QFileInfo>

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
    const QCommandLineOption tlsOpt(QStringLiteral("tls"), QStringLiteral("Connect over TLS (this build's default: %1).")
                                    .arg(VINTARO_TLS_DEFAULT ? QStringLiteral("on") : QStringLiteral("off")));
    const QCommandLineOption noTlsOpt(QStringLiteral("no-tls"), QStringLiteral("Connect without TLS, to a server that has none."));
    const QCommandLineOption caOpt(QStringLiteral("ca"), QStringLiteral("Trust only this PEM file's authorities for the server's certificate."),
                                   QStringLiteral("file"));
    parser.addOption(hostOpt);
    parser.addOption(portOpt);
    parser.addOption(tlsOpt);
    parser.addOption(noTlsOpt);
    parser.addOption(caOpt);
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
    o.tls = VINTARO_TLS_DEFAULT;
    if (parser.isSet(tlsOpt) && parser.isSet(noTlsOpt))
        qWarning() << "--tls and --no-tls together: connecting over TLS";
    if (parser.isSet(noTlsOpt) && !parser.isSet(tlsOpt))
        o.tls = false;
    else if (parser.isSet(tlsOpt))
        o.tls = true;
    if (parser.isSet(caOpt))
        o.caFile = QFileInfo(parser.value(caOpt)).absoluteFilePath();
    if (parser.isSet(hostOpt))
        o.restartArguments << QStringLiteral("--host") << o.host;
    if (parser.isSet(portOpt) && portOk)
        o.restartArguments << QStringLiteral("--port") << QString::number(o.port);
    if (parser.isSet(tlsOpt) || parser.isSet(noTlsOpt))
        o.restartArguments << (o.tls ? QStringLiteral("--tls") : QStringLiteral("--no-tls"));
    if (!o.caFile.isEmpty())
        o.restartArguments << QStringLiteral("--ca") << o.caFile;
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
