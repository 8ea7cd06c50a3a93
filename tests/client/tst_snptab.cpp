// The SNP tab inside the real main window, against an in-test server.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QStyle>
#include <QTabWidget>
#include <QTcpSocket>
#include <QtMath>
#include <QTextDocument>
#include <QTextEdit>
#include <QtTest>
#include <memory>

#include "app/mainwindow.h"
#include "snp/snptab.h"
#include "testpeer.h"
#include "wire.h"

void vintaroInitResources();

namespace {
QByteArray item(quint8 code, const QByteArray &arg = QByteArray())
{
    return QByteArray(1, char(code)) + arg;
}

QStringList range(const QString &prefix, int from, int count, int step)
{
    QStringList l;
    for (int i = 0; i < count; ++i)
        l << prefix + QString::number(from + i * step);
    return l;
}

QVariantMap serverTables()
{
    QVariantMap t;
    t.insert("ost128_size", range("", 10, 25, 5)); // "10" .. "130"
    t.insert("ost128_press", QStringList({"0,6 (6,0)", "1,6 (16,0)", "2,5 (25,0)"}));
    t.insert("ost287_size", QStringList({"200", "250", "300"}));
    t.insert("ost287_press", QStringList({"1,0 (10,0)", "2,5 (25,0)"}));
    t.insert("gost128_size", QStringList({"50", "80", "100"}));
    t.insert("gost128_press", QStringList({"1,0 (10,0)", "1,6 (16,0)", "4,0 (40,0)"}));
    t.insert("asme165_size", QStringList({"1/2", "3/4", "1", "1 1/2"}));
    t.insert("asme165_press", QStringList({"150", "300", "600"}));
    t.insert("asme1647A_size", QStringList({"26", "28"}));
    t.insert("asme1647A_press", QStringList({"150", "300"}));
    t.insert("asme1647B_size", QStringList({"30", "32"}));
    t.insert("asme1647B_press", QStringList({"75", "150"}));
    t.insert("en15_size", range("DN", 10, 20, 10));
    t.insert("en15_press", QStringList({"PN16", "PN40"}));
    t.insert("EOST128_d2", QStringList({"55", "65", "87"}));
    t.insert("AOST128_d2", QStringList({"40", "50"}));
    t.insert("COST287_d2", QStringList({"210", "260"}));
    t.insert("AOST287_d2", QStringList({"205", "255", "305"}));
    return t;
}

const QStringList kDiameters = {"135", "109", "87", "70"}; // D4, D3, D2, D1
const QString kOstTail = " ОСТ 26.260.454 [135 x 109 x 87 x 70] ";
const QString kAttach = "К заявке приложите файл с чертежом. ";
} // namespace

class TstSnpTab : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    // option rules
    void ost287Restrictions_data();
    void ost287Restrictions();
    void jumperAvailability_data();
    void jumperAvailability();
    void flangeTypeCoupling_data();
    void flangeTypeCoupling();
    void ostThicknessBySizeRow_data();
    void ostThicknessBySizeRow();
    void thinGasketAvailability_data();
    void thinGasketAvailability();
    void en1514LargeSizeDropsThinGasket();
    void gostTableThickness_data();
    void gostTableThickness();
    void otherThicknessIsTyped();
    void temperatureAndModElem_data();
    void temperatureAndModElem();
    void jumperLetters_data();
    void jumperLetters();
    void fixingElementAndHoles();
    void clearButtonResetsExtras();

    // tables and lookups
    void pressurePreselection_data();
    void pressurePreselection();
    void requestStandardMapping_data();
    void requestStandardMapping();
    void sameRowTwiceSendsOnce();
    void d2List_data();
    void d2List();
    void valuesBesideTheirLines_data();
    void valuesBesideTheirLines();
    void d2LookupAndBackToSize();
    void unknownD2ValueIsExplained();
    void d2BoxDoesNotKeepTheProgramRunning();
    void tuTypedDiameters();
    void roadThroughAsme();
    void roadThroughOst();
    void descriptionReadsWhole();

    // materials
    void materialGroupCodes_data();
    void materialGroupCodes();
    void windingFollowsInnerRing_data();
    void windingFollowsInnerRing();
    void otherMaterialKeystrokes();
    void ringPickersFollowType_data();
    void ringPickersFollowType();

private:
    bool open();
    bool nextRequest(quint8 code, QVariantMap *map, int ms = 3000);
    bool quiet(int ms = 450);
    void drain();
    void click(const char *name);
    void clickRow(const char *list, int row);
    bool replyDimensions(const QStringList &l);
    template<class T> T *w(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }
    QAbstractButton *b(const char *name) const { return w<QAbstractButton>(name); }
    QString definition() const { return w<QLineEdit>("SNP_Definition")->text(); }

    std::unique_ptr<TestPeer> peer;
    std::unique_ptr<QTcpSocket> socket;
    std::unique_ptr<MainWindow> window;
    SnpTab *tab = nullptr;
    int seen = 0;
};

void TstSnpTab::init()
{
    peer = std::make_unique<TestPeer>();
    socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, peer->port());
    QVERIFY(socket->waitForConnected(5000));
    QVERIFY(peer->waitForConnection());
    seen = 0;
}

void TstSnpTab::cleanup()
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMessageBox *>(top))
            top->close();
    }
    window.reset();
    socket.reset();
    peer.reset();
}

// Logged in with SNP access, tables delivered, the start choice answered.
bool TstSnpTab::open()
{
    window = std::make_unique<MainWindow>(socket.get(), "user", "pw", nullptr,
                                          QVariantMap{{"SNP", true}});
    window->show();
    tab = window->snpTab();
    window->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(0);
    if (!peer->waitForFrames(1))
        return false;
    seen = 1;
    peer->reply(item(5, wire::encodeMap(serverTables())));
    QVariantMap first;
    if (!nextRequest(7, &first))
        return false;
    return replyDimensions(kDiameters);
}

bool TstSnpTab::replyDimensions(const QStringList &l)
{
    // Marks the old values so that an answer repeating them is still waited for.
    tab->SNPD4 = tab->SNPD1 = QStringLiteral("<pending>");
    peer->reply(item(8, wire::encodeStringList(l)));
    return QTest::qWaitFor([&] { return tab->SNPD4 == l.value(0) && tab->SNPD1 == l.value(3); }, 3000);
}

bool TstSnpTab::nextRequest(quint8 code, QVariantMap *map, int ms)
{
    if (!QTest::qWaitFor([this] { return peer->frames.size() > seen; }, ms))
        return false;
    const QByteArray body = peer->frames.at(seen++);
    if (TestPeer::code(body) != code) {
        qWarning() << "request code" << TestPeer::code(body) << "instead of" << code;
        return false;
    }
    return TestPeer::argument(body).readMap(map);
}

bool TstSnpTab::quiet(int ms)
{
    QTest::qWait(ms);
    return peer->frames.size() == seen;
}

// Lets pending delayed lookups go out and forgets them.
void TstSnpTab::drain()
{
    QTest::qWait(400);
    seen = peer->frames.size();
}

void TstSnpTab::click(const char *name)
{
    b(name)->click();
}

void TstSnpTab::clickRow(const char *list, int row)
{
    auto *l = w<QListWidget>(list);
    QListWidgetItem *it = l->item(row);
    QVERIFY2(it, list);
    l->scrollToItem(it);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(it).center());
    QTest::qWait(20);
}

// At the window's smallest size a long description shows every line, and
// the size, D2 and pressure lists keep room for several rows.
void TstSnpTab::descriptionReadsWhole()
{
    QVERIFY(open());
    click("SNP_KVF_checkBox");
    click("SNP_ONO_checkBox");
    window->resize(window->minimumSizeHint());
    QTest::qWait(50);
    auto *description = w<QTextEdit>("SNP_Description");
    QVERIFY(description->toPlainText().contains("отверстиями"));
    const int needed = qCeil(description->document()->size().height());
    QVERIFY2(description->viewport()->height() >= needed,
             qPrintable(QString("%1 < %2").arg(description->viewport()->height()).arg(needed)));
    for (const char *name : {"Size_table", "D2_table", "Press_table"}) {
        auto *list = w<QListWidget>(name);
        QVERIFY2(list->viewport()->height() >= 8 * list->sizeHintForRow(0),
                 qPrintable(QString("%1: %2").arg(name).arg(list->viewport()->height())));
    }
}

// ---- option rules --------------------------------------------------------------

void TstSnpTab::ost287Restrictions_data()
{
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("standard");
    QTest::newRow("OST128") << "SNP_OST_128_Btn" << "OST128";
    QTest::newRow("GOST128") << "SNP_GOST_128_Btn" << "GOST128";
    QTest::newRow("ASME165") << "SNP_ASME_165_Btn" << "ASME165";
    QTest::newRow("EN1514") << "SNP_EN15_Btn" << "EN1514";
    QTest::newRow("TU") << "SNP_TU_Btn" << "TU";
}

void TstSnpTab::ost287Restrictions()
{
    QFETCH(QString, next);
    QFETCH(QString, standard);
    QVERIFY(open());
    click("SNP_OST_287_Btn");
    QCOMPARE(tab->SNPStandard, QString("OST287"));
    QCOMPARE(tab->SNPType, QString("C"));
    QVERIFY(b("SNP_C_Btn")->isChecked());
    QVERIFY(b("Flan_B_Btn")->isChecked());
    for (const char *n : {"SNP_B_Btn", "SNP_D_Btn", "SNP_E_Btn", "Flan_A_Btn"})
        QVERIFY2(!b(n)->isEnabled(), n);
    for (const char *n : {"SNP_A_Btn", "SNP_C_Btn", "Flan_B_Btn", "Flan_C_Btn"})
        QVERIFY2(b(n)->isEnabled(), n);
    click("SNP_E_Btn"); // disabled: no effect
    QCOMPARE(tab->SNPType, QString("C"));

    click(qPrintable(next));
    QCOMPARE(tab->SNPStandard, standard);
    QVERIFY(b("SNP_E_Btn")->isChecked());
    QCOMPARE(tab->SNPType, QString("E"));
    QVERIFY(b("Flan_A_Btn")->isChecked());
    for (const char *n : {"SNP_B_Btn", "SNP_D_Btn", "SNP_E_Btn", "Flan_A_Btn"})
        QVERIFY2(b(n)->isEnabled(), n);
}

void TstSnpTab::jumperAvailability_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<bool>("available");
    QTest::newRow("OST128") << "SNP_OST_128_Btn" << false;
    QTest::newRow("GOST128") << "SNP_GOST_128_Btn" << false;
    QTest::newRow("OST287") << "SNP_OST_287_Btn" << true;
    QTest::newRow("ASME1647A") << "SNP_ASME_1647A_Btn" << true;
    QTest::newRow("EN12151647B") << "SNP_EN_1647B_Btn" << true;
    QTest::newRow("EN1514") << "SNP_EN15_Btn" << true;
    QTest::newRow("TU") << "SNP_TU_Btn" << true;
}

void TstSnpTab::jumperAvailability()
{
    QFETCH(QString, standard);
    QFETCH(bool, available);
    QVERIFY(open());
    QVERIFY(!b("SNP_Perem_Yes")->isEnabled()); // start standard OST128
    click("SNP_ASME_165_Btn");
    QVERIFY(b("SNP_Perem_Yes")->isEnabled());
    click("SNP_Perem_Yes");
    QVERIFY(b("SNP_Perem_Yes")->isChecked());

    click(qPrintable(standard));
    QCOMPARE(b("SNP_Perem_Yes")->isEnabled(), available);
    QVERIFY(!b("SNP_Perem_Yes")->isChecked());
    click("SNP_Perem_Yes");
    QCOMPARE(b("SNP_Perem_Yes")->isChecked(), available);
}

void TstSnpTab::flangeTypeCoupling_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("flange");
    QTest::newRow("flange В picks type A") << "SNP_E_Btn" << "Flan_C_Btn" << "A" << "Flan_C_Btn";
    QTest::newRow("type A picks flange В") << "SNP_E_Btn" << "SNP_A_Btn" << "A" << "Flan_C_Btn";
    QTest::newRow("type B picks flange Б") << "SNP_E_Btn" << "SNP_B_Btn" << "B" << "Flan_B_Btn";
    QTest::newRow("type C picks flange Б") << "SNP_A_Btn" << "SNP_C_Btn" << "C" << "Flan_B_Btn";
    QTest::newRow("type D picks flange А") << "SNP_A_Btn" << "SNP_D_Btn" << "D" << "Flan_A_Btn";
    QTest::newRow("flange Б from type A picks C") << "SNP_A_Btn" << "Flan_B_Btn" << "C" << "Flan_B_Btn";
    QTest::newRow("flange А from type A picks E") << "SNP_A_Btn" << "Flan_A_Btn" << "E" << "Flan_A_Btn";
    QTest::newRow("flange В from type D picks A") << "SNP_D_Btn" << "Flan_C_Btn" << "A" << "Flan_C_Btn";
}

void TstSnpTab::flangeTypeCoupling()
{
    QFETCH(QString, start);
    QFETCH(QString, clicked);
    QFETCH(QString, type);
    QFETCH(QString, flange);
    QVERIFY(open());
    click(qPrintable(start));
    click(qPrintable(clicked));
    QCOMPARE(tab->SNPType, type);
    QVERIFY(b(qPrintable(QString("SNP_%1_Btn").arg(type)))->isChecked());
    QVERIFY(b(qPrintable(flange))->isChecked());
    // The type-dependent diameter labels follow.
    const bool inner = type == "C" || type == "E";
    const bool outer = type == "D" || type == "E";
    QCOMPARE(w<QLabel>("D1_Data")->isVisible(), inner);
    QCOMPARE(w<QLabel>("D4_Data")->isVisible(), outer);
    QCOMPARE(w<QLabel>("H2_Data")->isVisible(), type == "A" || type == "B");
}

void TstSnpTab::ostThicknessBySizeRow_data()
{
    QTest::addColumn<QString>("flange");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("depth");
    QTest::newRow("row 20 flange Б") << "Flan_B_Btn" << 20 << "3,2";
    QTest::newRow("row 21 flange Б") << "Flan_B_Btn" << 21 << "4,5";
    QTest::newRow("row 0 flange В") << "Flan_C_Btn" << 0 << "3,2";
    QTest::newRow("row 24 flange В") << "Flan_C_Btn" << 24 << "4,5";
    QTest::newRow("row 3 flange А") << "Flan_A_Btn" << 3 << "4,5";
}

void TstSnpTab::ostThicknessBySizeRow()
{
    QFETCH(QString, flange);
    QFETCH(int, row);
    QFETCH(QString, depth);
    QVERIFY(open());
    click(qPrintable(flange));
    clickRow("Size_table", 1);
    clickRow("Size_table", row);
    QCOMPARE(tab->SNPDepth, depth);
    QVERIFY(b(depth == "3,2" ? "Depth_32_Btn" : "Depth_45_Btn")->isChecked());
    QCOMPARE(w<QLabel>("H_Data")->text(), depth);
    QCOMPARE(w<QLabel>("H1_Data")->text(), QString(depth == "3,2" ? "3,5" : "4,7"));
    QVERIFY(!b("Depth_23_Btn")->isEnabled());
}

void TstSnpTab::thinGasketAvailability_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("thin");
    QTest::addColumn<bool>("byStandard");
    QTest::newRow("EN1514 row 0") << "SNP_EN15_Btn" << 0 << true << false;
    QTest::newRow("EN1514 row 14") << "SNP_EN15_Btn" << 14 << true << false;
    QTest::newRow("EN1514 row 15") << "SNP_EN15_Btn" << 15 << false << false;
    QTest::newRow("EN1514 row 19") << "SNP_EN15_Btn" << 19 << false << false;
    QTest::newRow("OST287") << "SNP_OST_287_Btn" << 0 << false << false;
    QTest::newRow("ASME165") << "SNP_ASME_165_Btn" << 3 << true << false;
    QTest::newRow("GOST128") << "SNP_GOST_128_Btn" << 2 << true << true;
}

void TstSnpTab::thinGasketAvailability()
{
    QFETCH(QString, standard);
    QFETCH(int, row);
    QFETCH(bool, thin);
    QFETCH(bool, byStandard);
    QVERIFY(open());
    click(qPrintable(standard));
    clickRow("Size_table", row);
    QCOMPARE(b("Depth_23_Btn")->isEnabled(), thin);
    QCOMPARE(b("Depth_ps_Btn")->isEnabled(), byStandard);
    QCOMPARE(w<QLabel>("label_21")->isEnabled(), byStandard);
    QCOMPARE(b("Depth_ps_Btn")->isChecked(), byStandard);
}

void TstSnpTab::en1514LargeSizeDropsThinGasket()
{
    QVERIFY(open());
    click("SNP_EN15_Btn");
    clickRow("Size_table", 14);
    click("Depth_23_Btn");
    QCOMPARE(tab->SNPDepth, QString("2,3"));
    QCOMPARE(w<QLabel>("H1_Data")->text(), QString("2,7"));
    clickRow("Size_table", 15);
    QVERIFY(!b("Depth_23_Btn")->isEnabled());
    QVERIFY(b("Depth_45_Btn")->isChecked());
    QCOMPARE(tab->SNPDepth, QString("4,5"));
}

void TstSnpTab::gostTableThickness_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("2,3") << "2,3" << QStringList({"2,3", "2,5", "2,0"});
    QTest::newRow("2,8") << "2,8" << QStringList({"2,8", "3,3", "2,5"});
    QTest::newRow("4,2") << "4,2" << QStringList({"4,2", "4,8", "3,5"});
    QTest::newRow("6,5") << "6,5" << QStringList({"6,5", "7,0", "5,0"});
    QTest::newRow("3,5") << "3,5" << QStringList({"3,5", "3,9", "3,0"});
}

void TstSnpTab::gostTableThickness()
{
    QFETCH(QString, table);
    QFETCH(QStringList, labels);
    QVERIFY(open());
    click("SNP_GOST_128_Btn");
    QVariantMap req;
    QVERIFY(nextRequest(7, &req));
    QCOMPARE(req.value("standart").toString(), QString("GOST128"));
    QVERIFY(replyDimensions({"135", "109", "87", "70", table}));
    QCOMPARE(tab->SNPTableDepth, table);
    QCOMPARE(w<QLabel>("H_Data")->text(), labels.at(0));
    QCOMPARE(w<QLabel>("H1_Data")->text(), labels.at(1));
    QCOMPARE(w<QLabel>("H2_Data")->text(), labels.at(2));
    // The order's description names the thickness shown, the standard's.
    QVERIFY2(tab->SNPDescriptionText.contains(", толщиной " + table + " мм"), qPrintable(tab->SNPDescriptionText));
    // "0" is no thickness: the last one stays.
    QVERIFY(replyDimensions({"136", "110", "88", "71", "0"}));
    QCOMPARE(tab->SNPTableDepth, table);
    // Leaving the table thickness shows the chosen one again.
    click("Depth_32_Btn");
    QCOMPARE(w<QLabel>("H_Data")->text(), QString("3,2"));
    QVERIFY(tab->SNPDescriptionText.contains(", толщиной 3,2 мм"));
}

void TstSnpTab::otherThicknessIsTyped()
{
    QVERIFY(open());
    click("SNP_ASME_165_Btn");
    QVariantMap req;
    QVERIFY(nextRequest(7, &req));
    QVERIFY(replyDimensions(kDiameters));
    auto *edit = w<QLineEdit>("SNP_Other_Depth_Edit");
    QVERIFY(!edit->isEnabled());
    click("SNP_Other_Depth_Btn");
    QVERIFY(edit->isEnabled());
    QTest::keyClicks(edit, "5,5");
    QCOMPARE(tab->SNPDepth, QString("5,5"));
    QCOMPARE(w<QLabel>("H_Data")->text(), QString("5,5"));
    QCOMPARE(w<QLabel>("H1_Data")->text(), QString());
    QCOMPARE(definition(), QString("СНП-Д-1/2-150#-F.G-5,5 ASME B 16.20 [135 x 109 x 87 x 70] "));
    click("Depth_45_Btn");
    QCOMPARE(edit->text(), QString());
    QVERIFY(!edit->isEnabled());
    QCOMPARE(definition(), QString("СНП-Д-1/2-150#-F.G ASME B 16.20 [135 x 109 x 87 x 70] "));
}

void TstSnpTab::temperatureAndModElem_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("modElem");
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("от 600 sets index 5") << QStringList({"t:SNP_Tempr_max_Btn"}) << 5
                                         << "SNP_Tempr_max_Btn" << "-И(Н-18)";
    QTest::newRow("до 600 sets index 4") << QStringList({"t:SNP_Tempr_mid_Btn"}) << 4
                                         << "SNP_Tempr_mid_Btn" << "-И(Н-14)";
    QTest::newRow("index 1 after от 600 checks до 500")
        << QStringList({"t:SNP_Tempr_max_Btn", "m:1"}) << 1 << "SNP_Tempr_min_Btn" << "-(С)";
    QTest::newRow("index 5 checks от 600") << QStringList({"m:5"}) << 5 << "SNP_Tempr_max_Btn" << "-И(Н-18)";
    QTest::newRow("index 4 checks до 600") << QStringList({"m:4"}) << 4 << "SNP_Tempr_mid_Btn" << "-И(Н-14)";
    QTest::newRow("до 500 drops the inhibitor")
        << QStringList({"t:SNP_Tempr_mid_Btn", "t:SNP_Tempr_min_Btn"}) << 0 << "SNP_Tempr_min_Btn" << "";
    QTest::newRow("до 600 replaces foil") << QStringList({"m:2", "t:SNP_Tempr_mid_Btn"}) << 4
                                          << "SNP_Tempr_mid_Btn" << "-И(Н-14)";
}

void TstSnpTab::temperatureAndModElem()
{
    QFETCH(QStringList, steps);
    QFETCH(int, modElem);
    QFETCH(QString, temperature);
    QFETCH(QString, suffix);
    QVERIFY(open());
    window->setNote("snp_to", "1");
    auto *box = w<QComboBox>("SNP_ModElem");
    for (const QString &s : steps) {
        if (s.startsWith("t:"))
            click(qPrintable(s.mid(2)));
        else
            box->setCurrentIndex(s.mid(2).toInt());
    }
    QCOMPARE(box->currentIndex(), modElem);
    QVERIFY(b(qPrintable(temperature))->isChecked());
    QCOMPARE(window->notes().value("snp_to"), QString());
    QCOMPARE(definition(), "СНП-Д-3-87-1,6-4,5 " + suffix + kOstTail);
}

void TstSnpTab::jumperLetters_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<bool>("width");
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QString>("mark");
    QTest::newRow("A") << "A" << true << "" << "(A/5)";
    QTest::newRow("B") << "B" << false << "1" << "(B, черт.)";
    QTest::newRow("J") << "J" << false << "" << "(J)";
    QTest::newRow("M") << "M" << false << "" << "(M)";
    QTest::newRow("X") << "X" << false << "1" << "(X, черт.)";
}

void TstSnpTab::jumperLetters()
{
    QFETCH(QString, letter);
    QFETCH(bool, width);
    QFETCH(QString, flag);
    QFETCH(QString, mark);
    QVERIFY(open());
    click("SNP_ASME_165_Btn");
    QVariantMap req;
    QVERIFY(nextRequest(7, &req));
    QVERIFY(replyDimensions(kDiameters));
    auto *box = w<QComboBox>("SNP_Perem_Box");
    auto *edit = w<QLineEdit>("SNP_Perem_Depth_Edit");
    QVERIFY(!box->isEnabled());
    click("SNP_Perem_Yes");
    QVERIFY(box->isEnabled());
    QVERIFY(edit->isEnabled());
    edit->setText("5");
    box->setCurrentText(letter);
    QCOMPARE(edit->isEnabled(), width);
    QCOMPARE(edit->text(), QString(width ? "5" : ""));
    QCOMPARE(window->notes().value("snp_perem"), flag);
    QCOMPARE(w<QLabel>("SNP_Message_Label")->text(), QString(flag.isEmpty() ? "" : kAttach));
    QCOMPARE(definition(), "СНП-Д-1/2-150#-F.G" + mark + " ASME B 16.20 [135 x 109 x 87 x 70] ");
    QVERIFY(w<QTextEdit>("SNP_Description")->toPlainText().contains(", с перемычкой типа " + letter));

    click("SNP_Perem_Yes");
    QCOMPARE(box->currentText(), QString("A"));
    QVERIFY(!box->isEnabled());
    QVERIFY(!edit->isEnabled());
    QCOMPARE(edit->text(), QString());
    QCOMPARE(window->notes().value("snp_perem"), QString());
    QCOMPARE(w<QLabel>("SNP_Message_Label")->text(), QString());
    QCOMPARE(definition(), QString("СНП-Д-1/2-150#-F.G ASME B 16.20 [135 x 109 x 87 x 70] "));
}

void TstSnpTab::fixingElementAndHoles()
{
    QVERIFY(open());
    auto *fix = w<QComboBox>("SNPFixBox");
    QVERIFY(!fix->isEnabled());
    click("SNP_KVF_checkBox");
    QVERIFY(fix->isEnabled());
    fix->setCurrentText("Ф1-33");
    QCOMPARE(definition(), "СНП-Д-3-87-1,6-4,5 (Ф1-33)" + kOstTail);
    click("SNP_ONO_checkBox");
    QCOMPARE(window->notes().value("snp_otv"), QString("1"));
    QCOMPARE(w<QLabel>("SNP_Message_Label")->text(), kAttach);
    QCOMPARE(definition(), "СНП-Д-3-87-1,6-4,5 (Ф1-33, черт.)" + kOstTail);
    QVERIFY(w<QTextEdit>("SNP_Description")->toPlainText().endsWith(
        ", с фиксатором Ф1-33, с отверстиями (по чертежу)"));

    click("SNP_KVF_checkBox");
    QCOMPARE(fix->currentText(), QString("Ф1-20"));
    QVERIFY(!fix->isEnabled());
    QCOMPARE(definition(), "СНП-Д-3-87-1,6-4,5 (черт.)" + kOstTail);
    click("SNP_ONO_checkBox");
    QCOMPARE(window->notes().value("snp_otv"), QString());
    QCOMPARE(w<QLabel>("SNP_Message_Label")->text(), QString());
    QCOMPARE(definition(), "СНП-Д-3-87-1,6-4,5 " + kOstTail);
}

void TstSnpTab::clearButtonResetsExtras()
{
    QVERIFY(open());
    click("SNP_ASME_165_Btn");
    click("Type_in_5_Btn");
    click("SNP_Tempr_max_Btn");
    click("SNP_Perem_Yes");
    w<QComboBox>("SNP_Perem_Box")->setCurrentText("C");
    click("SNP_KVF_checkBox");
    click("SNP_ONO_checkBox");
    w<QComboBox>("SNP_In_Materials")->setCurrentIndex(3);
    w<QComboBox>("SNP_Out_Materials")->setCurrentIndex(1);
    QCOMPARE(w<QLabel>("SNP_Message_Label")->text(), kAttach);

    click("SNP_ClearAdd_Btn");
    QVERIFY(b("Type_in_3_Btn")->isChecked());
    QCOMPARE(tab->SNPFill, QString("3"));
    QVERIFY(b("SNP_Tempr_min_Btn")->isChecked());
    QCOMPARE(w<QComboBox>("SNP_ModElem")->currentIndex(), 0);
    QVERIFY(!b("SNP_Perem_Yes")->isChecked());
    QVERIFY(!b("SNP_KVF_checkBox")->isChecked());
    QVERIFY(!b("SNP_ONO_checkBox")->isChecked());
    QCOMPARE(w<QComboBox>("SNP_In_Materials")->currentIndex(), 0);
    QCOMPARE(w<QComboBox>("SNP_K_Materials")->currentIndex(), 0);
    QCOMPARE(w<QComboBox>("SNP_Out_Materials")->currentIndex(), 7);
    QCOMPARE(window->notes().value("snp_perem"), QString());
    QCOMPARE(window->notes().value("snp_otv"), QString());
    QCOMPARE(w<QLabel>("SNP_Message_Label")->text(), QString());
}

// ---- tables and lookups -----------------------------------------------------------

void TstSnpTab::pressurePreselection_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("size");
    QTest::newRow("OST128 has 1,6") << "SNP_OST_128_Btn" << 1 << "1,6 (16,0)" << "10";
    QTest::newRow("GOST128 has 1,6") << "SNP_GOST_128_Btn" << 1 << "1,6 (16,0)" << "50";
    QTest::newRow("OST287 without 1,6") << "SNP_OST_287_Btn" << 0 << "1,0 (10,0)" << "200";
    QTest::newRow("ASME classes") << "SNP_ASME_1647B_Btn" << 0 << "75" << "30";
}

void TstSnpTab::pressurePreselection()
{
    QFETCH(QString, standard);
    QFETCH(int, row);
    QFETCH(QString, press);
    QFETCH(QString, size);
    QVERIFY(open());
    if (standard == "SNP_OST_128_Btn")
        click("SNP_EN15_Btn");
    drain();
    click(qPrintable(standard));
    QCOMPARE(w<QListWidget>("Press_table")->currentRow(), row);
    QCOMPARE(w<QListWidget>("Size_table")->currentRow(), 0);
    QCOMPARE(tab->SNPPress, press);
    QVariantMap req;
    QVERIFY(nextRequest(7, &req));
    QCOMPARE(req.value("press").toString(), press);
    QCOMPARE(req.value("size").toString(), size);
    QVERIFY(quiet());
}

void TstSnpTab::requestStandardMapping_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("title");
    const QString inch = "Номинальный проход, \"";
    QTest::newRow("EN 12560 / 16.5") << "SNP_EN_165_Btn" << "EN1215165" << "ASME165" << inch;
    QTest::newRow("EN 12560 / 16.47 A") << "SNP_EN_1647A_Btn" << "EN12151647A" << "ASME1647A" << inch;
    QTest::newRow("EN 12560 / 16.47 B") << "SNP_EN_1647B_Btn" << "EN12151647B" << "ASME1647B" << inch;
    QTest::newRow("ASME 16.47 B") << "SNP_ASME_1647B_Btn" << "ASME1647B" << "ASME1647B" << inch;
    QTest::newRow("EN1514") << "SNP_EN15_Btn" << "EN1514" << "EN1514" << "Номинальный размер DN";
    QTest::newRow("GOST128") << "SNP_GOST_128_Btn" << "GOST128" << "GOST128" << "Условный проход, мм";
}

void TstSnpTab::requestStandardMapping()
{
    QFETCH(QString, button);
    QFETCH(QString, standard);
    QFETCH(QString, sent);
    QFETCH(QString, title);
    QVERIFY(open());
    drain();
    click(qPrintable(button));
    QCOMPARE(tab->SNPStandard, standard);
    QCOMPARE(w<QLabel>("Title_size")->text(), title);
    QVariantMap req;
    QVERIFY(nextRequest(7, &req));
    QCOMPARE(req.value("standart").toString(), sent);
    QCOMPARE(req.value("tf").toString(), QString("E"));
    QCOMPARE(req.value("size").toString(), w<QListWidget>("Size_table")->item(0)->text());
    QVERIFY(quiet());
}

void TstSnpTab::sameRowTwiceSendsOnce()
{
    QVERIFY(open());
    drain();
    QVariantMap req;
    clickRow("Size_table", 3);
    QVERIFY(nextRequest(7, &req, 200)); // sent at once, not after the delay
    QCOMPARE(req.value("size").toString(), QString("25"));
    clickRow("Size_table", 3);
    QVERIFY(quiet());
    clickRow("Press_table", 2);
    QVERIFY(nextRequest(7, &req, 200));
    QCOMPARE(req.value("press").toString(), QString("2,5 (25,0)"));
    QCOMPARE(req.value("size").toString(), QString("25"));
    clickRow("Press_table", 2);
    QVERIFY(quiet());
}

void TstSnpTab::d2List_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("current");
    // The start answer's D2 (87) is made current in the start list.
    QTest::newRow("OST128 type E") << "" << "" << QStringList({"55", "65", "87"}) << 2;
    QTest::newRow("OST128 type A") << "" << "SNP_A_Btn" << QStringList({"40", "50"}) << 0;
    QTest::newRow("OST287 type C") << "SNP_OST_287_Btn" << "" << QStringList({"210", "260"}) << 0;
    QTest::newRow("OST287 type A") << "SNP_OST_287_Btn" << "SNP_A_Btn" << QStringList({"205", "255", "305"}) << 0;
    QTest::newRow("GOST128 hides it") << "SNP_GOST_128_Btn" << "" << QStringList() << -1;
    QTest::newRow("ASME hides it") << "SNP_ASME_1647A_Btn" << "SNP_C_Btn" << QStringList() << -1;
}

void TstSnpTab::d2List()
{
    QFETCH(QString, standard);
    QFETCH(QString, type);
    QFETCH(QStringList, rows);
    QFETCH(int, current);
    QVERIFY(open());
    if (!standard.isEmpty())
        click(qPrintable(standard));
    if (!type.isEmpty())
        click(qPrintable(type));
    const bool shown = !rows.isEmpty();
    QCOMPARE(w<QWidget>("D2_Field")->isVisible(), shown);
    QCOMPARE(w<QLabel>("D2_Data")->x(), shown ? 213 : 250);
    if (shown) {
        auto *list = w<QListWidget>("D2_table");
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        QCOMPARE(texts, rows);
        QCOMPARE(list->currentRow(), current);
    }
}

void TstSnpTab::d2LookupAndBackToSize()
{
    QVERIFY(open());
    drain();
    QVariantMap req;
    clickRow("Size_table", 2);
    QVERIFY(nextRequest(7, &req));
    QCOMPARE(req.value("size").toString(), QString("20"));
    QVERIFY(replyDimensions(kDiameters));
    QCOMPARE(w<QListWidget>("D2_table")->currentItem()->text(), QString("87"));

    clickRow("D2_table", 0);
    QVERIFY(nextRequest(19, &req));
    QCOMPARE(req.value("standart").toString(), QString("OST128"));
    QCOMPARE(req.value("tf").toString(), QString("E"));
    QCOMPARE(req.value("d2").toString(), QString("55"));
    QCOMPARE(req.value("press").toString(), QString("1,6 (16,0)"));
    QVERIFY(!req.contains("size"));

    peer->reply(item(20, wire::encodeStringList({"15", "100", "75", "55", "40"})));
    QTRY_COMPARE(tab->SNPD1, QString("40"));
    QCOMPARE(tab->SNPSize, QString("15"));
    QCOMPARE(w<QListWidget>("Size_table")->currentItem()->text(), QString("15"));
    QCOMPARE(w<QLabel>("D2_Data")->text(), QString("55"));
    QCOMPARE(w<QLabel>("D4_Data")->text(), QString("100"));
    QCOMPARE(definition(), QString("СНП-Д-3-55-1,6-4,5  ОСТ 26.260.454 [100 x 75 x 55 x 40] "));

    // Going back to the size asked for before must ask again: the diameters
    // on screen now belong to size 15.
    clickRow("Size_table", 2);
    QVERIFY(nextRequest(7, &req));
    QCOMPARE(req.value("size").toString(), QString("20"));
}

void TstSnpTab::unknownD2ValueIsExplained()
{
    QVERIFY(open());
    QVERIFY(replyDimensions({"136", "109", "99", "71"}));
    QPointer<QMessageBox> box;
    QTRY_VERIFY(([&] {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *m = qobject_cast<QMessageBox *>(top); m && m->isVisible())
                box = m;
        return box != nullptr;
    }()));
    QVERIFY(box->text().contains("D2 = 99 мм"));
    // The box does not hold up the reply: it is applied completely while the box is open.
    QVERIFY(box->isVisible());
    QCOMPARE(definition(), QString("СНП-Д-3-99-1,6-4,5  ОСТ 26.260.454 [136 x 109 x 99 x 71] "));

    // Asking again does not stack a second box: the open one tells the newest value.
    QVERIFY(replyDimensions({"140", "112", "101", "73"}));
    int open = 0;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *m = qobject_cast<QMessageBox *>(top); m && m->isVisible())
            ++open;
    QCOMPARE(open, 1);
    QVERIFY(box->text().contains("D2 = 101 мм"));

    // Closed by the user, the box comes back for the next unknown value.
    box->close();
    QTRY_VERIFY(box.isNull());
    QVERIFY(replyDimensions({"136", "109", "99", "71"}));
    QTRY_VERIFY(([&] {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *m = qobject_cast<QMessageBox *>(top); m && m->isVisible())
                box = m;
        return !box.isNull();
    }()));
    QVERIFY(box->text().contains("D2 = 99 мм"));
}

// The box has no parent and does not block; closing the main window beside it
// must still end the program.
void TstSnpTab::d2BoxDoesNotKeepTheProgramRunning()
{
    QVERIFY(open());
    QVERIFY(replyDimensions({"136", "109", "99", "71"}));
    QTRY_VERIFY(([] {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox *>(top) && top->isVisible())
                return true;
        return false;
    }()));
    QVERIFY(window->close());
    // Qt ends the event loop when no visible parentless window that counts for
    // quitting is left (running the loop here would end the whole test run).
    for (QWidget *top : QApplication::topLevelWidgets())
        QVERIFY2(!top->isVisible() || top->parentWidget() || !top->testAttribute(Qt::WA_QuitOnClose),
                 top->metaObject()->className());
}

void TstSnpTab::tuTypedDiameters()
{
    QVERIFY(open());
    drain();
    click("SNP_TU_Btn");
    for (const char *n : {"Size_table", "Press_table", "Title_size", "Title_press", "D2_Field"})
        QVERIFY2(!w<QWidget>(n)->isVisible(), n);
    QCOMPARE(definition(), QString());
    QCOMPARE(w<QLabel>("D1_Data")->text(), QString());
    for (const char *n : {"D1_Edit", "D2_Edit", "D3_Edit", "D4_Edit", "D1_label"})
        QVERIFY2(w<QWidget>(n)->isVisible(), n);

    QTest::keyClicks(w<QLineEdit>("D4_Edit"), "90");
    QTest::keyClicks(w<QLineEdit>("D3_Edit"), "70");
    QTest::keyClicks(w<QLineEdit>("D2_Edit"), "50");
    QCOMPARE(definition(), QString()); // D1 still missing
    QTest::keyClicks(w<QLineEdit>("D1_Edit"), "-4x0"); // the validator drops sign and letter
    QCOMPARE(w<QLineEdit>("D1_Edit")->text(), QString("40"));
    QCOMPARE(w<QLabel>("D1_Data")->text(), QString("40"));
    QCOMPARE(definition(), QString("СНП-Д-3-90 x 70 x 50 x 40-4,5  ТУ 3689-010-40517326"));
    QCOMPARE(tab->SNPDescriptionText,
             QString("Спирально-навитая прокладка (СНП) по ТУ 3689-010-40517326 типа Д (с наружным  "
                     "CRS (сталь 20) и внутренним  AISI 304 (08X18H9) ограничительными кольцами), с "
                     "металлическим каркасом из ленты  AISI 304 (08X18H9) и наполнителем из ТРГ (FG) "
                     "для применения на фланце \"соединительный выступ\" с размерами 90*70*50*40, "
                     "толщиной 4,5 мм"));

    // A table answer asked for before the switch arrives late: the typed
    // diameters stay.
    QSignalSpy arrived(socket.get(), &QTcpSocket::readyRead);
    peer->reply(item(8, wire::encodeStringList({"136", "109", "99", "71"})));
    peer->reply(item(8, wire::encodeStringList({})));
    QVERIFY(arrived.wait());
    QTRY_COMPARE(socket->bytesAvailable(), qint64(0));
    QCOMPARE(tab->SNPD1, QString("40"));
    QCOMPARE(w<QLabel>("D4_Data")->text(), QString("90"));
    QCOMPARE(definition(), QString("СНП-Д-3-90 x 70 x 50 x 40-4,5  ТУ 3689-010-40517326"));

    click("SNP_D_Btn"); // a type change empties the edits and shows its own
    QVERIFY(!w<QWidget>("D1_Edit")->isVisible());
    QCOMPARE(definition(), QString());
    QTest::keyClicks(w<QLineEdit>("D4_Edit"), "90");
    QTest::keyClicks(w<QLineEdit>("D3_Edit"), "70");
    QTest::keyClicks(w<QLineEdit>("D2_Edit"), "50,5");
    QCOMPARE(definition(), QString("СНП-Г-3-90 x 70 x 50,5-4,5  ТУ 3689-010-40517326"));

    click("SNP_C_Btn");
    QVERIFY(!w<QWidget>("D4_Edit")->isVisible());
    QTest::keyClicks(w<QLineEdit>("D3_Edit"), "70");
    QTest::keyClicks(w<QLineEdit>("D2_Edit"), "50");
    QCOMPARE(definition(), QString()); // type C needs D1
    QVERIFY(quiet());

    // Back to a table standard: the lists return and the lookup goes out again,
    // although size and pressure equal the last request before TU.
    click("SNP_OST_128_Btn");
    QVERIFY(w<QWidget>("Size_table")->isVisible());
    QVERIFY(!w<QWidget>("D1_Edit")->isVisible());
    QVariantMap req;
    QVERIFY(nextRequest(7, &req));
    QCOMPARE(req.value("size").toString(), QString("10"));
    QCOMPARE(req.value("press").toString(), QString("1,6 (16,0)"));
}

void TstSnpTab::roadThroughAsme()
{
    QVERIFY(open());
    drain();
    click("SNP_ASME_165_Btn");
    QCOMPARE(w<QLabel>("Title_press")->text(), QString("Класс давления"));
    QVariantMap req;
    QVERIFY(nextRequest(7, &req));
    clickRow("Size_table", 2);
    QVERIFY(nextRequest(7, &req));
    clickRow("Press_table", 1);
    QVERIFY(nextRequest(7, &req));
    QCOMPARE(req, QVariantMap({{"standart", "ASME165"}, {"tf", "E"}, {"size", "1"}, {"press", "300"}}));
    QVERIFY(replyDimensions(kDiameters));
    QCOMPARE(w<QLabel>("D4_Data")->text(), QString("135"));
    QCOMPARE(definition(), QString("СНП-Д-1-300#-F.G ASME B 16.20 [135 x 109 x 87 x 70] "));
    const QString description =
        "Спирально-навитая прокладка (СНП) по ASME B 16.20 типа Д (с наружным  CRS (сталь 20) и "
        "внутренним  AISI 304 (08X18H9) ограничительными кольцами), с металлическим каркасом из "
        "ленты  AISI 304 (08X18H9) и наполнителем из ТРГ (FG) для применения на фланце "
        "\"соединительный выступ\" по ASME B 16.5 с размерами 135*109*87*70, толщиной 4,5 мм";
    QCOMPARE(tab->SNPDescriptionText, description);
    QCOMPARE(w<QTextEdit>("SNP_Description")->toPlainText(), description);
    QCOMPARE(w<QLabel>("SNP_Message_Label")->text(), QString());

    // No gasket for the next choice: texts empty, notice shown.
    clickRow("Size_table", 3);
    QVERIFY(nextRequest(7, &req));
    peer->reply(item(8, wire::encodeStringList({})));
    QTRY_COMPARE(definition(), QString());
    QCOMPARE(tab->SNPDescriptionText, QString());
    QCOMPARE(w<QLabel>("SNP_Message_Label")->text(),
             QString("Конструкции для заданных параметров не существует. "));
}

void TstSnpTab::roadThroughOst()
{
    QVERIFY(open());
    click("Flan_C_Btn");
    QCOMPARE(tab->SNPType, QString("A"));
    drain();
    click("Type_in_4_Btn");
    w<QComboBox>("SNP_K_Materials")->setCurrentIndex(4); // 3L
    clickRow("Size_table", 6);
    QVariantMap req;
    QVERIFY(nextRequest(7, &req));
    clickRow("Press_table", 2);
    QVERIFY(nextRequest(7, &req));
    QCOMPARE(req, QVariantMap({{"standart", "OST128"}, {"tf", "A"}, {"size", "40"}, {"press", "2,5 (25,0)"}}));
    QVERIFY(replyDimensions({"0", "60", "40", "0"}));
    QCOMPARE(tab->SNPDepth, QString("3,2"));
    QCOMPARE(w<QListWidget>("D2_table")->currentItem()->text(), QString("40"));
    QCOMPARE(definition(), QString("СНП-А-4-40-2,5-3,2-03L0 ОСТ 26.260.454 [60 x 40] "));
    QCOMPARE(tab->SNPDescriptionText,
             QString("Спирально-навитая прокладка (СНП) по ОСТ 26.260.454 типа А (без ограничительных "
                     "колец) с металлическим каркасом из ленты AISI 316 L (03X17H13M2) и наполнителем "
                     "из ТРГ (FG) для применения на фланце \"шип-паз\" по ГОСТ 12815 (трубопроводы) с "
                     "размерами 60*40, толщиной 3,2 мм"));
    QCOMPARE(tab->SNPKCode, QString("3L"));
}

// ---- materials -------------------------------------------------------------------------

void TstSnpTab::materialGroupCodes_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("part");
    QTest::newRow("defaults") << QStringList() << " ";
    QTest::newRow("inner 3 takes the winding along") << QStringList({"In:3"}) << "-335";
    QTest::newRow("inner Monel") << QStringList({"In:8"}) << "-665";
    QTest::newRow("winding 3L") << QStringList({"K:4"}) << "-13L5";
    QTest::newRow("outer 304") << QStringList({"Out:0"}) << "-111";
    QTest::newRow("3L3L3L is 333L") << QStringList({"In:4", "Out:4"}) << "-333L";
    QTest::newRow("3Ti3Ti3Ti is 333Ti") << QStringList({"In:5", "Out:5"}) << "-333Ti";
    QTest::newRow("3L3L5 is 335L") << QStringList({"In:4"}) << "-335L";
    QTest::newRow("3Ti3Ti5 is 335Ti") << QStringList({"In:5"}) << "-335Ti";
    QTest::newRow("other outer untouched") << QStringList({"Out:13"}) << "-11{др.}";
}

void TstSnpTab::materialGroupCodes()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, part);
    QVERIFY(open());
    for (const QString &s : steps) {
        const QStringList kv = s.split(':');
        w<QComboBox>(qPrintable("SNP_" + kv.at(0) + "_Materials"))->setCurrentIndex(kv.at(1).toInt());
    }
    QCOMPARE(definition(), "СНП-Д-3-87-1,6-4,5" + part + kOstTail);
}

void TstSnpTab::windingFollowsInnerRing_data()
{
    QTest::addColumn<int>("inner");
    QTest::addColumn<int>("winding");
    QTest::newRow("Inconel 6 → 6") << 6 << 6;
    QTest::newRow("carbon steel 7 → 7") << 7 << 7;
    QTest::newRow("Monel 8 → 7") << 8 << 7;
    QTest::newRow("Hastelloy B 12 → 11") << 12 << 11;
    QTest::newRow("other material leaves it") << 13 << 2;
}

void TstSnpTab::windingFollowsInnerRing()
{
    QFETCH(int, inner);
    QFETCH(int, winding);
    QVERIFY(open());
    w<QComboBox>("SNP_K_Materials")->setCurrentIndex(2);
    w<QComboBox>("SNP_In_Materials")->setCurrentIndex(inner);
    QCOMPARE(w<QComboBox>("SNP_K_Materials")->currentIndex(), winding);
}

void TstSnpTab::otherMaterialKeystrokes()
{
    QVERIFY(open());
    auto *inner = w<QComboBox>("SNP_In_Materials");
    QVERIFY(!inner->isEditable());
    inner->setCurrentIndex(13);
    QVERIFY(inner->isEditable());
    QCOMPARE(inner->lineEdit()->selectedText(), QString("<другой материал>"));
    QCOMPARE(definition(), "СНП-Д-3-87-1,6-4,5-{др.}15" + kOstTail);

    const QString typed = "Zr 7";
    for (int i = 0; i < typed.size(); ++i) {
        QTest::keyClick(inner->lineEdit(), typed.at(i).toLatin1());
        const QString sofar = typed.left(i + 1);
        const QString code = sofar.trimmed().isEmpty() ? "{др.}" : "{" + sofar + "}";
        QCOMPARE(definition(), "СНП-Д-3-87-1,6-4,5-" + code + "15" + kOstTail);
    }
    // Enter must not turn the typed name into a list entry.
    QTest::keyClick(inner->lineEdit(), Qt::Key_Return);
    QCOMPARE(inner->count(), 14);
    QCOMPARE(inner->currentIndex(), 13);
    QCOMPARE(definition(), "СНП-Д-3-87-1,6-4,5-{Zr 7}15" + kOstTail);
    QCOMPARE(tab->SNPInCode, QString("{Zr 7}"));

    inner->lineEdit()->selectAll();
    QTest::keyClick(inner->lineEdit(), ' ');
    QCOMPARE(definition(), "СНП-Д-3-87-1,6-4,5-{др.}15" + kOstTail);

    // A typed name is shown in the description as typed, never as markup.
    auto *outer = w<QComboBox>("SNP_Out_Materials");
    outer->setCurrentIndex(13);
    QTest::keyClicks(outer->lineEdit(), "Ni<b>1</b>");
    QCOMPARE(definition(), "СНП-Д-3-87-1,6-4,5-{др.}1{Ni<b>1</b>}" + kOstTail);
    QVERIFY(tab->SNPDescriptionText.contains("с наружным Ni<b>1</b> и внутренним"));
    QCOMPARE(w<QTextEdit>("SNP_Description")->toPlainText(), tab->SNPDescriptionText);
    outer->setCurrentIndex(7);

    inner->setCurrentIndex(2);
    QVERIFY(!inner->isEditable());
    QCOMPARE(definition(), "СНП-Д-3-87-1,6-4,5-225" + kOstTail);
    inner->setCurrentIndex(13);
    QCOMPARE(inner->currentText(), QString("<другой материал>"));
    QCOMPARE(definition(), "СНП-Д-3-87-1,6-4,5-{др.}25" + kOstTail);
}

void TstSnpTab::ringPickersFollowType_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("inner");
    QTest::addColumn<bool>("outer");
    QTest::newRow("A") << "SNP_A_Btn" << false << false;
    QTest::newRow("B") << "SNP_B_Btn" << false << false;
    QTest::newRow("C") << "SNP_C_Btn" << true << false;
    QTest::newRow("D") << "SNP_D_Btn" << false << true;
}

void TstSnpTab::ringPickersFollowType()
{
    QFETCH(QString, type);
    QFETCH(bool, inner);
    QFETCH(bool, outer);
    QVERIFY(open());
    w<QComboBox>("SNP_In_Materials")->setCurrentIndex(3);
    w<QComboBox>("SNP_Out_Materials")->setCurrentIndex(2);
    click(qPrintable(type));
    QCOMPARE(w<QComboBox>("SNP_In_Materials")->isEnabled(), inner);
    QCOMPARE(w<QComboBox>("SNP_Out_Materials")->isEnabled(), outer);
    QCOMPARE(w<QComboBox>("SNP_In_Materials")->currentIndex(), 3);
    QCOMPARE(w<QComboBox>("SNP_Out_Materials")->currentIndex(), 2);
    click("SNP_E_Btn");
    QVERIFY(w<QComboBox>("SNP_In_Materials")->isEnabled());
    QVERIFY(w<QComboBox>("SNP_Out_Materials")->isEnabled());
}

// The value labels are placed by fixed numbers and the drawing is drawn for
// them; whatever edit breaks the pairing shows here: every value must lie on
// the drawing, on a horizontal line of it, in the order D1 (top) .. D4.
void TstSnpTab::valuesBesideTheirLines_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("type");
    for (const char *standard : {"SNP_OST_128_Btn", "SNP_GOST_128_Btn", "SNP_ASME_165_Btn"}) {
        for (const char *type : {"SNP_A_Btn", "SNP_B_Btn", "SNP_C_Btn", "SNP_D_Btn", "SNP_E_Btn"})
            QTest::newRow(qPrintable(QString("%1 %2").arg(standard, type))) << standard << type;
    }
}

void TstSnpTab::valuesBesideTheirLines()
{
    QFETCH(QString, standard);
    QFETCH(QString, type);
    QVERIFY(open());
    click(qPrintable(standard));
    click(qPrintable(type));

    auto *picture = w<QLabel>("SNP_Picture");
    const QImage img = picture->pixmap(Qt::ReturnByValue).toImage();
    QVERIFY(!img.isNull());
    // Where the label paints its pixmap.
    const QRect drawn = QStyle::alignedRect(Qt::LeftToRight, picture->alignment(), img.size(),
                                            picture->geometry());
    QVERIFY2(img.height() <= picture->height(), "drawing taller than its label");
    QVERIFY(picture->parentWidget()->rect().contains(drawn));

    auto darkRunLeftOf = [&](int x, int y) {
        // Longest dark horizontal run in the rows around y, left of x.
        int best = 0;
        for (int dy = -1; dy <= 1; ++dy) {
            const int row = y - drawn.y() + dy;
            if (row < 0 || row >= img.height())
                continue;
            int run = 0;
            for (int col = 0; col < qMin(x - drawn.x(), img.width()); ++col) {
                run = qGray(img.pixel(col, row)) < 200 ? run + 1 : 0;
                best = qMax(best, run);
            }
        }
        return best;
    };

    int lastY = -1;
    QList<QRect> placed;
    for (int n = 1; n <= 4; ++n) {
        auto *label = w<QLabel>(qPrintable(QString("D%1_Data").arg(n)));
        if (label->isHidden())
            continue;
        const QRect r = label->geometry();
        QVERIFY2(drawn.contains(QPoint(r.left(), r.center().y())), qPrintable(label->objectName()));
        QVERIFY2(r.right() <= drawn.right() + 1, qPrintable(label->objectName()));
        QVERIFY2(r.top() >= lastY, qPrintable(label->objectName() + " out of order"));
        lastY = r.bottom();
        QVERIFY2(darkRunLeftOf(r.left(), r.center().y()) >= 20,
                 qPrintable(label->objectName() + " has no dimension line beside it"));
        placed << r;
    }
    QVERIFY(placed.size() >= 2);

    for (const char *name : {"H_Data", "H1_Data", "H2_Data"}) {
        auto *label = w<QLabel>(name);
        if (label->isHidden())
            continue;
        const QRect r = label->geometry();
        QVERIFY2(drawn.contains(r.center()), name);
        for (const QRect &d : placed)
            QVERIFY2(!r.intersects(d), name);
        placed << r;
    }
}

void TstSnpTab::initTestCase()
{
    vintaroInitResources();
}

QTEST_MAIN(TstSnpTab)
#include "tst_snptab.moc"
