// Two server instances behind HAProxy on one PostgreSQL (scripts/cluster.sh
// starts them all); one instance is killed while customers order and upload
// drawings through HAProxy.
#include "serverharness.h"

#include <QtTest>

#include <csignal>

namespace {

QByteArray drawingFor(const QString &description)
{
    QByteArray out;
    const QByteArray seed = description.toUtf8();
    while (out.size() < 20000)
        out += seed + char(out.size() % 251);
    return out.left(20000);
}

// A customer who logs in, then keeps sending one-row orders, each followed
// by its drawing, as the client does after "Заявка отправлена.".
class Customer : public QObject
{
public:
    Customer(int id, quint16 port) : m_id(id)
    {
        connect(&m_socket, &QTcpSocket::connected, this, [this] {
            m_socket.write(wire::requestFrame(wire::Login, wire::loginText(QStringLiteral("demo"), QStringLiteral("demo123"))));
        });
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { onReadyRead(); });
        connect(&m_socket, &QAbstractSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
            if (!lost) {
                lost = true;
                error = e;
            }
        });
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    }
    void finish() { m_stopping = true; }
    bool idle() const { return m_loggedIn && m_outstanding.isEmpty(); }

    bool lost = false;
    QAbstractSocket::SocketError error = QAbstractSocket::UnknownSocketError;
    QStringList acknowledged;
    // Drawings followed by a later answer on the same connection: the
    // server dealt with them before answering.
    QStringList confirmedDrawings;

private:
    void sendOrder()
    {
        if (m_stopping || lost)
            return;
        m_outstanding = QStringLiteral("customer %1 order %2").arg(m_id).arg(m_sent++);
        m_socket.write(wire::requestFrame(
            wire::OrderInvoice, QStringList{QStringLiteral("СНП-А-1-15-1,6"), QStringLiteral("1"), QStringLiteral("15"),
                                            QStringLiteral("plan.pdf"), m_outstanding}));
    }
    void onReadyRead()
    {
        m_buffer += m_socket.readAll();
        QByteArray body;
        while (m_gate.next(&m_buffer, &body)) {
            if (!m_loggedIn) {
                wire::Reader r(body);
                QString text;
                m_loggedIn = r.readString(&text) && text == QStringLiteral("Авторизация прошла успешно");
                if (m_loggedIn)
                    sendOrder();
                continue;
            }
            if (body.isEmpty() || quint8(body.at(0)) != wire::OrderAccepted || m_outstanding.isEmpty())
                continue;
            if (!m_lastDrawing.isEmpty())
                confirmedDrawings << m_lastDrawing;
            acknowledged << m_outstanding;
            const QByteArray drawing = drawingFor(m_outstanding);
            m_socket.write(wire::uploadHeader(QStringLiteral("plan.pdf"), drawing.size(), QStringLiteral("0")));
            m_socket.write(drawing);
            m_lastDrawing = m_outstanding;
            m_outstanding.clear();
            QTimer::singleShot(30, this, [this] { sendOrder(); });
        }
    }

    int m_id;
    QTcpSocket m_socket;
    wire::FrameGate m_gate;
    QByteArray m_buffer;
    bool m_loggedIn = false;
    bool m_stopping = false;
    int m_sent = 0;
    QString m_outstanding;
    QString m_lastDrawing;
};

} // namespace

class TestClusterFailover : public QObject
{
    Q_OBJECT
    QProcess m_cluster;
    quint16 m_port = 0;
    QString m_dbUrl;
    QList<qint64> m_pids;

private slots:
    void initTestCase()
    {
        const QString script = QDir(qEnvironmentVariable("VINTARO_SOURCE_DIR")).filePath(QStringLiteral("scripts/cluster.sh"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("VINTARO_TEST_PG_URL")); // a PostgreSQL of its own
        env.insert(QStringLiteral("VINTARO_BUILD_DIR"), QDir(qEnvironmentVariable("VINTARO_BIN_DIR")).filePath(QStringLiteral("..")));
        m_cluster.setProcessEnvironment(env);
        m_cluster.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The command waits on its input: closing it takes the cluster down.
        m_cluster.start(script, {QStringLiteral("--port"), QStringLiteral("auto"),
                                 QStringLiteral("sh"), QStringLiteral("-c"),
                                 QStringLiteral("echo \"ready $VINTARO_CLUSTER_PORT $VINTARO_TEST_PG_URL $VINTARO_CLUSTER_PIDS\"; exec cat")});
        QString out;
        QVERIFY(harness::waitFor([&] {
            out += QString::fromUtf8(m_cluster.readAllStandardOutput());
            return (out.contains(QLatin1String("ready ")) && out.endsWith(QLatin1Char('\n')))
                   || m_cluster.state() == QProcess::NotRunning;
        }, 90000));
        const QStringList ready = out.mid(out.indexOf(QLatin1String("ready "))).trimmed().split(QLatin1Char(' '));
        QVERIFY2(ready.size() == 5, qPrintable(out));
        m_port = quint16(ready[1].toUInt());
        m_dbUrl = ready[2];
        m_pids = {ready[3].toLongLong(), ready[4].toLongLong()};
    }

    void killedInstanceLosesOnlyItsCustomers()
    {
        QList<Customer *> first;
        for (int i = 0; i < 20; ++i)
            first << new Customer(i, m_port);
        QVERIFY(harness::waitFor([&] {
            return std::all_of(first.begin(), first.end(), [](Customer *c) { return c->acknowledged.size() >= 2; });
        }, 60000));

        QCOMPARE(::kill(pid_t(m_pids[0]), SIGKILL), 0);
        QTest::qWait(500);
        QHash<Customer *, int> atKill;
        for (Customer *c : first)
            atKill[c] = c->acknowledged.size();
        QTest::qWait(2500);
        int lost = 0;
        for (Customer *c : first) {
            if (c->lost) {
                ++lost;
                // What the client turns into "Сервер отключился." or "Потеряна связь с сервером.".
                QVERIFY2(c->error == QAbstractSocket::RemoteHostClosedError || c->error == QAbstractSocket::NetworkError,
                         qPrintable(QString::number(c->error)));
            } else {
                QVERIFY(harness::waitFor([&] { return c->acknowledged.size() > atKill[c] + 1; }, 20000));
            }
        }
        // HAProxy spread the customers over both instances.
        QVERIFY2(lost > 0 && lost < first.size(), qPrintable(QString::number(lost)));

        // Newcomers all reach the living instance.
        QList<Customer *> later;
        for (int i = 100; i < 110; ++i)
            later << new Customer(i, m_port);
        QVERIFY(harness::waitFor([&] {
            return std::all_of(later.begin(), later.end(), [](Customer *c) { return c->acknowledged.size() >= 2; });
        }, 60000));
        for (Customer *c : later)
            QVERIFY(!c->lost);

        const QList<Customer *> all = first + later;
        for (Customer *c : all)
            c->finish();
        QVERIFY(harness::waitFor([&] {
            return std::all_of(all.begin(), all.end(), [](Customer *c) { return c->lost || c->idle(); });
        }, 20000));
        QTest::qWait(1000); // the last drawings land

        // Every acknowledged order once, every confirmed drawing whole; no
        // drawing stored in part.
        QTemporaryDir scratch;
        Store store;
        QString error;
        QVERIFY2(store.open(m_dbUrl, scratch.path(), &error), qPrintable(error));
        QHash<QString, int> orders;
        QHash<QString, QByteArray> drawings;
        for (const Order &o : store.orders()) {
            QCOMPARE(o.rows.size(), 1);
            ++orders[o.rows[0].description];
            for (const Upload &u : o.uploads) {
                QByteArray content;
                QVERIFY(store.uploadContent(u.storedName, &content));
                drawings.insert(o.rows[0].description, content);
            }
        }
        int acknowledged = 0;
        for (Customer *c : all) {
            acknowledged += c->acknowledged.size();
            for (const QString &d : qAsConst(c->acknowledged))
                QVERIFY2(orders.value(d) == 1, qPrintable(d));
            for (const QString &d : qAsConst(c->confirmedDrawings))
                QVERIFY2(drawings.contains(d), qPrintable(d));
        }
        for (auto it = drawings.cbegin(); it != drawings.cend(); ++it)
            QVERIFY2(it.value() == drawingFor(it.key()), qPrintable(it.key()));
        QVERIFY(acknowledged > 100);
        qDeleteAll(all);
    }

    void cleanupTestCase()
    {
        m_cluster.closeWriteChannel();
        if (!m_cluster.waitForFinished(30000))
            m_cluster.terminate();
        m_cluster.waitForFinished(10000);
    }
};

QTEST_GUILESS_MAIN(TestClusterFailover)
#include "tst_cluster_failover.moc"
