// A PDF request from the main window against the real server ends as a .pdf
// in a real mailbox, with the designation the window built in it.
#include "../server/mailharness.h"
#include "../server/serverharness.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "login/startwindow.h"
#include "login_helpers.h"
#include "order_helpers.h"

using namespace orderfx;

class TstRoadMail : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { vintaroInitResources(); }
    void cleanup() { Answers::uninstall(); }

    void pdfRequestEndsInTheMailbox()
    {
        mailharness::SmtpServer smtp;
        QVERIFY(smtp.start());
        harness::Server server;
        QVERIFY(server.start(smtp.serverArgs()));
        Answers answers;
        answers.install();

        StartWindow login("127.0.0.1", server.port());
        login.show();
        QVERIFY(loginThrough(login));
        MainWindow w(login.loginSocket(), login.loginUser(), login.loginPassword(), login.loginStatusDialog(),
                     login.loginData(), nullptr);
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(!w.tables().isEmpty(), 20000);

        auto *tabs = w.findChild<QTabWidget *>("tabWidget");
        tabs->setCurrentIndex(tabs->indexOf(w.findChild<QWidget *>("SNP")));
        QTRY_VERIFY_WITH_TIMEOUT(!w.snpTab()->SNPD2.isEmpty(), 20000);
        QTRY_VERIFY(!w.findChild<QLineEdit *>("SNP_Definition")->text().isEmpty());
        const QString snp = w.findChild<QLineEdit *>("SNP_Definition")->text();
        w.findChild<QAbstractButton *>("SNP_Add_To_Basket")->click();

        w.findChild<QPushButton *>("To_Basket")->click();
        w.findChild<QComboBox *>("comboBoxType")->setCurrentIndex(2); // "Сохранить в PDF"
        answers.boxes << QMessageBox::Yes;
        w.findChild<QPushButton *>("Send_List")->click();
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (Message *m : w.findChildren<Message *>())
                    if (m->messageText() == "Файл будет выслан Вам на почту.")
                        return true;
                return false;
            }(),
            20000);

        const QStringList got = smtp.waitFor(1);
        QCOMPARE(got.size(), 1);
        const QJsonObject m = mailharness::summary(got.first());
        QCOMPARE(m.value("to").toString(), QString("demo@localhost"));
        const QJsonObject pdf = m.value("attachments").toArray().at(0).toObject();
        QCOMPARE(pdf.value("type").toString(), QString("application/pdf"));
        QVERIFY(pdf.value("name").toString().endsWith(".pdf"));
        const QString text = mailharness::pdfText(pdf.value("path").toString());
        // Text extraction reads a run of blanks as one and drops a trailing one.
        QVERIFY2(text.contains(snp.simplified()), qPrintable(snp + "\n" + text));
    }
};

QTEST_MAIN(TstRoadMail)
#include "tst_road_mail.moc"
