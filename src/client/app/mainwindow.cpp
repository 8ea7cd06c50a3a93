#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/message.h"
#include "app/wholetext.h"
#include "net/fileupload.h"
#include "net/netstatus.h"
#include "net/statusdialog.h"
#include "net/tlssocket.h"
#include "order/orderrules.h"
#include "putg/putgtab.h"
#include "putgm/putgmtab.h"
#include "questionnaire/opros.h"
#include "snp/snptab.h"
#include "replyitems.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTcpSocket>
#include <QTimerEvent>
#include <QUrl>

namespace {
constexpr qint64 kMainChunk = 6144;
constexpr int kRequestDelayMs = 300;
constexpr int kDataCloseMs = 250;

const char *const kNoteKeys[] = {
    "snp_note",  "snp_perem",  "snp_otv",   "snp_to",   "putg_note",
    "putgm_note", "putgm_memo", "putg_perem", "putg_otv", "putg_raz",
    "putg_oval", "putg_to",    "putgm_chert", "putgm_to", "putgm_spec",
};

const QString kNoConstruction = QStringLiteral("Конструкции для заданных параметров не существует. ");
const QString kAttachDrawing = QStringLiteral("К заявке приложите файл с чертежом. ");
const QString kAskOinto = QStringLiteral("Обратитесь в ОИНТО. ");
} // namespace

MainWindow::MainWindow(QTcpSocket *socket, QString user, QString password, Message *status,
                       QVariantMap loginData, QWidget *parent)
    : QMainWindow(parent), ui(new Ui::MainWindow), m_user(user), m_password(password),
      m_message(status), m_loginData(loginData)
{
    ui->setupUi(this);

    // Font rule: large system fonts would not fit the fixed form geometry.
    const QFont tabFont = ui->tabWidget->font();
    qDebug() << "Шрифт = " << tabFont.pointSize();
    qDebug() << "Шр = " << tabFont.pixelSize();
    if (tabFont.pixelSize() > 13) {
        QFont f(QStringLiteral("Times New Roman"), 13, 50, false);
        f.setPixelSize(13);
        ui->tabWidget->setFont(f);
        ui->To_Basket->setFont(f);
        ui->Back->setFont(f);
        ui->Basket->setFont(f);
        ui->pushButton->setFont(f);
    }

    const int widths[] = {350, 100, 100, 100, 400};
    for (int c = 0; c < 5; ++c)
        ui->Basket->setColumnWidth(c, widths[c]);

    ui->comboBoxType->clear();
    ui->comboBoxType->addItems(order::requestEntries());

    m_snp = new SnpTab(this, ui->SNP);
    ui->snpPageLayout->addWidget(m_snp);
    m_putg = new PutgTab(this, ui->PUTG);
    ui->putgPageLayout->addWidget(m_putg);
    m_putgm = new PutgmTab(this, ui->PUTGm);
    ui->putgmPageLayout->addWidget(m_putgm);

    // Access rule: a missing flag counts as false.
    int removed = 0;
    if (m_loginData.value(QStringLiteral("SNP")).toBool()) {
        m_snp->applyStartState();
        m_snpFilled = false;
    } else {
        ui->tabWidget->removeTab(0);
        removed = 1;
    }
    if (m_loginData.value(QStringLiteral("PUTG")).toBool()) {
        m_putg->applyStartState();
        m_putgFilled = false;
    } else {
        ui->tabWidget->removeTab(1 - removed);
        removed += 1;
    }
    if (m_loginData.value(QStringLiteral("PUTGm")).toBool()) {
        m_putgm->applyStartState();
        m_putgmFilled = false;
    } else {
        ui->tabWidget->removeTab(2 - removed);
    }

    InfoMapInit();
    for (QLabel *label : {m_snp->messageLabel(), m_putg->messageLabel(), m_putgm->messageLabel()})
        keepTextWhole(label);
    for (QWidget *tab : {static_cast<QWidget *>(m_snp), static_cast<QWidget *>(m_putg),
                         static_cast<QWidget *>(m_putgm)})
        showEntriesWhole(tab);

    ui->Back->hide();
    ui->Basket->hide();
    ui->Send_List->hide();
    ui->label_Type->hide();
    ui->comboBoxType->hide();
    SetListButtons(1);

    wireRequestTriggers();
    wireOrderButtons();
    // "Выход" ends the program as closing the window does.
    connect(ui->action_exit, &QAction::triggered, this, &QWidget::close);

    m_socket = socket;
    if (m_socket) {
        connect(m_socket, SIGNAL(connected()), this, SLOT(SlotConnected()));
        connect(m_socket, SIGNAL(readyRead()), this, SLOT(SlotReadyRead()));
        connect(m_socket, SIGNAL(error(QAbstractSocket::SocketError)),
                this, SLOT(SlotError(QAbstractSocket::SocketError)));
    }
    m_constructed = true;
    if (m_socket && m_socket->state() != QAbstractSocket::ConnectedState) {
        // Lost between the login answer and this window: its error signal
        // went to nobody, so say it now.
        SlotError(QAbstractSocket::RemoteHostClosedError);
        return;
    }

    // An empty (not null) text: the request is exactly five bytes long.
    SlotSendToServer(quint8(wire::TablesRequest), QStringLiteral(""));

    // Bytes that arrived together with the login answer are ours now.
    if (m_socket && m_socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, "SlotReadyRead", Qt::QueuedConnection);
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::wireRequestTriggers()
{
    static const char *const buttons[] = {
        "SNP_OST_128_Btn", "SNP_OST_287_Btn", "SNP_GOST_128_Btn", "SNP_ASME_165_Btn",
        "SNP_ASME_1647A_Btn", "SNP_ASME_1647B_Btn", "SNP_EN_165_Btn", "SNP_EN15_Btn",
        "SNP_EN_1647A_Btn", "SNP_EN_1647B_Btn", "Flan_A_Btn", "Flan_B_Btn", "Flan_C_Btn",
        "SNP_A_Btn", "SNP_B_Btn", "SNP_C_Btn", "SNP_D_Btn", "SNP_E_Btn",
        "PUTGm_Osn_09x_Btn", "PUTGm_Osn_08x_Btn", "PUTGm_Osn_08_Btn", "PUTGm_Osn_093_Btn",
        "PUTGm_Osn_092_Btn", "PUTGm_Osn_091_Btn", "PUTGm_Osn_095_Btn", "PUTGm_Osn_097_Btn",
        "PUTGm_Osn_098_Btn", "PUTGm_Osn_099_Btn", "PUTGm_Osn_09_Btn",
    };
    for (const char *name : buttons) {
        if (auto *b = findChild<QAbstractButton *>(QLatin1String(name)))
            connect(b, SIGNAL(toggled(bool)), this, SLOT(ClickOnSomthn()));
    }
    static const char *const boxes[] = {"PUTGmStandBox", "PUTGmFlanBox", "PUTGStandBox", "PUTGFlanBox"};
    for (const char *name : boxes) {
        if (auto *c = findChild<QComboBox *>(QLatin1String(name)))
            connect(c, SIGNAL(currentIndexChanged(QString)), this, SLOT(ClickOnSomthn()));
    }
}

void MainWindow::InfoMapInit()
{
    m_notes.clear();
    for (const char *key : kNoteKeys)
        m_notes.insert(QLatin1String(key), QString());
}

MainWindow::MessageTexts MainWindow::composeMessages(const QMap<QString, QString> &notes)
{
    auto on = [&notes](const char *key) { return notes.value(QLatin1String(key)) == QLatin1String("1"); };
    MessageTexts t;

    if (on("snp_perem") || on("snp_otv"))
        t.snp = kAttachDrawing;
    if (on("snp_to"))
        t.snp += kAskOinto;
    if (on("snp_note"))
        t.snp = kNoConstruction;

    if (on("putg_perem") || on("putg_otv") || on("putg_raz") || on("putg_oval"))
        t.putg = kAttachDrawing;
    if (on("putg_spec"))
        t.putg += QStringLiteral("Изготовление только по спецзаказу. ");
    if (on("putg_to"))
        t.putg += kAskOinto;
    if (on("putg_note"))
        t.putg = kNoConstruction;

    if (on("putgm_perem") || on("putgm_otv") || on("putgm_oval"))
        t.putgm = kAttachDrawing;
    if (on("putgm_to"))
        t.putgm += kAskOinto;
    const QString memo = notes.value(QStringLiteral("putgm_memo"));
    if (!memo.isEmpty()) {
        if (memo == QLatin1String("t5"))
            t.putgm += QStringLiteral("Для выбранных параметров рекомендованы конструкции ПУТГм-098 и ПУТГм-095. ");
        else if (memo == QLatin1String("t6"))
            t.putgm += QStringLiteral("Для выбранных параметров рекомендована конструкция ПУТГм-099. ");
        else if (memo == QLatin1String("t7"))
            t.putgm += QStringLiteral("Для выбранных параметров рекомендованы конструкции ПУТГм-099, ПУТГм-098 и ПУТГм-095. ");
        else if (memo == QLatin1String("t8"))
            t.putgm += QStringLiteral("Для выбранных параметров рекомендованы конструкции ПУТГм-099 и ПУТГм-092. ");
    } else if (on("putgm_note")) {
        t.putgm = kNoConstruction;
    }
    return t;
}

void MainWindow::SetMessages()
{
    const MessageTexts t = composeMessages(m_notes);
    m_snp->messageLabel()->setText(t.snp);
    m_putg->messageLabel()->setText(t.putg);
    m_putgm->messageLabel()->setText(t.putgm);
    for (QLabel *label : {m_snp->messageLabel(), m_putg->messageLabel(), m_putgm->messageLabel()})
        fitWholeText(label);
}

// ---- sending ---------------------------------------------------------------

bool MainWindow::writeFrame(const QByteArray &frame, const QString &status)
{
    if (!m_socket) {
        // The connection is gone; say so instead of dropping the request silently.
        statusdialog::finish(m_message, this, netstatus::noConnectionText());
        return false;
    }
    if (!wire::fitsOnWire(frame)) {
        statusdialog::finish(m_message, this, netstatus::tooLargeText());
        qWarning() << "request of" << frame.size() << "bytes not sent: over the frame limit";
        return false;
    }
    if (m_upload || !m_chain.drawings.isEmpty()) {
        // The server reads exactly the announced bytes after an upload header;
        // a frame written now would land inside the file. It goes out after.
        m_held.append({frame, status});
        return true;
    }
    m_socket->write(frame);
    ++m_framesWritten;
    statusdialog::busy(m_message, this, status);
    return true;
}

void MainWindow::sendHeldFrames()
{
    const QList<HeldFrame> held = m_held;
    m_held.clear();
    for (const HeldFrame &h : held)
        writeFrame(h.frame, h.status);
}

void MainWindow::SlotSendToServer(quint8 com, QString txt)
{
    writeFrame(wire::requestFrame(com, txt), QStringLiteral("Отправка данных..."));
}

void MainWindow::SlotSendToServer(quint8 com, QVariantMap txt)
{
    qDebug() << com;
    if (writeFrame(wire::requestFrame(com, txt), QStringLiteral("Ожидание ответа сервера..."))
        && com == wire::QuestionnaireRequest)
        ++m_questionnairesOwed;
}

void MainWindow::SlotSendToServer(quint8 com, QList<QString> txt)
{
    writeFrame(wire::requestFrame(com, QStringList(txt)), QStringLiteral("Отправка данных..."));
}

// ---- delayed data requests -------------------------------------------------

void MainWindow::ClickOnSomthn()
{
    QWidget *page = ui->tabWidget->currentWidget();
    int *timer = nullptr;
    if (page == ui->SNP) {
        if (m_snp->requestSuppressed())
            return;
        timer = &m_snpTimer;
    } else if (page == ui->PUTG) {
        if (m_putg->requestSuppressed())
            return;
        timer = &m_putgTimer;
    } else if (page == ui->PUTGm) {
        if (m_putgm->requestSuppressed())
            return;
        timer = &m_putgmTimer;
    } else {
        return;
    }
    statusdialog::busy(m_message, this, QStringLiteral("Отправка данных..."));
    m_putgm->uncheckInputBox();

    const int previous = *timer;
    *timer = startTimer(kRequestDelayMs, Qt::CoarseTimer);
    if (previous)
        killTimer(previous);
    qDebug() << m_snpTimer << m_putgTimer << m_putgmTimer;
}

void MainWindow::timerEvent(QTimerEvent *event)
{
    const int id = event->timerId();
    if (id == m_dataTimer) {
        killTimer(m_dataTimer);
        m_dataTimer = 0;
        if (m_message)
            m_message->close();
        m_message = nullptr;
    } else if (id == m_orderTimer) {
        giveUpOnOrder();
    } else if (id == m_snpTimer) {
        killTimer(m_snpTimer);
        m_snpTimer = 0;
        lookUp([this] { m_snp->SNPFindData(); });
    } else if (id == m_putgTimer) {
        killTimer(m_putgTimer);
        m_putgTimer = 0;
        lookUp([this] { m_putg->PUTGFindData(); });
    } else if (id == m_putgmTimer) {
        killTimer(m_putgmTimer);
        m_putgmTimer = 0;
        lookUp([this] { m_putgm->PUTGmFindData(); });
    } else {
        QMainWindow::timerEvent(event);
    }
}

void MainWindow::lookUp(const std::function<void()> &findData)
{
    const int before = m_framesWritten;
    findData();
    if (m_framesWritten != before)
        return;
    // An unchanged choice sends nothing, so no answer will come to close the
    // dialog; it goes unless it also waits for something else.
    const bool otherWait = m_pendingOrder || !m_orderParts.isEmpty() || m_questionnairesOwed > 0
        || m_upload || !m_chain.drawings.isEmpty();
    if (m_message && !otherWait && m_message->messageText() == QStringLiteral("Отправка данных...")) {
        m_message->close();
        m_message = nullptr;
    }
}

void MainWindow::dataReceived()
{
    if (!m_message)
        return;
    m_message->setMessageText(QStringLiteral("Данные получены."));
    m_message->setCloseEnabled(true);
    const int previous = m_dataTimer;
    m_dataTimer = startTimer(kDataCloseMs, Qt::CoarseTimer);
    if (previous)
        killTimer(previous);
}

// ---- replies -----------------------------------------------------------------

void MainWindow::SlotReadyRead()
{
    QByteArray body;
    while (m_socket && m_gate.next(m_socket, &body))
        handleReplyBody(body);
}

void MainWindow::finishCommand(const QString &text)
{
    if (!m_message)
        return;
    statusdialog::finish(m_message, this, text);
}

void MainWindow::handleReplyBody(const QByteArray &body)
{
    wire::Reader in(body);
    while (!in.atEnd()) {
        wire::ReplyItem item;
        if (!wire::readReplyItem(in, &item)) {
            qWarning() << "reply" << item.code << "unreadable";
            return;
        }
        const quint8 code = item.code;
        const QStringList &list = item.list;
        switch (code) {
        case wire::TablesReply: {
            m_tables = item.map;
            finishCommand(QStringLiteral("Таблицы загружены."));
            qDebug() << (m_loginData.value(QStringLiteral("SNP")).toBool() ? "true" : "false");
            fillCurrentTabIfNeeded(true);
            break;
        }
        case wire::SnpReply:
        case wire::SnpD2Reply:
        case wire::PutgReply:
        case wire::PutgmReply:
            if (code == wire::SnpReply) {
                m_snp->applyDimensions(list);
                dataReceived();
                m_snp->SNPCreateDefinition();
            } else if (code == wire::SnpD2Reply) {
                m_snp->applyDimensionsByD2(list);
                dataReceived();
                m_snp->SNPCreateDefinition();
            } else if (code == wire::PutgReply) {
                m_putg->applyDimensions(list);
                dataReceived();
                m_putg->showDimensions();
                m_putg->PUTGCreateDefinition();
            } else {
                m_putgm->applyDimensions(list);
                dataReceived();
                m_putgm->showDimensions();
                m_putgm->PUTGmCreateDefinition();
            }
            break;
        case wire::QuestionnaireStored:
            m_questionnairesOwed = qMax(0, m_questionnairesOwed - 1);
            finishCommand(QStringLiteral("Опросный лист отправлен."));
            break;
        case wire::QuestionnaireFailed:
            m_questionnairesOwed = qMax(0, m_questionnairesOwed - 1);
            finishCommand(QStringLiteral("Ошибка. Повторите отправку позднее."));
            break;
        case wire::OrderFailed:
            if (overdueAnswer(code))
                break;
            orderAnswered();
            m_orderParts.clear();
            finishCommand(QStringLiteral("Ошибка отправки."));
            break;
        case wire::DocumentMailed:
            if (overdueAnswer(code))
                break;
            orderAnswered();
            if (!sendNextOrderPart())
                finishCommand(QStringLiteral("Файл будет выслан Вам на почту."));
            break;
        case wire::OrderAccepted: {
            if (overdueAnswer(code))
                break;
            if (!m_chain.drawings.isEmpty()) {
                qWarning() << "order acknowledged again while its drawings go up; ignored";
                break;
            }
            // The answer is for the list as it was sent, whatever the user did
            // to it since: the drawings keep their rows and later rows stay.
            SentOrder sent = m_pendingOrder ? *m_pendingOrder : currentOrder();
            orderAnswered();
            int first = -1;
            for (int i = 0; i < sent.drawings.size(); ++i) {
                if (!sent.drawings.at(i).isEmpty()) {
                    first = i;
                    break;
                }
            }
            if (m_message)
                statusdialog::ensure(m_message, this)->setMessageText(QStringLiteral("Заявка отправлена."));
            if (first >= 0) {
                // The drawings go up even if the dialog was forgotten meanwhile:
                // emptying the list here would lose them for good.
                statusdialog::busy(m_message, this, QStringLiteral("Заявка отправлена.\nОтправка файлов..."));
                m_uploadPos = first;
                m_chain = sent;
                if (!m_upload) // else a single file (a questionnaire's) is going up: the drawings follow it
                    uploadChainDrawing(first);
                break;
            }
            removeSentRows(sent);
            if (!sendNextOrderPart() && m_message)
                m_message->setCloseEnabled(true);
            break;
        }
        default:
            // Not a reply code: skipped, the next byte is read as the next item.
            break;
        }
    }
}

bool MainWindow::overdueAnswer(quint8 code)
{
    // Replies come in order: an answer owed to an order given up on belongs
    // to it, not to a list sent again since.
    if (m_overdueAnswers == 0)
        return false;
    --m_overdueAnswers;
    qWarning() << "late answer" << code << "to an order the customer was told may not have arrived";
    return true;
}

void MainWindow::fillCurrentTabIfNeeded(bool fromTables)
{
    // A tab opened before the tables arrived is filled when they come, not
    // marked as filled with empty lists.
    if (!fromTables && m_tables.isEmpty())
        return;
    QWidget *page = ui->tabWidget->currentWidget();
    auto flag = [this](const char *key) { return m_loginData.value(QLatin1String(key)).toBool(); };
    if (page == ui->SNP && (fromTables ? flag("SNP") : !m_snpFilled)) {
        m_snp->fillFromTables();
        ClickOnSomthn();
        m_snpFilled = true;
    } else if (page == ui->PUTG && (fromTables ? flag("PUTG") : !m_putgFilled)) {
        m_putg->fillFromTables();
        ClickOnSomthn();
        m_putgFilled = true;
    } else if (page == ui->PUTGm && (fromTables ? flag("PUTGm") : !m_putgmFilled)) {
        m_putgm->fillFromTables();
        ClickOnSomthn();
        m_putgmFilled = true;
    }
}

void MainWindow::on_tabWidget_currentChanged(int)
{
    if (!m_constructed)
        return;
    fillCurrentTabIfNeeded(false);
}

void MainWindow::SlotError(QAbstractSocket::SocketError err)
{
    auto *source = qobject_cast<QAbstractSocket *>(sender());
    const QString reason = netstatus::errorReason(err, source ? source->errorString() : QString());
    statusdialog::finish(m_message, this, QStringLiteral("Ошибка: ") + reason);
    m_socket = nullptr;
    dropUploads();
}

void MainWindow::SlotConnected()
{
    QMessageBox::information(this, QString(), QStringLiteral("Соединение установленно"));
}

// ---- order list frame ----------------------------------------------------------

void MainWindow::SetListButtons(int mode)
{
    QPushButton *buttons[] = {ui->List_Pos_Delete_Btn, ui->List_Pos_Up_Btn, ui->List_Pos_Down_Btn};
    for (QPushButton *b : buttons) {
        if (mode == 1) {
            b->hide();
            b->setEnabled(false);
        } else if (mode == 0) {
            b->show();
            b->setEnabled(false);
        } else {
            b->setEnabled(true);
        }
    }
}

void MainWindow::MoveListRow(int step)
{
    const int r = ui->Basket->currentRow();
    const int c = ui->Basket->currentColumn();
    const int t = r + step;
    if (r < 0 || t < 0 || t >= ui->Basket->rowCount())
        return;
    if (r < ChertList.size() && t < ChertList.size())
        ChertList.swapItemsAt(r, t);
    for (int col = 0; col < ui->Basket->columnCount(); ++col) {
        QTableWidgetItem *a = basketItem(r, col);
        QTableWidgetItem *b = basketItem(t, col);
        const QString text = a->text();
        a->setText(b->text());
        b->setText(text);
    }
    ui->Basket->setCurrentCell(t, c);
}

MainWindow::SentOrder MainWindow::currentOrder() const
{
    const QTableWidget *b = ui->Basket;
    SentOrder o;
    o.columns = b->columnCount();
    o.cells.reserve(b->rowCount() * o.columns);
    for (int r = 0; r < b->rowCount(); ++r) {
        for (int c = 0; c < o.columns; ++c) {
            // An empty cell goes out as an empty text, never as a null one.
            const QTableWidgetItem *item = b->item(r, c);
            const QString text = item ? item->text() : QString();
            o.cells << (text.isNull() ? QString("") : text);
        }
        o.drawings << ChertList.value(r);
    }
    return o;
}

void MainWindow::removeSentRows(const SentOrder &sent)
{
    QTableWidget *b = ui->Basket;
    const SentOrder now = currentOrder();
    const int columns = sent.columns;
    const auto sameRow = [&](int r, int s) {
        for (int c = 0; c < columns; ++c)
            if (now.cells.at(r * columns + c) != sent.cells.at(s * columns + c))
                return false;
        return now.drawings.at(r) == sent.drawings.value(s);
    };
    QVector<bool> gone(b->rowCount(), false);
    const int sentRows = columns > 0 && now.columns == columns ? sent.cells.size() / columns : 0;
    for (int s = 0; s < sentRows; ++s) {
        for (int r = 0; r < gone.size(); ++r) {
            if (!gone.at(r) && sameRow(r, s)) {
                gone[r] = true;
                break;
            }
        }
    }
    if (!gone.contains(false)) {
        ClearOrderList();
        return;
    }
    for (int r = gone.size() - 1; r >= 0; --r) {
        if (!gone.at(r))
            continue;
        if (r < ChertList.size())
            ChertList.removeAt(r);
        b->removeRow(r);
    }
    m_uploadPos = 0;
    on_Back_clicked();
}

void MainWindow::ClearOrderList()
{
    ChertList.clear();
    m_uploadPos = 0;
    on_Back_clicked();
    ui->Basket->clearContents();
    ui->Basket->setRowCount(0);
}

void MainWindow::on_To_Basket_clicked(bool)
{
    ui->Basket->show();
    ui->Send_List->show();
    ui->label_Type->show();
    ui->comboBoxType->show();
    ui->tabWidget->hide();
    ui->To_Basket->hide();
    ui->Back->show();
    SetListButtons(0);
}

void MainWindow::on_Back_clicked()
{
    ui->Basket->hide();
    ui->Send_List->hide();
    ui->label_Type->hide();
    ui->comboBoxType->hide();
    ui->tabWidget->show();
    ui->To_Basket->show();
    ui->Back->hide();
    ui->Basket->setCurrentCell(-1, -1);
    SetListButtons(1);
}

void MainWindow::on_pushButton_clicked()
{
    // Sends through this window (code 9); gone again once closed.
    Opros questionnaire(this);
    questionnaire.exec();
}

void MainWindow::on_label_101_linkActivated(const QString &link)
{
    QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode));
}

void MainWindow::on_label_102_linkActivated(const QString &link)
{
    QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode));
}

// ---- uploads -----------------------------------------------------------------

void MainWindow::sendFile(QString fileName)
{
    startUpload(fileName, -1, false);
}

void MainWindow::sendFile(QString fileName, int index)
{
    startUpload(fileName, index, true);
}

void MainWindow::startUpload(const QString &fileName, int index, bool attachment)
{
    if (!m_socket || m_upload)
        return;
    m_upload = std::make_unique<FileUpload>(fileName, kMainChunk);
    m_uploadIsAttachment = attachment;
    if (attachment)
        m_uploadPos = index; // the chain goes on after this row, whoever started it
    if (!m_upload->open()) {
        statusdialog::finish(m_message, this, QStringLiteral("Невозможно открыть файл."));
        m_upload.reset();
        return;
    }
    Message *m = statusdialog::ensure(m_message, this);
    if (attachment) {
        const int slash = fileName.lastIndexOf(QLatin1Char('/'));
        m->setMessageText(QStringLiteral("Передача файла ") + fileName.mid(slash + 1));
        qDebug() << fileName;
    } else {
        m->setMessageText(QStringLiteral("Передача файла..."));
    }
    m->setCloseEnabled(false);
    const QByteArray header = attachment
        ? wire::uploadHeader(m_upload->baseName(), m_upload->announcedSize(), QString::number(index))
        : wire::uploadHeader(m_upload->baseName(), m_upload->announcedSize());
    m_socket->write(header);
    m_socket->waitForBytesWritten(30000);
    if (!m_socket || !m_upload)
        return; // the wait may have delivered a socket error
    tlsclient::pace(m_socket, this, SLOT(SendPartOfFile()), true);
    SendPartOfFile();
}

void MainWindow::SendPartOfFile()
{
    if (!m_socket || !m_upload || !tlsclient::roomForChunk(m_socket, kMainChunk))
        return;
    QByteArray chunk;
    const FileUpload::Step step = m_upload->next(&chunk);
    if (step == FileUpload::Step::Data) {
        qDebug() << chunk.size();
        m_socket->write(chunk);
        return;
    }
    m_upload.reset();
    tlsclient::pace(m_socket, this, SLOT(SendPartOfFile()), false);
    Message *m = statusdialog::ensure(m_message, this);
    if (step == FileUpload::Step::Changed) {
        // The server would read our next request as file data; give up the connection.
        m->setMessageText(netstatus::fileChangedText());
        m->setCloseEnabled(true);
        m_message = nullptr;
        QTcpSocket *s = m_socket;
        m_socket = nullptr;
        s->abort();
        dropUploads();
        return;
    }
    if (!m_uploadIsAttachment && !m_chain.drawings.isEmpty()) {
        uploadChainDrawing(m_uploadPos); // an accepted order's drawings waited for this file
        return;
    }
    if (!m_uploadIsAttachment) {
        m->setMessageText(QStringLiteral("Все данные отправлены на сервер."));
        m->setCloseEnabled(true);
        // The server answers a questionnaire once its file is in; forgotten
        // now, the dialog would drop that answer, a refusal included.
        if (m_questionnairesOwed == 0)
            m_message = nullptr;
        sendHeldFrames();
        return;
    }
    continueAttachmentChain();
}

void MainWindow::continueAttachmentChain()
{
    int next = m_uploadPos + 1;
    while (next < m_chain.drawings.size() && m_chain.drawings.at(next).isEmpty())
        ++next;
    if (next < m_chain.drawings.size()) {
        uploadChainDrawing(next);
        return;
    }
    removeSentRows(m_chain);
    endAttachmentChain();
    // A further part of the same list goes now; the result is told at the end.
    if (!sendNextOrderPart())
        statusdialog::finish(m_message, this, QStringLiteral("Все данные отправлены на сервер."));
}

void MainWindow::uploadChainDrawing(int row)
{
    m_uploadPos = row;
    sendFile(m_chain.drawings.at(row), row);
    if (!m_upload) {
        m_orderParts.clear();
        endAttachmentChain(); // a file that cannot be opened stops the chain
    }
}

void MainWindow::endAttachmentChain()
{
    m_chain = SentOrder();
    sendHeldFrames();
}

// The connection is gone: no file, drawing or held request can go out on it.
void MainWindow::dropUploads()
{
    m_upload.reset();
    m_chain = SentOrder();
    orderAnswered();
    m_orderParts.clear();
    m_held.clear();
}
