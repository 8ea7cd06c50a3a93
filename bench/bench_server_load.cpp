// Load on the order server, with the figures to judge it by:
//  - the cost of one password digest of each kind, and the time the hash
//    pool needs for N of them on this machine's cores;
//  - a bare echo server's round trip for frames of a lookup's size;
//  - N clients on loopback, each logging in, fetching the tables, making the
//    four dimension lookups and sending an order with a small drawing
//    (time until the last login is answered vs the pool's time; orders
//    stored vs acknowledged; the server's peak memory);
//  - the server's lookup round trip with 450 logged-in customers, and again
//    while 50 more log in at once.
//   bench_server_load [--connections N] [--server PATH] [--db URL] [--timeout S]
//                     [--interval-ms MS]
#include "hashpool.h"
#include "password.h"
#include "store.h"
#include "wire.h"

#include "benchutil.h"

#include <QTcpServer>
#include <QThreadPool>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

QVariantMap lookupRequest()
{
    return {{QStringLiteral("standart"), QStringLiteral("OST128")},
            {QStringLiteral("tf"), QStringLiteral("E")},
            {QStringLiteral("size"), QStringLiteral("15")},
            {QStringLiteral("press"), QStringLiteral("1,6 (16,0)")}};
}

struct Stats
{
    QMap<QString, QVector<double>> latencies; // ms per request kind
    int requests = 0;
    int acknowledged = 0;
    int held = 0;
    int maxHeld = 0;
    int finished = 0;
    int failed = 0;
    int loggedIn = 0;
    qint64 lastLoginNs = 0;
};

// Counts from the start of the road run.
QElapsedTimer g_roadClock;

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
        const QVariantMap lookup = lookupRequest();
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
                if (ok) {
                    ++m_stats->loggedIn;
                    m_stats->lastLoginNs = g_roadClock.nsecsElapsed();
                }
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

// Processor seconds (user and system) a process has used so far.
double cpuSeconds(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = f.readAll();
    // Fields after the name in parentheses: state is the first, utime the 12th.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return double(fields[11].toLongLong() + fields[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
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


// A customer who keeps looking up dimensions: optionally logs in, then sends
// a lookup, waits for the answer, pauses, and sends the next. Round trips are
// recorded while `recording` is set.
struct LookupRun
{
    bool recording = false;
    QVector<double> lookups;
    QVector<double> logins;
    int ready = 0;  // logged in (or connected, without a login)
    bool hold = false; // the ready wait for release() before looking up
    int failed = 0;
};

class LookupClient : public QObject
{
public:
    LookupClient(quint16 port, bool login, int intervalMs, LookupRun *run)
        : m_login(login), m_intervalMs(intervalMs), m_run(run)
    {
        m_pause.setSingleShot(true);
        connect(&m_pause, &QTimer::timeout, this, [this] { sendLookup(); });
        connect(&m_socket, &QTcpSocket::connected, this, [this] {
            if (m_login) {
                m_timer.start();
                m_socket.write(wire::requestFrame(wire::Login, wire::loginText(QStringLiteral("demo"), QStringLiteral("demo123"))));
            } else {
                becomeReady();
            }
        });
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { onReadyRead(); });
        connect(&m_socket, &QAbstractSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
            if (!m_failed) {
                m_failed = true;
                ++m_run->failed;
            }
        });
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    }
    void stop() { m_stopped = true; }
    void release()
    {
        if (m_ready && !m_failed)
            sendLookup();
    }

private:
    void becomeReady()
    {
        m_ready = true;
        ++m_run->ready;
        if (!m_run->hold)
            sendLookup();
    }
    void sendLookup()
    {
        if (m_stopped)
            return;
        m_recording = m_run->recording;
        m_timer.start();
        m_socket.write(wire::requestFrame(wire::SnpRequest, lookupRequest()));
    }
    void onReadyRead()
    {
        m_buffer += m_socket.readAll();
        QByteArray body;
        while (m_gate.next(&m_buffer, &body)) {
            const double ms = m_timer.nsecsElapsed() / 1e6;
            if (!m_ready) {
                wire::Reader r(body);
                QString text;
                if (!r.readString(&text) || text != QStringLiteral("Авторизация прошла успешно")) {
                    m_failed = true;
                    ++m_run->failed;
                    return;
                }
                m_run->logins << ms;
                becomeReady();
                continue;
            }
            // Only round trips that began and ended inside the window count.
            if (m_recording && m_run->recording)
                m_run->lookups << ms;
            m_pause.start(m_intervalMs);
        }
    }

    bool m_login;
    int m_intervalMs;
    LookupRun *m_run;
    QTcpSocket m_socket;
    wire::FrameGate m_gate;
    QByteArray m_buffer;
    QElapsedTimer m_timer;
    QTimer m_pause;
    bool m_ready = false;
    bool m_recording = false;
    bool m_stopped = false;
    bool m_failed = false;
};

// The baseline: answers every frame with the same frame, on one event loop,
// as the server answers a lookup. Runs as its own process, as the server does.
int runEchoServer()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 1;
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server] {
        while (QTcpSocket *s = server.nextPendingConnection()) {
            auto *gate = new wire::FrameGate;
            QObject::connect(s, &QTcpSocket::readyRead, s, [s, gate] {
                QByteArray body;
                while (gate->next(s, &body))
                    s->write(wire::frameBody(body));
            });
            QObject::connect(s, &QTcpSocket::disconnected, s, [s, gate] {
                delete gate;
                s->deleteLater();
            });
        }
    });
    std::printf("listening on 127.0.0.1:%d, echo\n", server.serverPort());
    std::fflush(stdout);
    return QCoreApplication::exec();
}

// Starts a server process and returns the port it reports, 0 on failure.
quint16 startServer(QProcess *proc, const QString &program, const QStringList &args)
{
    proc->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    proc->start(program, args);
    QString out;
    QElapsedTimer wait;
    wait.start();
    static const QRegularExpression re(QStringLiteral("listening on [0-9a-f.:]+:([0-9]+),"));
    while (wait.elapsed() < 30000 && proc->state() != QProcess::NotRunning) {
        proc->waitForReadyRead(200);
        out += QString::fromUtf8(proc->readAllStandardOutput());
        const auto m = re.match(out);
        if (m.hasMatch())
            return quint16(m.captured(1).toUInt());
    }
    std::fprintf(stderr, "%s did not start: %s\n", qPrintable(program), qPrintable(out));
    return 0;
}

using bench::serveFor;
using bench::serveUntil;

// A fleet of looking-up customers: connected (and logged in), then recording
// round trips for a while.
struct Fleet
{
    LookupRun run;
    QList<LookupClient *> clients;
    ~Fleet() { qDeleteAll(clients); }
    // With `hold`, nobody looks up before all are in: the wait then times
    // the logins alone.
    bool start(int n, quint16 port, bool login, int intervalMs, qint64 limitMs, bool hold = false)
    {
        run.hold = hold;
        for (int i = 0; i < n; ++i)
            clients << new LookupClient(port, login, intervalMs, &run);
        const bool ok = serveUntil([&] { return run.ready + run.failed >= n; }, limitMs) && run.failed == 0;
        run.hold = false;
        for (LookupClient *c : clients)
            c->release();
        return ok;
    }
    void record(qint64 ms)
    {
        run.lookups.clear();
        run.recording = true;
        serveFor(ms);
        run.recording = false;
    }
};

void printLatency(const char *what, const QVector<double> &v)
{
    std::printf("  %-40s n=%-6d p50 %8.2f ms  p99 %8.2f ms\n", what, int(v.size()), percentile(v, 0.5),
                percentile(v, 0.99));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--echo-server")))
        return runEchoServer();
    QCommandLineParser p;
    p.addHelpOption();
    const QCommandLineOption nOpt(QStringLiteral("connections"), QStringLiteral("Clients of the road run (default 500)."),
                                  QStringLiteral("n"), QStringLiteral("500"));
    const QCommandLineOption serverOpt(QStringLiteral("server"), QStringLiteral("vintaro-server binary."),
                                       QStringLiteral("path"),
                                       QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("vintaro-server")));
    const QCommandLineOption dbOpt(QStringLiteral("db"), QStringLiteral("PostgreSQL URL for the server."), QStringLiteral("url"));
    const QCommandLineOption timeoutOpt(QStringLiteral("timeout"), QStringLiteral("Give up a run after this many seconds (default 300)."),
                                        QStringLiteral("s"), QStringLiteral("300"));
    const QCommandLineOption intervalOpt(QStringLiteral("interval-ms"),
                                         QStringLiteral("Pause of a looking-up customer between lookups (default 100)."),
                                         QStringLiteral("ms"), QStringLiteral("100"));
    p.addOptions({nOpt, serverOpt, dbOpt, timeoutOpt, intervalOpt});
    p.process(app);
    const int n = qBound(1, p.value(nOpt).toInt(), 500);
    const int intervalMs = qMax(0, p.value(intervalOpt).toInt());
    const qint64 limitMs = qint64(p.value(timeoutOpt).toInt()) * 1000;
    constexpr int kLookers = 450;
    constexpr int kNewcomers = 50;
    constexpr int kRecordMs = 5000;

    rlimit rl{};
    if (getrlimit(RLIMIT_NOFILE, &rl) == 0 && rl.rlim_cur < rl.rlim_max) {
        rl.rlim_cur = rl.rlim_max;
        setrlimit(RLIMIT_NOFILE, &rl);
    }

    // ---- digests
    QVector<double> argonMs, pbkdfMs;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        password::make(QStringLiteral("demo123"));
        argonMs << t.nsecsElapsed() / 1e6;
        t.start();
        password::pbkdf2(QStringLiteral("demo123"), QByteArray(16, 's'), 100000);
        pbkdfMs << t.nsecsElapsed() / 1e6;
    }
    const password::Cost cost;
    std::printf("one digest: Argon2id (m=%d KiB, t=%d, p=%d) %.1f ms, PBKDF2-SHA256 (100,000 rounds, OpenSSL) %.1f ms\n",
                cost.memoryKiB, cost.passes, cost.lanes, bench::median(argonMs), bench::median(pbkdfMs));
    // The same checks, on the same pool, as the server's logins. Timed before
    // and after the road run: on a shared machine the load drifts.
    const auto poolTime = [n] {
        QElapsedTimer poolClock;
        poolClock.start();
        const password::Digest stored = password::make(QStringLiteral("demo123"));
        QList<QFuture<hashpool::LoginCheck>> jobs;
        for (int i = 0; i < n; ++i)
            jobs << hashpool::check(QStringLiteral("demo123"), stored, nullptr, {});
        for (QFuture<hashpool::LoginCheck> &f : jobs)
            f.waitForFinished();
        return poolClock.nsecsElapsed() / 1e9;
    };
    const double poolBefore = poolTime();
    std::printf("hash pool: %d workers, %d Argon2id login checks in %.2f s\n", hashpool::pool()->maxThreadCount(), n,
                poolBefore);

    // ---- baseline: a bare echo server
    QVector<double> echo;
    {
        QProcess echoProc;
        const quint16 echoPort = startServer(&echoProc, QCoreApplication::applicationFilePath(), {QStringLiteral("--echo-server")});
        if (echoPort == 0)
            return 1;
        Fleet fleet;
        if (!fleet.start(kLookers, echoPort, false, intervalMs, limitMs)) {
            std::fprintf(stderr, "echo clients failed\n");
            return 1;
        }
        serveFor(1000);
        fleet.record(kRecordMs);
        echo = fleet.run.lookups;
        echoProc.kill();
        echoProc.waitForFinished(5000);
    }

    // ---- the server
    QTemporaryDir tmp;
    const QString dataDir = tmp.path() + QStringLiteral("/data");
    QStringList args{QStringLiteral("--data-dir"), dataDir, QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--quiet")};
    if (p.isSet(dbOpt))
        args << QStringLiteral("--db") << p.value(dbOpt);
    QProcess server;
    const quint16 port = startServer(&server, p.value(serverOpt), args);
    if (port == 0)
        return 1;

    // Road run: N customers at once, from login to drawing.
    Stats stats;
    QByteArray drawing(2048, '\0');
    for (int i = 0; i < drawing.size(); ++i)
        drawing[i] = char(i * 31 + 7);
    QList<LoadClient *> clients;
    const double serverCpuBefore = cpuSeconds(server.processId());
    const double ownCpuBefore = cpuSeconds(QCoreApplication::applicationPid());
    g_roadClock.start();
    for (int i = 0; i < n; ++i)
        clients << new LoadClient(i, port, &stats, drawing);
    serveUntil([&] { return stats.finished >= n; }, limitMs);
    const double seconds = g_roadClock.nsecsElapsed() / 1e9;
    const double serverCpu = cpuSeconds(server.processId()) - serverCpuBefore;
    const double ownCpu = cpuSeconds(QCoreApplication::applicationPid()) - ownCpuBefore;
    const int heldAtEnd = stats.held;
    // Let the last drawings land before counting what the store holds.
    serveFor(2000);
    qDeleteAll(clients);
    clients.clear();
    const double poolAfter = poolTime();
    const double poolSeconds = (poolBefore + poolAfter) / 2;

    // Lookups with 450 logged-in customers, then while 50 more log in.
    QVector<double> steady, mixed, newcomerLogins;
    double waveSeconds = 0; // the lookers' logins: logins and nothing else
    int lookFailed = 0;
    {
        Fleet lookers;
        QElapsedTimer wave;
        wave.start();
        const bool up = lookers.start(kLookers, port, true, intervalMs, limitMs, true);
        waveSeconds = wave.nsecsElapsed() / 1e9;
        serveFor(1000);
        lookers.record(kRecordMs);
        steady = lookers.run.lookups;
        Fleet newcomers;
        lookers.run.lookups.clear();
        lookers.run.recording = true;
        const bool in = newcomers.start(kNewcomers, port, true, intervalMs, limitMs);
        lookers.run.recording = false;
        mixed = lookers.run.lookups;
        newcomerLogins = newcomers.run.logins;
        lookFailed = (up ? 0 : 1) + (in ? 0 : 1) + lookers.run.failed + newcomers.run.failed;
    }
    const QString hwm = procStatus(server.processId(), "VmHWM:");
    const QString rss = procStatus(server.processId(), "VmRSS:");
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

    const double loginSeconds = stats.lastLoginNs / 1e9;
    std::printf("road run: %d clients, finished: %d, failed: %d, wall time %.2f s\n", n, stats.finished - stats.failed,
                stats.failed, seconds);
    std::printf("  %d logins answered in %.2f s; the pool needs %.2f s for %d digests (%.2f s before the run, "
                "%.2f s after it): ratio %.2f\n",
                stats.loggedIn, loginSeconds, poolSeconds, n, poolBefore, poolAfter,
                poolSeconds > 0 ? loginSeconds / poolSeconds : 0.0);
    // The customers run on the same cores as the server and take their share.
    std::printf("  processor time of the run: server %.2f s, these %d customers %.2f s, in %.2f s on %d cores\n",
                serverCpu, n, ownCpu, seconds, QThread::idealThreadCount());
    std::printf("  connections held: %d at most at once, %d at the end\n", stats.maxHeld, heldAtEnd);
    std::printf("  requests answered: %d, %.1f requests/s\n", stats.requests, stats.requests / seconds);
    for (auto it = stats.latencies.cbegin(); it != stats.latencies.cend(); ++it)
        std::printf("  %-8s n=%-5d p50 %8.2f ms  p99 %8.2f ms\n", qPrintable(it.key()), int(it.value().size()),
                    percentile(it.value(), 0.5), percentile(it.value(), 0.99));
    std::printf("  orders acknowledged: %d, orders stored: %d (%s), drawings stored: %d of %d sent\n", stats.acknowledged,
                storedOrders, storedOrders == stats.acknowledged ? "equal" : "DIFFERENT", storedUploads,
                stats.finished - stats.failed);
    // The road run's logins share the cores with the orders, documents and
    // drawings of the customers already in; in this wave the customers in
    // wait until all are, so it times the logins alone.
    const double wavePool = poolSeconds * kLookers / n;
    std::printf("login wave: %d customers log in at once, all answered in %.2f s; the pool needs %.2f s for %d "
                "digests: ratio %.2f\n",
                kLookers, waveSeconds, wavePool, kLookers, wavePool > 0 ? waveSeconds / wavePool : 0.0);
    std::printf("round trips of lookup-sized frames, %d customers, one lookup every %d ms after the answer:\n", kLookers,
                intervalMs);
    printLatency("bare echo server", echo);
    printLatency("server lookups", steady);
    printLatency("server lookups while 50 more log in", mixed);
    printLatency("  those 50 logins", newcomerLogins);
    const double echo99 = percentile(echo, 0.99);
    if (echo99 > 0)
        std::printf("  lookup p99 / echo p99: %.2f alone, %.2f during the logins\n", percentile(steady, 0.99) / echo99,
                    percentile(mixed, 0.99) / echo99);
    std::printf("server peak memory (VmHWM): %s, at the end (VmRSS): %s\n", qPrintable(hwm), qPrintable(rss));
    const bool sound = storedOrders == stats.acknowledged && stats.failed == 0 && lookFailed == 0;
    if (lookFailed)
        std::printf("lookup customers failed: %d\n", lookFailed);
    return sound ? 0 : 1;
}
