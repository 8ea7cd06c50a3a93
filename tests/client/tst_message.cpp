#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>

#include "app/launchoptions.h"
#include "app/message.h"
#include "app/translations.h"

void vintaroInitResources();

// The restart ends the process, so it runs in a child copy of this binary.
// `how`: the user's button, Esc or window frame, or the program's own close().
static int runChild(int argc, char **argv, const QString &text, const QString &marker, const QString &how)
{
    QApplication app(argc, argv);
    Message::restartLauncher = [marker] {
        QFile f(marker);
        f.open(QIODevice::WriteOnly);
        f.write("restarted");
    };
    Message m;
    m.setMessageText(text);
    m.show();
    if (how == "escape") {
        QTest::keyClick(&m, Qt::Key_Escape);
    } else if (how == "frame") {
        // What the window system sends when the frame's close button is pressed.
        QCloseEvent e;
        QApplication::sendEvent(m.windowHandle(), &e);
    } else if (how == "program") {
        m.close();
    } else {
        m.findChild<QPushButton *>("pushButton")->click();
    }
    return m.isVisible() ? 3 : 0;
}

class TstMessage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { vintaroInitResources(); }
    void closeOrRestart_data();
    void closeOrRestart();
    void disabledButtonCannotClose();
    void everyDialogLooksTheSame();
    void restartKeepsTheServerGiven_data();
    void restartKeepsTheServerGiven();
    void toolkitTextsAreRussian();
    void wholeTextShows();
};

void TstMessage::closeOrRestart_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("restarted");
    const QString lost = "Ошибка: Потеряна связь с сервером.";
    QTest::newRow("lost connection") << lost << "button" << 12 << true;
    QTest::newRow("server gone") << "Ошибка: Сервер отключился." << "button" << 12 << true;
    QTest::newRow("not found only closes") << "Ошибка: Сервер не найден." << "button" << 0 << false;
    QTest::newRow("other text closes") << "Данные получены." << "button" << 0 << false;
    QTest::newRow("lost, closed with Esc") << lost << "escape" << 12 << true;
    QTest::newRow("lost, closed by the window frame") << lost << "frame" << 12 << true;
    QTest::newRow("lost, closed by the program") << lost << "program" << 0 << false;
    QTest::newRow("other text, Esc only closes") << "Данные получены." << "escape" << 0 << false;
    QTest::newRow("other text, frame only closes") << "Данные получены." << "frame" << 0 << false;
}

void TstMessage::closeOrRestart()
{
    QFETCH(QString, text);
    QFETCH(QString, how);
    QFETCH(int, exitCode);
    QFETCH(bool, restarted);
    QTemporaryDir dir;
    const QString marker = dir.filePath("marker");
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VINTARO_MESSAGE_TEXT", text);
    env.insert("VINTARO_MARKER", marker);
    env.insert("VINTARO_CLOSE_HOW", how);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--child"});
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), exitCode);
    QCOMPARE(QFile::exists(marker), restarted);
}

void TstMessage::disabledButtonCannotClose()
{
    Message m;
    m.setMessageText("Отправка данных...");
    m.setCloseEnabled(false);
    m.show();
    QTest::mouseClick(m.findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QVERIFY(m.isVisible());
    m.setCloseEnabled(true);
    QTest::mouseClick(m.findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QVERIFY(!m.isVisible());
}

// A restart after a lost connection must come back to the server this run was
// pointed at, not to the built-in one.
// The icon is shared between dialogs and the hints are set before the form is
// built; the second and later dialogs must come out like the first.
void TstMessage::everyDialogLooksTheSame()
{
    for (int i = 0; i < 2; ++i) {
        Message m;
        m.show();
        const Qt::WindowFlags flags = m.windowFlags();
        QVERIFY(flags & Qt::WindowStaysOnTopHint);
        QVERIFY(flags & Qt::MSWindowsFixedSizeDialogHint);
        QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));
        QCOMPARE(m.windowModality(), Qt::ApplicationModal);
        QCOMPARE(m.size(), QSize(250, 96));
        QCOMPARE(m.windowTitle(), QString("Подождите.."));
        const QImage icon = m.windowIcon().pixmap(32).toImage();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon, QIcon(":/res/icon.png").pixmap(32).toImage());
    }
}

// Server answers run to several lines; none may be cut, and the button stays
// below the text.
void TstMessage::wholeTextShows()
{
    Message m;
    m.show();
    auto *label = m.findChild<QLabel *>("label_2");
    auto *button = m.findChild<QPushButton *>("pushButton");
    for (const QString &text : {QString("Заявка на регистрацию принята. После её рассмотрения Вам сообщат "
                                        "о решении по электронной почте."),
                                QString(1, QChar('x')).repeated(3) + " " + QString("длинный текст ").repeated(30),
                                QString("Данные получены.")}) {
        m.setMessageText(text);
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        QVERIFY(label->geometry().bottom() < button->geometry().top());
        QVERIFY(m.rect().contains(button->geometry()));
        QVERIFY(m.width() >= 250 && m.height() >= 96);
    }
    QCOMPARE(m.size(), QSize(250, 96));
}

void TstMessage::restartKeepsTheServerGiven_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QStringList>("again");
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("ca");
    const bool defTls = VINTARO_TLS_DEFAULT;
    const QString defHost = QStringLiteral(VINTARO_DEFAULT_HOST);
    const int defPort = VINTARO_DEFAULT_PORT;
    QTest::newRow("defaults") << QStringList() << defHost << defPort << QStringList() << defTls << QString();
    QTest::newRow("both") << QStringList{"--host", "10.1.1.1", "--port", "7000"} << "10.1.1.1" << 7000
                          << QStringList{"--host", "10.1.1.1", "--port", "7000"} << defTls << QString();
    QTest::newRow("single dash word") << QStringList{"-host", "10.1.1.1"} << "10.1.1.1" << defPort
                                      << QStringList{"--host", "10.1.1.1"} << defTls << QString();
    QTest::newRow("bad port not passed on") << QStringList{"--host", "h", "--port", "70000"} << "h" << defPort
                                            << QStringList{"--host", "h"} << defTls << QString();
    QTest::newRow("unknown option ignored") << QStringList{"--colour", "--port=7001"} << defHost << 7001
                                            << QStringList{"--port", "7001"} << defTls << QString();
    const QString ca = QDir::current().absoluteFilePath("ca.pem");
    QTest::newRow("no TLS") << QStringList{"--no-tls"} << defHost << defPort << QStringList{"--no-tls"} << false
                            << QString();
    QTest::newRow("TLS with a CA file") << QStringList{"--tls", "--ca", "ca.pem"} << defHost << defPort
                                        << QStringList{"--tls", "--ca", ca} << true << ca;
    QTest::newRow("both: TLS wins") << QStringList{"--no-tls", "--tls"} << defHost << defPort
                                    << QStringList{"--tls"} << true << QString();
}

void TstMessage::restartKeepsTheServerGiven()
{
    QFETCH(QStringList, args);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QStringList, again);
    QCommandLineParser parser;
    const launch::Options o = launch::read(parser, QStringList{"vintaro"} + args);
    QCOMPARE(o.host, host);
    QCOMPARE(o.port, port);
    QCOMPARE(o.restartArguments, again);
    QFETCH(bool, tls);
    QFETCH(QString, ca);
    QCOMPARE(o.tls, tls);
    QCOMPARE(o.caFile, ca);
    QVERIFY(!parser.isSet("help"));
}

// The questions and the file dialog use the toolkit's own buttons; in a
// Russian program they must not be left in English.
void TstMessage::toolkitTextsAreRussian()
{
    const auto text = [](QAbstractButton *b) { return b->text().remove('&'); };
    {
        QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(text(box.button(QMessageBox::Yes)), QString("Yes"));
    }
    QVERIFY(translations::install(qApp));

    QMessageBox box(QMessageBox::Question, "Сохранение заявки", "q", QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(text(box.button(QMessageBox::Yes)), QString("Да"));
    QCOMPARE(text(box.button(QMessageBox::No)), QString("Нет"));

    QFileDialog files(nullptr, "Выбор файла");
    files.setOption(QFileDialog::DontUseNativeDialog);
    auto *buttons = files.findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    QCOMPARE(text(buttons->button(QDialogButtonBox::Cancel)), QString("Отмена"));

    for (QTranslator *t : qApp->findChildren<QTranslator *>())
        QCoreApplication::removeTranslator(t);
}

int main(int argc, char **argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "--child")
        return runChild(argc, argv, qEnvironmentVariable("VINTARO_MESSAGE_TEXT"),
                        qEnvironmentVariable("VINTARO_MARKER"), qEnvironmentVariable("VINTARO_CLOSE_HOW"));
    QApplication app(argc, argv);
    TstMessage t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_message.moc"
