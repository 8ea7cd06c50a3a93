#include <QApplication>
#include <QCommandLineParser>
#include <QProcess>

#include <cstdio>

#include "logging.h"
#include "app/launchoptions.h"
#include "app/mainwindow.h"
#include "app/message.h"
#include "app/translations.h"
#include "login/startwindow.h"
#include "net/tlssocket.h"

void vintaroInitResources();

int main(int argc, char *argv[])
{
    // Answered before any window system is needed.
    if (launch::wantsVersion(argc, argv)) {
        std::printf("vintaro %s\n", VINTARO_VERSION);
        return 0;
    }
    vintaroInitResources();
    logging::install();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vintaro"));
    translations::install(&app);

    // Host and port can be overridden for one run; nothing is stored.
    QCommandLineParser parser;
    const launch::Options options = launch::read(parser, QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp();
    const QStringList again = options.restartArguments;
    Message::restartLauncher = [again] {
        QProcess::startDetached(QCoreApplication::applicationFilePath(), again);
    };

    StartWindow login(options.host, options.port);
    ClientTls tls = ClientTls::fromBuild();
    tls.enabled = options.tls;
    if (!options.caFile.isEmpty())
        tls.useCaFile(options.caFile);
    login.setTls(tls);
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
