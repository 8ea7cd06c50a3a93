// The whole road of a customer against the real server: login, tables,
// lookups, orders with drawings, questionnaires; then what the store holds.
#include "serverharness.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtTest>

using harness::Client;

namespace {

QByteArray randomBytes(int n, quint32 seed)
{
    QRandomGenerator g(seed);
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char(g.bounded(256));
    return b;
}

QStringList orderCells()
{
    return {QStringLiteral("СНП-А-1-15-1,6-ГОСТ Р 52376-2005"), QStringLiteral("10"), QStringLiteral("15"),
            QStringLiteral("plan.pdf"), QStringLiteral("Прокладка спирально-навитая; \"тип А\""),
            QStringLiteral("ПУТГ-А-100-40"), QStringLiteral("2"), QStringLiteral("100"), QString(),
            QStringLiteral("Прокладка из терморасширенного графита"),
            QStringLiteral("ПУТГм-Б-50"), QStringLiteral("1"), QString(), QStringLiteral("scheme.dwg"),
            QStringLiteral("=cmd|' /C calc'!A0")};
}

QVariantMap questionnaire()
{
    QVariantMap m;
    const char *texts[] = {"name_predpe", "fio", "e-mail", "city", "dolzhn", "tel", "name_teh", "oborud", "uplotn",
                           "predpr_potr", "zavod_izg", "razrab", "davl_rab_", "sreda_sostav", "sreda_sostav_trub",
                           "sreda_sostav_mezhtrub", "pro4ee", "srok", "tip_soed", "naim_soed", "rad", "isStandart",
                           "D_", "D1", "D2", "d", "h1", "h2", "Dnar", "Dvn", "h", "standart", "Dy", "Py", "material",
                           "diametr", "diametr_", "smazka", "nomer", "mat_bolt", "kreplenie", "dop_info", "file_name"};
    int i = 0;
    for (const char *k : texts)
        m.insert(QLatin1String(k), QStringLiteral("значение %1 ").arg(i++));
    m.insert(QStringLiteral("tel"), QString());
    m.insert(QStringLiteral("file_name"), QStringLiteral("scheme.pdf"));
    for (const char *k : {"perepad_ot", "perepad_do", "perepad_ot_trub", "perepad_do_mezhtrub", "count_of_bolt"})
        m.insert(QLatin1String(k), -40 + i++);
    for (const char *k : {"davl_rab", "davl_isp", "davl_rab_trub", "davl_rab_mezhtrub", "glubina", "glubina_pop",
                          "neploskostnost"})
        m.insert(QLatin1String(k), 0.1 * i++);
    for (const char *k : {"osob_sr1", "osob_sr2", "osob_sr3"})
        m.insert(QLatin1String(k), i++ % 2 == 0);
    return m;
}

} // namespace

class TestServerOrders : public QObject
{
    Q_OBJECT
    harness::Server m_server;

    // Logs in as demo and stores an order and a questionnaire, the requests
    // whose files follow them; opens the store and counts its files so far.
    void orderAndQuestionnaireStored(Client &c, Store *store, int *uploadsBefore)
    {
        QVERIFY(m_server.openStore(store));
        QVERIFY(c.connectTo(m_server.port()));
        QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        quint8 code = 0;
        QByteArray arg;
        c.send(wire::requestFrame(wire::OrderOffer, orderCells().mid(0, 5)));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));
        c.send(wire::requestFrame(wire::QuestionnaireRequest, questionnaire()));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::QuestionnaireStored));
        *uploadsBefore = store->uploads().size();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.start());
        QCOMPARE(m_server.command({QStringLiteral("--add-user"), QStringLiteral("putgonly"), QStringLiteral("pw"),
                                   QStringLiteral("--access"), QStringLiteral("PUTG")}),
                 0);
    }

    void wholeRoad()
    {
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));

        c.send(wire::requestFrame(wire::TablesRequest, QString(QLatin1String(""))));
        quint8 code = 0;
        QByteArray arg;
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::TablesReply));
        wire::Reader tables(arg);
        QVariantMap map;
        QVERIFY(tables.readMap(&map) && tables.atEnd());

        const QVariantMap lookup{{QStringLiteral("standard"), QStringLiteral("GOST128")}};
        const QList<QPair<quint8, quint8>> lookups{{wire::SnpRequest, wire::SnpReply},
                                                   {wire::SnpD2Request, wire::SnpD2Reply},
                                                   {wire::PutgRequest, wire::PutgReply},
                                                   {wire::PutgmRequest, wire::PutgmReply}};
        for (const auto &l : lookups) {
            c.send(wire::requestFrame(l.first, lookup));
            QVERIFY(c.item(&code, &arg));
            QCOMPARE(code, l.second);
            wire::Reader r(arg);
            QStringList list;
            QVERIFY(r.readStringList(&list) && r.atEnd());
        }

        const QStringList cells = orderCells();
        c.send(wire::requestFrame(wire::OrderInvoice, cells));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));
        QVERIFY(arg.isEmpty());

        // Drawings of rows 0 and 2, as the client sends them after reply 13.
        const QByteArray first = randomBytes(6145, 1);
        const QByteArray second = randomBytes(20000, 2);
        c.upload(QStringLiteral("plan.pdf"), first, QStringLiteral("0"));
        c.upload(QStringLiteral("scheme.dwg"), second, QStringLiteral("2"));

        Store store;
        QVERIFY(m_server.openStore(&store));
        QVERIFY(harness::waitFor([&] { return store.uploads().size() >= 2; }));
        const QList<Order> orders = store.orders();
        QCOMPARE(orders.size(), 1);
        const Order &o = orders.first();
        QCOMPARE(o.account, QStringLiteral("demo"));
        QCOMPARE(o.code, 12);
        QCOMPARE(o.rows.size(), 3);
        QStringList stored;
        for (const OrderRow &r : o.rows)
            stored << r.designation << r.quantity << r.size << r.drawing << r.description;
        for (int i = 0; i < cells.size(); ++i)
            QCOMPARE(stored.at(i), cells.at(i).isNull() ? QString(QLatin1String("")) : cells.at(i));

        QCOMPARE(o.uploads.size(), 2);
        QCOMPARE(o.uploads[0].clientName, QStringLiteral("plan.pdf"));
        QCOMPARE(o.uploads[0].rowIndex, QStringLiteral("0"));
        QCOMPARE(o.uploads[0].orderRowId, o.rows[0].id);
        QCOMPARE(o.uploads[1].clientName, QStringLiteral("scheme.dwg"));
        QCOMPARE(o.uploads[1].orderRowId, o.rows[2].id);
        QCOMPARE(o.uploads[0].size, qint64(first.size()));
        QVERIFY(m_server.storedFile(&store, o.uploads[0]) == first);
        QVERIFY(m_server.storedFile(&store, o.uploads[1]) == second);
        QCOMPARE(o.uploads[1].sha256, QString::fromLatin1(QCryptographicHash::hash(second, QCryptographicHash::Sha256).toHex()));

        // The operator sees it too.
        QString listing;
        QCOMPARE(m_server.command({QStringLiteral("--list-orders")}, &listing), 0);
        QVERIFY(listing.contains(cells[0]) && listing.contains(QStringLiteral("scheme.dwg")));
        QString csv;
        QCOMPARE(m_server.command({QStringLiteral("--export-order"), QString::number(o.id)}, &csv), 0);
        const QStringList lines = csv.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[1].contains(QStringLiteral("\"Прокладка спирально-навитая; \"\"тип А\"\"\"")));
        QVERIFY(lines[1].contains(o.uploads[0].storedName));
        // A formula in a cell is not run by a spreadsheet.
        QVERIFY(lines[3].contains(QStringLiteral("'=cmd")));
        // The drawings themselves, wherever the store keeps them; only recorded names.
        const QString exported = QDir(m_server.dataDir()).filePath(QStringLiteral("../exported"));
        QCOMPARE(m_server.command({QStringLiteral("--export-file"), o.uploads[1].storedName, QStringLiteral("--out"), exported}), 0);
        QFile back(exported);
        QVERIFY(back.open(QIODevice::ReadOnly) && back.readAll() == second);
        QVERIFY(m_server.command({QStringLiteral("--export-file"), QStringLiteral("../vintaro.sqlite")}) != 0);

        // An export that cannot be written is a failure, to a file or to stdout.
        QVERIFY(m_server.command({QStringLiteral("--export-order"), QString::number(o.id), QStringLiteral("--out"),
                                  QStringLiteral("/dev/full")}) != 0);
        QProcess toFull;
        toFull.setStandardOutputFile(QStringLiteral("/dev/full"));
        toFull.start(harness::serverBinary(), m_server.baseArgs() << QStringLiteral("--export-order") << QString::number(o.id));
        QVERIFY(toFull.waitForFinished(60000));
        QVERIFY(toFull.exitCode() != 0);
        // One operator command per call: the second would be skipped unseen.
        QVERIFY(m_server.command({QStringLiteral("--list-orders"), QStringLiteral("--export-order"), QString::number(o.id)}) != 0);
    }

    void orderReplies_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("cells");
        QTest::addColumn<bool>("login");
        QTest::addColumn<int>("reply");
        QTest::addColumn<bool>("stored");
        QTest::newRow("invoice") << 12 << 5 << true << 13 << true;
        QTest::newRow("offer") << 21 << 10 << true << 13 << true;
        QTest::newRow("pdf") << 22 << 5 << true << 25 << true;
        QTest::newRow("xls") << 23 << 5 << true << 25 << true;
        QTest::newRow("ods") << 24 << 15 << true << 25 << true;
        QTest::newRow("cells not 5 per row") << 12 << 7 << true << 14 << false;
        QTest::newRow("empty list") << 21 << 0 << true << 14 << false;
        QTest::newRow("before login") << 12 << 5 << false << 14 << false;
        QTest::newRow("quantity not whole") << 12 << 10 << true << 14 << false;
    }

    void orderReplies()
    {
        QFETCH(int, code);
        QFETCH(int, cells);
        QFETCH(bool, login);
        QFETCH(int, reply);
        QFETCH(bool, stored);
        Store store;
        QVERIFY(m_server.openStore(&store));
        const int before = store.orders().size();
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        if (login)
            QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        QStringList list;
        for (int i = 0; i < cells; ++i)
            list << (i % 5 == 1 ? QString::number(i) : QStringLiteral("ячейка %1").arg(i));
        if (QByteArray(QTest::currentDataTag()) == "quantity not whole")
            list[6] = QStringLiteral("2 шт.");
        c.send(wire::requestFrame(quint8(code), list));
        quint8 got = 0;
        QByteArray arg;
        QVERIFY(c.item(&got, &arg));
        QCOMPARE(int(got), reply);
        QCOMPARE(store.orders().size(), before + (stored ? 1 : 0));
        if (stored) {
            const Order o = store.orders().last();
            QCOMPARE(o.code, code);
            QCOMPARE(o.rows.size(), cells / 5);
            QCOMPARE(o.rows.last().description, list.last());
        }
    }

    // Requests that arrive back to back, many to one read, are each answered
    // in turn and each stored.
    void pipelinedOrdersAllStored()
    {
        Store store;
        QVERIFY(m_server.openStore(&store));
        const int before = store.orders().size();
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QStringList cells;
        for (int row = 0; row < 150; ++row)
            cells << QStringLiteral("СНП-А-%1-").arg(row) + QString(100, QChar(0x0416)) << QString::number(row + 1)
                  << QStringLiteral("15") << QString() << QStringLiteral("ряд %1").arg(row);
        const QByteArray frame = wire::requestFrame(wire::OrderInvoice, cells);
        QVERIFY(frame.size() > 35000 && wire::fitsOnWire(frame));
        // Sent with the login, they fill the server's read buffer while the
        // password is checked.
        QByteArray all = wire::requestFrame(wire::Login, wire::loginText(QStringLiteral("demo"), QStringLiteral("demo123")));
        for (int i = 0; i < 20; ++i)
            all += frame;
        c.send(all);
        QString text;
        QVERIFY(c.loginReply(&text));
        for (int i = 0; i < 20; ++i) {
            quint8 code = 0;
            QByteArray arg;
            QVERIFY2(c.item(&code, &arg), qPrintable(QString::number(i)));
            QCOMPARE(int(code), int(wire::OrderAccepted));
        }
        QCOMPARE(store.orders().size(), before + 20);
    }

    void drawingsNeedTheirOrderRow()
    {
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        Store store;
        QVERIFY(m_server.openStore(&store));
        const int before = store.uploads().size();
        // No order on this connection yet: the bytes are read and dropped.
        c.upload(QStringLiteral("early.pdf"), randomBytes(3000, 3), QStringLiteral("0"));
        c.send(wire::requestFrame(wire::OrderInvoice, orderCells().mid(0, 5)));
        quint8 code = 0;
        QByteArray arg;
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));
        // Row 1 does not exist in a one-row order; row 0 does.
        c.upload(QStringLiteral("wrong-row.pdf"), randomBytes(100, 4), QStringLiteral("1"));
        c.upload(QStringLiteral("minus.pdf"), randomBytes(100, 5), QStringLiteral("-0"));
        c.upload(QStringLiteral("right.pdf"), randomBytes(100, 6), QStringLiteral("0"));
        QVERIFY(harness::waitFor([&] { return store.uploads().size() > before; }));
        // The stream stayed in step through the dropped files.
        c.send(wire::requestFrame(wire::OrderOffer, orderCells().mid(0, 5)));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));
        const QList<Upload> all = store.uploads();
        QCOMPARE(all.size(), before + 1);
        QCOMPARE(all.last().clientName, QStringLiteral("right.pdf"));
    }

    void questionnaireFromMainWindow()
    {
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QVERIFY(c.login(QStringLiteral("putgonly"), QStringLiteral("pw")));
        QVariantMap sent = questionnaire();
        // A line of free text that looks like another field.
        sent.insert(QStringLiteral("dop_info"), QStringLiteral("Среда агрессивная\ne-mail = other@x.ru"));
        c.send(wire::requestFrame(wire::QuestionnaireRequest, sent));
        quint8 code = 0;
        QByteArray arg;
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::QuestionnaireStored));
        const QByteArray drawing = randomBytes(5000, 7);
        c.upload(QStringLiteral("/data/scheme.pdf"), drawing);

        Store store;
        QVERIFY(m_server.openStore(&store));
        QVERIFY(harness::waitFor([&] {
            const auto u = store.uploads();
            return !u.isEmpty() && u.last().clientName == QStringLiteral("scheme.pdf");
        }));
        const Upload u = store.uploads().last();
        QVERIFY(u.questionnaireId > 0);
        QCOMPARE(u.kind, 4);
        QVERIFY(m_server.storedFile(&store, u) == drawing);
        QString listing;
        QCOMPARE(m_server.command({QStringLiteral("--list-questionnaires")}, &listing), 0);
        QVERIFY(listing.contains(QStringLiteral("account putgonly")) && listing.contains(u.storedName));
        QCOMPARE(m_server.command({QStringLiteral("--show-questionnaire"), QString::number(u.questionnaireId)}, &listing), 0);
        QVERIFY(listing.contains(QStringLiteral("file_name = scheme.pdf")));
        QVERIFY(listing.contains(QStringLiteral("dop_info = Среда агрессивная\n    e-mail = other@x.ru\n")));
        QVERIFY(!listing.contains(QStringLiteral("\ne-mail = other@x.ru")));
        const QVariantMap back = store.questionnaire(u.questionnaireId);
        QCOMPARE(back.size(), sent.size());
        for (auto it = sent.cbegin(); it != sent.cend(); ++it) {
            QVERIFY2(back.contains(it.key()), qPrintable(it.key()));
            QCOMPARE(back.value(it.key()).userType(), it.value().userType());
            QCOMPARE(back.value(it.key()).toString(), it.value().toString());
        }
    }

    void filesAfterRefusedRequestsAreDropped()
    {
        // The client sends an order's drawings or a questionnaire's file right
        // behind it; when that request was refused, the file must not end up
        // with the order or questionnaire stored before it.
        Client c;
        Store store;
        int before = 0;
        orderAndQuestionnaireStored(c, &store, &before);
        if (QTest::currentTestFailed())
            return;
        quint8 code = 0;
        QByteArray arg;

        c.send(wire::requestFrame(wire::OrderOffer, orderCells().mid(0, 4)));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderFailed));
        c.upload(QStringLiteral("for-refused-order.pdf"), randomBytes(300, 10), QStringLiteral("0"));
        c.send(wire::requestFrame(wire::QuestionnaireRequest, QVariantMap()));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::QuestionnaireFailed));
        c.upload(QStringLiteral("for-refused-questionnaire.pdf"), randomBytes(300, 11));

        // A stored order after them: the stream stayed in step and both files were read.
        c.send(wire::requestFrame(wire::OrderOffer, orderCells().mid(0, 5)));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));
        QCOMPARE(store.uploads().size(), before);
        // Its own drawing is kept as before.
        c.upload(QStringLiteral("for-new-order.pdf"), randomBytes(300, 12), QStringLiteral("0"));
        QVERIFY(harness::waitFor([&] { return store.uploads().size() == before + 1; }));
        QCOMPARE(store.uploads().last().clientName, QStringLiteral("for-new-order.pdf"));
    }

    void filesFollowTheAccountNowLoggedIn()
    {
        // Files behind a new login on the same connection belong to the new
        // account: never to the order or questionnaire of the one before.
        QCOMPARE(m_server.command({QStringLiteral("--add-user"), QStringLiteral("second"), QStringLiteral("pw2")}), 0);
        Client c;
        Store store;
        int before = 0;
        orderAndQuestionnaireStored(c, &store, &before);
        if (QTest::currentTestFailed())
            return;
        quint8 code = 0;
        QByteArray arg;

        QVERIFY(c.login(QStringLiteral("second"), QStringLiteral("pw2")));
        c.upload(QStringLiteral("second-drawing.pdf"), randomBytes(300, 20), QStringLiteral("0"));
        c.upload(QStringLiteral("second-file.pdf"), randomBytes(300, 21));
        // A wrong login ends the session as well.
        QVERIFY(!c.login(QStringLiteral("second"), QStringLiteral("wrong")));
        c.upload(QStringLiteral("after-wrong-login.pdf"), randomBytes(300, 22));
        QVERIFY(c.login(QStringLiteral("second"), QStringLiteral("pw2")));
        c.send(wire::requestFrame(wire::OrderOffer, orderCells().mid(0, 5)));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));
        const QList<Upload> all = store.uploads();
        for (int i = before; i < all.size(); ++i) {
            QVERIFY2(all.at(i).orderId <= 0 && all.at(i).questionnaireId <= 0, qPrintable(all.at(i).clientName));
            QVERIFY(all.at(i).clientName != QStringLiteral("after-wrong-login.pdf"));
        }
    }

    void questionnaireWithoutFileTakesNone()
    {
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        Store store;
        QVERIFY(m_server.openStore(&store));
        QVariantMap sent = questionnaire();
        sent.insert(QStringLiteral("file_name"), QString());
        c.send(wire::requestFrame(wire::QuestionnaireRequest, sent));
        quint8 code = 0;
        QByteArray arg;
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::QuestionnaireStored));
        c.upload(QStringLiteral("unasked.pdf"), randomBytes(300, 23));
        c.send(wire::requestFrame(wire::OrderOffer, orderCells().mid(0, 5)));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));
        for (const Upload &u : store.uploads())
            QVERIFY(u.clientName != QStringLiteral("unasked.pdf") || u.questionnaireId <= 0);
    }

    void disabledAccountLosesItsSession()
    {
        QCOMPARE(m_server.command({QStringLiteral("--add-user"), QStringLiteral("leaving"), QStringLiteral("pw")}), 0);
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QVERIFY(c.login(QStringLiteral("leaving"), QStringLiteral("pw")));
        quint8 code = 0;
        QByteArray arg;
        c.send(wire::requestFrame(wire::OrderOffer, orderCells().mid(0, 5)));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));
        QCOMPARE(m_server.command({QStringLiteral("--disable-user"), QStringLiteral("leaving")}), 0);
        c.send(wire::requestFrame(wire::OrderOffer, orderCells().mid(0, 5)));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderFailed));
        c.send(wire::requestFrame(wire::QuestionnaireRequest, questionnaire()));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::QuestionnaireFailed));
        // Enabled again, the old session stays ended: a new login is needed.
        QCOMPARE(m_server.command({QStringLiteral("--enable-user"), QStringLiteral("leaving")}), 0);
        c.send(wire::requestFrame(wire::OrderOffer, orderCells().mid(0, 5)));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderFailed));
        QVERIFY(c.login(QStringLiteral("leaving"), QStringLiteral("pw")));
        c.send(wire::requestFrame(wire::OrderOffer, orderCells().mid(0, 5)));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));
    }

    // Orders without a login count as bad requests: each is answered, and
    // the one past the limit is answered before the connection is closed.
    void ordersWithoutLoginAnsweredThenDropped()
    {
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QByteArray burst;
        for (int i = 0; i < 25; ++i)
            burst += wire::requestFrame(wire::OrderOffer, orderCells().mid(0, 5));
        c.send(burst);
        int failed = 0;
        quint8 code = 0;
        QByteArray arg;
        while (c.item(&code, &arg, 5000)) {
            QCOMPARE(code, quint8(wire::OrderFailed));
            ++failed;
        }
        QCOMPARE(failed, 21);
        QVERIFY(c.closedByServer());
    }

    void questionnaireFromLoginWindow()
    {
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        Store store;
        QVERIFY(m_server.openStore(&store));
        const int before = store.questionnaireCount();
        c.send(wire::requestFrame(wire::QuestionnaireBeforeLogin, questionnaire()));
        QString text;
        QVERIFY(c.loginReply(&text));
        QCOMPARE(text, QStringLiteral("Опросный лист отправлен."));
        QCOMPARE(store.questionnaireCount(), before + 1);
        // Its file follows through the login window and is kept with it.
        const QByteArray drawing = randomBytes(1500, 8);
        c.upload(QStringLiteral("C:/dir/opros.pdf"), drawing);
        QVERIFY(harness::waitFor([&] {
            const auto u = store.uploads();
            return !u.isEmpty() && u.last().clientName == QStringLiteral("opros.pdf");
        }));
        QVERIFY(store.uploads().last().questionnaireId > 0);
        QCOMPARE(store.uploads().last().accountId, qint64(0));
        // A questionnaire carries one file: a second one is not filed with it.
        const int kept = store.uploads().size();
        c.upload(QStringLiteral("second.pdf"), randomBytes(700, 13));
        // A stranger's file with neither login nor questionnaire is not kept.
        Client stranger;
        QVERIFY(stranger.connectTo(m_server.port()));
        const int files = store.uploads().size();
        stranger.upload(QStringLiteral("junk.bin"), randomBytes(1000, 9));
        QVERIFY(stranger.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        QCOMPARE(store.uploads().size(), files);
        // Code 9 is for logged-in customers only.
        c.send(wire::requestFrame(wire::QuestionnaireRequest, questionnaire()));
        quint8 code = 0;
        QByteArray arg;
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::QuestionnaireFailed));
        QCOMPARE(store.questionnaireCount(), before + 1);
        QCOMPARE(store.uploads().size(), kept);
    }

    void twoServersShareOneStore()
    {
        // A second instance on the same store: one schema, one demo account,
        // and orders through both land in the one store.
        harness::Server a, b;
        b.shareStoreWith(a);
        QVERIFY(a.start());
        QVERIFY(b.start());
        Client ca, cb;
        QVERIFY(ca.connectTo(a.port()));
        QVERIFY(cb.connectTo(b.port()));
        QVERIFY(ca.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        QVERIFY(cb.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        const QStringList row{QStringLiteral("a"), QStringLiteral("1"), QStringLiteral("2"), QString(), QStringLiteral("b")};
        for (int i = 0; i < 10; ++i) {
            ca.send(wire::requestFrame(wire::OrderInvoice, row));
            cb.send(wire::requestFrame(wire::OrderOffer, row));
        }
        int acknowledged = 0;
        quint8 code = 0;
        QByteArray arg;
        for (int i = 0; i < 10; ++i) {
            QVERIFY(ca.item(&code, &arg));
            acknowledged += code == wire::OrderAccepted;
            QVERIFY(cb.item(&code, &arg));
            acknowledged += code == wire::OrderAccepted;
        }
        QCOMPARE(acknowledged, 20);
        Store store;
        QVERIFY(a.openStore(&store));
        QCOMPARE(store.orders().size(), 20);
        QCOMPARE(store.accountCount(), 1);
        QCOMPARE(store.schemaVersion(), Store::latestSchemaVersion());
    }

    void databaseConnectionLost()
    {
        if (!harness::usingPostgres())
            QSKIP("needs PostgreSQL (VINTARO_TEST_PG_URL): SQLite has no connection to lose");
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        Store store;
        QVERIFY(m_server.openStore(&store));
        const int before = store.orders().size();
        {
            // Cut every other session to this database, as a restart would.
            const QUrl url(m_server.dbUrl());
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("killer"));
            db.setHostName(url.host());
            db.setPort(url.port(5432));
            db.setUserName(url.userName());
            db.setPassword(url.password());
            db.setDatabaseName(url.path().mid(1));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                                          " WHERE datname = current_database() AND pid <> pg_backend_pid()")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("killer"));
        // A login is only a read: it goes through at once on a new link.
        Client late;
        QVERIFY(late.connectTo(m_server.port()));
        QVERIFY(late.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        const QStringList row{QStringLiteral("a"), QStringLiteral("1"), QStringLiteral("2"), QString(), QStringLiteral("b")};
        quint8 code = 0;
        QByteArray arg;
        // The first order may meet the dead link: then it is refused, never
        // falsely acknowledged. The next one goes through a new link.
        c.send(wire::requestFrame(wire::OrderInvoice, row));
        QVERIFY(c.item(&code, &arg));
        QVERIFY(code == wire::OrderAccepted || code == wire::OrderFailed);
        const int firstStored = code == wire::OrderAccepted ? 1 : 0;
        qInfo("first order after the cut: reply %d", int(code));
        c.send(wire::requestFrame(wire::OrderInvoice, row));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));
        Store fresh;
        QVERIFY(m_server.openStore(&fresh));
        QCOMPARE(fresh.orders().size(), before + firstStored + 1);
    }

    void lookupsFollowAccess()
    {
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        // Before the login nothing but an empty answer.
        c.send(wire::requestFrame(wire::PutgRequest, QVariantMap{{QStringLiteral("a"), 1}}));
        quint8 code = 0;
        QByteArray arg;
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::PutgReply));
        QCOMPARE(arg, wire::encodeStringList({}));
        QVERIFY(c.login(QStringLiteral("putgonly"), QStringLiteral("pw")));
        c.send(wire::requestFrame(wire::SnpRequest, QVariantMap{{QStringLiteral("a"), 1}}));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::SnpReply));
        QCOMPARE(arg, wire::encodeStringList({}));
    }
};

QTEST_GUILESS_MAIN(TestServerOrders)
#include "tst_server_orders.moc"
