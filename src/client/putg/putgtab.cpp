#include "putg/putgtab.h"
#include "app/tabhost.h"

#include <QComboBox>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>

PutgTab::PutgTab(TabHost *host, QWidget *parent)
    : QWidget(parent), m_host(host)
{
    setObjectName(QStringLiteral("PutgTab"));
    auto *grid = new QGridLayout(this);
    auto *stand = new QComboBox(this);
    stand->setObjectName(QStringLiteral("PUTGStandBox"));
    auto *flan = new QComboBox(this);
    flan->setObjectName(QStringLiteral("PUTGFlanBox"));
    grid->addWidget(stand, 0, 0);
    grid->addWidget(flan, 0, 1);
    for (int i = 0; i < 4; ++i) {
        m_s[i] = new QLabel(this);
        m_s[i]->setObjectName(QStringLiteral("PUTG_s%1").arg(i + 1));
        grid->addWidget(m_s[i], 1, i);
    }
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("PUTG_Message_Label"));
    grid->addWidget(m_message, 2, 0, 1, 4);
}

void PutgTab::applyStartState()
{
    PUTGConfig = QStringLiteral("circ");
}

void PutgTab::fillFromTables()
{
}

void PutgTab::PUTGFindData()
{
}

void PutgTab::PUTGCreateDefinition()
{
}

void PutgTab::applyDimensions(const QStringList &l)
{
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
    m_s[0]->setText(PUTGD1);
    m_s[1]->setText(PUTGD2);
    m_s[2]->setText(PUTGD3);
    m_s[3]->setText(PUTGD4);
}
