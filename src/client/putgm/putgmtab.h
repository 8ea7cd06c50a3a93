#pragma once
#include <QStringList>
#include <QWidget>

#include "putgmdesignation.h"
#include "app/ordertab.h"

class TabHost;
class QLabel;
class QModelIndex;
namespace Ui { class PutgmTab; }
namespace putgui { struct ChertWidgets; }

// The graphite-on-metal-base gasket configurator tab. The option rules, texts
// and names live in src/core (namespace putgm); the slots here only move
// values between the widgets and those functions.
class PutgmTab : public QWidget, public OrderTab
{
    Q_OBJECT
public:
    explicit PutgmTab(TabHost *host, QWidget *parent = nullptr);
    ~PutgmTab() override;

    void applyStartState();
    // Lists of the current standard, once the tables map is there.
    void fillFromTables();
    bool requestSuppressed() const { return PUTGmConfig != QLatin1String("circ"); }
    QLabel *messageLabel() const;

    // OrderTab
    Row offeredRow() const override;
    void rebuildItem() override;
    void resetExtraOptions() override;
    QAbstractButton *addButton() const override;
    QAbstractButton *attachButton() const override;
    void uncheckInputBox();
    // Reply 18 up to the data-received step.
    void applyDimensions(const QStringList &l);
    void showDimensions();

    // Everything the designation builder reads, taken from members and widgets.
    putgm::PutgmChoices choices() const;
    // Layer count of a multilayer base for a thickness index.
    QString GetLayer(const QString &osn, int index) const;

    QString PUTGmConfig = QStringLiteral("circ");
    QString PUTGmSizeMode;
    QString PUTGmSize, PUTGmPress;
    QString PUTGmD1, PUTGmD2, PUTGmD3, PUTGmD4;
    QString PUTGmA1, PUTGmA2, PUTGmB1, PUTGmB2, PUTGmC;
    QString PUTGmFlanType = QStringLiteral("A");
    QString PUTGmStandard = QStringLiteral("GOST128");
    QString PUTGmOsn = QStringLiteral("09");
    QString PUTGmConst = QStringLiteral("01");
    QString PUTGmPlak = QStringLiteral("1");
    QString PUTGmDepth = QStringLiteral("3,0");
    QString PUTGmAECode = QStringLiteral("1");
    QString PUTGmOCode = QStringLiteral("2");
    QString PUTGmDescriptionText;

    // The choice of the last dimension request (code 17).
    QString PUTGmLastStandard, PUTGmLastFlanType, PUTGmLastOsn, PUTGmLastSize, PUTGmLastPress;

public slots:
    void PUTGmFindData();
    void PUTGmCreateDefinition();
    void PUTGmCreateDescription();
    void PUTGmLoadTables(int set);
    void PUTGmTypeOsnChanged();
    void PUTGmTypePlacChanged();
    void PUTGmSetTypePlac();
    void PUTGmSwitchGlue();
    void PUTGmResetAddFields();
    void PUTGmSetPicture();
    void PUTGmSetFlanPicture();
    void PUTGmResizeChert();
    void ComboBoxSetEditable();
    void ComboBoxMaterialEnter();

private slots:
    void on_PUTGm_Osn_09_Btn_toggled(bool checked);
    void on_PUTGm_Osn_099_Btn_toggled(bool checked);
    void on_PUTGm_Osn_095_Btn_toggled(bool checked);
    void on_PUTGm_Osn_097_Btn_toggled(bool checked);
    void on_PUTGm_Osn_098_Btn_toggled(bool checked);
    void on_PUTGm_Osn_08_Btn_toggled(bool checked);
    void on_PUTGm_Osn_091_Btn_toggled(bool checked);
    void on_PUTGm_Osn_09x_Btn_toggled(bool checked);
    void on_PUTGm_Osn_093_Btn_toggled(bool checked);
    void on_PUTGm_Osn_08x_Btn_toggled(bool checked);
    void on_PUTGm_Osn_092_Btn_toggled(bool checked);

    void on_PUTGm_Const_01_Btn_toggled(bool checked);
    void on_PUTGm_Const_02_Btn_toggled(bool checked);
    void on_PUTGm_Const_03_Btn_toggled(bool checked);
    void on_PUTGm_Const_04_Btn_toggled(bool checked);

    void on_PUTGm_Plak_1_toggled(bool checked);
    void on_PUTGm_Plak_2_toggled(bool checked);
    void on_PUTGm_Plak_3_toggled(bool checked);
    void on_PUTGm_Plak_4_toggled(bool checked);
    void on_PUTGm_Plak_5_toggled(bool checked);
    void on_PUTGm_Plak_6_toggled(bool checked);
    void on_PUTGm_Plak_7_toggled(bool checked);
    void on_PUTGm_Plak_8_toggled(bool checked);

    void on_PUTGm_Depth_Box_currentTextChanged(const QString &text);
    void on_PUTGm_09x_Edit_textChanged(const QString &);
    void on_PUTGm_08x_Edit_textChanged(const QString &);
    void on_PUTGm_tempr_min_toggled(bool checked);
    void on_PUTGm_tempr_mid_toggled(bool checked);
    void on_PUTGm_tempr_max_toggled(bool checked);
    void on_PUTGm_ModElem_currentIndexChanged(int index);
    void on_PUTGm_KVF_checkBox_toggled(bool checked);
    void on_PUTGm_Perem_Yes_toggled(bool checked);
    void on_PUTGm_Perem_Box_currentIndexChanged(int index);
    void on_PUTGm_Otv_checkBox_toggled(bool checked);
    void on_PUTGm_Clear_Add_Fields_clicked();

    void on_PUTGm_Pr_Gab_Btn_toggled(bool checked);
    void on_PUTGm_Pr_Fie_Btn_toggled(bool checked);
    void on_PUTGm_A1_Edit_textChanged(const QString &text);
    void on_PUTGm_A2_Edit_textChanged(const QString &text);
    void on_PUTGm_B1_Edit_textChanged(const QString &text);
    void on_PUTGm_B2_Edit_textChanged(const QString &text);
    void on_PUTGm_C_Edit_textChanged(const QString &text);
    void on_PUTGm_D1_Inp_Box_textChanged(const QString &text);
    void on_PUTGm_D2_Inp_Box_textChanged(const QString &text);
    void on_PUTGm_D3_Inp_Box_textChanged(const QString &text);
    void on_PUTGm_D4_Inp_Box_textChanged(const QString &text);
    void on_PUTGm_Input_Box_toggled(bool checked);

    void on_PUTGm_Size_table_clicked(const QModelIndex &);
    void on_PUTGm_Press_table_clicked(const QModelIndex &);
    void on_PUTGmStandBox_currentIndexChanged(int index);
    void on_PUTGmFlanBox_currentIndexChanged(int index);
    void on_PUTGm_Config_Circle_toggled(bool checked);
    void on_PUTGm_Config_Ellipse_toggled(bool checked);
    void on_PUTGm_Config_Rect_toggled(bool checked);

private:
    void baseChosen(bool checked, const QString &osn);
    void constructionChosen(bool checked, const QString &construction);
    void plateChosen(bool checked, const QString &plak);
    void applyConstructionRules();
    void fillThicknessList();
    void writeLayerCount();
    void dimensionTyped(QString *member, QLabel *sketchLabel, const QString &text);
    void diameterTyped(QString *member, QLabel *chertLabel, const QString &text);
    void clearNonRoundDimensions(bool edits);
    void resetSketchLabels();
    void showShape();
    // Size and pressure list titles that match the values of the standard.
    void showListTitles();
    putgui::ChertWidgets chertWidgets() const;
    void placeInputsBelow(const putgui::ChertWidgets &w, int drawingHeight);

    Ui::PutgmTab *ui;
    TabHost *m_host;
    // The round gasket's recommendation and note while another shape is shown.
    QStringList m_roundNotes;
};
