// Documents and mail: the time and peak memory to build the PDF, .xlsx and
// .ods of a 500-row order; then the p99 of dimension lookups from 50
// connected clients against the real server, alone and while 20 document
// requests of 500 rows are built and mailed (written as .eml files, the
// server's mode without --smtp), and the ratio of the two.
//   bench_documents_mail [--server PATH] [--clients N] [--documents N]
#include "documents/orderdocument.h"
#include "store.h"
#include "wire.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRows = 500;
constexpr int kThinkMs = 20; // a customer clicking, not a flood

long peakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

double p99(QVector<double> v)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[qMin(v.size() - 1, int(v.size() * 0.99))];
}

QStringList orderCells(int rows)
{
    QStringList cells;
    for (int i = 0; i < rows; ++i)
        cells << QStringLiteral("СНП-Д-%1").arg(i) << QStringLiteral("1") << QStringLiteral("Ø100") << QString()
              << QStringLiteral("Прокладка %1").arg(i);
    return cells;
}

void buildDocuments()
{
    Order o;
    o.id = 1;
    o.created = QStringLiteral("2026-01-01T00:00:00.000Z");
    const QStringList cells = orderCells(kRows);
    for (int i = 0; i < kRows; ++i)
        o.rows << OrderRow{0, i, cells[i * 5], cells[i * 5 + 1], cells[i * 5 + 2], cells[i * 5 + 3],
                           cells[i * 5 + 4] + QStringLiteral(", спирально-навитая, с внутренним и наружным кольцом")};
    const OrderDocument doc = OrderDocument::fromOrder(o, MakerInfo::defaults(), QStringLiteral("ООО Ромашка"));
    const long before = peakKb();
    double total = 0;
    for (const char *format : {"pdf", "xlsx", "ods"}) {
        QElapsedTimer t;
        t.start();
        QString error;
        const QByteArray bytes = documents::build(QLatin1String(format), doc, &error);
        const double ms = t.nsecsElapsed() / 1e6;
        total += ms;
        std::printf("%d-row order as %-4s: %8.1f ms, %7d bytes%s\n", kRows, format, ms, int(bytes.size()),
                    bytes.isEmpty() ? qPrintable(QStringLiteral(" FAILED: ") + error) : "");
    }
    std::printf("three documents: %.1f ms; peak memory %.1f MB (%.1f MB above the start)\n", total, peakKb() / 1024.0,
                (peakKb() - before) / 1024.0);

    // The worst one frame can carry for the PDF: one designation of 32,000
    // letters without a blank.
    Order big = o;
    big.rows = {OrderRow{0, 0, QString(32000, QChar(0x416)), QStringLiteral("1"), QString(), QString(), QString()}};
    QElapsedTimer t;
    t.start();
    QString error;
    const QByteArray bytes = documents::pdf(OrderDocument::fromOrder(big, MakerInfo::defaults(), QStringLiteral("ООО Ромашка")), &error);
    std::printf("PDF of one 32,000-letter designation: %.1f ms, %d bytes\n", t.nsecsElapsed() / 1e6, int(bytes.size()));
}

struct Phase
{
    int number = 0; // 0 warming up, 1 lookups alone, 2 with documents
    QVector<double> samples[3];
};

class Looker : public QObject
{
public:
    Looker(quint16 port, Phase *phase, int *ready) : m_phase(phase), m_ready(ready)
    {
        connect(&m_socket, &QTcpSocket::connected, this, [this] {
            m_socket.write(wire::requestFrame(wire::Login, wire::loginText(QStringLiteral("demo"), QStringLiteral("demo123"))));
        });
        connect(&m_socket, &QTcpSocket::readyRead, this, &Looker::onRead);
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    }

private:
    void lookup()
    {
        static const QVariantMap request{{QStringLiteral("standard"), QStringLiteral("GOST128")},
                                         {QStringLiteral("size"), QStringLiteral("15")}};
        m_timer.start();
        m_socket.write(wire::requestFrame(wire::SnpRequest, request));
    }

    void onRead()
    {
        QByteArray body;
        while (m_gate.next(&m_socket, &body)) {
            if (!m_loggedIn) {
                m_loggedIn = true;
                ++*m_ready;
            } else {
                m_phase->samples[m_phase->number] << m_timer.nsecsElapsed() / 1e6;
            }
            QTimer::singleShot(kThinkMs, this, &Looker::lookup);
        }
    }

    QTcpSocket m_socket;
    wire::FrameGate m_gate;
    QElapsedTimer m_timer;
    Phase *m_phase;
    int *m_ready;
    bool m_loggedIn = false;
};

void waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    const QCommandLineOption serverOpt(QStringLiteral("server"), QStringLiteral("vintaro-server binary."), QStringLiteral("path"),
                                       QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("vintaro-server")));
    const QCommandLineOption clientsOpt(QStringLiteral("clients"), QStringLiteral("Clients making lookups."), QStringLiteral("n"),
                                        QStringLiteral("50"));
    const QCommandLineOption docsOpt(QStringLiteral("documents"), QStringLiteral("Document requests."), QStringLiteral("n"),
                                     QStringLiteral("20"));
    p.addOptions({serverOpt, clientsOpt, docsOpt});
    p.addHelpOption();
    p.process(app);

    buildDocuments();

    QTemporaryDir dir;
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(p.value(serverOpt), {QStringLiteral("--data-dir"), dir.path(), QStringLiteral("--port"), QStringLiteral("0"),
                                      QStringLiteral("--quiet")});
    quint16 port = 0;
    QString out;
    static const QRegularExpression re(QStringLiteral("listening on [0-9.]+:([0-9]+),"));
    QElapsedTimer startWait;
    startWait.start();
    while (port == 0 && startWait.elapsed() < 30000 && server.state() != QProcess::NotRunning) {
        server.waitForReadyRead(200);
        out += QString::fromUtf8(server.readAllStandardOutput());
        const auto m = re.match(out);
        if (m.hasMatch())
            port = quint16(m.captured(1).toUInt());
    }
    if (port == 0) {
        std::fprintf(stderr, "server did not start\n");
        return 1;
    }

    const int clients = p.value(clientsOpt).toInt();
    const int docs = p.value(docsOpt).toInt();
    Phase phase;
    int ready = 0;
    QList<Looker *> lookers;
    for (int i = 0; i < clients; ++i)
        lookers << new Looker(port, &phase, &ready);
    // The customer who asks for the documents logs in with the others: a
    // login's password check is no part of what is measured. Its requests
    // are encoded beforehand, as its own client would, in its own process.
    QTcpSocket orders;
    orders.connectToHost(QStringLiteral("127.0.0.1"), port);
    orders.waitForConnected(10000);
    orders.write(wire::requestFrame(wire::Login, wire::loginText(QStringLiteral("demo"), QStringLiteral("demo123"))));
    const QStringList cells = orderCells(kRows);
    const QByteArray frames[] = {wire::requestFrame(wire::OrderPdf, cells), wire::requestFrame(wire::OrderXls, cells),
                                 wire::requestFrame(wire::OrderOds, cells)};
    wire::FrameGate gate;
    bool ordering = false;
    int sent = 0;
    // One request after the other, each once the last is answered, as the client sends them.
    const auto next = [&] {
        if (ordering && sent < docs)
            orders.write(frames[sent++ % 3]);
    };
    QObject::connect(&orders, &QTcpSocket::readyRead, [&] {
        QByteArray body;
        while (gate.next(&orders, &body))
            next();
    });
    waitUntil([&] { return ready == clients; }, 60000);
    waitUntil([] { return false; }, 1000);
    phase.number = 1;
    waitUntil([] { return false; }, 8000);

    phase.number = 2;
    ordering = true;
    next();
    QElapsedTimer mailing;
    mailing.start();
    const QDir box(QDir(dir.path()).filePath(QStringLiteral("mail")));
    // The folder is looked at every 20 ms, not at every wake-up of this
    // thread: listing it thousands of times a second delayed the lookups'
    // own replies here, in the customers' process.
    QElapsedTimer lastLook;
    lastLook.start();
    bool allMailed = false;
    waitUntil(
        [&] {
            if (!allMailed && lastLook.elapsed() >= 20) {
                lastLook.restart();
                allMailed = box.entryList({QStringLiteral("*.eml")}).size() >= docs;
            }
            return allMailed;
        },
        300000);
    const double mailedIn = mailing.elapsed() / 1000.0;
    const int mailed = box.entryList({QStringLiteral("*.eml")}).size();
    phase.number = 0;

    const double alone = p99(phase.samples[1]);
    const double busy = p99(phase.samples[2]);
    std::printf("lookups from %d clients: p99 %.2f ms alone (%d samples), %.2f ms while %d of %d documents of %d rows "
                "were built and mailed in %.1f s (%d samples); ratio %.2f\n",
                clients, alone, int(phase.samples[1].size()), busy, mailed, docs, kRows, mailedIn,
                int(phase.samples[2].size()), alone > 0 ? busy / alone : 0.0);
    qDeleteAll(lookers);
    server.terminate();
    server.waitForFinished(10000);
    return 0;
}
