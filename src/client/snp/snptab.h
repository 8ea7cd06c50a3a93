#pragma once
#include <QStringList>
#include <QWidget>

class TabHost;
class QLabel;
class QListWidget;
class QRadioButton;
class QLineEdit;
class QTextEdit;

// The spiral-wound gasket configurator tab.
class SnpTab : public QWidget
{
    Q_OBJECT
public:
    explicit SnpTab(TabHost *host, QWidget *parent = nullptr);

    // Start state applied when the account may use this tab.
    void applyStartState();
    // Fills the size and pressure lists from the host's tables map.
    void fillFromTables();
    // True while no dimension request may be sent (typed diameters).
    bool requestSuppressed() const;
    QLabel *messageLabel() const { return m_message; }

    // Replies 8 and 20 up to the data-received step.
    void applyDimensions(const QStringList &l);
    void applyDimensionsByD2(const QStringList &l);

    QString SNPStandard, SNPType, SNPSize, SNPPress;
    QString SNPD1, SNPD2, SNPD3, SNPD4;
    QString SNPFill, SNPDepth, SNPTableDepth;
    QString SNPLastStandard, SNPLastType, SNPLastSize, SNPLastPress;
    QString SNPDescriptionText;

public slots:
    void SNPFindData();
    void SNPCreateDefinition();
    void SNPLoadTables(int set);

private:
    void clearDimensions();
    static QString standardForRequest(const QString &standard);

    TabHost *m_host;
    QLabel *m_message;
    QLabel *m_d[4];
    QListWidget *m_size;
    QListWidget *m_press;
    QListWidget *m_d2;
    QRadioButton *m_tu;
    QLineEdit *m_definition;
    QTextEdit *m_description;
};
