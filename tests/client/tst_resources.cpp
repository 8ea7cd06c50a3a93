// Every picture path the client can ask for must load from the compiled-in
// resources, and the picture generator must be reproducible.
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

void vintaroInitResources();

namespace {

struct Expect {
    QString path;
    QSize min, max;   // accepted pixel size
};

// ---- SNP: the picture follows the type; types A and B share one.
QStringList snpPaths()
{
    QStringList out;
    for (const char *type : {"A", "B", "C", "D", "E"}) {
        const QString t = QString::fromLatin1(type);
        const QString p = ":/res/pic/SNP_P_" + ((t == "A" || t == "B") ? QStringLiteral("AB") : t) + ".jpg";
        if (!out.contains(p))
            out << p;
    }
    return out;
}

// ---- PUTG: constructions a reinforcement allows, narrowed by shape and facing.
const QStringList kPutgReinf = {"100", "211", "212", "311", "312"};
const QStringList kPutgConst = {"01", "02", "03", "04", "042", "043", "044", "012", "013", "014"};

bool putgEnabled(const QString &reinf, const QString &c, const QString &shape, QChar facing)
{
    const QStringList basic = {"01", "02", "03", "04"};
    const QStringList obtRings = {"042", "043", "044"};
    const QStringList rings = {"012", "013", "014"};
    bool on = false;
    if (reinf == "100" || reinf == "211")
        on = c == "01";
    else if (reinf == "311")
        on = basic.contains(c);
    else if (reinf == "312")
        on = basic.contains(c) || obtRings.contains(c);
    else if (reinf == "212")
        on = basic.contains(c) || obtRings.contains(c) || (rings.contains(c) && shape == "circ");
    if (facing == 'A' && (c == "012" || c == "042"))
        on = false;
    if (facing == 'B' && QStringList({"013", "014", "043", "044"}).contains(c))
        on = false;
    if (facing == 'C' && (obtRings.contains(c) || rings.contains(c)))
        on = false;
    return on;
}

// Round drawings are shown for the round shape; cross-sections on a shape
// switch, which shows the construction still chosen before the rules run, so
// every construction reachable with any shape counts.
QStringList putgPaths(bool half)
{
    QStringList out;
    const QStringList shapes = half ? QStringList{"circ", "rect", "ell"} : QStringList{"circ"};
    for (const QString &r : kPutgReinf)
        for (const QString &c : kPutgConst) {
            bool any = false;
            for (const QString &s : shapes)
                for (QChar f : {'A', 'B', 'C', 'R'})
                    any = any || putgEnabled(r, c, s, f);
            if (any)
                out << (half ? ":/res/pic/half/p-" : ":/res/pic/PUTG/") + r + "-" + c + ".jpg";
        }
    return out;
}

// ---- PUTGm: constructions by base and shape, sealing elements by base and
// construction.
const QStringList kBases = {"09", "099", "095", "097", "098", "08", "091", "09x", "093", "08x", "092"};

bool putgmConstEnabled(const QString &b, const QString &c, const QString &shape)
{
    if (c == "01")
        return true;
    if (c == "02")
        return !QStringList({"097", "098", "099"}).contains(b);
    if (c == "03")
        return QStringList({"095", "08x", "08", "09x"}).contains(b)
            || ((b == "09" || b == "093") && shape != "rect");
    if (c == "04")
        return !QStringList({"091", "097", "098", "099"}).contains(b);
    return false;
}

bool putgmElementEnabled(const QString &b, const QString &c, const QString &e)
{
    if (e == "1")
        return true;
    if (e == "2" || e == "3")
        return !QStringList({"09x", "08x", "08"}).contains(b);
    if (e == "4" || e == "5")
        return QStringList({"09", "091", "092", "093", "095"}).contains(b);
    if (e == "6" || e == "7")
        return b == "099" || (b == "09" && QStringList({"01", "02", "03", "04"}).contains(c));
    if (e == "9")
        return b == "09" && c == "01";
    return false;
}

QStringList putgmPaths(const QString &folder)
{
    QStringList out;
    for (const QString &b : kBases)
        for (const QString &c : QStringList{"01", "02", "03", "04"}) {
            bool any = false;
            for (const QString &s : QStringList{"circ", "rect", "ell"})
                any = any || putgmConstEnabled(b, c, s);
            if (!any)
                continue;
            for (const QString &e : QStringList{"1", "2", "3", "4", "5", "6", "7", "9"})
                if (putgmElementEnabled(b, c, e))
                    out << ":/res/pic/" + folder + "/PM " + b + "-" + c + "-0" + e + ".jpg";
        }
    return out;
}

QVector<Expect> allExpected()
{
    QVector<Expect> v;
    const QSize drawMin(300, 150), drawMax(700, 320);
    v << Expect{":/res/icon.png", {71, 71}, {71, 71}}   // shown unscaled in a 71 x 71 label
      << Expect{":/res/img/settings.png", {16, 16}, {64, 64}}
      << Expect{":/res/logo.png", {120, 40}, {400, 120}};
    // The SNP tab puts its values on fixed spots of a 263 x 224 label, so the
    // drawings have exactly that shape (drawn at twice the size).
    for (const QString &p : snpPaths())
        v << Expect{p, {526, 448}, {526, 448}};
    for (const QString &letter : {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")})
        v << Expect{":/res/pic/" + letter + ".jpg", {200, 120}, drawMax}
          << Expect{QStringLiteral(":/res/pic/ПУТГм-") + letter + ".jpg", {200, 120}, drawMax};
    for (const char *f : {"A", "B", "C"})
        v << Expect{QStringLiteral(":/res/pic/PUTG_") + f + ".jpg", {200, 120}, drawMax};
    // Round PUTG drawings: a 250 x 160 label layout drawn three times as large.
    for (const QString &p : putgPaths(false))
        v << Expect{p, {750, 480}, {750, 480}};
    for (const QString &p : putgPaths(true) + putgmPaths("PUTGm") + putgmPaths("PUTGm half"))
        v << Expect{p, drawMin, drawMax};
    v << Expect{":/res/pic/pr.jpg", {200, 150}, drawMax} << Expect{":/res/pic/ov.jpg", {200, 150}, drawMax};
    for (const char *q : {"1", "2-3", "2-3 ASME", "4-5", "4-5 ASME", "4-5 DIN"})   // fitted into 372 x 291
        v << Expect{QStringLiteral(":/res/") + q + ".jpg", {330, 260}, {372, 291}};
    return v;
}

QByteArray digest(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

QString picgenExe()
{
    return QDir(qEnvironmentVariable("VINTARO_BIN_DIR")).filePath(QStringLiteral("picgen"));
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void derivedCounts();
    void loads_data();
    void loads();
    void drawingsDifferPerConstruction_data();
    void drawingsDifferPerConstruction();
    void noStrayGasketPictures();
    void generatorIsReproducible();
};

void TestResources::initTestCase()
{
    vintaroInitResources();
}

void TestResources::derivedCounts()
{
    // The rules must reach exactly the drawings the product range has.
    QCOMPARE(putgPaths(false).size(), 23);
    QCOMPARE(putgPaths(true).size(), 23);
    QCOMPARE(putgmPaths("PUTGm").size(), 117);
    QCOMPARE(snpPaths().size(), 4);
}

void TestResources::loads_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("min");
    QTest::addColumn<QSize>("max");
    for (const Expect &e : allExpected())
        QTest::newRow(qPrintable(e.path)) << e.path << e.min << e.max;
}

void TestResources::loads()
{
    QFETCH(QString, path);
    QFETCH(QSize, min);
    QFETCH(QSize, max);
    QVERIFY2(QFile::exists(path), "missing from the resources");

    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QByteArray wanted = path.endsWith(".png") ? "png" : "jpeg";
    QCOMPARE(reader.format(), wanted);
    const QImage img = reader.read();
    QVERIFY2(!img.isNull(), qPrintable(reader.errorString()));
    QVERIFY2(img.width() >= min.width() && img.height() >= min.height()
                 && img.width() <= max.width() && img.height() <= max.height(),
             qPrintable(QStringLiteral("size %1 x %2").arg(img.width()).arg(img.height())));

    // Something must be drawn: dark strokes on the drawings, opaque paint on
    // the window pictures; but no drawing may be mostly black.
    qint64 marked = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = img.pixel(x, y);
            marked += img.hasAlphaChannel() ? (qAlpha(px) > 128) : (qGray(px) < 128);
        }
    const double share = double(marked) / (img.width() * img.height());
    if (img.hasAlphaChannel())
        QVERIFY2(share > 0.2, qPrintable(QString::number(share)));
    else
        QVERIFY2(share > 0.01 && share < 0.5, qPrintable(QString::number(share)));
}

void TestResources::drawingsDifferPerConstruction_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("PUTG round") << putgPaths(false);
    QTest::newRow("PUTG section") << putgPaths(true);
    QTest::newRow("PUTGm round") << putgmPaths("PUTGm");
    QTest::newRow("PUTGm section") << putgmPaths("PUTGm half");
    QTest::newRow("SNP") << snpPaths();
    QTest::newRow("SNP facings") << QStringList{":/res/pic/А.jpg", ":/res/pic/Б.jpg", ":/res/pic/В.jpg"};
    QTest::newRow("questionnaire") << QStringList{":/res/1.jpg", ":/res/2-3.jpg", ":/res/2-3 ASME.jpg",
                                                  ":/res/4-5.jpg", ":/res/4-5 ASME.jpg", ":/res/4-5 DIN.jpg"};
}

void TestResources::drawingsDifferPerConstruction()
{
    // A drawing that ignores one construction parameter shows up as two
    // identical files.
    QFETCH(QStringList, paths);
    QHash<QByteArray, QString> seen;
    for (const QString &p : paths) {
        const QByteArray h = digest(p);
        QVERIFY2(!h.isEmpty(), qPrintable(p));
        QVERIFY2(!seen.contains(h), qPrintable(p + " equals " + seen.value(h)));
        seen.insert(h, p);
    }
}

void TestResources::noStrayGasketPictures()
{
    // Gasket drawings under a wrong name would never be shown.
    QSet<QString> expected;
    for (const Expect &e : allExpected())
        expected.insert(e.path);
    QDirIterator it(QStringLiteral(":/res/pic"), QDir::Files, QDirIterator::Subdirectories);
    QStringList stray;
    while (it.hasNext()) {
        const QString p = it.next();
        if (!expected.contains(p))
            stray << p;
    }
    QVERIFY2(stray.isEmpty(), qPrintable(stray.join(", ")));
}

void TestResources::generatorIsReproducible()
{
    const QString exe = picgenExe();
    QVERIFY2(QFile::exists(exe), qPrintable(exe));
    QTemporaryDir a, b;
    QVERIFY(a.isValid() && b.isValid());
    for (const QString &dir : {a.path(), b.path()}) {
        QProcess proc;
        proc.start(exe, {dir});
        QVERIFY(proc.waitForFinished(120000));
        QCOMPARE(proc.exitStatus(), QProcess::NormalExit);
        QCOMPARE(proc.exitCode(), 0);
    }

    QStringList files;
    QDirIterator it(a.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(a.path()).relativeFilePath(it.next());
    QStringList filesB;
    QDirIterator itB(b.path(), QDir::Files, QDirIterator::Subdirectories);
    while (itB.hasNext())
        filesB << QDir(b.path()).relativeFilePath(itB.next());
    files.sort();
    filesB.sort();
    QCOMPARE(files, filesB);
    for (const QString &f : files)
        QVERIFY2(digest(a.filePath(f)) == digest(b.filePath(f)), qPrintable(f + " differs between runs"));

    // The written qrc names exactly the paths the client asks for, each on an
    // existing file.
    QFile qrc(a.filePath(QStringLiteral("vintaro_pictures.qrc")));
    QVERIFY(qrc.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&qrc);
    QSet<QString> aliases;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("file")) {
            const QString alias = ":/" + xml.attributes().value(QLatin1String("alias")).toString();
            const QString file = xml.readElementText();
            QVERIFY2(QFile::exists(a.filePath(file)), qPrintable(file));
            QVERIFY2(!aliases.contains(alias), qPrintable(alias));
            aliases.insert(alias);
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QSet<QString> expected;
    for (const Expect &e : allExpected())
        expected.insert(e.path);
    QCOMPARE(aliases, expected);
}

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
