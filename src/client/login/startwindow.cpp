#include "login/startwindow.h"
#include "ui_startwindow.h"

#include "app/message.h"
#include "login/proxy.h"
#include "login/regwindow.h"
#include "net/fileupload.h"
#include "net/netstatus.h"
#include "net/statusdialog.h"
#include "questionnaire/opros.h"

#include <QDebug>
#include <QNetworkProxy>
#include <QRegExp>
#include <QRegExpValidator>
#include <QTcpSocket>
#include <optional>

namespace {
constexpr qint64 kLoginChunk = 1024;

// The port fields take any number; one outside the port range must fail to
// connect, not wrap around to some other port.
quint16 portFrom(int value)
{
    return value > 0 && value <= 65535 ? quint16(value) : 0;
}
} // namespace

// Upload state lives outside the header so the window stays small to include.
struct StartWindowUpload
{
    explicit StartWindowUpload(const QString &path) : file(path, kLoginChunk) {}
    FileUpload file;
};

StartWindow::StartWindow(const QString &host, int port, QWidget *parent)
    : QDialog(parent), ui(new Ui::StartWindow), m_defaultHost(host), m_defaultPort(port)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(300, 300);
    // Both patterns are taken as written: "A-z" also admits [\]^_` by design.
    ui->lineEditUsr->setValidator(
        new QRegExpValidator(QRegExp(QStringLiteral("[а-яА-Яa-zA-z0-9@.]{1,100}")), this));
    ui->lineEditPass->setValidator(
        new QRegExpValidator(QRegExp(QStringLiteral("[а-яА-Яa-zA-z0-9]{1,100}")), this));
    m_settings = defaultSettings(host, port);
}

StartWindow::~StartWindow()
{
    delete m_upload;
    delete ui;
}

QVariantMap StartWindow::defaultSettings(const QString &host, int port)
{
    QVariantMap s;
    s.insert(QStringLiteral("host"), host);
    s.insert(QStringLiteral("port"), port);
    s.insert(QStringLiteral("type"), 0);
    s.insert(QStringLiteral("proxy_host"), QString());
    s.insert(QStringLiteral("proxy_port"), QString());
    s.insert(QStringLiteral("aut"), false);
    s.insert(QStringLiteral("user"), QString());
    s.insert(QStringLiteral("pass"), QString());
    return s;
}

QString StartWindow::loginUser() const
{
    return m_sentUser.isNull() ? ui->lineEditUsr->text() : m_sentUser;
}

QString StartWindow::loginPassword() const
{
    return m_sentPassword.isNull() ? ui->lineEditPass->text() : m_sentPassword;
}

namespace {
// The application-wide proxy in force before this program first set one.
std::optional<QNetworkProxy> &proxyBeforeOurs()
{
    static std::optional<QNetworkProxy> proxy;
    return proxy;
}
} // namespace

void StartWindow::ConnectToSerever()
{
    if (m_socket)
        return;
    if (m_pendingSocket) {
        // Already on its way; a second socket would race the first.
        return;
    }
    if (m_tls.enabled && !m_tls.problem.isEmpty()) {
        // Without a working check of the server the login must not go out.
        statusdialog::finish(m_message, this, QStringLiteral("Ошибка: ") + m_tls.problem);
        return;
    }
    m_pendingSocket = m_tls.enabled ? new TlsSocket(m_tls, this) : new QTcpSocket(this);

    const int type = m_settings.value(QStringLiteral("type")).toInt();
    if (type != 0) {
        if (!proxyBeforeOurs())
            proxyBeforeOurs() = QNetworkProxy::applicationProxy();
        QNetworkProxy proxy;
        proxy.setType(type == 1 ? QNetworkProxy::HttpProxy : QNetworkProxy::Socks5Proxy);
        proxy.setHostName(m_settings.value(QStringLiteral("proxy_host")).toString());
        proxy.setPort(portFrom(m_settings.value(QStringLiteral("proxy_port")).toString().toInt(nullptr, 10)));
        if (m_settings.value(QStringLiteral("aut")).toBool()) {
            proxy.setUser(m_settings.value(QStringLiteral("user")).toString());
            proxy.setPassword(m_settings.value(QStringLiteral("pass")).toString());
        } else {
            proxy.setUser(QString());
            proxy.setPassword(QString());
        }
        QNetworkProxy::setApplicationProxy(proxy);
    } else if (proxyBeforeOurs()) {
        // "No proxy" chosen after one of ours: connections must stop going
        // through it. A proxy this program never replaced stays untouched.
        QNetworkProxy::setApplicationProxy(*proxyBeforeOurs());
    }

    const QString host = m_settings.value(QStringLiteral("host")).toString();
    const quint16 port = portFrom(m_settings.value(QStringLiteral("port")).toInt());
    if (auto *tls = qobject_cast<TlsSocket *>(m_pendingSocket))
        tls->connectEncrypted(host, port);
    else
        m_pendingSocket->connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    // Over TLS the connection is usable, and the server verified, only once encrypted.
    connect(m_pendingSocket, tlsclient::readySignal(m_pendingSocket), this, SLOT(SlotConnected()));
    connect(m_pendingSocket, SIGNAL(error(QAbstractSocket::SocketError)),
            this, SLOT(SlotError(QAbstractSocket::SocketError)));

    Message *m = statusdialog::open(this);
    m->setMessageText(QStringLiteral("Подключение к серверу"));
    m->setCloseEnabled(false);
    m_message = m;
}

void StartWindow::SlotConnected()
{
    QTcpSocket *s = m_pendingSocket;
    if (!s)
        return;
    disconnect(s, tlsclient::readySignal(s), this, SLOT(SlotConnected()));
    disconnect(s, SIGNAL(error(QAbstractSocket::SocketError)),
               this, SLOT(SlotError(QAbstractSocket::SocketError)));
    m_socket = s;
    m_gate.reset();
    m_owed = 0;
    m_owedLogin.clear();
    connect(m_socket, SIGNAL(readyRead()), this, SLOT(SlotReadyRead()));
    connect(m_socket, SIGNAL(connected()), this, SLOT(SlotConnected()));
    connect(m_socket, SIGNAL(error(QAbstractSocket::SocketError)),
            this, SLOT(SlotError(QAbstractSocket::SocketError)));
    m_pendingSocket = nullptr;

    if (m_message) {
        m_message->setMessageText(QStringLiteral("Соединение установленно"));
        m_message->close();
        m_message = nullptr;
    }

    // Requests made while connecting go out now, in the order they were made.
    sendKept();
}

void StartWindow::keepForConnection(std::function<void()> request)
{
    m_kept.append(std::move(request));
}

bool StartWindow::sendFrame(const QByteArray &frame, const QString &status)
{
    if (!m_socket) {
        if (m_pendingSocket) {
            keepForConnection([this, frame, status] { sendFrame(frame, status); });
            return true;
        }
        return false;
    }
    if (!wire::fitsOnWire(frame)) {
        statusdialog::finish(m_message, this, netstatus::tooLargeText());
        qWarning() << "request of" << frame.size() << "bytes not sent: over the frame limit";
        return false;
    }
    if (m_upload) {
        // Written now it would land inside the file the server is reading.
        keepForConnection([this, frame, status] { sendFrame(frame, status); });
        return true;
    }
    m_socket->write(frame);
    ++m_owed;
    m_owedLogin.append(frame.size() > 2 && quint8(frame.at(2)) == wire::Login);
    statusdialog::busy(m_message, this, status);
    return true;
}

void StartWindow::sendKept()
{
    const QList<std::function<void()>> kept = m_kept;
    m_kept.clear();
    for (const auto &request : kept)
        request();
}

void StartWindow::SlotSendToServer(QString txt, quint8 com)
{
    sendFrame(wire::requestFrame(com, txt), QStringLiteral("Отправка данных..."));
}

void StartWindow::SlotSendToServer(QVariantMap o, quint8 com)
{
    sendFrame(wire::requestFrame(com, o), QStringLiteral("Отправка данных..."));
}

void StartWindow::on_LoginBut_clicked()
{
    // A second press while the answer is owed (a double click) sends nothing:
    // two answers could disagree about whether the user is logged in.
    if (m_handOverPending || (m_loginOwed && (m_socket || m_pendingSocket)))
        return;
    m_sentUser = ui->lineEditUsr->text();
    m_sentPassword = ui->lineEditPass->text();
    ConnectToSerever();
    m_loginOwed = sendFrame(wire::requestFrame(wire::Login, wire::loginText(m_sentUser, m_sentPassword)),
                            QStringLiteral("Отправка данных..."));
}

void StartWindow::SlotReadyRead()
{
    if (!m_socket)
        return;
    QByteArray body;
    // Anything after the last answer owed to this window belongs to the main
    // window, so the hand-over is checked before each frame is taken.
    while (m_socket && !handOverIfDue() && m_gate.next(m_socket, &body)) {
        if (m_owed > 0)
            --m_owed;
        const bool forLogin = !m_owedLogin.isEmpty() && m_owedLogin.takeFirst();
        if (forLogin)
            m_loginOwed = false;
        const wire::LoginReply reply = wire::parseLoginReply(body);
        if (!reply.complete) {
            qWarning() << "unreadable reply of" << body.size() << "bytes ignored";
            continue;
        }
        QString text = reply.text;
        if (m_fileSentShown) {
            text += QStringLiteral("\nФайл отправлен на сервер");
            m_fileSentShown = false;
        }
        const bool fresh = !m_message;
        // A waiting dialog the user closed is shown again: the answer must be seen.
        Message *m = statusdialog::ensure(m_message, this);
        if (fresh)
            m->setCloseEnabled(false);
        m->setMessageText(text);
        if (!reply.success || !forLogin) {
            m->setCloseEnabled(true);
            m_message = nullptr;
            continue;
        }
        if (!reply.mapRead)
            qWarning() << "login answer without a readable data map";
        m_loginData = reply.data;
        // Handed over at once, unless a dialog of this window (questionnaire,
        // registration, settings), its file or an answer still owed to it is
        // using the connection; their answers show here until then. The
        // answer is final, so the user can close it and finish the dialog.
        m_handOverPending = true;
        m->setCloseEnabled(true);
    }
}

// The window stops listening to a connection it gives up or gives away.
void StartWindow::detach(QTcpSocket *socket)
{
    disconnect(socket, SIGNAL(connected()), this, SLOT(SlotConnected()));
    disconnect(socket, tlsclient::readySignal(socket), this, SLOT(SlotConnected()));
    disconnect(socket, SIGNAL(readyRead()), this, SLOT(SlotReadyRead()));
    disconnect(socket, SIGNAL(error(QAbstractSocket::SocketError)),
               this, SLOT(SlotError(QAbstractSocket::SocketError)));
}

void StartWindow::handOver()
{
    m_handOverPending = false;
    detach(m_socket);
    accept();
    if (m_message)
        m_message->setCloseEnabled(true);
}

bool StartWindow::handOverIfDue()
{
    if (!m_handOverPending || m_nested > 0 || m_upload || m_owed > 0 || !m_socket)
        return false;
    handOver();
    return true;
}

void StartWindow::runNested(QDialog *dialog)
{
    ++m_nested;
    dialog->exec();
    --m_nested;
    handOverIfDue();
}

void StartWindow::SlotError(QAbstractSocket::SocketError err)
{
    auto *source = qobject_cast<QAbstractSocket *>(sender());
    const QString reason = netstatus::errorReason(err, source ? source->errorString() : QString());
    m_fileSentShown = false;
    statusdialog::finish(m_message, this, QStringLiteral("Ошибка: ") + reason);
    m_socket = nullptr;
    if (source == m_pendingSocket)
        m_pendingSocket = nullptr;
    // Whatever waited for this connection cannot be sent now.
    m_kept.clear();
    delete m_upload;
    m_upload = nullptr;
    m_handOverPending = false; // the logged-in connection is gone with it
}

void StartWindow::on_ExitBut_2_clicked()
{
    Proxy dialog(m_settings, this);
    ++m_nested;
    const bool accepted = dialog.exec() == QDialog::Accepted;
    --m_nested;
    if (accepted)
        applySettings(dialog.settingsMap());
    handOverIfDue();
}

void StartWindow::applySettings(const QVariantMap &settings)
{
    m_settings = settings;
    if (m_handOverPending)
        return; // logged in meanwhile: that connection is the main window's
    if (m_pendingSocket) {
        // An attempt still under way goes to the old endpoint: drop it with
        // the requests kept for it (a login carries the password), so that
        // the next "Войти" connects with the new settings.
        QTcpSocket *stale = m_pendingSocket;
        m_pendingSocket = nullptr;
        stale->disconnect(this);
        stale->abort();
        stale->deleteLater();
        m_kept.clear();
        if (m_message) {
            m_message->close();
            m_message = nullptr;
        }
        return;
    }
    if (!m_socket)
        return;
    // The next "Войти" connects anew with the new settings; the old
    // connection must not answer into this window any more.
    QTcpSocket *old = m_socket;
    detach(old);
    // A file still going up over it stops there; the requests held behind
    // it went with that connection.
    tlsclient::pace(old, this, SLOT(SendPartOfFile()), false);
    delete m_upload;
    m_upload = nullptr;
    m_kept.clear();
    m_socket = nullptr;
    m_gate.reset();
}

void StartWindow::on_TestBut_clicked()
{
    // Sends through this window; gone again once closed.
    Opros questionnaire(this);
    runNested(&questionnaire);
}

void StartWindow::on_RegBut_clicked()
{
    RegWindow dialog(this);
    runNested(&dialog);
}

void StartWindow::sendFile(QString fileName)
{
    if (!m_socket) {
        if (m_pendingSocket)
            keepForConnection([this, fileName] { sendFile(fileName); });
        return;
    }
    if (m_upload)
        return;
    m_upload = new StartWindowUpload(fileName);
    if (!m_upload->file.open()) {
        statusdialog::finish(m_message, this, QStringLiteral("Невозможно открыть файл"));
        delete m_upload;
        m_upload = nullptr;
        return;
    }
    Message *m = statusdialog::ensure(m_message, this);
    m->setMessageText(QStringLiteral("Передача файла"));
    m->setCloseEnabled(false);
    m_socket->write(wire::uploadHeader(m_upload->file.baseName(), m_upload->file.announcedSize()));
    m_socket->waitForBytesWritten(30000);
    tlsclient::pace(m_socket, this, SLOT(SendPartOfFile()), true);
    SendPartOfFile();
}

void StartWindow::SendPartOfFile()
{
    if (!m_socket || !m_upload || !tlsclient::roomForChunk(m_socket, kLoginChunk))
        return;
    QByteArray chunk;
    const FileUpload::Step step = m_upload->file.next(&chunk);
    if (step == FileUpload::Step::Data) {
        qDebug() << chunk.size();
        m_socket->write(chunk);
        return;
    }
    delete m_upload;
    m_upload = nullptr;
    tlsclient::pace(m_socket, this, SLOT(SendPartOfFile()), false);
    Message *m = statusdialog::ensure(m_message, this);
    if (step == FileUpload::Step::Changed) {
        m->setMessageText(netstatus::fileChangedText());
        // A short upload would leave the server reading our next request as
        // file data; dropping the connection is the only way to stay correct.
        m_socket->abort();
        m_socket = nullptr;
        m_kept.clear();
    } else {
        m->setMessageText(QStringLiteral("Файл отправлен на сервер"));
    }
    m->setCloseEnabled(true);
    // The questionnaire's answer comes once its file is in: it joins this
    // dialog instead of opening a second one on top.
    m_fileSentShown = step != FileUpload::Step::Changed && m_owed > 0;
    if (!m_fileSentShown)
        m_message = nullptr;
    sendKept(); // requests made while the file went up
    handOverIfDue();
}
