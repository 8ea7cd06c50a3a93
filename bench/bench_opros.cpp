// What the questionnaire costs to open, and the share of it spent on the
// flange tables, which are parsed every time the dialog is built.
#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include "flangetables.h"
#include "questionnaire/opros.h"

#include "benchutil.h"

void vintaroInitResources();

namespace {
using bench::median;

QVector<double> timeDialogs(int runs)
{
    QVector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        {
            Opros dialog;
            dialog.show();
            QApplication::processEvents();
            ms << t.nsecsElapsed() / 1e6;
        }
        QApplication::processEvents();
    }
    return ms;
}
} // namespace

int main(int argc, char **argv)
{
    bench::defaultToOffscreen();
    QApplication app(argc, argv);
    vintaroInitResources();
    QTextStream out(stdout);
    const int runs = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 41;

    QVector<double> tables;
    for (int i = 0; i < runs * 5; ++i) {
        QElapsedTimer t;
        t.start();
        const auto maps = flanges::buildFlangeTables(flanges::readTableData(flanges::resourceDir()));
        tables << t.nsecsElapsed() / 1e6;
        if (maps.size() != 14)
            return 1;
    }
    timeDialogs(3); // warm caches (fonts, pictures)
    Opros::buildTables = true;
    const QVector<double> with = timeDialogs(runs);
    Opros::buildTables = false;
    const QVector<double> without = timeDialogs(runs);

    const double mt = median(tables), mw = median(with), mo = median(without);
    out << "runs per figure:                      " << runs << "\n";
    out << "build all 14 flange maps:             " << QString::number(mt, 'f', 2) << " ms (median)\n";
    out << "construct+show Opros with tables:     " << QString::number(mw, 'f', 2) << " ms (median)\n";
    out << "construct+show Opros without tables:  " << QString::number(mo, 'f', 2) << " ms (median)\n";
    out << "tables / dialog without tables:       " << QString::number(mo > 0 ? mt / mo : 0, 'f', 3) << "\n";
    return 0;
}
