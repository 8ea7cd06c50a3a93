// The roads a user walks, driven through the real windows against the real
// vintaro-server process.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
#include <memory>

#include "../server/serverharness.h"
#include "app/mainwindow.h"
#include "app/message.h"
#include "login/regwindow.h"
#include "login/startwindow.h"
#include "login_helpers.h"
#include "modal_driver.h"

namespace {
void setText(QWidget *root, const char *name, const QString &text)
{
    auto *e = root->findChild<QLineEdit *>(name);
    QVERIFY2(e, name);
    e->setText(text);
}

QString lastStatus(QWidget *w)
{
    QString text;
    for (Message *m : w->findChildren<Message *>())
        text = m->messageText();
    return text;
}
// The window the login hands over to, as the application's entry builds it.
std::unique_ptr<MainWindow> handOver(StartWindow &login)
{
    auto w = std::make_unique<MainWindow>(login.loginSocket(), login.loginUser(), login.loginPassword(),
                                          login.loginStatusDialog(), login.loginData(), nullptr);
    w->show();
    return w;
}
} // namespace

class TstRoad : public QObject
{
    Q_OBJECT
private slots:
    void demoLoginReachesMainWindowWithTables();
    void wrongPasswordStaysAtLogin();
    void registerApproveLogin();
    void designationsFromServerData();
};

void TstRoad::demoLoginReachesMainWindowWithTables()
{
    harness::Server server;
    QVERIFY(server.start());
    StartWindow login("127.0.0.1", server.port());
    login.show();
    QVERIFY(loginThrough(login, "demo", "demo123"));
    QCOMPARE(login.loginData().value("SNP").toBool(), true);

    const auto window = handOver(login);
    MainWindow &w = *window;
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

// Each tab, a few choices, the diameters the real server answers from its
// product files, and the designation a customer would order by.
void TstRoad::designationsFromServerData()
{
    harness::Server server;
    QVERIFY(server.start());
    StartWindow login("127.0.0.1", server.port());
    login.show();
    QVERIFY(loginThrough(login, "demo", "demo123"));
    const auto window = handOver(login);
    MainWindow &w = *window;
    QTRY_VERIFY_WITH_TIMEOUT(!w.tables().isEmpty(), 20000);

    auto *tabs = w.findChild<QTabWidget *>("tabWidget");
    auto show = [&](const char *page) { tabs->setCurrentIndex(tabs->indexOf(w.findChild<QWidget *>(page))); };
    auto text = [&](const char *name) { return w.findChild<QLineEdit *>(name)->text(); };
    auto pick = [&](const char *list, const QString &row) {
        auto *l = w.findChild<QListWidget *>(list);
        const auto found = l->findItems(row, Qt::MatchExactly);
        QVERIFY2(found.size() == 1, qPrintable(QString("%1: %2").arg(list, row)));
        l->setCurrentItem(found.first());
        emit l->clicked(l->currentIndex());
    };
    auto combo = [&](const char *name, int index) { w.findChild<QComboBox *>(name)->setCurrentIndex(index); };

    // ПУТГм opens first: ГОСТ 12815 flange, single-wave base 09, DN 10, 1,6 MPa.
    // Sealing band as the ПУТГ raised-face gasket of that flange (39 x 18).
    QTRY_COMPARE_WITH_TIMEOUT(text("PUTGm_Definition"), QString("ПУТГм-А-09-01-10-1,6-3,0 [39 x 18]"), 20000);
    // At 2,5 MPa the maker steers away from the single wave (advice t6).
    pick("PUTGm_Press_table", "2,5 (25,0)");
    QTRY_COMPARE_WITH_TIMEOUT(w.findChild<QLabel *>("PUTGm_Message_Label")->text(),
                              QString("Для выбранных параметров рекомендована конструкция ПУТГм-099. "), 20000);
    QCOMPARE(text("PUTGm_Definition"), QString("ПУТГм-А-09-01-10-2,5-3,0 [39 x 18]"));

    // ПУТГ on an ASME B16.5 flange, NPS 2 class 150: the ASME B16.21-2016
    // ring gasket 4 1/8 x 2 3/8 in.
    show("PUTG");
    combo("PUTGStandBox", 2);
    pick("PUTG_Size_table", "2");
    pick("PUTG_Press_table", "150");
    QTRY_VERIFY_WITH_TIMEOUT(text("PUTG_Definition").contains("[104,9 x 60,5]"), 20000);
    QCOMPARE(text("PUTG_Definition"), QString("ПУТГ-А-2-212-01-2-150#-1,0  ASME B 16.20 [104,9 x 60,5]"));

    // СНП to ASME B16.20-2017 for NPS 1 class 300: centring ring 2.88 in,
    // winding 1.88 x 1.25 in, inner ring 1.06 in.
    show("SNP");
    w.findChild<QAbstractButton *>("SNP_ASME_165_Btn")->click();
    pick("Size_table", "1");
    pick("Press_table", "300");
    QTRY_COMPARE_WITH_TIMEOUT(text("SNP_Definition"),
                              QString("СНП-Д-1-300#-F.G ASME B 16.20 [73,2 x 47,8 x 31,8 x 26,9] "), 20000);
    // A size the class does not have: the server answers nothing.
    pick("Size_table", "24");
    pick("Press_table", "2500");
    QTRY_COMPARE_WITH_TIMEOUT(w.findChild<QLabel *>("SNP_Message_Label")->text(),
                              QString("Конструкции для заданных параметров не существует. "), 20000);
    QCOMPARE(text("SNP_Definition"), QString());
}

QTEST_MAIN(TstRoad)
#include "tst_road.moc"
