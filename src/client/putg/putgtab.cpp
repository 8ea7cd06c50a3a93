#include "putg/putgtab.h"
#include "app/tabhost.h"
#include "app/wholetext.h"
#include "materials.h"
#include "putgoptions.h"
#include "order/orderrules.h"
#include "ui_putgtab.h"

#include <QDebug>
#include <QListWidget>
#include <QVariantMap>

namespace {
const quint8 kPutgRequest = 15;

materials::Pick pick(const QComboBox *box)
{
    materials::Pick p;
    p.index = box->currentIndex();
    p.count = box->count();
    p.text = box->currentText();
    return p;
}

QString on(bool v)
{
    return v ? QStringLiteral("1") : QString();
}
} // namespace

PutgTab::PutgTab(TabHost *host, QWidget *parent)
    : QWidget(parent), ui(new Ui::PutgTab), m_host(host)
{
    ui->setupUi(this);
    keepTextEditWhole(ui->PUTG_Description);
    for (QLineEdit *e : {ui->PUTG_D1_Inp_Box, ui->PUTG_D2_Inp_Box, ui->PUTG_D3_Inp_Box, ui->PUTG_D4_Inp_Box,
                         ui->PUTG_A1_Edit, ui->PUTG_A2_Edit, ui->PUTG_B1_Edit, ui->PUTG_B2_Edit, ui->PUTG_C_Edit})
        putgui::acceptSizesOnly(e);

    QComboBox *const pickers[] = {ui->PUTG_AE_Material, ui->PUTG_O_Material, ui->PUTG_In_Material,
                                  ui->PUTG_Out_Material};
    for (QComboBox *box : pickers) {
        box->clear();
        box->addItems(box == ui->PUTG_O_Material ? materials::stripList() : materials::ringList());
        // A typed name must not become a new entry: the free entry has to stay last.
        box->setInsertPolicy(QComboBox::NoInsert);
        connect(box, SIGNAL(currentIndexChanged(QString)), this, SLOT(ComboBoxSetEditable()));
        connect(box, SIGNAL(editTextChanged(QString)), this, SLOT(ComboBoxMaterialEnter()));
        connect(box, SIGNAL(currentIndexChanged(int)), this, SLOT(PUTGCreateDefinition()));
    }
    ui->PUTG_Depth_Box->setInsertPolicy(QComboBox::NoInsert);

    connect(ui->PUTGCleenBox, SIGNAL(currentIndexChanged(int)), this, SLOT(PUTGCreateDefinition()));
    connect(ui->PUTG_HowMade_Box, SIGNAL(currentIndexChanged(int)), this, SLOT(PUTGCreateDefinition()));
    connect(ui->PUTGFixBox, SIGNAL(currentIndexChanged(int)), this, SLOT(PUTGCreateDefinition()));
    connect(ui->PUTG_Perem_Depth_Edit, SIGNAL(textChanged(QString)), this, SLOT(PUTGCreateDefinition()));
    connect(ui->PUTG_Kol_Ch_Raz, SIGNAL(textChanged(QString)), this, SLOT(PUTGCreateDefinition()));
    connect(ui->PUTG_Otv_checkBox, SIGNAL(toggled(bool)), this, SLOT(PUTGCreateDefinition()));

    // A construction picked by the user may change the request and the pickers.
    for (const QString &code : putg::constructions()) {
        connect(constructionButton(code), &QAbstractButton::clicked, this, [this] {
            PUTGSwitchMaterials();
            requestLookup();
        });
    }
    connect(ui->PUTG_Config_Circle, &QAbstractButton::toggled, this, [this] { requestLookup(); });

    // The sketch boxes start hidden and disabled until the shape asks for them.
    ui->PUTG_Pr_S_Field->hide();
    ui->PUTG_Sketch_Field->hide();
    for (int i = 0; i < 4; ++i) {
        putgui::ChertWidgets w = chertWidgets();
        w.inputs[i]->setEnabled(false);
        w.inputs[i]->hide();
        w.captions[i]->hide();
    }
}

PutgTab::~PutgTab()
{
    delete ui;
}

QLabel *PutgTab::messageLabel() const
{
    return ui->PUTG_Message_Label;
}

OrderTab::Row PutgTab::offeredRow() const
{
    return {ui->PUTG_Definition->text(), ui->PUTG_Count->text(), order::putgSizeText(choices()),
            PUTGDescriptionText};
}

void PutgTab::rebuildItem()
{
    PUTGCreateDefinition();
}

void PutgTab::resetExtraOptions()
{
    // Only the extra elements belong to one item; thickness, materials and
    // the rest stay for the next one.
    ui->PUTG_Perem_Yes->setChecked(false);
    ui->PUTG_Otv_checkBox->setChecked(false);
    ui->PUTG_Ras_checkBox->setChecked(false);
    ui->PUTG_KVF_checkBox->setChecked(false);
    PUTGCreateDefinition();
}

QAbstractButton *PutgTab::addButton() const
{
    return ui->PUTG_Add_To_Basket;
}

QAbstractButton *PutgTab::attachButton() const
{
    return ui->PUTG_AddChert;
}

putgui::ChertWidgets PutgTab::chertWidgets() const
{
    putgui::ChertWidgets w;
    w.field = ui->PUTG_Chert_Field;
    w.picture = ui->PUTG_Pic_Pr;
    QLabel *const values[] = {ui->PUTG_s1, ui->PUTG_s2, ui->PUTG_s3, ui->PUTG_s4};
    QLabel *const captions[] = {ui->PUTG_D1_Lbl, ui->PUTG_D2_Lbl, ui->PUTG_D3_Lbl, ui->PUTG_D4_Lbl};
    QLineEdit *const inputs[] = {ui->PUTG_D1_Inp_Box, ui->PUTG_D2_Inp_Box, ui->PUTG_D3_Inp_Box,
                                 ui->PUTG_D4_Inp_Box};
    for (int i = 0; i < 4; ++i) {
        w.values[i] = values[i];
        w.captions[i] = captions[i];
        w.inputs[i] = inputs[i];
    }
    return w;
}

QRadioButton *PutgTab::constructionButton(const QString &code) const
{
    return findChild<QRadioButton *>(QStringLiteral("PUTG_Const_") + code + QStringLiteral("_Btn"));
}

void PutgTab::requestLookup()
{
    if (m_started)
        m_host->ClickOnSomthn();
}

void PutgTab::setFlag(const char *key, bool value)
{
    m_host->setNote(QLatin1String(key), on(value));
}

// ---- start state -----------------------------------------------------------

void PutgTab::applyStartState()
{
    PUTGDepth = QStringLiteral("1,0");
    PUTGAECode = QStringLiteral("1");
    PUTGOCode = QStringLiteral("2");
    PUTGInCode = QStringLiteral("2");
    PUTGOutCode = QStringLiteral("2");
    PUTGStandard = QStringLiteral("GOST128");
    PUTGFlanType = QStringLiteral("A");
    PUTGPrType = QStringLiteral("212");
    PUTGConst = QStringLiteral("01");
    PUTGPress = QStringLiteral("1,6 (16,0)");
    PUTGSize = QStringLiteral("10");
    ui->PUTG_Sketch_Field->hide();

    ui->PUTG_Config_Circle->setChecked(true);
    ui->PUTG_Pr_S_Field->hide();
    ui->PUTGStandBox->setCurrentIndex(0);
    ui->PUTGFlanBox->setCurrentIndex(0);
    ui->PUTG_Pr_212_Btn->setChecked(true);
    ui->PUTG_Const_01_Btn->setChecked(true);
    PUTGSwitchMaterials();
    PUTGResetAddFields();
    PUTGSetFlanPicture();
    PUTGResizeChert();
    m_started = true;
}

void PutgTab::fillFromTables()
{
    PUTGLoadTables(ui->PUTGStandBox->currentIndex());
}

// ---- designation -----------------------------------------------------------

putg::PutgChoices PutgTab::choices() const
{
    putg::PutgChoices c;
    c.PUTGConfig = PUTGConfig;
    c.PUTGSizeMode = PUTGSizeMode;
    c.PUTGSize = PUTGSize;
    c.PUTGPress = PUTGPress;
    c.PUTGD1 = PUTGD1;
    c.PUTGD2 = PUTGD2;
    c.PUTGD3 = PUTGD3;
    c.PUTGD4 = PUTGD4;
    c.PUTGA1 = PUTGA1;
    c.PUTGA2 = PUTGA2;
    c.PUTGB1 = PUTGB1;
    c.PUTGB2 = PUTGB2;
    c.PUTGC = PUTGC;
    c.PUTGFlanType = PUTGFlanType;
    c.PUTGPrType = PUTGPrType;
    c.PUTGConst = PUTGConst;
    c.PUTGDepth = PUTGDepth;
    c.PUTGStandard = PUTGStandard;

    c.PUTG_KVF_checkBox = ui->PUTG_KVF_checkBox->isChecked();
    c.PUTGFixBox = ui->PUTGFixBox->currentText();
    c.PUTG_Ras_checkBox = ui->PUTG_Ras_checkBox->isChecked();
    c.PUTG_Kol_Ch_Raz = ui->PUTG_Kol_Ch_Raz->text();
    c.PUTG_Perem_Yes = ui->PUTG_Perem_Yes->isChecked();
    c.PUTG_Perem_Box = ui->PUTG_Perem_Box->currentText();
    c.PUTG_Perem_Depth_Edit = ui->PUTG_Perem_Depth_Edit->text();
    c.PUTG_Otv_checkBox = ui->PUTG_Otv_checkBox->isChecked();
    c.PUTG_HowMade_Box = ui->PUTG_HowMade_Box->currentIndex();
    c.PUTGCleenBox = ui->PUTGCleenBox->currentIndex();
    c.PUTG_ModElem = ui->PUTG_ModElem->currentIndex();
    c.PUTG_AE_Material = pick(ui->PUTG_AE_Material);
    c.PUTG_O_Material = pick(ui->PUTG_O_Material);
    c.PUTG_In_Material = pick(ui->PUTG_In_Material);
    c.PUTG_Out_Material = pick(ui->PUTG_Out_Material);
    c.PUTG_Input_Box = ui->PUTG_Input_Box->isChecked();
    c.PUTG_Config_Ellipse = ui->PUTG_Config_Ellipse->isChecked();
    return c;
}

void PutgTab::PUTGCreateDefinition()
{
    const putg::PutgChoices c = choices();
    const QString d = putg::designation(c);
    if (!d.isEmpty()) {
        const putg::MaterialCodes codes = putg::materialCodes(c);
        PUTGAECode = codes.ae;
        PUTGOCode = codes.o;
        PUTGInCode = codes.in;
        PUTGOutCode = codes.out;
    }
    ui->PUTG_Definition->setText(d);
    PUTGCreateDescription();
}

void PutgTab::PUTGCreateDescription()
{
    PUTGDescriptionText = putg::description(choices(), ui->PUTG_Definition->text());
    ui->PUTG_Description->setPlainText(PUTGDescriptionText);
}

// ---- reinforcement and construction ----------------------------------------

void PutgTab::reinforcementToggled(bool checked, const char *code)
{
    if (!checked)
        return;
    PUTGPrType = QLatin1String(code);
    PUTGPrTypeChanged();
}

void PutgTab::on_PUTG_Pr_100_Btn_toggled(bool checked)
{
    PUTGSwitchMaterials();
    reinforcementToggled(checked, "100");
}

void PutgTab::on_PUTG_Pr_211_Btn_toggled(bool checked)
{
    reinforcementToggled(checked, "211");
    setFlag("putg_spec", checked);
    m_host->SetMessages();
}

void PutgTab::on_PUTG_Pr_212_Btn_toggled(bool checked) { reinforcementToggled(checked, "212"); }
void PutgTab::on_PUTG_Pr_311_Btn_toggled(bool checked) { reinforcementToggled(checked, "311"); }
void PutgTab::on_PUTG_Pr_312_Btn_toggled(bool checked) { reinforcementToggled(checked, "312"); }

void PutgTab::PUTGPrTypeChanged()
{
    ui->PUTG_Input_Box->setChecked(false);
    PUTGResetAddFields();
    PUTGConstructionRules();
    PUTGSetPicture();
    // Another reinforcement may come with a drawing of another height.
    PUTGResizeChert();
    PUTGCreateDefinition();
}

void PutgTab::PUTGConstructionRules()
{
    const QStringList enabled = putg::enabledConstructions(PUTGPrType, PUTGConfig, PUTGFlanType);
    for (const QString &code : putg::constructions())
        constructionButton(code)->setEnabled(enabled.contains(code));

    QString wanted = putg::checkedConstruction(PUTGPrType);
    // A construction the new choice rules out must not stay chosen.
    if (wanted.isEmpty() && !enabled.contains(PUTGConst))
        wanted = QStringLiteral("01");
    const QString before = PUTGConst;
    if (!wanted.isEmpty())
        constructionButton(wanted)->setChecked(true);

    PUTGSetDepthList();
    // A construction changed for the user (042 -> 01, say) has other rings:
    // the diameters of the old one must be asked for anew, as a click does.
    if (PUTGConst != before)
        m_host->ClickOnSomthn();
}

void PutgTab::PUTGSetDepthList()
{
    ui->PUTG_Depth_Box->clear();
    ui->PUTG_Depth_Box->addItems(putg::thicknessList(PUTGPrType));
    ui->PUTG_Depth_Box->setCurrentIndex(0);
    PUTGDefaultDepth();
}

void PutgTab::PUTGDefaultDepth()
{
    const QString cls = putg::sizeClass(PUTGStandard, ui->PUTG_Size_table->currentRow());
    const int i = ui->PUTG_Depth_Box->findText(putg::wantedThickness(PUTGPrType, cls));
    // A thickness the list does not offer leaves the selection as it is.
    if (i >= 0)
        ui->PUTG_Depth_Box->setCurrentIndex(i);
}

void PutgTab::constructionToggled(bool checked, const char *code)
{
    if (!checked)
        return;
    PUTGConst = QLatin1String(code);
    PUTGConstChanged();
}

void PutgTab::on_PUTG_Const_01_Btn_toggled(bool checked) { constructionToggled(checked, "01"); }
void PutgTab::on_PUTG_Const_02_Btn_toggled(bool checked) { constructionToggled(checked, "02"); }
void PutgTab::on_PUTG_Const_03_Btn_toggled(bool checked) { constructionToggled(checked, "03"); }
void PutgTab::on_PUTG_Const_04_Btn_toggled(bool checked) { constructionToggled(checked, "04"); }
void PutgTab::on_PUTG_Const_042_Btn_toggled(bool checked) { constructionToggled(checked, "042"); }
void PutgTab::on_PUTG_Const_043_Btn_toggled(bool checked) { constructionToggled(checked, "043"); }
void PutgTab::on_PUTG_Const_044_Btn_toggled(bool checked) { constructionToggled(checked, "044"); }
void PutgTab::on_PUTG_Const_012_Btn_toggled(bool checked) { constructionToggled(checked, "012"); }
void PutgTab::on_PUTG_Const_013_Btn_toggled(bool checked) { constructionToggled(checked, "013"); }
void PutgTab::on_PUTG_Const_014_Btn_toggled(bool checked) { constructionToggled(checked, "014"); }

void PutgTab::PUTGConstChanged()
{
    showDimensions();
    PUTGSetPicture();
    PUTGResizeChert();
    // Rules may switch the construction without a click; keep the pickers in step.
    PUTGSwitchMaterials();
    ui->PUTG_Input_Box->setChecked(false);
    PUTGCreateDefinition();
}

void PutgTab::PUTGSwitchMaterials()
{
    const putg::PickerStates s = putg::pickerStates(PUTGPrType, PUTGConst);
    // The button, not the member: while "100" is being left the member still
    // holds it.
    ui->PUTG_AE_Material->setEnabled(!ui->PUTG_Pr_100_Btn->isChecked());
    ui->PUTG_Out_Material->setEnabled(s.out);
    ui->PUTG_In_Material->setEnabled(s.in);
    ui->PUTG_O_Material->setEnabled(s.o);
}

void PutgTab::ComboBoxSetEditable()
{
    if (auto *box = qobject_cast<QComboBox *>(sender()))
        putgui::ComboBoxSetEditable(box);
}

void PutgTab::ComboBoxMaterialEnter()
{
    const QString name = sender() ? sender()->objectName() : QString();
    if (name == QLatin1String("PUTG_AE_Material") || name == QLatin1String("PUTG_O_Material")
        || name == QLatin1String("PUTG_In_Material") || name == QLatin1String("PUTG_Out_Material"))
        PUTGCreateDefinition();
}

// ---- temperature, thickness and additional fields --------------------------

void PutgTab::on_PUTG_tempr_min_toggled(bool checked)
{
    if (!checked)
        return;
    const int m = putg::modElemForTemperature(0, ui->PUTG_ModElem->currentIndex());
    if (m >= 0)
        ui->PUTG_ModElem->setCurrentIndex(m);
    PUTGCreateDefinition();
}

void PutgTab::on_PUTG_tempr_mid_toggled(bool checked)
{
    if (!checked)
        return;
    ui->PUTG_ModElem->setCurrentIndex(putg::modElemForTemperature(1, ui->PUTG_ModElem->currentIndex()));
    PUTGCreateDefinition();
}

void PutgTab::on_PUTG_tempr_max_toggled(bool checked)
{
    if (!checked)
        return;
    ui->PUTG_ModElem->setCurrentIndex(putg::modElemForTemperature(2, ui->PUTG_ModElem->currentIndex()));
    PUTGCreateDefinition();
}

void PutgTab::on_PUTG_ModElem_currentIndexChanged(int index)
{
    setFlag("putg_to", false);
    QRadioButton *const buttons[] = {ui->PUTG_tempr_min, ui->PUTG_tempr_mid, ui->PUTG_tempr_max};
    QRadioButton *b = buttons[putg::temperatureForModElem(index)];
    if (!b->isChecked())
        b->setChecked(true);
    if (index == 5)
        setFlag("putg_to", true);
    m_host->SetMessages();
    PUTGCreateDefinition();
}

void PutgTab::on_PUTG_Depth_Box_currentTextChanged(const QString &text)
{
    QComboBox *box = ui->PUTG_Depth_Box;
    const bool last = box->count() > 0 && box->currentIndex() == box->count() - 1;
    if (box->isEditable() != last) {
        box->setEditable(last);
        if (last && box->lineEdit()) {
            // "3" typed must stay 3, not be completed into a listed "3,5".
            box->setCompleter(nullptr);
            box->lineEdit()->selectAll();
        }
    }
    PUTGDepth = text;
    PUTGCreateDefinition();
}

void PutgTab::on_PUTG_KVF_checkBox_toggled(bool checked)
{
    ui->PUTGFixBox->setEnabled(checked);
    if (!checked)
        ui->PUTGFixBox->setCurrentIndex(0);
    PUTGCreateDefinition();
}

void PutgTab::on_PUTG_Ras_checkBox_toggled(bool checked)
{
    if (checked && PUTGConfig == QLatin1String("circ")) {
        ui->PUTG_Kol_Ch_Raz->setEnabled(true);
        PUTGFillKolCh();
    } else {
        ui->PUTG_Kol_Ch_Raz->clear();
        ui->PUTG_Kol_Ch_Raz->setEnabled(false);
    }
    PUTGCreateDefinition();
}

void PutgTab::PUTGFillKolCh()
{
    ui->PUTG_Kol_Ch_Raz->setText(putg::splitParts(PUTGStandard, ui->PUTG_Size_table->currentRow()));
}

void PutgTab::on_PUTG_Perem_Yes_toggled(bool checked)
{
    ui->PUTG_Perem_Box->setEnabled(checked);
    ui->PUTG_Perem_Depth_Edit->setEnabled(checked);
    if (!checked) {
        ui->PUTG_Perem_Box->setCurrentIndex(0);
        ui->PUTG_Perem_Depth_Edit->clear();
        setFlag("putg_perem", false);
        m_host->SetMessages();
    }
    PUTGCreateDefinition();
}

void PutgTab::on_PUTG_Perem_Box_currentIndexChanged(int)
{
    if (ui->PUTG_Perem_Yes->isChecked()) {
        const QString letter = ui->PUTG_Perem_Box->currentText();
        setFlag("putg_perem", !putg::jumperIsStandard(letter));
        m_host->SetMessages();
        const bool widthAllowed = letter == QLatin1String("A");
        if (!widthAllowed)
            ui->PUTG_Perem_Depth_Edit->clear();
        ui->PUTG_Perem_Depth_Edit->setEnabled(widthAllowed);
    }
    PUTGCreateDefinition();
}

void PutgTab::on_PUTG_Otv_checkBox_toggled(bool checked)
{
    setFlag("putg_otv", checked);
    m_host->SetMessages();
}

void PutgTab::on_PUTG_Clear_Add_Fields_clicked()
{
    PUTGResetAddFields();
}

void PutgTab::PUTGResetAddFields()
{
    ui->PUTGCleenBox->setCurrentIndex(0);
    ui->PUTG_HowMade_Box->setCurrentIndex(0);
    ui->PUTG_Depth_Box->setCurrentIndex(0);
    ui->PUTG_ModElem->setCurrentIndex(0);
    ui->PUTG_Perem_Yes->setChecked(false);
    ui->PUTG_Otv_checkBox->setChecked(false);
    ui->PUTG_Ras_checkBox->setChecked(false);
    ui->PUTG_KVF_checkBox->setChecked(false);
    ui->PUTG_tempr_min->setChecked(true);
    setFlag("putg_note", false);
    m_host->SetMessages();
    ui->PUTG_AE_Material->setCurrentIndex(putg::kDefaultAeIndex);
    ui->PUTG_Out_Material->setCurrentIndex(putg::kDefaultOutIndex);
    ui->PUTG_O_Material->setCurrentIndex(putg::kDefaultOIndex);
    ui->PUTG_In_Material->setCurrentIndex(putg::kDefaultInIndex);
    PUTGCreateDefinition();
}

// ---- shapes and typed dimensions -------------------------------------------

void PutgTab::on_PUTG_Config_Circle_toggled(bool checked)
{
    if (checked) {
        PUTGConfig = QStringLiteral("circ");
        ui->PUTG_Pr_S_Field->hide();
        ui->PUTG_Sketch_Field->hide();
        ui->PUTG_Table_Field->show();
        ui->PUTG_Size_Label->show();
        ui->PUTG_Size_table->show();
        ui->PUTG_Input_Box->show();
        ui->PUTG_Chert_Field->show();
        ui->PUTGStandBox->setEnabled(true);
        PUTGConstructionRules();
        PUTGResetAddFields();
        ui->PUTG_Pr_212_Btn->setChecked(true);
        PUTGSetPicture();
        // The round drawing was not laid out while the shape was another.
        PUTGResizeChert();
    } else {
        PUTGConfig.clear();
        ui->PUTGStandBox->setEnabled(false);
        // Only the sizes go: every shape's designation carries a pressure,
        // so its list stays to be chosen from.
        ui->PUTG_Size_Label->hide();
        ui->PUTG_Size_table->hide();
        ui->PUTG_Chert_Field->hide();
        ui->PUTG_Input_Box->setChecked(false);
        ui->PUTG_Input_Box->hide();
        ui->PUTG_Sketch_Field->show();
        setFlag("putg_note", false);
        m_host->SetMessages();
    }
    PUTGCreateDefinition();
}

void PutgTab::clearShapeDimensions()
{
    ui->PUTG_A1_Edit->clear();
    ui->PUTG_A2_Edit->clear();
    ui->PUTG_B1_Edit->clear();
    ui->PUTG_B2_Edit->clear();
    ui->PUTG_C_Edit->clear();
    PUTGA1.clear();
    PUTGA2.clear();
    PUTGB1.clear();
    PUTGB2.clear();
    PUTGC.clear();
}

void PutgTab::resetSketchLabels()
{
    ui->PUTG_A1_Data->setText(QStringLiteral("A1"));
    ui->PUTG_A2_Data->setText(QStringLiteral("A2"));
    ui->PUTG_B1_Data->setText(QStringLiteral("B1"));
    ui->PUTG_B2_Data->setText(QStringLiteral("B2"));
    ui->PUTG_C_Data->setText(QStringLiteral("C"));
}

void PutgTab::PUTGNonRoundChecked(const QString &config)
{
    PUTGConfig = config;
    clearShapeDimensions();
    resetSketchLabels();
    if (ui->PUTG_Pr_Gab_Btn->isChecked())
        PUTGSetSizeMode(QStringLiteral("gab"));
    else
        ui->PUTG_Pr_Gab_Btn->setChecked(true);
    ui->PUTG_Pr_S_Field->show();
    ui->PUTG_Sketch_Field->show();
    putgui::showScaledToSize(ui->PUTG_Pr_O_Pic, putg::outlineSketch(config));
    PUTGSetPicture();
    ui->PUTG_Pr_212_Btn->setChecked(true);
    PUTGResetAddFields();
    PUTGConstructionRules();
    PUTGCreateDefinition();
}

void PutgTab::on_PUTG_Config_Rect_toggled(bool checked)
{
    if (checked) {
        PUTGNonRoundChecked(QStringLiteral("rect"));
        ui->PUTGStandBox->setCurrentIndex(0);
    } else {
        clearShapeDimensions();
    }
    PUTGCreateDefinition();
}

void PutgTab::on_PUTG_Config_Ellipse_toggled(bool checked)
{
    if (checked) {
        PUTGNonRoundChecked(QStringLiteral("ell"));
        setFlag("putg_oval", true);
    } else {
        clearShapeDimensions();
        setFlag("putg_oval", false);
    }
    m_host->SetMessages();
    PUTGCreateDefinition();
}

void PutgTab::PUTGSetSizeMode(const QString &mode)
{
    PUTGSizeMode = mode;
    clearShapeDimensions();
    resetSketchLabels();
    const bool gab = mode == QLatin1String("gab");
    ui->PUTG_A2_Edit->setEnabled(gab);
    ui->PUTG_B2_Edit->setEnabled(gab);
    ui->PUTG_C_Edit->setEnabled(!gab);
}

void PutgTab::on_PUTG_Pr_Gab_Btn_toggled(bool checked)
{
    if (checked)
        PUTGSetSizeMode(QStringLiteral("gab"));
}

void PutgTab::on_PUTG_Pr_Fie_Btn_toggled(bool checked)
{
    if (checked)
        PUTGSetSizeMode(QStringLiteral("fie"));
}

void PutgTab::shapeDimensionTyped(QString *member, QLabel *sketchLabel, const QString &text)
{
    *member = text;
    sketchLabel->setText(text);
    PUTGCreateDefinition();
}

void PutgTab::on_PUTG_A1_Edit_textChanged(const QString &t) { shapeDimensionTyped(&PUTGA1, ui->PUTG_A1_Data, t); }
void PutgTab::on_PUTG_A2_Edit_textChanged(const QString &t) { shapeDimensionTyped(&PUTGA2, ui->PUTG_A2_Data, t); }
void PutgTab::on_PUTG_B1_Edit_textChanged(const QString &t) { shapeDimensionTyped(&PUTGB1, ui->PUTG_B1_Data, t); }
void PutgTab::on_PUTG_B2_Edit_textChanged(const QString &t) { shapeDimensionTyped(&PUTGB2, ui->PUTG_B2_Data, t); }
void PutgTab::on_PUTG_C_Edit_textChanged(const QString &t) { shapeDimensionTyped(&PUTGC, ui->PUTG_C_Data, t); }

void PutgTab::diameterTyped(QString *member, QLabel *label, const QString &text)
{
    if (!ui->PUTG_Input_Box->isChecked())
        return;
    *member = text;
    label->setText(text);
    PUTGCreateDefinition();
}

void PutgTab::on_PUTG_D1_Inp_Box_textChanged(const QString &t) { diameterTyped(&PUTGD1, ui->PUTG_s1, t); }
void PutgTab::on_PUTG_D2_Inp_Box_textChanged(const QString &t) { diameterTyped(&PUTGD2, ui->PUTG_s2, t); }
void PutgTab::on_PUTG_D3_Inp_Box_textChanged(const QString &t) { diameterTyped(&PUTGD3, ui->PUTG_s3, t); }
void PutgTab::on_PUTG_D4_Inp_Box_textChanged(const QString &t) { diameterTyped(&PUTGD4, ui->PUTG_s4, t); }

void PutgTab::on_PUTG_Input_Box_toggled(bool checked)
{
    PUTGLastStandard.clear();
    PUTGLastConst.clear();
    PUTGLastFlanType.clear();
    PUTGLastSize.clear();
    PUTGLastPress.clear();
    PUTGSetInpBox(checked);
    PUTGResizeChert();
}

void PutgTab::PUTGSetInpBox(bool checked)
{
    const putgui::ChertWidgets w = chertWidgets();
    if (checked) {
        const bool shown[] = {putg::hasInnerRing(PUTGConst), true, true, putg::hasOuterRing(PUTGConst)};
        const QString values[] = {PUTGD1, PUTGD2, PUTGD3, PUTGD4};
        for (int i = 0; i < 4; ++i) {
            w.inputs[i]->setVisible(shown[i]);
            w.captions[i]->setVisible(shown[i]);
            w.inputs[i]->setEnabled(true);
            // Start from the dimensions at hand so fields and designation agree.
            w.inputs[i]->setText(values[i]);
        }
        ui->PUTG_Table_Field->setEnabled(false);
        PUTGCreateDefinition();
        setFlag("putg_note", false);
        m_host->SetMessages();
    } else {
        ui->PUTG_Table_Field->setEnabled(true);
        for (int i = 0; i < 4; ++i) {
            w.inputs[i]->clear();
            w.inputs[i]->setEnabled(false);
            w.inputs[i]->hide();
            w.captions[i]->hide();
        }
        // The typed diameters no longer apply; until the lookup answers there
        // is nothing to order, rather than a table size with typed diameters.
        PUTGD1.clear();
        PUTGD2.clear();
        PUTGD3.clear();
        PUTGD4.clear();
        if (PUTGConfig == QLatin1String("circ"))
            requestLookup();
        m_host->SetMessages();
        PUTGCreateDefinition();
    }
}

// ---- standard and facing ---------------------------------------------------

void PutgTab::on_PUTGStandBox_currentIndexChanged(int index)
{
    PUTGStandard = putg::standards().value(index);
    const putg::ListTitles titles = putg::listTitles(PUTGStandard);
    ui->PUTG_Size_Label->setText(titles.size);
    ui->PUTG_Press_Label->setText(titles.press);
    ui->PUTG_Input_Box->setChecked(false);
    PUTGResetAddFields();
    PUTGLoadTables(index);
    PUTGCreateDefinition();
}

void PutgTab::on_PUTGFlanBox_currentIndexChanged(int index)
{
    PUTGFlanType = putg::flanTypeForIndex(index);
    ui->PUTG_Input_Box->setChecked(false);
    PUTGResetAddFields();
    PUTGSetFlanPicture();
    PUTGConstructionRules();
    PUTGCreateDefinition();
}

// ---- tables, lookup and pictures -------------------------------------------

void PutgTab::PUTGLoadTables(int index)
{
    const QString sizeKey = putg::sizeTableKey(index);
    if (!sizeKey.isEmpty()) {
        const QVariantMap tables = m_host->tables();
        putgui::PUTGFillList(tables.value(sizeKey).toStringList(), ui->PUTG_Size_table,
                             putgui::ListRole::Size, &PUTGSize);
        putgui::PUTGFillList(tables.value(putg::pressTableKey(index)).toStringList(),
                             ui->PUTG_Press_table, putgui::ListRole::Press, &PUTGPress);

        QListWidget *press = ui->PUTG_Press_table;
        auto pressRow = [this, press](int row, bool takeText) {
            if (putgui::selectRow(press, row) && takeText)
                PUTGPress = press->currentItem()->text();
        };
        switch (index) {
        case 0:
            pressRow(3, false);
            break;
        case 1:
        case 5:
            pressRow(3, true);
            break;
        case 3:
            pressRow(1, true);
            break;
        case 4:
            putgui::selectRow(ui->PUTG_Size_table, 1);
            pressRow(1, true);
            break;
        default:
            break;
        }
    }
    PUTGDefaultDepth();
}

void PutgTab::PUTGFindData()
{
    if (PUTGConfig != QLatin1String("circ"))
        return;
    QListWidgetItem *size = ui->PUTG_Size_table->currentItem();
    QListWidgetItem *press = ui->PUTG_Press_table->currentItem();
    if (!size || !press)
        return;
    if (PUTGLastStandard == PUTGStandard && PUTGLastConst == PUTGConst
        && PUTGLastFlanType == PUTGFlanType && PUTGLastSize == size->text()
        && PUTGLastPress == press->text())
        return;

    QVariantMap map;
    map.insert(QStringLiteral("standart"), PUTGStandard);
    map.insert(QStringLiteral("tf"), putg::requestTf(PUTGFlanType, PUTGConst));
    map.insert(QStringLiteral("size"), size->text());
    map.insert(QStringLiteral("press"), press->text());
    qDebug() << PUTGStandard << map.value(QStringLiteral("tf")).toString() << size->text()
             << press->text();
    PUTGLastStandard = PUTGStandard;
    PUTGLastConst = PUTGConst;
    PUTGLastFlanType = PUTGFlanType;
    PUTGLastSize = size->text();
    PUTGLastPress = press->text();
    m_host->sendRequest(kPutgRequest, map);
}

void PutgTab::on_PUTG_Size_table_clicked(const QModelIndex &)
{
    if (QListWidgetItem *item = ui->PUTG_Size_table->currentItem())
        PUTGSize = item->text();
    PUTGFindData();
    PUTGResetAddFields();
    PUTGDefaultDepth();
}

void PutgTab::on_PUTG_Press_table_clicked(const QModelIndex &)
{
    if (QListWidgetItem *item = ui->PUTG_Press_table->currentItem())
        PUTGPress = item->text();
    PUTGResetAddFields();
    if (PUTGConfig == QLatin1String("circ"))
        PUTGFindData();
    else
        PUTGCreateDefinition();
}

void PutgTab::PUTGSetPicture()
{
    if (PUTGConfig == QLatin1String("circ"))
        putgui::showScaledToWidth(ui->PUTG_Pic_Pr, putg::roundDrawing(PUTGPrType, PUTGConst));
    else if (PUTGConfig == QLatin1String("rect") || PUTGConfig == QLatin1String("ell"))
        putgui::showScaledToWidth(ui->PUTG_P_Pr_O_Pic, putg::halfDrawing(PUTGPrType, PUTGConst));
}

void PutgTab::PUTGSetFlanPicture()
{
    const QString path = putg::flanPicture(PUTGFlanType);
    if (!path.isEmpty())
        putgui::showScaledToSize(ui->PUTG_Flan_Picture, path);
}

void PutgTab::PUTGResizeChert()
{
    if (PUTGConfig != QLatin1String("circ"))
        return;
    putgui::PUTGResizeChert(chertWidgets(), putg::hasOuterRing(PUTGConst),
                            putg::hasInnerRing(PUTGConst), &putgui::kPutgRoundLines);
}

// ---- reply 16 ----------------------------------------------------------------

void PutgTab::applyDimensions(const QStringList &l)
{
    if (ui->PUTG_Input_Box->isChecked()) {
        // Asked for before the switch to typed diameters; they stay.
        qDebug() << "table answer ignored: diameters are typed";
        return;
    }
    auto value = [&l](int i) {
        const QString v = i < l.size() ? l.at(i) : QString();
        return v == QLatin1String("0") ? QString() : v;
    };
    if (l.isEmpty()) {
        qDebug() << "No variant";
        PUTGD1.clear();
        PUTGD2.clear();
        PUTGD3.clear();
        PUTGD4.clear();
        m_host->setNote(QStringLiteral("putg_note"), QStringLiteral("1"));
    } else {
        PUTGD4 = value(0);
        PUTGD3 = value(1);
        PUTGD2 = value(2);
        PUTGD1 = value(3);
        m_host->setNote(QStringLiteral("putg_note"), QString());
    }
    m_host->SetMessages();
}

void PutgTab::showDimensions()
{
    ui->PUTG_s1->setText(PUTGD1);
    ui->PUTG_s2->setText(PUTGD2);
    ui->PUTG_s3->setText(PUTGD3);
    ui->PUTG_s4->setText(PUTGD4);
}
