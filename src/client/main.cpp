#include <QApplication>
#include <QCommandLineParser>
#include <QDebug>

#include "logging.h"
#include "app/mainwindow.h"
#include "login/startwindow.h"

void vintaroInitResources();

int main(int argc, char *argv[])
{
    vintaroInitResources();
    logging::install();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vintaro"));

    // Host and port can be overridden for one run; nothing is stored.
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Vintaro gasket configurator"));
    const QCommandLineOption helpOpt = parser.addHelpOption();
    QCommandLineOption hostOpt(QStringLiteral("host"), QStringLiteral("Order server address."),
                               QStringLiteral("address"), QStringLiteral(VINTARO_DEFAULT_HOST));
    QCommandLineOption portOpt(QStringLiteral("port"), QStringLiteral("Order server port."),
                               QStringLiteral("port"), QString::number(VINTARO_DEFAULT_PORT));
    parser.addOption(hostOpt);
    parser.addOption(portOpt);
    // An option this build does not know is reported, not fatal: the login
    // window opens with the defaults all the same.
    if (!parser.parse(QCoreApplication::arguments()))
        qWarning().noquote() << parser.errorText();
    if (parser.isSet(helpOpt))
        parser.showHelp();
    bool portOk = false;
    int port = parser.value(portOpt).toInt(&portOk);
    if (!portOk || port <= 0 || port > 65535)
        port = VINTARO_DEFAULT_PORT;

    StartWindow login(parser.value(hostOpt), port);
    if (login.exec() != QDialog::Accepted)
        return 0;

    int code = 0;
    {
        MainWindow w(login.loginSocket(), login.loginUser(), login.loginPassword(),
                     login.loginStatusDialog(), login.loginData(), nullptr);
        w.show();
        code = app.exec();
    }
    return code;
}
