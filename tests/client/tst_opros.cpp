// Questionnaire dialog: the form's behaviour and what a submission puts on the wire.
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QRegularExpression>
#include <QUrl>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include "app/mainwindow.h"
#include "app/message.h"
#include "login/startwindow.h"
#include "questionnaire/opros.h"
#include "testpeer.h"
#include "wire.h"

void vintaroInitResources();

namespace {

template <typename T>
T *child(QObject *o, const char *name)
{
    T *w = o->findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no widget %s", name);
    return w;
}

QString makeFile(const QTemporaryDir &dir, const QString &name, qint64 size, bool randomBytes = false)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
    if (randomBytes) {
        QByteArray data;
        for (qint64 i = 0; i < size; ++i)
            data.append(char((i * 131 + 7) % 251));
        f.write(data);
    } else {
        f.resize(size);
    }
    return path;
}

bool connectTo(TestPeer &peer, QTcpSocket *socket)
{
    socket->connectToHost(QHostAddress::LocalHost, peer.port());
    return socket->waitForConnected(5000) && peer.waitForConnection();
}

void fillRequired(Opros &o)
{
    child<QPlainTextEdit>(&o, "textEdit_2")->setPlainText(QStringLiteral("  ООО Ромашка "));
    child<QPlainTextEdit>(&o, "textEdit_3")->setPlainText(QStringLiteral("Иванов И. И."));
    child<QPlainTextEdit>(&o, "textEdit_4")->setPlainText(QStringLiteral("ivanov@example.org"));
}

// The 58 keys and the value type each must have on the wire.
const QList<QPair<QString, int>> &expectedKeys()
{
    static const QList<QPair<QString, int>> keys = [] {
        QList<QPair<QString, int>> k;
        const int S = QMetaType::QString, I = QMetaType::Int, D = QMetaType::Double, B = QMetaType::Bool;
        for (const char *n : {"name_predpe", "fio", "e-mail", "city", "dolzhn", "tel", "name_teh", "oborud",
                              "uplotn", "predpr_potr", "zavod_izg", "razrab"})
            k.append({QLatin1String(n), S});
        for (const char *n : {"perepad_ot", "perepad_do", "perepad_ot_trub", "perepad_do_mezhtrub"})
            k.append({QLatin1String(n), I});
        k.append({QStringLiteral("davl_rab"), D});
        k.append({QStringLiteral("davl_isp"), D});
        k.append({QStringLiteral("davl_rab_"), S});
        k.append({QStringLiteral("davl_rab_trub"), D});
        k.append({QStringLiteral("davl_rab_mezhtrub"), D});
        for (const char *n : {"sreda_sostav", "sreda_sostav_trub", "sreda_sostav_mezhtrub"})
            k.append({QLatin1String(n), S});
        for (const char *n : {"osob_sr1", "osob_sr2", "osob_sr3"})
            k.append({QLatin1String(n), B});
        for (const char *n : {"pro4ee", "srok", "tip_soed", "naim_soed", "rad", "isStandart", "D_", "D1", "D2",
                              "d", "h1", "h2", "Dnar", "Dvn", "h", "standart", "Dy", "Py", "material",
                              "diametr", "diametr_", "smazka"})
            k.append({QLatin1String(n), S});
        k.append({QStringLiteral("glubina"), D});
        k.append({QStringLiteral("glubina_pop"), D});
        k.append({QStringLiteral("nomer"), S});
        k.append({QStringLiteral("mat_bolt"), S});
        k.append({QStringLiteral("count_of_bolt"), I});
        k.append({QStringLiteral("kreplenie"), S});
        k.append({QStringLiteral("neploskostnost"), D});
        k.append({QStringLiteral("dop_info"), S});
        k.append({QStringLiteral("file_name"), S});
        return k;
    }();
    return keys;
}

// Decodes a questionnaire request frame body.
bool decodeRequest(const QByteArray &body, quint8 *code, QVariantMap *map)
{
    *code = TestPeer::code(body);
    wire::Reader r = TestPeer::argument(body);
    return r.readMap(map) && r.atEnd();
}

} // namespace

class TstOpros : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    // form
    void startsNotReadyThenLandscape();
    void texts();
    void wheelScrollsPastUnfocusedFields();
    void standardFillsLists_data();
    void standardFillsLists();
    void jointTypeLock();
    void jointTypeOtherIsTyped();
    void jointPictureFollowsStandard();
    void otherMaterial();
    void orientationKeepsValues();
    void extraCaptionsReadInOrder_data();
    void extraCaptionsReadInOrder();
    void typedDimensionsEchoOnPicture();
    void standardFlangeWithoutRowShowsDashes();
    void standardFlangeFromTables_data();
    void standardFlangeFromTables();
    void toolTipsFollowText();
    void drawingChoice_data();
    void drawingChoice();

    // submission
    void choicesMapToFlags_data();
    void choicesMapToFlags();
    void requiredFields_data();
    void requiredFields();
    void requiredMessageIsPlainBox();
    void unreadableFileSendsNothing();
    void initialFormThroughLoginWindow();
    void drawingFollowsMap();
    void refusedMapTakesNoFile();
    void mainWindowSendsCode9_data();
    void mainWindowSendsCode9();
    void loginWindowOpensModalQuestionnaire();
    void mainWindowOpensModalQuestionnaire();
    void linksOpenWithDesktopHandler();

private:
    QStringList m_messages;
    QStringList m_questions;
    QStringList m_dialogArgs;
    QStringList m_filesToPick;
    QList<bool> m_answers;
    std::function<void(const QString &)> m_productionMessage;
};

void TstOpros::initTestCase()
{
    vintaroInitResources();
    Message::restartLauncher = [] {};
    Message::processExit = [](int) {};
    m_productionMessage = Opros::showMessage;
    Opros::showMessage = [this](const QString &text) { m_messages.append(text); };
    Opros::askYesNo = [this](QWidget *, const QString &title, const QString &text) {
        m_questions.append(title + QLatin1Char('|') + text);
        return m_answers.isEmpty() ? false : m_answers.takeFirst();
    };
    Opros::openFileName = [this](QWidget *, const QString &caption, const QString &dir, const QString &filter) {
        m_dialogArgs.append(caption + QLatin1Char('|') + dir + QLatin1Char('|') + filter);
        return m_filesToPick.isEmpty() ? QString() : m_filesToPick.takeFirst();
    };
}

void TstOpros::init()
{
    m_messages.clear();
    m_questions.clear();
    m_dialogArgs.clear();
    m_filesToPick.clear();
    m_answers.clear();
}

// ---- form ------------------------------------------------------------------

void TstOpros::startsNotReadyThenLandscape()
{
    Opros o;
    QVERIFY(!o.isReady());
    QTRY_VERIFY_WITH_TIMEOUT(o.isReady(), 1000);
    QCOMPARE(o.size(), QSize(1024, 700));
    QCOMPARE(o.minimumSize(), o.maximumSize());
    const QSize desk = QGuiApplication::primaryScreen()->virtualSize();
    QCOMPARE(o.pos(), QPoint((desk.width() - 1024) / 2, (desk.height() - 700 - 60) / 2));
    QVERIFY(child<QRadioButton>(&o, "radioButton_7")->isChecked());
    QVERIFY(child<QRadioButton>(&o, "radioButton")->isChecked());
    QVERIFY(!child<QRadioButton>(&o, "radioButton_12")->isChecked());
    QVERIFY(!child<QRadioButton>(&o, "radioButton_13")->isChecked());
    // Standard flange at start: dimensions locked, table bolt fields in use.
    QVERIFY(!child<QWidget>(&o, "textEdit_20")->isEnabled());
    QVERIFY(!child<QWidget>(&o, "textEdit_35")->isEnabled());
    QVERIFY(child<QWidget>(&o, "comboBox_3")->isEnabled());
    QVERIFY(!child<QWidget>(&o, "spinBox")->isEnabled());
    QVERIFY(child<QWidget>(&o, "textEdit_32")->isVisibleTo(&o));
    QVERIFY(!child<QWidget>(&o, "comboBox_9")->isVisibleTo(&o));
}

void TstOpros::texts()
{
    Opros o;
    QCOMPARE(o.windowTitle(), QStringLiteral("Опрос"));
    QTextDocument doc;
    QLabel *title = nullptr;
    for (QLabel *l : o.findChildren<QLabel *>()) {
        if (l->text().contains(QStringLiteral("Фланцевые соединения")))
            title = l;
    }
    QVERIFY(title);
    doc.setHtml(title->text());
    QCOMPARE(doc.toPlainText(), QStringLiteral("Опросный лист \"Фланцевые соединения\""));
    QCOMPARE(title->font().pointSize(), 16);

    QComboBox *joint = child<QComboBox>(&o, "comboBox");
    QCOMPARE(joint->count(), 8);
    QCOMPARE(joint->itemText(4), QStringLiteral("Замок (под плав головку теплообменника)"));
    QCOMPARE(joint->itemText(7), QStringLiteral("Под резьбую пробку"));
    QComboBox *material = child<QComboBox>(&o, "comboBox_6");
    QCOMPARE(material->count(), 10);
    QCOMPARE(material->itemText(5), QStringLiteral("10х17н13м3т (типа ЭИ-432)"));
    QComboBox *bolts = child<QComboBox>(&o, "comboBox_7");
    QCOMPARE(bolts->count(), 20);
    QCOMPARE(bolts->itemText(0), QStringLiteral("сталь 35"));
    QCOMPARE(bolts->itemText(19), QStringLiteral("08х15н24ва4тр"));
    QComboBox *units = child<QComboBox>(&o, "comboBox_8");
    QCOMPARE(units->count(), 3);
    QCOMPARE(units->itemText(1), QStringLiteral("кгс/см2"));
    QComboBox *diam = child<QComboBox>(&o, "comboBox_9");
    QCOMPARE(diam->count(), 11);
    QCOMPARE(diam->itemText(10), QStringLiteral("M45"));
    QCOMPARE(child<QPushButton>(&o, "pushButton_3")->text(), QStringLiteral("Прикрепить\nчертеж"));
    QCOMPARE(child<QRadioButton>(&o, "radioButton_2")->text(), QStringLiteral("Нестандартный "));
    QCOMPARE(child<QPlainTextEdit>(&o, "textEdit_19")->toPlainText(), QStringLiteral("1-1/ RF/ В1/ В2"));
}

void TstOpros::standardFillsLists_data()
{
    QTest::addColumn<int>("standard");
    QTest::addColumn<int>("sizeCount");
    QTest::addColumn<QString>("firstSize");
    QTest::addColumn<QString>("lastSize");
    QTest::addColumn<QString>("firstPressure");
    QTest::addColumn<QString>("lastPressure");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<bool>("superscript");

    const QString mpa = QStringLiteral("МПа (кгс/см )");
    const QString cls = QStringLiteral("#класс давления");
    QTest::newRow("GOST 28759") << 1 << 30 << "400" << "4000" << "0,1 (1,0)" << "40,0 (400,0)" << mpa << true;
    QTest::newRow("ASME B 16.5") << 2 << 22 << "3/8\"(10)" << "24\"(600)" << "150#" << "2500#" << cls << false;
    QTest::newRow("ASME B 16.47A") << 3 << 18 << "26\"(650)" << "60\"(1500)" << "150#" << "2500#" << cls << false;
    QTest::newRow("ASME B 16.47B") << 4 << 18 << "26\"(650)" << "60\"(1500)" << "150#" << "2500#" << cls << false;
    QTest::newRow("DIN/EN 1092") << 5 << 34 << "10" << "3000" << "0,1 (1,0)" << "40,0 (400,0)" << mpa << true;
    QTest::newRow("GOST 12815 again") << 0 << 36 << "10" << "3000" << "0,1 (1,0)" << "40,0 (400,0)" << mpa << true;
}

void TstOpros::standardFillsLists()
{
    QFETCH(int, standard);
    QFETCH(int, sizeCount);
    QFETCH(QString, firstSize);
    QFETCH(QString, lastSize);
    QFETCH(QString, firstPressure);
    QFETCH(QString, lastPressure);
    QFETCH(QString, unit);
    QFETCH(bool, superscript);

    Opros o;
    QTRY_VERIFY(o.isReady());
    QComboBox *std = child<QComboBox>(&o, "comboBox_2");
    // Start from a different standard so that the refill really happens.
    std->setCurrentIndex(standard == 4 ? 0 : 4);
    std->setCurrentIndex(standard);

    QComboBox *sizes = child<QComboBox>(&o, "comboBox_3");
    QComboBox *pressures = child<QComboBox>(&o, "comboBox_4");
    QCOMPARE(sizes->count(), sizeCount);
    QCOMPARE(sizes->itemText(0), firstSize);
    QCOMPARE(sizes->itemText(sizes->count() - 1), lastSize);
    QCOMPARE(pressures->itemText(0), firstPressure);
    QCOMPARE(pressures->itemText(pressures->count() - 1), lastPressure);
    QCOMPARE(pressures->count(), superscript ? 14 : 7);
    QCOMPARE(child<QLabel>(&o, "label_33")->text(), unit);
    QCOMPARE(child<QLabel>(&o, "label_55")->isVisibleTo(&o), superscript);
    QCOMPARE(child<QLabel>(&o, "label_55")->text(), QStringLiteral("2"));
    // The refill changed the current texts, and the tool tips follow them.
    QCOMPARE(sizes->toolTip(), firstSize);
    QCOMPARE(std->toolTip(), std->currentText());
    if (standard == 5) {
        QVERIFY(sizes->findText(QStringLiteral("175")) < 0);
        QVERIFY(sizes->findText(QStringLiteral("225")) < 0);
    }
}

void TstOpros::jointTypeLock()
{
    Opros o;
    QTRY_VERIFY(o.isReady());
    o.show();
    QComboBox *joint = child<QComboBox>(&o, "comboBox");
    QRadioButton *standard = child<QRadioButton>(&o, "radioButton");
    QRadioButton *nonStandard = child<QRadioButton>(&o, "radioButton_2");
    QPlainTextEdit *code = child<QPlainTextEdit>(&o, "textEdit_19");
    const char *labels[] = {"D", "D1", "D2", "d", "h2", "h2_2"};

    joint->setCurrentText(QStringLiteral("Замок"));
    QCOMPARE(joint->currentIndex(), 5);
    QVERIFY(nonStandard->isChecked());
    QVERIFY(!standard->isEnabled());
    QVERIFY(!nonStandard->isEnabled());
    for (const char *l : labels)
        QVERIFY2(!child<QLabel>(&o, l)->isVisibleTo(&o), l);
    QVERIFY(child<QLabel>(&o, "label_30")->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(code->toPlainText().isEmpty());
    QVERIFY(!code->isEnabled());
    // Non-standard mode: dimensions typed, bolt count and diameter chosen by hand.
    QVERIFY(child<QWidget>(&o, "textEdit_20")->isEnabled());
    QVERIFY(!child<QWidget>(&o, "comboBox_2")->isEnabled());
    QVERIFY(child<QWidget>(&o, "comboBox_9")->isVisibleTo(&o));
    QVERIFY(!child<QWidget>(&o, "textEdit_32")->isVisibleTo(&o));
    QVERIFY(child<QWidget>(&o, "spinBox")->isEnabled());

    joint->setCurrentText(QStringLiteral("Шип-паз"));
    QCOMPARE(code->toPlainText(), QStringLiteral("4-5/ STG/ C-D"));
    QVERIFY(code->isReadOnly());
    QVERIFY(standard->isEnabled());
    for (const char *l : labels)
        QVERIFY2(child<QLabel>(&o, l)->isVisibleTo(&o), l);
    // The mode stays non-standard until the user picks the standard flange.
    QVERIFY(nonStandard->isChecked());
    const QPixmap pic = child<QLabel>(&o, "label_30")->pixmap(Qt::ReturnByValue);
    QVERIFY(!pic.isNull());
    QVERIFY(pic.width() <= 371 && pic.height() <= 291);
    QVERIFY(pic.width() == 371 || pic.height() == 291);

    joint->setCurrentIndex(0);
    QVERIFY(!child<QLabel>(&o, "h2_2")->isVisibleTo(&o));
    QVERIFY(child<QLabel>(&o, "D")->isVisibleTo(&o));
    QCOMPARE(code->toPlainText(), QStringLiteral("1-1/ RF/ В1/ В2"));

    standard->click();
    QVERIFY(!child<QWidget>(&o, "textEdit_20")->isEnabled());
    QVERIFY(child<QWidget>(&o, "comboBox_2")->isEnabled());
}

void TstOpros::jointPictureFollowsStandard()
{
    // The tables name different features by the same letters (ASME B16.5 and
    // ГОСТ 28759 the recess and groove, EN 1092-1 the tongue's inner diameter as D1), so the
    // picture must change with the standard, not only with the joint type.
    Opros o;
    QTRY_VERIFY(o.isReady());
    QComboBox *joint = child<QComboBox>(&o, "comboBox");
    QComboBox *standard = child<QComboBox>(&o, "comboBox_2");
    auto picture = [&](int j, int s) {
        joint->setCurrentIndex(j);
        standard->setCurrentIndex(s);
        return child<QLabel>(&o, "label_30")->pixmap(Qt::ReturnByValue).toImage();
    };
    const QImage spigot = picture(1, 0), recess = picture(1, 2);
    QVERIFY(!spigot.isNull() && !recess.isNull());
    QVERIFY(spigot != recess);
    QCOMPARE(picture(1, 5), spigot);
    QCOMPARE(picture(1, 1), recess);
    QCOMPARE(picture(1, 0), spigot);   // and back
    const QImage tongue = picture(2, 0), groove = picture(2, 2), innerFirst = picture(2, 5);
    QVERIFY(tongue != groove && tongue != innerFirst && groove != innerFirst);
    QCOMPARE(picture(2, 1), groove);
    QCOMPARE(picture(0, 2), picture(0, 5));
}

void TstOpros::jointTypeOtherIsTyped()
{
    Opros o;
    QTRY_VERIFY(o.isReady());
    o.show();
    QVERIFY(QTest::qWaitForWindowActive(&o));
    QComboBox *joint = child<QComboBox>(&o, "comboBox");
    QPlainTextEdit *code = child<QPlainTextEdit>(&o, "textEdit_19");
    joint->setCurrentText(QStringLiteral("Другой"));
    QVERIFY(code->isEnabled());
    QVERIFY(!code->isReadOnly());
    QVERIFY(code->toPlainText().isEmpty());
    QCOMPARE(o.focusWidget(), code);
    code->insertPlainText(QStringLiteral("Линзовое"));
    QCOMPARE(o.questionnaireData().value(QStringLiteral("naim_soed")).toString(), QStringLiteral("Линзовое"));
    QCOMPARE(o.questionnaireData().value(QStringLiteral("tip_soed")).toString(), QStringLiteral("Другой"));
    QVERIFY(child<QRadioButton>(&o, "radioButton_2")->isChecked());
}

void TstOpros::otherMaterial()
{
    Opros o;
    QTRY_VERIFY(o.isReady());
    o.show();
    QComboBox *material = child<QComboBox>(&o, "comboBox_6");
    QVERIFY(!material->isEditable());
    material->setCurrentIndex(9);
    QVERIFY(material->isEditable());
    QCOMPARE(material->currentText(), QStringLiteral("Другой"));
    // Typed into the focused field, the start of a listed material stays as typed.
    QApplication::setActiveWindow(&o);
    material->lineEdit()->setFocus();
    QVERIFY(material->lineEdit()->hasFocus());
    material->lineEdit()->selectAll();
    QTest::keyClicks(material->lineEdit(), QStringLiteral("40"));
    QCOMPARE(o.questionnaireData().value(QStringLiteral("material")).toString(), QStringLiteral("40"));
    material->lineEdit()->selectAll();
    QTest::keyClicks(material->lineEdit(), QStringLiteral("Hastelloy C-276"));
    QCOMPARE(o.questionnaireData().value(QStringLiteral("material")).toString(), QStringLiteral("Hastelloy C-276"));
    QCOMPARE(material->toolTip(), QStringLiteral("Hastelloy C-276"));
    // Enter stores the typed text into the entry itself.
    QTest::keyClick(material->lineEdit(), Qt::Key_Return);
    QCOMPARE(material->currentIndex(), 9);

    material->setCurrentIndex(1);
    QVERIFY(!material->isEditable());
    QCOMPARE(material->itemText(9), QStringLiteral("Другой"));
    material->setCurrentIndex(9);
    QCOMPARE(material->currentText(), QStringLiteral("Другой"));
}

void TstOpros::orientationKeepsValues()
{
    Opros o;
    QTRY_VERIFY(o.isReady());
    o.show();
    child<QPlainTextEdit>(&o, "textEdit_2")->setPlainText(QStringLiteral("Завод"));
    child<QPlainTextEdit>(&o, "textEdit_34")->setPlainText(QStringLiteral("строка 1\nстрока 2"));
    child<QSpinBox>(&o, "spinBox_2")->setValue(-45);
    child<QDoubleSpinBox>(&o, "doubleSpinBox")->setValue(2.5);
    child<QComboBox>(&o, "comboBox_2")->setCurrentIndex(3);
    child<QComboBox>(&o, "comboBox_3")->setCurrentIndex(4);
    child<QCheckBox>(&o, "checkBox_10")->setChecked(true);
    child<QRadioButton>(&o, "radioButton_6")->click();
    const QVariantMap before = o.questionnaireData();

    QWidget *contact = child<QWidget>(&o, "groupBox_contact");
    QWidget *conditions = child<QWidget>(&o, "groupBox_conditions");
    QWidget *construction = child<QWidget>(&o, "groupBox_construction");
    QWidget *extra = child<QWidget>(&o, "groupBox_extra");
    const QSize desk = QGuiApplication::primaryScreen()->virtualSize();

    child<QRadioButton>(&o, "radioButton_8")->click();
    QCOMPARE(o.size(), QSize(667, 700));
    QCOMPARE(o.pos(), QPoint((desk.width() - 667) / 2, (desk.height() - 700 - 60) / 2));
    QTRY_COMPARE(contact->x(), conditions->x());
    QCOMPARE(construction->x(), contact->x());
    QVERIFY(contact->y() < conditions->y());
    QVERIFY(conditions->y() < construction->y());
    QVERIFY(construction->y() < extra->y());
    QCOMPARE(o.questionnaireData(), before);

    child<QRadioButton>(&o, "radioButton_7")->click();
    QCOMPARE(o.size(), QSize(1024, 700));
    QCOMPARE(o.pos(), QPoint((desk.width() - 1024) / 2, (desk.height() - 700 - 60) / 2));
    QTRY_VERIFY(construction->x() < contact->x());
    QVERIFY(contact->x() < conditions->x());
    QCOMPARE(extra->x(), conditions->x());
    QCOMPARE(o.questionnaireData(), before);
}

void TstOpros::extraCaptionsReadInOrder_data()
{
    QTest::addColumn<QString>("orientation");
    QTest::newRow("landscape") << "radioButton_7";
    QTest::newRow("portrait") << "radioButton_8";
}

// Under "Дополнительные сведения" a split caption reads whole, in order, and
// next to the control it names.
void TstOpros::extraCaptionsReadInOrder()
{
    QFETCH(QString, orientation);
    Opros o;
    QTRY_VERIFY(o.isReady());
    o.show();
    child<QRadioButton>(&o, qPrintable(orientation))->click();
    QApplication::processEvents();
    const auto rect = [&o](const char *name) {
        QWidget *w = child<QWidget>(&o, name);
        return QRect(w->mapTo(&o, QPoint(0, 0)), w->size());
    };

    // The fastening question: each word after the one before it, on the same
    // line or below, and the answer beside the caption.
    const char *const words[] = {"label_166", "label_168", "label_169", "label_167", "label_170"};
    QRect block;
    for (int i = 0; i < 5; ++i) {
        QLabel *l = child<QLabel>(&o, words[i]);
        QVERIFY2(l->width() >= l->fontMetrics().horizontalAdvance(l->text().trimmed()), words[i]);
        const QRect r = rect(words[i]);
        if (i > 0) {
            const QRect prev = rect(words[i - 1]);
            const bool sameLine = r.top() == prev.top() && r.left() > prev.right();
            QVERIFY2(sameLine || r.top() > prev.bottom(), words[i]);
        }
        block |= r;
    }
    const int answer = rect("radioButton_5").center().y();
    QVERIFY(answer > block.top() && answer < block.bottom());

    // "глубина и" "деффектов" together; "вдоль" and "поперек" by their boxes.
    QVERIFY(rect("label_162").top() - rect("label_161").bottom() <= 2);
    QVERIFY(rect("doubleSpinBox_5").left() - rect("label_163").right() <= 24);
    QVERIFY(rect("doubleSpinBox_6").left() - rect("label_164").right() <= 24);
}

void TstOpros::typedDimensionsEchoOnPicture()
{
    Opros o;
    QTRY_VERIFY(o.isReady());
    child<QRadioButton>(&o, "radioButton_2")->click();
    const struct
    {
        const char *edit;
        const char *label;
        const char *text;
    } fields[] = {{"textEdit_20", "D", "210"}, {"textEdit_21", "D1", "170"}, {"textEdit_22", "D2", "150"},
                  {"textEdit_23", "d", "18"}, {"textEdit_24", "h1", nullptr}, {"textEdit_25", "h2_2", "3"}};
    for (const auto &f : fields) {
        QTest::keyClicks(child<QPlainTextEdit>(&o, f.edit), QLatin1String(f.text ? f.text : "4"));
        if (f.text)
            QCOMPARE(child<QLabel>(&o, f.label)->text(), QLatin1String(f.text));
    }
    // h1 goes onto the picture's h2 label.
    QCOMPARE(child<QLabel>(&o, "h2")->text(), QStringLiteral("4"));
    // Dimension fields themselves are sent as typed.
    const QVariantMap m = o.questionnaireData();
    QCOMPARE(m.value(QStringLiteral("D_")).toString(), QStringLiteral("210"));
    QCOMPARE(m.value(QStringLiteral("h1")).toString(), QStringLiteral("4"));
    QCOMPARE(m.value(QStringLiteral("h2")).toString(), QStringLiteral("3"));
}

void TstOpros::standardFlangeWithoutRowShowsDashes()
{
    Opros o;
    QTRY_VERIFY(o.isReady());
    // Joint type "Шип-паз" has no table for ASME B 16.47A.
    child<QComboBox>(&o, "comboBox")->setCurrentIndex(2);
    child<QComboBox>(&o, "comboBox_2")->setCurrentIndex(3);
    child<QSpinBox>(&o, "spinBox")->setValue(12);
    child<QComboBox>(&o, "comboBox_4")->setCurrentIndex(2);
    for (const char *l : {"D", "D1", "D2", "d", "h2", "h2_2"})
        QCOMPARE(child<QLabel>(&o, l)->text(), QStringLiteral("-"));
    QCOMPARE(child<QPlainTextEdit>(&o, "textEdit_32")->toPlainText(), QStringLiteral("-"));
    QCOMPARE(child<QSpinBox>(&o, "spinBox")->value(), 0);
    QVERIFY(!child<QGroupBox>(&o, "groupBox_17")->isVisibleTo(&o));
}

void TstOpros::standardFlangeFromTables_data()
{
    QTest::addColumn<int>("joint");
    QTest::addColumn<int>("standard");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("pressure");
    QTest::addColumn<QString>("variantButton"); // clicked before the check, or empty
    QTest::addColumn<QStringList>("labels");     // D2, D1, D, d, h2, h2_2 ("*" = not checked)
    QTest::addColumn<int>("bolts");
    QTest::addColumn<QString>("boltDiameter");
    QTest::addColumn<bool>("variantGroup");

    QTest::newRow("raised face GOST 12815 10")
        << 0 << 0 << "10" << "0,1 (1,0)" << ""
        << QStringList{"50", "35", "10", "11", "2", "*"} << 4 << "М10" << false;
    QTest::newRow("male-female GOST 12815 10 row 1")
        << 1 << 0 << "10" << "0,1 (1,0)" << "radioButton_13"
        << QStringList{"50", "31", "10", "11", "4", "3"} << 4 << "М10" << true;
    QTest::newRow("male-female GOST 12815 10 row 2")
        << 1 << 0 << "10" << "0,1 (1,0)" << "radioButton_12"
        << QStringList{"50", "27", "10", "11", "4", "3"} << 4 << "М10" << true;
    QTest::newRow("raised face ASME B 16.5 class 150")
        << 0 << 2 << "3/8\"(10)" << "150#" << ""
        << QStringList{"60,3", "34,9", "3/8\"(10)", "15,9", "1,6", "*"} << 4 << "1/2\"(12,7)" << false;
    QTest::newRow("male-female ASME B 16.5 L")
        << 1 << 2 << "2\"(50)" << "300#" << "radioButton_12"
        << QStringList{"127", "93,7", "2\"(50)", "19,1", "7", "5"} << 8 << "5/8\"(15,9)" << true;
    QTest::newRow("tongue-groove ASME B 16.5 S")
        << 2 << 2 << "2\"(50)" << "300#" << "radioButton_13"
        << QStringList{"127", "84,1", "71,4", "19,1", "7", "5"} << 8 << "5/8\"(15,9)" << true;
    QTest::newRow("pressure not offered for the size")
        << 0 << 0 << "3000" << "40,0 (400,0)" << ""
        << QStringList{"-", "-", "-", "-", "-", "-"} << 0 << "-" << false;
}

void TstOpros::standardFlangeFromTables()
{
    QFETCH(int, joint);
    QFETCH(int, standard);
    QFETCH(QString, size);
    QFETCH(QString, pressure);
    QFETCH(QString, variantButton);
    QFETCH(QStringList, labels);
    QFETCH(int, bolts);
    QFETCH(QString, boltDiameter);
    QFETCH(bool, variantGroup);

    Opros o;
    QTRY_VERIFY(o.isReady());
    child<QComboBox>(&o, "comboBox")->setCurrentIndex(joint);
    child<QComboBox>(&o, "comboBox_2")->setCurrentIndex(standard);
    child<QComboBox>(&o, "comboBox_3")->setCurrentText(size);
    QCOMPARE(child<QComboBox>(&o, "comboBox_3")->currentText(), size);
    child<QComboBox>(&o, "comboBox_4")->setCurrentText(pressure);
    QCOMPARE(child<QComboBox>(&o, "comboBox_4")->currentText(), pressure);
    if (!variantButton.isEmpty())
        child<QRadioButton>(&o, qPrintable(variantButton))->click();

    const char *names[] = {"D2", "D1", "D", "d", "h2", "h2_2"};
    for (int i = 0; i < 6; ++i) {
        if (labels.at(i) != QLatin1String("*"))
            QCOMPARE(child<QLabel>(&o, names[i])->text(), labels.at(i));
    }
    QCOMPARE(child<QSpinBox>(&o, "spinBox")->value(), bolts);
    QCOMPARE(child<QPlainTextEdit>(&o, "textEdit_32")->toPlainText(), boltDiameter);
    QCOMPARE(child<QGroupBox>(&o, "groupBox_17")->isVisibleTo(&o), variantGroup);
    if (variantGroup) {
        const bool asme = standard == 2;
        QCOMPARE(child<QRadioButton>(&o, "radioButton_12")->text(), asme ? QStringLiteral("L") : QStringLiteral("Ряд 2"));
        QCOMPARE(child<QRadioButton>(&o, "radioButton_13")->text(), asme ? QStringLiteral("S") : QStringLiteral("Ряд 1"));
    }
    // The flange dimension fields themselves are never written by the lookup.
    QVERIFY(child<QPlainTextEdit>(&o, "textEdit_20")->toPlainText().isEmpty());
}

void TstOpros::toolTipsFollowText()
{
    Opros o;
    for (const char *name : {"textEdit_2", "textEdit_13", "textEdit_26", "textEdit_34"}) {
        QPlainTextEdit *e = child<QPlainTextEdit>(&o, name);
        e->insertPlainText(QStringLiteral("очень длинное название установки"));
        QCOMPARE(e->toolTip(), QStringLiteral("очень длинное название установки"));
        e->clear();
        QCOMPARE(e->toolTip(), QString());
    }
    QComboBox *bolts = child<QComboBox>(&o, "comboBox_7");
    bolts->setCurrentIndex(9);
    QCOMPARE(bolts->toolTip(), QStringLiteral("37х18н8г8мбф"));
}

void TstOpros::drawingChoice_data()
{
    QTest::addColumn<QList<qint64>>("sizes");   // one file per dialog opening; -1 = cancel
    QTest::addColumn<QList<bool>>("answers");   // answers to the size question
    QTest::addColumn<int>("chosen");            // index of the file that ends up chosen, -1 none
    QTest::addColumn<int>("questions");

    const qint64 limit = Opros::kMaxDrawingBytes;
    QTest::newRow("small") << QList<qint64>{10} << QList<bool>{} << 0 << 0;
    QTest::newRow("exactly 2 MB") << QList<qint64>{limit} << QList<bool>{} << 0 << 0;
    QTest::newRow("one byte over, No") << QList<qint64>{limit + 1} << QList<bool>{false} << -1 << 1;
    QTest::newRow("over, Yes, then small") << QList<qint64>{limit + 1, 100} << QList<bool>{true} << 1 << 1;
    QTest::newRow("over, Yes, cancel") << QList<qint64>{limit + 1, -1} << QList<bool>{true} << -1 << 1;
    QTest::newRow("cancel") << QList<qint64>{-1} << QList<bool>{} << -1 << 0;
}

void TstOpros::drawingChoice()
{
    QFETCH(QList<qint64>, sizes);
    QFETCH(QList<bool>, answers);
    QFETCH(int, chosen);
    QFETCH(int, questions);

    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < sizes.size(); ++i)
        paths.append(sizes[i] < 0 ? QString() : makeFile(dir, QStringLiteral("plan%1.dwg").arg(i), sizes[i]));
    m_filesToPick = paths;
    m_answers = answers;

    Opros o;
    QPlainTextEdit *path = child<QPlainTextEdit>(&o, "textEdit_33");
    path->setPlainText(QStringLiteral("/earlier/choice.pdf"));
    child<QPushButton>(&o, "pushButton_3")->click();

    QCOMPARE(path->toPlainText(), chosen < 0 ? QString() : paths[chosen]);
    QCOMPARE(m_dialogArgs.size(), sizes.size());
    QCOMPARE(m_dialogArgs.first(), QStringLiteral("Выбор файла||All files (*)"));
    QCOMPARE(m_questions.size(), questions);
    if (questions)
        QCOMPARE(m_questions.first(),
                 QStringLiteral("Больщой размер файла|Файл не должен превышать 2 Мб.\nХотите выбрать другой?"));
}

// ---- submission --------------------------------------------------------------

void TstOpros::choicesMapToFlags_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("before");
    QTest::addColumn<QVariant>("after");

    QTest::newRow("non-standard") << "radioButton_2" << "isStandart" << QVariant("0") << QVariant("1");
    QTest::newRow("row 2") << "radioButton_12" << "rad" << QVariant("1") << QVariant("0");
    QTest::newRow("row 1") << "radioButton_13" << "rad" << QVariant("1") << QVariant("1");
    QTest::newRow("lubricant yes") << "radioButton_4" << "smazka" << QVariant("1") << QVariant("0");
    QTest::newRow("fastening yes") << "radioButton_6" << "kreplenie" << QVariant("1") << QVariant("0");
    QTest::newRow("abrasive") << "checkBox_9" << "osob_sr1" << QVariant(false) << QVariant(true);
    QTest::newRow("crystallising") << "checkBox_10" << "osob_sr2" << QVariant(false) << QVariant(true);
    QTest::newRow("penetrating") << "checkBox_11" << "osob_sr3" << QVariant(false) << QVariant(true);
}

void TstOpros::choicesMapToFlags()
{
    QFETCH(QString, button);
    QFETCH(QString, key);
    QFETCH(QVariant, before);
    QFETCH(QVariant, after);

    Opros o;
    QTRY_VERIFY(o.isReady());
    QCOMPARE(o.questionnaireData().value(key), before);
    child<QAbstractButton>(&o, qPrintable(button))->click();
    QCOMPARE(o.questionnaireData().value(key), after);
}

void TstOpros::requiredFields_data()
{
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mail");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");

    QTest::newRow("all empty") << "" << "" << "" << "Поле 'предприятие'' не может быть пустым" << "textEdit_2";
    QTest::newRow("company and name empty")
        << "" << "" << "a@b.c" << "Поле 'предприятие'' не может быть пустым" << "textEdit_2";
    QTest::newRow("blank company passes, name empty")
        << " " << "" << "" << "Поле 'Ф.И.О.'' не может быть пустым" << "textEdit_3";
    QTest::newRow("mail empty") << "ООО" << "Петров" << "" << "Поле 'e-mail'' не может быть пустым" << "textEdit_4";
}

void TstOpros::requiredFields()
{
    QFETCH(QString, company);
    QFETCH(QString, name);
    QFETCH(QString, mail);
    QFETCH(QString, message);
    QFETCH(QString, focus);

    TestPeer peer;
    StartWindow login(QStringLiteral("127.0.0.1"), peer.port());
    Opros o(&login);
    QTRY_VERIFY(o.isReady());
    o.show();
    QVERIFY(QTest::qWaitForWindowActive(&o));
    child<QPlainTextEdit>(&o, "textEdit_2")->setPlainText(company);
    child<QPlainTextEdit>(&o, "textEdit_3")->setPlainText(name);
    child<QPlainTextEdit>(&o, "textEdit_4")->setPlainText(mail);
    child<QWidget>(&o, "textEdit_9")->setFocus();

    child<QPushButton>(&o, "pushButton_2")->click();
    QCOMPARE(m_messages, QStringList{message});
    QCOMPARE(o.focusWidget(), child<QWidget>(&o, qPrintable(focus)));
    // Nothing was sent: no connection was even started.
    QVERIFY(!login.pendingSocket());
    QVERIFY(!login.loginSocket());
    QTest::qWait(50);
    QVERIFY(!peer.connection());
}

void TstOpros::requiredMessageIsPlainBox()
{
    // The real box this time, found on screen while it runs modally.
    const auto seam = Opros::showMessage;
    Opros::showMessage = m_productionMessage;

    Opros o;
    QTRY_VERIFY(o.isReady());
    o.show();
    QString text, title;
    QWidget *parent = &o;
    QMessageBox::Icon icon = QMessageBox::Warning;
    int buttons = 0;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        text = box->text();
        title = box->windowTitle();
        parent = box->parentWidget();
        icon = box->icon();
        buttons = box->buttons().size();
        QAbstractButton *ok = box->button(QMessageBox::Ok);
        if (ok)
            ok->click();
        else
            box->reject();
    });
    poll.start(20);
    child<QPushButton>(&o, "pushButton_2")->click();
    Opros::showMessage = seam;

    QCOMPARE(text, QStringLiteral("Поле 'предприятие'' не может быть пустым"));
    QCOMPARE(title, QString());
    QCOMPARE(parent, static_cast<QWidget *>(nullptr));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, 1);
    QCOMPARE(o.focusWidget(), child<QWidget>(&o, "textEdit_2"));
}

void TstOpros::unreadableFileSendsNothing()
{
    TestPeer peer;
    StartWindow login(QStringLiteral("127.0.0.1"), peer.port());
    Opros o(&login);
    QTRY_VERIFY(o.isReady());
    fillRequired(o);
    child<QPlainTextEdit>(&o, "textEdit_33")->setPlainText(QStringLiteral("/nonexistent/dir/scheme.pdf"));
    child<QPushButton>(&o, "pushButton_2")->click();
    QCOMPARE(m_messages, QStringList{QStringLiteral("Невозможно открыть файл")});
    QVERIFY(!login.pendingSocket());
    QTest::qWait(50);
    QVERIFY(!peer.connection());
}

void TstOpros::initialFormThroughLoginWindow()
{
    TestPeer peer;
    StartWindow login(QStringLiteral("127.0.0.1"), peer.port());
    Opros o(&login);
    QTRY_VERIFY(o.isReady());
    o.show();
    fillRequired(o);
    child<QPushButton>(&o, "pushButton_2")->click();
    QVERIFY(m_messages.isEmpty());

    // The press that starts the connection still sends, once connected.
    QVERIFY(peer.waitForFrames(1));
    quint8 code = 0;
    QVariantMap m;
    QVERIFY(decodeRequest(peer.frames.first(), &code, &m));
    QCOMPARE(code, quint8(2));

    QCOMPARE(m.size(), 58);
    for (const auto &k : expectedKeys()) {
        QVERIFY2(m.contains(k.first), qPrintable(k.first));
        QVERIFY2(int(m.value(k.first).userType()) == k.second,
                 qPrintable(k.first + QStringLiteral(" has type ") + m.value(k.first).typeName()));
    }
    QCOMPARE(m.value(QStringLiteral("name_predpe")).toString(), QStringLiteral("  ООО Ромашка "));
    QCOMPARE(m.value(QStringLiteral("fio")).toString(), QStringLiteral("Иванов И. И."));
    QCOMPARE(m.value(QStringLiteral("isStandart")).toString(), QStringLiteral("0"));
    QCOMPARE(m.value(QStringLiteral("rad")).toString(), QStringLiteral("1"));
    QCOMPARE(m.value(QStringLiteral("smazka")).toString(), QStringLiteral("1"));
    QCOMPARE(m.value(QStringLiteral("kreplenie")).toString(), QStringLiteral("1"));
    QCOMPARE(m.value(QStringLiteral("osob_sr1")).toBool(), false);
    QCOMPARE(m.value(QStringLiteral("osob_sr2")).toBool(), false);
    QCOMPARE(m.value(QStringLiteral("osob_sr3")).toBool(), false);
    // The empty text (count 0), not the null one (count 0xFFFFFFFF).
    QCOMPARE(m.value(QStringLiteral("file_name")).toString(), QString());
    QVERIFY(!m.value(QStringLiteral("file_name")).toString().isNull());
    QCOMPARE(m.value(QStringLiteral("tip_soed")).toString(), QStringLiteral("Соединительный выступ"));
    QCOMPARE(m.value(QStringLiteral("naim_soed")).toString(), QStringLiteral("1-1/ RF/ В1/ В2"));
    QCOMPARE(m.value(QStringLiteral("standart")).toString(), QStringLiteral("ГОСТ 12815 (трубопроводы)"));
    QCOMPARE(m.value(QStringLiteral("Dy")).toString(), QStringLiteral("10"));
    QCOMPARE(m.value(QStringLiteral("Py")).toString(), QStringLiteral("0,1 (1,0)"));
    QCOMPARE(m.value(QStringLiteral("material")).toString(), QStringLiteral("09Г2С"));
    QCOMPARE(m.value(QStringLiteral("mat_bolt")).toString(), QStringLiteral("сталь 35"));
    QCOMPARE(m.value(QStringLiteral("davl_rab_")).toString(), QStringLiteral("МПа"));
    QCOMPARE(m.value(QStringLiteral("diametr_")).toString(), QStringLiteral("M10"));
    // The standard flange's bolts come from the table row of size 10, 0,1 (1,0).
    QCOMPARE(m.value(QStringLiteral("diametr")).toString(), QStringLiteral("М10"));
    QCOMPARE(m.value(QStringLiteral("count_of_bolt")).toInt(), 4);
    QCOMPARE(m.value(QStringLiteral("D_")).toString(), QString());

    // No drawing: nothing follows the map.
    QTest::qWait(200);
    QCOMPARE(peer.frames.size(), 1);
    QVERIFY(peer.rawData.isEmpty());
    // The dialog stays open and filled.
    QVERIFY(o.isVisible());
    QCOMPARE(child<QPlainTextEdit>(&o, "textEdit_3")->toPlainText(), QStringLiteral("Иванов И. И."));
}

void TstOpros::drawingFollowsMap()
{
    QTemporaryDir dir;
    const QString path = makeFile(dir, QStringLiteral("scheme.pdf"), 3000, true);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray content = f.readAll();

    TestPeer peer;
    StartWindow login(QStringLiteral("127.0.0.1"), peer.port());
    Opros o(&login);
    QTRY_VERIFY(o.isReady());
    fillRequired(o);
    child<QRadioButton>(&o, "radioButton_2")->click();
    child<QPlainTextEdit>(&o, "textEdit_33")->setPlainText(path);
    child<QPushButton>(&o, "pushButton_2")->click();

    QVERIFY(peer.waitForFrames(2));
    quint8 code = 0;
    QVariantMap m;
    QVERIFY(decodeRequest(peer.frames.at(0), &code, &m));
    QCOMPARE(code, quint8(2));
    QCOMPARE(m.size(), 58);
    QCOMPARE(m.value(QStringLiteral("file_name")).toString(), QStringLiteral("scheme.pdf"));
    QCOMPARE(m.value(QStringLiteral("isStandart")).toString(), QStringLiteral("1"));

    const QByteArray header = peer.frames.at(1);
    QCOMPARE(TestPeer::code(header), quint8(4));
    wire::Reader r = TestPeer::argument(header);
    QString name;
    qint64 size = 0;
    QVERIFY(r.readString(&name));
    QVERIFY(r.readI64(&size));
    QCOMPARE(name, QStringLiteral("scheme.pdf"));
    QCOMPARE(size, qint64(3000));
    QTRY_COMPARE(peer.rawData.size(), 3000);
    QCOMPARE(peer.rawData, content);
}

void TstOpros::mainWindowSendsCode9_data()
{
    QTest::addColumn<quint8>("answer");
    QTest::addColumn<QString>("shown");
    QTest::newRow("stored") << quint8(wire::QuestionnaireStored) << QStringLiteral("Опросный лист отправлен.");
    QTest::newRow("refused") << quint8(wire::QuestionnaireFailed)
                             << QStringLiteral("Ошибка. Повторите отправку позднее.");
}

// The server answers once the file is in; that answer, a refusal above all,
// must reach the user after "Все данные отправлены на сервер.".
void TstOpros::mainWindowSendsCode9()
{
    QFETCH(quint8, answer);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    const QString path = makeFile(dir, QStringLiteral("узел.dwg"), 7000, true);

    TestPeer peer;
    QTcpSocket socket;
    QVERIFY(connectTo(peer, &socket));
    MainWindow main(&socket, QStringLiteral("user"), QStringLiteral("pass"), nullptr, QVariantMap());
    // The main window asks for its tables first; that request is not ours.
    QVERIFY(peer.waitForFrames(1));
    QCOMPARE(TestPeer::code(peer.frames.first()), quint8(wire::TablesRequest));
    const int before = peer.frames.size();

    Opros o(&main);
    QTRY_VERIFY(o.isReady());
    fillRequired(o);
    child<QPlainTextEdit>(&o, "textEdit_33")->setPlainText(path);
    child<QPushButton>(&o, "pushButton_2")->click();

    QVERIFY(peer.waitForFrames(before + 2));
    quint8 code = 0;
    QVariantMap m;
    QVERIFY(decodeRequest(peer.frames.at(before), &code, &m));
    QCOMPARE(code, quint8(9));
    QCOMPARE(m.size(), 58);
    QCOMPARE(m.value(QStringLiteral("file_name")).toString(), QStringLiteral("узел.dwg"));
    QCOMPARE(TestPeer::code(peer.frames.at(before + 1)), quint8(4));
    QTRY_COMPARE(peer.rawData.size(), 7000);
    QPointer<Message> status = main.statusDialog();
    QVERIFY(status);
    QTRY_COMPARE(status->messageText(), QStringLiteral("Все данные отправлены на сервер."));
    QVERIFY(status->isCloseEnabled());

    peer.reply(QByteArray(1, char(answer)));
    QTRY_COMPARE(status->messageText(), shown);
    QVERIFY(status->isVisible());
    QVERIFY(status->isCloseEnabled());
    QVERIFY(!main.statusDialog());
}

// A map too large for one frame is refused with a message, and its file stays
// home: sent alone the server would file it with an earlier questionnaire.
void TstOpros::refusedMapTakesNoFile()
{
    QTemporaryDir dir;
    const QString path = makeFile(dir, QStringLiteral("узел.dwg"), 700, true);
    TestPeer peer;
    QTcpSocket socket;
    QVERIFY(connectTo(peer, &socket));
    MainWindow main(&socket, QStringLiteral("user"), QStringLiteral("pass"), nullptr, QVariantMap());
    QVERIFY(peer.waitForFrames(1));

    Opros o(&main);
    QTRY_VERIFY(o.isReady());
    fillRequired(o);
    child<QPlainTextEdit>(&o, "textEdit_2")->setPlainText(QString(40000, QChar(0x0416)));
    child<QPlainTextEdit>(&o, "textEdit_33")->setPlainText(path);
    child<QPushButton>(&o, "pushButton_2")->click();
    QTest::qWait(200);
    QCOMPARE(peer.frames.size(), 1);
    QVERIFY(peer.rawData.isEmpty());
    bool told = false;
    for (Message *m : main.findChildren<Message *>())
        told = told || m->messageText().startsWith(QStringLiteral("Запрос слишком велик"));
    QVERIFY(told);
}

// Opens the questionnaire with the given button and closes it again; returns
// whether a modal Opros with `owner` as parent appeared and outlived an Esc.
static bool opensModalQuestionnaire(QWidget *owner, QAbstractButton *button)
{
    QPointer<Opros> opened;
    bool modal = false;
    bool childOfOwner = false;
    bool keptOnEsc = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *o = qobject_cast<Opros *>(QApplication::activeModalWidget());
        if (!o)
            return;
        poll.stop();
        opened = o;
        modal = o->isModal();
        childOfOwner = o->parentWidget() == owner;
        // A stray Esc must not throw the typed sheet away: only "Выход" or
        // the window's close button end it.
        auto *field = child<QPlainTextEdit>(o, "textEdit_2");
        field->setPlainText("typed");
        QTest::keyClick(field, Qt::Key_Escape);
        keptOnEsc = o->isVisible();
        child<QPushButton>(o, "pushButton_EXIT")->click();
    });
    poll.start(20);
    button->click();
    // Closed and gone once exec() has returned.
    return modal && childOfOwner && keptOnEsc && opened.isNull() && !owner->findChild<Opros *>();
}

void TstOpros::loginWindowOpensModalQuestionnaire()
{
    StartWindow login(QStringLiteral("127.0.0.1"), 1);
    login.show();
    QVERIFY(opensModalQuestionnaire(&login, child<QPushButton>(&login, "TestBut")));
}

void TstOpros::mainWindowOpensModalQuestionnaire()
{
    MainWindow main(nullptr, QStringLiteral("user"), QStringLiteral("pass"), nullptr, QVariantMap());
    main.show();
    QPushButton *button = child<QPushButton>(&main, "pushButton");
    QCOMPARE(button->text(), QStringLiteral("Заполнить опросный лист"));
    QVERIFY(opensModalQuestionnaire(&main, button));
}

// Receives the links the dialog hands to the desktop.
class LinkCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

void TstOpros::linksOpenWithDesktopHandler()
{
    LinkCatcher catcher;
    for (const char *scheme : {"mailto", "http", "https"})
        QDesktopServices::setUrlHandler(QLatin1String(scheme), &catcher, "open");
    Opros o;
    QList<QUrl> expected;
    for (const char *name : {"label_42", "label_43"}) {
        QLabel *link = child<QLabel>(&o, name);
        const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
        const QRegularExpressionMatch m = href.match(link->text());
        QVERIFY2(m.hasMatch(), name);
        expected.append(QUrl(m.captured(1)));
        QVERIFY(QMetaObject::invokeMethod(link, "linkActivated", Q_ARG(QString, m.captured(1))));
    }
    for (const char *scheme : {"mailto", "http", "https"})
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    QCOMPARE(catcher.urls, expected);
    QCOMPARE(catcher.urls.first().scheme(), QStringLiteral("mailto"));
}

// Scrolling the form past a spin box must not change its value.
void TstOpros::wheelScrollsPastUnfocusedFields()
{
    Opros o;
    o.show();
    QVERIFY(QTest::qWaitForWindowExposed(&o));
    auto *spin = o.findChild<QDoubleSpinBox *>("doubleSpinBox_4");
    QVERIFY(spin);
    const double before = spin->value();
    const auto wheel = [spin] {
        const QPoint at = spin->rect().center();
        QWheelEvent e(at, spin->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(spin, &e);
    };
    wheel();
    QCOMPARE(spin->value(), before);
    spin->setFocus();
    QTRY_VERIFY(spin->hasFocus());
    wheel();
    QVERIFY(spin->value() != before);
}

QTEST_MAIN(TstOpros)
#include "tst_opros.moc"
