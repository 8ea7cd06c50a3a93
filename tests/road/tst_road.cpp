// The roads a user walks, driven through the real windows against the real
// vintaro-server process.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "../server/serverharness.h"
#include "app/mainwindow.h"
#include "app/message.h"
#include "login/regwindow.h"
#include "login/startwindow.h"
#include "modal_driver.h"

namespace {
void setText(QWidget *root, const char *name, const QString &text)
{
    auto *e = root->findChild<QLineEdit *>(name);
    QVERIFY2(e, name);
    e->setText(text);
}

bool loginThrough(StartWindow &w, const QString &user, const QString &pass)
{
    w.findChild<QLineEdit *>("lineEditUsr")->setText(user);
    w.findChild<QLineEdit *>("lineEditPass")->setText(pass);
    w.findChild<QPushButton *>("LoginBut")->click();
    return QTest::qWaitFor([&w] { return w.result() == QDialog::Accepted; }, 20000);
}

QString lastStatus(QWidget *w)
{
    QString text;
    for (Message *m : w->findChildren<Message *>())
        text = m->messageText();
    return text;
}
} // namespace

class TstRoad : public QObject
{
    Q_OBJECT
private slots:
    void demoLoginReachesMainWindowWithTables();
    void wrongPasswordStaysAtLogin();
    void registerApproveLogin();
};

void TstRoad::demoLoginReachesMainWindowWithTables()
{
    harness::Server server;
    QVERIFY(server.start());
    StartWindow login("127.0.0.1", server.port());
    login.show();
    QVERIFY(loginThrough(login, "demo", "demo123"));
    QCOMPARE(login.loginData().value("SNP").toBool(), true);

    MainWindow w(login.loginSocket(), login.loginUser(), login.loginPassword(),
                 login.loginStatusDialog(), login.loginData(), nullptr);
    w.show();
    QCOMPARE(w.findChild<QTabWidget *>("tabWidget")->count(), 3);
    // The tables arrive and the first lookup of the current tab goes out.
    QTRY_VERIFY_WITH_TIMEOUT(!w.tables().isEmpty(), 20000);
    QVERIFY(w.tables().contains("ost128_size"));
    QVERIFY(w.tables().contains("putg_gost128_size"));
    QVERIFY(w.tables().contains("putgm_en1514_press"));
}

void TstRoad::wrongPasswordStaysAtLogin()
{
    harness::Server server;
    QVERIFY(server.start());
    StartWindow login("127.0.0.1", server.port());
    login.show();
    QVERIFY(!loginThrough(login, "demo", "wrong1"));
    QVERIFY(login.loginSocket());
    QVERIFY(!lastStatus(&login).isEmpty());
    QVERIFY(lastStatus(&login) != "Авторизация прошла успешно");
}

void TstRoad::registerApproveLogin()
{
    harness::Server server;
    QVERIFY(server.start());
    StartWindow login("127.0.0.1", server.port());
    login.show();

    auto *reg = new RegWindow(&login);
    setText(reg, "lineEditPredpr", "ООО Завод");
    setText(reg, "lineEditFIO", "Петров П. П.");
    setText(reg, "lineEditMail", "petrov@zavod.example");
    setText(reg, "lineEditCity", "Самара");
    setText(reg, "lineEditDol", "инженер");
    reg->findChild<QCheckBox *>("checkBoxSNP")->setChecked(true);
    reg->findChild<QCheckBox *>("checkBoxPUTGm")->setChecked(true);
    reg->show();
    // One press: the request waits for the connection and then goes out.
    reg->findChild<QPushButton *>("pushButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(lastStatus(&login).startsWith("Заявка на регистрацию принята"), 20000);
    delete reg;

    // The application alone does not let anybody in.
    QString out;
    QCOMPARE(server.command({"--list-applications"}, &out), 0);
    QVERIFY2(out.contains("petrov@zavod.example"), qPrintable(out));
    QCOMPARE(server.command({"--approve", "petrov@zavod.example", "--user", "petrov", "--password", "Secret42"},
                            &out), 0);

    StartWindow second("127.0.0.1", server.port());
    second.show();
    QVERIFY(loginThrough(second, "petrov", "Secret42"));
    QCOMPARE(second.loginData().value("SNP").toBool(), true);
    QCOMPARE(second.loginData().value("PUTG").toBool(), false);
    QCOMPARE(second.loginData().value("PUTGm").toBool(), true);
}

QTEST_MAIN(TstRoad)
#include "tst_road.moc"
