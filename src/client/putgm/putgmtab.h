#pragma once
#include <QStringList>
#include <QWidget>

class TabHost;
class QLabel;
class QCheckBox;

// The graphite-on-metal-base gasket configurator tab.
class PutgmTab : public QWidget
{
    Q_OBJECT
public:
    explicit PutgmTab(TabHost *host, QWidget *parent = nullptr);

    void applyStartState();
    void fillFromTables();
    bool requestSuppressed() const { return PUTGmConfig != QLatin1String("circ"); }
    QLabel *messageLabel() const { return m_message; }
    void uncheckInputBox();
    // Reply 18 up to the data-received step.
    void applyDimensions(const QStringList &l);
    void showDimensions();

    QString PUTGmConfig;
    QString PUTGmD1, PUTGmD2, PUTGmD3, PUTGmD4;
    QString PUTGmDescriptionText;

public slots:
    void PUTGmFindData();
    void PUTGmCreateDefinition();

private:
    TabHost *m_host;
    QLabel *m_message;
    QLabel *m_s[4];
    QCheckBox *m_input;
};
