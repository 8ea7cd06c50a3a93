#pragma once
#include <QAbstractSocket>
#include <QDialog>
#include <QPointer>
#include <QList>
#include <QVariantMap>
#include <functional>

#include "wire.h"
#include "net/tlssocket.h"

class QFile;
struct StartWindowUpload;
class QTcpSocket;
#include "app/message.h"
namespace Ui { class StartWindow; }

// Login dialog: owns the connection until the login succeeds, then hands the
// socket, both field texts, its status dialog and the login data over.
class StartWindow : public QDialog
{
    Q_OBJECT
public:
    StartWindow(const QString &host, int port, QWidget *parent = nullptr);
    ~StartWindow() override;

    // Hand-over to the main window.
    QTcpSocket *loginSocket() const { return m_socket; }
    QString loginUser() const;
    QString loginPassword() const;
    Message *loginStatusDialog() const { return m_message; }
    QVariantMap loginData() const { return m_loginData; }

    QVariantMap settings() const { return m_settings; }
    void setSettings(const QVariantMap &settings) { m_settings = settings; }
    // Plain TCP unless set; the program's entry sets what the build and the
    // command line ask for.
    void setTls(const ClientTls &tls) { m_tls = tls; }
    const ClientTls &tls() const { return m_tls; }
    QTcpSocket *pendingSocket() const { return m_pendingSocket; }
    bool hasKeptRequests() const { return !m_kept.isEmpty(); }

    static QVariantMap defaultSettings(const QString &host, int port);

public slots:
    void ConnectToSerever();
    void SlotSendToServer(QString txt, quint8 com);
    void SlotSendToServer(QVariantMap o, quint8 com);
    void sendFile(QString fileName);
    void SendPartOfFile();

private slots:
    void on_LoginBut_clicked();
    void on_TestBut_clicked();
    void on_RegBut_clicked();
    void on_ExitBut_2_clicked();
    void SlotConnected();
    void SlotError(QAbstractSocket::SocketError err);
    void SlotReadyRead();

private:
    // Sends a ready frame, or keeps it while the connection is coming up.
    bool sendFrame(const QByteArray &frame, const QString &status);
    void keepForConnection(std::function<void()> request);
    void sendKept();
    void detach(QTcpSocket *socket);
    // Detaches from the logged-in socket and accepts: the main window takes it.
    void handOver();
    bool handOverIfDue();
    void runNested(QDialog *dialog);
    void applySettings(const QVariantMap &settings);

    Ui::StartWindow *ui;
    QString m_defaultHost;
    int m_defaultPort;
    QTcpSocket *m_socket = nullptr;
    QTcpSocket *m_pendingSocket = nullptr;
    wire::FrameGate m_gate;
    QPointer<Message> m_message;
    QVariantMap m_settings;
    ClientTls m_tls;
    QVariantMap m_loginData;
    // Requests made while connecting; sent once the connection is up.
    QList<std::function<void()>> m_kept;
    StartWindowUpload *m_upload = nullptr;
    // Dialogs of this window running now; a login answered meanwhile waits
    // for them (and for an upload) before the window hands over.
    int m_nested = 0;
    bool m_handOverPending = false;
    // Requests written on this connection whose text answer has not been read
    // yet; handed over earlier, the main window would misread that answer.
    int m_owed = 0;
    // For each answer owed, in order: whether it answers a login.
    QList<bool> m_owedLogin;
    // One login on its way at a time; its credentials go to the main window.
    bool m_loginOwed = false;
    QString m_sentUser, m_sentPassword;
    // The file of a questionnaire went up before its answer: one dialog says both.
    bool m_fileSentShown = false;
};
