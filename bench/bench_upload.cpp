// Uploads a 2 MiB file from MainWindow to a loopback peer, plain and over
// TLS, and compares it with the same file written by a bare QTcpSocket.
// Prints throughput, the ratios and the client's peak memory growth while
// the upload runs.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <vector>

#include "../tests/common/testcerts.h"
#include "app/mainwindow.h"
#include "net/tlssocket.h"
#include "tlslistener.h"
#include "benchutil.h"
#include "wire.h"

namespace {

constexpr qint64 kFileSize = 2 * 1024 * 1024;
constexpr int kRuns = 15;

// Reads and drops everything, counting bytes, so the receiving side keeps no
// copy. Over TLS the server hands out connections once encrypted.
class SinkPeer : public QObject
{
public:
    explicit SinkPeer(QTcpServer *server = new QTcpServer) : m_server(server)
    {
        m_server->listen(QHostAddress::LocalHost, 0);
        QObject::connect(m_server.get(), &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server->nextPendingConnection()) {
                s->setReadBufferSize(64 * 1024);
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] {
                    char buf[65536];
                    qint64 n;
                    while ((n = s->read(buf, sizeof buf)) > 0)
                        received += n;
                    if (loop && received >= target)
                        loop->quit();
                });
            }
        });
    }
    quint16 port() const { return m_server->serverPort(); }
    qint64 received = 0;
    qint64 target = 0;
    QEventLoop *loop = nullptr;

private:
    std::unique_ptr<QTcpServer> m_server;
};

qint64 statusKiB(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Resets VmHWM to the current RSS (Linux 4.0 and later); false if refused.
bool resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    return f.write("5") == 1;
}

// Runs the event loop until the peer has `total` bytes. A real event loop,
// not a polling wait: polling would add its sleep to every chunk.
bool waitFor(SinkPeer &peer, qint64 total)
{
    if (peer.received >= total)
        return true;
    QEventLoop loop;
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    peer.target = total;
    peer.loop = &loop;
    loop.exec();
    peer.loop = nullptr;
    return peer.received >= total;
}

// The same for the end of the window's upload (its last step runs after the
// last bytes were handed to the socket).
bool waitIdle(MainWindow &window)
{
    QElapsedTimer t;
    t.start();
    while (window.uploadRunning() && t.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !window.uploadRunning();
}

double mibPerSec(qint64 bytes, qint64 ns)
{
    return ns > 0 ? (double(bytes) / (1024.0 * 1024.0)) / (double(ns) / 1e9) : 0.0;
}

using bench::median;

struct Memory
{
    qint64 rssBefore = 0;
    qint64 peak = 0;
    bool peakReset = false;
    qint64 growth() const { return peak - rssBefore; }
};

struct WindowRun
{
    Memory memory;
    qint64 atStart = 0;
    std::vector<qint64> times;
};

// MainWindow on a connected socket, warmed up, with one upload watched for
// memory.
std::unique_ptr<MainWindow> prepareWindow(QTcpSocket &socket, SinkPeer &peer, const QString &path,
                                          const QString &small, qint64 headerSize, WindowRun *out)
{
    auto window = std::make_unique<MainWindow>(&socket, QStringLiteral("bench"), QStringLiteral("bench"), nullptr,
                                               QVariantMap{{"SNP", true}, {"PUTG", true}, {"PUTGm", true}});
    window->show();
    if (!waitFor(peer, 1)) // the table request
        return nullptr;

    // Warm up the code paths once, so first-use allocations do not count.
    qint64 expected = peer.received + wire::uploadHeader(QStringLiteral("warmup.bin"), 20000).size() + 20000;
    window->sendFile(small);
    if (!waitFor(peer, expected))
        return nullptr;
    if (!waitIdle(*window))
        return nullptr;

    // One upload watched for memory: VmHWM is reset to the current RSS first,
    // and read again once the window is past its start (header written, status
    // dialog shown) so that the data phase can be told apart.
    Memory &mwMem = out->memory;
    mwMem.peakReset = resetPeak();
    mwMem.rssBefore = statusKiB("VmRSS:");
    qint64 sampledPeak = mwMem.rssBefore;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        sampledPeak = qMax(sampledPeak, statusKiB("VmRSS:"));
    });
    sampler.start(1);
    expected = peer.received + headerSize + kFileSize;
    window->sendFile(path);
    QCoreApplication::processEvents();
    out->atStart = mwMem.peakReset ? statusKiB("VmHWM:") : statusKiB("VmRSS:");
    if (!waitFor(peer, expected) || !waitIdle(*window)) {
        std::fprintf(stderr, "MainWindow upload did not arrive\n");
        return nullptr;
    }
    sampler.stop();
    mwMem.peak = mwMem.peakReset ? statusKiB("VmHWM:") : qMax(sampledPeak, statusKiB("VmRSS:"));
    return window;
}

// One timed upload of the file.
bool timedUpload(MainWindow &window, SinkPeer &peer, const QString &path, qint64 headerSize, WindowRun *out)
{
    const qint64 expected = peer.received + headerSize + kFileSize;
    QElapsedTimer t;
    t.start();
    window.sendFile(path);
    if (!waitFor(peer, expected)) {
        std::fprintf(stderr, "MainWindow upload did not arrive\n");
        return false;
    }
    out->times.push_back(t.nsecsElapsed());
    return waitIdle(window);
}

void discardDebug(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

} // namespace

int main(int argc, char *argv[])
{
    bench::defaultToOffscreen();
    // The per-chunk debug lines would measure the terminal, not the upload.
    qInstallMessageHandler(discardDebug);
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/drawing.bin");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        QByteArray block(64 * 1024, '\0');
        for (int i = 0; i < block.size(); ++i)
            block[i] = char(i * 31 + 7);
        for (qint64 left = kFileSize; left > 0; left -= block.size())
            f.write(block.constData(), qMin<qint64>(block.size(), left));
    }
    const QString small = dir.path() + QStringLiteral("/warmup.bin");
    {
        QFile f(small);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(20000, 'w'));
    }
    const qint64 headerSize = wire::uploadHeader(QStringLiteral("drawing.bin"), kFileSize).size();

    // Plain and TLS uploads take turns, so that both meet the same load of a
    // shared machine.
    WindowRun plain;
    SinkPeer plainPeer;
    QTcpSocket plainSocket;
    plainSocket.connectToHost(QHostAddress::LocalHost, plainPeer.port());
    if (!plainSocket.waitForConnected(5000))
        return 1;
    auto plainWindow = prepareWindow(plainSocket, plainPeer, path, small, headerSize, &plain);
    if (!plainWindow)
        return 1;

    // The same window over TLS, to a peer that decrypts everything it reads.
    WindowRun tls;
    TestCerts certs;
    TestCerts::Pair pair;
    TlsFiles files;
    QString why = certs.makeServer({QStringLiteral("IP:127.0.0.1")}, &pair);
    if (why.isEmpty())
        loadTlsFiles(pair.cert, pair.key, &files, &why);
    if (!why.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }
    SinkPeer tlsPeer(new TlsListener(files));
    ClientTls clientTls;
    clientTls.enabled = true;
    clientTls.useCaFile(certs.ca());
    TlsSocket tlsSocket(clientTls);
    tlsSocket.connectEncrypted(QStringLiteral("127.0.0.1"), tlsPeer.port());
    {
        // Both ends of the handshake run on this event loop: no blocking wait.
        QEventLoop loop;
        QObject::connect(&tlsSocket, &QSslSocket::encrypted, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!tlsSocket.isEncrypted()) {
        std::fprintf(stderr, "TLS handshake failed: %s\n", qPrintable(tlsSocket.errorString()));
        return 1;
    }
    auto tlsWindow = prepareWindow(tlsSocket, tlsPeer, path, small, headerSize, &tls);
    if (!tlsWindow)
        return 1;
    for (int run = 0; run < kRuns; ++run) {
        if (!timedUpload(*plainWindow, plainPeer, path, headerSize, &plain)
            || !timedUpload(*tlsWindow, tlsPeer, path, headerSize, &tls))
            return 1;
    }
    tlsWindow.reset();
    plainWindow.reset();

    // ---- bare QTcpSocket: the whole file in one write ----
    SinkPeer barePeer;
    QTcpSocket bare;
    bare.connectToHost(QHostAddress::LocalHost, barePeer.port());
    if (!bare.waitForConnected(5000))
        return 1;
    Memory bareMem;
    std::vector<qint64> bareTimes;
    for (int run = 0; run < kRuns; ++run) {
        if (run == 0) {
            bareMem.peakReset = resetPeak();
            bareMem.rssBefore = statusKiB("VmRSS:");
        }
        const qint64 expected = barePeer.received + headerSize + kFileSize;
        QElapsedTimer t;
        t.start();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        bare.write(wire::uploadHeader(QStringLiteral("drawing.bin"), kFileSize));
        bare.write(f.readAll());
        if (!waitFor(barePeer, expected)) {
            std::fprintf(stderr, "bare upload did not arrive\n");
            return 1;
        }
        bareTimes.push_back(t.nsecsElapsed());
        if (run == 0)
            bareMem.peak = statusKiB("VmHWM:");
    }

    const qint64 mwNs = median(plain.times);
    const qint64 tlsNs = median(tls.times);
    const qint64 bareNs = median(bareTimes);
    const double mw = mibPerSec(kFileSize, mwNs);
    const double tl = mibPerSec(kFileSize, tlsNs);
    const double br = mibPerSec(kFileSize, bareNs);
    std::printf("file: %lld bytes, %d runs each, median times, debug log discarded\n",
                static_cast<long long>(kFileSize), kRuns);
    std::printf("MainWindow::sendFile (6144-byte chunks): %.1f MiB/s (%.2f ms)\n", mw, mwNs / 1e6);
    std::printf("MainWindow::sendFile over TLS:           %.1f MiB/s (%.2f ms)\n", tl, tlsNs / 1e6);
    std::printf("bare QTcpSocket (one write):             %.1f MiB/s (%.2f ms)\n", br, bareNs / 1e6);
    std::printf("ratio MainWindow / bare: %.2f\n", br > 0 ? mw / br : 0.0);
    std::printf("ratio TLS / plain MainWindow: %.2f (runs taking turns; the peer decrypts in the same process)\n", mw > 0 ? tl / mw : 0.0);
    const auto memory = [](const char *what, const WindowRun &r) {
        const Memory &m = r.memory;
        std::printf("%s peak memory growth during upload: %lld KiB (VmRSS before %lld KiB, %s %lld KiB)\n", what,
                    static_cast<long long>(m.growth()), static_cast<long long>(m.rssBefore),
                    m.peakReset ? "VmHWM after reset" : "sampled VmRSS peak", static_cast<long long>(m.peak));
        std::printf("  of which at the start (header, status dialog): %lld KiB; during the data: %lld KiB\n",
                    static_cast<long long>(r.atStart - m.rssBefore), static_cast<long long>(m.peak - r.atStart));
    };
    memory("MainWindow", plain);
    memory("MainWindow over TLS", tls);
    std::printf("  (the receiving peer runs in the same process; its buffers are included)\n");
    std::printf("bare socket peak memory growth (for comparison): %lld KiB%s\n",
                static_cast<long long>(bareMem.growth()),
                bareMem.peakReset ? "" : " (VmHWM could not be reset; upper bound)");
    return 0;
}
