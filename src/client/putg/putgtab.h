#pragma once
#include <QStringList>
#include <QWidget>

class TabHost;
class QLabel;

// The expanded-graphite gasket configurator tab.
class PutgTab : public QWidget
{
    Q_OBJECT
public:
    explicit PutgTab(TabHost *host, QWidget *parent = nullptr);

    void applyStartState();
    void fillFromTables();
    bool requestSuppressed() const { return PUTGConfig != QLatin1String("circ"); }
    QLabel *messageLabel() const { return m_message; }
    // Reply 16 up to the data-received step.
    void applyDimensions(const QStringList &l);
    // Shows PUTGD1..PUTGD4 in their labels.
    void showDimensions();

    QString PUTGConfig;
    QString PUTGD1, PUTGD2, PUTGD3, PUTGD4;
    QString PUTGDescriptionText;

public slots:
    void PUTGFindData();
    void PUTGCreateDefinition();

private:
    TabHost *m_host;
    QLabel *m_message;
    QLabel *m_s[4];
};
