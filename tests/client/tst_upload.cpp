// Uploads from the main window: single files, the drawing chain after an
// accepted order, and files that cannot be read or change while being sent.
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

#include <functional>

#include "net/netstatus.h"
#include "order_helpers.h"
#include "wire.h"

using namespace orderfx;

namespace {
struct Header
{
    quint8 code = 0;
    QString name;
    qint64 size = -1;
    QString index;
};

Header header(const QByteArray &body)
{
    Header h;
    h.code = TestPeer::code(body);
    wire::Reader r = TestPeer::argument(body);
    r.readString(&h.name);
    r.readI64(&h.size);
    if (h.code == wire::UploadRowFile)
        r.readString(&h.index);
    return h;
}

QList<qint64> expectedChunks(qint64 size)
{
    QList<qint64> l;
    for (qint64 left = size; left > 0; left -= 6144)
        l << qMin<qint64>(6144, left);
    return l;
}
// Turns the event loop one pass at a time: a whole drawing can go up within
// the 50 ms that QTRY_VERIFY waits between its checks.
bool passesUntil(const std::function<bool()> &done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents();
    }
    return true;
}

} // namespace

class TstUpload : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { vintaroInitResources(); }
    void init();
    void cleanup();

    void singleFile_data();
    void singleFile();
    void drawingsOnRowsZeroAndTwo();
    void attachmentProgressText();
    void secondSendFileHasNoEffect();
    void requestDuringUploadWaitsForTheFile();
    void chainKeepsTheRowsAsSent();
    void repeatedAcceptanceUploadsOnce();
    void listEditedBeforeAcceptance();
    void acceptanceDuringAFileWaitsForIt();
    void unreadableDrawingStopsChain_data();
    void unreadableDrawingStopsChain();
    void fileChangesWhileSent_data();
    void fileChangesWhileSent();
    void drawingsGoUpEvenWithoutDialog();
    void noSocketNoUpload();

private:
    // Three rows; the given rows carry a drawing of the given sizes.
    QStringList orderWithDrawings(const QMap<int, qint64> &drawings);
    void sendOrderAndAccept();
    void sendOrder(int before = 1);
    void sendOrderAndAcceptAfter(int before);
    Rig rig;
    Answers answers;
    QTemporaryDir dir;
};

void TstUpload::init()
{
    QVERIFY(dir.isValid());
    answers = Answers();
    answers.install();
    QVERIFY(rig.open());
}

void TstUpload::cleanup()
{
    rig.close();
    Answers::uninstall();
}

void TstUpload::singleFile_data()
{
    QTest::addColumn<qint64>("size");
    QTest::newRow("empty") << qint64(0);
    QTest::newRow("one byte") << qint64(1);
    QTest::newRow("one chunk") << qint64(6144);
    QTest::newRow("one chunk and a byte") << qint64(6145);
    QTest::newRow("several") << qint64(20000);
}

void TstUpload::singleFile()
{
    QFETCH(qint64, size);
    MainWindow *w = rig.window.get();
    const QString path = writeFile(dir.path(), "single.bin", size);
    QSignalSpy written(rig.socket.get(), &QTcpSocket::bytesWritten);

    w->sendFile(path);
    QVERIFY(rig.peer->waitForFrames(2));
    QTRY_VERIFY(!w->uploadRunning());
    QTRY_COMPARE(rig.peer->rawData.size(), int(size));
    QCOMPARE(rig.peer->rawData, contents(path));

    const Header h = header(rig.peer->frames.at(1));
    QCOMPARE(int(h.code), 4);
    QCOMPARE(h.name, QString("single.bin"));
    QCOMPARE(h.size, size);
    QCOMPARE(rig.peer->frames.size(), 2);

    // The header leaves first, then one write per chunk, each after the last.
    QList<qint64> chunks;
    for (int i = 1; i < written.size(); ++i)
        chunks << written.at(i).at(0).toLongLong();
    QCOMPARE(chunks, expectedChunks(size));

    bool done = false;
    for (Message *m : w->findChildren<Message *>())
        done = done || (m->messageText() == "Все данные отправлены на сервер." && m->isCloseEnabled());
    QVERIFY(done);
    QCOMPARE(w->statusDialog(), nullptr);
}

QStringList TstUpload::orderWithDrawings(const QMap<int, qint64> &drawings)
{
    MainWindow *w = rig.window.get();
    QStringList paths;
    for (int r = 0; r < 3; ++r) {
        if (drawings.contains(r)) {
            const QString path = writeFile(dir.path(), QString("row%1.dwg").arg(r), drawings.value(r), char('a' + r));
            answers.files << path;
            press(w, w->putgTab(), "PUTG_AddChert", &MainWindow::on_PUTG_AddChert_clicked);
            paths << path;
        } else {
            paths << QString();
        }
        addPutg(w, QString("ПУТГ-%1").arg(r), "1", "10", "20", "d");
    }
    return paths;
}

void TstUpload::sendOrderAndAccept()
{
    sendOrderAndAcceptAfter(1);
}

// `before`: frames the peer holds before the order.
void TstUpload::sendOrder(int before)
{
    MainWindow *w = rig.window.get();
    w->findChild<QPushButton *>("To_Basket")->click();
    answers.boxes << QMessageBox::Yes;
    w->findChild<QPushButton *>("Send_List")->click();
    QVERIFY(rig.peer->waitForFrames(before + 1));
    QCOMPARE(int(TestPeer::code(rig.peer->frames.at(before))), 12);
}

void TstUpload::sendOrderAndAcceptAfter(int before)
{
    sendOrder(before);
    if (QTest::currentTestFailed())
        return;
    rig.peer->reply(QByteArray(1, char(wire::OrderAccepted)));
}

void TstUpload::drawingsOnRowsZeroAndTwo()
{
    MainWindow *w = rig.window.get();
    const QStringList paths = orderWithDrawings({{0, 7000}, {2, 13000}});
    QCOMPARE(w->ChertList, paths);
    sendOrderAndAccept();

    QVERIFY(rig.peer->waitForFrames(4));
    const Header first = header(rig.peer->frames.at(2));
    const Header second = header(rig.peer->frames.at(3));
    QCOMPARE(int(first.code), 3);
    QCOMPARE(first.name, QString("row0.dwg"));
    QCOMPARE(first.size, qint64(7000));
    QCOMPARE(first.index, QString("0"));
    QCOMPARE(int(second.code), 3);
    QCOMPARE(second.name, QString("row2.dwg"));
    QCOMPARE(second.size, qint64(13000));
    QCOMPARE(second.index, QString("2"));
    QTRY_COMPARE(rig.basket()->rowCount(), 0);
    QTRY_COMPARE(rig.peer->rawData.size(), 20000);
    QCOMPARE(rig.peer->rawData, contents(paths[0]) + contents(paths[2]));
    QCOMPARE(rig.peer->frames.size(), 4);
    QVERIFY(w->ChertList.isEmpty());
    QCOMPARE(w->uploadPosition(), 0);
    QVERIFY(!w->uploadRunning());
    QVERIFY(!rig.basket()->isVisible());

    bool done = false;
    for (Message *m : w->findChildren<Message *>())
        done = done || (m->messageText() == "Все данные отправлены на сервер." && m->isCloseEnabled());
    QVERIFY(done);
    QCOMPARE(w->statusDialog(), nullptr);
}

void TstUpload::attachmentProgressText()
{
    MainWindow *w = rig.window.get();
    const QString path = writeFile(dir.path(), "plan.pdf", 30000);
    w->ChertList = QStringList({QString(), path});
    w->sendFile(path, 1);
    // Until the event loop sends the next chunk the progress text stands.
    QVERIFY(w->uploadRunning());
    QVERIFY(w->statusDialog());
    QCOMPARE(w->statusDialog()->messageText(), QString("Передача файла plan.pdf"));
    QVERIFY(!w->statusDialog()->isCloseEnabled());
    QVERIFY(rig.peer->waitForFrames(2));
    const Header h = header(rig.peer->frames.at(1));
    QCOMPARE(h.name, QString("plan.pdf"));
    QCOMPARE(h.index, QString("1"));
    QTRY_COMPARE(rig.peer->rawData.size(), 30000);
    // That was the last drawing: the list is emptied, nothing is sent twice.
    QTRY_VERIFY(w->ChertList.isEmpty());
    QTest::qWait(100);
    QCOMPARE(rig.peer->rawData.size(), 30000);
    QCOMPARE(rig.peer->frames.size(), 2);
}

void TstUpload::secondSendFileHasNoEffect()
{
    MainWindow *w = rig.window.get();
    const QString big = writeFile(dir.path(), "big.bin", 400000);
    const QString other = writeFile(dir.path(), "other.bin", 100, 'x');
    w->sendFile(big);
    QVERIFY(w->uploadRunning());
    w->sendFile(other);
    w->sendFile(other, 0);
    QTRY_VERIFY(!w->uploadRunning());
    QTRY_COMPARE(rig.peer->rawData.size(), 400000);
    QTest::qWait(100);
    QCOMPARE(rig.peer->frames.size(), 2);
    QCOMPARE(header(rig.peer->frames.at(1)).name, QString("big.bin"));
    QCOMPARE(rig.peer->rawData, contents(big));

    // Once idle again the window uploads the next file.
    w->sendFile(other);
    QVERIFY(rig.peer->waitForFrames(3));
    QTRY_COMPARE(rig.peer->rawData.size(), 400100);
    QCOMPARE(rig.peer->rawData.mid(400000), contents(other));
}

// The server reads exactly the announced bytes after a header: a request made
// meanwhile (a lookup, an order) must follow the file, not land inside it.
void TstUpload::requestDuringUploadWaitsForTheFile()
{
    MainWindow *w = rig.window.get();
    const QString big = writeFile(dir.path(), "big.bin", 400000);
    w->sendFile(big);
    QVERIFY(w->uploadRunning());
    w->SlotSendToServer(wire::TablesRequest, QString());
    QTRY_VERIFY(!w->uploadRunning());
    QVERIFY(rig.peer->waitForFrames(3));
    QCOMPARE(rig.peer->rawData, contents(big));
    QCOMPARE(int(TestPeer::code(rig.peer->frames.at(2))), int(wire::TablesRequest));
    QCOMPARE(w->statusDialog()->messageText(), QString("Отправка данных..."));

    // Likewise between the drawings of an order and after the last of them.
    const QStringList paths = orderWithDrawings({{0, 300000}, {1, 200000}});
    sendOrderAndAcceptAfter(3);
    QVERIFY(passesUntil([w] { return w->uploadRunning(); }));
    w->SlotSendToServer(wire::TablesRequest, QString());
    QTRY_COMPARE(rig.basket()->rowCount(), 0);
    QVERIFY(rig.peer->waitForFrames(7));
    QCOMPARE(header(rig.peer->frames.at(4)).index, QString("0"));
    QCOMPARE(header(rig.peer->frames.at(5)).index, QString("1"));
    QCOMPARE(int(TestPeer::code(rig.peer->frames.at(6))), int(wire::TablesRequest));
    QCOMPARE(rig.peer->rawData.mid(400000), contents(paths[0]) + contents(paths[1]));
}

// Rows deleted or added while the drawings go up do not shift them onto
// other rows of the order the server holds.
void TstUpload::chainKeepsTheRowsAsSent()
{
    MainWindow *w = rig.window.get();
    const QStringList paths = orderWithDrawings({{0, 300000}, {2, 5000}});
    sendOrderAndAccept();
    QVERIFY(passesUntil([w] { return w->uploadRunning(); }));
    rig.basket()->setCurrentCell(0, 0);
    QVERIFY(QMetaObject::invokeMethod(w, "on_List_Pos_Delete_Btn_clicked"));
    QCOMPARE(rig.basket()->rowCount(), 2);
    QTRY_COMPARE(rig.peer->rawData.size(), 305000);
    QVERIFY(rig.peer->waitForFrames(4));
    const Header second = header(rig.peer->frames.at(3));
    QCOMPARE(second.name, QString("row2.dwg"));
    QCOMPARE(second.index, QString("2"));
    QCOMPARE(rig.peer->rawData, contents(paths[0]) + contents(paths[2]));
}

void TstUpload::repeatedAcceptanceUploadsOnce()
{
    MainWindow *w = rig.window.get();
    const QStringList paths = orderWithDrawings({{0, 5000}, {1, 300000}});
    sendOrderAndAccept();
    // The answer comes again while the second drawing goes up.
    QVERIFY(rig.peer->waitForFrames(4));
    QVERIFY(w->uploadRunning());
    rig.peer->reply(QByteArray(1, char(wire::OrderAccepted)));
    QTRY_COMPARE(rig.basket()->rowCount(), 0);
    QTRY_COMPARE(rig.peer->rawData.size(), 305000);
    QTest::qWait(100);
    QCOMPARE(rig.peer->frames.size(), 4);
    QCOMPARE(rig.peer->rawData, contents(paths[0]) + contents(paths[1]));
}

void TstUpload::listEditedBeforeAcceptance()
{
    MainWindow *w = rig.window.get();
    const QStringList paths = orderWithDrawings({{1, 5000}});
    sendOrder();
    if (QTest::currentTestFailed())
        return;
    // Before the answer comes the user deletes the first row and adds a new
    // item with its own drawing; neither change went to the server.
    rig.basket()->setCurrentCell(0, 0);
    QVERIFY(QMetaObject::invokeMethod(w, "on_List_Pos_Delete_Btn_clicked"));
    const QString later = writeFile(dir.path(), "later.dwg", 3000, 'z');
    answers.files << later;
    press(w, w->putgTab(), "PUTG_AddChert", &MainWindow::on_PUTG_AddChert_clicked);
    addPutg(w, "ПУТГ-later", "7", "10", "20", "d");
    QCOMPARE(rig.basket()->rowCount(), 3);

    rig.peer->reply(QByteArray(1, char(wire::OrderAccepted)));
    QVERIFY(rig.peer->waitForFrames(3));
    const Header h = header(rig.peer->frames.at(2));
    QCOMPARE(int(h.code), 3);
    QCOMPARE(h.name, QString("row1.dwg"));
    QCOMPARE(h.index, QString("1"));
    QTRY_COMPARE(rig.peer->rawData.size(), 5000);
    QTRY_VERIFY(!w->uploadRunning());
    QTest::qWait(100);
    QCOMPARE(rig.peer->frames.size(), 3);
    QCOMPARE(rig.peer->rawData, contents(paths[1]));
    // The sent rows are gone; the item added since stays with its drawing.
    QTRY_COMPARE(rig.basket()->rowCount(), 1);
    QCOMPARE(cell(rig.basket(), 0, 0), QString("ПУТГ-later"));
    QCOMPARE(cell(rig.basket(), 0, 3), QString("later.dwg"));
    QCOMPARE(w->ChertList, QStringList{later});
}

void TstUpload::acceptanceDuringAFileWaitsForIt()
{
    // The order's answer comes while a questionnaire's file is still going up:
    // the drawings follow that file, and the window goes on working after.
    MainWindow *w = rig.window.get();
    const QStringList paths = orderWithDrawings({{1, 5000}});
    sendOrder();
    if (QTest::currentTestFailed())
        return;
    const QString big = writeFile(dir.path(), "scheme.pdf", 400000, 'q');
    w->sendFile(big);
    QVERIFY(w->uploadRunning());
    rig.peer->reply(QByteArray(1, char(wire::OrderAccepted)));
    QVERIFY(rig.peer->waitForFrames(4));
    QCOMPARE(int(header(rig.peer->frames.at(2)).code), 4);
    const Header drawing = header(rig.peer->frames.at(3));
    QCOMPARE(int(drawing.code), 3);
    QCOMPARE(drawing.name, QString("row1.dwg"));
    QCOMPARE(drawing.index, QString("1"));
    QTRY_COMPARE(rig.peer->rawData.size(), 405000);
    QCOMPARE(rig.peer->rawData, contents(big) + contents(paths[1]));
    QTRY_COMPARE(rig.basket()->rowCount(), 0);
    w->SlotSendToServer(wire::TablesRequest, QString());
    QVERIFY(rig.peer->waitForFrames(5));
    QCOMPARE(int(TestPeer::code(rig.peer->frames.at(4))), int(wire::TablesRequest));
}

void TstUpload::unreadableDrawingStopsChain_data()
{
    QTest::addColumn<int>("missingRow");
    QTest::addColumn<int>("uploaded");
    QTest::newRow("first drawing missing") << 0 << 0;
    QTest::newRow("second drawing missing") << 2 << 1;
}

void TstUpload::unreadableDrawingStopsChain()
{
    QFETCH(int, missingRow);
    QFETCH(int, uploaded);
    MainWindow *w = rig.window.get();
    const QStringList paths = orderWithDrawings({{0, 5000}, {2, 5000}});
    QVERIFY(QFile::remove(paths[missingRow]));
    sendOrderAndAccept();

    QTRY_VERIFY(w->statusDialog() == nullptr);
    QTRY_COMPARE(rig.peer->frames.size(), 2 + uploaded);
    QTest::qWait(100);
    QCOMPARE(rig.peer->frames.size(), 2 + uploaded);
    QCOMPARE(rig.peer->rawData.size(), uploaded * 5000);
    bool told = false;
    for (Message *m : w->findChildren<Message *>())
        told = told || (m->messageText() == "Невозможно открыть файл." && m->isCloseEnabled());
    QVERIFY(told);
    // The order list stays, so nothing is lost.
    QCOMPARE(rig.basket()->rowCount(), 3);
    QCOMPARE(w->ChertList, paths);
    QVERIFY(!w->uploadRunning());
    QVERIFY(rig.basket()->isVisible());
}

void TstUpload::fileChangesWhileSent_data()
{
    QTest::addColumn<qint64>("newSize");
    QTest::newRow("shrinks") << qint64(8000);
    QTest::newRow("shrinks to nothing") << qint64(0);
    QTest::newRow("grows") << qint64(70000);
}

void TstUpload::fileChangesWhileSent()
{
    QFETCH(qint64, newSize);
    const qint64 size = 65536;
    MainWindow *w = rig.window.get();
    const QString path = writeFile(dir.path(), "moving.bin", size);
    const QByteArray original = contents(path);
    w->ChertList = QStringList({path});
    w->sendFile(path, 0);
    QVERIFY(w->uploadRunning());
    if (newSize < size) {
        QVERIFY(QFile::resize(path, newSize));
    } else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::Append));
        f.write(QByteArray(int(newSize - size), 'z'));
    }

    QTRY_VERIFY(!w->uploadRunning());
    bool told = false;
    for (Message *m : w->findChildren<Message *>()) {
        QVERIFY(m->messageText() != "Все данные отправлены на сервер.");
        told = told || (m->messageText() == netstatus::fileChangedText() && m->isCloseEnabled());
    }
    QVERIFY(told);
    // The connection is given up rather than left out of step with the header.
    QCOMPARE(w->socket(), nullptr);
    QTRY_COMPARE(rig.peer->connection()->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(rig.peer->frames.size(), 2);
    QVERIFY(rig.peer->rawData.size() <= size);
    QCOMPARE(rig.peer->rawData, original.left(rig.peer->rawData.size()));
    QCOMPARE(w->ChertList, QStringList({path}));
}

void TstUpload::drawingsGoUpEvenWithoutDialog()
{
    const QStringList paths = orderWithDrawings({{1, 3000}});
    sendOrder();
    if (QTest::currentTestFailed())
        return;
    // 14 first forgets the dialog; the acceptance that follows finds none.
    rig.peer->reply(QByteArray::fromHex("0e0d"));
    QVERIFY(rig.peer->waitForFrames(3));
    QCOMPARE(header(rig.peer->frames.at(2)).index, QString("1"));
    QTRY_COMPARE(rig.basket()->rowCount(), 0);
    QTRY_COMPARE(rig.peer->rawData.size(), 3000);
    QCOMPARE(rig.peer->rawData, contents(paths[1]));
}

void TstUpload::noSocketNoUpload()
{
    MainWindow *w = rig.window.get();
    const QString path = writeFile(dir.path(), "late.bin", 100);
    rig.peer->connection()->abort();
    QTRY_VERIFY(w->socket() == nullptr);
    Message *before = w->statusDialog();
    w->sendFile(path);
    w->sendFile(path, 0);
    QVERIFY(!w->uploadRunning());
    QCOMPARE(w->statusDialog(), before);
    QTest::qWait(100);
    QCOMPARE(rig.peer->frames.size(), 1);
}

QTEST_MAIN(TstUpload)
#include "tst_upload.moc"
