// Time to turn the 14 compiled-in flange tables into their maps, as the
// questionnaire does each time it is built; and of one lookup.
#include "flangetables.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>

#include "benchutil.h"

void vintaroInitResources();

using namespace flanges;

namespace {

using bench::median;

// Median and minimum: the machine is shared, the minimum shows the cost
// without interference.
QString figures(const QVector<double> &v)
{
    return QStringLiteral("median %1 ms, min %2 ms")
        .arg(median(v), 0, 'f', 3)
        .arg(*std::min_element(v.begin(), v.end()), 0, 'f', 3);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    vintaroInitResources();
    QTextStream out(stdout);

    const int runs = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 301;

    bool ok = false;
    QList<QByteArray> texts = readTableData(resourceDir(), &ok);
    if (!ok) {
        out << "flange tables missing from the resources\n";
        return 1;
    }
    int rows = 0;
    for (const QByteArray &t : texts)
        rows += t.count('\n') + 1;

    QVector<double> readMs, parseMs, totalMs;
    qsizetype keep = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        texts = readTableData(resourceDir());
        const qint64 read = t.nsecsElapsed();
        const QVector<FlangeTable> maps = buildFlangeTables(texts);
        const qint64 all = t.nsecsElapsed();
        keep += maps.at(0).size();
        readMs << read / 1e6;
        parseMs << (all - read) / 1e6;
        totalMs << all / 1e6;
    }

    const QVector<FlangeTable> maps = buildFlangeTables(texts);
    FlangeLookupInput in;
    in.jointType = MaleFemale;
    in.standard = Gost12815;
    in.size = QStringLiteral("800");
    in.pressure = QStringLiteral("4,0 (40,0)");
    in.button12Checked = true;
    const int lookups = 100000;
    QElapsedTimer t;
    t.start();
    int found = 0;
    for (int i = 0; i < lookups; ++i)
        found += lookupFlange(maps, in).rowFound ? 1 : 0;
    const double lookupUs = t.nsecsElapsed() / 1e3 / lookups;

    out << "flange tables: " << kTableCount << " files, " << rows << " rows, " << runs << " runs\n";
    out << "  read resources   " << figures(readMs) << "\n";
    out << "  build 14 maps    " << figures(parseMs) << "\n";
    out << "  read + build     " << figures(totalMs) << "\n";
    out << "  one lookup       " << QString::number(lookupUs, 'f', 3) << " us (" << found << " hits)\n";
    return keep > 0 ? 0 : 1;
}
