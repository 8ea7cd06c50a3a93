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
#include <QMetaMethod>
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

void MainWindow::wireOrderButtons()
{
    struct Wiring
    {
        const char *name;
        void (MainWindow::*slot)();
    };
    const Wiring wiring[] = {
        {"SNP_Add_To_Basket", &MainWindow::on_SNP_Add_To_Basket_clicked},
        {"PUTG_Add_To_Basket", &MainWindow::on_PUTG_Add_To_Basket_clicked},
        {"PUTGm_Add_To_Basket", &MainWindow::on_PUTGm_Add_To_Basket_clicked},
        {"SNP_Add_Chert", &MainWindow::on_SNP_Add_Chert_clicked},
        {"PUTG_AddChert", &MainWindow::on_PUTG_AddChert_clicked},
        {"PUTGm_AddChert", &MainWindow::on_PUTGm_AddChert_clicked},
    };
    for (const Wiring &w : wiring) {
        auto *button = findChild<QAbstractButton *>(QLatin1String(w.name));
        if (!button)
            continue;
        connect(button, &QAbstractButton::clicked, this, w.slot);
    }
    for (const char *name : {"SNP_Add_Chert", "PUTG_AddChert", "PUTGm_AddChert"}) {
        if (auto *button = findChild<QAbstractButton *>(QLatin1String(name)))
            button->setText(order::attachText());
    }
}

QString MainWindow::widgetText(const char *objectName) const
{
    QWidget *w = findChild<QWidget *>(QLatin1String(objectName));
    if (!w)
        return QString();
    // Line edits, spin boxes and labels say "text", text edits "plainText".
    for (const char *property : {"plainText", "text", "currentText"}) {
        const QVariant v = w->property(property);
        if (v.isValid())
            return v.toString();
    }
    return QString();
}

void MainWindow::invokeByName(QObject *target, const char *method)
{
    if (!target || !method)
        return;
    const QByteArray signature = QByteArray(method) + "()";
    if (target->metaObject()->indexOfMethod(signature.constData()) < 0)
        return; // this tab has no such step
    QMetaObject::invokeMethod(target, method, Qt::DirectConnection);
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
    addToBasket(Family::Snp);
}

void MainWindow::on_PUTG_Add_To_Basket_clicked()
{
    addToBasket(Family::Putg);
}

void MainWindow::on_PUTGm_Add_To_Basket_clicked()
{
    addToBasket(Family::Putgm);
}

void MainWindow::addToBasket(Family family)
{
    QObject *tab = nullptr;
    const char *definition = nullptr;
    const char *count = nullptr;
    const char *attachButton = nullptr;
    const char *rebuild = nullptr;
    const char *reset = nullptr;
    QString *chertPath = nullptr;
    QString *chertName = nullptr;
    QString size;
    switch (family) {
    case Family::Snp:
        tab = m_snp;
        definition = "SNP_Definition";
        count = "SNP_Count";
        attachButton = "SNP_Add_Chert";
        rebuild = "SNPCreateDefinition";
        reset = "ResetAddFields";
        chertPath = &SNPChertPath;
        chertName = &SNPChertName;
        size = order::snpSizeText(m_snp->SNPType, m_snp->SNPD1, m_snp->SNPD2, m_snp->SNPD3, m_snp->SNPD4);
        break;
    case Family::Putg:
        tab = m_putg;
        definition = "PUTG_Definition";
        count = "PUTG_Count";
        attachButton = "PUTG_AddChert";
        rebuild = "PUTGCreateDefinition";
        reset = "PUTGResetAddFields";
        chertPath = &PUTGChertPath;
        chertName = &PUTGChertName;
        size = m_putg->PUTGD1 + QLatin1Char('*') + m_putg->PUTGD2;
        break;
    case Family::Putgm:
        tab = m_putgm;
        definition = "PUTGm_Definition";
        count = "PUTGm_Count";
        attachButton = "PUTGm_AddChert";
        rebuild = "PUTGmCreateDefinition";
        chertPath = &PUTGmChertPath;
        chertName = &PUTGmChertName;
        size = m_putgm->PUTGmD1 + QLatin1Char('*') + m_putgm->PUTGmD2;
        break;
    }

    const QString designation = widgetText(definition);
    if (designation.isEmpty()) {
        // An incomplete choice adds nothing; the extra options are reset all the same.
        invokeByName(tab, reset);
        return;
    }

    const int row = ui->Basket->rowCount();
    ui->Basket->setRowCount(row + 1);
    basketItem(row, 0)->setText(designation);
    basketItem(row, 1)->setText(widgetText(count));
    basketItem(row, 2)->setText(size);
    basketItem(row, 3)->setText(*chertName);
    if (family == Family::Snp)
        basketItem(row, 4)->setText(m_snp->SNPDescriptionText);
    else
        basketItem(row, 4); // filled after the rebuild below

    // The drawing now belongs to this row only.
    ChertList.append(*chertPath);
    chertPath->clear();
    chertName->clear();
    if (auto *button = findChild<QAbstractButton *>(QLatin1String(attachButton)))
        button->setText(order::attachText());

    invokeByName(tab, rebuild);
    if (family == Family::Putg)
        basketItem(row, 4)->setText(m_putg->PUTGDescriptionText);
    else if (family == Family::Putgm)
        basketItem(row, 4)->setText(m_putgm->PUTGmDescriptionText);

    statusdialog::finish(m_message, this, QStringLiteral("Добавлено в список."));

    invokeByName(tab, reset);
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
    toggleDrawing("SNP_Add_Chert", &SNPChertPath, &SNPChertName, m_snp, "SNPCreateDefinition");
}

void MainWindow::on_PUTG_AddChert_clicked()
{
    toggleDrawing("PUTG_AddChert", &PUTGChertPath, &PUTGChertName, m_putg, "PUTGCreateDefinition");
}

void MainWindow::on_PUTGm_AddChert_clicked()
{
    toggleDrawing("PUTGm_AddChert", &PUTGmChertPath, &PUTGmChertName, m_putgm, "PUTGmCreateDefinition");
}

void MainWindow::toggleDrawing(const char *buttonName, QString *path, QString *name,
                               QObject *tab, const char *rebuild)
{
    auto *button = findChild<QAbstractButton *>(QLatin1String(buttonName));
    // Without the button (forms still missing) the path tells the state.
    const bool attach = button ? button->text() == order::attachText() : path->isEmpty();
    if (!attach) {
        path->clear();
        name->clear();
        if (button)
            button->setText(order::attachText());
        invokeByName(tab, rebuild);
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

    *path = chosen;
    name->clear();
    if (!chosen.isEmpty()) {
        *name = order::fileNamePart(chosen);
        if (button)
            button->setText(order::detachText());
    }
    invokeByName(tab, rebuild);
}
