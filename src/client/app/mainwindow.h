#pragma once
#include <QAbstractSocket>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>

#include "app/ordertab.h"
#include "app/tabhost.h"
#include "wire.h"

class QTcpSocket;
class QLabel;
class QMessageBox;
class QModelIndex;
#include "app/message.h"
class SnpTab;
class PutgTab;
class PutgmTab;
class FileUpload;
class QTableWidgetItem;
namespace Ui { class MainWindow; }

// The frame after the login: hosts the configurator tabs and the order list,
// owns the connection taken over from the login window and dispatches every
// server reply.
class MainWindow : public QMainWindow, public TabHost
{
    Q_OBJECT
public:
    MainWindow(QTcpSocket *socket, QString user, QString password, Message *status,
               QVariantMap loginData, QWidget *parent = nullptr);
    ~MainWindow() override;

    // TabHost
    QVariantMap tables() const override { return m_tables; }
    QString note(const QString &key) const override { return m_notes.value(key); }
    void setNote(const QString &key, const QString &value) override { m_notes.insert(key, value); }
    void SetMessages() override;
    void sendRequest(quint8 code, const QVariantMap &map) override { SlotSendToServer(code, map); }

    void InfoMapInit();
    const QMap<QString, QString> &notes() const { return m_notes; }

    QTcpSocket *socket() const { return m_socket; }
    Message *statusDialog() const { return m_message; }
    QString userName() const { return m_user; }
    QString password() const { return m_password; }
    QVariantMap loginData() const { return m_loginData; }

    SnpTab *snpTab() const { return m_snp; }
    PutgTab *putgTab() const { return m_putg; }
    PutgmTab *putgmTab() const { return m_putgm; }

    // Order list (drawing path per row, kept parallel to the rows).
    QStringList ChertList;
    int uploadPosition() const { return m_uploadPos; }
    bool uploadRunning() const { return m_upload != nullptr; }
    void SetListButtons(int mode);
    void MoveListRow(int step);
    void ClearOrderList();

    // Drawing attached to the item being configured, per configurator.
    QString SNPChertPath, SNPChertName;
    QString PUTGChertPath, PUTGChertName;
    QString PUTGmChertPath, PUTGmChertName;

    // Add buttons and attach buttons of the configurator tabs; the tabs hand
    // their buttons over (OrderTab), so these are wired when the window is built.
    void on_SNP_Add_To_Basket_clicked();
    void on_PUTG_Add_To_Basket_clicked();
    void on_PUTGm_Add_To_Basket_clicked();
    void on_SNP_Add_Chert_clicked();
    void on_PUTG_AddChert_clicked();
    void on_PUTGm_AddChert_clicked();

    // Seams for the modal parts, so tests can answer them: the open-file
    // dialog (parent, caption, directory, filter) and running a message box
    // (returns the standard button pressed).
    static std::function<QString(QWidget *, const QString &, const QString &, const QString &)> openFileDialog;
    static std::function<int(QMessageBox *)> runMessageBox;
    // How long an order may wait for its answer before the customer is told.
    static int orderAnswerTimeoutMs;

    // Composes the three label texts from a notes map (pure, for tests and reuse).
    struct MessageTexts { QString snp, putg, putgm; };
    static MessageTexts composeMessages(const QMap<QString, QString> &notes);

    // Handles one reply frame body: a run of reply codes with arguments.
    void handleReplyBody(const QByteArray &body);

public slots:
    void SlotSendToServer(quint8 com, QString txt);
    void SlotSendToServer(quint8 com, QVariantMap txt);
    void SlotSendToServer(quint8 com, QList<QString> txt);
    void sendFile(QString fileName);
    void sendFile(QString fileName, int index);
    void SendPartOfFile();
    void ClickOnSomthn() override;

private slots:
    void SlotReadyRead();
    void SlotError(QAbstractSocket::SocketError err);
    void SlotConnected();

    void on_tabWidget_currentChanged(int index);
    void on_pushButton_clicked();
    void on_label_101_linkActivated(const QString &link);
    void on_label_102_linkActivated(const QString &link);
    void on_To_Basket_clicked(bool checked);
    void on_Back_clicked();
    void on_Basket_clicked(const QModelIndex &index);
    void on_Basket_cellActivated(int row, int column);
    void on_List_Pos_Delete_Btn_clicked();
    void on_List_Pos_Up_Btn_clicked();
    void on_List_Pos_Down_Btn_clicked();
    void on_Send_List_clicked();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    // Writes one frame; false when nothing was sent (and why is shown).
    bool writeFrame(const QByteArray &frame, const QString &status);
    void dataReceived();
    // Runs a tab's data request; closes the waiting dialog if nothing went out.
    void lookUp(const std::function<void()> &findData);
    int m_framesWritten = 0;
    void fillCurrentTabIfNeeded(bool fromTables);
    void finishCommand(const QString &text);
    void startUpload(const QString &fileName, int index, bool attachment);
    void continueAttachmentChain();
    void uploadChainDrawing(int row);
    void endAttachmentChain();
    void dropUploads();
    void sendHeldFrames();
    void wireRequestTriggers();
    void wireOrderButtons();
    // The drawing held for the item a tab is configuring.
    struct Drawing
    {
        QString *path;
        QString *name;
    };
    QList<std::pair<OrderTab *, Drawing>> orderTabs();
    Drawing drawingOf(OrderTab *tab);
    void addToBasket(OrderTab *tab);
    void toggleDrawing(OrderTab *tab);
    QTableWidgetItem *basketItem(int row, int column);
    static QString listAt(const QStringList &l, int i);

    Ui::MainWindow *ui;
    QTcpSocket *m_socket = nullptr;
    QString m_user;
    QString m_password;
    // Guarded: a dialog the user closed may be deleted with its parent window.
    QPointer<Message> m_message;
    QVariantMap m_loginData;
    QVariantMap m_tables;
    QMap<QString, QString> m_notes;
    wire::FrameGate m_gate;

    int m_dataTimer = 0;
    int m_snpTimer = 0;
    int m_putgTimer = 0;
    int m_putgmTimer = 0;
    bool m_snpFilled = false;
    bool m_putgFilled = false;
    bool m_putgmFilled = false;

    SnpTab *m_snp = nullptr;
    PutgTab *m_putg = nullptr;
    PutgmTab *m_putgm = nullptr;

    // Questionnaires sent and not yet answered (reply 10 or 11).
    int m_questionnairesOwed = 0;

    std::unique_ptr<FileUpload> m_upload;
    bool m_uploadIsAttachment = false;
    int m_uploadPos = 0;
    // An order list as it went out: its cells row by row and each row's drawing.
    struct SentOrder
    {
        QStringList cells;
        int columns = 0;
        QStringList drawings;
    };
    SentOrder currentOrder() const;
    // Takes the rows of `sent` out of the list, leaving rows added or changed since.
    void removeSentRows(const SentOrder &sent);
    // The last order written and not yet answered; the list may change meanwhile.
    std::optional<SentOrder> m_pendingOrder;
    // A list too big for one frame goes as several requests of one kind, one
    // after another once the previous part and its drawings are through.
    QList<SentOrder> m_orderParts;
    quint8 m_orderCode = 0;
    void sendOrderPart(const SentOrder &part);
    // Sends the next part; false when none is left.
    bool sendNextOrderPart();
    // Stops waiting for the answer to the order on its way.
    void orderAnswered();
    void giveUpOnOrder();
    // True (and consumed) when an order reply belongs to an order given up on.
    bool overdueAnswer(quint8 code);
    int m_orderTimer = 0;
    // Answers still owed to orders the customer was told may not have arrived.
    int m_overdueAnswers = 0;
    // The acknowledged order whose drawings go up one after another after
    // reply 13; its drawings are not empty exactly while that chain runs.
    SentOrder m_chain;
    // Requests made while an upload runs, sent once it is over.
    struct HeldFrame
    {
        QByteArray frame;
        QString status;
    };
    QList<HeldFrame> m_held;
    bool m_constructed = false;
};
