#include "putgm/putgmtab.h"
#include "app/wheelguard.h"
#include "order/orderrules.h"
#include "ui_putgmtab.h"

#include "putg/putgwidgets.h"

#include "app/tabhost.h"
#include "app/wholetext.h"
#include "materials.h"
#include "putgdesignation.h"
#include "putgmoptions.h"
#include "putgoptions.h"
#include "wire.h"

#include <QDebug>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {

const QString kCirc = QStringLiteral("circ");
const QString kRect = QStringLiteral("rect");
const QString kEll = QStringLiteral("ell");

// Outline sketch of non-round gaskets: 360 px wide.
constexpr double kSketchWidth = 360;

// The round drawings are 580 px wide and write each diameter's name just left
// of x = 250 above its dimension line; the lines are stacked 36 px under the
// section (2.6 px lower with obturators), 32 px apart, smallest first.
constexpr double kChertWidth = 580;
constexpr double kChertSlotX = 250;
// Space around the rows of typed diameters under the drawing.
constexpr int kInputRowGap = 4;
constexpr int kInputWidth = 110;

// Dimension line of each diameter on the drawing of a base and construction,
// in drawing pixels; -1 where the drawing has no such diameter.
void chertLines(const QString &osn, const QString &construction, double y[4])
{
    const double t = putgm::isMultilayer(osn) ? 52 : 42;
    double line = 40 + t + (construction == QLatin1String("01") ? 0 : 2.6) + 36;
    const bool present[4] = {putgm::hasD1(osn), true, true, putgm::hasD4(osn)};
    for (int i = 0; i < 4; ++i) {
        y[i] = present[i] ? line : -1;
        if (present[i])
            line += 32;
    }
}

materials::Pick pickOf(const QComboBox *box)
{
    materials::Pick p;
    p.index = box->currentIndex();
    p.count = box->count();
    p.text = box->currentText();
    return p;
}

} // namespace

PutgmTab::PutgmTab(TabHost *host, QWidget *parent)
    : QWidget(parent), ui(new Ui::PutgmTab), m_host(host)
{
    ui->setupUi(this);
    keepTextEditWhole(ui->PUTGm_Description);
    guardWheel(this);
    for (QLineEdit *e : {ui->PUTGm_D1_Inp_Box, ui->PUTGm_D2_Inp_Box, ui->PUTGm_D3_Inp_Box, ui->PUTGm_D4_Inp_Box,
                         ui->PUTGm_A1_Edit, ui->PUTGm_A2_Edit, ui->PUTGm_B1_Edit, ui->PUTGm_B2_Edit, ui->PUTGm_C_Edit})
        putgui::acceptSizesOnly(e);

    // A typed material must not become a new entry: the last entry has to
    // stay the free one, or the codes of the entries after it go wrong.
    for (QComboBox *box : {ui->PUTGm_AE_Material, ui->PUTGm_O_Material})
        box->setInsertPolicy(QComboBox::NoInsert);
    ui->PUTGm_AE_Material->addItems(materials::ringList());
    ui->PUTGm_O_Material->addItems(materials::stripList());
    for (QComboBox *box : {ui->PUTGm_AE_Material, ui->PUTGm_O_Material}) {
        connect(box, SIGNAL(currentIndexChanged(int)), this, SLOT(PUTGmCreateDefinition()));
        connect(box, SIGNAL(currentIndexChanged(QString)), this, SLOT(ComboBoxSetEditable()));
        connect(box, SIGNAL(editTextChanged(QString)), this, SLOT(ComboBoxMaterialEnter()));
    }
    connect(ui->PUTGm_Perem_Depth_Edit, SIGNAL(textChanged(QString)), this, SLOT(PUTGmCreateDefinition()));
    connect(ui->PUTGmFixBox, SIGNAL(currentIndexChanged(int)), this, SLOT(PUTGmCreateDefinition()));
    connect(ui->PUTGm_HowMade_Box, SIGNAL(currentIndexChanged(int)), this, SLOT(PUTGmCreateDefinition()));
    connect(ui->PUTGm_Cl_1, SIGNAL(clicked()), this, SLOT(PUTGmCreateDefinition()));
    connect(ui->PUTGm_Cl_2, SIGNAL(clicked()), this, SLOT(PUTGmCreateDefinition()));
    connect(ui->PUTGm_Osn_08_Btn, SIGNAL(toggled(bool)), this, SLOT(PUTGmSwitchGlue()));
    connect(ui->PUTGm_Osn_08x_Btn, SIGNAL(toggled(bool)), this, SLOT(PUTGmSwitchGlue()));
    for (QRadioButton *b : {ui->PUTGm_Const_01_Btn, ui->PUTGm_Const_02_Btn, ui->PUTGm_Const_03_Btn,
                            ui->PUTGm_Const_04_Btn, ui->PUTGm_Const_05_Btn, ui->PUTGm_Const_06_Btn,
                            ui->PUTGm_Const_04c_Btn, ui->PUTGm_Const_022_Btn})
        connect(b, SIGNAL(toggled(bool)), this, SLOT(PUTGmSetTypePlac()));

    const putgui::ChertWidgets chert = chertWidgets();
    for (int i = 0; i < 4; ++i) {
        chert.inputs[i]->hide();
        chert.captions[i]->hide();
    }
    for (QLabel *l : {ui->PUTGm_A1_Data, ui->PUTGm_A2_Data, ui->PUTGm_B1_Data, ui->PUTGm_B2_Data, ui->PUTGm_C_Data}) {
        l->setAlignment(Qt::AlignCenter);
        l->setAutoFillBackground(true);
        QPalette pal = l->palette();
        pal.setColor(QPalette::Window, Qt::white);
        l->setPalette(pal);
    }
    showShape();
}

PutgmTab::~PutgmTab()
{
    delete ui;
}

QLabel *PutgmTab::messageLabel() const
{
    return ui->PUTGm_Message_Label;
}

OrderTab::Row PutgmTab::offeredRow() const
{
    return {ui->PUTGm_Definition->text(), ui->PUTGm_Count->text(), order::putgmSizeText(choices()),
            PUTGmDescriptionText};
}

void PutgmTab::rebuildItem()
{
    PUTGmCreateDefinition();
}

void PutgmTab::resetExtraOptions()
{
    // Nothing here is reset between items.
}

QAbstractButton *PutgmTab::addButton() const
{
    return ui->PUTGm_Add_To_Basket;
}

QAbstractButton *PutgmTab::attachButton() const
{
    return ui->PUTGm_AddChert;
}

void PutgmTab::applyStartState()
{
    PUTGmDepth = QStringLiteral("3,0");
    PUTGmAECode = QStringLiteral("1");
    PUTGmOCode = QStringLiteral("2");
    PUTGmStandard = QStringLiteral("GOST128");
    PUTGmFlanType = QStringLiteral("A");
    PUTGmConst = QStringLiteral("01");
    PUTGmConfig = kCirc;
    showListTitles();
    ui->PUTGm_Input_Box->setChecked(false);
    resetSketchLabels();
    showShape();

    ui->PUTGmStandBox->setCurrentIndex(0);
    ui->PUTGm_Config_Circle->setChecked(true);
    ui->PUTGmFlanBox->setCurrentIndex(0);
    // The combo starts at index 0, so no change signal shows the picture.
    PUTGmSetFlanPicture();
    ui->PUTGm_Osn_09_Btn->setChecked(true);
    ui->PUTGm_Const_01_Btn->setChecked(true);
    ui->PUTGm_Plak_1->setChecked(true);
    PUTGmResetAddFields();
    // Shows the start drawing even when the checks above changed nothing.
    PUTGmSetPicture();
    PUTGmResizeChert();
}

void PutgmTab::fillFromTables()
{
    PUTGmLoadTables(ui->PUTGmStandBox->currentIndex() + 1);
}

void PutgmTab::uncheckInputBox()
{
    ui->PUTGm_Input_Box->setChecked(false);
}

putgm::PutgmChoices PutgmTab::choices() const
{
    putgm::PutgmChoices c;
    c.PUTGmConfig = PUTGmConfig;
    c.PUTGmSizeMode = PUTGmSizeMode;
    c.PUTGmSize = PUTGmSize;
    c.PUTGmPress = PUTGmPress;
    c.PUTGmD1 = PUTGmD1;
    c.PUTGmD2 = PUTGmD2;
    c.PUTGmD3 = PUTGmD3;
    c.PUTGmD4 = PUTGmD4;
    c.PUTGmA1 = PUTGmA1;
    c.PUTGmA2 = PUTGmA2;
    c.PUTGmB1 = PUTGmB1;
    c.PUTGmB2 = PUTGmB2;
    c.PUTGmC = PUTGmC;
    c.PUTGmFlanType = PUTGmFlanType;
    c.PUTGmStandard = PUTGmStandard;
    c.PUTGmOsn = PUTGmOsn;
    c.PUTGmConst = PUTGmConst;
    c.PUTGmPlak = PUTGmPlak;
    c.PUTGmDepth = PUTGmDepth;
    c.PUTGm_KVF_checkBox = ui->PUTGm_KVF_checkBox->isChecked();
    c.PUTGmFixBox = ui->PUTGmFixBox->currentText();
    c.PUTGm_Perem_Yes = ui->PUTGm_Perem_Yes->isChecked();
    c.PUTGm_Perem_Box = ui->PUTGm_Perem_Box->currentText();
    c.PUTGm_Perem_Depth_Edit = ui->PUTGm_Perem_Depth_Edit->text();
    c.PUTGm_Otv_checkBox = ui->PUTGm_Otv_checkBox->isChecked();
    c.PUTGm_HowMade_Box = ui->PUTGm_HowMade_Box->currentIndex();
    c.PUTGm_ModElem = ui->PUTGm_ModElem->currentIndex();
    c.PUTGm_AE_Material = pickOf(ui->PUTGm_AE_Material);
    c.PUTGm_O_Material = pickOf(ui->PUTGm_O_Material);
    c.PUTGm_09x_Edit = ui->PUTGm_09x_Edit->text();
    c.PUTGm_08x_Edit = ui->PUTGm_08x_Edit->text();
    c.PUTGm_Input_Box = ui->PUTGm_Input_Box->isChecked();
    c.PUTGm_Config_Ellipse = ui->PUTGm_Config_Ellipse->isChecked();
    return c;
}

QString PutgmTab::GetLayer(const QString &osn, int index) const
{
    return putgm::layerCount(osn, PUTGmPlak, index);
}

// ---- designation ---------------------------------------------------------------

void PutgmTab::PUTGmCreateDefinition()
{
    const putgm::PutgmChoices c = choices();
    const QString d = putgm::designation(c);
    if (putgm::isComplete(c)) {
        const putgm::MaterialCodes codes = putgm::materialCodes(c);
        PUTGmAECode = codes.ae;
        PUTGmOCode = codes.o;
    }
    ui->PUTGm_Definition->setText(d);
    PUTGmCreateDescription();
}

void PutgmTab::PUTGmCreateDescription()
{
    PUTGmDescriptionText = putgm::description(choices(), ui->PUTGm_Definition->text());
    ui->PUTGm_Description->setPlainText(PUTGmDescriptionText);
}

// ---- tables and lookup -----------------------------------------------------------

putgui::ChertWidgets PutgmTab::chertWidgets() const
{
    putgui::ChertWidgets w;
    w.field = ui->PUTGm_Chert_Field;
    w.picture = ui->PUTGm_Pic_Pr;
    QLabel *const values[] = {ui->PUTGm_s1, ui->PUTGm_s2, ui->PUTGm_s3, ui->PUTGm_s4};
    QLabel *const captions[] = {ui->PUTGm_D1_Lbl, ui->PUTGm_D2_Lbl, ui->PUTGm_D3_Lbl, ui->PUTGm_D4_Lbl};
    QLineEdit *const inputs[] = {ui->PUTGm_D1_Inp_Box, ui->PUTGm_D2_Inp_Box, ui->PUTGm_D3_Inp_Box,
                                 ui->PUTGm_D4_Inp_Box};
    for (int i = 0; i < 4; ++i) {
        w.values[i] = values[i];
        w.captions[i] = captions[i];
        w.inputs[i] = inputs[i];
    }
    return w;
}

void PutgmTab::PUTGmLoadTables(int set)
{
    const QString sizeKey = putgm::sizeTableKey(set);
    const QString pressKey = putgm::pressTableKey(set);
    if (sizeKey.isEmpty())
        return;
    const QVariantMap tables = m_host->tables();
    putgui::PUTGFillList(tables.value(sizeKey).toStringList(), ui->PUTGm_Size_table, putgui::ListRole::Size,
                         &PUTGmSize);
    putgui::PUTGFillList(tables.value(pressKey).toStringList(), ui->PUTGm_Press_table, putgui::ListRole::Press,
                         &PUTGmPress);
}

void PutgmTab::PUTGmFindData()
{
    if (PUTGmConfig != kCirc)
        return;
    const QListWidgetItem *size = ui->PUTGm_Size_table->currentItem();
    const QListWidgetItem *press = ui->PUTGm_Press_table->currentItem();
    if (!size || !press)
        return;
    if (PUTGmLastStandard == PUTGmStandard && PUTGmLastFlanType == PUTGmFlanType && PUTGmLastOsn == PUTGmOsn
        && PUTGmLastSize == size->text() && PUTGmLastPress == press->text())
        return;

    QVariantMap m;
    m.insert(QStringLiteral("standart"), PUTGmStandard);
    m.insert(QStringLiteral("tf"), putgm::requestTf(PUTGmOsn, PUTGmFlanType));
    m.insert(QStringLiteral("size"), size->text());
    m.insert(QStringLiteral("press"), press->text());
    const QMessageLogger log("mainwindow", __LINE__, "void MainWindow::PUTGmFindData()");
    for (const char *key : {"standart", "tf", "size", "press"})
        log.debug().noquote() << QStringLiteral("putgm  ") + m.value(QLatin1String(key)).toString();

    PUTGmLastStandard = PUTGmStandard;
    PUTGmLastFlanType = PUTGmFlanType;
    PUTGmLastOsn = PUTGmOsn;
    PUTGmLastSize = size->text();
    PUTGmLastPress = press->text();
    m_host->sendRequest(quint8(wire::PutgmRequest), m);
}

void PutgmTab::applyDimensions(const QStringList &l)
{
    if (ui->PUTGm_Input_Box->isChecked()) {
        // Asked for before the switch to typed diameters; they stay.
        qDebug() << "table answer ignored: diameters are typed";
        return;
    }
    if (l.isEmpty()) {
        qDebug() << "No variant";
        PUTGmD1.clear();
        PUTGmD2.clear();
        PUTGmD3.clear();
        PUTGmD4.clear();
        m_host->setNote(QStringLiteral("putgm_note"), QStringLiteral("1"));
        m_host->setNote(QStringLiteral("putgm_memo"), QString());
    } else {
        auto at = [&l](int i) { return i < l.size() ? l.at(i) : QString(); };
        PUTGmD1 = at(3);
        PUTGmD2 = at(2);
        PUTGmD3 = at(1);
        PUTGmD4 = at(0);
        m_host->setNote(QStringLiteral("putgm_note"), QString());
        static const QStringList codes = {QStringLiteral("t5"), QStringLiteral("t6"),
                                          QStringLiteral("t7"), QStringLiteral("t8")};
        m_host->setNote(QStringLiteral("putgm_memo"), codes.contains(l.last()) ? l.last() : QString());
    }
    m_host->SetMessages();
}

void PutgmTab::showDimensions()
{
    ui->PUTGm_s1->setText(PUTGmD1);
    ui->PUTGm_s2->setText(PUTGmD2);
    ui->PUTGm_s3->setText(PUTGmD3);
    ui->PUTGm_s4->setText(PUTGmD4);
}

void PutgmTab::on_PUTGm_Size_table_clicked(const QModelIndex &)
{
    if (const QListWidgetItem *it = ui->PUTGm_Size_table->currentItem())
        PUTGmSize = it->text();
    ui->PUTGm_Input_Box->setChecked(false);
    PUTGmFindData();
}

void PutgmTab::on_PUTGm_Press_table_clicked(const QModelIndex &)
{
    if (const QListWidgetItem *it = ui->PUTGm_Press_table->currentItem())
        PUTGmPress = it->text();
    ui->PUTGm_Input_Box->setChecked(false);
    if (PUTGmConfig == kCirc)
        PUTGmFindData();
    else
        PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGmStandBox_currentIndexChanged(int index)
{
    const QString standard = putgm::standardForIndex(index);
    if (!standard.isEmpty())
        PUTGmStandard = standard;
    showListTitles();
    PUTGmResetAddFields();
    PUTGmLoadTables(index + 1);
}

void PutgmTab::showListTitles()
{
    const putg::ListTitles titles = putg::listTitles(PUTGmStandard);
    ui->PUTGm_Size_Label->setText(titles.size);
    ui->PUTGm_Press_Label->setText(titles.press);
}

void PutgmTab::on_PUTGmFlanBox_currentIndexChanged(int index)
{
    const QString flan = putgm::flanTypeForIndex(index);
    if (!flan.isEmpty())
        PUTGmFlanType = flan;
    PUTGmResetAddFields();
    PUTGmSetFlanPicture();
    // A non-round gasket gets no server answer, which would otherwise be the
    // only rebuild of its facing mark.
    PUTGmCreateDefinition();
}

// ---- pictures ---------------------------------------------------------------------

void PutgmTab::PUTGmSetPicture()
{
    if (PUTGmConfig == kCirc)
        putgui::showScaledToWidth(ui->PUTGm_Pic_Pr, putgm::roundDrawing(PUTGmOsn, PUTGmConst, PUTGmPlak));
    else if (PUTGmConfig == kRect || PUTGmConfig == kEll)
        putgui::showScaledToWidth(ui->PUTGm_P_Pr_O_Pic, putgm::halfDrawing(PUTGmOsn, PUTGmConst, PUTGmPlak));
}

void PutgmTab::PUTGmSetFlanPicture()
{
    const QString path = putgm::flanPicture(PUTGmFlanType);
    if (!path.isEmpty())
        putgui::showScaledToSize(ui->PUTGm_Flan_Picture, path);
}

void PutgmTab::PUTGmResizeChert()
{
    if (PUTGmConfig != kCirc)
        return;
    const putgui::ChertWidgets w = chertWidgets();
    const int height = putgui::PUTGResizeChert(w, putgm::hasD4(PUTGmOsn), putgm::hasD1(PUTGmOsn));
    // Each value goes right after its name on the drawing rather than into
    // the shared value column.
    double lines[4];
    chertLines(PUTGmOsn, PUTGmConst, lines);
    const double k = w.picture->width() / kChertWidth;
    for (int i = 0; i < 4; ++i) {
        if (lines[i] < 0)
            continue;
        const int baseline = w.picture->y() + qRound((lines[i] - 2) * k);
        w.values[i]->setGeometry(w.picture->x() + qRound(kChertSlotX * k) + 2, baseline - 16, 90, 18);
    }
    placeInputsBelow(w, height);
    QMessageLogger("mainwindow", __LINE__, "void MainWindow::PUTGmResizeChert()").debug() << height;
}

// The typed diameters go under the drawing, two to a row, smallest first,
// so that no box hides a line or a name of the drawing; the field grows by
// their rows.
void PutgmTab::placeInputsBelow(const putgui::ChertWidgets &w, int drawingHeight)
{
    QList<int> shown;
    for (int i = 0; i < 4; ++i) {
        if (!w.inputs[i]->isHidden())
            shown << i;
    }
    const int cellWidth = w.field->width() / 2;
    int rowsHeight = 0;
    for (int k = 0; k < shown.size(); ++k) {
        const int i = shown.at(k);
        const int rowHeight = w.inputs[i]->height() + kInputRowGap;
        const int x = w.picture->x() + (k % 2) * cellWidth;
        const int y = w.picture->y() + drawingHeight + kInputRowGap + (k / 2) * rowHeight;
        const int captionWidth = w.captions[i]->sizeHint().width();
        w.captions[i]->setGeometry(x, y, captionWidth, w.inputs[i]->height());
        w.inputs[i]->setGeometry(x + captionWidth, y,
                                 qMin(kInputWidth, cellWidth - captionWidth - 2 * kInputRowGap),
                                 w.inputs[i]->height());
        rowsHeight = (k / 2 + 1) * rowHeight + kInputRowGap;
    }
    const int fieldHeight = w.picture->y() + drawingHeight + rowsHeight;
    w.field->setMinimumHeight(fieldHeight);
    w.field->setMaximumHeight(fieldHeight);
}

// Puts the value labels over the names on the outline sketch.
static void placeSketchLabels(Ui::PutgmTab *ui, bool oval)
{
    const double k = ui->PUTGm_Pr_O_Pic->width() / kSketchWidth;
    struct At
    {
        QLabel *label;
        double cx, cy;
    };
    const At at[] = {
        {ui->PUTGm_A1_Data, 166, 17},
        {ui->PUTGm_A2_Data, 166, 96},
        {ui->PUTGm_B1_Data, 20, 130},
        {ui->PUTGm_B2_Data, oval ? 210.0 : 224.0, 130},
        {ui->PUTGm_C_Data, oval ? 216.0 : 318.0, oval ? 67.0 : 140.0},
    };
    for (const At &a : at) {
        const int w = 44, h = 15;
        const int x = qMax(0, qRound(a.cx * k) - w / 2);
        a.label->setGeometry(x, qRound(a.cy * k) - h / 2, w, h);
        a.label->raise();
    }
}

// ---- base, construction, sealing element --------------------------------------------

void PutgmTab::baseChosen(bool checked, const QString &osn)
{
    if (!checked)
        return;
    PUTGmOsn = osn;
    if (osn == QLatin1String("097") || osn == QLatin1String("098"))
        ui->PUTGm_Input_Box->setChecked(false);
    if (putgm::isMultilayer(osn))
        writeLayerCount();
    PUTGmTypeOsnChanged();
}

void PutgmTab::on_PUTGm_Osn_09_Btn_toggled(bool checked) { baseChosen(checked, QStringLiteral("09")); }
void PutgmTab::on_PUTGm_Osn_099_Btn_toggled(bool checked) { baseChosen(checked, QStringLiteral("099")); }
void PutgmTab::on_PUTGm_Osn_095_Btn_toggled(bool checked) { baseChosen(checked, QStringLiteral("095")); }
void PutgmTab::on_PUTGm_Osn_097_Btn_toggled(bool checked) { baseChosen(checked, QStringLiteral("097")); }
void PutgmTab::on_PUTGm_Osn_098_Btn_toggled(bool checked) { baseChosen(checked, QStringLiteral("098")); }
void PutgmTab::on_PUTGm_Osn_08_Btn_toggled(bool checked) { baseChosen(checked, QStringLiteral("08")); }
void PutgmTab::on_PUTGm_Osn_091_Btn_toggled(bool checked) { baseChosen(checked, QStringLiteral("091")); }
void PutgmTab::on_PUTGm_Osn_09x_Btn_toggled(bool checked) { baseChosen(checked, QStringLiteral("09x")); }
void PutgmTab::on_PUTGm_Osn_093_Btn_toggled(bool checked) { baseChosen(checked, QStringLiteral("093")); }
void PutgmTab::on_PUTGm_Osn_08x_Btn_toggled(bool checked) { baseChosen(checked, QStringLiteral("08x")); }
void PutgmTab::on_PUTGm_Osn_092_Btn_toggled(bool checked) { baseChosen(checked, QStringLiteral("092")); }

void PutgmTab::PUTGmTypeOsnChanged()
{
    applyConstructionRules();
    PUTGmSetTypePlac();
    PUTGmSetPicture();
    PUTGmResizeChert();
    PUTGmCreateDefinition();
}

void PutgmTab::applyConstructionRules()
{
    ui->PUTGm_Const_Scroll->verticalScrollBar()->setValue(0);
    ui->PUTGm_Const_01_Btn->setChecked(true);
    const QStringList on = putgm::enabledConstructions(PUTGmOsn, PUTGmConfig);
    QRadioButton *buttons[] = {ui->PUTGm_Const_01_Btn, ui->PUTGm_Const_02_Btn, ui->PUTGm_Const_03_Btn,
                               ui->PUTGm_Const_04_Btn};
    for (int i = 0; i < 4; ++i)
        buttons[i]->setEnabled(on.contains(putgm::constructions().at(i)));
    for (QRadioButton *b : {ui->PUTGm_Const_05_Btn, ui->PUTGm_Const_06_Btn, ui->PUTGm_Const_04c_Btn,
                            ui->PUTGm_Const_022_Btn})
        b->setEnabled(false);
}

void PutgmTab::constructionChosen(bool checked, const QString &construction)
{
    if (construction == QLatin1String("01"))
        ui->PUTGm_O_Material->setEnabled(!checked);
    if (!checked)
        return;
    PUTGmConst = construction;
    PUTGmSetPicture();
    PUTGmResizeChert();
    PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGm_Const_01_Btn_toggled(bool checked) { constructionChosen(checked, QStringLiteral("01")); }
void PutgmTab::on_PUTGm_Const_02_Btn_toggled(bool checked) { constructionChosen(checked, QStringLiteral("02")); }
void PutgmTab::on_PUTGm_Const_03_Btn_toggled(bool checked) { constructionChosen(checked, QStringLiteral("03")); }
void PutgmTab::on_PUTGm_Const_04_Btn_toggled(bool checked) { constructionChosen(checked, QStringLiteral("04")); }

void PutgmTab::plateChosen(bool checked, const QString &plak)
{
    if (!checked)
        return;
    PUTGmPlak = plak;
    if (plak == QLatin1String("6") || plak == QLatin1String("7") || plak == QLatin1String("9"))
        ui->PUTGm_AE_Material->setCurrentIndex(1);
    PUTGmTypePlacChanged();
}

void PutgmTab::on_PUTGm_Plak_1_toggled(bool checked) { plateChosen(checked, QStringLiteral("1")); }
void PutgmTab::on_PUTGm_Plak_2_toggled(bool checked) { plateChosen(checked, QStringLiteral("2")); }
void PutgmTab::on_PUTGm_Plak_3_toggled(bool checked) { plateChosen(checked, QStringLiteral("3")); }
void PutgmTab::on_PUTGm_Plak_4_toggled(bool checked) { plateChosen(checked, QStringLiteral("4")); }
void PutgmTab::on_PUTGm_Plak_5_toggled(bool checked) { plateChosen(checked, QStringLiteral("5")); }
void PutgmTab::on_PUTGm_Plak_6_toggled(bool checked) { plateChosen(checked, QStringLiteral("6")); }
void PutgmTab::on_PUTGm_Plak_7_toggled(bool checked) { plateChosen(checked, QStringLiteral("7")); }
void PutgmTab::on_PUTGm_Plak_8_toggled(bool checked) { plateChosen(checked, QStringLiteral("9")); }

void PutgmTab::PUTGmTypePlacChanged()
{
    PUTGmResizeChert();
    fillThicknessList();
    PUTGmSetPicture();
    PUTGmCreateDefinition();
}

void PutgmTab::PUTGmSetTypePlac()
{
    ui->PUTGm_Plak_1->setChecked(true);
    ui->PUTGm_Plak_Scroll->verticalScrollBar()->setValue(0);
    const QStringList on = putgm::enabledPlates(PUTGmOsn, PUTGmConst);
    QRadioButton *buttons[] = {ui->PUTGm_Plak_1, ui->PUTGm_Plak_2, ui->PUTGm_Plak_3, ui->PUTGm_Plak_4,
                               ui->PUTGm_Plak_5, ui->PUTGm_Plak_6, ui->PUTGm_Plak_7, ui->PUTGm_Plak_8};
    for (int i = 0; i < 8; ++i)
        buttons[i]->setEnabled(on.contains(putgm::plates().at(i)));
    fillThicknessList();
}

void PutgmTab::fillThicknessList()
{
    const putgm::ThicknessChoice t = putgm::thickness(PUTGmOsn, PUTGmPlak);
    {
        // One change signal for the whole refill, not one per step.
        const QSignalBlocker block(ui->PUTGm_Depth_Box);
        ui->PUTGm_Depth_Box->clear();
        ui->PUTGm_Depth_Box->addItems(t.entries);
        ui->PUTGm_Depth_Box->setCurrentIndex(t.current);
    }
    on_PUTGm_Depth_Box_currentTextChanged(ui->PUTGm_Depth_Box->currentText());
}

void PutgmTab::PUTGmSwitchGlue()
{
    const bool on = ui->PUTGm_Osn_08_Btn->isChecked() || ui->PUTGm_Osn_08x_Btn->isChecked();
    if (!on)
        ui->PUTGm_HowMade_Box->setCurrentIndex(0);
    ui->PUTGm_HowMade_Box->setEnabled(on);
}

void PutgmTab::writeLayerCount()
{
    const int i = ui->PUTGm_Depth_Box->currentIndex();
    if (PUTGmOsn == QLatin1String("09x"))
        ui->PUTGm_09x_Edit->setText(GetLayer(PUTGmOsn, i));
    else if (PUTGmOsn == QLatin1String("08x"))
        ui->PUTGm_08x_Edit->setText(GetLayer(PUTGmOsn, i));
}

void PutgmTab::on_PUTGm_Depth_Box_currentTextChanged(const QString &text)
{
    ui->PUTGm_Depth_Box->setEditable(text == QStringLiteral("др."));
    PUTGmDepth = text;
    if (putgm::isMultilayer(PUTGmOsn))
        writeLayerCount();
    PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGm_09x_Edit_textChanged(const QString &)
{
    PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGm_08x_Edit_textChanged(const QString &)
{
    PUTGmCreateDefinition();
}

// ---- temperature, additional options ------------------------------------------------

void PutgmTab::on_PUTGm_tempr_min_toggled(bool checked)
{
    if (checked)
        PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGm_tempr_mid_toggled(bool checked)
{
    if (!checked)
        return;
    ui->PUTGm_ModElem->setCurrentIndex(4);
    PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGm_tempr_max_toggled(bool checked)
{
    if (!checked)
        return;
    ui->PUTGm_ModElem->setCurrentIndex(5);
    PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGm_ModElem_currentIndexChanged(int index)
{
    QRadioButton *follow = index == 0 ? ui->PUTGm_tempr_min
                           : index == 4 ? ui->PUTGm_tempr_mid
                           : index == 5 ? ui->PUTGm_tempr_max
                                        : nullptr;
    if (follow && !follow->isChecked())
        follow->setChecked(true);
    PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGm_KVF_checkBox_toggled(bool checked)
{
    ui->PUTGmFixBox->setEnabled(checked);
    if (!checked)
        ui->PUTGmFixBox->setCurrentIndex(0);
    PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGm_Perem_Yes_toggled(bool checked)
{
    if (checked) {
        ui->PUTGm_Perem_Box->setEnabled(true);
        ui->PUTGm_Perem_Depth_Edit->setEnabled(true);
    } else {
        ui->PUTGm_Perem_Box->setCurrentIndex(0);
        ui->PUTGm_Perem_Box->setEnabled(false);
        ui->PUTGm_Perem_Depth_Edit->clear();
        ui->PUTGm_Perem_Depth_Edit->setEnabled(false);
        m_host->setNote(QStringLiteral("putgm_perem"), QString());
        m_host->SetMessages();
    }
    PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGm_Perem_Box_currentIndexChanged(int)
{
    if (ui->PUTGm_Perem_Yes->isChecked()) {
        const QString letter = ui->PUTGm_Perem_Box->currentText();
        m_host->setNote(QStringLiteral("putgm_perem"),
                        putg::jumperIsStandard(letter) ? QString() : QStringLiteral("1"));
        m_host->SetMessages();
        const bool width = letter == QLatin1String("A");
        if (!width)
            ui->PUTGm_Perem_Depth_Edit->clear();
        ui->PUTGm_Perem_Depth_Edit->setEnabled(width);
    }
    PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGm_Otv_checkBox_toggled(bool checked)
{
    m_host->setNote(QStringLiteral("putgm_otv"), checked ? QStringLiteral("1") : QString());
    m_host->SetMessages();
    PUTGmCreateDefinition();
}

void PutgmTab::PUTGmResetAddFields()
{
    ui->PUTGm_Cl_2->setChecked(true);
    ui->PUTGm_HowMade_Box->setCurrentIndex(0);
    ui->PUTGm_ModElem->setCurrentIndex(0);
    ui->PUTGm_Perem_Yes->setChecked(false);
    ui->PUTGm_Otv_checkBox->setChecked(false);
    ui->PUTGm_KVF_checkBox->setChecked(false);
    ui->PUTGm_tempr_min->setChecked(true);
    m_host->SetMessages();
    ui->PUTGm_AE_Material->setCurrentIndex(putgm::kDefaultAeIndex);
    ui->PUTGm_O_Material->setCurrentIndex(putgm::kDefaultOIndex);
}

void PutgmTab::on_PUTGm_Clear_Add_Fields_clicked()
{
    PUTGmResetAddFields();
    PUTGmCreateDefinition();
}

void PutgmTab::ComboBoxSetEditable()
{
    if (auto *box = qobject_cast<QComboBox *>(sender()))
        putgui::ComboBoxSetEditable(box);
}

void PutgmTab::ComboBoxMaterialEnter()
{
    const QString name = sender() ? sender()->objectName() : QString();
    if (name == QLatin1String("PUTGm_AE_Material") || name == QLatin1String("PUTGm_O_Material"))
        PUTGmCreateDefinition();
}

// ---- shapes and typed dimensions ---------------------------------------------------

void PutgmTab::showShape()
{
    const bool circ = PUTGmConfig == kCirc;
    ui->PUTGm_Chert_Field->setVisible(circ);
    ui->PUTGm_Size->setVisible(circ);
    ui->PUTGm_Pr_O_pol_Field->setVisible(!circ);
    ui->PUTGm_Pr_S_Chert_Field->setVisible(!circ);
    ui->PUTGm_Pr_S_Field->setVisible(!circ);
}

void PutgmTab::resetSketchLabels()
{
    ui->PUTGm_A1_Data->setText(QStringLiteral("A1"));
    ui->PUTGm_A2_Data->setText(QStringLiteral("A2"));
    ui->PUTGm_B1_Data->setText(QStringLiteral("B1"));
    ui->PUTGm_B2_Data->setText(QStringLiteral("B2"));
    ui->PUTGm_C_Data->setText(QStringLiteral("C"));
}

void PutgmTab::clearNonRoundDimensions(bool edits)
{
    PUTGmA1.clear();
    PUTGmA2.clear();
    PUTGmB1.clear();
    PUTGmB2.clear();
    PUTGmC.clear();
    if (!edits)
        return;
    for (QLineEdit *e : {ui->PUTGm_A1_Edit, ui->PUTGm_A2_Edit, ui->PUTGm_B1_Edit, ui->PUTGm_B2_Edit,
                         ui->PUTGm_C_Edit})
        e->clear();
}

void PutgmTab::on_PUTGm_Config_Circle_toggled(bool checked)
{
    const QString memo = QStringLiteral("putgm_memo");
    const QString note = QStringLiteral("putgm_note");
    if (!checked) {
        PUTGmConfig.clear();
        ui->PUTGm_Size->hide();
        ui->PUTGmStandBox->setEnabled(false);
        ui->PUTGm_Input_Box->setChecked(false);
        // What the lookup said was about the round gasket; it goes with the
        // shape and comes back with it (an unchanged lookup is not repeated).
        m_roundNotes = QStringList{m_host->note(memo), m_host->note(note)};
        m_host->setNote(memo, QString());
        m_host->setNote(note, QString());
        m_host->SetMessages();
        return;
    }
    PUTGmConfig = kCirc;
    if (m_roundNotes.size() == 2) {
        m_host->setNote(memo, m_roundNotes.at(0));
        m_host->setNote(note, m_roundNotes.at(1));
        m_roundNotes.clear();
        m_host->SetMessages();
    }
    showShape();
    ui->PUTGmStandBox->setEnabled(true);
    applyConstructionRules();
    // The round drawing was not kept up to date while the shape was another.
    PUTGmSetPicture();
    PUTGmResizeChert();
    PUTGmFindData();
    PUTGmResetAddFields();
    // An unchanged choice sends nothing, so no answer would rebuild the texts.
    PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGm_Config_Rect_toggled(bool checked)
{
    if (!checked) {
        clearNonRoundDimensions(false);
        ui->PUTGm_Perem_Yes->setChecked(false);
        ui->PUTGm_Osn_091_Btn->setEnabled(true);
        ui->PUTGm_Osn_097_Btn->setEnabled(true);
        return;
    }
    PUTGmConfig = kRect;
    clearNonRoundDimensions(true);
    resetSketchLabels();
    showShape();
    ui->PUTGm_Pr_Gab_Btn->setChecked(true);
    putgui::showScaledToSize(ui->PUTGm_Pr_O_Pic, putg::outlineSketch(kRect));
    placeSketchLabels(ui, false);
    PUTGmSetPicture();
    applyConstructionRules();
    PUTGmCreateDefinition();
    ui->PUTGm_Osn_091_Btn->setEnabled(false);
    ui->PUTGm_Osn_097_Btn->setEnabled(false);
    ui->PUTGmStandBox->setCurrentIndex(0);
    PUTGmResetAddFields();
}

void PutgmTab::on_PUTGm_Config_Ellipse_toggled(bool checked)
{
    if (!checked) {
        clearNonRoundDimensions(true);
        ui->PUTGm_Perem_Yes->setEnabled(true);
        ui->PUTGm_Perem_Yes->setChecked(false);
        m_host->setNote(QStringLiteral("putgm_oval"), QString());
        m_host->SetMessages();
        return;
    }
    PUTGmConfig = kEll;
    clearNonRoundDimensions(true);
    resetSketchLabels();
    showShape();
    ui->PUTGm_Pr_Gab_Btn->setChecked(true);
    putgui::showScaledToSize(ui->PUTGm_Pr_O_Pic, putg::outlineSketch(kEll));
    placeSketchLabels(ui, true);
    PUTGmSetPicture();
    applyConstructionRules();
    PUTGmCreateDefinition();
    m_host->setNote(QStringLiteral("putgm_oval"), QStringLiteral("1"));
    m_host->SetMessages();
    ui->PUTGmStandBox->setCurrentIndex(0);
    PUTGmResetAddFields();
    ui->PUTGm_Perem_Yes->setEnabled(false);
}

void PutgmTab::on_PUTGm_Pr_Gab_Btn_toggled(bool checked)
{
    if (!checked)
        return;
    PUTGmSizeMode = QStringLiteral("gab");
    clearNonRoundDimensions(true);
    resetSketchLabels();
    ui->PUTGm_A2_Edit->setEnabled(true);
    ui->PUTGm_B2_Edit->setEnabled(true);
    ui->PUTGm_C_Edit->setEnabled(false);
}

void PutgmTab::on_PUTGm_Pr_Fie_Btn_toggled(bool checked)
{
    if (!checked)
        return;
    PUTGmSizeMode = QStringLiteral("fie");
    clearNonRoundDimensions(true);
    resetSketchLabels();
    ui->PUTGm_A2_Edit->setEnabled(false);
    ui->PUTGm_B2_Edit->setEnabled(false);
    ui->PUTGm_C_Edit->setEnabled(true);
}

void PutgmTab::dimensionTyped(QString *member, QLabel *sketchLabel, const QString &text)
{
    *member = text;
    sketchLabel->setText(text);
    PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGm_A1_Edit_textChanged(const QString &text) { dimensionTyped(&PUTGmA1, ui->PUTGm_A1_Data, text); }
void PutgmTab::on_PUTGm_A2_Edit_textChanged(const QString &text) { dimensionTyped(&PUTGmA2, ui->PUTGm_A2_Data, text); }
void PutgmTab::on_PUTGm_B1_Edit_textChanged(const QString &text) { dimensionTyped(&PUTGmB1, ui->PUTGm_B1_Data, text); }
void PutgmTab::on_PUTGm_B2_Edit_textChanged(const QString &text) { dimensionTyped(&PUTGmB2, ui->PUTGm_B2_Data, text); }
void PutgmTab::on_PUTGm_C_Edit_textChanged(const QString &text) { dimensionTyped(&PUTGmC, ui->PUTGm_C_Data, text); }

void PutgmTab::diameterTyped(QString *member, QLabel *chertLabel, const QString &text)
{
    if (!ui->PUTGm_Input_Box->isChecked())
        return;
    *member = text;
    chertLabel->setText(text);
    PUTGmCreateDefinition();
}

void PutgmTab::on_PUTGm_D1_Inp_Box_textChanged(const QString &text) { diameterTyped(&PUTGmD1, ui->PUTGm_s1, text); }
void PutgmTab::on_PUTGm_D2_Inp_Box_textChanged(const QString &text) { diameterTyped(&PUTGmD2, ui->PUTGm_s2, text); }
void PutgmTab::on_PUTGm_D3_Inp_Box_textChanged(const QString &text) { diameterTyped(&PUTGmD3, ui->PUTGm_s3, text); }
void PutgmTab::on_PUTGm_D4_Inp_Box_textChanged(const QString &text) { diameterTyped(&PUTGmD4, ui->PUTGm_s4, text); }

void PutgmTab::on_PUTGm_Input_Box_toggled(bool checked)
{
    PUTGmLastStandard.clear();
    PUTGmLastFlanType.clear();
    PUTGmLastOsn.clear();
    PUTGmLastSize.clear();
    PUTGmLastPress.clear();

    const putgui::ChertWidgets w = chertWidgets();
    const bool shown[4] = {putgm::hasD1(PUTGmOsn), true, true, putgm::hasD4(PUTGmOsn)};
    if (checked) {
        const QString values[4] = {PUTGmD1, PUTGmD2, PUTGmD3, PUTGmD4};
        for (int i = 0; i < 4; ++i) {
            w.inputs[i]->setVisible(shown[i]);
            w.captions[i]->setVisible(shown[i]);
            w.inputs[i]->setEnabled(true);
            // Start from the dimensions at hand so fields and designation agree.
            w.inputs[i]->setText(values[i]);
        }
        ui->PUTGm_Size->setEnabled(false);
        m_host->setNote(QStringLiteral("putgm_note"), QString());
    } else {
        for (int i = 0; i < 4; ++i) {
            w.inputs[i]->clear();
            w.inputs[i]->setEnabled(false);
            w.inputs[i]->hide();
            w.captions[i]->hide();
        }
        ui->PUTGm_Size->setEnabled(true);
        // The typed diameters no longer apply; until the lookup answers there
        // is nothing to order, rather than a table size with typed diameters.
        PUTGmD1.clear();
        PUTGmD2.clear();
        PUTGmD3.clear();
        PUTGmD4.clear();
        if (PUTGmConfig == kCirc) {
            // The window's delayed request serves the tab on screen; unchecked
            // from another tab's request, this one asks for itself.
            if (isVisible())
                m_host->ClickOnSomthn();
            else
                PUTGmFindData();
        }
    }
    m_host->SetMessages();
    PUTGmResizeChert();
    PUTGmCreateDefinition();
}
