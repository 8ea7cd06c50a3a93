// The order list of the main window: adding configured items, editing and
// moving rows, sending the list and attaching drawings.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/message.h"
#include "net/netstatus.h"
#include "net/statusdialog.h"
#include "orderrows.h"
#include "order/orderrules.h"
#include "putg/putgtab.h"
#include "putgm/putgmtab.h"
#include "snp/snptab.h"

#include <QAbstractButton>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPixmap>

std::function<QString(QWidget *, const QString &, const QString &, const QString &)>
    MainWindow::openFileDialog = [](QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter) {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    };

int MainWindow::orderAnswerTimeoutMs = 60000;

std::function<int(QMessageBox *)> MainWindow::runMessageBox = [](QMessageBox *box) {
    return box->exec();
};

QList<std::pair<OrderTab *, MainWindow::Drawing>> MainWindow::orderTabs()
{
    return {{m_snp, {&SNPChertPath, &SNPChertName}},
            {m_putg, {&PUTGChertPath, &PUTGChertName}},
            {m_putgm, {&PUTGmChertPath, &PUTGmChertName}}};
}

void MainWindow::wireOrderButtons()
{
    for (const auto &t : orderTabs()) {
        OrderTab *tab = t.first;
        connect(tab->addButton(), &QAbstractButton::clicked, this, [this, tab] { addToBasket(tab); });
        connect(tab->attachButton(), &QAbstractButton::clicked, this, [this, tab] { toggleDrawing(tab); });
        tab->attachButton()->setText(order::attachText());
    }
}

MainWindow::Drawing MainWindow::drawingOf(OrderTab *tab)
{
    for (const auto &t : orderTabs())
        if (t.first == tab)
            return t.second;
    return {nullptr, nullptr};
}

QTableWidgetItem *MainWindow::basketItem(int row, int column)
{
    QTableWidgetItem *item = ui->Basket->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        // Only the quantity is the customer's to change; the other cells are
        // what the configurator built and go to the server as they are.
        if (column != 1)
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        ui->Basket->setItem(row, column, item);
    }
    return item;
}

// ---- adding items ---------------------------------------------------------------

void MainWindow::on_SNP_Add_To_Basket_clicked()
{
    addToBasket(m_snp);
}

void MainWindow::on_PUTG_Add_To_Basket_clicked()
{
    addToBasket(m_putg);
}

void MainWindow::on_PUTGm_Add_To_Basket_clicked()
{
    addToBasket(m_putgm);
}

void MainWindow::addToBasket(OrderTab *tab)
{
    const OrderTab::Row offered = tab->offeredRow();
    if (offered.designation.isEmpty()) {
        // An incomplete choice adds nothing; the extra options are reset all the same.
        tab->resetExtraOptions();
        return;
    }
    const Drawing drawing = drawingOf(tab);

    const int row = ui->Basket->rowCount();
    ui->Basket->setRowCount(row + 1);
    basketItem(row, 0)->setText(offered.designation);
    basketItem(row, 1)->setText(offered.quantity);
    basketItem(row, 2)->setText(offered.sizes);
    basketItem(row, 3)->setText(*drawing.name);
    basketItem(row, 4)->setText(offered.description);

    // The drawing now belongs to this row only.
    ChertList.append(*drawing.path);
    drawing.path->clear();
    drawing.name->clear();
    tab->attachButton()->setText(order::attachText());
    tab->rebuildItem();

    statusdialog::finish(m_message, this, QStringLiteral("Добавлено в список."));

    tab->resetExtraOptions();
}

// ---- editing the list ---------------------------------------------------------------

void MainWindow::on_Basket_clicked(const QModelIndex &)
{
    QTableWidget *b = ui->Basket;
    if (b->currentRow() >= 0 && b->currentColumn() >= 0) {
        // Only the quantity may be changed once an item is in the list.
        b->setEditTriggers(b->currentColumn() == 1 ? QAbstractItemView::SelectedClicked
                                                   : QAbstractItemView::NoEditTriggers);
    }
    if (b->rowCount() > 0)
        SetListButtons(2);
}

void MainWindow::on_Basket_cellActivated(int, int)
{
}

void MainWindow::on_List_Pos_Delete_Btn_clicked()
{
    const int row = ui->Basket->currentRow();
    if (row < 0)
        return;
    if (row < ChertList.size())
        ChertList.removeAt(row);
    ui->Basket->removeRow(row);
    if (ui->Basket->rowCount() == 0)
        SetListButtons(0);
}

void MainWindow::on_List_Pos_Up_Btn_clicked()
{
    if (ui->Basket->currentRow() > 0)
        MoveListRow(-1);
}

void MainWindow::on_List_Pos_Down_Btn_clicked()
{
    const int row = ui->Basket->currentRow();
    if (row >= 0 && row < ui->Basket->rowCount() - 1)
        MoveListRow(1);
}

// ---- sending the list ---------------------------------------------------------------

void MainWindow::on_Send_List_clicked()
{
    QTableWidget *b = ui->Basket;
    if (b->rowCount() == 0) {
        Message *m = statusdialog::ensure(m_message, this);
        m->setCloseEnabled(true);
        m->setMessageText(order::emptyListText());
        return;
    }
    if (m_pendingOrder || !m_chain.drawings.isEmpty()) {
        // The server files drawings with the last order it stored: a second
        // order before the first one's answer and drawings would take them.
        statusdialog::busy(m_message, this, QStringLiteral("Ожидание ответа сервера..."));
        return;
    }
    // Quantities are counted by the maker: the list goes only when each one is.
    const int badRow = orderrows::firstBadQuantityRow(currentOrder().cells);
    if (badRow >= 0) {
        b->setCurrentCell(badRow, orderrows::kQuantityColumn);
        statusdialog::finish(m_message, this, order::badQuantityText(badRow));
        return;
    }
    order::RequestKind kind;
    if (!order::requestKind(ui->comboBoxType->currentIndex(), &kind))
        return;

    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Сохранение заявки"),
                    order::confirmationQuestion(kind), QMessageBox::Yes | QMessageBox::No, this);
    box.setIconPixmap(QPixmap(QStringLiteral(":/res/icon.png"))
                          .scaled(51, 51, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    if (runMessageBox(&box) == QMessageBox::No)
        return;

    // Cells as shown now: an edited quantity goes out as edited.
    const SentOrder whole = currentOrder();
    const QList<QStringList> cells = orderrows::splitForFrames(kind.code, whole.cells);
    if (cells.isEmpty()) {
        // Some single row does not fit in a frame whatever the cut.
        statusdialog::finish(m_message, this, netstatus::tooLargeText());
        return;
    }
    if (!m_socket) {
        statusdialog::finish(m_message, this, netstatus::noConnectionText());
        return;
    }
    m_orderParts.clear();
    m_orderCode = kind.code;
    int row = 0;
    for (const QStringList &c : cells) {
        SentOrder part;
        part.columns = whole.columns;
        part.cells = c;
        const int rows = c.size() / whole.columns;
        part.drawings = whole.drawings.mid(row, rows);
        row += rows;
        m_orderParts << part;
    }
    sendNextOrderPart();
}

bool MainWindow::sendNextOrderPart()
{
    if (m_orderParts.isEmpty())
        return false;
    sendOrderPart(m_orderParts.takeFirst());
    return true;
}

void MainWindow::sendOrderPart(const SentOrder &part)
{
    if (!writeFrame(wire::requestFrame(m_orderCode, part.cells), QStringLiteral("Отправка данных..."))) {
        m_orderParts.clear();
        return;
    }
    m_pendingOrder = part;
    if (m_orderTimer)
        killTimer(m_orderTimer);
    m_orderTimer = startTimer(orderAnswerTimeoutMs);
}

void MainWindow::orderAnswered()
{
    if (m_orderTimer)
        killTimer(m_orderTimer);
    m_orderTimer = 0;
    m_pendingOrder.reset();
}

void MainWindow::giveUpOnOrder()
{
    // The connection is open but no answer came: the customer may send again.
    orderAnswered();
    m_orderParts.clear();
    ++m_overdueAnswers;
    qWarning() << "no answer to the order within" << orderAnswerTimeoutMs << "ms";
    statusdialog::finish(m_message, this, order::noAnswerText());
}

// ---- drawings -------------------------------------------------------------------------

void MainWindow::on_SNP_Add_Chert_clicked()
{
    toggleDrawing(m_snp);
}

void MainWindow::on_PUTG_AddChert_clicked()
{
    toggleDrawing(m_putg);
}

void MainWindow::on_PUTGm_AddChert_clicked()
{
    toggleDrawing(m_putgm);
}

void MainWindow::toggleDrawing(OrderTab *tab)
{
    QAbstractButton *button = tab->attachButton();
    const Drawing drawing = drawingOf(tab);
    if (button->text() != order::attachText()) {
        drawing.path->clear();
        drawing.name->clear();
        button->setText(order::attachText());
        tab->rebuildItem();
        return;
    }

    QString chosen;
    for (;;) {
        chosen = openFileDialog(this, QStringLiteral("Выбор файла"), QString(""),
                                QStringLiteral("All files (*)"));
        if (chosen.isEmpty())
            break;
        if (QFileInfo(chosen).size() <= order::kMaxDrawingBytes)
            break;
        QMessageBox ask(QMessageBox::Question, QStringLiteral("Большой размер файла"),
                        QStringLiteral("Файл не должен превышать 2 Мб.\nХотите выбрать другой?"),
                        QMessageBox::Yes | QMessageBox::No, this);
        if (runMessageBox(&ask) != QMessageBox::Yes) {
            chosen.clear();
            break;
        }
    }

    *drawing.path = chosen;
    drawing.name->clear();
    if (!chosen.isEmpty()) {
        *drawing.name = order::fileNamePart(chosen);
        button->setText(order::detachText());
    }
    tab->rebuildItem();
}
