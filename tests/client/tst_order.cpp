// The order list of the main window: adding items from the three
// configurators, editing and moving rows, sending the list, attaching drawings.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "order_helpers.h"
#include "wire.h"

using namespace orderfx;

namespace {
const QString kAttach = QStringLiteral("Прикрепить чертеж");
const QString kDetach = QStringLiteral("Открепить");

QStringList requestStrings(const QByteArray &body)
{
    QStringList l;
    TestPeer::argument(body).readStringList(&l);
    return l;
}
} // namespace

class TstOrder : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { vintaroInitResources(); }
    void init();
    void cleanup();

    // adding
    void threeConfiguratorsInOrder();
    void snpSizeByType_data();
    void snpSizeByType();
    void emptyDesignation_data();
    void emptyDesignation();
    void drawingMovesIntoOneRowOnly();
    void itemAsTheTabBuildsIt_data();
    void itemAsTheTabBuildsIt();
    void sizesOfTheGasketInTheRow_data();
    void sizesOfTheGasketInTheRow();

    // editing
    void deleteRows();
    void moveRows_data();
    void moveRows();
    void onlyQuantityEditable_data();
    void onlyQuantityEditable();
    void quantityEditorDoesNotCarryOver();
    void backThenToBasket();
    void acceptedOrderEmptiesList();
    void acceptanceKeepsRowsAddedSince();
    void secondOrderWaitsForTheFirst();

    // sending
    void requestKinds_data();
    void requestKinds();
    void sendsEveryCellInOrder();
    void answerNoSendsNothing();
    void emptyListIsReported();
    void closedCurrentDialogShowsWhatFollows_data();
    void closedCurrentDialogShowsWhatFollows();
    void tooLargeRowIsRefusedAndKept();
    void bigListGoesInParts();
    void quantityMustBeWhole_data();
    void quantityMustBeWhole();
    void unansweredOrderFreesTheButton();

    // drawings
    void sizeLimit_data();
    void sizeLimit();
    void yesReopensTheDialog();
    void detachOpensNoDialog();
    void attachmentsAreKeptPerConfigurator();

private:
    void fillTwoRows();
    // Adds an SNP and a PUTG item and sends the list as an invoice request.
    void sendTwoItems();
    Rig rig;
    Answers answers;
    QTemporaryDir dir;
};

void TstOrder::init()
{
    QVERIFY(dir.isValid());
    answers = Answers();
    answers.install();
    QVERIFY(rig.open());
}

void TstOrder::cleanup()
{
    rig.close();
    Answers::uninstall();
}

// ---- adding -----------------------------------------------------------------------

void TstOrder::threeConfiguratorsInOrder()
{
    MainWindow *w = rig.window.get();
    const QString drawing = writeFile(dir.path(), "plan.dwg", 100);
    answers.files << drawing;

    addSnp(w, "СНП-Д-1", "3", "C", {"100", "110", "140", ""}, "snp text");
    QCOMPARE(w->statusDialog(), nullptr); // "Добавлено в список." was shown and forgotten
    press(w, w->putgTab(), "PUTG_AddChert", &MainWindow::on_PUTG_AddChert_clicked);
    QCOMPARE(w->PUTGChertPath, drawing);
    QCOMPARE(w->PUTGChertName, QString("plan.dwg"));
    addPutg(w, "ПУТГ-А-1", "5", "50", "90", "putg text");
    addPutgm(w, "ПУТГм-Б-2", "7", "60", "95", "putgm text");

    QTableWidget *b = rig.basket();
    QCOMPARE(b->rowCount(), 3);
    QCOMPARE(row(b, 0), QStringList({"СНП-Д-1", "3", "140*110*100", "", "snp text"}));
    QCOMPARE(row(b, 1).mid(0, 4), QStringList({"ПУТГ-А-1", "5", "50*90", "plan.dwg"}));
    QCOMPARE(row(b, 2).mid(0, 4), QStringList({"ПУТГм-Б-2", "7", "60*95", ""}));
    QCOMPARE(w->ChertList, QStringList({"", drawing, ""}));

    // Each add showed its own closable dialog.
    int added = 0;
    for (Message *m : w->findChildren<Message *>())
        if (m->messageText() == "Добавлено в список." && m->isCloseEnabled() && m->isVisible())
            ++added;
    QCOMPARE(added, 3);
    // The attachment went with the row; the button offers to attach again.
    QCOMPARE(w->PUTGChertPath, QString());
    QCOMPARE(w->PUTGChertName, QString());
    QCOMPARE(button(w, w->putgTab(), "PUTG_AddChert")->text(), kAttach);
}

void TstOrder::snpSizeByType_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("size");
    QTest::newRow("A") << "A" << "140*110";
    QTest::newRow("B") << "B" << "140*110";
    QTest::newRow("C") << "C" << "140*110*100";
    QTest::newRow("D") << "D" << "160*140*110";
    QTest::newRow("E") << "E" << "160*140*110*100";
    QTest::newRow("Cyrillic С is not C") << "С" << "";
    QTest::newRow("empty") << "" << "";
}

void TstOrder::snpSizeByType()
{
    QFETCH(QString, type);
    QFETCH(QString, size);
    addSnp(rig.window.get(), "СНП-X", "1", type, {"100", "110", "140", "160"}, "d");
    QCOMPARE(rig.basket()->rowCount(), 1);
    QCOMPARE(cell(rig.basket(), 0, 2), size);
}

void TstOrder::emptyDesignation_data()
{
    QTest::addColumn<int>("family");
    QTest::newRow("SNP") << 0;
    QTest::newRow("PUTG") << 1;
    QTest::newRow("PUTGm") << 2;
}

void TstOrder::emptyDesignation()
{
    QFETCH(int, family);
    MainWindow *w = rig.window.get();
    Message *before = w->statusDialog();
    const QString beforeText = before ? before->messageText() : QString();
    if (family == 0)
        addSnp(w, "", "1", "A", {"1", "2", "3", "4"}, "d");
    else if (family == 1)
        addPutg(w, "", "1", "1", "2", "d");
    else
        addPutgm(w, "", "1", "1", "2", "d");
    QCOMPARE(rig.basket()->rowCount(), 0);
    QVERIFY(w->ChertList.isEmpty());
    QCOMPARE(w->statusDialog(), before);
    if (before)
        QCOMPARE(before->messageText(), beforeText);
    for (Message *m : w->findChildren<Message *>())
        QVERIFY(m->messageText() != "Добавлено в список.");
}

void TstOrder::drawingMovesIntoOneRowOnly()
{
    MainWindow *w = rig.window.get();
    const QString drawing = writeFile(dir.path(), "sketch.pdf", 10);
    answers.files << drawing;
    QAbstractButton *attach = button(w, w->snpTab(), "SNP_Add_Chert", kAttach);
    press(w, w->snpTab(), "SNP_Add_Chert", &MainWindow::on_SNP_Add_Chert_clicked);
    QCOMPARE(attach->text(), kDetach);
    addSnp(w, "СНП-1", "1", "A", {"1", "2", "3", "4"}, "d");
    QCOMPARE(attach->text(), kAttach);
    QCOMPARE(w->SNPChertPath, QString());
    QCOMPARE(w->SNPChertName, QString());
    // The same configuration again: a row without drawing.
    addSnp(w, "СНП-1", "1", "A", {"1", "2", "3", "4"}, "d");
    QCOMPARE(rig.basket()->rowCount(), 2);
    QCOMPARE(cell(rig.basket(), 0, 3), QString("sketch.pdf"));
    QCOMPARE(cell(rig.basket(), 1, 3), QString());
    QCOMPARE(w->ChertList, QStringList({drawing, ""}));
    QCOMPARE(answers.dialogCalls, 1);
}

void TstOrder::itemAsTheTabBuildsIt_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("reply");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("size");
    // SNP starts with type "E": all four diameters.
    QTest::newRow("SNP") << "SNP" << int(wire::SnpReply) << "SNP" << "160*140*110*100";
    QTest::newRow("PUTG") << "PUTG" << int(wire::PutgReply) << "PUTG" << "107*57";
    QTest::newRow("PUTGm") << "PUTGm" << int(wire::PutgmReply) << "PUTGm" << "107*57";
}

void TstOrder::itemAsTheTabBuildsIt()
{
    QFETCH(QString, page);
    QFETCH(int, reply);
    QFETCH(QString, prefix);
    QFETCH(QString, size);
    MainWindow *w = rig.window.get();
    auto *tabs = w->findChild<QTabWidget *>("tabWidget");
    tabs->setCurrentIndex(tabs->indexOf(w->findChild<QWidget *>(page)));
    // The server's dimensions for the current choice: D4, D3, D2, D1.
    const QStringList dims = page == "SNP" ? QStringList({"160", "140", "110", "100"})
                                           : QStringList({"0", "107", "57", "0"});
    rig.peer->reply(QByteArray(1, char(reply)) + wire::encodeStringList(dims));
    auto *definition = w->findChild<QLineEdit *>(prefix + "_Definition");
    QVERIFY(definition);
    QTRY_VERIFY(!definition->text().isEmpty());
    const QString designation = definition->text();
    QString description = w->snpTab()->SNPDescriptionText;
    QWidget *tab = w->snpTab();
    if (page == "PUTG") {
        description = w->putgTab()->PUTGDescriptionText;
        tab = w->putgTab();
    } else if (page == "PUTGm") {
        description = w->putgmTab()->PUTGmDescriptionText;
        tab = w->putgmTab();
    }
    QVERIFY(!description.isEmpty());
    setField(w, tab, qPrintable(prefix + "_Count"), "12");
    auto *add = w->findChild<QAbstractButton *>(prefix + "_Add_To_Basket");
    QVERIFY(add);
    add->click();

    QTableWidget *b = rig.basket();
    QCOMPARE(b->rowCount(), 1);
    QCOMPARE(row(b, 0).mid(0, 4), QStringList({designation, "12", size, ""}));
    // The description of the added item, not one after a later reset of the
    // additional options.
    QCOMPARE(cell(b, 0, 4), description);
    QCOMPARE(w->ChertList, QStringList({""}));
}

// The size cell holds the gasket of the row: typed sizes of an oval or
// rectangular one (not the last round lookup), every diameter of a round one.
void TstOrder::sizesOfTheGasketInTheRow_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("typed"); // name=value
    QTest::addColumn<QStringList>("dims");  // a round lookup's answer, D4..D1
    QTest::addColumn<QString>("size");
    QTest::newRow("PUTG oval") << "PUTG" << QStringList{"PUTG_Config_Ellipse"}
        << QStringList{"PUTG_A1_Edit=300", "PUTG_A2_Edit=200", "PUTG_B1_Edit=150", "PUTG_B2_Edit=100"}
        << QStringList{"0", "107", "57", "0"} << "300*200*150*100";
    QTest::newRow("PUTGm rect field") << "PUTGm" << QStringList{"PUTGm_Config_Rect", "PUTGm_Pr_Fie_Btn"}
        << QStringList{"PUTGm_A1_Edit=300", "PUTGm_B1_Edit=150", "PUTGm_C_Edit=20"}
        << QStringList{"", "107", "57", ""} << "300*150*20";
    QTest::newRow("PUTG four diameters") << "PUTG" << QStringList{"PUTG_Const_044_Btn"} << QStringList{}
        << QStringList{"150", "107", "57", "40"} << "150*107*57*40";
}

void TstOrder::sizesOfTheGasketInTheRow()
{
    QFETCH(QString, page);
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, dims);
    QFETCH(QString, size);
    MainWindow *w = rig.window.get();
    auto *tabs = w->findChild<QTabWidget *>("tabWidget");
    tabs->setCurrentIndex(tabs->indexOf(w->findChild<QWidget *>(page)));
    const int reply = page == "PUTG" ? wire::PutgReply : wire::PutgmReply;
    for (const QString &name : clicks) {
        auto *b = w->findChild<QAbstractButton *>(name);
        QVERIFY2(b && b->isEnabled(), qPrintable(name));
        b->click();
    }
    rig.peer->reply(QByteArray(1, char(reply)) + wire::encodeStringList(dims));
    QTest::qWait(100);
    for (const QString &t : typed)
        w->findChild<QLineEdit *>(t.section('=', 0, 0))->setText(t.section('=', 1));
    QTRY_VERIFY(!w->findChild<QLineEdit *>(page + "_Definition")->text().isEmpty());
    w->findChild<QAbstractButton *>(page + "_Add_To_Basket")->click();
    QCOMPARE(cell(rig.basket(), 0, 2), size);
}

// ---- editing ------------------------------------------------------------------------

void TstOrder::fillTwoRows()
{
    MainWindow *w = rig.window.get();
    addSnp(w, "СНП-A", "1", "A", {"1", "2", "3", "4"}, "first");
    addSnp(w, "СНП-B", "2", "E", {"1", "2", "3", "4"}, "second");
    w->ChertList = QStringList({"/p/a.dwg", ""});
    rig.basket()->item(0, 3)->setText("a.dwg");
}

void TstOrder::deleteRows()
{
    MainWindow *w = rig.window.get();
    QTableWidget *b = rig.basket();
    auto *del = w->findChild<QPushButton *>("List_Pos_Delete_Btn");
    w->findChild<QPushButton *>("To_Basket")->click();
    hideStatusDialogs(w);

    // Nothing current: nothing happens.
    fillTwoRows();
    b->setCurrentCell(-1, -1);
    w->SetListButtons(2);
    del->click();
    QCOMPARE(b->rowCount(), 2);

    // The drawing entry goes with its row.
    b->setCurrentCell(0, 2);
    del->click();
    QCOMPARE(b->rowCount(), 1);
    QCOMPARE(cell(b, 0, 0), QString("СНП-B"));
    QCOMPARE(w->ChertList, QStringList({""}));
    QVERIFY(del->isEnabled());

    // The only row: buttons stay visible but disabled.
    b->setCurrentCell(0, 0);
    del->click();
    QCOMPARE(b->rowCount(), 0);
    QVERIFY(w->ChertList.isEmpty());
    for (const char *name : {"List_Pos_Delete_Btn", "List_Pos_Up_Btn", "List_Pos_Down_Btn"}) {
        auto *btn = w->findChild<QPushButton *>(name);
        QVERIFY2(btn->isVisible() && !btn->isEnabled(), name);
    }

    // Next item added is row 0 with drawing index 0.
    addSnp(w, "СНП-C", "1", "A", {"1", "2", "3", "4"}, "d");
    QCOMPARE(b->rowCount(), 1);
    QCOMPARE(w->ChertList.size(), 1);
}

void TstOrder::moveRows_data()
{
    QTest::addColumn<int>("startRow");
    QTest::addColumn<int>("startColumn");
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<int>("endRow");
    QTest::addColumn<bool>("swapped");
    QTest::newRow("up on row 0") << 0 << 1 << "List_Pos_Up_Btn" << 0 << false;
    QTest::newRow("down on the last row") << 1 << 4 << "List_Pos_Down_Btn" << 1 << false;
    QTest::newRow("row 1 up") << 1 << 2 << "List_Pos_Up_Btn" << 0 << true;
    QTest::newRow("row 0 down") << 0 << 3 << "List_Pos_Down_Btn" << 1 << true;
}

void TstOrder::moveRows()
{
    QFETCH(int, startRow);
    QFETCH(int, startColumn);
    QFETCH(QString, buttonName);
    QFETCH(int, endRow);
    QFETCH(bool, swapped);
    MainWindow *w = rig.window.get();
    QTableWidget *b = rig.basket();
    w->findChild<QPushButton *>("To_Basket")->click();
    fillTwoRows();
    const QStringList row0 = row(b, 0), row1 = row(b, 1);
    const QStringList chert = w->ChertList;
    QTableWidgetItem *firstItem = b->item(0, 0);

    b->setCurrentCell(startRow, startColumn);
    w->SetListButtons(2);
    w->findChild<QPushButton *>(buttonName)->click();

    QCOMPARE(row(b, 0), swapped ? row1 : row0);
    QCOMPARE(row(b, 1), swapped ? row0 : row1);
    QCOMPARE(w->ChertList, swapped ? QStringList({chert[1], chert[0]}) : chert);
    QCOMPARE(b->item(0, 0), firstItem); // texts move, the cell objects stay
    QCOMPARE(b->currentRow(), endRow);
    QCOMPARE(b->currentColumn(), startColumn);
}

void TstOrder::onlyQuantityEditable_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("editable");
    QTest::newRow("designation") << 0 << false;
    QTest::newRow("quantity") << 1 << true;
    QTest::newRow("size") << 2 << false;
    QTest::newRow("description") << 4 << false;
}

void TstOrder::onlyQuantityEditable()
{
    QFETCH(int, column);
    QFETCH(bool, editable);
    MainWindow *w = rig.window.get();
    QTableWidget *b = rig.basket();
    fillTwoRows();
    w->findChild<QPushButton *>("To_Basket")->click();
    hideStatusDialogs(w);
    QVERIFY(!w->findChild<QPushButton *>("List_Pos_Up_Btn")->isEnabled());

    const QPoint at = b->visualRect(b->model()->index(1, column)).center();
    QTest::mouseClick(b->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(b->currentRow(), 1);
    QCOMPARE(b->currentColumn(), column);
    for (const char *name : {"List_Pos_Delete_Btn", "List_Pos_Up_Btn", "List_Pos_Down_Btn"})
        QVERIFY2(w->findChild<QPushButton *>(name)->isEnabled(), name);

    // A further click on the selected cell opens the editor only for the quantity.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(b->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    const QModelIndex index = b->model()->index(1, column);
    if (editable) {
        QTRY_VERIFY(b->indexWidget(index) != nullptr);
    } else {
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QCOMPARE(b->indexWidget(index), nullptr);
    }
}

// A click on a quantity arms editing on click; moving on with the keys to
// another cell must not open that cell for editing too.
void TstOrder::quantityEditorDoesNotCarryOver()
{
    MainWindow *w = rig.window.get();
    QTableWidget *b = rig.basket();
    fillTwoRows();
    w->findChild<QPushButton *>("To_Basket")->click();
    hideStatusDialogs(w);
    const QPoint quantity = b->visualRect(b->model()->index(1, 1)).center();
    QTest::mouseClick(b->viewport(), Qt::LeftButton, Qt::NoModifier, quantity);
    QTest::keyClick(b, Qt::Key_Left);
    QCOMPARE(b->currentColumn(), 0);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QModelIndex designation = b->model()->index(1, 0);
    QTest::mouseClick(b->viewport(), Qt::LeftButton, Qt::NoModifier, b->visualRect(designation).center());
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QCOMPARE(b->indexWidget(designation), nullptr);

    // Rows moved keep it so.
    b->setCurrentCell(0, 1);
    w->findChild<QPushButton *>("List_Pos_Down_Btn")->click();
    for (int r = 0; r < b->rowCount(); ++r)
        for (int c = 0; c < b->columnCount(); ++c)
            QCOMPARE(bool(b->item(r, c)->flags() & Qt::ItemIsEditable), c == 1);
}

void TstOrder::backThenToBasket()
{
    MainWindow *w = rig.window.get();
    QTableWidget *b = rig.basket();
    fillTwoRows();
    w->findChild<QPushButton *>("To_Basket")->click();
    b->setCurrentCell(1, 1);
    w->SetListButtons(2);

    w->findChild<QPushButton *>("Back")->click();
    QVERIFY(!b->isVisible());
    QVERIFY(w->findChild<QWidget *>("tabWidget")->isVisible());
    QVERIFY(!w->findChild<QWidget *>("List_Pos_Up_Btn")->isVisible());

    w->findChild<QPushButton *>("To_Basket")->click();
    QVERIFY(b->isVisible());
    for (const char *name : {"Send_List", "label_Type", "comboBoxType", "Back"})
        QVERIFY2(w->findChild<QWidget *>(name)->isVisible(), name);
    QVERIFY(!w->findChild<QWidget *>("To_Basket")->isVisible());
    QVERIFY(!w->findChild<QWidget *>("tabWidget")->isVisible());
    QCOMPARE(b->currentRow(), -1);
    QCOMPARE(b->currentColumn(), -1);
    for (const char *name : {"List_Pos_Delete_Btn", "List_Pos_Up_Btn", "List_Pos_Down_Btn"}) {
        auto *btn = w->findChild<QPushButton *>(name);
        QVERIFY2(btn->isVisible() && !btn->isEnabled(), name);
    }
    QCOMPARE(b->rowCount(), 2);
}

void TstOrder::sendTwoItems()
{
    MainWindow *w = rig.window.get();
    addSnp(w, "СНП-A", "1", "A", {"1", "2", "3", "4"}, "first");
    addPutg(w, "ПУТГ-B", "2", "1", "2", "second");
    w->findChild<QPushButton *>("To_Basket")->click();
    answers.boxes << QMessageBox::Yes;
    w->findChild<QPushButton *>("Send_List")->click();
    QVERIFY(rig.peer->waitForFrames(2));
}

void TstOrder::acceptedOrderEmptiesList()
{
    MainWindow *w = rig.window.get();
    sendTwoItems();
    if (QTest::currentTestFailed())
        return;
    rig.peer->reply(QByteArray(1, char(13)));
    QTRY_COMPARE(rig.basket()->rowCount(), 0);
    QVERIFY(w->ChertList.isEmpty());
    QCOMPARE(w->uploadPosition(), 0);
    QVERIFY(!rig.basket()->isVisible());
    // Headers survive emptying.
    QCOMPARE(rig.basket()->horizontalHeaderItem(1)->text(), QString("Количество"));

    addPutgm(w, "ПУТГм-C", "4", "1", "2", "third");
    QCOMPARE(rig.basket()->rowCount(), 1);
    QCOMPARE(cell(rig.basket(), 0, 0), QString("ПУТГм-C"));
    QCOMPARE(w->ChertList, QStringList({""}));
}

void TstOrder::acceptanceKeepsRowsAddedSince()
{
    MainWindow *w = rig.window.get();
    sendTwoItems();
    if (QTest::currentTestFailed())
        return;
    // The same item once more, and the sent quantity changed, before the answer.
    addPutg(w, "ПУТГ-B", "2", "1", "2", "second");
    rig.basket()->item(0, 1)->setText("5");
    rig.peer->reply(QByteArray(1, char(13)));
    QTRY_COMPARE(rig.basket()->rowCount(), 2);
    QCOMPARE(row(rig.basket(), 0), QStringList({"СНП-A", "5", "3*2", "", "first"}));
    QCOMPARE(cell(rig.basket(), 1, 0), QString("ПУТГ-B"));
    QCOMPARE(w->ChertList, QStringList({"", ""}));
}

void TstOrder::secondOrderWaitsForTheFirst()
{
    // The server files drawings with its last order, so a second order goes
    // only once the first is answered; the list keeps what was not sent.
    MainWindow *w = rig.window.get();
    sendTwoItems();
    if (QTest::currentTestFailed())
        return;
    QTest::keyClick(w->statusDialog(), Qt::Key_Escape);
    addPutg(w, "ПУТГ-C", "3", "1", "2", "third");
    const int asked = answers.asked.size();
    w->findChild<QPushButton *>("Send_List")->click();
    QTest::qWait(100);
    QCOMPARE(rig.peer->frames.size(), 2);
    QCOMPARE(answers.asked.size(), asked); // not even asked
    QVERIFY(w->statusDialog() && w->statusDialog()->isVisible());
    QCOMPARE(w->statusDialog()->messageText(), QString("Ожидание ответа сервера..."));
    rig.peer->reply(QByteArray(1, char(13)));
    QTRY_COMPARE(rig.basket()->rowCount(), 1);
    QCOMPARE(cell(rig.basket(), 0, 0), QString("ПУТГ-C"));
    // Answered, the next order goes.
    answers.boxes << QMessageBox::Yes;
    w->findChild<QPushButton *>("Send_List")->click();
    QVERIFY(rig.peer->waitForFrames(3));
    QCOMPARE(int(TestPeer::code(rig.peer->frames.at(2))), 12);
}

// ---- sending -------------------------------------------------------------------------

void TstOrder::requestKinds_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("questionEnd");
    QTest::newRow("invoice") << 0 << "Выставить счет" << 12 << "выставление счёта?";
    QTest::newRow("offer") << 1 << "Коммерческое предложение" << 21 << "коммерческое предложение?";
    QTest::newRow("pdf") << 2 << "Сохранить в PDF" << 22 << "сохранение в формате PDF?";
    QTest::newRow("xls") << 3 << "Сохранить в XLS (Excel)" << 23 << "сохранение в формате XLS?";
    QTest::newRow("ods") << 4 << "Сохранить в ODS (OpenOffice)" << 24 << "сохранение в формате ODS?";
}

void TstOrder::requestKinds()
{
    QFETCH(int, index);
    QFETCH(QString, entry);
    QFETCH(int, code);
    QFETCH(QString, questionEnd);
    MainWindow *w = rig.window.get();
    addSnp(w, "СНП-A", "1", "A", {"1", "2", "3", "4"}, "first");
    auto *type = w->findChild<QComboBox *>("comboBoxType");
    QCOMPARE(type->count(), 5);
    type->setCurrentIndex(index);
    QCOMPARE(type->currentText(), entry);
    answers.boxes << QMessageBox::Yes;
    w->findChild<QPushButton *>("Send_List")->click();

    QCOMPARE(answers.asked.size(), 1);
    const auto &box = answers.asked.first();
    QCOMPARE(box.value("title").toString(), QString("Сохранение заявки"));
    QCOMPARE(box.value("text").toString(), "Вы действительно хотите отправить заявку на " + questionEnd);
    QCOMPARE(box.value("buttons").toInt(), int(QMessageBox::Yes | QMessageBox::No));
    QCOMPARE(box.value("pixmap").toSize(), QSize(51, 51));
    QCOMPARE(box.value("parent").value<QObject *>(), static_cast<QObject *>(w));

    QVERIFY(rig.peer->waitForFrames(2));
    QCOMPARE(int(TestPeer::code(rig.peer->frames.last())), code);
    QCOMPARE(requestStrings(rig.peer->frames.last()).size(), 5);
}

void TstOrder::sendsEveryCellInOrder()
{
    MainWindow *w = rig.window.get();
    addSnp(w, "СНП-A", "1", "A", {"1", "2", "3", "4"}, "first");
    addPutg(w, "ПУТГ-B", "2", "10", "20", "second");
    rig.basket()->item(0, 3)->setText("a.dwg");
    rig.basket()->item(1, 1)->setText("25"); // edited in the table
    w->findChild<QComboBox *>("comboBoxType")->setCurrentIndex(1);
    answers.boxes << QMessageBox::Yes;
    w->findChild<QPushButton *>("Send_List")->click();

    QVERIFY(rig.peer->waitForFrames(2));
    const QByteArray body = rig.peer->frames.last();
    QCOMPARE(int(TestPeer::code(body)), 21);
    const QStringList l = requestStrings(body);
    QCOMPARE(l.size(), 10);
    QCOMPARE(l.mid(0, 5), QStringList({"СНП-A", "1", "3*2", "a.dwg", "first"}));
    QCOMPARE(l.mid(5, 4), QStringList({"ПУТГ-B", "25", "10*20", ""}));
    QCOMPARE(l.at(9), cell(rig.basket(), 1, 4));
    // An empty drawing cell goes out as an empty (not null) string.
    wire::Reader r = TestPeer::argument(body);
    quint32 n = 0, len = 0;
    QVERIFY(r.readU32(&n));
    QString s;
    for (int i = 0; i < 8; ++i)
        QVERIFY(r.readString(&s));
    QVERIFY(r.readU32(&len));
    QCOMPARE(len, quint32(0));

    Message *m = w->statusDialog();
    QVERIFY(m);
    QCOMPARE(m->messageText(), QString("Отправка данных..."));
    QVERIFY(!m->isCloseEnabled());
    QCOMPARE(rig.basket()->rowCount(), 2); // kept until the server answers
}

void TstOrder::answerNoSendsNothing()
{
    MainWindow *w = rig.window.get();
    addSnp(w, "СНП-A", "1", "A", {"1", "2", "3", "4"}, "first");
    // A request in flight keeps its dialog current.
    w->SlotSendToServer(quint8(7), QVariantMap{{"size", "15"}});
    QVERIFY(rig.peer->waitForFrames(2));
    Message *current = w->statusDialog();
    QVERIFY(current);
    const QString text = current->messageText();

    answers.boxes << QMessageBox::No;
    w->findChild<QPushButton *>("Send_List")->click();
    QCOMPARE(answers.asked.size(), 1);
    QTest::qWait(200);
    QCOMPARE(rig.peer->frames.size(), 2);
    QCOMPARE(w->statusDialog(), current);
    QCOMPARE(current->messageText(), text);
    QCOMPARE(rig.basket()->rowCount(), 1);
}

void TstOrder::emptyListIsReported()
{
    MainWindow *w = rig.window.get();
    w->findChild<QPushButton *>("To_Basket")->click();
    w->findChild<QPushButton *>("Send_List")->click();
    QVERIFY(answers.asked.isEmpty());
    Message *m = w->statusDialog();
    QVERIFY(m);
    QCOMPARE(m->messageText(), QString::fromUtf8("\x43\xd0\xbf\xd0\xb8\xd1\x81\xd0\xbe\xd0\xba \xd0\xbf\xd1\x83\xd1\x81\xd1\x82."));
    QCOMPARE(m->messageText().at(0).unicode(), ushort(67));
    QVERIFY(m->isCloseEnabled());
    QTest::qWait(100);
    QCOMPARE(rig.peer->frames.size(), 1);
}

void TstOrder::closedCurrentDialogShowsWhatFollows_data()
{
    QTest::addColumn<bool>("emptyList");
    QTest::addColumn<int>("reply"); // 0: the connection goes instead
    QTest::addColumn<QString>("text");
    QTest::newRow("empty list closed, connection lost") << true << 0 << "Ошибка: Сервер отключился.";
    QTest::newRow("waiting closed, connection lost") << false << 0 << "Ошибка: Сервер отключился.";
    QTest::newRow("waiting closed, order refused") << false << int(wire::OrderFailed) << "Ошибка отправки.";
    QTest::newRow("waiting closed, document mailed") << false << int(wire::DocumentMailed)
                                                      << "Файл будет выслан Вам на почту.";
    QTest::newRow("waiting closed, order accepted") << false << int(wire::OrderAccepted) << "Заявка отправлена.";
}

// A dialog the user closed while the window still holds it ("Cписок пуст.",
// or the wait for an answer closed with Esc): what the window writes next
// must still reach the screen.
void TstOrder::closedCurrentDialogShowsWhatFollows()
{
    QFETCH(bool, emptyList);
    QFETCH(int, reply);
    QFETCH(QString, text);
    MainWindow *w = rig.window.get();
    if (!emptyList) {
        addPutg(w, "ПУТГ-A", "1", "1", "2", "d");
        answers.boxes << QMessageBox::Yes;
    }
    w->findChild<QPushButton *>("To_Basket")->click();
    w->findChild<QPushButton *>("Send_List")->click();
    Message *m = w->statusDialog();
    QVERIFY(m && m->isVisible());
    if (emptyList) {
        m->findChild<QPushButton *>("pushButton")->click();
    } else {
        QVERIFY(rig.peer->waitForFrames(2));
        QTest::keyClick(m, Qt::Key_Escape);
    }
    QVERIFY(!m->isVisible());

    if (reply == 0) {
        rig.peer->connection()->disconnectFromHost();
        QTRY_VERIFY(w->socket() == nullptr);
    } else {
        rig.peer->reply(QByteArray(1, char(reply)));
        QTRY_VERIFY(w->statusDialog() == nullptr || reply == wire::OrderAccepted);
        QTRY_COMPARE(rig.basket()->rowCount(), reply == wire::OrderAccepted ? 0 : 1);
    }
    bool shown = false;
    for (Message *d : w->findChildren<Message *>())
        shown = shown || (d->isVisible() && d->messageText() == text && d->isCloseEnabled());
    QVERIFY(shown);
}

void TstOrder::tooLargeRowIsRefusedAndKept()
{
    MainWindow *w = rig.window.get();
    addSnp(w, "СНП-0", "1", "A", {"1", "2", "3", "4"}, "short");
    addSnp(w, "СНП-1", "1", "A", {"1", "2", "3", "4"}, QString(40000, QChar(0x0416)));
    answers.boxes << QMessageBox::Yes;
    w->findChild<QPushButton *>("Send_List")->click();
    QTest::qWait(200);
    QCOMPARE(rig.peer->frames.size(), 1); // nothing on the wire
    QCOMPARE(rig.basket()->rowCount(), 2);
    bool told = false;
    for (Message *m : w->findChildren<Message *>())
        told = told || (m->messageText().startsWith("Запрос слишком велик") && m->isCloseEnabled());
    QVERIFY(told);
}

// A list too big for one frame goes as consecutive requests of one kind, the
// next once the previous is answered; one question, one result.
void TstOrder::bigListGoesInParts()
{
    MainWindow *w = rig.window.get();
    const QString longText(9000, QChar(0x0416)); // 18,000 bytes each on the wire
    for (int i = 0; i < 4; ++i)
        addSnp(w, QString("СНП-%1").arg(i), "1", "A", {"1", "2", "3", "4"}, longText);
    w->findChild<QComboBox *>("comboBoxType")->setCurrentIndex(1);
    answers.boxes << QMessageBox::Yes;
    w->findChild<QPushButton *>("Send_List")->click();
    QVERIFY(rig.peer->waitForFrames(2));
    QTest::qWait(100);
    QCOMPARE(rig.peer->frames.size(), 2);
    const QStringList first = requestStrings(rig.peer->frames.at(1));
    QCOMPARE(int(TestPeer::code(rig.peer->frames.at(1))), 21);
    QCOMPARE(first.size() % 5, 0);
    QCOMPARE(first.first(), QString("СНП-0"));
    rig.peer->reply(QByteArray(1, char(13)));
    QVERIFY(rig.peer->waitForFrames(3));
    QCOMPARE(int(TestPeer::code(rig.peer->frames.at(2))), 21);
    const QStringList second = requestStrings(rig.peer->frames.at(2));
    QCOMPARE(first.size() + second.size(), 20);
    QCOMPARE(second.at(0), QString("СНП-%1").arg(first.size() / 5));
    QVERIFY(!w->statusDialog()->isCloseEnabled());
    rig.peer->reply(QByteArray(1, char(13)));
    QTRY_COMPARE(rig.basket()->rowCount(), 0);
    QCOMPARE(answers.asked.size(), 1);
    QCOMPARE(w->statusDialog()->messageText(), QString("Заявка отправлена."));
    QVERIFY(w->statusDialog()->isCloseEnabled());
}

void TstOrder::quantityMustBeWhole_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::newRow("empty") << "";
    QTest::newRow("with unit") << "2 шт.";
    QTest::newRow("zero") << "0";
    QTest::newRow("negative") << "-3";
}

void TstOrder::quantityMustBeWhole()
{
    QFETCH(QString, quantity);
    MainWindow *w = rig.window.get();
    addSnp(w, "СНП-0", "1", "A", {"1", "2", "3", "4"}, "a");
    addSnp(w, "СНП-1", quantity, "A", {"1", "2", "3", "4"}, "b");
    answers.boxes << QMessageBox::Yes;
    w->findChild<QPushButton *>("Send_List")->click();
    QTest::qWait(100);
    QCOMPARE(rig.peer->frames.size(), 1);
    QCOMPARE(rig.basket()->rowCount(), 2);
    bool told = false;
    for (Message *m : w->findChildren<Message *>())
        told = told || (m->messageText().contains("в строке 2 количество") && m->isCloseEnabled());
    QVERIFY(told);
}

// No answer on an open connection: the customer is told, and may send again.
void TstOrder::unansweredOrderFreesTheButton()
{
    MainWindow::orderAnswerTimeoutMs = 300;
    MainWindow *w = rig.window.get();
    sendTwoItems();
    MainWindow::orderAnswerTimeoutMs = 60000;
    QTRY_VERIFY(w->statusDialog() == nullptr || w->statusDialog()->isCloseEnabled());
    bool told = false;
    for (Message *m : w->findChildren<Message *>())
        told = told || m->messageText().startsWith("Сервер не ответил на заявку");
    QVERIFY(told);
    QCOMPARE(rig.basket()->rowCount(), 2);
    answers.boxes << QMessageBox::Yes;
    w->findChild<QPushButton *>("Send_List")->click();
    QVERIFY(rig.peer->waitForFrames(3));
    QCOMPARE(int(TestPeer::code(rig.peer->frames.at(2))), 12);
}

// ---- drawings --------------------------------------------------------------------------

void TstOrder::sizeLimit_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("asks");
    QTest::newRow("empty file") << qint64(0) << false;
    QTest::newRow("exactly 2 MiB") << qint64(2097152) << false;
    QTest::newRow("one byte more") << qint64(2097153) << true;
}

void TstOrder::sizeLimit()
{
    QFETCH(qint64, size);
    QFETCH(bool, asks);
    MainWindow *w = rig.window.get();
    const QString path = writeFile(dir.path(), "drawing.bin", size);
    answers.files << path;
    answers.boxes << QMessageBox::No;
    QAbstractButton *b = button(w, w->snpTab(), "SNP_Add_Chert", kAttach);
    press(w, w->snpTab(), "SNP_Add_Chert", &MainWindow::on_SNP_Add_Chert_clicked);

    QCOMPARE(answers.dialogCalls, 1);
    QCOMPARE(answers.dialogArgs, QStringList({"Выбор файла", "", "All files (*)"}));
    if (asks) {
        QCOMPARE(answers.asked.size(), 1);
        QCOMPARE(answers.asked[0].value("title").toString(), QString("Большой размер файла"));
        QCOMPARE(answers.asked[0].value("text").toString(),
                 QString("Файл не должен превышать 2 Мб.\nХотите выбрать другой?"));
        QCOMPARE(answers.asked[0].value("buttons").toInt(), int(QMessageBox::Yes | QMessageBox::No));
        QCOMPARE(answers.asked[0].value("default").toInt(), 0);
        QCOMPARE(w->SNPChertPath, QString());
        QCOMPARE(w->SNPChertName, QString());
        QCOMPARE(b->text(), kAttach);
    } else {
        QVERIFY(answers.asked.isEmpty());
        QCOMPARE(w->SNPChertPath, path);
        QCOMPARE(w->SNPChertName, QString("drawing.bin"));
        QCOMPARE(b->text(), kDetach);
    }
}

void TstOrder::yesReopensTheDialog()
{
    MainWindow *w = rig.window.get();
    const QString big = writeFile(dir.path(), "big.bin", 2097153);
    const QString small = writeFile(dir.path(), "small.bin", 10);
    answers.files << big << big << small;
    answers.boxes << QMessageBox::Yes << QMessageBox::Yes;
    QAbstractButton *b = button(w, w->putgmTab(), "PUTGm_AddChert", kAttach);
    press(w, w->putgmTab(), "PUTGm_AddChert", &MainWindow::on_PUTGm_AddChert_clicked);
    QCOMPARE(answers.dialogCalls, 3);
    QCOMPARE(answers.asked.size(), 2);
    QCOMPARE(w->PUTGmChertPath, small);
    QCOMPARE(w->PUTGmChertName, QString("small.bin"));
    QCOMPARE(b->text(), kDetach);

    // Cancelling the dialog after a Yes leaves nothing attached.
    press(w, w->putgmTab(), "PUTGm_AddChert", &MainWindow::on_PUTGm_AddChert_clicked); // detach
    answers.files = QStringList({big, QString()});
    answers.boxes << QMessageBox::Yes;
    press(w, w->putgmTab(), "PUTGm_AddChert", &MainWindow::on_PUTGm_AddChert_clicked);
    QCOMPARE(w->PUTGmChertPath, QString());
    QCOMPARE(b->text(), kAttach);
}

void TstOrder::detachOpensNoDialog()
{
    MainWindow *w = rig.window.get();
    const QString path = writeFile(dir.path(), "plan.dwg", 10);
    answers.files << path;
    QAbstractButton *b = button(w, w->putgTab(), "PUTG_AddChert", kAttach);
    press(w, w->putgTab(), "PUTG_AddChert", &MainWindow::on_PUTG_AddChert_clicked);
    QCOMPARE(b->text(), kDetach);
    QCOMPARE(answers.dialogCalls, 1);

    press(w, w->putgTab(), "PUTG_AddChert", &MainWindow::on_PUTG_AddChert_clicked);
    QCOMPARE(answers.dialogCalls, 1);
    QVERIFY(answers.asked.isEmpty());
    QCOMPARE(w->PUTGChertPath, QString());
    QCOMPARE(w->PUTGChertName, QString());
    QCOMPARE(b->text(), kAttach);
}

void TstOrder::attachmentsAreKeptPerConfigurator()
{
    MainWindow *w = rig.window.get();
    const QString a = writeFile(dir.path(), "a.dwg", 10);
    const QString c = writeFile(dir.path(), "c.dwg", 10);
    answers.files << a << c;
    QAbstractButton *snp = button(w, w->snpTab(), "SNP_Add_Chert", kAttach);
    QAbstractButton *putg = button(w, w->putgTab(), "PUTG_AddChert", kAttach);
    QAbstractButton *putgm = button(w, w->putgmTab(), "PUTGm_AddChert", kAttach);
    press(w, w->snpTab(), "SNP_Add_Chert", &MainWindow::on_SNP_Add_Chert_clicked);
    press(w, w->putgmTab(), "PUTGm_AddChert", &MainWindow::on_PUTGm_AddChert_clicked);
    QCOMPARE(w->SNPChertPath, a);
    QCOMPARE(w->PUTGChertPath, QString());
    QCOMPARE(w->PUTGmChertPath, c);
    QCOMPARE(snp->text(), kDetach);
    QCOMPARE(putg->text(), kAttach);
    QCOMPARE(putgm->text(), kDetach);

    // Detaching SNP leaves the PUTGm attachment alone.
    press(w, w->snpTab(), "SNP_Add_Chert", &MainWindow::on_SNP_Add_Chert_clicked);
    QCOMPARE(w->SNPChertPath, QString());
    QCOMPARE(w->PUTGmChertPath, c);
    QCOMPARE(putgm->text(), kDetach);
}

QTEST_MAIN(TstOrder)
#include "tst_order.moc"
