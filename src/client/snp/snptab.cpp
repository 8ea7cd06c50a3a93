#include "snp/snptab.h"
#include "order/orderrules.h"
#include "putg/putgwidgets.h"
#include "ui_snptab.h"

#include "app/tabhost.h"
#include "app/wholetext.h"
#include "materials.h"
#include "snpoptions.h"

#include <QDebug>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QRegExp>
#include <QRegExpValidator>
#include <QSignalBlocker>

namespace {
// Width of the gasket picture label; with the D2 list beside the other lists
// it gets narrower and the diameter labels move left with it. The drawing is
// as wide as the narrow label and sits flush right, so the value column and
// the thickness marks keep their place on it in both layouts.
constexpr int kPictureWidth = 300;
constexpr int kPictureWidthWithD2 = 263;
constexpr int kDrawingWidth = kPictureWidthWithD2;

const QString kOn = QStringLiteral("1");

QString at(const QStringList &l, int i)
{
    return i < l.size() ? l.at(i) : QString();
}

QListWidgetItem *firstEndingWith(QListWidget *w, const QString &tail)
{
    for (int i = 0; i < w->count(); ++i) {
        if (w->item(i)->text().endsWith(tail, Qt::CaseInsensitive))
            return w->item(i);
    }
    return nullptr;
}

void fillCombo(QComboBox *box, const QStringList &entries)
{
    const QSignalBlocker block(box);
    box->clear();
    box->addItems(entries);
    box->setCurrentIndex(0);
}

materials::Pick pickOf(const QComboBox *box)
{
    materials::Pick p;
    p.index = box->currentIndex();
    p.count = box->count();
    p.text = box->currentText();
    return p;
}

bool is(const QString &a, const char *b)
{
    return a == QLatin1String(b);
}
} // namespace

SnpTab::SnpTab(TabHost *host, QWidget *parent)
    : QWidget(parent), ui(new Ui::SnpTab), m_host(host)
{
    ui->setupUi(this);
    keepTextEditWhole(ui->SNP_Description);

    // Lists come from the core tables; nothing may react before the start state.
    fillCombo(ui->SNP_ModElem, snp::modElemEntries());
    fillCombo(ui->SNP_Perem_Box, snp::jumperLetters());
    fillCombo(ui->SNPFixBox, snp::fixEntries());
    fillCombo(ui->SNP_In_Materials, materials::ringList());
    fillCombo(ui->SNP_K_Materials, materials::stripList());
    fillCombo(ui->SNP_Out_Materials, materials::ringList());
    {
        const QSignalBlocker block(ui->SNP_Out_Materials);
        ui->SNP_Out_Materials->setCurrentIndex(materials::kCarbonSteelRing);
    }

    for (QLineEdit *e : {ui->D1_Edit, ui->D2_Edit, ui->D3_Edit, ui->D4_Edit})
        putgui::acceptSizesOnly(e);

    for (QComboBox *box : {ui->SNP_In_Materials, ui->SNP_K_Materials, ui->SNP_Out_Materials}) {
        connect(box, SIGNAL(currentIndexChanged(int)), this, SLOT(SNPCreateDefinition()));
        connect(box, SIGNAL(currentIndexChanged(QString)), this, SLOT(ComboBoxSetEditable()));
        connect(box, SIGNAL(editTextChanged(QString)), this, SLOT(ComboBoxMaterialEnter()));
    }
    connect(ui->SNP_In_Materials, SIGNAL(currentIndexChanged(int)), this, SLOT(SetCarcMaterials()));
    connect(ui->SNPFixBox, SIGNAL(currentIndexChanged(int)), this, SLOT(SNPCreateDefinition()));
    connect(ui->SNP_Perem_Depth_Edit, SIGNAL(textChanged(QString)), this, SLOT(SNPCreateDefinition()));
    for (QAbstractButton *b : {static_cast<QAbstractButton *>(ui->SNP_A_Btn),
                               static_cast<QAbstractButton *>(ui->SNP_B_Btn),
                               static_cast<QAbstractButton *>(ui->SNP_C_Btn),
                               static_cast<QAbstractButton *>(ui->SNP_D_Btn),
                               static_cast<QAbstractButton *>(ui->SNP_E_Btn)})
        connect(b, SIGNAL(toggled(bool)), this, SLOT(SNPSwitchMaterials()));

    // The diameter edits belong to the typed-size standard only.
    ui->TU_Field->hide();
    for (QWidget *w : {static_cast<QWidget *>(ui->D1_Edit), static_cast<QWidget *>(ui->D2_Edit),
                       static_cast<QWidget *>(ui->D3_Edit), static_cast<QWidget *>(ui->D4_Edit),
                       static_cast<QWidget *>(ui->D1_label), static_cast<QWidget *>(ui->D2_label),
                       static_cast<QWidget *>(ui->D3_label), static_cast<QWidget *>(ui->D4_label)})
        w->hide();
}

SnpTab::~SnpTab()
{
    delete m_d2Box;
    delete ui;
}

QLabel *SnpTab::messageLabel() const
{
    return ui->SNP_Message_Label;
}

OrderTab::Row SnpTab::offeredRow() const
{
    return {ui->SNP_Definition->text(), ui->SNP_Count->text(),
            order::snpSizeText(SNPType, SNPD1, SNPD2, SNPD3, SNPD4), SNPDescriptionText};
}

void SnpTab::rebuildItem()
{
    SNPCreateDefinition();
}

void SnpTab::resetExtraOptions()
{
    // The constructive elements belong to one item; filler, materials and
    // the rest are the customer's choice for the next one too.
    ui->SNP_Perem_Yes->setChecked(false);
    ui->SNP_KVF_checkBox->setChecked(false);
    ui->SNP_ONO_checkBox->setChecked(false);
}

QAbstractButton *SnpTab::addButton() const
{
    return ui->SNP_Add_To_Basket;
}

QAbstractButton *SnpTab::attachButton() const
{
    return ui->SNP_Add_Chert;
}

void SnpTab::applyStartState()
{
    SNPDepth = QStringLiteral("4,5");
    SNPInCode = QStringLiteral("1");
    SNPKCode = QStringLiteral("1");
    SNPOutCode = QStringLiteral("5");
    SNPStandard = QStringLiteral("OST128");
    SNPType = QStringLiteral("E");
    SNPFill = QStringLiteral("3");

    ui->Title_size->setText(snp::startSizeTitle());
    ui->Title_press->setText(snp::startPressTitle());
    ui->Flan_A_Btn->setChecked(true);
    ui->Depth_45_Btn->setChecked(true);
    SetTUVisible(false);
    ui->SNP_In_Materials->setCurrentIndex(0);
    ui->SNP_K_Materials->setCurrentIndex(0);
    ui->SNP_Out_Materials->setCurrentIndex(materials::kCarbonSteelRing);

    SNPSetD2Table();
    SNPSetPictures();
    SNPSetLabelPositions();
    showPicture(ui->SNP_Picture_2, snp::flangePicture(checkedFlange()));
    SNPRefreshDepth();
    SNPPeremAvail();
    SNPSwitchMaterials();
}

void SnpTab::fillFromTables()
{
    // Normally the start standard's set; a standard picked before the tables
    // arrived keeps its own lists.
    const snp::StandardInfo *info = snp::standardInfo(SNPStandard);
    if (info && info->tableSet > 0)
        SNPLoadTables(info->tableSet);
}

// A table answer asked for before the switch to TU must not overwrite the
// diameters typed since.
bool SnpTab::lateForTu() const
{
    if (!requestSuppressed())
        return false;
    qDebug() << "table answer ignored: TU diameters are typed";
    return true;
}

bool SnpTab::requestSuppressed() const
{
    return ui->SNP_TU_Btn->isChecked();
}

snp::SnpChoices SnpTab::choices() const
{
    snp::SnpChoices c;
    c.SNPStandard = SNPStandard;
    c.SNPType = SNPType;
    c.SNPSize = SNPSize;
    c.SNPPress = SNPPress;
    c.SNPD1 = SNPD1;
    c.SNPD2 = SNPD2;
    c.SNPD3 = SNPD3;
    c.SNPD4 = SNPD4;
    c.SNPFill = SNPFill;
    // With the thickness by the standard the gasket is as thick as the server
    // said (the thickness shown); the buttons' value would be another gasket.
    const bool byStandard = is(SNPStandard, "GOST128") && ui->Depth_ps_Btn->isChecked() && !SNPTableDepth.isEmpty();
    c.SNPDepth = byStandard ? SNPTableDepth : SNPDepth;
    c.SNP_ModElem = ui->SNP_ModElem->currentIndex();
    c.SNP_In_Materials = pickOf(ui->SNP_In_Materials);
    c.SNP_K_Materials = pickOf(ui->SNP_K_Materials);
    c.SNP_Out_Materials = pickOf(ui->SNP_Out_Materials);
    c.SNP_KVF_checkBox = ui->SNP_KVF_checkBox->isChecked();
    c.SNP_ONO_checkBox = ui->SNP_ONO_checkBox->isChecked();
    c.SNP_Perem_Yes = ui->SNP_Perem_Yes->isChecked();
    c.SNPFixBox = ui->SNPFixBox->currentText();
    c.SNP_Perem_Box = ui->SNP_Perem_Box->currentText();
    c.SNP_Perem_Depth_Edit = ui->SNP_Perem_Depth_Edit->text();
    return c;
}

// ---- designation -------------------------------------------------------------

void SnpTab::SNPCreateDefinition()
{
    const snp::SnpChoices c = choices();
    SNPModElem = snp::modElemCode(c.SNP_ModElem);
    SNPInCode = materials::code(c.SNP_In_Materials);
    SNPKCode = materials::code(c.SNP_K_Materials);
    SNPOutCode = materials::code(c.SNP_Out_Materials);
    ui->SNP_Definition->setText(snp::designation(c));
    // A long designation should be read from its start.
    ui->SNP_Definition->setCursorPosition(0);
    SNPCreateDescription();
}

void SnpTab::SNPCreateDescription()
{
    SNPDescriptionText = snp::description(choices(), ui->SNP_Definition->text());
    // Plain text: a typed material name must not be taken for markup.
    ui->SNP_Description->setPlainText(SNPDescriptionText);
}

// ---- standards -----------------------------------------------------------------

void SnpTab::applyDefaultType()
{
    // Checking a button that was not checked runs its type slot.
    typeButton(snp::defaultType(SNPStandard))->setChecked(true);
}

void SnpTab::applyTitles()
{
    if (const snp::StandardInfo *info = snp::standardInfo(SNPStandard)) {
        ui->Title_size->setText(info->sizeTitle);
        ui->Title_press->setText(info->pressTitle);
    }
}

void SnpTab::chooseStandard(const QString &code)
{
    SNPStandard = code;
    ResetAddFields();
    applyDefaultType();
    SNPLoadTables(snp::standardInfo(code)->tableSet);
    applyTitles();
    SNPSetCurrentDepth();
    SNPRefreshDepth();
}

void SnpTab::on_SNP_OST_128_Btn_toggled(bool checked)
{
    if (checked) {
        SNPStandard = QStringLiteral("OST128");
        ResetAddFields();
        applyDefaultType();
        SNPSetCurrentDepth();
        SNPLoadTables(1);
        applyTitles();
        SNPRefreshDepth();
    }
    SNPPeremAvail();
}

void SnpTab::on_SNP_OST_287_Btn_toggled(bool checked)
{
    const QString standard = QStringLiteral("OST287");
    QWidget *restricted[] = {ui->Flan_A_Btn, ui->SNP_B_Btn, ui->SNP_D_Btn, ui->SNP_E_Btn};
    if (checked) {
        SNPStandard = standard;
        ResetAddFields();
        applyDefaultType();
        for (QWidget *w : restricted)
            w->setEnabled(false);
        SNPLoadTables(snp::standardInfo(standard)->tableSet);
        applyTitles();
        SNPSetCurrentDepth();
        SNPRefreshDepth();
    } else {
        ui->SNP_E_Btn->setChecked(true);
        for (QWidget *w : restricted)
            w->setEnabled(true);
    }
}

void SnpTab::on_SNP_GOST_128_Btn_toggled(bool checked)
{
    if (checked)
        chooseStandard(QStringLiteral("GOST128"));
    SNPPeremAvail();
}

void SnpTab::on_SNP_ASME_165_Btn_toggled(bool checked)
{
    if (checked)
        chooseStandard(QStringLiteral("ASME165"));
}

void SnpTab::on_SNP_EN_165_Btn_toggled(bool checked)
{
    if (!checked)
        return;
    SNPStandard = QStringLiteral("EN1215165");
    ui->Depth_45_Btn->setChecked(true);
    chooseStandard(SNPStandard);
}

void SnpTab::on_SNP_ASME_1647A_Btn_toggled(bool checked)
{
    if (checked)
        chooseStandard(QStringLiteral("ASME1647A"));
}

void SnpTab::on_SNP_EN_1647A_Btn_toggled(bool checked)
{
    if (checked)
        chooseStandard(QStringLiteral("EN12151647A"));
}

void SnpTab::on_SNP_ASME_1647B_Btn_toggled(bool checked)
{
    if (checked)
        chooseStandard(QStringLiteral("ASME1647B"));
}

void SnpTab::on_SNP_EN_1647B_Btn_toggled(bool checked)
{
    if (checked)
        chooseStandard(QStringLiteral("EN12151647B"));
}

void SnpTab::on_SNP_EN15_Btn_toggled(bool checked)
{
    if (checked)
        chooseStandard(QStringLiteral("EN1514"));
}

void SnpTab::on_SNP_TU_Btn_toggled(bool checked)
{
    QWidget *tables[] = {ui->Size_table, ui->Press_table, ui->Title_size, ui->Title_press,
                         ui->Size_Field, ui->Press_Field};
    // The diameters are emptied either way, so the next table lookup must go
    // out even for the size and pressure asked for last time.
    forgetLastRequest();
    if (checked) {
        SNPStandard = QStringLiteral("TU");
        clearDiameters();
        ResetAddFields();
        applyDefaultType();
        for (QWidget *w : tables)
            w->hide();
        SetTUVisible(true);
        SNPSetCurrentDepth();
        SNPRefreshDepth();
        SNPSetD2Table();
        SNPCreateDefinition();
    } else {
        clearDiameters();
        for (QWidget *w : tables)
            w->show();
        SetTUVisible(false);
    }
}

// ---- types and flanges ---------------------------------------------------------

QAbstractButton *SnpTab::typeButton(const QString &type) const
{
    if (is(type, "A"))
        return ui->SNP_A_Btn;
    if (is(type, "B"))
        return ui->SNP_B_Btn;
    if (is(type, "C"))
        return ui->SNP_C_Btn;
    if (is(type, "D"))
        return ui->SNP_D_Btn;
    return ui->SNP_E_Btn;
}

QString SnpTab::checkedFlange() const
{
    if (ui->Flan_B_Btn->isChecked())
        return QStringLiteral("B");
    if (ui->Flan_C_Btn->isChecked())
        return QStringLiteral("C");
    return QStringLiteral("A");
}

bool SnpTab::isOst() const
{
    return is(SNPStandard, "OST128") || is(SNPStandard, "OST287");
}

void SnpTab::chooseType(const QString &type)
{
    SNPType = type;
    const QString flange = snp::flangeForType(type);
    QAbstractButton *flangeButton = is(flange, "A") ? static_cast<QAbstractButton *>(ui->Flan_A_Btn)
        : is(flange, "B") ? static_cast<QAbstractButton *>(ui->Flan_B_Btn)
                          : static_cast<QAbstractButton *>(ui->Flan_C_Btn);
    if (!flangeButton->isChecked())
        flangeButton->setChecked(true);
    if (is(SNPStandard, "TU"))
        SetTUVisible(true);
    SNPRefreshDepth();
    SNPSetPictures();
    SNPSetLabelPositions();
    if (isOst())
        SNPSetD2Table();
}

void SnpTab::on_SNP_A_Btn_toggled(bool checked)
{
    if (checked)
        chooseType(QStringLiteral("A"));
}

void SnpTab::on_SNP_B_Btn_toggled(bool checked)
{
    if (checked)
        chooseType(QStringLiteral("B"));
}

void SnpTab::on_SNP_C_Btn_toggled(bool checked)
{
    if (checked)
        chooseType(QStringLiteral("C"));
}

void SnpTab::on_SNP_D_Btn_toggled(bool checked)
{
    if (checked)
        chooseType(QStringLiteral("D"));
}

void SnpTab::on_SNP_E_Btn_toggled(bool checked)
{
    if (checked)
        chooseType(QStringLiteral("E"));
}

void SnpTab::on_Flan_A_Btn_toggled(bool checked)
{
    if (!checked)
        return;
    if (!ui->SNP_D_Btn->isChecked() && !ui->SNP_E_Btn->isChecked())
        ui->SNP_E_Btn->setChecked(true);
    showPicture(ui->SNP_Picture_2, snp::flangePicture(QStringLiteral("A")));
}

void SnpTab::on_Flan_B_Btn_toggled(bool checked)
{
    if (!checked)
        return;
    if (!ui->SNP_C_Btn->isChecked() && !ui->SNP_B_Btn->isChecked())
        ui->SNP_C_Btn->setChecked(true);
    showPicture(ui->SNP_Picture_2, snp::flangePicture(QStringLiteral("B")));
}

void SnpTab::on_Flan_C_Btn_toggled(bool checked)
{
    if (!checked)
        return;
    if (!ui->SNP_A_Btn->isChecked())
        ui->SNP_A_Btn->setChecked(true);
    showPicture(ui->SNP_Picture_2, snp::flangePicture(QStringLiteral("C")));
}

// ---- filler, temperature, modifying element ------------------------------------

void SnpTab::on_Type_in_3_Btn_toggled(bool checked)
{
    if (!checked)
        return;
    SNPFill = QStringLiteral("3");
    SNPCreateDefinition();
}

void SnpTab::on_Type_in_4_Btn_toggled(bool checked)
{
    if (!checked)
        return;
    SNPFill = QStringLiteral("4");
    SNPCreateDefinition();
}

void SnpTab::on_Type_in_5_Btn_toggled(bool checked)
{
    if (!checked)
        return;
    SNPFill = QStringLiteral("5");
    SNPCreateDefinition();
}

void SnpTab::on_SNP_Tempr_min_Btn_toggled(bool checked)
{
    if (!checked)
        return;
    const int current = ui->SNP_ModElem->currentIndex();
    const int index = snp::modElemForTemperature(snp::Temperature::Min, current);
    if (index != current)
        ui->SNP_ModElem->setCurrentIndex(index);
    SNPCreateDefinition();
}

void SnpTab::on_SNP_Tempr_mid_Btn_toggled(bool checked)
{
    if (!checked)
        return;
    ui->SNP_ModElem->setCurrentIndex(
        snp::modElemForTemperature(snp::Temperature::Mid, ui->SNP_ModElem->currentIndex()));
    SNPCreateDefinition();
}

void SnpTab::on_SNP_Tempr_max_Btn_toggled(bool checked)
{
    if (!checked)
        return;
    ui->SNP_ModElem->setCurrentIndex(
        snp::modElemForTemperature(snp::Temperature::Max, ui->SNP_ModElem->currentIndex()));
    SNPCreateDefinition();
}

void SnpTab::on_SNP_ModElem_currentIndexChanged(int index)
{
    m_host->setNote(QStringLiteral("snp_to"), QString());
    QRadioButton *button = ui->SNP_Tempr_min_Btn;
    switch (snp::temperatureForModElem(index)) {
    case snp::Temperature::Mid: button = ui->SNP_Tempr_mid_Btn; break;
    case snp::Temperature::Max: button = ui->SNP_Tempr_max_Btn; break;
    case snp::Temperature::Min: break;
    }
    if (!button->isChecked())
        button->setChecked(true);
    m_host->SetMessages();
    SNPCreateDefinition();
}

// ---- thickness -------------------------------------------------------------------

void SnpTab::SNPSetCurrentDepth()
{
    switch (snp::currentDepthButton(SNPStandard, ui->Size_table->currentRow(), checkedFlange())) {
    case snp::DepthButton::D32: ui->Depth_32_Btn->setChecked(true); break;
    case snp::DepthButton::D23: ui->Depth_23_Btn->setChecked(true); break;
    case snp::DepthButton::ByStandard: ui->Depth_ps_Btn->setChecked(true); break;
    case snp::DepthButton::Other: ui->SNP_Other_Depth_Btn->setChecked(true); break;
    case snp::DepthButton::D45: ui->Depth_45_Btn->setChecked(true); break;
    }
}

void SnpTab::SNPRefreshDepth()
{
    ui->Depth_23_Btn->setEnabled(snp::depth23Enabled(SNPStandard, ui->Size_table->currentRow()));
    const bool byStandard = snp::depthByStandardEnabled(SNPStandard);
    ui->Depth_ps_Btn->setEnabled(byStandard);
    ui->label_21->setEnabled(byStandard);

    std::optional<snp::DepthLabels> labels;
    if (ui->Depth_ps_Btn->isChecked()) {
        labels = snp::tableDepthLabels(SNPTableDepth);
        // A thickness outside the known rows is still the server's value.
        if (!labels && !SNPTableDepth.isEmpty())
            labels = snp::DepthLabels{SNPTableDepth, QString(), QString()};
    } else {
        labels = snp::depthLabels(SNPDepth, ui->SNP_Other_Depth_Btn->isChecked());
    }
    ui->H_Data->setText(labels ? labels->h : QString());
    ui->H1_Data->setText(labels ? labels->h1 : QString());
    ui->H2_Data->setText(labels ? labels->h2 : QString());
    ui->H2_Data->setVisible(snp::h2Visible(SNPType));

    SNPPlaceDepthLabels();
}

void SnpTab::SNPPlaceDepthLabels()
{
    // Beside the thickness marks of the drawing: H left of its mark, H1 (and
    // for A/B, whose drawing has no rings, H1 above and H2 below) on the right.
    const int dx = ui->SNP_Picture->x() + ui->SNP_Picture->width() - kDrawingWidth;
    const bool ab = is(SNPType, "A") || is(SNPType, "B");
    ui->H_Data->move(dx + (ab ? 8 : 1), 39);
    ui->H1_Data->move(dx + 219, ab ? 18 : 39);
    ui->H2_Data->move(dx + 219, 60);
}

void SnpTab::chooseDepth(const QString &depth)
{
    SNPDepth = depth;
    SNPRefreshDepth();
    SNPCreateDefinition();
}

void SnpTab::on_Depth_45_Btn_toggled(bool checked)
{
    if (checked)
        chooseDepth(QStringLiteral("4,5"));
}

void SnpTab::on_Depth_32_Btn_toggled(bool checked)
{
    if (checked)
        chooseDepth(QStringLiteral("3,2"));
}

void SnpTab::on_Depth_23_Btn_toggled(bool checked)
{
    if (checked)
        chooseDepth(QStringLiteral("2,3"));
}

void SnpTab::on_Depth_ps_Btn_toggled(bool checked)
{
    if (checked)
        SNPRefreshDepth();
}

void SnpTab::on_SNP_Other_Depth_Btn_toggled(bool checked)
{
    if (checked) {
        ui->SNP_Other_Depth_Edit->setEnabled(true);
        SNPDepth.clear();
        SNPRefreshDepth();
        SNPCreateDefinition();
    } else {
        ui->SNP_Other_Depth_Edit->clear();
        SNPDepth.clear();
        ui->SNP_Other_Depth_Edit->setEnabled(false);
    }
}

void SnpTab::on_SNP_Other_Depth_Edit_textChanged(const QString &text)
{
    SNPDepth = text;
    SNPRefreshDepth();
    SNPCreateDefinition();
}

// ---- constructive elements --------------------------------------------------------

void SnpTab::setNote(const char *key, bool on)
{
    m_host->setNote(QLatin1String(key), on ? kOn : QString());
}

void SnpTab::on_SNP_Perem_Yes_toggled(bool checked)
{
    if (checked) {
        ui->SNP_Perem_Box->setEnabled(true);
        ui->SNP_Perem_Depth_Edit->setEnabled(snp::jumperWidthEnabled(ui->SNP_Perem_Box->currentText()));
    } else {
        ui->SNP_Perem_Box->setCurrentIndex(0);
        ui->SNP_Perem_Depth_Edit->clear();
        ui->SNP_Perem_Box->setEnabled(false);
        ui->SNP_Perem_Depth_Edit->setEnabled(false);
        setNote("snp_perem", false);
        m_host->SetMessages();
    }
    SNPCreateDefinition();
}

void SnpTab::on_SNP_Perem_Box_currentIndexChanged(int)
{
    if (ui->SNP_Perem_Yes->isChecked()) {
        const QString letter = ui->SNP_Perem_Box->currentText();
        setNote("snp_perem", snp::jumperNeedsDrawing(letter));
        m_host->SetMessages();
        if (snp::jumperWidthEnabled(letter)) {
            ui->SNP_Perem_Depth_Edit->setEnabled(true);
        } else {
            ui->SNP_Perem_Depth_Edit->clear();
            ui->SNP_Perem_Depth_Edit->setEnabled(false);
        }
    }
    SNPCreateDefinition();
}

void SnpTab::on_SNP_KVF_checkBox_toggled(bool checked)
{
    ui->SNPFixBox->setEnabled(checked);
    if (!checked)
        ui->SNPFixBox->setCurrentIndex(0);
    SNPCreateDefinition();
}

void SnpTab::on_SNP_ONO_checkBox_toggled(bool checked)
{
    setNote("snp_otv", checked);
    m_host->SetMessages();
    SNPCreateDefinition();
}

void SnpTab::on_SNP_ClearAdd_Btn_clicked()
{
    ResetAddFields();
}

void SnpTab::ResetAddFields()
{
    ui->Type_in_3_Btn->setChecked(true);
    ui->SNP_Tempr_min_Btn->setChecked(true);
    ui->SNP_Perem_Yes->setChecked(false);
    ui->SNP_ModElem->setCurrentIndex(0);
    ui->SNP_KVF_checkBox->setChecked(false);
    ui->SNP_ONO_checkBox->setChecked(false);
    ui->SNP_In_Materials->setCurrentIndex(0);
    ui->SNP_K_Materials->setCurrentIndex(0);
    ui->SNP_Out_Materials->setCurrentIndex(materials::kCarbonSteelRing);
}

void SnpTab::SNPPeremAvail()
{
    if (ui->SNP_OST_128_Btn->isChecked() || ui->SNP_GOST_128_Btn->isChecked()) {
        ui->SNP_Perem_Yes->setChecked(false);
        ui->SNP_Perem_Yes->setEnabled(false);
    } else {
        ui->SNP_Perem_Yes->setEnabled(true);
    }
}

// ---- materials ----------------------------------------------------------------------

void SnpTab::ComboBoxSetEditable()
{
    auto *box = qobject_cast<QComboBox *>(sender());
    if (!box)
        return;
    if (box->currentIndex() == box->count() - 1) {
        box->setEditable(true);
        // A typed name must not become a list entry (the other-material entry
        // has to stay the last one) nor be completed into a catalogue entry.
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setCompleter(nullptr);
        box->lineEdit()->selectAll();
    } else {
        box->setEditable(false);
    }
}

void SnpTab::ComboBoxMaterialEnter()
{
    const QString name = sender() ? sender()->objectName() : QString();
    if (name == QLatin1String("SNP_In_Materials") || name == QLatin1String("SNP_K_Materials")
        || name == QLatin1String("SNP_Out_Materials"))
        SNPCreateDefinition();
}

void SnpTab::SetCarcMaterials()
{
    const int k = materials::carcIndexForRing(ui->SNP_In_Materials->currentIndex(),
                                              ui->SNP_In_Materials->count());
    if (k >= 0)
        ui->SNP_K_Materials->setCurrentIndex(k);
}

void SnpTab::SNPSwitchMaterials()
{
    // Read the buttons, not SNPType: the old type's button reports first.
    ui->SNP_Out_Materials->setEnabled(ui->SNP_D_Btn->isChecked() || ui->SNP_E_Btn->isChecked());
    ui->SNP_In_Materials->setEnabled(ui->SNP_C_Btn->isChecked() || ui->SNP_E_Btn->isChecked());
}

// ---- typed diameters, pictures, labels -------------------------------------------------

QLabel *SnpTab::diameterLabel(int n) const
{
    switch (n) {
    case 1: return ui->D1_Data;
    case 2: return ui->D2_Data;
    case 3: return ui->D3_Data;
    default: return ui->D4_Data;
    }
}

void SnpTab::setDiameter(int n, const QString &text)
{
    QString *members[] = {&SNPD1, &SNPD2, &SNPD3, &SNPD4};
    *members[n - 1] = text;
    diameterLabel(n)->setText(text);
}

void SnpTab::clearDiameters()
{
    for (int n = 1; n <= 4; ++n)
        setDiameter(n, QString());
}

void SnpTab::on_D1_Edit_textChanged(const QString &text)
{
    setDiameter(1, text);
    SNPCreateDefinition();
}

void SnpTab::on_D2_Edit_textChanged(const QString &text)
{
    setDiameter(2, text);
    SNPCreateDefinition();
}

void SnpTab::on_D3_Edit_textChanged(const QString &text)
{
    setDiameter(3, text);
    SNPCreateDefinition();
}

void SnpTab::on_D4_Edit_textChanged(const QString &text)
{
    setDiameter(4, text);
    SNPCreateDefinition();
}

void SnpTab::SetTUVisible(bool visible)
{
    SNPD1.clear();
    SNPD2.clear();
    SNPD3.clear();
    SNPD4.clear();
    QLineEdit *edits[] = {ui->D1_Edit, ui->D2_Edit, ui->D3_Edit, ui->D4_Edit};
    QLabel *captions[] = {ui->D1_label, ui->D2_label, ui->D3_label, ui->D4_label};
    for (QLineEdit *e : edits)
        e->clear();
    const QVector<int> used = visible ? snp::usedDiameterNumbers(SNPType) : QVector<int>();
    for (int n = 1; n <= 4; ++n) {
        edits[n - 1]->setVisible(used.contains(n));
        captions[n - 1]->setVisible(used.contains(n));
    }
    ui->TU_Field->setVisible(visible);
}

void SnpTab::showPicture(QLabel *target, const QString &path)
{
    const QPixmap pixmap(path);
    if (pixmap.isNull()) {
        // Pictures are optional resources; a missing one leaves the place empty.
        target->setPixmap(QPixmap());
        return;
    }
    // Labels in layouts have no final size before the first show; theirs is fixed.
    const QSize box = target->maximumWidth() < QWIDGETSIZE_MAX ? target->maximumSize() : target->size();
    target->setPixmap(pixmap.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void SnpTab::SNPSetPictures()
{
    showPicture(ui->SNP_Picture, snp::gasketPicture(SNPType));
    const bool inner = is(SNPType, "C") || is(SNPType, "E");
    const bool outer = is(SNPType, "D") || is(SNPType, "E");
    ui->D1_Data->setVisible(inner);
    ui->D4_Data->setVisible(outer);
    ui->D2_Data->setVisible(true);
    ui->D3_Data->setVisible(true);
}

void SnpTab::SNPSetLabelPositions()
{
    const int x = m_withD2 ? snp::kDiameterLabelXWithD2 : snp::kDiameterLabelX;
    for (int n = 1; n <= 4; ++n) {
        const int y = snp::diameterLabelY(SNPType, n);
        if (y >= 0)
            diameterLabel(n)->move(x, y);
    }
}

// ---- tables and lookups ------------------------------------------------------------------

void SnpTab::FillTableList(const QStringList &rows, QListWidget *list)
{
    list->clear();
    list->addItems(rows);
    list->setCurrentRow(0);
    if (rows.isEmpty())
        return;
    if (list == ui->Size_table) {
        SNPSize = rows.first();
    } else if (list == ui->Press_table) {
        list->setCurrentRow(snp::preselectedPressRow(rows));
        SNPPress = snp::preselectedPress(rows);
    }
}

void SnpTab::SNPLoadTables(int set)
{
    const QVariantMap t = m_host->tables();
    FillTableList(t.value(snp::sizeKey(set)).toStringList(), ui->Size_table);
    FillTableList(t.value(snp::pressKey(set)).toStringList(), ui->Press_table);
    SNPSetD2Table();
}

void SnpTab::SNPSetD2Table()
{
    const bool withD2 = snp::usesD2List(SNPStandard, SNPType);
    ui->D2_Field->setVisible(withD2);
    if (withD2 != m_withD2) {
        m_withD2 = withD2;
        QRect r = ui->SNP_Picture->geometry();
        r.setWidth(withD2 ? kPictureWidthWithD2 : kPictureWidth);
        ui->SNP_Picture->setGeometry(r);
        showPicture(ui->SNP_Picture, snp::gasketPicture(SNPType));
        const int x = withD2 ? snp::kDiameterLabelXWithD2 : snp::kDiameterLabelX;
        for (int n = 1; n <= 4; ++n)
            diameterLabel(n)->move(x, diameterLabel(n)->y());
        SNPPlaceDepthLabels();
    }
    if (withD2)
        FillTableList(m_host->tables().value(snp::d2Key(SNPType, SNPStandard)).toStringList(),
                      ui->D2_table);
}

void SnpTab::forgetLastRequest()
{
    SNPLastStandard.clear();
    SNPLastType.clear();
    SNPLastSize.clear();
    SNPLastPress.clear();
}

void SnpTab::SNPFindData()
{
    if (SNPLastStandard == SNPStandard && SNPLastType == SNPType && SNPLastPress == SNPPress
        && SNPLastSize == SNPSize)
        return;
    if (!is(SNPStandard, "TU")) {
        if (!ui->Size_table->currentItem() || !ui->Press_table->currentItem())
            return;
        QVariantMap map;
        map.insert(QStringLiteral("standart"), snp::requestStandard(SNPStandard));
        map.insert(QStringLiteral("tf"), SNPType);
        map.insert(QStringLiteral("size"), SNPSize);
        map.insert(QStringLiteral("press"), SNPPress);
        qDebug() << SNPStandard << SNPType << SNPSize << SNPPress;
        SNPLastStandard = SNPStandard;
        SNPLastType = SNPType;
        SNPLastPress = SNPPress;
        SNPLastSize = SNPSize;
        m_host->sendRequest(7, map);
    }
    SNPCreateDefinition();
}

void SnpTab::on_Size_table_clicked(const QModelIndex &)
{
    if (QListWidgetItem *item = ui->Size_table->currentItem())
        SNPSize = item->text();
    if ((is(SNPStandard, "GOST128") && ui->Depth_ps_Btn->isChecked()) || is(SNPStandard, "EN1514")
        || is(SNPStandard, "OST128")) {
        SNPRefreshDepth();
        SNPSetCurrentDepth();
    }
    SNPFindData();
}

void SnpTab::on_Press_table_clicked(const QModelIndex &)
{
    if (QListWidgetItem *item = ui->Press_table->currentItem())
        SNPPress = item->text();
    SNPFindData();
}

void SnpTab::on_D2_table_clicked(const QModelIndex &)
{
    if (is(SNPStandard, "TU"))
        return;
    if (!ui->Size_table->currentItem() || !ui->D2_table->currentItem())
        return;
    QVariantMap map;
    map.insert(QStringLiteral("standart"), snp::requestStandard(SNPStandard));
    map.insert(QStringLiteral("tf"), SNPType);
    map.insert(QStringLiteral("d2"), ui->D2_table->currentItem()->text());
    map.insert(QStringLiteral("press"), SNPPress);
    // The reply replaces the size and diameters of the last size lookup, so
    // that lookup no longer describes what is shown.
    forgetLastRequest();
    m_host->sendRequest(19, map);
}

void SnpTab::on_Size_table_currentItemChanged(QListWidgetItem *current, QListWidgetItem *)
{
    SNPSize = current ? current->text() : QString();
}

void SnpTab::on_Press_table_currentItemChanged(QListWidgetItem *current, QListWidgetItem *)
{
    SNPPress = current ? current->text() : QString();
}

// ---- replies ---------------------------------------------------------------------------

void SnpTab::clearDimensions()
{
    qDebug() << "No variant";
    clearDiameters();
    ui->D2_table->clearSelection();
    m_host->setNote(QStringLiteral("snp_note"), kOn);
    m_host->SetMessages();
}

void SnpTab::applyDimensions(const QStringList &l)
{
    if (lateForTu())
        return;
    if (l.isEmpty()) {
        clearDimensions();
        return;
    }
    setDiameter(1, at(l, 3));
    setDiameter(2, at(l, 2));
    setDiameter(3, at(l, 1));
    setDiameter(4, at(l, 0));
    const QString depth = at(l, 4);
    if (!depth.isEmpty() && depth != QLatin1String("0")) {
        SNPTableDepth = depth;
        SNPRefreshDepth();
    }
    m_host->setNote(QStringLiteral("snp_note"), QString());
    m_host->SetMessages();
    if (isOst()) {
        QListWidgetItem *match = firstEndingWith(ui->D2_table, SNPD2);
        if (!match) {
            // Not modal: the rest of the reply must still be handled.
            if (!m_d2Box) {
                m_d2Box = new QMessageBox;
                m_d2Box->setAttribute(Qt::WA_DeleteOnClose);
                // Without a parent it would count as a main window and keep
                // the program running after the real one is closed.
                m_d2Box->setAttribute(Qt::WA_QuitOnClose, false);
            }
            const QString text = QStringLiteral("Диаметр D2 = %1 мм не входит в список для "
                                                "выбранного типа и стандарта. Проверьте размер "
                                                "и давление.")
                                     .arg(SNPD2);
            // A visible box lays itself out again on every setText.
            if (m_d2Box->text() != text)
                m_d2Box->setText(text);
            m_d2Box->show();
            m_d2Box->raise();
        } else {
            ui->D2_table->setCurrentItem(match);
        }
    }
}

void SnpTab::applyDimensionsByD2(const QStringList &l)
{
    if (lateForTu())
        return;
    if (!isOst()) {
        // A D2 answer asked for under an OST standard: its size belongs to
        // that standard's list, not to the one chosen since.
        qDebug() << "D2 answer ignored: the standard has changed";
        return;
    }
    if (l.isEmpty()) {
        clearDimensions();
        return;
    }
    setDiameter(1, at(l, 4));
    setDiameter(2, at(l, 3));
    setDiameter(3, at(l, 2));
    setDiameter(4, at(l, 1));
    if (QListWidgetItem *size = firstEndingWith(ui->Size_table, at(l, 0)))
        ui->Size_table->setCurrentItem(size);
    SNPSize = at(l, 0);
    m_host->setNote(QStringLiteral("snp_note"), QString());
    m_host->SetMessages();
    if (isOst()) {
        if (QListWidgetItem *match = firstEndingWith(ui->D2_table, SNPD2))
            ui->D2_table->setCurrentItem(match);
    }
}
