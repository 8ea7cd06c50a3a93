#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTcpSocket>
#include <QTimer>
#include <QAction>
#include <QComboBox>
#include <QtTest>
#include <memory>

#include "app/mainwindow.h"
#include "app/message.h"
#include "order/orderrules.h"
#include "putgm/putgmtab.h"
#include "snp/snptab.h"
#include "testpeer.h"
#include "wire.h"

namespace {
QByteArray item(quint8 code, const QByteArray &arg = QByteArray())
{
    return QByteArray(1, char(code)) + arg;
}

QVariantMap someTables()
{
    QVariantMap t;
    t.insert("ost128_size", QStringList({"15", "20", "25"}));
    t.insert("ost128_press", QStringList({"0,6 (6,0)", "1,6 (16,0)", "2,5 (25,0)"}));
    return t;
}

// Records every text the status dialogs of a window show, in order.
class StatusRecorder : public QObject
{
public:
    explicit StatusRecorder(MainWindow *window) : m_window(window)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            Message *m = m_window->statusDialog();
            if (m && (texts.isEmpty() || texts.last() != m->messageText()))
                texts << m->messageText();
        });
        m_timer.start(2);
    }
    QStringList texts;

private:
    MainWindow *m_window;
    QTimer m_timer;
};
} // namespace

// The dialog that showed "Данные получены." closes itself 250 ms later.
static bool recorderDialogVisible(MainWindow *w)
{
    for (Message *m : w->findChildren<Message *>())
        if (m->isVisible() && m->messageText() == "Данные получены.")
            return true;
    return false;
}

class TstMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void accessRule_data();
    void accessRule();
    void tableRequestRightAfterConstruction();
    void tablesFillCurrentTabOnce();
    void triggersCoalesceAndStatusTexts();
    void closedStatusDialogsAreFreed();
    void snpReplyFillsLabelsInReverse();
    void emptySnpReplyRaisesNote();
    void shortReplyDoesNotCrash();
    void putgmMemo_data();
    void putgmMemo();
    void threeItemsWithoutArguments();
    void unknownCodesSkipped();
    void orderAcceptedWithoutDrawingsEmptiesList();
    void afterSocketErrorNothingIsSent();
    void setMessages_data();
    void setMessages();
    void exitEndsLikeClosing();
    void choicesReadWholeAtMinimumSize();

private:
    MainWindow *open(const QVariantMap &access, Message *status = nullptr);
    std::unique_ptr<TestPeer> peer;
    std::unique_ptr<QTcpSocket> socket;
    std::unique_ptr<MainWindow> window;
};

void TstMainWindow::init()
{
    peer = std::make_unique<TestPeer>();
    socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, peer->port());
    QVERIFY(socket->waitForConnected(5000));
    QVERIFY(peer->waitForConnection());
}

void TstMainWindow::cleanup()
{
    window.reset();
    socket.reset();
    peer.reset();
}

MainWindow *TstMainWindow::open(const QVariantMap &access, Message *status)
{
    window = std::make_unique<MainWindow>(socket.get(), "user", "pw", status, access, nullptr);
    window->show();
    return window.get();
}

void TstMainWindow::accessRule_data()
{
    QTest::addColumn<QVariantMap>("access");
    QTest::addColumn<QStringList>("tabs");
    QTest::newRow("all") << QVariantMap{{"SNP", true}, {"PUTG", true}, {"PUTGm", true}}
                         << QStringList({"СНП", "ПУТГ", "ПУТГм"});
    QTest::newRow("putg only") << QVariantMap{{"SNP", false}, {"PUTG", true}, {"PUTGm", false}}
                               << QStringList({"ПУТГ"});
    QTest::newRow("snp and putgm") << QVariantMap{{"SNP", true}, {"PUTG", false}, {"PUTGm", true}}
                                   << QStringList({"СНП", "ПУТГм"});
    QTest::newRow("missing keys are false") << QVariantMap{{"PUTGm", true}} << QStringList({"ПУТГм"});
    QTest::newRow("none") << QVariantMap() << QStringList();
}

void TstMainWindow::accessRule()
{
    QFETCH(QVariantMap, access);
    QFETCH(QStringList, tabs);
    MainWindow *w = open(access);
    auto *tw = w->findChild<QTabWidget *>("tabWidget");
    QStringList shown;
    for (int i = 0; i < tw->count(); ++i)
        shown << tw->tabText(i);
    QCOMPARE(shown, tabs);
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowTitle(), QString("Vintaro (online 2.0)"));
    QVERIFY(!w->findChild<QWidget *>("Basket")->isVisible());
    QVERIFY(!w->findChild<QWidget *>("Back")->isVisible());
    QVERIFY(w->findChild<QWidget *>("To_Basket")->isVisible());
    QCOMPARE(w->notes().size(), 15);
}

void TstMainWindow::tableRequestRightAfterConstruction()
{
    auto *status = new Message;
    status->setMessageText("Авторизация прошла успешно");
    open({{"SNP", true}}, status);
    QVERIFY(peer->waitForFrames(1));
    QCOMPARE(wire::frameBody(peer->frames[0]), QByteArray::fromHex("0005" "06" "00000000"));
    QCOMPARE(window->statusDialog(), status);
    QCOMPARE(status->messageText(), QString("Отправка данных..."));
    QVERIFY(!status->isCloseEnabled());
    delete status;
}

void TstMainWindow::tablesFillCurrentTabOnce()
{
    MainWindow *w = open({{"SNP", true}, {"PUTG", true}});
    auto *tw = w->findChild<QTabWidget *>("tabWidget");
    tw->setCurrentIndex(0);
    QVERIFY(peer->waitForFrames(1));
    peer->reply(item(5, wire::encodeMap(someTables())));
    auto *sizes = w->findChild<QListWidget *>("Size_table");
    QTRY_COMPARE(sizes->count(), 3);
    // The fill triggers one delayed lookup for the SNP tab.
    QVERIFY(peer->waitForFrames(2));
    QCOMPARE(TestPeer::code(peer->frames[1]), quint8(7));
    QVariantMap req;
    QVERIFY(TestPeer::argument(peer->frames[1]).readMap(&req));
    QCOMPARE(req.value("press").toString(), QString("1,6 (16,0)"));
    QCOMPARE(req.value("size").toString(), QString("15"));
    QCOMPARE(req.value("standart").toString(), QString("OST128"));
    QCOMPARE(req.value("tf").toString(), QString("E"));

    // Leaving and coming back sends nothing by itself.
    tw->setCurrentIndex(1);
    tw->setCurrentIndex(0);
    QTest::qWait(450);
    QCOMPARE(peer->frames.size(), 2);
}

void TstMainWindow::triggersCoalesceAndStatusTexts()
{
    MainWindow *w = open({{"SNP", true}});
    w->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(0);
    QVERIFY(peer->waitForFrames(1));
    peer->reply(item(5, wire::encodeMap(someTables())));
    QVERIFY(peer->waitForFrames(2));
    peer->reply(item(8, wire::encodeStringList({"100", "90", "80", "70"})));
    QTRY_VERIFY(w->statusDialog() == nullptr);

    w->findChild<QListWidget *>("Size_table")->setCurrentRow(2);
    StatusRecorder recorder(w);
    QElapsedTimer clock;
    clock.start();
    w->ClickOnSomthn();
    QTest::qWait(150);
    const qint64 second = clock.elapsed();
    w->ClickOnSomthn();
    QVERIFY(peer->waitForFrames(3, 3000));
    const qint64 sentAt = clock.elapsed();
    QVERIFY2(sentAt - second >= 250, qPrintable(QString::number(sentAt - second)));
    QTest::qWait(400);
    QCOMPARE(peer->frames.size(), 3);
    QCOMPARE(TestPeer::code(peer->frames[2]), quint8(7));

    peer->reply(item(8, wire::encodeStringList({"100", "90", "80", "70"})));
    QTRY_COMPARE(recorder.texts.value(recorder.texts.size() - 1), QString("Данные получены."));
    QTRY_VERIFY(w->statusDialog() == nullptr);
    QCOMPARE(recorder.texts, QStringList({"Отправка данных...", "Ожидание ответа сервера...",
                                          "Данные получены."}));
    QTRY_VERIFY(!recorderDialogVisible(w));
}

// Each lookup opens a dialog that closes itself, and the user closes the rest;
// kept, they would hold a window and its pixels each for the whole session.
void TstMainWindow::closedStatusDialogsAreFreed()
{
    MainWindow *w = open({{"SNP", true}});
    w->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(0);
    QVERIFY(peer->waitForFrames(1));
    peer->reply(item(5, wire::encodeMap(someTables())));
    QVERIFY(peer->waitForFrames(2));
    auto *sizes = w->findChild<QListWidget *>("Size_table");
    for (int i = 0; i < 4; ++i) {
        peer->reply(item(8, wire::encodeStringList({"100", "90", "80", QString::number(70 + i)})));
        QTRY_VERIFY(w->statusDialog() == nullptr);
        sizes->setCurrentRow(i % 2 ? 2 : 1);
        w->ClickOnSomthn();
        QVERIFY(peer->waitForFrames(3 + i, 3000));
    }
    peer->reply(item(8, wire::encodeStringList({"100", "90", "80", "70"})));
    QTRY_VERIFY(w->statusDialog() == nullptr);
    // Only the tables' "Таблицы загружены." is left, on screen for the user to close.
    QTRY_COMPARE(w->findChildren<Message *>().size(), 1);
    QVERIFY(w->findChild<Message *>()->isVisible());
    w->findChild<Message *>()->close();
    QTRY_COMPARE(w->findChildren<Message *>().size(), 0);

    // "Cписок пуст." keeps its dialog current; closed by the user, it still
    // shows what comes next.
    auto *send = w->findChild<QPushButton *>("Send_List");
    w->findChild<QPushButton *>("To_Basket")->click();
    send->click();
    QPointer<Message> empty = w->statusDialog();
    QVERIFY(empty && empty->isVisible());
    empty->close();
    send->click();
    QVERIFY(w->statusDialog() && w->statusDialog()->isVisible());
    QCOMPARE(w->statusDialog()->messageText(), order::emptyListText());
    QVERIFY(w->statusDialog() != empty);
    QTRY_VERIFY(empty.isNull());
    QCOMPARE(w->findChildren<Message *>().size(), 1);
}

void TstMainWindow::snpReplyFillsLabelsInReverse()
{
    MainWindow *w = open({{"SNP", true}});
    QVERIFY(peer->waitForFrames(1));
    peer->reply(item(8, wire::encodeStringList({"D4v", "D3v", "D2v", "D1v"})));
    auto *d1 = w->findChild<QLabel *>("D1_Data");
    QTRY_COMPARE(d1->text(), QString("D1v"));
    QCOMPARE(w->findChild<QLabel *>("D4_Data")->text(), QString("D4v"));
    QCOMPARE(w->snpTab()->SNPD2, QString("D2v"));
    QCOMPARE(w->notes().value("snp_note"), QString());
}

void TstMainWindow::emptySnpReplyRaisesNote()
{
    MainWindow *w = open({{"SNP", true}});
    QVERIFY(peer->waitForFrames(1));
    peer->reply(item(8, wire::encodeStringList({"4", "3", "2", "1"})));
    QTRY_COMPARE(w->snpTab()->SNPD1, QString("1"));
    peer->reply(item(8, wire::encodeStringList({})));
    QTRY_COMPARE(w->notes().value("snp_note"), QString("1"));
    QCOMPARE(w->findChild<QLabel *>("SNP_Message_Label")->text(),
             QString("Конструкции для заданных параметров не существует. "));
    QCOMPARE(w->findChild<QLabel *>("D1_Data")->text(), QString());
    QCOMPARE(w->snpTab()->SNPD4, QString());
}

void TstMainWindow::shortReplyDoesNotCrash()
{
    MainWindow *w = open({{"SNP", true}, {"PUTG", true}, {"PUTGm", true}});
    QVERIFY(peer->waitForFrames(1));
    peer->reply(item(8, wire::encodeStringList({"4"})) + item(20, wire::encodeStringList({"15"}))
                + item(16, wire::encodeStringList({"4", "3"})) + item(18, wire::encodeStringList({"9"})));
    QTRY_COMPARE(w->putgmTab()->PUTGmD4, QString("9"));
    QCOMPARE(w->snpTab()->SNPD4, QString());
    QCOMPARE(w->snpTab()->SNPSize, QString("15"));
    QCOMPARE(w->putgmTab()->PUTGmD1, QString());
}

void TstMainWindow::putgmMemo_data()
{
    QTest::addColumn<QStringList>("reply");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QString>("label");
    QTest::newRow("t6") << QStringList({"200", "150", "100", "90", "t6"}) << "t6"
                        << "Для выбранных параметров рекомендована конструкция ПУТГм-099. ";
    QTest::newRow("t9 is not a code") << QStringList({"200", "150", "100", "90", "t9"}) << "" << "";
    QTest::newRow("no code") << QStringList({"200", "150", "100", "90"}) << "" << "";
}

void TstMainWindow::putgmMemo()
{
    QFETCH(QStringList, reply);
    QFETCH(QString, memo);
    QFETCH(QString, label);
    MainWindow *w = open({{"PUTGm", true}});
    QVERIFY(peer->waitForFrames(1));
    w->setNote("putgm_memo", "t5");
    peer->reply(item(18, wire::encodeStringList(reply)));
    QTRY_COMPARE(w->putgmTab()->PUTGmD4, QString("200"));
    QCOMPARE(w->notes().value("putgm_memo"), memo);
    QCOMPARE(w->findChild<QLabel *>("PUTGm_Message_Label")->text(), label);
    QCOMPARE(w->findChild<QLabel *>("PUTGm_s1")->text(), QString("90"));
}

void TstMainWindow::threeItemsWithoutArguments()
{
    auto *status = new Message;
    MainWindow *w = open({{"SNP", true}}, status);
    QVERIFY(peer->waitForFrames(1));
    peer->reply(QByteArray::fromHex("0a0a19"));
    QTRY_VERIFY(w->statusDialog() == nullptr);
    // 10 answered first and forgot the dialog; the second 10 and 25 found none.
    QCOMPARE(status->messageText(), QString("Опросный лист отправлен."));
    QVERIFY(status->isCloseEnabled());
    delete status;
}

void TstMainWindow::unknownCodesSkipped()
{
    auto *status = new Message;
    MainWindow *w = open({{"SNP", true}}, status);
    QVERIFY(peer->waitForFrames(1));
    // 6, 7 and 99 carry no argument in a reply; 14 is then handled.
    peer->reply(QByteArray::fromHex("0607630e"));
    QTRY_VERIFY(w->statusDialog() == nullptr);
    QCOMPARE(status->messageText(), QString("Ошибка отправки."));
    delete status;
}

void TstMainWindow::orderAcceptedWithoutDrawingsEmptiesList()
{
    MainWindow *w = open({{"SNP", true}});
    QVERIFY(peer->waitForFrames(1));
    auto *basket = w->findChild<QTableWidget *>("Basket");
    basket->setRowCount(2);
    w->ChertList = QStringList({"", ""});
    w->findChild<QPushButton *>("To_Basket")->click();
    QVERIFY(basket->isVisible());
    w->SlotSendToServer(quint8(12), QList<QString>({"a", "1", "", "", "d"}));
    QVERIFY(peer->waitForFrames(2));
    Message *status = w->statusDialog();
    QVERIFY(status);
    peer->reply(item(13));
    QTRY_COMPARE(basket->rowCount(), 0);
    QVERIFY(w->ChertList.isEmpty());
    QCOMPARE(status->messageText(), QString("Заявка отправлена."));
    QVERIFY(status->isCloseEnabled());
    QVERIFY(!basket->isVisible());
    QVERIFY(w->findChild<QWidget *>("tabWidget")->isVisible());
}

void TstMainWindow::afterSocketErrorNothingIsSent()
{
    MainWindow *w = open({{"SNP", true}});
    QVERIFY(peer->waitForFrames(1));
    peer->connection()->abort();
    QTRY_VERIFY(w->socket() == nullptr);
    bool shown = false;
    for (Message *m : w->findChildren<Message *>())
        shown = shown || m->messageText() == "Ошибка: Сервер отключился.";
    QVERIFY(shown);
    w->SlotSendToServer(quint8(7), QVariantMap{{"a", 1}});
    w->SlotSendToServer(quint8(12), QList<QString>({"x"}));
    QTest::qWait(100);
    QCOMPARE(peer->frames.size(), 1);
    bool told = false;
    for (Message *m : w->findChildren<Message *>())
        told = told || m->messageText().startsWith("Нет соединения с сервером");
    QVERIFY(told);
}

void TstMainWindow::setMessages_data()
{
    QTest::addColumn<QVariantMap>("notes");
    QTest::addColumn<QString>("snp");
    QTest::addColumn<QString>("putg");
    QTest::addColumn<QString>("putgm");
    const QString attach = "К заявке приложите файл с чертежом. ";
    const QString ointo = "Обратитесь в ОИНТО. ";
    const QString none = "Конструкции для заданных параметров не существует. ";
    const QString special = "Изготовление только по спецзаказу. ";
    QTest::newRow("empty") << QVariantMap() << "" << "" << "";
    QTest::newRow("snp perem + to") << QVariantMap{{"snp_perem", "1"}, {"snp_to", "1"}}
                                    << attach + ointo << "" << "";
    QTest::newRow("snp otv") << QVariantMap{{"snp_otv", "1"}} << attach << "" << "";
    QTest::newRow("snp note wins") << QVariantMap{{"snp_otv", "1"}, {"snp_to", "1"}, {"snp_note", "1"}}
                                   << none << "" << "";
    QTest::newRow("putg each attach flag") << QVariantMap{{"putg_raz", "1"}} << "" << attach << "";
    QTest::newRow("putg oval") << QVariantMap{{"putg_oval", "1"}} << "" << attach << "";
    QTest::newRow("putg special then to") << QVariantMap{{"putg_perem", "1"}, {"putg_spec", "1"}, {"putg_to", "1"}}
                                       << "" << attach + special + ointo << "";
    QTest::newRow("putg note wins") << QVariantMap{{"putg_spec", "1"}, {"putg_note", "1"}} << "" << none << "";
    QTest::newRow("putgm attach + to") << QVariantMap{{"putgm_otv", "1"}, {"putgm_to", "1"}}
                                       << "" << "" << attach + ointo;
    QTest::newRow("putgm memo t5 beats note") << QVariantMap{{"putgm_note", "1"}, {"putgm_memo", "t5"}} << "" << ""
        << "Для выбранных параметров рекомендованы конструкции ПУТГм-098 и ПУТГм-095. ";
    QTest::newRow("putgm memo t7 appended") << QVariantMap{{"putgm_to", "1"}, {"putgm_memo", "t7"}} << "" << ""
        << ointo + "Для выбранных параметров рекомендованы конструкции ПУТГм-099, ПУТГм-098 и ПУТГм-095. ";
    QTest::newRow("putgm memo t8") << QVariantMap{{"putgm_memo", "t8"}} << "" << ""
        << "Для выбранных параметров рекомендованы конструкции ПУТГм-099 и ПУТГм-092. ";
    QTest::newRow("putgm unknown memo hides note") << QVariantMap{{"putgm_note", "1"}, {"putgm_memo", "x"}}
                                                   << "" << "" << "";
    QTest::newRow("putgm note") << QVariantMap{{"putgm_note", "1"}, {"putgm_to", "1"}} << "" << "" << none;
    QTest::newRow("not exactly 1") << QVariantMap{{"snp_to", "true"}, {"putg_to", " 1"}} << "" << "" << "";
}

void TstMainWindow::setMessages()
{
    QFETCH(QVariantMap, notes);
    QFETCH(QString, snp);
    QFETCH(QString, putg);
    QFETCH(QString, putgm);
    MainWindow *w = open({{"SNP", true}, {"PUTG", true}, {"PUTGm", true}});
    w->InfoMapInit();
    for (auto it = notes.cbegin(); it != notes.cend(); ++it)
        w->setNote(it.key(), it.value().toString());
    w->SetMessages();
    QCOMPARE(w->findChild<QLabel *>("SNP_Message_Label")->text(), snp);
    QCOMPARE(w->findChild<QLabel *>("PUTG_Message_Label")->text(), putg);
    QCOMPARE(w->findChild<QLabel *>("PUTGm_Message_Label")->text(), putgm);
}

void TstMainWindow::exitEndsLikeClosing()
{
    MainWindow *w = open({{"SNP", true}});
    QVERIFY(w && w->isVisible());
    w->findChild<QAction *>("action_exit")->trigger();
    QVERIFY(!w->isVisible());
}

// At the window's smallest size every combo box of every tab is as wide as
// its longest entry needs.
void TstMainWindow::choicesReadWholeAtMinimumSize()
{
    MainWindow *w = open({{"SNP", true}, {"PUTG", true}, {"PUTGm", true}});
    auto *tabs = w->findChild<QTabWidget *>("tabWidget");
    for (int t = 0; t < tabs->count(); ++t) {
        tabs->setCurrentIndex(t);
        w->resize(w->minimumSizeHint());
        QTest::qWait(20);
        for (QComboBox *box : tabs->currentWidget()->findChildren<QComboBox *>()) {
            if (!box->isVisible())
                continue;
            QVERIFY2(box->width() >= box->sizeHint().width(),
                     qPrintable(QString("%1: %2 < %3").arg(box->objectName()).arg(box->width())
                                    .arg(box->sizeHint().width())));
        }
    }
}

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
