// What one status dialog costs: every lookup of a configurator tab opens one
// ("Отправка данных..."), and the user closes it once the answer is in.
#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include "app/message.h"
#include "benchutil.h"

void vintaroInitResources();

using bench::median;

int main(int argc, char **argv)
{
    bench::defaultToOffscreen();
    QApplication app(argc, argv);
    vintaroInitResources();
    QTextStream out(stdout);
    const int runs = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 501;

    QVector<double> build, shown, whole;
    for (int i = 0; i < runs + 5; ++i) {
        QElapsedTimer t;
        t.start();
        auto *m = new Message;
        const double built = t.nsecsElapsed() / 1e6;
        m->setCloseEnabled(false);
        m->setMessageText(QStringLiteral("Отправка данных..."));
        m->show();
        QApplication::processEvents();
        const double visible = t.nsecsElapsed() / 1e6;
        m->setMessageText(QStringLiteral("Данные получены."));
        m->setCloseEnabled(true);
        m->close();
        delete m;
        QApplication::processEvents();
        if (i < 5)
            continue; // fonts and the icon are loaded by the first dialogs
        build << built;
        shown << visible;
        whole << t.nsecsElapsed() / 1e6;
    }
    out << "status dialogs:                 " << runs << "\n";
    out << "construct:                      " << QString::number(median(build), 'f', 3) << " ms (median)\n";
    out << "construct + show:               " << QString::number(median(shown), 'f', 3) << " ms (median)\n";
    out << "construct + show + close + free: " << QString::number(median(whole), 'f', 3) << " ms (median)\n";
    return 0;
}
