#pragma once
#include <QModelIndex>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "snpdesignation.h"
#include "app/ordertab.h"

class TabHost;
class QAbstractButton;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMessageBox;
namespace Ui { class SnpTab; }

// The spiral-wound gasket configurator tab. The rules themselves live in
// src/core (snpoptions.h, snpdesignation.h); the slots here read widgets,
// ask the core and write the results back.
class SnpTab : public QWidget, public OrderTab
{
    Q_OBJECT
public:
    explicit SnpTab(TabHost *host, QWidget *parent = nullptr);
    ~SnpTab() override;

    // Start state applied when the account may use this tab.
    void applyStartState();
    // Fills the size and pressure lists from the host's tables map.
    void fillFromTables();
    // True while no dimension request may be sent (typed diameters).
    bool requestSuppressed() const;
    QLabel *messageLabel() const;

    // OrderTab
    Row offeredRow() const override;
    void rebuildItem() override;
    void resetExtraOptions() override;
    QAbstractButton *addButton() const override;
    QAbstractButton *attachButton() const override;

    // Replies 8 and 20 up to the data-received step.
    void applyDimensions(const QStringList &l);
    void applyDimensionsByD2(const QStringList &l);

    // The choices as the designation builders read them.
    snp::SnpChoices choices() const;

    // Option helpers shared by the slots.
    void SNPSetCurrentDepth();
    void SNPRefreshDepth();
    void SNPPlaceDepthLabels();
    void SetTUVisible(bool visible);
    void SNPPeremAvail();
    void SNPSetPictures();
    void SNPSetLabelPositions();
    void FillTableList(const QStringList &rows, QListWidget *list);
    void SNPSetD2Table();

    QString SNPStandard, SNPType, SNPSize, SNPPress;
    QString SNPD1, SNPD2, SNPD3, SNPD4;
    QString SNPFill, SNPDepth, SNPTableDepth;
    QString SNPModElem, SNPInCode, SNPKCode, SNPOutCode;
    QString SNPLastStandard, SNPLastType, SNPLastSize, SNPLastPress;
    QString SNPDescriptionText;

public slots:
    void SNPFindData();
    void SNPCreateDefinition();
    void SNPLoadTables(int set);
    void ResetAddFields();
    void ComboBoxSetEditable();
    void ComboBoxMaterialEnter();
    void SetCarcMaterials();
    void SNPSwitchMaterials();

private slots:
    void on_SNP_OST_128_Btn_toggled(bool checked);
    void on_SNP_OST_287_Btn_toggled(bool checked);
    void on_SNP_GOST_128_Btn_toggled(bool checked);
    void on_SNP_ASME_165_Btn_toggled(bool checked);
    void on_SNP_EN_165_Btn_toggled(bool checked);
    void on_SNP_ASME_1647A_Btn_toggled(bool checked);
    void on_SNP_EN_1647A_Btn_toggled(bool checked);
    void on_SNP_ASME_1647B_Btn_toggled(bool checked);
    void on_SNP_EN_1647B_Btn_toggled(bool checked);
    void on_SNP_EN15_Btn_toggled(bool checked);
    void on_SNP_TU_Btn_toggled(bool checked);

    void on_SNP_A_Btn_toggled(bool checked);
    void on_SNP_B_Btn_toggled(bool checked);
    void on_SNP_C_Btn_toggled(bool checked);
    void on_SNP_D_Btn_toggled(bool checked);
    void on_SNP_E_Btn_toggled(bool checked);

    void on_Flan_A_Btn_toggled(bool checked);
    void on_Flan_B_Btn_toggled(bool checked);
    void on_Flan_C_Btn_toggled(bool checked);

    void on_Type_in_3_Btn_toggled(bool checked);
    void on_Type_in_4_Btn_toggled(bool checked);
    void on_Type_in_5_Btn_toggled(bool checked);

    void on_SNP_Tempr_min_Btn_toggled(bool checked);
    void on_SNP_Tempr_mid_Btn_toggled(bool checked);
    void on_SNP_Tempr_max_Btn_toggled(bool checked);
    void on_SNP_ModElem_currentIndexChanged(int index);

    void on_Depth_45_Btn_toggled(bool checked);
    void on_Depth_32_Btn_toggled(bool checked);
    void on_Depth_23_Btn_toggled(bool checked);
    void on_Depth_ps_Btn_toggled(bool checked);
    void on_SNP_Other_Depth_Btn_toggled(bool checked);
    void on_SNP_Other_Depth_Edit_textChanged(const QString &text);

    void on_SNP_Perem_Yes_toggled(bool checked);
    void on_SNP_Perem_Box_currentIndexChanged(int index);
    void on_SNP_KVF_checkBox_toggled(bool checked);
    void on_SNP_ONO_checkBox_toggled(bool checked);
    void on_SNP_ClearAdd_Btn_clicked();

    void on_D1_Edit_textChanged(const QString &text);
    void on_D2_Edit_textChanged(const QString &text);
    void on_D3_Edit_textChanged(const QString &text);
    void on_D4_Edit_textChanged(const QString &text);

    void on_Size_table_clicked(const QModelIndex &index);
    void on_Press_table_clicked(const QModelIndex &index);
    void on_D2_table_clicked(const QModelIndex &index);
    void on_Size_table_currentItemChanged(QListWidgetItem *current, QListWidgetItem *previous);
    void on_Press_table_currentItemChanged(QListWidgetItem *current, QListWidgetItem *previous);

private:
    void chooseStandard(const QString &code);
    void chooseType(const QString &type);
    void chooseDepth(const QString &depth);
    void applyDefaultType();
    void applyTitles();
    void setNote(const char *key, bool on);
    void setDiameter(int n, const QString &text);
    void clearDiameters();
    bool lateForTu() const;
    void clearDimensions();
    void forgetLastRequest();
    void SNPCreateDescription();
    bool isOst() const;
    QString checkedFlange() const;
    QAbstractButton *typeButton(const QString &type) const;
    QLabel *diameterLabel(int n) const;
    void showPicture(QLabel *target, const QString &path);

    Ui::SnpTab *ui;
    TabHost *m_host;
    bool m_withD2 = false;
    // One box for an unknown D2 value: repeated lookups update it instead of stacking copies.
    QPointer<QMessageBox> m_d2Box;
};
