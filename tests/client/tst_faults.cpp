// The client against a peer that misbehaves: cut frames, dropped connections,
// replies split or glued together.
#include <QLabel>
#include <QTableWidget>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/mainwindow.h"
#include "app/message.h"
#include "putg/putgtab.h"
#include "snp/snptab.h"
#include "testpeer.h"
#include "wire.h"

namespace {
QByteArray item(quint8 code, const QByteArray &arg = QByteArray())
{
    return QByteArray(1, char(code)) + arg;
}

bool anyDialogSays(QWidget *w, const QString &text)
{
    for (Message *m : w->findChildren<Message *>())
        if (m->messageText() == text)
            return true;
    return false;
}
} // namespace

class TstFaults : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void replyInOneByteSegments();
    void twoRepliesInOneSegment();
    void droppedMidFrame();
    void droppedBetweenOrderAndReply();
    void droppedMidUpload();
    void garbageAfterValidItems();

private:
    void fillBasket(int rows, const QStringList &drawings);
    std::unique_ptr<TestPeer> peer;
    std::unique_ptr<QTcpSocket> socket;
    std::unique_ptr<MainWindow> window;
};

void TstFaults::init()
{
    peer = std::make_unique<TestPeer>();
    socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, peer->port());
    QVERIFY(socket->waitForConnected(5000));
    QVERIFY(peer->waitForConnection());
    window = std::make_unique<MainWindow>(socket.get(), "u", "p", nullptr,
                                          QVariantMap{{"SNP", true}, {"PUTG", true}, {"PUTGm", true}}, nullptr);
    window->show();
    QVERIFY(peer->waitForFrames(1));
}

void TstFaults::cleanup()
{
    window.reset();
    socket.reset();
    peer.reset();
}

void TstFaults::fillBasket(int rows, const QStringList &drawings)
{
    auto *basket = window->findChild<QTableWidget *>("Basket");
    basket->setRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 5; ++c)
            basket->setItem(r, c, new QTableWidgetItem(QString("r%1c%2").arg(r).arg(c)));
    window->ChertList = drawings;
}

void TstFaults::replyInOneByteSegments()
{
    const QByteArray frame = wire::frameBody(item(8, wire::encodeStringList({"D4", "D3", "D2", "D1"})));
    for (char c : frame) {
        peer->send(QByteArray(1, c));
        QTest::qWait(1);
    }
    QTRY_COMPARE(window->snpTab()->SNPD1, QString("D1"));
    QCOMPARE(window->snpTab()->SNPD4, QString("D4"));
}

void TstFaults::twoRepliesInOneSegment()
{
    peer->send(wire::frameBody(item(8, wire::encodeStringList({"4", "3", "2", "1"})))
               + wire::frameBody(item(16, wire::encodeStringList({"0", "39", "18", "0"}))));
    QTRY_COMPARE(window->putgTab()->PUTGD3, QString("39"));
    QCOMPARE(window->snpTab()->SNPD1, QString("1"));
    // The second frame's length bytes were not read as reply codes.
    QCOMPARE(window->putgTab()->PUTGD4, QString());
    QCOMPARE(window->findChild<QLabel *>("PUTG_s3")->text(), QString("39"));
}

void TstFaults::droppedMidFrame()
{
    const QByteArray frame = wire::frameBody(item(8, wire::encodeStringList({"D4", "D3", "D2", "D1"})));
    peer->send(frame.left(frame.size() / 2));
    QTest::qWait(50);
    peer->connection()->abort();
    QTRY_VERIFY(window->socket() == nullptr);
    QVERIFY(anyDialogSays(window.get(), "Ошибка: Сервер отключился."));
    QCOMPARE(window->snpTab()->SNPD1, QString());
}

void TstFaults::droppedBetweenOrderAndReply()
{
    fillBasket(2, {"", ""});
    window->SlotSendToServer(quint8(12), QList<QString>({"a", "1", "", "", "d", "b", "2", "", "", "e"}));
    QVERIFY(peer->waitForFrames(2));
    peer->connection()->abort();
    QTRY_VERIFY(window->socket() == nullptr);
    QVERIFY(anyDialogSays(window.get(), "Ошибка: Сервер отключился."));
    auto *basket = window->findChild<QTableWidget *>("Basket");
    QCOMPARE(basket->rowCount(), 2);
    QCOMPARE(basket->item(1, 4)->text(), QString("r1c4"));
    QCOMPARE(window->ChertList.size(), 2);
}

void TstFaults::droppedMidUpload()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.dwg");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < 32; ++i)
            f.write(block);
    }
    fillBasket(1, {path});
    window->SlotSendToServer(quint8(12), QList<QString>({"a", "1", "", "big.dwg", "d"}));
    QVERIFY(peer->waitForFrames(2));
    peer->reply(item(13));
    QVERIFY(peer->waitForFrames(3)); // the upload header
    QCOMPARE(TestPeer::code(peer->frames[2]), quint8(3));
    peer->connection()->abort();
    QTRY_VERIFY(window->socket() == nullptr);
    QVERIFY(!window->uploadRunning());
    QVERIFY(anyDialogSays(window.get(), "Ошибка: Сервер отключился."));
    // The drawing never arrived whole: the list stays for a new attempt.
    QCOMPARE(window->findChild<QTableWidget *>("Basket")->rowCount(), 1);
    QCOMPARE(window->ChertList, QStringList({path}));
}

void TstFaults::garbageAfterValidItems()
{
    // A list that claims 2^31 strings inside a short frame is refused whole;
    // what came before it in the body still counts.
    QByteArray body = item(16, wire::encodeStringList({"0", "40", "20", "0"}));
    body.append(char(8));
    body.append(QByteArray::fromHex("80000000" "00000000" "00000000"));
    peer->reply(body);
    QTRY_COMPARE(window->putgTab()->PUTGD3, QString("40"));
    QCOMPARE(window->snpTab()->SNPD1, QString());
    // The connection still works afterwards.
    peer->reply(item(8, wire::encodeStringList({"4", "3", "2", "1"})));
    QTRY_COMPARE(window->snpTab()->SNPD1, QString("1"));
}

QTEST_MAIN(TstFaults)
#include "tst_faults.moc"
