// The server's request reader, driven the way clients drive it: bytes over a
// connected socket pair into a real server connection, cut at arbitrary points,
// including upload headers with raw data and frames announcing huge counts.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <sys/socket.h>

#include "productdata.h"
#include "server.h"
#include "store.h"

namespace {
QCoreApplication *app = nullptr;
QTemporaryDir *dir = nullptr;
Store *store = nullptr;
ProductData *products = nullptr;
OrderServer *server = nullptr;

void pump(int ms)
{
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (t.elapsed() < ms);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    app = new QCoreApplication(*argc, *argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    // On tmpfs the store's commits cost no disk flushes.
    const QString shm = QStringLiteral("/dev/shm");
    dir = QFileInfo(shm).isWritable() ? new QTemporaryDir(shm + QStringLiteral("/vintaro-fuzz-XXXXXX"))
                                      : new QTemporaryDir;
    // libFuzzer leaves through exit(); take the store's folder along.
    std::atexit([] { delete dir; });
    store = new Store;
    // Logins are part of the reader; a full-cost digest per login would only slow the search.
    store->setPasswordCost(password::Cost{8, 1, 1});
    QString error;
    if (!store->open(QString(), dir->path(), &error))
        std::abort();
    store->addAccount(QStringLiteral("demo"), QStringLiteral("demo123"), Access{true, true, true}, &error);
    products = new ProductData;
    if (!products->load(ProductData::defaultDir(), &error))
        std::abort();
    ServerConfig config;
    config.dataDir = dir->path();
    config.maxUploadBytes = 64 * 1024;
    config.loginDelayBaseMs = 0;
    config.loginDelayMaxMs = 0;
    server = new OrderServer(store, products, config);
    // Listening also gives the server its folder for partial uploads; without
    // it they would be written into the working directory.
    if (!server->listen(QHostAddress::LocalHost, 0, &error))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int step = 1 + data[0] % 128;
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), int(size - 1));
    // A connected socket pair handed straight to a server connection: the
    // same socket code as over TCP, without a handshake per input.
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0)
        std::abort();
    auto *accepted = new QTcpSocket;
    QTcpSocket client;
    if (!accepted->setSocketDescriptor(fds[0]) || !client.setSocketDescriptor(fds[1]))
        std::abort();
    new Connection(accepted, server);
    for (int pos = 0; pos < stream.size() && client.state() == QAbstractSocket::ConnectedState; pos += step) {
        client.write(stream.mid(pos, step));
        client.flush();
        pump(0);
    }
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
    client.readAll();
    client.abort();
    // The server must let go of the connection it was given.
    QElapsedTimer t;
    t.start();
    while (server->connectionCount() > 0 && t.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    if (server->connectionCount() > 0)
        __builtin_trap();
    return 0;
}
