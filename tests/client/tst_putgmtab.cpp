// The PUTGm tab inside the real main window, talking to an in-test server.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpSocket>
#include <QtMath>
#include <QTextDocument>
#include <QTextEdit>
#include <QTemporaryDir>
#include <QFile>
#include <QtTest>
#include <memory>

#include "app/mainwindow.h"
#include "materials.h"
#include "putgm/putgmtab.h"
#include "putgmoptions.h"
#include "putgoptions.h"
#include "testpeer.h"
#include "wire.h"

void vintaroInitResources();

namespace {

QByteArray item(quint8 code, const QByteArray &arg = QByteArray())
{
    return QByteArray(1, char(code)) + arg;
}

QVariantMap tables()
{
    QVariantMap t;
    t.insert("putgm_gost128_size", QStringList({"10", "15", "20", "25"}));
    t.insert("putgm_gost128_press", QStringList({"0,6 (6,0)", "1,6 (16,0)", "2,5 (25,0)"}));
    t.insert("putgm_asme165_size", QStringList({"1/2", "3/4", "1"}));
    t.insert("putgm_asme165_press", QStringList({"150 (2,0)", "300 (5,0)"}));
    return t;
}

QStringList texts(const QComboBox *box)
{
    QStringList l;
    for (int i = 0; i < box->count(); ++i)
        l << box->itemText(i);
    return l;
}

} // namespace

class TstPutgmTab : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { vintaroInitResources(); }
    void init();
    void cleanup();

    void formMatchesOptionTables();
    void startState();
    void baseRules_data();
    void baseRules();
    void layerCountFromThickness_data();
    void layerCountFromThickness();
    void plateThicknessAndSteel_data();
    void plateThicknessAndSteel();
    void requestTfByBase_data();
    void requestTfByBase();
    void multilayerAndSmoothBasesAreDifferentRequests();
    void constructionAndPlateChangeOnlyTheDrawing();
    void sizeClickUnchecksNonStandardFlange();
    void nonStandardFlangeFieldsByBase_data();
    void nonStandardFlangeFieldsByBase();
    void base091BackAfterRectangle();
    void wholeRoad();
    void emptyReplyMeansNoConstruction();
    void recommendationGoesWithTheRoundShape();
    void recommendationReadsWhole();
    void listTitlesMatchTheValues();
    void longDescriptionReadsWhole();
    void notesForDrawings();
    void temperatureAndModifyingElement();
    void rectangleDesignationFollowsFacing();
    void otherMaterialTypedStaysFree();

private:
    // Opens the window with the PUTGm tab, answers the tables request and
    // the first lookup (with `first` as reply 18).
    void openReady(const QStringList &first = {"", "54", "37", ""});
    template<class T> T *w(const char *name) const
    {
        T *x = window->findChild<T *>(QLatin1String(name));
        if (!x)
            qFatal("no widget %s", name);
        return x;
    }
    PutgmTab *tab() const { return window->putgmTab(); }
    QVariantMap lastLookup() const;
    int lookups() const;
    bool waitLookups(int n) { return QTest::qWaitFor([this, n] { return lookups() >= n; }, 3000); }
    void answer(const QStringList &l) { peer->reply(item(wire::PutgmReply, wire::encodeStringList(l))); }

    std::unique_ptr<TestPeer> peer;
    std::unique_ptr<QTcpSocket> socket;
    std::unique_ptr<MainWindow> window;
};

void TstPutgmTab::init()
{
    peer = std::make_unique<TestPeer>();
    socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, peer->port());
    QVERIFY(socket->waitForConnected(5000));
    QVERIFY(peer->waitForConnection());
    window = std::make_unique<MainWindow>(socket.get(), "user", "pw", nullptr, QVariantMap{{"PUTGm", true}});
    window->show();
    QVERIFY(peer->waitForFrames(1));
}

void TstPutgmTab::cleanup()
{
    window.reset();
    socket.reset();
    peer.reset();
}

void TstPutgmTab::openReady(const QStringList &first)
{
    peer->reply(item(wire::TablesReply, wire::encodeMap(tables())));
    QVERIFY(waitLookups(1));
    answer(first);
    QTRY_COMPARE(tab()->PUTGmD3, first.value(1));
}

int TstPutgmTab::lookups() const
{
    int n = 0;
    for (const QByteArray &f : peer->frames)
        n += TestPeer::code(f) == wire::PutgmRequest;
    return n;
}

QVariantMap TstPutgmTab::lastLookup() const
{
    for (int i = peer->frames.size() - 1; i >= 0; --i) {
        if (TestPeer::code(peer->frames[i]) == wire::PutgmRequest) {
            QVariantMap m;
            TestPeer::argument(peer->frames[i]).readMap(&m);
            return m;
        }
    }
    return QVariantMap();
}

// The form and the option tables of the core must not drift apart.
void TstPutgmTab::formMatchesOptionTables()
{
    const QStringList bases = putgm::bases();
    for (int i = 0; i < bases.size(); ++i) {
        const QByteArray name = "PUTGm_Osn_" + bases.at(i).toLatin1() + "_Btn";
        QCOMPARE(w<QRadioButton>(name.constData())->text(), putgm::baseLabels().at(i));
    }
    const char *constNames[] = {"PUTGm_Const_01_Btn", "PUTGm_Const_02_Btn", "PUTGm_Const_03_Btn",
                                "PUTGm_Const_04_Btn", "PUTGm_Const_05_Btn", "PUTGm_Const_06_Btn",
                                "PUTGm_Const_04c_Btn", "PUTGm_Const_022_Btn"};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(w<QRadioButton>(constNames[i])->text(), putgm::constructionLabels().at(i));
    for (int i = 0; i < 8; ++i) {
        const QByteArray name = "PUTGm_Plak_" + QByteArray::number(i + 1);
        QCOMPARE(w<QRadioButton>(name.constData())->text(), putgm::plateLabels().at(i));
    }
    QCOMPARE(texts(w<QComboBox>("PUTGmStandBox")), putg::standardLabels());
    QCOMPARE(texts(w<QComboBox>("PUTGmFlanBox")), putg::flanLabels());
    QCOMPARE(texts(w<QComboBox>("PUTGm_ModElem")), putg::modElemEntries());
    QCOMPARE(texts(w<QComboBox>("PUTGm_HowMade_Box")), putg::howMadeEntries());
    QCOMPARE(texts(w<QComboBox>("PUTGmFixBox")), putg::fixEntries());
    QCOMPARE(texts(w<QComboBox>("PUTGm_Perem_Box")), putg::jumperLetters());
    QCOMPARE(texts(w<QComboBox>("PUTGm_AE_Material")), materials::ringList());
    QCOMPARE(texts(w<QComboBox>("PUTGm_O_Material")), materials::stripList());
    QCOMPARE(w<QCheckBox>("PUTGm_KVF_checkBox")->text(), QString("крепление на вертикальном фланце"));
    QCOMPARE(w<QCheckBox>("PUTGm_Input_Box")->text(), QString("нестандартный фланец"));
    QCOMPARE(w<QRadioButton>("PUTGm_Cl_2")->text(), QString("2 общепромышленное применение (0,5 % золы)"));
    QCOMPARE(w<QRadioButton>("PUTGm_tempr_max")->text(), QString("от 600 И(Н-18)"));
    // The widgets the order list drives exist.
    w<QLineEdit>("PUTGm_Count");
    w<QPushButton>("PUTGm_Add_To_Basket");
    QCOMPARE(w<QPushButton>("PUTGm_AddChert")->text(), QString("Прикрепить чертеж"));
}

void TstPutgmTab::startState()
{
    QVERIFY(w<QRadioButton>("PUTGm_Osn_09_Btn")->isChecked());
    QVERIFY(w<QRadioButton>("PUTGm_Const_01_Btn")->isChecked());
    QVERIFY(w<QRadioButton>("PUTGm_Plak_1")->isChecked());
    QVERIFY(w<QRadioButton>("PUTGm_Config_Circle")->isChecked());
    QVERIFY(w<QRadioButton>("PUTGm_tempr_min")->isChecked());
    QVERIFY(w<QRadioButton>("PUTGm_Cl_2")->isChecked());
    QCOMPARE(texts(w<QComboBox>("PUTGm_Depth_Box")), QStringList({"2,5", "3,0", "3,5", "4,0", "4,5"}));
    QCOMPARE(tab()->PUTGmDepth, QString("3,0"));
    QCOMPARE(w<QComboBox>("PUTGm_AE_Material")->currentIndex(), 0);
    QCOMPARE(w<QComboBox>("PUTGm_O_Material")->currentIndex(), 2);
    // Disabled until something turns them on (091 until a rectangle was chosen).
    for (const char *name : {"PUTGm_O_Material", "PUTGm_HowMade_Box", "PUTGmFixBox", "PUTGm_Perem_Box",
                             "PUTGm_Perem_Depth_Edit", "PUTGm_Cl_1", "PUTGm_09x_Edit", "PUTGm_08x_Edit",
                             "PUTGm_Osn_091_Btn", "PUTGm_Const_05_Btn", "PUTGm_Const_06_Btn",
                             "PUTGm_Const_04c_Btn", "PUTGm_Const_022_Btn"})
        QVERIFY2(!w<QWidget>(name)->isEnabled(), name);
    QVERIFY(!w<QWidget>("PUTGm_Pr_S_Field")->isVisible());
    QVERIFY(w<QWidget>("PUTGm_Size")->isVisible());
    QVERIFY(!w<QLabel>("PUTGm_Pic_Pr")->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(!w<QLabel>("PUTGm_Flan_Picture")->pixmap(Qt::ReturnByValue).isNull());
}

// Enabled buttons as digits: constructions 01 02 03 04 05 06 04c 022 and
// sealing elements 1 ... 7, 9.
void TstPutgmTab::baseRules_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("constructions");
    QTest::addColumn<QString>("plates");
    QTest::addColumn<QStringList>("thickness");
    QTest::addColumn<QString>("depth");
    QTest::addColumn<bool>("glue");

    const QStringList single = {"2,5", "3,0", "3,5", "4,0", "4,5"};
    const QStringList smooth = {"1,5", "2,0", "2,5", "3,0", "3,5", "4,0", "4,5", "5,0", "6,0"};
    const QStringList smoothLayers = {"6,0 (2 слоя)",  "7,5 (2 слоя)",  "9,0 (2 слоя)",
                                      "8,5 (3 слоя)",  "10,5 (3 слоя)", "12,5 (3 слоя)",
                                      "11,0 (4 слоя)", "13,5 (4 слоя)", "16,0 (4 слоя)"};
    QTest::newRow("099") << "circ" << "PUTGm_Osn_099_Btn" << "10000000" << "11100110" << single << "3,0" << false;
    QTest::newRow("09 round") << "circ" << "PUTGm_Osn_09_Btn" << "11110000" << "11111111" << single << "3,0" << false;
    QTest::newRow("09 rectangular") << "rect" << "PUTGm_Osn_09_Btn" << "11010000" << "11111111" << single << "3,0"
                                    << false;
    QTest::newRow("093 rectangular") << "rect" << "PUTGm_Osn_093_Btn" << "11010000" << "11111000" << single
                                     << "3,0" << false;
    QTest::newRow("095 rectangular") << "rect" << "PUTGm_Osn_095_Btn" << "11110000" << "11111000" << single
                                     << "3,0" << false;
    QTest::newRow("097") << "circ" << "PUTGm_Osn_097_Btn" << "10000000" << "11100000" << single << "3,0" << false;
    QTest::newRow("092") << "circ" << "PUTGm_Osn_092_Btn" << "11010000" << "11111000" << single << "3,0" << false;
    QTest::newRow("08x") << "circ" << "PUTGm_Osn_08x_Btn" << "11110000" << "10000000" << smoothLayers
                         << "6,0 (2 слоя)" << true;
    QTest::newRow("08") << "circ" << "PUTGm_Osn_08_Btn" << "11110000" << "10000000" << smooth << "3,0" << true;
}

void TstPutgmTab::baseRules()
{
    QFETCH(QString, shape);
    QFETCH(QString, base);
    QFETCH(QString, constructions);
    QFETCH(QString, plates);
    QFETCH(QStringList, thickness);
    QFETCH(QString, depth);
    QFETCH(bool, glue);

    if (shape == "rect")
        w<QRadioButton>("PUTGm_Config_Rect")->setChecked(true);
    // Start elsewhere so that every base really changes.
    w<QRadioButton>("PUTGm_Osn_098_Btn")->setChecked(true);
    w<QRadioButton>("PUTGm_Plak_2")->setChecked(true);
    w<QRadioButton>(base.toLatin1().constData())->setChecked(true);

    const char *constNames[] = {"PUTGm_Const_01_Btn", "PUTGm_Const_02_Btn", "PUTGm_Const_03_Btn",
                                "PUTGm_Const_04_Btn", "PUTGm_Const_05_Btn", "PUTGm_Const_06_Btn",
                                "PUTGm_Const_04c_Btn", "PUTGm_Const_022_Btn"};
    QString on;
    for (const char *n : constNames)
        on += w<QRadioButton>(n)->isEnabled() ? '1' : '0';
    QCOMPARE(on, constructions);
    on.clear();
    for (int i = 1; i <= 8; ++i)
        on += w<QRadioButton>(("PUTGm_Plak_" + QByteArray::number(i)).constData())->isEnabled() ? '1' : '0';
    QCOMPARE(on, plates);
    QVERIFY(w<QRadioButton>("PUTGm_Const_01_Btn")->isChecked());
    QVERIFY(w<QRadioButton>("PUTGm_Plak_1")->isChecked());
    QCOMPARE(texts(w<QComboBox>("PUTGm_Depth_Box")), thickness);
    QCOMPARE(tab()->PUTGmDepth, depth);
    QCOMPARE(w<QComboBox>("PUTGm_HowMade_Box")->isEnabled(), glue);
}

void TstPutgmTab::layerCountFromThickness_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("layers");
    QTest::addColumn<QString>("piece");
    QTest::newRow("09x 9,5 (4 слоя)") << "PUTGm_Osn_09x_Btn" << 8 << "PUTGm_09x_Edit" << "4" << "-09(4)-01-";
    QTest::newRow("09x 7,5 (3 слоя)") << "PUTGm_Osn_09x_Btn" << 5 << "PUTGm_09x_Edit" << "3" << "-09(3)-01-";
    QTest::newRow("09x 12,0 (5 слоев)") << "PUTGm_Osn_09x_Btn" << 11 << "PUTGm_09x_Edit" << "5" << "-09(5)-01-";
    QTest::newRow("09x first") << "PUTGm_Osn_09x_Btn" << 0 << "PUTGm_09x_Edit" << "2" << "-09(2)-01-";
    QTest::newRow("08x 11,0 (4 слоя)") << "PUTGm_Osn_08x_Btn" << 6 << "PUTGm_08x_Edit" << "4" << "-08(4)-01-";
    QTest::newRow("08x 8,5 (3 слоя)") << "PUTGm_Osn_08x_Btn" << 3 << "PUTGm_08x_Edit" << "3" << "-08(3)-01-";
}

void TstPutgmTab::layerCountFromThickness()
{
    QFETCH(QString, base);
    QFETCH(int, index);
    QFETCH(QString, edit);
    QFETCH(QString, layers);
    QFETCH(QString, piece);
    openReady();
    w<QRadioButton>(base.toLatin1().constData())->setChecked(true);
    auto *depth = w<QComboBox>("PUTGm_Depth_Box");
    depth->setCurrentIndex(index);
    QCOMPARE(w<QLineEdit>(edit.toLatin1().constData())->text(), layers);
    const QString d = w<QLineEdit>("PUTGm_Definition")->text();
    QVERIFY2(d.contains(piece), qPrintable(d));
    // The designation keeps the thickness without the layer note, the
    // description the whole entry.
    const QString thickness = depth->currentText();
    QVERIFY2(d.contains("-" + thickness.section(' ', 0, 0) + " ["), qPrintable(d));
    QVERIFY(tab()->PUTGmDescriptionText.endsWith(" и толщиной " + thickness));
}

void TstPutgmTab::plateThicknessAndSteel_data()
{
    QTest::addColumn<QString>("plate");
    QTest::addColumn<QStringList>("thickness");
    QTest::addColumn<QString>("depth");
    QTest::addColumn<int>("steel");
    QTest::newRow("9 no sealing element") << "PUTGm_Plak_8" << QStringList({"1,4", "1,6", "1,8"}) << "1,6" << 1;
    QTest::newRow("6 mica") << "PUTGm_Plak_6" << QStringList({"2,5"}) << "2,5" << 1;
    QTest::newRow("4 multilayer tape") << "PUTGm_Plak_4" << QStringList({"5,5", "6,5", "7,5", "8,5"}) << "5,5"
                                       << 0;
    QTest::newRow("3 smooth tape") << "PUTGm_Plak_3" << QStringList({"2,5", "3,0"}) << "2,5" << 0;
}

void TstPutgmTab::plateThicknessAndSteel()
{
    QFETCH(QString, plate);
    QFETCH(QStringList, thickness);
    QFETCH(QString, depth);
    QFETCH(int, steel);
    openReady();
    w<QRadioButton>(plate.toLatin1().constData())->setChecked(true);
    QCOMPARE(texts(w<QComboBox>("PUTGm_Depth_Box")), thickness);
    QCOMPARE(w<QComboBox>("PUTGm_Depth_Box")->currentText(), depth);
    QCOMPARE(w<QComboBox>("PUTGm_AE_Material")->currentIndex(), steel);
    QVERIFY(w<QLineEdit>("PUTGm_Definition")->text().contains("-" + depth));
}

void TstPutgmTab::requestTfByBase_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<int>("facing");
    QTest::addColumn<QString>("tf");
    QTest::newRow("08x C") << "PUTGm_Osn_08x_Btn" << 2 << "09_C";
    QTest::newRow("099 A") << "PUTGm_Osn_099_Btn" << 0 << "099_A";
    QTest::newRow("093 B") << "PUTGm_Osn_093_Btn" << 1 << "093_B";
    QTest::newRow("09x A") << "PUTGm_Osn_09x_Btn" << 0 << "09_A";
    QTest::newRow("08 B") << "PUTGm_Osn_08_Btn" << 1 << "09_B";
}

void TstPutgmTab::requestTfByBase()
{
    QFETCH(QString, base);
    QFETCH(int, facing);
    QFETCH(QString, tf);
    openReady();
    QCOMPARE(lastLookup().value("tf").toString(), QString("09_A"));
    w<QComboBox>("PUTGmFlanBox")->setCurrentIndex(facing);
    w<QRadioButton>(base.toLatin1().constData())->setChecked(true);
    QVERIFY(waitLookups(2));
    const QVariantMap m = lastLookup();
    QCOMPARE(m.value("tf").toString(), tf);
    QCOMPARE(m.value("standart").toString(), QString("GOST128"));
    QCOMPARE(m.value("size").toString(), QString("10"));
    QCOMPARE(m.value("press").toString(), QString("1,6 (16,0)"));
    // Both triggers came within the delay: one request.
    QTest::qWait(400);
    QCOMPARE(lookups(), 2);
}

void TstPutgmTab::multilayerAndSmoothBasesAreDifferentRequests()
{
    openReady();
    w<QRadioButton>("PUTGm_Osn_09x_Btn")->setChecked(true);
    QVERIFY(waitLookups(2));
    answer({"", "60", "40", ""});
    w<QRadioButton>("PUTGm_Osn_08_Btn")->setChecked(true);
    QVERIFY(waitLookups(3));
    QCOMPARE(lastLookup().value("tf").toString(), QString("09_A"));
    answer({"", "61", "41", ""});
    QTRY_COMPARE(tab()->PUTGmD3, QString("61"));
    // There and back within the delay: the choice equals the last request.
    w<QRadioButton>("PUTGm_Osn_09x_Btn")->setChecked(true);
    w<QRadioButton>("PUTGm_Osn_08_Btn")->setChecked(true);
    QTest::qWait(450);
    QCOMPARE(lookups(), 3);
}

void TstPutgmTab::constructionAndPlateChangeOnlyTheDrawing()
{
    openReady();
    auto *pic = w<QLabel>("PUTGm_Pic_Pr");
    auto drawing = [pic](const char *name) {
        return QPixmap(putgm::roundDrawing("09", QString(name).section('-', 0, 0), QString(name).section('-', 1)))
            .scaledToWidth(pic->width(), Qt::SmoothTransformation)
            .toImage();
    };
    QCOMPARE(pic->pixmap(Qt::ReturnByValue).toImage(), drawing("01-1"));

    w<QRadioButton>("PUTGm_Const_04_Btn")->setChecked(true);
    QCOMPARE(tab()->PUTGmConst, QString("04"));
    QCOMPARE(pic->pixmap(Qt::ReturnByValue).toImage(), drawing("04-1"));
    QVERIFY(w<QComboBox>("PUTGm_O_Material")->isEnabled());
    w<QRadioButton>("PUTGm_Plak_5")->setChecked(true);
    QCOMPARE(pic->pixmap(Qt::ReturnByValue).toImage(), drawing("04-5"));
    QVERIFY(!pic->pixmap(Qt::ReturnByValue).isNull());
    // The obturator enters the group: 1 + 2 + 5.
    QVERIFY(w<QLineEdit>("PUTGm_Definition")->text().contains("-125 ["));

    QTest::qWait(450);
    QCOMPARE(lookups(), 1);
}

void TstPutgmTab::sizeClickUnchecksNonStandardFlange()
{
    openReady();
    auto *input = w<QCheckBox>("PUTGm_Input_Box");
    input->setChecked(true);
    QVERIFY(w<QLineEdit>("PUTGm_D2_Inp_Box")->isVisible());
    QVERIFY(!w<QWidget>("PUTGm_Size")->isEnabled());
    // The fields start from the dimensions at hand.
    QCOMPARE(w<QLineEdit>("PUTGm_D3_Inp_Box")->text(), QString("54"));
    QCOMPARE(w<QLineEdit>("PUTGm_Definition")->text(), QString("ПУТГм-А-09-01-54 x 37-3,0 [нестанд.]"));
    w<QLineEdit>("PUTGm_D3_Inp_Box")->setText("70");
    w<QLineEdit>("PUTGm_D2_Inp_Box")->setText("50");
    QCOMPARE(w<QLineEdit>("PUTGm_Definition")->text(), QString("ПУТГм-А-09-01-70 x 50-3,0 [нестанд.]"));

    // The size list is disabled while typing; enable it to reach the click.
    w<QWidget>("PUTGm_Size")->setEnabled(true);
    auto *sizes = w<QListWidget>("PUTGm_Size_table");
    QListWidgetItem *row = sizes->item(2);
    QTest::mouseClick(sizes->viewport(), Qt::LeftButton, {}, sizes->visualItemRect(row).center());
    QVERIFY(!input->isChecked());
    QVERIFY(!w<QLineEdit>("PUTGm_D2_Inp_Box")->isVisible());
    QCOMPARE(tab()->PUTGmSize, QString("20"));
    // Until the answer there is no row to order: never size 20 with 70 x 50.
    QCOMPARE(w<QLineEdit>("PUTGm_Definition")->text(), QString());
    QCOMPARE(tab()->PUTGmDescriptionText, QString());
    // Sent at once (well before the 300 ms delay), with the clicked row.
    QTRY_COMPARE_WITH_TIMEOUT(lookups(), 2, 200);
    QCOMPARE(lastLookup().value("size").toString(), QString("20"));
}

void TstPutgmTab::nonStandardFlangeFieldsByBase_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("fields");   // D1 D2 D3 D4 shown
    QTest::newRow("09") << "PUTGm_Osn_09_Btn" << "0110";
    QTest::newRow("095") << "PUTGm_Osn_095_Btn" << "1111";
    QTest::newRow("092") << "PUTGm_Osn_092_Btn" << "1110";
    QTest::newRow("093") << "PUTGm_Osn_093_Btn" << "0111";
}

void TstPutgmTab::nonStandardFlangeFieldsByBase()
{
    QFETCH(QString, base);
    QFETCH(QString, fields);
    openReady();
    w<QRadioButton>(base.toLatin1().constData())->setChecked(true);
    w<QCheckBox>("PUTGm_Input_Box")->setChecked(true);
    QString shown;
    for (int i = 1; i <= 4; ++i)
        shown += w<QLineEdit>(("PUTGm_D" + QByteArray::number(i) + "_Inp_Box").constData())->isVisible() ? '1' : '0';
    QCOMPARE(shown, fields);
    // The values sit on the drawing's dimension lines, smallest diameter on top.
    int lastY = -1;
    for (int i = 1; i <= 4; ++i) {
        auto *value = w<QLabel>(("PUTGm_s" + QByteArray::number(i)).constData());
        QCOMPARE(value->isVisible(), fields.at(i - 1) == '1');
        if (!value->isVisible())
            continue;
        QVERIFY(value->y() > lastY);
        QVERIFY(value->geometry().bottom() < w<QLabel>("PUTGm_Pic_Pr")->height());
        lastY = value->y();
    }
    // The typed diameters lie inside the field but never on the drawing.
    const QRect drawing = w<QLabel>("PUTGm_Pic_Pr")->geometry();
    const QRect field = w<QWidget>("PUTGm_Chert_Field")->rect();
    for (int i = 1; i <= 4; ++i) {
        for (const QByteArray &name : {"PUTGm_D" + QByteArray::number(i) + "_Inp_Box",
                                       "PUTGm_D" + QByteArray::number(i) + "_Lbl"}) {
            auto *box = w<QWidget>(name.constData());
            if (!box->isVisible())
                continue;
            QVERIFY2(!box->geometry().intersects(drawing), name.constData());
            QVERIFY2(field.contains(box->geometry()), name.constData());
        }
    }
    // Unchecking asks the server again for the same choice.
    const int before = lookups();
    w<QCheckBox>("PUTGm_Input_Box")->setChecked(false);
    QVERIFY(waitLookups(before + 1));
    for (int i = 1; i <= 4; ++i)
        QVERIFY(!w<QLineEdit>(("PUTGm_D" + QByteArray::number(i) + "_Inp_Box").constData())->isVisible());
}

void TstPutgmTab::base091BackAfterRectangle()
{
    auto *b091 = w<QRadioButton>("PUTGm_Osn_091_Btn");
    auto *b097 = w<QRadioButton>("PUTGm_Osn_097_Btn");
    QVERIFY(!b091->isEnabled());
    w<QRadioButton>("PUTGm_Config_Rect")->setChecked(true);
    QVERIFY(!b091->isEnabled());
    QVERIFY(!b097->isEnabled());
    QVERIFY(w<QWidget>("PUTGm_Pr_S_Field")->isVisible());
    QVERIFY(!w<QWidget>("PUTGm_Size")->isVisible());
    QVERIFY(!w<QWidget>("PUTGmStandBox")->isEnabled());
    w<QRadioButton>("PUTGm_Config_Circle")->setChecked(true);
    QVERIFY(b091->isEnabled());
    QVERIFY(b097->isEnabled());
    QVERIFY(w<QWidget>("PUTGmStandBox")->isEnabled());
    QVERIFY(w<QWidget>("PUTGm_Size")->isVisible());
}

void TstPutgmTab::wholeRoad()
{
    peer->reply(item(wire::TablesReply, wire::encodeMap(tables())));
    QVERIFY(waitLookups(1));
    QVariantMap m = lastLookup();
    QCOMPARE(m, QVariantMap({{"standart", "GOST128"}, {"tf", "09_A"}, {"size", "10"}, {"press", "1,6 (16,0)"}}));
    answer({"", "54", "37", "", "t7"});
    auto *definition = w<QLineEdit>("PUTGm_Definition");
    QTRY_COMPARE(definition->text(), QString("ПУТГм-А-09-01-10-1,6-3,0 [54 x 37]"));
    QCOMPARE(w<QLabel>("PUTGm_Message_Label")->text(),
             QString("Для выбранных параметров рекомендованы конструкции ПУТГм-099, ПУТГм-098 и ПУТГм-095. "));
    QCOMPARE(w<QLabel>("PUTGm_s3")->text(), QString("54"));
    QCOMPARE(w<QTextEdit>("PUTGm_Description")->toPlainText(), tab()->PUTGmDescriptionText);
    QCOMPARE(tab()->PUTGmDescriptionText,
             QString("Прокладка на металлическом волновом основании из стали  AISI 304 (08X18H9), без обтюраторов,"
                     " с уплотнительным элементом из неармированного ТРГ, для применения на фланцах с уплотнительной"
                     " поверхностью \"соединительный выступ\", DN = 10, PN = 1,6, с размерами 54 x 37 и толщиной 3,0"));

    // ASME flange, base 095 with all four diameters and a modifying element.
    w<QComboBox>("PUTGmStandBox")->setCurrentIndex(2);
    w<QRadioButton>("PUTGm_Osn_095_Btn")->setChecked(true);
    QVERIFY(waitLookups(2));
    m = lastLookup();
    QCOMPARE(m, QVariantMap({{"standart", "ASME165"}, {"tf", "095_A"}, {"size", "1/2"}, {"press", "150 (2,0)"}}));
    answer({"120", "95", "54", "30"});
    QTRY_COMPARE(tab()->PUTGmD4, QString("120"));
    QCOMPARE(w<QLabel>("PUTGm_Message_Label")->text(), QString());
    w<QRadioButton>("PUTGm_tempr_mid")->setChecked(true);
    QCOMPARE(definition->text(),
             QString("ПУТГм-А-095-01-1/2-150#-3,0-101(Н-14) ASME B 16.20 [120 x 95 x 54 x 30]"));
    QVERIFY(tab()->PUTGmDescriptionText.contains(", с добавлением ингибитора окисления И(Н-14)"));

    // A reply without data empties everything.
    QTest::mouseClick(w<QListWidget>("PUTGm_Press_table")->viewport(), Qt::LeftButton, {},
                      w<QListWidget>("PUTGm_Press_table")->visualItemRect(w<QListWidget>("PUTGm_Press_table")->item(1)).center());
    QVERIFY(waitLookups(3));
    QCOMPARE(lastLookup().value("press").toString(), QString("300 (5,0)"));
    answer({});
    QTRY_COMPARE(definition->text(), QString());
    QCOMPARE(tab()->PUTGmDescriptionText, QString());
    QCOMPARE(w<QLabel>("PUTGm_Message_Label")->text(), QString("Конструкции для заданных параметров не существует. "));
}

void TstPutgmTab::emptyReplyMeansNoConstruction()
{
    peer->reply(item(wire::TablesReply, wire::encodeMap(tables())));
    QVERIFY(waitLookups(1));
    answer({});
    QTRY_COMPARE(w<QLabel>("PUTGm_Message_Label")->text(),
                 QString("Конструкции для заданных параметров не существует. "));
    // Typing the diameters of a non-standard flange clears the notice.
    w<QCheckBox>("PUTGm_Input_Box")->setChecked(true);
    QCOMPARE(w<QLabel>("PUTGm_Message_Label")->text(), QString());
}

void TstPutgmTab::recommendationGoesWithTheRoundShape()
{
    openReady({"", "54", "37", "", "t7"});
    auto *label = w<QLabel>("PUTGm_Message_Label");
    QVERIFY(label->text().contains("рекомендованы"));
    w<QRadioButton>("PUTGm_Config_Rect")->click();
    QVERIFY(!label->text().contains("рекомендованы"));
    w<QRadioButton>("PUTGm_Config_Circle")->click();
    QVERIFY(label->text().contains("рекомендованы"));
}

// The longest recommendation, with a drawing attached, at the window's
// smallest size: every line of it is on screen.
void TstPutgmTab::recommendationReadsWhole()
{
    QTemporaryDir dir;
    const QString drawing = dir.filePath("plan.dwg");
    {
        QFile f(drawing);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    const auto before = MainWindow::openFileDialog;
    MainWindow::openFileDialog = [drawing](QWidget *, const QString &, const QString &, const QString &) {
        return drawing;
    };
    openReady({"", "54", "37", "", "t7"});
    w<QPushButton>("PUTGm_AddChert")->click();
    MainWindow::openFileDialog = before;
    window->resize(window->minimumSizeHint());
    QTest::qWait(50);
    auto *label = w<QLabel>("PUTGm_Message_Label");
    QVERIFY(label->text().endsWith("ПУТГм-095. "));
    QVERIFY2(label->height() >= label->heightForWidth(label->width()),
             qPrintable(QString("%1 < %2").arg(label->height()).arg(label->heightForWidth(label->width()))));
}

// ASME lists hold nominal pipe sizes and pressure classes; GOST lists DN and
// PN in MPa. Both titles read whole at the window's smallest size.
void TstPutgmTab::listTitlesMatchTheValues()
{
    openReady();
    const struct { int standard; const char *size; const char *press; } rows[] = {
        {2, "Номинальный проход, \"", "Класс давления"},
        {0, "Ду", "Ру, МПа (кгс/см²)"},
    };
    auto *size = w<QLabel>("PUTGm_Size_Label");
    auto *press = w<QLabel>("PUTGm_Press_Label");
    for (const auto &r : rows) {
        w<QComboBox>("PUTGmStandBox")->setCurrentIndex(r.standard);
        window->resize(window->minimumSizeHint());
        QTest::qWait(20);
        QCOMPARE(size->text(), QString(r.size));
        QCOMPARE(press->text(), QString(r.press));
        for (QLabel *l : {size, press})
            QVERIFY2(l->height() >= l->heightForWidth(l->width()), qPrintable(l->text()));
    }
}

// Obturators, fixing element, holes and jumper: the description is as tall
// as its text at the window's smallest size.
void TstPutgmTab::longDescriptionReadsWhole()
{
    openReady();
    w<QRadioButton>("PUTGm_Osn_092_Btn")->setChecked(true);
    w<QRadioButton>("PUTGm_Const_04_Btn")->setChecked(true);
    for (const char *box : {"PUTGm_KVF_checkBox", "PUTGm_Otv_checkBox", "PUTGm_Perem_Yes"})
        w<QCheckBox>(box)->setChecked(true);
    window->resize(window->minimumSizeHint());
    QTest::qWait(50);
    auto *description = w<QTextEdit>("PUTGm_Description");
    QVERIFY(description->toPlainText().contains("перемычкой"));
    const int needed = qCeil(description->document()->size().height());
    QVERIFY2(description->viewport()->height() >= needed,
             qPrintable(QString("%1 < %2").arg(description->viewport()->height()).arg(needed)));
}

void TstPutgmTab::notesForDrawings()
{
    openReady();
    auto *label = w<QLabel>("PUTGm_Message_Label");
    const QString attach = "К заявке приложите файл с чертежом. ";
    label->clear();
    window->SetMessages();
    QCOMPARE(label->text(), QString());

    w<QCheckBox>("PUTGm_Otv_checkBox")->setChecked(true);
    QCOMPARE(window->notes().value("putgm_otv"), QString("1"));
    QCOMPARE(label->text(), attach);
    QVERIFY(w<QLineEdit>("PUTGm_Definition")->text().contains("(черт.)"));
    w<QCheckBox>("PUTGm_Otv_checkBox")->setChecked(false);
    QCOMPARE(label->text(), QString());

    auto *jumper = w<QCheckBox>("PUTGm_Perem_Yes");
    auto *letter = w<QComboBox>("PUTGm_Perem_Box");
    auto *width = w<QLineEdit>("PUTGm_Perem_Depth_Edit");
    jumper->setChecked(true);
    QVERIFY(letter->isEnabled());
    width->setText("5");
    QVERIFY(w<QLineEdit>("PUTGm_Definition")->text().contains("-01(A/5)-"));
    letter->setCurrentIndex(1);   // "B" needs a drawing
    QCOMPARE(window->notes().value("putgm_perem"), QString("1"));
    QCOMPARE(label->text(), attach);
    QVERIFY(!width->isEnabled());
    QCOMPARE(width->text(), QString());
    letter->setCurrentText("M");
    QCOMPARE(window->notes().value("putgm_perem"), QString());
    jumper->setChecked(false);
    QVERIFY(!letter->isEnabled());
    QCOMPARE(letter->currentIndex(), 0);

    // The oval shape always needs a drawing and has no jumper.
    w<QRadioButton>("PUTGm_Config_Ellipse")->setChecked(true);
    QCOMPARE(window->notes().value("putgm_oval"), QString("1"));
    QVERIFY(label->text().startsWith(attach));
    QVERIFY(!jumper->isEnabled());
    w<QRadioButton>("PUTGm_Config_Circle")->setChecked(true);
    QCOMPARE(window->notes().value("putgm_oval"), QString());
    QVERIFY(jumper->isEnabled());
    // The PUTGm tab raises none of these.
    for (const char *key : {"putgm_chert", "putgm_to", "putgm_spec"})
        QCOMPARE(window->notes().value(key), QString());
}

void TstPutgmTab::temperatureAndModifyingElement()
{
    openReady();
    auto *mod = w<QComboBox>("PUTGm_ModElem");
    w<QRadioButton>("PUTGm_tempr_max")->setChecked(true);
    QCOMPARE(mod->currentIndex(), 5);
    QVERIFY(w<QLineEdit>("PUTGm_Definition")->text().contains("-101(Н-18) ["));
    // Choosing "до 500" leaves the modifying element as it is.
    w<QRadioButton>("PUTGm_tempr_min")->setChecked(true);
    QCOMPARE(mod->currentIndex(), 5);
    mod->setCurrentIndex(4);
    QVERIFY(w<QRadioButton>("PUTGm_tempr_mid")->isChecked());
    mod->setCurrentIndex(2);
    QVERIFY(w<QRadioButton>("PUTGm_tempr_mid")->isChecked());
    QVERIFY(w<QLineEdit>("PUTGm_Definition")->text().contains("-101(Al) ["));
    mod->setCurrentIndex(0);
    QVERIFY(w<QRadioButton>("PUTGm_tempr_min")->isChecked());
    QCOMPARE(window->notes().value("putgm_to"), QString());
    // The reset button puts everything back.
    w<QCheckBox>("PUTGm_KVF_checkBox")->setChecked(true);
    w<QComboBox>("PUTGmFixBox")->setCurrentIndex(3);
    QVERIFY(w<QLineEdit>("PUTGm_Definition")->text().contains("(Ф1-30)"));
    mod->setCurrentIndex(5);
    QTest::mouseClick(w<QPushButton>("PUTGm_Clear_Add_Fields"), Qt::LeftButton);
    QCOMPARE(mod->currentIndex(), 0);
    QVERIFY(!w<QCheckBox>("PUTGm_KVF_checkBox")->isChecked());
    QVERIFY(!w<QComboBox>("PUTGmFixBox")->isEnabled());
    QCOMPARE(w<QLineEdit>("PUTGm_Definition")->text(), QString("ПУТГм-А-09-01-10-1,6-3,0 [54 x 37]"));
}

void TstPutgmTab::rectangleDesignationFollowsFacing()
{
    openReady();
    const int sent = lookups();
    w<QRadioButton>("PUTGm_Config_Rect")->setChecked(true);
    QCOMPARE(tab()->PUTGmSizeMode, QString("gab"));
    QVERIFY(!w<QLineEdit>("PUTGm_C_Edit")->isEnabled());
    w<QLineEdit>("PUTGm_A1_Edit")->setText("500");
    w<QLineEdit>("PUTGm_A2_Edit")->setText("400");
    w<QLineEdit>("PUTGm_B1_Edit")->setText("300");
    QCOMPARE(w<QLineEdit>("PUTGm_Definition")->text(), QString());
    w<QLineEdit>("PUTGm_B2_Edit")->setText("200");
    QCOMPARE(w<QLabel>("PUTGm_B2_Data")->text(), QString("200"));
    QCOMPARE(w<QLineEdit>("PUTGm_Definition")->text(), QString("ПУТГм-Ап-09-01-500 x 400 x 300 x 200-1,6-3,0"));
    w<QComboBox>("PUTGmFlanBox")->setCurrentIndex(1);
    QCOMPARE(w<QLineEdit>("PUTGm_Definition")->text(), QString("ПУТГм-Бп-09-01-500 x 400 x 300 x 200-1,6-3,0"));

    // Field mode empties the sizes and swaps the enabled edits.
    w<QRadioButton>("PUTGm_Pr_Fie_Btn")->setChecked(true);
    QCOMPARE(w<QLineEdit>("PUTGm_A1_Edit")->text(), QString());
    QCOMPARE(w<QLabel>("PUTGm_A1_Data")->text(), QString("A1"));
    QVERIFY(w<QLineEdit>("PUTGm_C_Edit")->isEnabled());
    QVERIFY(!w<QLineEdit>("PUTGm_A2_Edit")->isEnabled());
    w<QLineEdit>("PUTGm_A1_Edit")->setText("500");
    w<QLineEdit>("PUTGm_B1_Edit")->setText("300");
    w<QLineEdit>("PUTGm_C_Edit")->setText("20");
    QVERIFY(tab()->PUTGmDescriptionText.endsWith(", с размерами 500 x 300 x 20 и толщиной 3,0"));
    // A pressure click on a rectangle only rebuilds.
    auto *press = w<QListWidget>("PUTGm_Press_table");
    QTest::mouseClick(press->viewport(), Qt::LeftButton, {}, press->visualItemRect(press->item(2)).center());
    QCOMPARE(w<QLineEdit>("PUTGm_Definition")->text(), QString("ПУТГм-Бп-09-01-500 x 300 x 20-2,5-3,0"));
    QTest::qWait(400);
    QCOMPARE(lookups(), sent);

    // Back to round: the texts are rebuilt at once, before any answer.
    w<QComboBox>("PUTGmFlanBox")->setCurrentIndex(0);
    w<QRadioButton>("PUTGm_Config_Circle")->setChecked(true);
    QCOMPARE(tab()->PUTGmConfig, QString("circ"));
    QVERIFY(w<QLineEdit>("PUTGm_Definition")->text().startsWith("ПУТГм-А-09-01-10-"));
}

void TstPutgmTab::otherMaterialTypedStaysFree()
{
    openReady();
    w<QRadioButton>("PUTGm_Const_02_Btn")->setChecked(true);
    auto *o = w<QComboBox>("PUTGm_O_Material");
    QVERIFY(o->isEnabled());
    o->setCurrentIndex(o->count() - 1);
    QVERIFY(o->isEditable());
    QVERIFY(w<QLineEdit>("PUTGm_Definition")->text().contains("-1др.1 ["));
    QApplication::setActiveWindow(o->window());
    o->lineEdit()->setFocus();
    QVERIFY(o->lineEdit()->hasFocus());
    o->lineEdit()->selectAll();
    // A name that begins like a catalogue code is not completed into that entry.
    QTest::keyClicks(o->lineEdit(), "9C");
    QCOMPARE(o->currentText(), QString("9C"));
    QVERIFY(w<QLineEdit>("PUTGm_Definition")->text().contains("-19C1 ["));
    o->lineEdit()->selectAll();
    for (const QChar c : QString("12Х18Н10Т"))
        QTest::sendKeyEvent(QTest::Click, o->lineEdit(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    QVERIFY(w<QLineEdit>("PUTGm_Definition")->text().contains("-112Х18Н10Т1 ["));
    // Enter must not turn the typed name into a new entry.
    QTest::keyClick(o->lineEdit(), Qt::Key_Return);
    QCOMPARE(o->count(), materials::stripList().size());
    QCOMPARE(o->itemText(o->count() - 1), QString("<другой материал>"));
    o->setCurrentIndex(0);
    QVERIFY(!o->isEditable());
    QVERIFY(!w<QLineEdit>("PUTGm_Definition")->text().contains("-111"));
    QCOMPARE(tab()->PUTGmOCode, QString("1"));
}

QTEST_MAIN(TstPutgmTab)
#include "tst_putgmtab.moc"
