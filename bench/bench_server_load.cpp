// Load on the order server: N concurrent clients on loopback, each logging
// in, fetching the tables, making the four dimension lookups and sending an
// order with a small drawing. Prints connections held, requests per second,
// p50/p99 per request kind, orders stored vs acknowledged and the server's
// peak memory.
//   bench_server_load [--connections N] [--server PATH] [--db URL] [--timeout S]
#include "store.h"
#include "wire.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

struct Stats
{
    QMap<QString, QVector<double>> latencies; // ms per request kind
    int requests = 0;
    int acknowledged = 0;
    int held = 0;
    int maxHeld = 0;
    int finished = 0;
    int failed = 0;
};

class LoadClient : public QObject
{
public:
    LoadClient(int id, quint16 port, Stats *stats, const QByteArray &drawing)
        : m_id(id), m_stats(stats), m_drawing(drawing)
    {
        connect(&m_socket, &QTcpSocket::connected, this, [this] {
            m_stats->maxHeld = std::max(m_stats->maxHeld, ++m_stats->held);
            m_wasConnected = true;
            next();
        });
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { onReadyRead(); });
        connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
            if (m_wasConnected)
                --m_stats->held;
            if (m_step < kDone)
                fail(QStringLiteral("disconnected"));
        });
        connect(&m_socket, &QAbstractSocket::errorOccurred, this,
                [this](QAbstractSocket::SocketError) {
                    if (m_step < kDone)
                        fail(m_socket.errorString());
                });
        m_connectTimer.start();
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    }

    bool done() const { return m_step >= kDone; }

private:
    enum Step { kConnect, kLogin, kTables, kSnp, kSnpD2, kPutg, kPutgm, kOrder, kUpload, kDone, kFailed };

    void fail(const QString &why)
    {
        if (m_step >= kDone)
            return;
        m_step = kFailed;
        ++m_stats->failed;
        ++m_stats->finished;
        if (m_stats->failed <= 5)
            std::fprintf(stderr, "client %d failed: %s\n", m_id, qPrintable(why));
    }

    void send(const QString &kind, const QByteArray &frame)
    {
        m_kind = kind;
        m_timer.start();
        m_socket.write(frame);
    }

    void next()
    {
        if (m_step == kConnect)
            m_stats->latencies[QStringLiteral("connect")] << m_connectTimer.nsecsElapsed() / 1e6;
        m_step = Step(m_step + 1);
        const QVariantMap lookup{{QStringLiteral("standard"), QStringLiteral("GOST128")},
                                 {QStringLiteral("size"), QStringLiteral("15")}};
        switch (m_step) {
        case kLogin:
            send(QStringLiteral("login"), wire::requestFrame(wire::Login, wire::loginText(QStringLiteral("demo"), QStringLiteral("demo123"))));
            break;
        case kTables:
            send(QStringLiteral("tables"), wire::requestFrame(wire::TablesRequest, QString(QLatin1String(""))));
            break;
        case kSnp:
            send(QStringLiteral("lookup"), wire::requestFrame(wire::SnpRequest, lookup));
            break;
        case kSnpD2:
            send(QStringLiteral("lookup"), wire::requestFrame(wire::SnpD2Request, lookup));
            break;
        case kPutg:
            send(QStringLiteral("lookup"), wire::requestFrame(wire::PutgRequest, lookup));
            break;
        case kPutgm:
            send(QStringLiteral("lookup"), wire::requestFrame(wire::PutgmRequest, lookup));
            break;
        case kOrder:
            send(QStringLiteral("order"),
                 wire::requestFrame(wire::OrderInvoice,
                                    QStringList{QStringLiteral("СНП-А-1-15-1,6"), QStringLiteral("4"), QStringLiteral("15"),
                                                QStringLiteral("plan.pdf"), QStringLiteral("Прокладка %1").arg(m_id),
                                                QStringLiteral("ПУТГ-А-100"), QStringLiteral("1"), QStringLiteral("100"),
                                                QString(), QStringLiteral("Прокладка")}));
            break;
        case kUpload:
            // The drawing has no reply: it counts as done once written.
            m_socket.write(wire::uploadHeader(QStringLiteral("plan.pdf"), m_drawing.size(), QStringLiteral("0")));
            m_socket.write(m_drawing);
            m_step = kDone;
            ++m_stats->finished;
            break;
        default:
            break;
        }
    }

    void onReadyRead()
    {
        m_buffer += m_socket.readAll();
        QByteArray body;
        while (m_step < kDone && m_gate.next(&m_buffer, &body)) {
            const double ms = m_timer.nsecsElapsed() / 1e6;
            bool ok = false;
            if (m_step == kLogin) {
                wire::Reader r(body);
                QString text;
                ok = r.readString(&text) && text == QStringLiteral("Авторизация прошла успешно");
            } else if (!body.isEmpty()) {
                const quint8 code = quint8(body.at(0));
                ok = (m_step == kTables && code == wire::TablesReply) || (m_step == kSnp && code == wire::SnpReply)
                     || (m_step == kSnpD2 && code == wire::SnpD2Reply) || (m_step == kPutg && code == wire::PutgReply)
                     || (m_step == kPutgm && code == wire::PutgmReply) || (m_step == kOrder && code == wire::OrderAccepted);
                if (m_step == kOrder && ok)
                    ++m_stats->acknowledged;
            }
            if (!ok) {
                fail(QStringLiteral("unexpected reply at step %1").arg(m_step));
                return;
            }
            ++m_stats->requests;
            m_stats->latencies[m_kind] << ms;
            next();
        }
    }

    int m_id;
    Stats *m_stats;
    QByteArray m_drawing;
    QTcpSocket m_socket;
    wire::FrameGate m_gate;
    QByteArray m_buffer;
    Step m_step = kConnect;
    QString m_kind;
    QElapsedTimer m_timer;
    QElapsedTimer m_connectTimer;
    bool m_wasConnected = false;
};

double percentile(QVector<double> v, double p)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    const int i = std::min(int(v.size()) - 1, int(p * (v.size() - 1) + 0.5));
    return v.at(i);
}

QString procStatus(qint64 pid, const char *key)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return QString::fromLatin1(line.mid(int(qstrlen(key)))).simplified();
    return QStringLiteral("?");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.addHelpOption();
    const QCommandLineOption nOpt(QStringLiteral("connections"), QStringLiteral("Concurrent clients (default 500)."),
                                  QStringLiteral("n"), QStringLiteral("500"));
    const QCommandLineOption serverOpt(QStringLiteral("server"), QStringLiteral("vintaro-server binary."),
                                       QStringLiteral("path"),
                                       QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("vintaro-server")));
    const QCommandLineOption dbOpt(QStringLiteral("db"), QStringLiteral("PostgreSQL URL for the server."), QStringLiteral("url"));
    const QCommandLineOption timeoutOpt(QStringLiteral("timeout"), QStringLiteral("Give up after this many seconds (default 300)."),
                                        QStringLiteral("s"), QStringLiteral("300"));
    p.addOptions({nOpt, serverOpt, dbOpt, timeoutOpt});
    p.process(app);
    const int n = qBound(1, p.value(nOpt).toInt(), 500);

    rlimit rl{};
    if (getrlimit(RLIMIT_NOFILE, &rl) == 0 && rl.rlim_cur < rl.rlim_max) {
        rl.rlim_cur = rl.rlim_max;
        setrlimit(RLIMIT_NOFILE, &rl);
    }

    QTemporaryDir tmp;
    const QString dataDir = tmp.path() + QStringLiteral("/data");
    QStringList args{QStringLiteral("--data-dir"), dataDir, QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--quiet")};
    if (p.isSet(dbOpt))
        args << QStringLiteral("--db") << p.value(dbOpt);
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(p.value(serverOpt), args);
    quint16 port = 0;
    QString out;
    QElapsedTimer startWait;
    startWait.start();
    static const QRegularExpression re(QStringLiteral("listening on [0-9a-f.:]+:([0-9]+),"));
    while (port == 0 && startWait.elapsed() < 30000 && server.state() != QProcess::NotRunning) {
        server.waitForReadyRead(200);
        out += QString::fromUtf8(server.readAllStandardOutput());
        const auto m = re.match(out);
        if (m.hasMatch())
            port = quint16(m.captured(1).toUInt());
    }
    if (port == 0) {
        std::fprintf(stderr, "server did not start: %s\n", qPrintable(out));
        return 1;
    }

    Stats stats;
    QByteArray drawing(2048, '\0');
    for (int i = 0; i < drawing.size(); ++i)
        drawing[i] = char(i * 31 + 7);
    QList<LoadClient *> clients;
    QElapsedTimer wall;
    wall.start();
    for (int i = 0; i < n; ++i)
        clients << new LoadClient(i, port, &stats, drawing);

    QTimer poll;
    const qint64 limitMs = qint64(p.value(timeoutOpt).toInt()) * 1000;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (stats.finished >= n || wall.elapsed() > limitMs)
            app.quit();
    });
    poll.start(50);
    app.exec();
    const double seconds = wall.nsecsElapsed() / 1e9;
    const int heldAtEnd = stats.held;

    // Let the last drawings land before counting what the store holds.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const QString hwm = procStatus(server.processId(), "VmHWM:");
    const QString rss = procStatus(server.processId(), "VmRSS:");
    qDeleteAll(clients);
    server.terminate();
    server.waitForFinished(10000);

    Store store;
    QString error;
    int storedOrders = -1;
    int storedUploads = -1;
    if (store.open(p.value(dbOpt), dataDir, &error)) {
        storedOrders = store.orders().size();
        storedUploads = store.uploads().size();
    } else {
        std::fprintf(stderr, "cannot open the store: %s\n", qPrintable(error));
    }

    std::printf("clients: %d, finished: %d, failed: %d, wall time %.2f s\n", n, stats.finished - stats.failed,
                stats.failed, seconds);
    std::printf("connections held: %d at most at once, %d at the end\n", stats.maxHeld, heldAtEnd);
    std::printf("requests answered: %d, %.1f requests/s\n", stats.requests, stats.requests / seconds);
    for (auto it = stats.latencies.cbegin(); it != stats.latencies.cend(); ++it)
        std::printf("  %-8s n=%-5d p50 %8.2f ms  p99 %8.2f ms\n", qPrintable(it.key()), int(it.value().size()),
                    percentile(it.value(), 0.5), percentile(it.value(), 0.99));
    std::printf("orders acknowledged: %d, orders stored: %d (%s), drawings stored: %d of %d sent\n", stats.acknowledged,
                storedOrders, storedOrders == stats.acknowledged ? "equal" : "DIFFERENT", storedUploads, stats.finished - stats.failed);
    std::printf("server peak memory (VmHWM): %s, at the end (VmRSS): %s\n", qPrintable(hwm), qPrintable(rss));
    return storedOrders == stats.acknowledged && stats.failed == 0 ? 0 : 1;
}
