// A server killed between an order and its reply keeps the order whole or
// not at all; an acknowledged order is always there after a restart.
#include "serverharness.h"

#include <QtTest>

using harness::Client;

namespace {

QStringList bigOrder(int rows, int seed)
{
    QStringList cells;
    for (int r = 0; r < rows; ++r)
        cells << QStringLiteral("СНП-%1-%2").arg(seed).arg(r) << QString::number(r + 1) << QStringLiteral("15")
              << QString() << QStringLiteral("Описание строки %1").arg(r);
    return cells;
}

// Every stored order must have all of its rows, in order, as sent, and its
// two messages (to the order desk, and the demo customer's note) in the outbox.
void checkWhole(Store &store, int rows, int *ordersFound)
{
    const QList<Order> orders = store.orders();
    *ordersFound = orders.size();
    QCOMPARE(store.mail(true).size(), 2 * orders.size());
    for (const Order &o : orders) {
        QCOMPARE(o.rows.size(), rows);
        for (int i = 0; i < o.rows.size(); ++i) {
            QCOMPARE(o.rows[i].index, i);
            QCOMPARE(o.rows[i].description, QStringLiteral("Описание строки %1").arg(i));
        }
    }
}

} // namespace

class TestServerCrash : public QObject
{
    Q_OBJECT

private slots:
    void crashPoints_data()
    {
        QTest::addColumn<QString>("point");
        QTest::addColumn<int>("expectOrders");
        QTest::newRow("half of the rows written") << "order-rows" << 0;
        QTest::newRow("committed, reply not sent") << "order-committed" << 1;
    }

    void crashPoints()
    {
        QFETCH(QString, point);
        QFETCH(int, expectOrders);
        harness::Server server;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VINTARO_CRASH_POINT"), point);
        QVERIFY(server.start({}, env));
        Client c;
        QVERIFY(c.connectTo(server.port()));
        QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        c.send(wire::requestFrame(wire::OrderInvoice, bigOrder(40, 1)));
        quint8 code = 0;
        QByteArray arg;
        // No acknowledgement: the process died first.
        QVERIFY(!c.item(&code, &arg, 5000));
        QVERIFY(harness::waitFor([&] { return !server.running(); }));
        QVERIFY(server.start());
        Store store;
        QVERIFY(server.openStore(&store));
        int found = -1;
        checkWhole(store, 40, &found);
        QCOMPARE(found, expectOrders);
        // The restarted server takes orders as before.
        Client again;
        QVERIFY(again.connectTo(server.port()));
        QVERIFY(again.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        again.send(wire::requestFrame(wire::OrderInvoice, bigOrder(40, 2)));
        QVERIFY(again.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));
        checkWhole(store, 40, &found);
        QCOMPARE(found, expectOrders + 1);
    }

    void killedAtRandomMoments()
    {
        // SIGKILL at spread-out moments after a stream of orders: each order
        // is whole or absent, and every acknowledged one is there.
        harness::Server server;
        const int rows = 300;
        const int waits[] = {0, 2, 5, 9, 15, 25};
        int storedBefore = 0;
        for (int round = 0; round < 6; ++round) {
            QVERIFY(server.start());
            Client c;
            QVERIFY(c.connectTo(server.port()));
            QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
            for (int i = 0; i < 5; ++i)
                c.send(wire::requestFrame(wire::OrderInvoice, bigOrder(rows, round * 10 + i)));
            QTest::qWait(waits[round]);
            server.kill();
            int acknowledged = 0;
            quint8 code = 0;
            QByteArray arg;
            while (c.item(&code, &arg, 500))
                acknowledged += code == wire::OrderAccepted ? 1 : 0;

            Store store;
            QVERIFY(server.openStore(&store));
            int found = -1;
            checkWhole(store, rows, &found);
            const int stored = found - storedBefore;
            storedBefore = found;
            qInfo("round %d: %d of 5 stored, %d acknowledged", round, stored, acknowledged);
            QVERIFY(stored >= acknowledged && stored <= 5);
            store.close();
        }
    }
};

QTEST_GUILESS_MAIN(TestServerCrash)
#include "tst_server_crash.moc"
