// Lookup answers that arrive after the user moved on: typed diameters, a
// changed standard, a tab opened before the tables came.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTabWidget>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTcpSocket>
#include <QtTest>
#include <memory>

#include "app/mainwindow.h"
#include "putg/putgtab.h"
#include "putgm/putgmtab.h"
#include "snp/snptab.h"
#include "testpeer.h"
#include "wire.h"

void vintaroInitResources();

namespace {
QByteArray item(quint8 code, const QByteArray &arg = QByteArray())
{
    return QByteArray(1, char(code)) + arg;
}
QByteArray listItem(quint8 code, const QStringList &l)
{
    return item(code, wire::encodeStringList(l));
}
QStringList numbered(int n, int first, int step)
{
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << QString::number(first + step * i);
    return l;
}
QVariantMap tables()
{
    QVariantMap t;
    t.insert("ost128_size", numbered(25, 10, 5));
    t.insert("ost128_press", QStringList({"0,6 (6,0)", "1,6 (16,0)", "2,5 (25,0)"}));
    t.insert("gost128_size", QStringList({"50", "80", "100"}));
    t.insert("gost128_press", QStringList({"1,0 (10,0)", "1,6 (16,0)", "4,0 (40,0)"}));
    t.insert("EOST128_d2", QStringList({"55", "65", "87"}));
    t.insert("putg_gost128_size", numbered(30, 10, 5));
    t.insert("putg_gost128_press", QStringList({"0,1 (1,0)", "0,25 (2,5)", "0,6 (6,0)", "1,0 (10,0)", "1,6 (16,0)"}));
    t.insert("putgm_gost128_size", numbered(30, 10, 5));
    t.insert("putgm_gost128_press", QStringList({"0,6 (6,0)", "1,6 (16,0)", "2,5 (25,0)"}));
    return t;
}
} // namespace

class TstLateReplies : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { vintaroInitResources(); }
    void init();
    void cleanup();

    void putgTypedDiametersStay();
    void putgmTypedDiametersStay();
    void snpD2AnswerAfterStandardSwitch();
    void tabOpenedBeforeTablesIsFilledLater();
    void forcedConstructionIsLookedUp();
    void putgmTypedDiametersDroppedFromAnotherTab();

private:
    bool open();
    bool openOnPutg();
    bool nextRequest(quint8 code, QVariantMap *map, int ms = 3000);
    void drain(int ms = 450)
    {
        QTest::qWait(ms);
        seen = peer->frames.size();
    }
    void toTab(const char *page);
    template<class T> T *w(const char *name) const
    {
        T *f = window->findChild<T *>(QLatin1String(name));
        if (!f)
            qFatal("no widget %s", name);
        return f;
    }
    QString text(const char *le) const { return w<QLineEdit>(le)->text(); }
    void clickRow(const char *list, int row)
    {
        auto *l = w<QListWidget>(list);
        QListWidgetItem *it = l->item(row);
        l->scrollToItem(it);
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(it).center());
    }
    // Sends raw reply items and waits until the window has read them.
    void replyAndSettle(const QByteArray &items)
    {
        QSignalSpy arrived(socket.get(), &QTcpSocket::readyRead);
        peer->reply(items);
        QVERIFY(arrived.wait());
        QTRY_COMPARE(socket->bytesAvailable(), qint64(0));
    }

    std::unique_ptr<TestPeer> peer;
    std::unique_ptr<QTcpSocket> socket;
    std::unique_ptr<MainWindow> window;
    int seen = 0;
};

void TstLateReplies::init()
{
    peer = std::make_unique<TestPeer>();
    socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, peer->port());
    QVERIFY(socket->waitForConnected(5000));
    QVERIFY(peer->waitForConnection());
    seen = 0;
}

void TstLateReplies::cleanup()
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox *>(top))
            top->close();
    window.reset();
    socket.reset();
    peer.reset();
}

bool TstLateReplies::nextRequest(quint8 code, QVariantMap *map, int ms)
{
    if (!QTest::qWaitFor([this] { return peer->frames.size() > seen; }, ms))
        return false;
    const QByteArray body = peer->frames.at(seen++);
    if (TestPeer::code(body) != code)
        return false;
    return TestPeer::argument(body).readMap(map);
}

// All three tabs; the form leaves the PUTGm page current, so reply 5 fills it
// and its first lookup is answered here.
bool TstLateReplies::open()
{
    window = std::make_unique<MainWindow>(socket.get(), "user", "pw", nullptr,
                                          QVariantMap{{"SNP", true}, {"PUTG", true}, {"PUTGm", true}});
    window->show();
    if (!peer->waitForFrames(1))
        return false;
    seen = 1;
    peer->reply(item(5, wire::encodeMap(tables())));
    QVariantMap m;
    if (!nextRequest(17, &m))
        return false;
    peer->reply(listItem(18, {"0", "60", "40", "0"}));
    return QTest::qWaitFor([this] { return window->putgmTab()->PUTGmD3 == "60"; }, 3000);
}

// open(), then the PUTG tab with its first lookup answered (39 x 18).
bool TstLateReplies::openOnPutg()
{
    if (!open())
        return false;
    toTab("PUTG");
    QVariantMap m;
    if (!nextRequest(15, &m))
        return false;
    peer->reply(listItem(16, {"0", "39", "18", "0"}));
    if (!QTest::qWaitFor([this] { return window->putgTab()->PUTGD3 == "39"; }, 3000))
        return false;
    drain();
    return true;
}

void TstLateReplies::toTab(const char *page)
{
    auto *tabs = w<QTabWidget>("tabWidget");
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->widget(i)->objectName() == QLatin1String(page))
            tabs->setCurrentIndex(i);
}

void TstLateReplies::putgTypedDiametersStay()
{
    QVERIFY(openOnPutg());
    PutgTab *t = window->putgTab();
    QVariantMap m;

    // A facing change starts a delayed lookup; meanwhile the user types the diameters.
    w<QComboBox>("PUTGFlanBox")->setCurrentIndex(1);
    w<QCheckBox>("PUTG_Input_Box")->setChecked(true);
    w<QLineEdit>("PUTG_D3_Inp_Box")->setText("150");
    w<QLineEdit>("PUTG_D2_Inp_Box")->setText("100");
    const QString typed = text("PUTG_Definition");
    QVERIFY(typed.contains("150 x 100"));
    QVERIFY(nextRequest(15, &m));
    replyAndSettle(listItem(16, {"0", "200", "120", "0"}));
    QCOMPARE(t->PUTGD3, QString("150"));
    QCOMPARE(w<QLabel>("PUTG_s3")->text(), QString("150"));
    QCOMPARE(text("PUTG_Definition"), typed);
    replyAndSettle(listItem(16, {}));
    QCOMPARE(t->PUTGD2, QString("100"));
}

void TstLateReplies::putgmTypedDiametersStay()
{
    QVERIFY(open());
    PutgmTab *t = window->putgmTab();
    drain();
    w<QAbstractButton>("PUTGm_Osn_099_Btn")->click();
    QVariantMap m;
    QVERIFY(nextRequest(17, &m));
    // The answer is still on its way when the user switches to typed diameters.
    w<QCheckBox>("PUTGm_Input_Box")->setChecked(true);
    w<QLineEdit>("PUTGm_D3_Inp_Box")->setText("150");
    w<QLineEdit>("PUTGm_D2_Inp_Box")->setText("100");
    const QString typed = text("PUTGm_Definition");
    QVERIFY(typed.contains("150 x 100"));
    replyAndSettle(listItem(18, {"0", "61", "41", "0"}));
    QCOMPARE(t->PUTGmD3, QString("150"));
    QCOMPARE(text("PUTGm_Definition"), typed);
}

// A D2 answer belongs to the OST list it was asked from: after a switch to
// another standard it must not set a size that list does not show.
void TstLateReplies::snpD2AnswerAfterStandardSwitch()
{
    QVERIFY(open());
    SnpTab *t = window->snpTab();
    toTab("SNP");
    QVariantMap m;
    QVERIFY(nextRequest(7, &m));
    peer->reply(listItem(8, {"135", "109", "87", "70"}));
    QVERIFY(QTest::qWaitFor([&] { return t->SNPD4 == "135"; }, 3000));
    drain();
    clickRow("D2_table", 1);
    QVERIFY(nextRequest(19, &m));
    w<QAbstractButton>("SNP_GOST_128_Btn")->click();
    const QString shown = w<QListWidget>("Size_table")->currentItem()->text();
    QCOMPARE(t->SNPSize, shown);
    replyAndSettle(listItem(20, {"65", "120", "96", "65", "50"}));
    QCOMPARE(t->SNPSize, shown);
    QVERIFY(nextRequest(7, &m));
    QCOMPARE(m.value("size").toString(), shown);
}

void TstLateReplies::tabOpenedBeforeTablesIsFilledLater()
{
    window = std::make_unique<MainWindow>(socket.get(), "user", "pw", nullptr,
                                          QVariantMap{{"SNP", true}, {"PUTG", true}, {"PUTGm", true}});
    window->show();
    QVERIFY(peer->waitForFrames(1));
    seen = 1;
    // The tables are still on their way while the user looks at SNP and PUTG.
    toTab("SNP");
    toTab("PUTG");
    toTab("PUTGm");
    peer->reply(item(5, wire::encodeMap(tables())));
    QVariantMap m;
    QVERIFY(nextRequest(17, &m));
    toTab("SNP");
    QVERIFY(nextRequest(7, &m));
    QVERIFY(w<QListWidget>("Size_table")->count() > 0);
    toTab("PUTG");
    QVERIFY(nextRequest(15, &m));
    QCOMPARE(w<QListWidget>("PUTG_Size_table")->count(), 30);
}

// A reinforcement that rules out the chosen construction switches it (042 to
// 01); the rings of the old one must not stay in the designation.
void TstLateReplies::forcedConstructionIsLookedUp()
{
    QVERIFY(openOnPutg());
    PutgTab *t = window->putgTab();
    QVariantMap m;
    w<QComboBox>("PUTGFlanBox")->setCurrentIndex(1);
    QVERIFY(nextRequest(15, &m));
    peer->reply(listItem(16, {"0", "39", "18", "0"}));
    drain();
    w<QAbstractButton>("PUTG_Const_042_Btn")->click();
    QVERIFY(nextRequest(15, &m));
    QCOMPARE(m.value("tf").toString(), QString("B042"));
    peer->reply(listItem(16, {"0", "45", "27", "21"}));
    QVERIFY(QTest::qWaitFor([&] { return t->PUTGD1 == "21"; }, 3000));
    drain();
    w<QAbstractButton>("PUTG_Pr_311_Btn")->click();
    QCOMPARE(t->PUTGConst, QString("01"));
    QVERIFY(nextRequest(15, &m));
    QCOMPARE(m.value("tf").toString(), QString("B"));
    peer->reply(listItem(16, {"0", "45", "27", "0"}));
    QVERIFY(QTest::qWaitFor([&] { return t->PUTGD1.isEmpty(); }, 3000));
}

// Any tab's request unchecks the PUTGm non-standard box; then the PUTGm tab
// must ask for its table diameters itself, not keep the typed ones with a
// table size.
void TstLateReplies::putgmTypedDiametersDroppedFromAnotherTab()
{
    QVERIFY(open());
    PutgmTab *t = window->putgmTab();
    drain();
    w<QCheckBox>("PUTGm_Input_Box")->setChecked(true);
    w<QLineEdit>("PUTGm_D3_Inp_Box")->setText("150");
    w<QLineEdit>("PUTGm_D2_Inp_Box")->setText("100");
    toTab("SNP");
    QVERIFY(!w<QCheckBox>("PUTGm_Input_Box")->isChecked());
    QVariantMap m;
    QVERIFY(nextRequest(17, &m));
    QCOMPARE(m.value("size").toString(), w<QListWidget>("PUTGm_Size_table")->currentItem()->text());
    peer->reply(listItem(18, {"0", "60", "40", "0"}));
    QVERIFY(QTest::qWaitFor([&] { return t->PUTGmD3 == "60"; }, 3000));
    QVERIFY(!text("PUTGm_Definition").contains("150 x 100"));
}

QTEST_MAIN(TstLateReplies)
#include "tst_latereplies.moc"
