// The PUTG configurator inside the real main window, against an in-test server.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QStyle>
#include <QTcpSocket>
#include <QTextEdit>
#include <QTableWidget>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "app/mainwindow.h"
#include "app/message.h"
#include "materials.h"
#include "putg/putgtab.h"
#include "putg/putgwidgets.h"
#include "putgoptions.h"
#include "testpeer.h"
#include "wire.h"

namespace {
QByteArray item(quint8 code, const QByteArray &arg = QByteArray())
{
    return QByteArray(1, char(code)) + arg;
}

QStringList numbered(int n, int first = 10, int step = 5)
{
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << QString::number(first + step * i);
    return l;
}

const QStringList kGostPress = {"0,1 (1,0)", "0,25 (2,5)", "0,6 (6,0)", "1,0 (10,0)", "1,6 (16,0)",
                                "2,5 (25,0)"};

// Tables for all six PUTG standards with enough rows for the size classes.
QVariantMap allTables()
{
    QVariantMap t;
    t.insert("putg_gost128_size", numbered(30));
    t.insert("putg_gost128_press", kGostPress);
    t.insert("putg_gost287_size", numbered(12, 400, 100));
    t.insert("putg_gost287_press", QStringList({"0,3 (3,0)", "0,6 (6,0)", "1,0 (10,0)", "1,6 (16,0)", "2,5 (25,0)"}));
    t.insert("putg_asme165_size", numbered(30, 1, 1));
    t.insert("putg_asme165_press", QStringList({"150", "300", "600"}));
    t.insert("putg_asme1647A_size", numbered(20, 26, 2));
    t.insert("putg_asme1647A_press", QStringList({"75", "150", "300"}));
    t.insert("putg_asme1647B_size", numbered(20, 26, 2));
    t.insert("putg_asme1647B_press", QStringList({"75", "150", "300"}));
    t.insert("putg_asmeEN1514_size", numbered(30));
    t.insert("putg_asmeEN1514_press", QStringList({"PN2,5", "PN6", "PN10", "PN16", "PN25"}));
    return t;
}
} // namespace

void vintaroInitResources();

class TstPutgTab : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formLists_data();
    void formLists();
    void startState();
    void constructions_data();
    void constructions();
    void ruledOutConstructionFallsBackToPlain();
    void modElemAndTemperature_data();
    void modElemAndTemperature();
    void splitParts_data();
    void splitParts();
    void jumper_data();
    void jumper();
    void noteFlags_data();
    void noteFlags();

    void preselection_data();
    void preselection();
    void requestTf_data();
    void requestTf();
    void reinforcementSendsNothingConstructionSends();
    void nonStandardFlangeForcesNewRequest();
    void rectangularNeverSends();
    void backToRoundLaysOutTheRings();
    void wholeRoad();
    void otherMaterialAndThicknessTyped();
    void addKeepsTheMainChoices();
    void unchangedChoiceLeavesNoWaitingDialog();
    void listTitlesMatchTheValues();
    void facingPictureReadable();

    void fillList_data();
    void fillList();
    void resizeChert_data();
    void resizeChert();
    void valuesOnTheirLines_data();
    void valuesOnTheirLines();

private:
    // A main window with only the PUTG tab; with tables, waits for the first lookup.
    MainWindow *open(const QVariantMap &tables = QVariantMap());
    template <class T> T *child(const char *name)
    {
        T *w = window->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    PutgTab *tab() const { return window->putgTab(); }
    QList<QVariantMap> lookups() const;
    void settle() { QTest::qWait(420); }

    std::unique_ptr<TestPeer> peer;
    std::unique_ptr<QTcpSocket> socket;
    std::unique_ptr<MainWindow> window;
};

void TstPutgTab::initTestCase()
{
    vintaroInitResources();
}

void TstPutgTab::init()
{
    peer = std::make_unique<TestPeer>();
    socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, peer->port());
    QVERIFY(socket->waitForConnected(5000));
    QVERIFY(peer->waitForConnection());
}

void TstPutgTab::cleanup()
{
    window.reset();
    socket.reset();
    peer.reset();
}

MainWindow *TstPutgTab::open(const QVariantMap &tables)
{
    window = std::make_unique<MainWindow>(socket.get(), "user", "pw", nullptr,
                                          QVariantMap{{"PUTG", true}}, nullptr);
    window->show();
    if (!peer->waitForFrames(1))
        return nullptr;
    if (!tables.isEmpty()) {
        peer->reply(item(5, wire::encodeMap(tables)));
        if (!QTest::qWaitFor([this] { return lookups().size() == 1; }, 3000))
            return nullptr;
    }
    return window.get();
}

QList<QVariantMap> TstPutgTab::lookups() const
{
    QList<QVariantMap> out;
    for (const QByteArray &f : peer->frames) {
        if (TestPeer::code(f) != wire::PutgRequest)
            continue;
        QVariantMap m;
        TestPeer::argument(f).readMap(&m);
        out << m;
    }
    return out;
}

// Adding an item resets only its extra elements: the next item keeps the
// thickness and material the customer chose.
void TstPutgTab::addKeepsTheMainChoices()
{
    QVERIFY(open(allTables()));
    peer->reply(item(wire::PutgReply, wire::encodeStringList({"0", "107", "57", "0"})));
    QTRY_VERIFY(!child<QLineEdit>("PUTG_Definition")->text().isEmpty());
    child<QComboBox>("PUTG_Depth_Box")->setCurrentText("3,0");
    child<QComboBox>("PUTG_O_Material")->setCurrentIndex(4);
    child<QCheckBox>("PUTG_Otv_checkBox")->setChecked(true);
    child<QPushButton>("PUTG_Add_To_Basket")->click();
    QCOMPARE(child<QTableWidget>("Basket")->rowCount(), 1);
    QCOMPARE(child<QComboBox>("PUTG_Depth_Box")->currentText(), QString("3,0"));
    QCOMPARE(child<QComboBox>("PUTG_O_Material")->currentIndex(), 4);
    QVERIFY(!child<QCheckBox>("PUTG_Otv_checkBox")->isChecked());
    QVERIFY(child<QLineEdit>("PUTG_Definition")->text().contains("-3,0"));
}

// Oval and back to round asks nothing new: no dialog may wait for an answer.
void TstPutgTab::unchangedChoiceLeavesNoWaitingDialog()
{
    QVERIFY(open(allTables()));
    peer->reply(item(wire::PutgReply, wire::encodeStringList({"0", "39", "18", "0"})));
    QTRY_COMPARE(tab()->PUTGD3, QString("39"));
    settle();
    child<QRadioButton>("PUTG_Config_Ellipse")->click();
    child<QRadioButton>("PUTG_Config_Circle")->click();
    settle();
    QCOMPARE(lookups().size(), 1);
    for (Message *m : window->findChildren<Message *>())
        QVERIFY2(!m->isVisible() || m->isCloseEnabled(), qPrintable(m->messageText()));
}

void TstPutgTab::listTitlesMatchTheValues()
{
    QVERIFY(open(allTables()));
    const struct { int standard; const char *size; const char *press; } rows[] = {
        {2, "Номинальный проход, \"", "Класс давления"},
        {5, "Номинальный размер DN", "Номинальное давление PN"},
        {0, "Ду", "Ру, МПа (кгс/см²)"},
    };
    for (const auto &r : rows) {
        child<QComboBox>("PUTGStandBox")->setCurrentIndex(r.standard);
        QCOMPARE(child<QLabel>("PUTG_Size_Label")->text(), QString(r.size));
        QCOMPARE(child<QLabel>("PUTG_Press_Label")->text(), QString(r.press));
    }
}

// Each facing picture is shown at a size where it can be read, with its
// proportions, clear of the gasket drawing.
void TstPutgTab::facingPictureReadable()
{
    QVERIFY(open());
    auto *picture = child<QLabel>("PUTG_Flan_Picture");
    auto *drawing = child<QLabel>("PUTG_Pic_Pr");
    for (int facing : {2, 1, 0}) {
        child<QComboBox>("PUTGFlanBox")->setCurrentIndex(facing);
        const QPixmap pm = picture->pixmap(Qt::ReturnByValue);
        QVERIFY2(pm.width() >= 150, qPrintable(QString::number(pm.width())));
        QCOMPARE(pm.width() * 2, pm.height() * 3);
    }
    const QRect pictureRect(picture->mapTo(window.get(), QPoint()), picture->size());
    const QRect drawingRect(drawing->mapTo(window.get(), QPoint()), drawing->size());
    QVERIFY(!pictureRect.intersects(drawingRect));
}

// ---- form and option rules -------------------------------------------------

void TstPutgTab::formLists_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("standards") << "PUTGStandBox" << putg::standardLabels();
    QTest::newRow("facings") << "PUTGFlanBox" << putg::flanLabels();
    QTest::newRow("modifying element") << "PUTG_ModElem" << putg::modElemEntries();
    QTest::newRow("purity") << "PUTGCleenBox" << putg::cleenEntries();
    QTest::newRow("coating") << "PUTG_HowMade_Box" << putg::howMadeEntries();
    QTest::newRow("fixing") << "PUTGFixBox" << putg::fixEntries();
    QTest::newRow("jumper") << "PUTG_Perem_Box" << putg::jumperLetters();
    QTest::newRow("thickness 212") << "PUTG_Depth_Box" << QStringList({"1,0", "1,5", "2,0", "3,0", "4,0", "др."});
    QTest::newRow("AE") << "PUTG_AE_Material" << materials::ringList();
    QTest::newRow("obturator") << "PUTG_O_Material" << materials::stripList();
    QTest::newRow("inner ring") << "PUTG_In_Material" << materials::ringList();
    QTest::newRow("outer ring") << "PUTG_Out_Material" << materials::ringList();
}

void TstPutgTab::formLists()
{
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    QVERIFY(open());
    auto *box = child<QComboBox>(name.toUtf8().constData());
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
        shown << box->itemText(i);
    QCOMPARE(shown, items);

    // The buttons carry the texts of their codes.
    for (int i = 0; i < putg::reinforcements().size(); ++i) {
        const QByteArray n = "PUTG_Pr_" + putg::reinforcements().at(i).toUtf8() + "_Btn";
        QCOMPARE(child<QRadioButton>(n.constData())->text(), putg::reinforcementLabels().at(i));
    }
    for (int i = 0; i < putg::constructions().size(); ++i) {
        const QByteArray n = "PUTG_Const_" + putg::constructions().at(i).toUtf8() + "_Btn";
        QCOMPARE(child<QRadioButton>(n.constData())->text(), putg::constructionLabels().at(i));
    }
}

void TstPutgTab::startState()
{
    QVERIFY(open());
    QVERIFY(child<QRadioButton>("PUTG_Config_Circle")->isChecked());
    QVERIFY(child<QRadioButton>("PUTG_Pr_212_Btn")->isChecked());
    QVERIFY(child<QRadioButton>("PUTG_Const_01_Btn")->isChecked());
    QVERIFY(child<QRadioButton>("PUTG_tempr_min")->isChecked());
    QVERIFY(!child<QWidget>("PUTG_Pr_S_Field")->isVisible());
    QVERIFY(child<QWidget>("PUTG_Size_table")->isVisible());
    QCOMPARE(tab()->PUTGConfig, QString("circ"));
    QCOMPARE(tab()->PUTGStandard, QString("GOST128"));
    QCOMPARE(tab()->PUTGFlanType, QString("A"));
    QCOMPARE(tab()->PUTGPress, QString("1,6 (16,0)"));
    QCOMPARE(tab()->PUTGSize, QString("10"));
    // The reset comes last and leaves the first thickness; the size class
    // default follows once the tables are there.
    QCOMPARE(child<QComboBox>("PUTG_Depth_Box")->currentText(), QString("1,0"));
    QCOMPARE(tab()->PUTGDepth, QString("1,0"));
    QCOMPARE(child<QComboBox>("PUTG_AE_Material")->currentIndex(), 0);
    QCOMPARE(child<QComboBox>("PUTG_O_Material")->currentIndex(), 2);
    QCOMPARE(child<QComboBox>("PUTG_In_Material")->currentIndex(), 2);
    QCOMPARE(child<QComboBox>("PUTG_Out_Material")->currentIndex(), 2);
    QVERIFY(child<QComboBox>("PUTG_AE_Material")->isEnabled());
    QVERIFY(!child<QComboBox>("PUTG_O_Material")->isEnabled());
    QVERIFY(!child<QComboBox>("PUTG_In_Material")->isEnabled());
    QVERIFY(!child<QComboBox>("PUTG_Out_Material")->isEnabled());
    for (const char *n : {"PUTG_Perem_Box", "PUTG_Perem_Depth_Edit", "PUTG_Kol_Ch_Raz", "PUTGFixBox"})
        QVERIFY2(!child<QWidget>(n)->isEnabled(), n);
    // No diameters yet: nothing to designate.
    QCOMPARE(child<QLineEdit>("PUTG_Definition")->text(), QString());
    // The start state itself asks the server nothing.
    QTest::qWait(400);
    QCOMPARE(lookups().size(), 0);
}

void TstPutgTab::constructions_data()
{
    QTest::addColumn<QString>("reinforcement");
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("facing");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<bool>("aeEnabled");

    QTest::newRow("100 only 01") << "100" << "Circle" << 0 << QStringList({"01"}) << false;
    QTest::newRow("211 only 01") << "211" << "Circle" << 0 << QStringList({"01"}) << true;
    QTest::newRow("212 round A") << "212" << "Circle" << 0
                                 << QStringList({"01", "02", "03", "04", "043", "044", "013", "014"}) << true;
    QTest::newRow("212 round B") << "212" << "Circle" << 1
                                 << QStringList({"01", "02", "03", "04", "042", "012"}) << true;
    QTest::newRow("212 rectangular: no 01x rings") << "212" << "Rect" << 0
                                                   << QStringList({"01", "02", "03", "04", "043", "044"}) << true;
    QTest::newRow("212 oval B") << "212" << "Ellipse" << 1 << QStringList({"01", "02", "03", "04", "042"}) << true;
    QTest::newRow("311") << "311" << "Circle" << 1 << QStringList({"01", "02", "03", "04"}) << true;
    QTest::newRow("312 tongue and groove") << "312" << "Circle" << 2 << QStringList({"01", "02", "03", "04"}) << true;
    QTest::newRow("312 round A") << "312" << "Circle" << 0
                                 << QStringList({"01", "02", "03", "04", "043", "044"}) << true;
}

void TstPutgTab::constructions()
{
    QFETCH(QString, reinforcement);
    QFETCH(QString, shape);
    QFETCH(int, facing);
    QFETCH(QStringList, enabled);
    QFETCH(bool, aeEnabled);
    QVERIFY(open());

    // Leave the unreinforced kind first (its AE picker must come back), and
    // pick another construction so that a forced "01" shows.
    child<QRadioButton>("PUTG_Pr_100_Btn")->click();
    QVERIFY(!child<QComboBox>("PUTG_AE_Material")->isEnabled());
    child<QRadioButton>("PUTG_Pr_212_Btn")->click();
    QVERIFY(child<QComboBox>("PUTG_AE_Material")->isEnabled());
    child<QRadioButton>(("PUTG_Config_" + shape).toUtf8().constData())->click();
    child<QComboBox>("PUTGFlanBox")->setCurrentIndex(facing);
    child<QRadioButton>("PUTG_Const_03_Btn")->click();
    QCOMPARE(tab()->PUTGConst, QString("03"));
    child<QRadioButton>(("PUTG_Pr_" + reinforcement + "_Btn").toUtf8().constData())->click();
    QCOMPARE(tab()->PUTGPrType, reinforcement);

    QStringList on;
    for (const QString &code : putg::constructions())
        if (child<QRadioButton>(("PUTG_Const_" + code + "_Btn").toUtf8().constData())->isEnabled())
            on << code;
    QCOMPARE(on, enabled);
    QCOMPARE(child<QComboBox>("PUTG_AE_Material")->isEnabled(), aeEnabled);
    if (reinforcement != "212") {
        QVERIFY(child<QRadioButton>("PUTG_Const_01_Btn")->isChecked());
        QCOMPARE(tab()->PUTGConst, QString("01"));
    }
}

void TstPutgTab::ruledOutConstructionFallsBackToPlain()
{
    QVERIFY(open());
    child<QRadioButton>("PUTG_Const_014_Btn")->click();
    QCOMPARE(tab()->PUTGConst, QString("014"));
    QVERIFY(child<QComboBox>("PUTG_In_Material")->isEnabled());
    // Tongue and groove allows no ring construction.
    child<QComboBox>("PUTGFlanBox")->setCurrentIndex(2);
    QCOMPARE(tab()->PUTGConst, QString("01"));
    QVERIFY(child<QRadioButton>("PUTG_Const_01_Btn")->isChecked());
    QVERIFY(!child<QComboBox>("PUTG_In_Material")->isEnabled());
    QVERIFY(!child<QComboBox>("PUTG_Out_Material")->isEnabled());
}

void TstPutgTab::modElemAndTemperature_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("modElem");
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<QString>("putgTo");
    QTest::newRow("Н-18 raises the flag") << QStringList({"elem 5"}) << 5 << "max" << "1";
    QTest::newRow("до 500 takes Н-18 back") << QStringList({"elem 5", "temp min"}) << 0 << "min" << "";
    QTest::newRow("Н-14 is до 600") << QStringList({"elem 4"}) << 4 << "mid" << "";
    QTest::newRow("до 600 picks Н-14") << QStringList({"temp mid"}) << 4 << "mid" << "";
    QTest::newRow("от 600 picks Н-18") << QStringList({"temp max"}) << 5 << "max" << "1";
    QTest::newRow("mica after Н-18") << QStringList({"elem 5", "elem 1"}) << 1 << "min" << "";
    QTest::newRow("до 500 keeps mica") << QStringList({"temp mid", "elem 1", "temp min"}) << 1 << "min" << "";
}

void TstPutgTab::modElemAndTemperature()
{
    QFETCH(QStringList, steps);
    QFETCH(int, modElem);
    QFETCH(QString, temperature);
    QFETCH(QString, putgTo);
    QVERIFY(open());
    auto *elem = child<QComboBox>("PUTG_ModElem");
    for (const QString &s : steps) {
        const QStringList p = s.split(' ');
        if (p[0] == "elem")
            elem->setCurrentIndex(p[1].toInt());
        else
            child<QRadioButton>(("PUTG_tempr_" + p[1]).toUtf8().constData())->click();
    }
    QCOMPARE(elem->currentIndex(), modElem);
    QVERIFY(child<QRadioButton>(("PUTG_tempr_" + temperature).toUtf8().constData())->isChecked());
    QCOMPARE(window->note("putg_to"), putgTo);
    QCOMPARE(child<QLabel>("PUTG_Message_Label")->text().isEmpty(), putgTo.isEmpty());
}

void TstPutgTab::splitParts_data()
{
    QTest::addColumn<int>("standard");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("round");
    QTest::addColumn<QString>("parts");
    QTest::newRow("GOST 12815 row 6") << 0 << 6 << true << "3";
    QTest::newRow("GOST 12815 row 8") << 0 << 8 << true << "4";
    QTest::newRow("GOST 12815 row 11") << 0 << 11 << true << "6";
    QTest::newRow("GOST 28759 row 10") << 1 << 10 << true << "4";
    QTest::newRow("ASME B 16.5 always 3") << 2 << 25 << true << "3";
    QTest::newRow("ASME B 16.47 A row 3") << 3 << 3 << true << "4";
    QTest::newRow("ASME B 16.47 B row 2") << 4 << 2 << true << "3";
    QTest::newRow("EN 1514 row 22") << 5 << 22 << true << "3";
    QTest::newRow("EN 1514 row 27") << 5 << 27 << true << "6";
    QTest::newRow("rectangular") << 0 << 8 << false << "";
}

void TstPutgTab::splitParts()
{
    QFETCH(int, standard);
    QFETCH(int, row);
    QFETCH(bool, round);
    QFETCH(QString, parts);
    QVERIFY(open(allTables()));
    child<QComboBox>("PUTGStandBox")->setCurrentIndex(standard);
    child<QListWidget>("PUTG_Size_table")->setCurrentRow(row);
    if (!round)
        child<QRadioButton>("PUTG_Config_Rect")->click();
    child<QCheckBox>("PUTG_Ras_checkBox")->click();
    auto *count = child<QLineEdit>("PUTG_Kol_Ch_Raz");
    QCOMPARE(count->text(), parts);
    QCOMPARE(count->isEnabled(), round);
    child<QCheckBox>("PUTG_Ras_checkBox")->click();
    QCOMPARE(count->text(), QString());
    QVERIFY(!count->isEnabled());
}

void TstPutgTab::jumper_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("widthEnabled");
    QTest::addColumn<QString>("width");
    QTest::newRow("A keeps a width") << "A" << "" << true << "5";
    QTest::newRow("B needs a drawing") << "B" << "1" << false << "";
    QTest::newRow("M") << "M" << "" << false << "";
    QTest::newRow("J") << "J" << "" << false << "";
    QTest::newRow("X") << "X" << "1" << false << "";
}

void TstPutgTab::jumper()
{
    QFETCH(QString, letter);
    QFETCH(QString, flag);
    QFETCH(bool, widthEnabled);
    QFETCH(QString, width);
    QVERIFY(open());
    auto *box = child<QComboBox>("PUTG_Perem_Box");
    auto *edit = child<QLineEdit>("PUTG_Perem_Depth_Edit");
    child<QCheckBox>("PUTG_Perem_Yes")->click();
    QVERIFY(box->isEnabled());
    QVERIFY(edit->isEnabled());
    edit->setText("5");
    box->setCurrentText(letter);
    QCOMPARE(window->note("putg_perem"), flag);
    QCOMPARE(edit->isEnabled(), widthEnabled);
    QCOMPARE(edit->text(), width);

    child<QCheckBox>("PUTG_Perem_Yes")->click();
    QCOMPARE(window->note("putg_perem"), QString());
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(edit->text(), QString());
    QVERIFY(!box->isEnabled());
    QVERIFY(!edit->isEnabled());
}

void TstPutgTab::noteFlags_data()
{
    QTest::addColumn<QString>("raise");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("message");
    const QString attach = "приложите файл с чертежом";
    QTest::newRow("holes") << "PUTG_Otv_checkBox" << "PUTG_Otv_checkBox" << "putg_otv" << attach;
    QTest::newRow("oval") << "PUTG_Config_Ellipse" << "PUTG_Config_Circle" << "putg_oval" << attach;
    QTest::newRow("211") << "PUTG_Pr_211_Btn" << "PUTG_Pr_212_Btn" << "putg_spec" << "спецзаказ";
}

void TstPutgTab::noteFlags()
{
    QFETCH(QString, raise);
    QFETCH(QString, lower);
    QFETCH(QString, key);
    QFETCH(QString, message);
    QVERIFY(open());
    auto *label = child<QLabel>("PUTG_Message_Label");
    child<QAbstractButton>(raise.toUtf8().constData())->click();
    QCOMPARE(window->note(key), QString("1"));
    QVERIFY2(label->text().contains(message), qPrintable(label->text()));
    child<QAbstractButton>(lower.toUtf8().constData())->click();
    QCOMPARE(window->note(key), QString());
    QCOMPARE(label->text(), QString());
}

// ---- tables and lookup -----------------------------------------------------

void TstPutgTab::preselection_data()
{
    QTest::addColumn<QVariantMap>("tables");
    QTest::addColumn<int>("standard");
    QTest::addColumn<int>("sizeRow");
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("pressRow");
    QTest::addColumn<QString>("press");

    const QVariantMap all = allTables();
    QTest::newRow("GOST128: row 3 shown, 1,6 kept") << all << 0 << 0 << "10" << 3 << "1,6 (16,0)";
    QVariantMap without16 = all;
    without16.insert("putg_gost128_press", QStringList({"0,1 (1,0)", "0,25 (2,5)", "0,6 (6,0)", "1,0 (10,0)"}));
    QTest::newRow("GOST128 without 1,6: first row kept") << without16 << 0 << 0 << "10" << 3 << "0,1 (1,0)";
    QTest::newRow("GOST287: row 3") << all << 1 << 0 << "400" << 3 << "1,6 (16,0)";
    QTest::newRow("ASME165: none") << all << 2 << 0 << "1" << 0 << "150";
    QTest::newRow("ASME1647A: pressure row 1") << all << 3 << 0 << "26" << 1 << "150";
    QTest::newRow("ASME1647B: size row 1, size text of row 0") << all << 4 << 1 << "26" << 1 << "150";
    QTest::newRow("EN1514: row 3") << all << 5 << 0 << "10" << 3 << "PN16";
}

void TstPutgTab::preselection()
{
    QFETCH(QVariantMap, tables);
    QFETCH(int, standard);
    QFETCH(int, sizeRow);
    QFETCH(QString, size);
    QFETCH(int, pressRow);
    QFETCH(QString, press);
    QVERIFY(open(tables));
    if (standard != 0) {
        child<QComboBox>("PUTGStandBox")->setCurrentIndex(standard);
        QTRY_COMPARE(lookups().size(), 2);
    }
    auto *sizes = child<QListWidget>("PUTG_Size_table");
    auto *presses = child<QListWidget>("PUTG_Press_table");
    QCOMPARE(sizes->currentRow(), sizeRow);
    QCOMPARE(presses->currentRow(), pressRow);
    QCOMPARE(tab()->PUTGSize, size);
    QCOMPARE(tab()->PUTGPress, press);

    // The request carries the rows shown, not the members.
    const QVariantMap req = lookups().last();
    QCOMPARE(req.value("standart").toString(), putg::standards().at(standard));
    QCOMPARE(req.value("size").toString(), sizes->currentItem()->text());
    QCOMPARE(req.value("press").toString(), presses->currentItem()->text());
}

void TstPutgTab::requestTf_data()
{
    QTest::addColumn<int>("facing");
    QTest::addColumn<QString>("construction");
    QTest::addColumn<QString>("tf");
    QTest::newRow("B with 042") << 1 << "042" << "B042";
    QTest::newRow("B with 02") << 1 << "02" << "B";
    QTest::newRow("B with 012") << 1 << "012" << "B012";
    QTest::newRow("A with 044") << 0 << "044" << "A044";
    QTest::newRow("A with 013") << 0 << "013" << "A013";
    QTest::newRow("C with 04") << 2 << "04" << "C";
}

void TstPutgTab::requestTf()
{
    QFETCH(int, facing);
    QFETCH(QString, construction);
    QFETCH(QString, tf);
    QVERIFY(open(allTables()));
    child<QComboBox>("PUTGFlanBox")->setCurrentIndex(facing);
    child<QRadioButton>(("PUTG_Const_" + construction + "_Btn").toUtf8().constData())->click();
    QTRY_COMPARE(lookups().size(), 2);
    QCOMPARE(lookups().last().value("tf").toString(), tf);
    settle();
    QCOMPARE(lookups().size(), 2);
}

void TstPutgTab::reinforcementSendsNothingConstructionSends()
{
    QVERIFY(open(allTables()));
    child<QRadioButton>("PUTG_Pr_311_Btn")->click();
    QCOMPARE(tab()->PUTGPrType, QString("311"));
    settle();
    QCOMPARE(lookups().size(), 1);

    child<QRadioButton>("PUTG_Const_02_Btn")->click();
    QTRY_COMPARE(lookups().size(), 2);
    const QVariantMap req = lookups().last();
    QCOMPARE(req.value("tf").toString(), QString("A"));
    QCOMPARE(req.value("standart").toString(), QString("GOST128"));
    QCOMPARE(req.value("size").toString(), QString("10"));
    QCOMPARE(req.value("press").toString(), QString("1,0 (10,0)"));

    // The same choice again is not asked twice.
    tab()->PUTGFindData();
    settle();
    QCOMPARE(lookups().size(), 2);
}

void TstPutgTab::nonStandardFlangeForcesNewRequest()
{
    QVERIFY(open(allTables()));
    peer->reply(item(16, wire::encodeStringList({"0", "39", "18", "0"})));
    QTRY_COMPARE(tab()->PUTGD3, QString("39"));

    auto *input = child<QCheckBox>("PUTG_Input_Box");
    input->click();
    QVERIFY(!child<QWidget>("PUTG_Table_Field")->isEnabled());
    // Only the diameters of construction 01 are offered.
    QVERIFY(child<QLineEdit>("PUTG_D3_Inp_Box")->isVisible());
    QVERIFY(!child<QLineEdit>("PUTG_D4_Inp_Box")->isVisible());
    QVERIFY(!child<QLineEdit>("PUTG_D1_Inp_Box")->isVisible());
    // Typed diameters are positive numbers with a decimal comma, nothing else.
    child<QLineEdit>("PUTG_D3_Inp_Box")->clear();
    QTest::keyClicks(child<QLineEdit>("PUTG_D3_Inp_Box"), "-12.5abc,5");
    QCOMPARE(child<QLineEdit>("PUTG_D3_Inp_Box")->text(), QString("125,5"));
    child<QLineEdit>("PUTG_D3_Inp_Box")->setText("100");
    child<QLineEdit>("PUTG_D2_Inp_Box")->setText("50");
    QCOMPARE(child<QLabel>("PUTG_s3")->text(), QString("100"));
    QCOMPARE(child<QLineEdit>("PUTG_Definition")->text(),
             QString("ПУТГ-А-2-212-01-100 x 50-1,6-2,0  [нестанд.]"));
    settle();
    QCOMPARE(lookups().size(), 1);

    // Back to the tables with an unchanged choice: asked again all the same.
    input->click();
    QVERIFY(child<QWidget>("PUTG_Table_Field")->isEnabled());
    QCOMPARE(child<QLineEdit>("PUTG_D3_Inp_Box")->text(), QString());
    // Until the answer there is no row to order: neither the non-standard
    // text nor the table size with the typed diameters.
    QCOMPARE(child<QLineEdit>("PUTG_Definition")->text(), QString());
    QCOMPARE(tab()->PUTGDescriptionText, QString());
    QTRY_COMPARE(lookups().size(), 2);
    QCOMPARE(lookups().at(1), lookups().at(0));
}

void TstPutgTab::rectangularNeverSends()
{
    QVERIFY(open(allTables()));
    child<QRadioButton>("PUTG_Config_Rect")->click();
    QCOMPARE(tab()->PUTGConfig, QString("rect"));
    QVERIFY(child<QWidget>("PUTG_Pr_S_Field")->isVisible());
    QVERIFY(!child<QWidget>("PUTG_Size_table")->isVisible());
    QVERIFY(!child<QWidget>("PUTGStandBox")->isEnabled());
    // The sketch echoes the field as it is, an emptied one included.
    child<QLineEdit>("PUTG_A1_Edit")->setText("5");
    child<QLineEdit>("PUTG_A1_Edit")->clear();
    QCOMPARE(child<QLabel>("PUTG_A1_Data")->text(), QString());
    child<QLineEdit>("PUTG_A1_Edit")->setText("100");
    QCOMPARE(child<QLabel>("PUTG_A1_Data")->text(), QString("100"));
    child<QLineEdit>("PUTG_A2_Edit")->setText("80");
    child<QLineEdit>("PUTG_B1_Edit")->setText("60");
    child<QLineEdit>("PUTG_B2_Edit")->setText("40");
    QCOMPARE(child<QLabel>("PUTG_A2_Data")->text(), QString("80"));
    QCOMPARE(child<QLineEdit>("PUTG_Definition")->text(),
             QString("ПУТГ-Ап-2-212-01-100 x 80 x 60 x 40-1,6-2,0 "));

    // A pressure row only rebuilds the designation (after the reset of the
    // additional fields, which puts the thickness back to the first entry).
    auto *presses = child<QListWidget>("PUTG_Press_table");
    QVERIFY(presses->isVisible());
    presses->setCurrentRow(2);
    emit presses->clicked(presses->currentIndex());
    QCOMPARE(child<QLineEdit>("PUTG_Definition")->text(),
             QString("ПУТГ-Ап-2-212-01-100 x 80 x 60 x 40-0,6-1,0 "));
    child<QRadioButton>("PUTG_Const_02_Btn")->click();
    child<QComboBox>("PUTGFlanBox")->setCurrentIndex(1);
    tab()->PUTGFindData();
    settle();
    QCOMPARE(lookups().size(), 1);

    // The field mode needs A1, B1 and C.
    child<QRadioButton>("PUTG_Pr_Fie_Btn")->click();
    QCOMPARE(child<QLineEdit>("PUTG_Definition")->text(), QString());
    QVERIFY(!child<QLineEdit>("PUTG_A2_Edit")->isEnabled());
    QVERIFY(child<QLineEdit>("PUTG_C_Edit")->isEnabled());
    QCOMPARE(child<QLabel>("PUTG_A1_Data")->text(), QString("A1"));
}

// A construction chosen while the shape was another decides which diameters
// the round drawing shows once the shape is round again.
void TstPutgTab::backToRoundLaysOutTheRings()
{
    QVERIFY(open(allTables()));
    child<QRadioButton>("PUTG_Config_Rect")->click();
    child<QRadioButton>("PUTG_Const_043_Btn")->click();
    child<QRadioButton>("PUTG_Config_Circle")->click();
    QCOMPARE(tab()->PUTGConst, QString("043"));
    QVERIFY(child<QLabel>("PUTG_s4")->isVisible());
    QVERIFY(!child<QLabel>("PUTG_s1")->isVisible()); // no inner ring
    QVERIFY(child<QLabel>("PUTG_s4")->y() > child<QLabel>("PUTG_s3")->y());
}

void TstPutgTab::wholeRoad()
{
    QVERIFY(open(allTables()));
    QVariantMap req = lookups().first();
    QCOMPARE(req.value("standart").toString(), QString("GOST128"));
    QCOMPARE(req.value("tf").toString(), QString("A"));
    QCOMPARE(req.value("size").toString(), QString("10"));
    QCOMPARE(req.value("press").toString(), QString("1,0 (10,0)"));

    peer->reply(item(16, wire::encodeStringList({"0", "39", "18", "0"})));
    auto *definition = child<QLineEdit>("PUTG_Definition");
    QTRY_COMPARE(definition->text(), QString("ПУТГ-А-2-212-01-10-1,6-2,0  [39 x 18]"));
    QCOMPARE(child<QLabel>("PUTG_s3")->text(), QString("39"));
    QCOMPARE(child<QLabel>("PUTG_s2")->text(), QString("18"));
    QCOMPARE(child<QLabel>("PUTG_s4")->text(), QString());
    const QString description =
        "Прокладка из терморасширенного графита (ТРГ), "
        "армированная перфорированной нержавеющей лентой  б=0,1 мм марки 304 (08X18H9)"
        ", без обтюраторов, с размерами 39 x 18 x 2,0";
    QCOMPARE(tab()->PUTGDescriptionText, description);
    QCOMPARE(child<QTextEdit>("PUTG_Description")->toPlainText(), description);

    // A size click asks at once with the new row.
    auto *sizes = child<QListWidget>("PUTG_Size_table");
    sizes->setCurrentRow(5);
    emit sizes->clicked(sizes->currentIndex());
    QVERIFY(window->statusDialog());
    QCOMPARE(window->statusDialog()->messageText(), QString("Ожидание ответа сервера..."));
    QTRY_COMPARE(lookups().size(), 2);
    QCOMPARE(lookups().last().value("size").toString(), QString("35"));
    QCOMPARE(tab()->PUTGSize, QString("35"));

    peer->reply(item(16, wire::encodeStringList({"120", "100", "60", "40"})));
    QTRY_COMPARE(tab()->PUTGD4, QString("120"));
    child<QRadioButton>("PUTG_Const_044_Btn")->click();
    QCOMPARE(definition->text(), QString("ПУТГ-А-2-212-044-35-1,6-2,0  [120 x 100 x 60 x 40]"));

    // No gasket for the choice: everything empties and the note speaks.
    peer->reply(item(16, wire::encodeStringList({})));
    QTRY_COMPARE(window->note("putg_note"), QString("1"));
    QCOMPARE(definition->text(), QString());
    QCOMPARE(tab()->PUTGDescriptionText, QString());
    QCOMPARE(child<QLabel>("PUTG_Message_Label")->text(),
             QString("Конструкции для заданных параметров не существует. "));
}

void TstPutgTab::otherMaterialAndThicknessTyped()
{
    QVERIFY(open(allTables()));
    peer->reply(item(16, wire::encodeStringList({"0", "39", "18", "0"})));
    auto *definition = child<QLineEdit>("PUTG_Definition");
    QTRY_VERIFY(!definition->text().isEmpty());
    child<QRadioButton>("PUTG_Const_02_Btn")->click();
    QCOMPARE(definition->text(), QString("ПУТГ-А-2-212-02-10-1,6-2,0  [39 x 18]"));

    auto *o = child<QComboBox>("PUTG_O_Material");
    QVERIFY(o->isEnabled());
    o->setCurrentIndex(o->count() - 1);
    QVERIFY(o->isEditable());
    QCOMPARE(definition->text(), QString("ПУТГ-А-2-212-02-10-1,6-2,0-1-0{др.}0  [39 x 18]"));
    // Typed key by key into the focused field, a name that begins like a
    // catalogue code stays as typed.
    QApplication::setActiveWindow(window.get());
    o->lineEdit()->setFocus();
    QVERIFY(o->lineEdit()->hasFocus());
    o->lineEdit()->selectAll();
    QTest::keyClicks(o->lineEdit(), "3L");
    QCOMPARE(o->currentText(), QString("3L"));
    QCOMPARE(definition->text(), QString("ПУТГ-А-2-212-02-10-1,6-2,0-1-0{3L}0  [39 x 18]"));
    o->lineEdit()->setText("12Х18Н10Т");
    QCOMPARE(definition->text(), QString("ПУТГ-А-2-212-02-10-1,6-2,0-1-0{12Х18Н10Т}0  [39 x 18]"));
    QCOMPARE(o->count(), materials::stripList().size());
    o->setCurrentIndex(0);
    QVERIFY(!o->isEditable());

    auto *depth = child<QComboBox>("PUTG_Depth_Box");
    depth->setCurrentIndex(depth->count() - 1);
    QVERIFY(depth->isEditable());
    depth->lineEdit()->setFocus();
    QVERIFY(depth->lineEdit()->hasFocus());
    depth->lineEdit()->selectAll();
    QTest::keyClicks(depth->lineEdit(), "2");
    QCOMPARE(tab()->PUTGDepth, QString("2"));
    depth->lineEdit()->setText("2,5");
    QCOMPARE(tab()->PUTGDepth, QString("2,5"));
    QVERIFY(definition->text().contains("-1,6-2,5"));
}

// ---- helpers shared with the PUTGm tab ---------------------------------------

void TstPutgTab::fillList_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("member");
    const int size = int(putgui::ListRole::Size);
    const int press = int(putgui::ListRole::Press);
    const int other = int(putgui::ListRole::Other);
    QTest::newRow("size takes row 0") << size << QStringList({"15", "20"}) << 0 << "15";
    QTest::newRow("press prefers 1,6") << press << QStringList({"0,6 (6,0)", "1,6 (16,0)", "2,5 (25,0)"}) << 1
                                       << "1,6 (16,0)";
    QTest::newRow("press row ending with 1,6") << press << QStringList({"0,6 (6,0)", "PN 1,6 (16,0)"}) << 1
                                               << "1,6 (16,0)";
    QTest::newRow("press without 1,6") << press << QStringList({"150", "300"}) << 0 << "150";
    QTest::newRow("empty size keeps the member") << size << QStringList() << -1 << "old";
    QTest::newRow("empty press keeps the member") << press << QStringList() << -1 << "old";
    QTest::newRow("other rows only") << other << QStringList({"a", "b"}) << 0 << "old";
}

void TstPutgTab::fillList()
{
    QFETCH(int, role);
    QFETCH(QStringList, rows);
    QFETCH(int, current);
    QFETCH(QString, member);
    QListWidget list;
    list.addItems({"stale 1", "stale 2", "stale 3"});
    QString value = "old";
    putgui::PUTGFillList(rows, &list, putgui::ListRole(role), &value);
    QCOMPARE(list.count(), rows.size());
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(list.item(i)->text(), rows.at(i));
    QCOMPARE(list.currentRow(), current);
    QCOMPARE(value, member);
    // A preselection beyond the list leaves the current row alone.
    QVERIFY(!putgui::selectRow(&list, rows.size()));
    QCOMPARE(list.currentRow(), current);
}

void TstPutgTab::resizeChert_data()
{
    QTest::addColumn<bool>("outer");
    QTest::addColumn<bool>("inner");
    QTest::addColumn<QString>("topDown");
    QTest::newRow("no ring") << false << false << "32";
    QTest::newRow("outer ring") << true << false << "432";
    QTest::newRow("inner ring") << false << true << "321";
    QTest::newRow("both rings") << true << true << "4321";
}

void TstPutgTab::resizeChert()
{
    QFETCH(bool, outer);
    QFETCH(bool, inner);
    QFETCH(QString, topDown);
    QWidget field;
    putgui::ChertWidgets w;
    w.field = &field;
    w.picture = new QLabel(&field);
    w.picture->setGeometry(0, 0, 250, 150);
    QPixmap drawing(250, 220);
    drawing.fill(Qt::white);
    w.picture->setPixmap(drawing);
    for (int i = 0; i < 4; ++i) {
        w.values[i] = new QLabel(&field);
        w.captions[i] = new QLabel(QString("D%1 = ").arg(i + 1), &field);
        w.captions[i]->resize(40, 22);
        w.inputs[i] = new QLineEdit(&field);
        w.inputs[i]->resize(70, 22);
    }
    field.show();
    QCOMPARE(putgui::PUTGResizeChert(w, outer, inner), 220);
    QCOMPARE(field.maximumHeight(), 220);

    QList<int> ys;
    for (int i = 0; i < 4; ++i) {
        const bool used = topDown.contains(QString::number(i + 1));
        QCOMPARE(w.values[i]->isVisible(), used);
        if (used) {
            // Label, caption and input of one diameter share a row on the drawing.
            QCOMPARE(w.captions[i]->y(), w.values[i]->y());
            QCOMPARE(w.inputs[i]->y(), w.values[i]->y());
            QVERIFY(w.values[i]->geometry().bottom() < 220);
            QVERIFY(w.values[i]->x() >= w.inputs[i]->geometry().right());
        }
    }
    for (QChar c : topDown)
        ys << w.values[c.digitValue() - 1]->y();
    for (int k = 1; k < ys.size(); ++k)
        QVERIFY2(ys.at(k) > ys.at(k - 1), qPrintable(topDown));
}

// The tab puts the values by the numbers the drawings are drawn with; each
// real drawing must have a dimension line running into every value it shows,
// smallest diameter on top, all inside the drawing.
void TstPutgTab::valuesOnTheirLines_data()
{
    QTest::addColumn<QString>("reinforcement");
    QTest::addColumn<QString>("construction");
    QTest::addColumn<QString>("topDown");
    QTest::newRow("100-01") << "100" << "01" << "23";
    QTest::newRow("212-02") << "212" << "02" << "23";
    QTest::newRow("212-042 inner ring") << "212" << "042" << "123";
    QTest::newRow("212-043 outer ring") << "212" << "043" << "234";
    QTest::newRow("312-044 both rings") << "312" << "044" << "1234";
    QTest::newRow("212-014 both rings") << "212" << "014" << "1234";
}

void TstPutgTab::valuesOnTheirLines()
{
    QFETCH(QString, reinforcement);
    QFETCH(QString, construction);
    QFETCH(QString, topDown);
    QVERIFY(open());
    tab()->PUTGPrType = reinforcement;
    tab()->PUTGConst = construction;
    tab()->PUTGSetPicture();
    tab()->PUTGResizeChert();

    auto *picture = child<QLabel>("PUTG_Pic_Pr");
    const QImage img = picture->pixmap(Qt::ReturnByValue).toImage();
    QVERIFY(!img.isNull());
    const QRect drawn = QStyle::alignedRect(Qt::LeftToRight, picture->alignment(), img.size(),
                                            picture->geometry());
    QVERIFY2(picture->rect().height() >= img.height(), "drawing cut off");

    auto darkRun = [&](int right, int y) {
        int best = 0;
        for (int row = y - drawn.y() - 1; row <= y - drawn.y() + 1; ++row) {
            if (row < 0 || row >= img.height())
                continue;
            int run = 0;
            for (int col = 0; col < qMin(right - drawn.x(), img.width()); ++col) {
                run = qGray(img.pixel(col, row)) < 200 ? run + 1 : 0;
                best = qMax(best, run);
            }
        }
        return best;
    };

    int lastY = -1;
    for (int n = 1; n <= 4; ++n) {
        auto *value = child<QLabel>(qPrintable(QString("PUTG_s%1").arg(n)));
        QCOMPARE(!value->isHidden(), topDown.contains(QString::number(n)));
    }
    for (QChar c : topDown) {
        auto *value = child<QLabel>(qPrintable(QString("PUTG_s") + c));
        const QRect r = value->geometry();
        QVERIFY2(drawn.contains(QPoint(r.left(), r.center().y())), qPrintable(value->objectName()));
        QVERIFY2(r.top() > lastY, qPrintable(topDown));
        lastY = r.bottom();
        QVERIFY2(darkRun(r.left(), r.center().y()) >= 20,
                 qPrintable(value->objectName() + " has no dimension line beside it"));
    }
}

QTEST_MAIN(TstPutgTab)
#include "tst_putgtab.moc"
