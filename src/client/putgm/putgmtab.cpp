#include "putgm/putgmtab.h"
#include "app/tabhost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>

PutgmTab::PutgmTab(TabHost *host, QWidget *parent)
    : QWidget(parent), m_host(host)
{
    setObjectName(QStringLiteral("PutgmTab"));
    auto *grid = new QGridLayout(this);
    auto *stand = new QComboBox(this);
    stand->setObjectName(QStringLiteral("PUTGmStandBox"));
    auto *flan = new QComboBox(this);
    flan->setObjectName(QStringLiteral("PUTGmFlanBox"));
    m_input = new QCheckBox(this);
    m_input->setObjectName(QStringLiteral("PUTGm_Input_Box"));
    grid->addWidget(stand, 0, 0);
    grid->addWidget(flan, 0, 1);
    grid->addWidget(m_input, 0, 2);
    for (int i = 0; i < 4; ++i) {
        m_s[i] = new QLabel(this);
        m_s[i]->setObjectName(QStringLiteral("PUTGm_s%1").arg(i + 1));
        grid->addWidget(m_s[i], 1, i);
    }
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("PUTGm_Message_Label"));
    grid->addWidget(m_message, 2, 0, 1, 4);
}

void PutgmTab::applyStartState()
{
    PUTGmConfig = QStringLiteral("circ");
}

void PutgmTab::fillFromTables()
{
}

void PutgmTab::uncheckInputBox()
{
    m_input->setChecked(false);
}

void PutgmTab::PUTGmFindData()
{
}

void PutgmTab::PUTGmCreateDefinition()
{
}

void PutgmTab::applyDimensions(const QStringList &l)
{
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
    m_s[0]->setText(PUTGmD1);
    m_s[1]->setText(PUTGmD2);
    m_s[2]->setText(PUTGmD3);
    m_s[3]->setText(PUTGmD4);
}
