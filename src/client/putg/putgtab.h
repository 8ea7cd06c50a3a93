#pragma once
#include <QStringList>
#include <QWidget>

#include "putgdesignation.h"
#include "putg/putgwidgets.h"
#include "app/ordertab.h"

class TabHost;
class QAbstractButton;
class QComboBox;
class QLabel;
class QModelIndex;
class QRadioButton;
namespace Ui { class PutgTab; }

// The expanded-graphite gasket configurator tab.
class PutgTab : public QWidget, public OrderTab
{
    Q_OBJECT
public:
    explicit PutgTab(TabHost *host, QWidget *parent = nullptr);
    ~PutgTab() override;

    void applyStartState();
    // Size and pressure lists for the current standard, once the tables arrived.
    void fillFromTables();
    bool requestSuppressed() const { return PUTGConfig != QLatin1String("circ"); }
    QLabel *messageLabel() const;

    // OrderTab
    Row offeredRow() const override;
    void rebuildItem() override;
    void resetExtraOptions() override;
    QAbstractButton *addButton() const override;
    QAbstractButton *attachButton() const override;
    // Reply 16 up to the data-received step.
    void applyDimensions(const QStringList &l);
    // Shows PUTGD1..PUTGD4 in their labels.
    void showDimensions();

    // The builders' view of the tab: members plus the widgets they read.
    putg::PutgChoices choices() const;

    QString PUTGConfig, PUTGSizeMode, PUTGSize, PUTGPress;
    QString PUTGD1, PUTGD2, PUTGD3, PUTGD4;
    QString PUTGA1, PUTGA2, PUTGB1, PUTGB2, PUTGC;
    QString PUTGFlanType, PUTGPrType, PUTGConst, PUTGDepth, PUTGStandard;
    QString PUTGAECode, PUTGOCode, PUTGInCode, PUTGOutCode;
    QString PUTGDescriptionText;
    // Choice of the last dimension request; a repeat of it sends nothing.
    QString PUTGLastStandard, PUTGLastConst, PUTGLastFlanType, PUTGLastSize, PUTGLastPress;

public slots:
    void PUTGFindData();
    void PUTGCreateDefinition();
    void PUTGCreateDescription();
    void PUTGLoadTables(int index);
    void PUTGResetAddFields();
    void PUTGSwitchMaterials();
    void PUTGSetPicture();
    void PUTGSetFlanPicture();
    void PUTGResizeChert();
    void ComboBoxSetEditable();
    void ComboBoxMaterialEnter();

private slots:
    void on_PUTG_Pr_100_Btn_toggled(bool checked);
    void on_PUTG_Pr_211_Btn_toggled(bool checked);
    void on_PUTG_Pr_212_Btn_toggled(bool checked);
    void on_PUTG_Pr_311_Btn_toggled(bool checked);
    void on_PUTG_Pr_312_Btn_toggled(bool checked);

    void on_PUTG_Const_01_Btn_toggled(bool checked);
    void on_PUTG_Const_02_Btn_toggled(bool checked);
    void on_PUTG_Const_03_Btn_toggled(bool checked);
    void on_PUTG_Const_04_Btn_toggled(bool checked);
    void on_PUTG_Const_042_Btn_toggled(bool checked);
    void on_PUTG_Const_043_Btn_toggled(bool checked);
    void on_PUTG_Const_044_Btn_toggled(bool checked);
    void on_PUTG_Const_012_Btn_toggled(bool checked);
    void on_PUTG_Const_013_Btn_toggled(bool checked);
    void on_PUTG_Const_014_Btn_toggled(bool checked);

    void on_PUTG_tempr_min_toggled(bool checked);
    void on_PUTG_tempr_mid_toggled(bool checked);
    void on_PUTG_tempr_max_toggled(bool checked);
    void on_PUTG_ModElem_currentIndexChanged(int index);
    void on_PUTG_Depth_Box_currentTextChanged(const QString &text);
    void on_PUTG_KVF_checkBox_toggled(bool checked);
    void on_PUTG_Ras_checkBox_toggled(bool checked);
    void on_PUTG_Perem_Yes_toggled(bool checked);
    void on_PUTG_Perem_Box_currentIndexChanged(int index);
    void on_PUTG_Otv_checkBox_toggled(bool checked);

    void on_PUTG_Config_Circle_toggled(bool checked);
    void on_PUTG_Config_Ellipse_toggled(bool checked);
    void on_PUTG_Config_Rect_toggled(bool checked);
    void on_PUTG_Pr_Gab_Btn_toggled(bool checked);
    void on_PUTG_Pr_Fie_Btn_toggled(bool checked);
    void on_PUTG_A1_Edit_textChanged(const QString &text);
    void on_PUTG_A2_Edit_textChanged(const QString &text);
    void on_PUTG_B1_Edit_textChanged(const QString &text);
    void on_PUTG_B2_Edit_textChanged(const QString &text);
    void on_PUTG_C_Edit_textChanged(const QString &text);
    void on_PUTG_D1_Inp_Box_textChanged(const QString &text);
    void on_PUTG_D2_Inp_Box_textChanged(const QString &text);
    void on_PUTG_D3_Inp_Box_textChanged(const QString &text);
    void on_PUTG_D4_Inp_Box_textChanged(const QString &text);
    void on_PUTG_Input_Box_toggled(bool checked);

    void on_PUTGStandBox_currentIndexChanged(int index);
    void on_PUTGFlanBox_currentIndexChanged(int index);
    void on_PUTG_Clear_Add_Fields_clicked();

    void on_PUTG_Size_table_clicked(const QModelIndex &index);
    void on_PUTG_Press_table_clicked(const QModelIndex &index);

private:
    void PUTGPrTypeChanged();
    void PUTGConstChanged();
    void reinforcementToggled(bool checked, const char *code);
    void constructionToggled(bool checked, const char *code);
    // Enabled constructions for reinforcement, shape and facing, then the
    // thickness list and its default.
    void PUTGConstructionRules();
    void PUTGSetDepthList();
    void PUTGDefaultDepth();
    void PUTGFillKolCh();
    void PUTGSetInpBox(bool checked);
    void PUTGSetSizeMode(const QString &mode);
    void PUTGNonRoundChecked(const QString &config);
    void clearShapeDimensions();
    void resetSketchLabels();
    void shapeDimensionTyped(QString *member, QLabel *sketchLabel, const QString &text);
    void diameterTyped(QString *member, QLabel *label, const QString &text);
    void requestLookup();
    void setFlag(const char *key, bool on);
    QRadioButton *constructionButton(const QString &code) const;
    putgui::ChertWidgets chertWidgets() const;

    Ui::PutgTab *ui;
    TabHost *m_host;
    // Lookups are only requested once the start state stands.
    bool m_started = false;
};
