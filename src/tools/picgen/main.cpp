// picgen OUTDIR: draws every picture of the client into OUTDIR/img and writes
// OUTDIR/vintaro_pictures.qrc, which maps the resource paths the client loads
// onto those files. Output is byte-identical from run to run.
#include "catalogue.h"
#include "draw.h"
#include "pages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>
#include <cstdio>

namespace {

// Disk names stay ASCII without blanks so the build never depends on the
// file-name encoding of the locale; the qrc alias carries the real path.
QString diskName(const QString &resourcePath)
{
    QString out;
    for (const QChar c : resourcePath) {
        const ushort u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' || u == '_'
            || u == '.')
            out += c;
        else if (u == '/' || u == ' ')
            out += '_';
        else
            out += QStringLiteral("u%1").arg(u, 4, 16, QChar('0'));
    }
    return out;
}

QString xmlEscaped(const QString &s)
{
    QString out = s.toHtmlEscaped();   // & < > "
    out.replace('\'', QStringLiteral("&apos;"));
    return out;
}

// The desktop menu's icon at the hicolor theme's usual sizes:
// OUTDIR/hicolor/NxN/apps/vintaro.png.
int writeIcons(const QString &dir)
{
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString sub = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        const QString file = dir + QLatin1Char('/') + sub + QStringLiteral("/vintaro.png");
        if (!QDir(dir).mkpath(sub) || !picgen::savePng(picgen::appIcon(size), file)) {
            std::fprintf(stderr, "picgen: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Runs during the build, where no display exists.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--icons"))
        return writeIcons(args.at(2));
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: picgen OUTDIR | picgen --icons OUTDIR\n");
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    const QDir out(args.at(1));
    if (!out.mkpath(QStringLiteral("img"))) {
        std::fprintf(stderr, "picgen: cannot create %s\n", qPrintable(out.filePath("img")));
        return 1;
    }

    const auto pictures = picgen::catalogue();
    QString qrc;
    QTextStream xml(&qrc);
    xml << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    QSet<QString> seen;
    for (const picgen::Picture &pic : pictures) {
        const QString name = diskName(pic.path);
        if (seen.contains(name)) {
            std::fprintf(stderr, "picgen: duplicate picture %s\n", qPrintable(pic.path));
            return 1;
        }
        seen.insert(name);
        const QString file = out.filePath("img/" + name);
        const QImage img = pic.draw();
        const bool ok = pic.path.endsWith(QLatin1String(".png")) ? picgen::savePng(img, file)
                                                                   : picgen::saveJpeg(img, file);
        if (!ok) {
            std::fprintf(stderr, "picgen: cannot write %s\n", qPrintable(file));
            return 1;
        }
        xml << "  <file alias=\"" << xmlEscaped(pic.path) << "\">img/" << name << "</file>\n";
    }
    xml << "</qresource>\n</RCC>\n";
    xml.flush();

    // Written last: its time stamp tells the build that all pictures are there.
    QSaveFile f(out.filePath(QStringLiteral("vintaro_pictures.qrc")));
    if (!f.open(QIODevice::WriteOnly) || f.write(qrc.toUtf8()) < 0 || !f.commit()) {
        std::fprintf(stderr, "picgen: cannot write the qrc file\n");
        return 1;
    }
    std::printf("picgen: %d pictures in %lld ms\n", int(pictures.size()),
                static_cast<long long>(timer.elapsed()));
    return 0;
}
