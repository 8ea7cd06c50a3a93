// Soak: customers keep logging in, looking up, ordering and uploading drawings
// against a running server for a given time. Prints the server's memory after
// warm-up and at the end, orders acknowledged and stored, and failures.
//   bench_soak --port P --pids "PID..." [--customers 100] [--seconds 60]
//              [--pause-ms 500] [--db URL | --data-dir DIR]
#include "benchutil.h"
#include "store.h"
#include "wire.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

struct Totals
{
    int acknowledged = 0;
    int failed = 0;
    int sessions = 0;
};

// One customer: a session of a few orders with drawings, then a new
// connection, as customers come and go over a day.
class Customer : public QObject
{
public:
    Customer(int id, quint16 port, int pauseMs, Totals *totals) : m_id(id), m_port(port), m_pauseMs(pauseMs), m_totals(totals)
    {
        m_pause.setSingleShot(true);
        connect(&m_pause, &QTimer::timeout, this, [this] { next(); });
        connect(&m_socket, &QTcpSocket::connected, this, [this] {
            m_socket.write(wire::requestFrame(wire::Login, wire::loginText(QStringLiteral("demo"), QStringLiteral("demo123"))));
        });
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { onReadyRead(); });
        connect(&m_socket, &QAbstractSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
            if (m_stopping || m_leaving)
                return;
            ++m_totals->failed;
            std::fprintf(stderr, "customer %d: %s\n", m_id, qPrintable(m_socket.errorString()));
            m_stopping = true;
        });
        begin();
    }
    void stop() { m_stopping = true; }
    bool waiting() const { return m_orderOut && m_socket.state() == QAbstractSocket::ConnectedState; }

private:
    void begin()
    {
        m_leaving = false;
        m_loggedIn = false;
        m_ordersLeft = 1 + int(QRandomGenerator::global()->bounded(5));
        m_buffer.clear();
        m_gate.reset();
        ++m_totals->sessions;
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), m_port);
    }
    void next()
    {
        if (m_stopping)
            return;
        if (m_ordersLeft-- <= 0) {
            // Leaves, and comes back as a new session.
            m_leaving = true;
            m_socket.disconnectFromHost();
            if (m_socket.state() != QAbstractSocket::UnconnectedState)
                m_socket.waitForDisconnected(1000);
            begin();
            return;
        }
        // A lookup, then the order.
        const QVariantMap lookup{{QStringLiteral("standart"), QStringLiteral("OST128")},
                                 {QStringLiteral("tf"), QStringLiteral("E")},
                                 {QStringLiteral("size"), QStringLiteral("15")},
                                 {QStringLiteral("press"), QStringLiteral("1,6 (16,0)")}};
        m_socket.write(wire::requestFrame(wire::SnpRequest, lookup));
        QStringList cells;
        const int rows = 1 + int(QRandomGenerator::global()->bounded(3));
        for (int r = 0; r < rows; ++r)
            cells << QStringLiteral("СНП-А-1-15-1,6") << QStringLiteral("2") << QStringLiteral("15")
                  << (r == 0 ? QStringLiteral("plan.pdf") : QString()) << QStringLiteral("Прокладка %1").arg(m_id);
        m_socket.write(wire::requestFrame(wire::OrderInvoice, cells));
        m_orderOut = true;
    }
    void onReadyRead()
    {
        m_buffer += m_socket.readAll();
        QByteArray body;
        while (m_gate.next(&m_buffer, &body)) {
            if (!m_loggedIn) {
                wire::Reader r(body);
                QString text;
                if (!r.readString(&text) || text != QStringLiteral("Авторизация прошла успешно")) {
                    ++m_totals->failed;
                    m_stopping = true;
                    return;
                }
                m_loggedIn = true;
                next();
                continue;
            }
            if (body.isEmpty() || quint8(body.at(0)) != wire::OrderAccepted)
                continue; // the lookup's answer
            ++m_totals->acknowledged;
            m_orderOut = false;
            QByteArray drawing(int(1024 + QRandomGenerator::global()->bounded(48 * 1024)), '\0');
            for (int i = 0; i < drawing.size(); ++i)
                drawing[i] = char(i * 7 + m_id);
            m_socket.write(wire::uploadHeader(QStringLiteral("plan.pdf"), drawing.size(), QStringLiteral("0")));
            m_socket.write(drawing);
            m_pause.start(m_pauseMs);
        }
    }

    int m_id;
    quint16 m_port;
    int m_pauseMs;
    Totals *m_totals;
    QTcpSocket m_socket;
    wire::FrameGate m_gate;
    QByteArray m_buffer;
    QTimer m_pause;
    bool m_loggedIn = false;
    bool m_stopping = false;
    bool m_leaving = false;
    bool m_orderOut = false;
    int m_ordersLeft = 0;
};

qint64 rssKiB(const QStringList &pids)
{
    qint64 sum = 0;
    for (const QString &pid : pids) {
        QFile f(QStringLiteral("/proc/%1/status").arg(pid));
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                sum += line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return sum;
}

using bench::serveFor;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.addHelpOption();
    const QCommandLineOption portOpt(QStringLiteral("port"), QStringLiteral("Server (or HAProxy) port."), QStringLiteral("port"));
    const QCommandLineOption pidsOpt(QStringLiteral("pids"), QStringLiteral("Server process ids, blank-separated."), QStringLiteral("pids"));
    const QCommandLineOption nOpt(QStringLiteral("customers"), QStringLiteral("Customers (default 100)."), QStringLiteral("n"), QStringLiteral("100"));
    const QCommandLineOption secondsOpt(QStringLiteral("seconds"), QStringLiteral("Length of the run (default 60)."), QStringLiteral("s"), QStringLiteral("60"));
    const QCommandLineOption pauseOpt(QStringLiteral("pause-ms"), QStringLiteral("Pause after each order (default 500)."), QStringLiteral("ms"), QStringLiteral("500"));
    const QCommandLineOption dbOpt(QStringLiteral("db"), QStringLiteral("The server's PostgreSQL URL, to count stored orders."), QStringLiteral("url"));
    const QCommandLineOption dirOpt(QStringLiteral("data-dir"), QStringLiteral("The server's data directory (SQLite)."), QStringLiteral("dir"));
    p.addOptions({portOpt, pidsOpt, nOpt, secondsOpt, pauseOpt, dbOpt, dirOpt});
    p.process(app);
    const quint16 port = quint16(p.value(portOpt).toUInt());
    const QStringList pids = p.value(pidsOpt).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const int n = qMax(1, p.value(nOpt).toInt());
    const qint64 totalMs = qMax(2, p.value(secondsOpt).toInt()) * 1000LL;
    if (port == 0 || pids.isEmpty()) {
        std::fprintf(stderr, "bench_soak needs --port and --pids\n");
        return 2;
    }
    auto countOrders = [&]() -> int {
        if (!p.isSet(dbOpt) && !p.isSet(dirOpt))
            return -1;
        QTemporaryDir scratch;
        Store store;
        QString error;
        return store.open(p.value(dbOpt), p.isSet(dbOpt) ? scratch.path() : p.value(dirOpt), &error) ? store.orders().size() : -1;
    };
    const int ordersBefore = countOrders();

    const qint64 atStart = rssKiB(pids);
    Totals totals;
    QList<Customer *> customers;
    for (int i = 0; i < n; ++i)
        customers << new Customer(i, port, p.value(pauseOpt).toInt(), &totals);
    // Warm-up: a quarter of the run, at most a minute. Each password check
    // holds its digest's memory for a moment, so one reading depends on how
    // many checks run just then: the figures are medians of readings taken
    // every 200 ms over a window just after the warm-up and one at the end.
    const qint64 warmMs = qMin<qint64>(totalMs / 4, 60000);
    const qint64 windowMs = qBound<qint64>(1000, (totalMs - warmMs) / 3, 10000);
    QVector<QPair<qint64, qint64>> readings; // (ms since start, kB)
    QElapsedTimer clock;
    clock.start();
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { readings.append({clock.elapsed(), rssKiB(pids)}); });
    sampler.start(200);
    serveFor(totalMs);
    sampler.stop();
    const auto medianOf = [&](qint64 from, qint64 to) {
        QVector<qint64> v;
        for (const auto &r : readings)
            if (r.first >= from && r.first < to && r.second >= 0)
                v << r.second;
        if (v.isEmpty())
            return qint64(-1);
        std::sort(v.begin(), v.end());
        return v.at(v.size() / 2);
    };
    const qint64 afterWarmUp = medianOf(warmMs, warmMs + windowMs);
    const qint64 atEnd = medianOf(totalMs - windowMs, totalMs + 1);
    qint64 peak = 0;
    for (const auto &r : readings)
        peak = qMax(peak, r.second);
    for (Customer *c : customers)
        c->stop();
    // Answers to orders in flight, then their drawings.
    bench::serveUntil([&] {
        return std::none_of(customers.cbegin(), customers.cend(), [](const Customer *c) { return c->waiting(); });
    }, 30000);
    serveFor(1000);
    const int acknowledged = totals.acknowledged;
    qDeleteAll(customers);
    serveFor(500);
    const int ordersAfter = countOrders();

    std::printf("soak: %d customers for %lld s, %d sessions, %d orders acknowledged, %d failures\n", n,
                totalMs / 1000, totals.sessions, acknowledged, totals.failed);
    if (ordersBefore >= 0 && ordersAfter >= 0)
        std::printf("orders stored during the run: %d (%s)\n", ordersAfter - ordersBefore,
                    ordersAfter - ordersBefore == acknowledged ? "equal to the acknowledged" : "NOT the acknowledged");
    std::printf("server memory (VmRSS, median over %lld s): %lld kB at the start, %lld kB after %lld s of warm-up, "
                "%lld kB at the end (%+.1f %% since warm-up), %lld kB at most\n",
                windowMs / 1000, atStart, afterWarmUp, warmMs / 1000, atEnd,
                afterWarmUp > 0 ? 100.0 * (atEnd - afterWarmUp) / afterWarmUp : 0.0, peak);
    const bool stored = ordersBefore < 0 || ordersAfter - ordersBefore == acknowledged;
    return totals.failed == 0 && acknowledged > 0 && stored ? 0 : 1;
}
