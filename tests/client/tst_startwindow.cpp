#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTcpSocket>
#include <QtTest>

#include "app/message.h"
#include "app/mainwindow.h"
#include "login/proxy.h"
#include "login/regwindow.h"
#include "login/startwindow.h"
#include "modal_driver.h"
#include "testpeer.h"
#include "wire.h"

namespace {
QByteArray loginAnswer(const QString &text, const QVariantMap *map = nullptr)
{
    QByteArray body = wire::encodeString(text);
    if (map)
        body.append(wire::encodeMap(*map));
    return wire::frameBody(body);
}
}

class TstStartWindow : public QObject
{
    Q_OBJECT
private slots:
    void defaultsHoldAllEightKeys();
    void firstPressConnectsThenLogsIn();
    void refusalKeepsWindowOpenAndConnected();
    void oneLoginAtATime();
    void questionnaireAndFileInOneDialog();
    void successHandsOverEverything();
    void socketErrors_data();
    void socketErrors();
    void keptRequestDroppedWhenConnectionFails();
    void portOutOfRangeDoesNotWrap();
    void oversizeRequestRefused();
    void validators_data();
    void validators();
    void splitReplyIsReadWhole();
    void loginDuringUploadFollowsTheFile();
    void answerDuringUploadWaitsForTheFile();
    void answerWhileSettingsOpenKeepsTheConnection();
    void registrationAnswerOwedHoldsTheHandOver();
    void lostBeforeMainWindowIsReported();

private:
    static void press(StartWindow &w, const char *name)
    {
        w.findChild<QPushButton *>(name)->click();
    }
    static void setFields(StartWindow &w, const QString &user, const QString &pass)
    {
        w.findChild<QLineEdit *>("lineEditUsr")->setText(user);
        w.findChild<QLineEdit *>("lineEditPass")->setText(pass);
    }
    // The first press connects and sends the login once connected.
    static bool loginSent(StartWindow &w, TestPeer &peer)
    {
        setFields(w, "ivanov", "pw");
        press(w, "LoginBut");
        return peer.waitForFrames(1);
    }
};

void TstStartWindow::defaultsHoldAllEightKeys()
{
    StartWindow w("10.0.0.5", 63000);
    const QVariantMap s = w.settings();
    QCOMPARE(s.size(), 8);
    QCOMPARE(s.value("host").toString(), QString("10.0.0.5"));
    QCOMPARE(s.value("port").toInt(), 63000);
    QCOMPARE(s.value("type").toInt(), 0);
    QCOMPARE(s.value("proxy_host").toString(), QString());
    QCOMPARE(s.value("proxy_port").toString(), QString());
    QCOMPARE(s.value("aut").toBool(), false);
    QCOMPARE(s.value("user").toString(), QString());
    QCOMPARE(s.value("pass").toString(), QString());
}

void TstStartWindow::firstPressConnectsThenLogsIn()
{
    TestPeer peer;
    StartWindow w("127.0.0.1", peer.port());
    setFields(w, "ivanov", "");
    press(w, "LoginBut");
    QVERIFY(w.loginStatusDialog());
    QCOMPARE(w.loginStatusDialog()->messageText(), QString("Подключение к серверу"));
    QVERIFY(!w.loginStatusDialog()->isCloseEnabled());
    QVERIFY(w.hasKeptRequests());

    QVERIFY(peer.waitForFrames(1));
    QCOMPARE(TestPeer::code(peer.frames[0]), quint8(1));
    wire::Reader r = TestPeer::argument(peer.frames[0]);
    QString text;
    QVERIFY(r.readString(&text));
    QCOMPARE(text, QString("USER:ivanov PASS:"));
    QVERIFY(w.loginSocket());
    QVERIFY(!w.hasKeptRequests());
    QVERIFY(w.loginStatusDialog());
    QCOMPARE(w.loginStatusDialog()->messageText(), QString("Отправка данных..."));

    // A second press while the answer is owed sends nothing; once answered,
    // a press sends at once on the open connection.
    press(w, "LoginBut");
    QTest::qWait(100);
    QCOMPARE(peer.frames.size(), 1);
    peer.send(loginAnswer("Неверное имя пользователя или пароль"));
    QTRY_VERIFY(w.loginStatusDialog() == nullptr);
    press(w, "LoginBut");
    QVERIFY(peer.waitForFrames(2));
    QCOMPARE(peer.frames.size(), 2);
}

// A double click: one login goes, and the window opens on its answer with the
// credentials that were sent, whatever the fields hold by then.
void TstStartWindow::oneLoginAtATime()
{
    TestPeer peer;
    StartWindow w("127.0.0.1", peer.port());
    setFields(w, "petrov", "pass1");
    w.show();
    press(w, "LoginBut");
    press(w, "LoginBut");
    QVERIFY(peer.waitForFrames(1));
    setFields(w, "petrov", "other");
    press(w, "LoginBut");
    QTest::qWait(100);
    QCOMPARE(peer.frames.size(), 1);
    const QVariantMap data{{"SNP", true}};
    peer.send(loginAnswer(wire::loginSuccessText(), &data));
    QTRY_COMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(w.loginPassword(), QString("pass1"));
    QVERIFY(w.loginStatusDialog());
    QCOMPARE(w.loginStatusDialog()->messageText(), wire::loginSuccessText());
}

void TstStartWindow::refusalKeepsWindowOpenAndConnected()
{
    TestPeer peer;
    StartWindow w("127.0.0.1", peer.port());
    setFields(w, "ivanov", "wrong");
    w.show();
    press(w, "LoginBut");
    QVERIFY(peer.waitForFrames(1));
    Message *status = w.loginStatusDialog();
    QVERIFY(status);
    peer.send(loginAnswer("Неверное имя пользователя или пароль"));
    QTRY_VERIFY(w.loginStatusDialog() == nullptr);
    QCOMPARE(status->messageText(), QString("Неверное имя пользователя или пароль"));
    QVERIFY(status->isCloseEnabled());
    QVERIFY(w.isVisible());
    QCOMPARE(w.result(), 0);
    QVERIFY(w.loginSocket());
    QCOMPARE(w.loginSocket()->state(), QAbstractSocket::ConnectedState);

    // The next try's waiting dialog closed with Esc: it is freed, and the
    // answer still shows, in a new dialog.
    status->close(); // modal: the user closes it before trying again
    press(w, "LoginBut");
    QVERIFY(peer.waitForFrames(2));
    QPointer<Message> waiting = w.loginStatusDialog();
    QVERIFY(waiting && waiting->isVisible());
    QTest::keyClick(waiting, Qt::Key_Escape);
    QTRY_VERIFY(waiting.isNull());
    peer.send(loginAnswer("Неверное имя пользователя или пароль"));
    const auto shown = [&w] {
        QStringList texts;
        for (Message *m : w.findChildren<Message *>())
            if (m->isVisible())
                texts << m->messageText();
        return texts;
    };
    QTRY_COMPARE(shown(), QStringList{"Неверное имя пользователя или пароль"});
    QVERIFY(w.loginStatusDialog() == nullptr);
}

void TstStartWindow::successHandsOverEverything()
{
    TestPeer peer;
    StartWindow w("127.0.0.1", peer.port());
    setFields(w, "petrov", "pass1");
    w.show();
    press(w, "LoginBut");
    QVERIFY(peer.waitForFrames(1));
    QTcpSocket *loginSocket = w.loginSocket();
    QVERIFY(loginSocket);
    QVariantMap data{{"SNP", true}, {"PUTG", false}, {"PUTGm", true}, {"extra", "x"}};
    // A reply to the main window riding in the same segment must stay unread.
    peer.send(loginAnswer("Авторизация прошла успешно", &data) + wire::frameBody(QByteArray(1, char(10))));
    QTRY_COMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(w.loginSocket(), loginSocket);
    QCOMPARE(w.loginUser(), QString("petrov"));
    QCOMPARE(w.loginPassword(), QString("pass1"));
    QCOMPARE(w.loginData(), data);
    QVERIFY(w.loginStatusDialog());
    QCOMPARE(w.loginStatusDialog()->messageText(), QString("Авторизация прошла успешно"));
    QVERIFY(w.loginStatusDialog()->isCloseEnabled());
    QCOMPARE(loginSocket->bytesAvailable(), qint64(3));
    // Detached: a later error no longer reaches the login window.
    peer.connection()->disconnectFromHost();
    QTest::qWait(100);
    QCOMPARE(w.loginSocket(), loginSocket);
}

void TstStartWindow::socketErrors_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("scenario"); // 0 refused, 1 host not found, 2 peer closes
    QTest::addColumn<QString>("text");
    QTest::newRow("refused") << "127.0.0.1" << 0 << "Ошибка: Потеряна связь с сервером.";
    QTest::newRow("not found") << "no-such-host.invalid" << 1 << "Ошибка: Сервер не найден.";
    QTest::newRow("closed") << "127.0.0.1" << 2 << "Ошибка: Сервер отключился.";
}

void TstStartWindow::socketErrors()
{
    QFETCH(QString, host);
    QFETCH(int, scenario);
    QFETCH(QString, text);
    quint16 port = 1;
    std::unique_ptr<TestPeer> peer;
    if (scenario == 0) {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
        probe.close(); // nobody listens there now
    } else if (scenario == 2) {
        peer = std::make_unique<TestPeer>();
        port = peer->port();
    }
    StartWindow w(host, port);
    press(w, "LoginBut");
    Message *connecting = w.loginStatusDialog();
    QVERIFY(connecting);
    if (scenario == 2) {
        QVERIFY(peer->waitForConnection());
        QTRY_VERIFY(w.loginSocket());
        peer->connection()->disconnectFromHost();
    }
    QTRY_VERIFY_WITH_TIMEOUT(w.loginSocket() == nullptr && w.pendingSocket() == nullptr
                                 && w.loginStatusDialog() == nullptr, 15000);
    const auto dialogs = w.findChildren<Message *>();
    bool found = false;
    for (Message *m : dialogs)
        found = found || (m->messageText() == text && m->isCloseEnabled());
    QVERIFY2(found, qPrintable(text));
}

void TstStartWindow::keptRequestDroppedWhenConnectionFails()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    StartWindow w("127.0.0.1", port);
    press(w, "LoginBut");
    QVERIFY(w.hasKeptRequests());
    QTRY_VERIFY(w.pendingSocket() == nullptr);
    QVERIFY(!w.hasKeptRequests());
}

void TstStartWindow::portOutOfRangeDoesNotWrap()
{
    // 65536 + p would land on p if the number were cut to 16 bits.
    TestPeer peer;
    StartWindow w("127.0.0.1", 65536 + peer.port());
    press(w, "LoginBut");
    QTRY_VERIFY_WITH_TIMEOUT(w.pendingSocket() == nullptr && w.loginSocket() == nullptr, 15000);
    QVERIFY(!peer.waitForConnection(300));
    bool failed = false;
    for (Message *m : w.findChildren<Message *>())
        failed = failed || m->messageText().startsWith("Ошибка");
    QVERIFY(failed);
}

void TstStartWindow::oversizeRequestRefused()
{
    TestPeer peer;
    StartWindow w("127.0.0.1", peer.port());
    w.ConnectToSerever();
    QTRY_VERIFY(w.loginSocket());
    QVariantMap big;
    big.insert("text", QString(40000, QChar(0x044F)));
    w.SlotSendToServer(big, 2);
    Message *m = nullptr;
    for (Message *d : w.findChildren<Message *>())
        if (d->messageText().startsWith("Запрос слишком велик"))
            m = d;
    QVERIFY(m);
    QVERIFY(m->isCloseEnabled());
    // Nothing reached the server, and the connection is still usable.
    w.SlotSendToServer(QString("small"), 1);
    QVERIFY(peer.waitForFrames(1));
    QTest::qWait(50);
    QCOMPARE(peer.frames.size(), 1);
    QCOMPARE(TestPeer::code(peer.frames[0]), quint8(1));
}

void TstStartWindow::validators_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("user plain") << "lineEditUsr" << "ivan.petrov@zavod" << true;
    QTest::newRow("user cyrillic") << "lineEditUsr" << "Иван" << true;
    QTest::newRow("user space") << "lineEditUsr" << "ivan petrov" << false;
    QTest::newRow("user A-z range") << "lineEditUsr" << "a_b" << true;
    QTest::newRow("pass at") << "lineEditPass" << "pa@ss" << false;
    QTest::newRow("pass dot") << "lineEditPass" << "pa.ss" << false;
    QTest::newRow("pass plain") << "lineEditPass" << QString("Пароль123") << true;
}

void TstStartWindow::validators()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    StartWindow w("127.0.0.1", 1);
    auto *edit = w.findChild<QLineEdit *>(field);
    // insert() goes through the validator exactly like typing.
    edit->insert(text);
    QCOMPARE(edit->text() == text, accepted);
}

void TstStartWindow::splitReplyIsReadWhole()
{
    TestPeer peer;
    StartWindow w("127.0.0.1", peer.port());
    setFields(w, "a", "b");
    press(w, "LoginBut");
    QVERIFY(peer.waitForFrames(1));
    const QByteArray answer = loginAnswer("Нет доступа");
    for (char c : answer) {
        peer.send(QByteArray(1, c));
        QTest::qWait(2);
    }
    QTRY_VERIFY(w.loginStatusDialog() == nullptr);
    bool shown = false;
    for (Message *m : w.findChildren<Message *>())
        shown = shown || m->messageText() == "Нет доступа";
    QVERIFY(shown);
}

namespace {
QString bigFile(const QTemporaryDir &dir, QByteArray *bytes)
{
    QFile f(dir.filePath("scheme.pdf"));
    f.open(QIODevice::WriteOnly);
    *bytes = QByteArray(400000, '\0');
    for (int i = 0; i < bytes->size(); ++i)
        (*bytes)[i] = char(i * 7 + i / 251);
    f.write(*bytes);
    return f.fileName();
}
}

// The questionnaire is answered once its file is in: one dialog says both.
void TstStartWindow::questionnaireAndFileInOneDialog()
{
    QTemporaryDir dir;
    QByteArray bytes;
    const QString path = bigFile(dir, &bytes);
    TestPeer peer;
    StartWindow w("127.0.0.1", peer.port());
    w.show();
    w.ConnectToSerever();
    w.SlotSendToServer(QVariantMap{{"fio", "x"}}, quint8(wire::QuestionnaireBeforeLogin));
    w.sendFile(path);
    const auto shown = [&w] {
        QStringList texts;
        for (Message *m : w.findChildren<Message *>())
            if (m->isVisible())
                texts << m->messageText();
        return texts;
    };
    QTRY_COMPARE(shown(), QStringList{"Файл отправлен на сервер"});
    peer.send(loginAnswer("Опросный лист отправлен."));
    QTRY_COMPARE(shown(), QStringList{"Опросный лист отправлен.\nФайл отправлен на сервер"});
}

// The questionnaire's file goes up through this window; a login pressed
// meanwhile must follow the file's bytes, not land inside them.
void TstStartWindow::loginDuringUploadFollowsTheFile()
{
    QTemporaryDir dir;
    QByteArray bytes;
    const QString path = bigFile(dir, &bytes);
    TestPeer peer;
    StartWindow w("127.0.0.1", peer.port());
    QVERIFY(loginSent(w, peer));
    peer.send(loginAnswer("Неверное имя пользователя или пароль"));
    QTRY_VERIFY(w.loginStatusDialog() == nullptr);
    w.sendFile(path);
    press(w, "LoginBut");
    QVERIFY(peer.waitForFrames(3));
    QCOMPARE(TestPeer::code(peer.frames[1]), quint8(wire::UploadFile));
    QCOMPARE(TestPeer::code(peer.frames[2]), quint8(wire::Login));
    QCOMPARE(peer.rawData, bytes);
}

// The login is answered while the questionnaire's file still goes up through
// this window: the hand-over waits for the file, so the main window's first
// request cannot land inside it.
void TstStartWindow::answerDuringUploadWaitsForTheFile()
{
    QTemporaryDir dir;
    QByteArray bytes;
    const QString path = bigFile(dir, &bytes);
    TestPeer peer;
    StartWindow w("127.0.0.1", peer.port());
    QVERIFY(loginSent(w, peer));
    w.sendFile(path);
    // What the main window does first on the connection it is handed.
    connect(&w, &QDialog::accepted, [&w] { w.loginSocket()->write(wire::requestFrame(wire::TablesRequest, QString(""))); });
    const QVariantMap data{{"SNP", true}};
    peer.send(loginAnswer(wire::loginSuccessText(), &data));
    QTRY_COMPARE(w.result(), int(QDialog::Accepted));
    QVERIFY(peer.waitForFrames(3));
    QCOMPARE(TestPeer::code(peer.frames[2]), quint8(wire::TablesRequest));
    QCOMPARE(peer.rawData, bytes);
    QVERIFY(w.loginSocket());
    QCOMPARE(w.loginData().value("SNP").toBool(), true);
}

// Settings opened before the login answer came and confirmed after it: the
// logged-in connection stays the main window's.
void TstStartWindow::answerWhileSettingsOpenKeepsTheConnection()
{
    TestPeer peer;
    StartWindow w("127.0.0.1", peer.port());
    QVERIFY(loginSent(w, peer));
    QVERIFY(w.loginSocket());
    bool seen = false;
    bool answerClosable = false;
    int resultWhileOpen = -1;
    whenModal<Proxy>([&](Proxy *p) {
        seen = true;
        const QVariantMap data{{"SNP", true}};
        peer.send(loginAnswer(wire::loginSuccessText(), &data));
        QTest::qWait(200);
        resultWhileOpen = w.result();
        // The answer shows on top of the settings; the user must be able to
        // close it to get back to them.
        answerClosable = w.loginStatusDialog() && w.loginStatusDialog()->isVisible()
                         && w.loginStatusDialog()->isCloseEnabled();
        p->findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    });
    w.findChild<QPushButton *>("ExitBut_2")->click();
    QVERIFY(seen);
    // Not while the settings dialog was open.
    QCOMPARE(resultWhileOpen, int(QDialog::Rejected));
    QVERIFY(answerClosable);
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QVERIFY(w.loginSocket());
    QCOMPARE(w.loginSocket()->state(), QAbstractSocket::ConnectedState);
}

// The registration form closed before its answer came: the answer is the
// login window's to show, and only then does the main window get the socket.
void TstStartWindow::registrationAnswerOwedHoldsTheHandOver()
{
    TestPeer peer;
    StartWindow w("127.0.0.1", peer.port());
    w.show();
    QVERIFY(loginSent(w, peer));
    bool driven = false;
    whenModal<RegWindow>([&](RegWindow *r) {
        const QVariantMap data{{"SNP", true}};
        peer.send(loginAnswer(wire::loginSuccessText(), &data));
        QTest::qWait(200);
        const char *fields[] = {"lineEditPredpr", "lineEditFIO", "lineEditMail", "lineEditCity", "lineEditDol"};
        for (const char *name : fields)
            r->findChild<QLineEdit *>(name)->setText("x");
        r->findChild<QPushButton *>("pushButton")->click();
        driven = peer.waitForFrames(2);
        r->findChild<QPushButton *>("pushButton_2")->click();
    });
    press(w, "RegBut");
    QVERIFY(driven);
    QCOMPARE(TestPeer::code(peer.frames[1]), quint8(255));
    QCOMPARE(w.result(), int(QDialog::Rejected)); // still waiting for the answer

    const QString accepted = "Заявка на регистрацию принята.";
    peer.send(loginAnswer(accepted));
    QTRY_COMPARE(w.result(), int(QDialog::Accepted));
    bool shown = false;
    for (Message *m : w.findChildren<Message *>())
        shown = shown || (m->isVisible() && m->messageText() == accepted && m->isCloseEnabled());
    QVERIFY(shown);
}

void TstStartWindow::lostBeforeMainWindowIsReported()
{
    TestPeer peer;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, peer.port());
    QVERIFY(socket.waitForConnected(5000));
    QVERIFY(peer.waitForConnection());
    socket.abort(); // gone before the main window took it over
    MainWindow window(&socket, "user", "pw", nullptr, QVariantMap{{"SNP", true}});
    QVERIFY(window.statusDialog() == nullptr);
    bool reported = false;
    for (Message *m : window.findChildren<Message *>())
        reported = reported || (m->messageText() == "Ошибка: Сервер отключился." && m->isCloseEnabled());
    QVERIFY(reported);
    QTest::qWait(100);
    QVERIFY(peer.frames.isEmpty());
}

QTEST_MAIN(TstStartWindow)
#include "tst_startwindow.moc"
