// Registration form: required fields, the request map on the wire, and the
// way it travels through the login window's connection.
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "app/message.h"
#include "fake_login_peer.h"
#include "login/regwindow.h"
#include "login/startwindow.h"
#include "modal_driver.h"

namespace {

template <typename T>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QLatin1String(name));
    if (!c)
        qFatal("no widget %s", name);
    return c;
}

const char *const kFields[] = { "lineEditPredpr", "lineEditFIO", "lineEditMail", "lineEditCity",
                                "lineEditDol", "lineEditTel" };

// Closes every message box that opens while the test runs and remembers its text.
class MessageBoxCatcher : public QObject
{
public:
    MessageBoxCatcher()
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts.append(box->text());
                parents.append(box->parentWidget());
                box->accept();
            }
        });
        m_timer.start();
    }
    QStringList texts;
    QList<QWidget *> parents;

private:
    QTimer m_timer;
};

void fill(RegWindow *r, const QStringList &values)
{
    for (int i = 0; i < values.size(); ++i)
        child<QLineEdit>(r, kFields[i])->setText(values.at(i));
}

QVariantMap decodeMap(const QByteArray &argument)
{
    wire::Reader in(argument);
    QVariantMap m;
    if (!in.readMap(&m) || !in.atEnd())
        return QVariantMap();
    return m;
}

} // namespace

class TestRegWindow : public QObject
{
    Q_OBJECT
private slots:
    void form()
    {
        RegWindow r;
        QCOMPARE(r.windowTitle(), QStringLiteral("Регистрационная форма"));
        QCOMPARE(r.size(), QSize(462, 425));
        QCOMPARE(r.minimumSize(), r.maximumSize());
        for (const char *name : { "checkBoxSNP", "checkBoxPUTG", "checkBoxPUTGm", "checkBoxFlan",
                                  "checkBoxZat", "checkBoxOpros" })
            QVERIFY2(!child<QCheckBox>(&r, name)->isChecked(), name);
        QCOMPARE(child<QPushButton>(&r, "pushButton")->text(), QStringLiteral("Регистрация"));
        QCOMPARE(child<QPushButton>(&r, "pushButton_2")->text(), QStringLiteral("Отмена"));
    }

    // The first empty required field (in form order) gets the only message
    // and the focus; nothing is sent.
    void requiredFields_data()
    {
        QTest::addColumn<QStringList>("values"); // company, name, mail, city, position, phone
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("company and name empty")
            << QStringList{ "", "", "a@b.c", "Пермь", "инженер", "1" }
            << QStringLiteral("Поле 'предприятие'' не может быть пустым") << "lineEditPredpr";
        QTest::newRow("all empty")
            << QStringList{ "", "", "", "", "", "" }
            << QStringLiteral("Поле 'предприятие'' не может быть пустым") << "lineEditPredpr";
        QTest::newRow("name empty")
            << QStringList{ "ООО Ромашка", "", "a@b.c", "Пермь", "инженер", "" }
            << QStringLiteral("Поле 'Ф. И. О.'' не может быть пустым") << "lineEditFIO";
        QTest::newRow("spaces count as filled")
            << QStringList{ "   ", " ", "", "Пермь", "инженер", "" }
            << QStringLiteral("Поле 'E-mail'' не может быть пустым") << "lineEditMail";
        QTest::newRow("city empty")
            << QStringList{ "ООО Ромашка", "Иванов И. И.", "a@b.c", "", "", "" }
            << QStringLiteral("Поле 'Город'' не может быть пустым") << "lineEditCity";
        QTest::newRow("position empty")
            << QStringList{ "ООО Ромашка", "Иванов И. И.", "a@b.c", "Пермь", "", "+7" }
            << QStringLiteral("Поле 'Должность'' не может быть пустым") << "lineEditDol";
    }

    void requiredFields()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        FakeLoginPeer peer;
        QVERIFY(peer.listen());
        StartWindow login(QStringLiteral("127.0.0.1"), peer.port());
        RegWindow r(&login);
        r.show();
        fill(&r, values);
        // Focus starts elsewhere so that the move is visible.
        child<QLineEdit>(&r, "lineEditTel")->setFocus();

        MessageBoxCatcher catcher;
        child<QPushButton>(&r, "pushButton")->click();
        QCOMPARE(catcher.texts, QStringList{ message });
        QCOMPARE(catcher.parents.at(0), nullptr);
        QCOMPARE(r.focusWidget(), child<QLineEdit>(&r, focus.toLatin1().constData()));
        QVERIFY(r.isVisible());
        QCOMPARE(login.pendingSocket(), nullptr);
        QCOMPARE(login.loginSocket(), nullptr);
        QTest::qWait(50);
        QCOMPARE(peer.connectionCount(), 0);
    }

    // A complete form goes out with code 255 once the login window is
    // connected: twelve keys, six texts as typed and six booleans.
    void requestOnTheWire_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QStringList>("ticked");
        QTest::newRow("phone empty, two tabs") << QString() << QStringList{ "checkBoxSNP", "checkBoxOpros" };
        QTest::newRow("phone given, all tabs")
            << QStringLiteral("+7 (342) 000-00-00")
            << QStringList{ "checkBoxSNP", "checkBoxPUTG", "checkBoxPUTGm", "checkBoxOpros" };
    }

    void requestOnTheWire()
    {
        QFETCH(QString, phone);
        QFETCH(QStringList, ticked);
        FakeLoginPeer peer;
        QVERIFY(peer.listen());
        StartWindow login(QStringLiteral("127.0.0.1"), peer.port());
        login.show();
        RegWindow r(&login);
        r.show();
        fill(&r, { "ООО «Ромашка»", "Иванов И. И.", "ivanov@example.ru", "Пермь", " главный механик ", phone });
        // Clicked on the indicator: the boxes are wider than their texts.
        const auto indicator = [](QWidget *w) { return QPoint(6, w->height() / 2); };
        for (const QString &name : ticked) {
            auto *box = child<QCheckBox>(&r, name.toLatin1().constData());
            QTest::mouseClick(box, Qt::LeftButton, {}, indicator(box));
            QVERIFY(box->isChecked());
        }
        // The two boxes that are not offered cannot be ticked by the user.
        for (const char *name : { "checkBoxFlan", "checkBoxZat" }) {
            auto *box = child<QCheckBox>(&r, name);
            QVERIFY(!box->isEnabled());
            QTest::mouseClick(box, Qt::LeftButton, {}, indicator(box));
            QTest::keyClick(box, Qt::Key_Space);
            QVERIFY(!box->isChecked());
        }

        MessageBoxCatcher catcher;
        child<QPushButton>(&r, "pushButton")->click();
        // The first press connects; the request follows once connected.
        QTRY_COMPARE(peer.requests().size(), 1);
        QVERIFY(catcher.texts.isEmpty());
        const FakeLoginPeer::Request &req = peer.requests().at(0);
        QCOMPARE(int(req.code), 255);
        const QVariantMap m = decodeMap(req.argument);
        QCOMPARE(m.size(), 12);
        const QStringList texts{ "Predpr", "FIO", "Mail", "City", "Dol", "Tel" };
        const QStringList typed{ "ООО «Ромашка»", "Иванов И. И.", "ivanov@example.ru", "Пермь",
                                 " главный механик ", phone };
        for (int i = 0; i < texts.size(); ++i) {
            QVERIFY2(m.contains(texts[i]), qPrintable(texts[i]));
            QCOMPARE(m.value(texts[i]).userType(), int(QMetaType::QString));
            QCOMPARE(m.value(texts[i]).toString(), typed[i]);
        }
        QVERIFY(m.value("Tel").toString().isEmpty() == phone.isEmpty());
        const QStringList boxes{ "SNP", "PUTG", "PUTGm", "Flan", "Zat", "Opros" };
        for (const QString &key : boxes) {
            QVERIFY2(m.contains(key), qPrintable(key));
            QCOMPARE(m.value(key).userType(), int(QMetaType::Bool));
            QCOMPARE(m.value(key).toBool(), ticked.contains(QStringLiteral("checkBox") + key));
        }

        // The server's answer lands in the login window's status dialog; the
        // form stays open and a second press sends again.
        QTRY_VERIFY(![&] {
            for (Message *msg : login.findChildren<Message *>())
                if (msg->isVisible() && msg->messageText() == peer.registrationAnswer)
                    return false;
            return true;
        }());
        QVERIFY(r.isVisible());
        QCOMPARE(login.result(), int(QDialog::Rejected));
        for (Message *msg : login.findChildren<Message *>())
            msg->close();
        child<QPushButton>(&r, "pushButton")->click();
        QTRY_COMPARE(peer.requests().size(), 2);
        QCOMPARE(peer.requests().at(1).argument, req.argument);
        QCOMPARE(peer.connectionCount(), 1);
    }

    void openedFromLoginWindow()
    {
        StartWindow login(QStringLiteral("127.0.0.1"), 1);
        login.show();
        RegWindow *seen = nullptr;
        whenModal<RegWindow>([&](RegWindow *r) {
            seen = r;
            QCOMPARE(r->parentWidget(), &login);
            child<QPushButton>(r, "pushButton_2")->click();
        });
        child<QPushButton>(&login, "RegBut")->click();
        QVERIFY(seen);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestRegWindow)
#include "tst_regwindow.moc"
