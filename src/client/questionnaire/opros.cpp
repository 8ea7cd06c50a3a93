#include "questionnaire/opros.h"
#include "ui_opros.h"

#include "app/wheelguard.h"
#include "questionnaire/questionnairesender.h"
#include "wire.h"

#include <QDebug>
#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTimerEvent>
#include <QUrl>
#include <QVBoxLayout>

#include <iterator>

namespace {

const char kJointTypes[] =
    "Соединительный выступ;Выступ-впадина;Шип-паз;Паз - гладкая поверхность;"
    "Замок (под плав головку теплообменника);Замок;Другой;Под резьбую пробку";
const char kStandards[] =
    "ГОСТ 12815 (трубопроводы);ГОСТ 28759 (сосуды и аппараты);ASME B 16.5;ASME B 16.47A;"
    "ASME B 16.47B;DIN/EN 1092";
const char kFlangeMaterials[] =
    "09Г2С;Сталь 20;40х;15хм;12х18н9т;10х17н13м3т (типа ЭИ-432);15х5м;15х18н12с4тю (типа ЭИ-654);"
    "06хн28мдат (типа ЭИ-954);Другой";
const char kBoltMaterials[] =
    "сталь 35;;сталь 40;;12х18н10т;;10х17н13м2т;;45х14н14в2м;;20х13;;35х;;40х;;38ха;;37х18н8г8мбф;;"
    "30хма;;25х1мф;;д16;;25х2м1ф;;20х1мф1бр;;18х12вмбрф;;14х17н2;;07х16н6;;хн35вт;;08х15н24ва4тр";
const char kPressureUnits[] = "МПа;кгс/см2;класс давления";
const char kBoltDiameters[] = "M10;M12;M16;M20;M24;M27;M30;M33;M36;M39;M45";

const char kSizesGost12815[] =
    "10;15;20;25;32;40;50;65;80;100;125;150;175;200;225;250;300;350;400;450;500;600;700;800;900;"
    "1000;1200;1400;1600;1800;2000;2200;2400;2600;2800;3000";
const char kSizesGost28759[] =
    "400;450;500;550;600;650;700;800;900;1000;1100;1200;1300;1400;1500;1600;1700;1800;1900;2000;"
    "2200;2400;2600;2800;3000;3200;3400;3600;3800;4000";
const char kSizesDin[] =
    "10;15;20;25;32;40;50;65;80;100;125;150;200;250;300;350;400;450;500;600;700;800;900;1000;1200;"
    "1400;1600;1800;2000;2200;2400;2600;2800;3000";
const char kSizesInchSmall[] =
    "3/8\"(10);1/2\"(15);3/4\"(20);1\"(25);1 1/4\"(32);1 1/2\"(40);2\"(50);2 1/2\"(65);3\"(80);"
    "3 1/2\"(90);4\"(100);5\"(125);6\"(150);8\"(200);10\"(250);12\"(300);14\"(350);16\"(400);"
    "18\"(450);20\"(500);22\"(550);24\"(600)";
const char kSizesInchLarge[] =
    "26\"(650);28\"(700);30\"(750);32\"(800);34\"(850);36\"(900);38\"(950);40\"(1000);42\"(1050);"
    "44\"(1100);46\"(1150);48\"(1200);50\"(1250);52\"(1300);54\"(1350);56\"(1400);58\"(1450);60\"(1500)";
const char kPressuresMetric[] =
    "0,1 (1,0);0,25 (2,5);0,6 (6,0);1,0 (10,0);1,6 (16,0);2,5 (25,0);4,0 (40,0);6,3 (63,0);"
    "10,0 (100,0);16,0 (160,0);20,0 (200,0);25,0 (250,0);32,0 (320,0);40,0 (400,0)";
const char kPressuresClass[] = "150#;300#;400#;600#;900#;1500#;2500#";

const char kMetricUnit[] = "МПа (кгс/см )";
const char kClassUnit[] = "#класс давления";
// The superscript "2" sits in the gap after this part of the metric caption.
const char kMetricUnitBeforeGap[] = "МПа (кгс/см";

const char kOtherMaterial[] = "Другой";
constexpr int kOtherMaterialIndex = 9;

// Joint types with a picture, and the code each writes into textEdit_19.
const char *const kJointCodes[] = {"1-1/ RF/ В1/ В2", "2-3/ LMF/ E-F", "4-5/ STG/ C-D"};

// Joint pictures: path, the box they are fitted into, and where the D and D1
// values go. The tables of one joint type do not give the same feature: ASME
// B16.5 and ГОСТ 28759 give the recess or groove (the vessel flanges' D3 and
// D3 - 2a, 1 mm wider than their spigot or tongue), the others the spigot or
// tongue, and EN 1092-1 lists the tongue's inner diameter first; each
// standard gets the picture whose letters name what its table gives. The
// bore D is dimensioned above the joint; on tongue-groove pictures D is a
// facing diameter below it, its value right of the centre line, clear of the
// caption underneath.
struct JointPicture
{
    const char *path;
    int width;
    int height;
    QPoint d;
    QPoint d1;
};
const JointPicture kRaisedFacePicture = {":/res/1.jpg", 372, 291, {156, 75}, {156, 261}};
const JointPicture kSpigotPicture = {":/res/2-3.jpg", 371, 291, {156, 75}, {156, 261}};
const JointPicture kRecessPicture = {":/res/2-3 ASME.jpg", 371, 291, {156, 75}, {156, 261}};
const JointPicture kTonguePicture = {":/res/4-5.jpg", 371, 291, {180, 235}, {156, 261}};
const JointPicture kGroovePicture = {":/res/4-5 ASME.jpg", 371, 291, {180, 235}, {156, 261}};
const JointPicture kTongueInnerFirstPicture = {":/res/4-5 DIN.jpg", 371, 291, {156, 261}, {180, 235}};
const JointPicture &jointPicture(int jointType, int standard)
{
    const bool femaleSide = standard == flanges::AsmeB165 || standard == flanges::Gost28759;
    if (jointType == flanges::MaleFemale)
        return femaleSide ? kRecessPicture : kSpigotPicture;
    if (jointType == flanges::TongueGroove) {
        if (femaleSide)
            return kGroovePicture;
        return standard == flanges::DinEn1092 ? kTongueInnerFirstPicture : kTonguePicture;
    }
    return kRaisedFacePicture;
}

constexpr int kOtherJointType = 6;

QStringList splitList(const char *text, const char *separator = ";")
{
    return QString::fromUtf8(text).split(QString::fromUtf8(separator));
}

} // namespace

std::function<QString(QWidget *, const QString &, const QString &, const QString &)> Opros::openFileName =
    [](QWidget *parent, const QString &caption, const QString &dir, const QString &filter) {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    };

bool Opros::buildTables = true;

std::function<bool(QWidget *, const QString &, const QString &)> Opros::askYesNo =
    [](QWidget *parent, const QString &title, const QString &text) {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::NoButton)
            == QMessageBox::Yes;
    };

std::function<void(const QString &)> Opros::showMessage = [](const QString &text) {
    QMessageBox box;
    box.setText(text);
    box.exec();
};

Opros::Opros(QWidget *parent)
    : QDialog(parent), ui(new Ui::Opros)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    guardWheel(this);
    // A style sheet on the opening window stops the dialog's font from
    // reaching its children; hand it down explicitly.
    for (QWidget *w : findChildren<QWidget *>()) {
        if (!w->testAttribute(Qt::WA_SetFont))
            w->setFont(font());
    }

    ui->comboBox->addItems(splitList(kJointTypes));
    ui->comboBox_2->addItems(splitList(kStandards));
    ui->comboBox_6->addItems(splitList(kFlangeMaterials));
    ui->comboBox_7->addItems(splitList(kBoltMaterials, ";;"));
    ui->comboBox_8->addItems(splitList(kPressureUnits));
    ui->comboBox_9->addItems(splitList(kBoltDiameters));

    // Long entries do not fit the narrow fields: every field shows its text as tool tip.
    const QList<QPlainTextEdit *> edits = findChildren<QPlainTextEdit *>();
    for (QPlainTextEdit *e : edits) {
        if (e != ui->textEdit_2)
            connect(e, SIGNAL(textChanged()), this, SLOT(on_textEdit_2_textChanged()));
    }
    // comboBox itself reaches the text slot through its name.
    for (QComboBox *c : {ui->comboBox_2, ui->comboBox_3, ui->comboBox_4, ui->comboBox_6,
                         ui->comboBox_7, ui->comboBox_8})
        connect(c, SIGNAL(currentTextChanged(QString)), this, SLOT(on_comboBox_currentIndexChanged(QString)));
    // The picture echoes every typed flange dimension, not only the first one.
    for (QPlainTextEdit *e : {ui->textEdit_21, ui->textEdit_22, ui->textEdit_23, ui->textEdit_24,
                              ui->textEdit_25})
        connect(e, SIGNAL(textChanged()), this, SLOT(on_textEdit_20_textChanged()));

    if (buildTables)
        m_tables = flanges::buildFlangeTables(flanges::readTableData(flanges::resourceDir()));

    ui->label_33->installEventFilter(this);
    QFont small = ui->label_55->font();
    small.setPointSize(qMax(6, small.pointSize() - 2));
    ui->label_55->setFont(small);

    // Adding the first entries above already picked joint type 0 and standard 0
    // through the slots; apply them explicitly in case the order ever changes.
    on_comboBox_currentIndexChanged(ui->comboBox->currentIndex());
    on_comboBox_2_currentIndexChanged(ui->comboBox_2->currentIndex());
    setStandardMode(true);
    arrangeSections(true);

    m_startTimer = startTimer(10);
}

Opros::~Opros()
{
    delete ui;
}

void Opros::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_startTimer) {
        QDialog::timerEvent(event);
        return;
    }
    on_radioButton_7_clicked();
    killTimer(m_startTimer);
    m_startTimer = 0;
    m_ready = true;
    FlangeLookup();
}

bool Opros::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->label_33 && event->type() == QEvent::Resize)
        placeSuperscript();
    return QDialog::eventFilter(watched, event);
}

void Opros::placeSuperscript()
{
    const QFontMetrics fm(ui->label_33->font());
    const int x = fm.horizontalAdvance(QString::fromUtf8(kMetricUnitBeforeGap));
    const int top = (ui->label_33->height() - fm.height()) / 2;
    ui->label_55->adjustSize();
    ui->label_55->move(x, qMax(0, top - 2));
}

// ---- lists and modes

void Opros::on_comboBox_currentIndexChanged(int index)
{
    const bool hasPicture = index >= 0 && index < int(std::size(kJointCodes));
    if (hasPicture) {
        showJointPicture();
        ui->textEdit_19->setPlainText(QString::fromUtf8(kJointCodes[index]));
        ui->textEdit_19->setReadOnly(true);
        ui->textEdit_19->setEnabled(false);
        ui->widget_mode->setEnabled(true);
        for (QWidget *w : {ui->D, ui->D1, ui->D2, ui->d, ui->h2})
            w->show();
        ui->h2_2->setVisible(index != 0);
        return;
    }

    ui->label_30->clear();
    ui->textEdit_19->clear();
    if (index == kOtherJointType) {
        // The user names the joint type in the code field.
        ui->textEdit_19->setReadOnly(false);
        ui->textEdit_19->setEnabled(true);
        ui->textEdit_19->setFocus();
    } else {
        ui->textEdit_19->setReadOnly(true);
        ui->textEdit_19->setEnabled(false);
    }
    ui->widget_mode->setEnabled(false);
    ui->radioButton_2->setChecked(true);
    setStandardMode(false);
    for (QWidget *w : {ui->D, ui->D1, ui->D2, ui->d, ui->h2, ui->h2_2})
        w->hide();
}

void Opros::on_comboBox_currentIndexChanged(const QString &text)
{
    if (auto *box = qobject_cast<QComboBox *>(sender()))
        box->setToolTip(text);
    if (m_ready)
        FlangeLookup();
}

void Opros::on_comboBox_2_currentIndexChanged(int index)
{
    const char *sizes = kSizesGost12815;
    bool metric = true;
    switch (index) {
    case 1: sizes = kSizesGost28759; break;
    case 2: sizes = kSizesInchSmall; metric = false; break;
    case 3:
    case 4: sizes = kSizesInchLarge; metric = false; break;
    case 5: sizes = kSizesDin; break;
    default: break;
    }
    ui->comboBox_3->clear();
    ui->comboBox_4->clear();
    ui->comboBox_3->addItems(splitList(sizes));
    ui->comboBox_4->addItems(splitList(metric ? kPressuresMetric : kPressuresClass));
    ui->label_33->setText(QString::fromUtf8(metric ? kMetricUnit : kClassUnit));
    ui->label_55->setVisible(metric);
    placeSuperscript();
    const int joint = ui->comboBox->currentIndex();
    if (joint >= 0 && joint < int(std::size(kJointCodes)))
        showJointPicture();
}

void Opros::showJointPicture()
{
    const JointPicture &p = jointPicture(ui->comboBox->currentIndex(), ui->comboBox_2->currentIndex());
    const QPixmap pix(QString::fromUtf8(p.path));
    if (pix.isNull())
        ui->label_30->clear();
    else
        ui->label_30->setPixmap(pix.scaled(p.width, p.height, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    ui->D->move(p.d);
    ui->D1->move(p.d1);
}

void Opros::on_comboBox_6_currentIndexChanged(int index)
{
    if (index == kOtherMaterialIndex) {
        ui->comboBox_6->setEditable(true);
        // The typed material goes out as typed, not completed into a listed one.
        ui->comboBox_6->setCompleter(nullptr);
        return;
    }
    ui->comboBox_6->setEditable(false);
    ui->comboBox_6->setItemText(kOtherMaterialIndex, QString::fromUtf8(kOtherMaterial));
}

void Opros::setStandardMode(bool standard)
{
    ui->widget_dims->setEnabled(!standard);
    ui->widget_standard->setEnabled(standard);
    ui->comboBox_2->setEnabled(standard);
    ui->comboBox_9->setVisible(!standard);
    ui->textEdit_32->setVisible(standard);
    ui->spinBox->setEnabled(!standard);
}

void Opros::on_radioButton_clicked()
{
    setStandardMode(true);
    if (m_ready)
        FlangeLookup();
}

void Opros::on_radioButton_2_clicked()
{
    setStandardMode(false);
    if (m_ready)
        FlangeLookup();
}

void Opros::on_radioButton_12_clicked()
{
    FlangeLookup();
}

void Opros::on_radioButton_13_clicked()
{
    FlangeLookup();
}

void Opros::on_textEdit_20_textChanged()
{
    FlangeLookup();
}

void Opros::on_textEdit_2_textChanged()
{
    if (auto *e = qobject_cast<QPlainTextEdit *>(sender()))
        e->setToolTip(e->toPlainText());
}

// ---- flange picture

void Opros::FlangeLookup()
{
    flanges::FlangeLookupInput in;
    in.jointType = ui->comboBox->currentIndex();
    in.standard = ui->comboBox_2->currentIndex();
    in.standardFlange = ui->radioButton->isChecked();
    in.size = ui->comboBox_3->currentText();
    in.pressure = ui->comboBox_4->currentText();
    in.button12Checked = ui->radioButton_12->isChecked();
    in.typedD = ui->textEdit_20->toPlainText();
    in.typedD1 = ui->textEdit_21->toPlainText();
    in.typedD2 = ui->textEdit_22->toPlainText();
    in.typedd = ui->textEdit_23->toPlainText();
    in.typedH1 = ui->textEdit_24->toPlainText();
    in.typedH2 = ui->textEdit_25->toPlainText();
    showFlangeLookup(flanges::lookupFlange(m_tables, in));
}

void Opros::showFlangeLookup(const flanges::FlangeLookupResult &r)
{
    ui->D->setText(r.D);
    ui->D1->setText(r.D1);
    ui->D2->setText(r.D2);
    ui->d->setText(r.d);
    ui->h2->setText(r.h2);
    if (r.setH2_2)
        ui->h2_2->setText(r.h2_2);
    if (r.setBolts) {
        ui->spinBox->setValue(r.boltCount);
        ui->textEdit_32->setPlainText(r.boltDiameter);
    }
    if (r.setVariantTexts) {
        ui->radioButton_12->setText(r.button12Text);
        ui->radioButton_13->setText(r.button13Text);
    }
    if (r.variantGroup != flanges::FlangeLookupResult::Group::Unchanged)
        ui->groupBox_17->setVisible(r.variantGroup == flanges::FlangeLookupResult::Group::Shown);
}

// ---- orientation

void Opros::arrangeSections(bool landscape)
{
    QWidget *contents = ui->scrollAreaWidgetContents;
    // Removing the layout leaves the sections in place as children of the page.
    delete contents->layout();

    // The construction column only needs the joint picture's width; the
    // others take the rest. In portrait every section spans the page.
    ui->groupBox_construction->setMaximumWidth(landscape ? 410 : QWIDGETSIZE_MAX);
    ui->label_heading->setMaximumWidth(landscape ? 410 : QWIDGETSIZE_MAX);
    if (landscape) {
        auto *row = new QHBoxLayout(contents);
        const QList<QList<QWidget *>> columns = {
            {ui->label_heading, ui->groupBox_construction},
            {ui->groupBox_contact, ui->groupBox_equipment},
            {ui->groupBox_conditions, ui->groupBox_extra},
        };
        for (const QList<QWidget *> &column : columns) {
            auto *col = new QVBoxLayout;
            for (QWidget *w : column)
                col->addWidget(w);
            col->addStretch(1);
            row->addLayout(col, column.first() == ui->label_heading ? 0 : 1);
        }
    } else {
        auto *col = new QVBoxLayout(contents);
        for (QWidget *w : {static_cast<QWidget *>(ui->label_heading), static_cast<QWidget *>(ui->groupBox_contact),
                           static_cast<QWidget *>(ui->groupBox_equipment), static_cast<QWidget *>(ui->groupBox_conditions),
                           static_cast<QWidget *>(ui->groupBox_construction), static_cast<QWidget *>(ui->groupBox_extra)})
            col->addWidget(w);
        col->addStretch(1);
    }
}

void Opros::centreOnDesktop()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize desk = screen->virtualSize();
    move((desk.width() - width()) / 2, (desk.height() - height() - 60) / 2);
}

void Opros::on_radioButton_7_clicked()
{
    arrangeSections(true);
    setFixedSize(1024, 700);
    centreOnDesktop();
}

void Opros::on_radioButton_8_clicked()
{
    arrangeSections(false);
    setFixedSize(667, 700);
    centreOnDesktop();
}

// ---- drawing, sending, links

void Opros::on_pushButton_3_clicked()
{
    QString path;
    for (;;) {
        path = openFileName(this, QStringLiteral("Выбор файла"), QString(), QStringLiteral("All files (*)"));
        if (path.isEmpty() || QFileInfo(path).size() <= kMaxDrawingBytes)
            break;
        if (!askYesNo(this, QStringLiteral("Больщой размер файла"),
                      QStringLiteral("Файл не должен превышать 2 Мб.\nХотите выбрать другой?"))) {
            path.clear();
            break;
        }
    }
    ui->textEdit_33->setPlainText(path);
}

QVariantMap Opros::questionnaireData() const
{
    QVariantMap m;
    auto text = [&m](const char *key, const QPlainTextEdit *e) {
        m.insert(QLatin1String(key), e->toPlainText());
    };
    text("name_predpe", ui->textEdit_2);
    text("fio", ui->textEdit_3);
    text("e-mail", ui->textEdit_4);
    text("city", ui->textEdit_5);
    text("dolzhn", ui->textEdit_6);
    text("tel", ui->textEdit_7);
    text("name_teh", ui->textEdit_8);
    text("oborud", ui->textEdit_9);
    text("uplotn", ui->textEdit_10);
    text("predpr_potr", ui->textEdit_11);
    text("zavod_izg", ui->textEdit_12);
    text("razrab", ui->textEdit_13);
    m.insert(QStringLiteral("perepad_ot"), ui->spinBox_2->value());
    m.insert(QStringLiteral("perepad_do"), ui->spinBox_3->value());
    m.insert(QStringLiteral("perepad_ot_trub"), ui->spinBox_4->value());
    m.insert(QStringLiteral("perepad_do_mezhtrub"), ui->spinBox_5->value());
    m.insert(QStringLiteral("davl_rab"), ui->doubleSpinBox->value());
    m.insert(QStringLiteral("davl_isp"), ui->doubleSpinBox_7->value());
    m.insert(QStringLiteral("davl_rab_"), ui->comboBox_8->currentText());
    m.insert(QStringLiteral("davl_rab_trub"), ui->doubleSpinBox_2->value());
    m.insert(QStringLiteral("davl_rab_mezhtrub"), ui->doubleSpinBox_3->value());
    text("sreda_sostav", ui->textEdit_15);
    text("sreda_sostav_trub", ui->textEdit_16);
    text("sreda_sostav_mezhtrub", ui->textEdit_26);
    m.insert(QStringLiteral("osob_sr1"), ui->checkBox_9->isChecked());
    m.insert(QStringLiteral("osob_sr2"), ui->checkBox_10->isChecked());
    m.insert(QStringLiteral("osob_sr3"), ui->checkBox_11->isChecked());
    text("pro4ee", ui->textEdit_17);
    text("srok", ui->textEdit_18);
    m.insert(QStringLiteral("tip_soed"), ui->comboBox->currentText());
    text("naim_soed", ui->textEdit_19);
    m.insert(QStringLiteral("rad"), ui->radioButton_12->isChecked() ? QStringLiteral("0") : QStringLiteral("1"));
    m.insert(QStringLiteral("isStandart"), ui->radioButton->isChecked() ? QStringLiteral("0") : QStringLiteral("1"));
    text("D_", ui->textEdit_20);
    text("D1", ui->textEdit_21);
    text("D2", ui->textEdit_22);
    text("d", ui->textEdit_23);
    text("h1", ui->textEdit_24);
    text("h2", ui->textEdit_25);
    text("Dnar", ui->textEdit_27);
    text("Dvn", ui->textEdit_28);
    text("h", ui->textEdit_35);
    m.insert(QStringLiteral("standart"), ui->comboBox_2->currentText());
    m.insert(QStringLiteral("Dy"), ui->comboBox_3->currentText());
    m.insert(QStringLiteral("Py"), ui->comboBox_4->currentText());
    m.insert(QStringLiteral("material"), ui->comboBox_6->currentText());
    text("diametr", ui->textEdit_32);
    m.insert(QStringLiteral("diametr_"), ui->comboBox_9->currentText());
    m.insert(QStringLiteral("smazka"), ui->radioButton_3->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    m.insert(QStringLiteral("glubina"), ui->doubleSpinBox_5->value());
    m.insert(QStringLiteral("glubina_pop"), ui->doubleSpinBox_6->value());
    text("nomer", ui->textEdit_31);
    m.insert(QStringLiteral("mat_bolt"), ui->comboBox_7->currentText());
    m.insert(QStringLiteral("count_of_bolt"), ui->spinBox->value());
    m.insert(QStringLiteral("kreplenie"), ui->radioButton_5->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    m.insert(QStringLiteral("neploskostnost"), ui->doubleSpinBox_4->value());
    text("dop_info", ui->textEdit_34);
    m.insert(QStringLiteral("file_name"), QStringLiteral("")); // empty, not null, on the wire
    return m;
}

void Opros::on_pushButton_2_clicked()
{
    const struct
    {
        QPlainTextEdit *edit;
        const char *message;
    } required[] = {
        {ui->textEdit_2, "Поле 'предприятие'' не может быть пустым"},
        {ui->textEdit_3, "Поле 'Ф.И.О.'' не может быть пустым"},
        {ui->textEdit_4, "Поле 'e-mail'' не может быть пустым"},
    };
    for (const auto &r : required) {
        // Only a truly empty field is refused; blanks count as an answer.
        if (r.edit->toPlainText().isEmpty()) {
            showMessage(QString::fromUtf8(r.message));
            r.edit->setFocus();
            return;
        }
    }

    QVariantMap data = questionnaireData();
    const QString path = ui->textEdit_33->toPlainText();
    if (!path.isEmpty()) {
        QFile check(path);
        if (!check.open(QIODevice::ReadOnly)) {
            showMessage(QStringLiteral("Невозможно открыть файл"));
            return;
        }
        check.close();
        data.insert(QStringLiteral("file_name"), QFileInfo(path).fileName());
    }

    const std::unique_ptr<QuestionnaireSender> out = QuestionnaireSender::forWindow(parent());
    if (!out) {
        qWarning() << "questionnaire opened without a window to send through";
        return;
    }
    // A map too large for one frame is refused by the window with a message;
    // its file must not go up alone, the server would file it elsewhere.
    const bool fits = wire::fitsOnWire(wire::requestFrame(quint8(wire::QuestionnaireRequest), data));
    out->sendQuestionnaire(data);
    if (fits && !path.isEmpty())
        out->sendFile(path);
}

void Opros::keyPressEvent(QKeyEvent *event)
{
    // A long sheet: a stray Esc must not throw away what was typed. "Выход"
    // and the window's close button still end it.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Opros::on_pushButton_EXIT_clicked()
{
    close();
}

void Opros::on_label_42_linkActivated(const QString &link)
{
    QDesktopServices::openUrl(QUrl(link));
}

void Opros::on_label_43_linkActivated(const QString &link)
{
    QDesktopServices::openUrl(QUrl(link));
}
