#pragma once
#include <QDialog>
#include <QString>
#include <QVariantMap>
#include <QVector>
#include <functional>

#include "flangetables.h"

namespace Ui { class Opros; }

// Questionnaire about a flange joint. The window that opens it decides how the
// filled sheet travels to the server (login window or main window).
class Opros : public QDialog
{
    Q_OBJECT
public:
    explicit Opros(QWidget *parent = nullptr);
    ~Opros() override;

    bool isReady() const { return m_ready; }
    // Every field under its key; file_name is left empty here.
    QVariantMap questionnaireData() const;
    // Fills the picture labels, bolt count and bolt diameter for the current choice.
    void FlangeLookup();

    // Dialog seams; tests replace them so no native dialog ever opens.
    static std::function<QString(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter)> openFileName;
    static std::function<bool(QWidget *parent, const QString &title, const QString &text)> askYesNo;
    static std::function<void(const QString &text)> showMessage;
    // Off only in the benchmark that measures what the tables cost.
    static bool buildTables;

    static constexpr qint64 kMaxDrawingBytes = 2 * 1024 * 1024;

protected:
    void timerEvent(QTimerEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    // Declared before the text overload: the joint type is applied first.
    void on_comboBox_currentIndexChanged(int index);
    void on_comboBox_currentIndexChanged(const QString &text);
    void on_comboBox_2_currentIndexChanged(int index);
    void on_comboBox_6_currentIndexChanged(int index);
    void on_radioButton_clicked();
    void on_radioButton_2_clicked();
    void on_radioButton_7_clicked();
    void on_radioButton_8_clicked();
    void on_radioButton_12_clicked();
    void on_radioButton_13_clicked();
    void on_textEdit_2_textChanged();
    void on_textEdit_20_textChanged();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_EXIT_clicked();
    void on_label_42_linkActivated(const QString &link);
    void on_label_43_linkActivated(const QString &link);

private:
    void setStandardMode(bool standard);
    void arrangeSections(bool landscape);
    void centreOnDesktop();
    void placeSuperscript();
    void showJointPicture();
    void showFlangeLookup(const flanges::FlangeLookupResult &r);

    Ui::Opros *ui;
    int m_startTimer = 0;
    bool m_ready = false;
    // Built once per dialog; the lookup only reads them.
    QVector<flanges::FlangeTable> m_tables;
};
