#include "snp/snptab.h"
#include "app/tabhost.h"

#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QTextEdit>

namespace {
QString at(const QStringList &l, int i)
{
    return i < l.size() ? l.at(i) : QString();
}

QListWidgetItem *firstEndingWith(QListWidget *w, const QString &tail)
{
    for (int i = 0; i < w->count(); ++i) {
        if (w->item(i)->text().endsWith(tail, Qt::CaseInsensitive))
            return w->item(i);
    }
    return nullptr;
}
} // namespace

SnpTab::SnpTab(TabHost *host, QWidget *parent)
    : QWidget(parent), m_host(host)
{
    setObjectName(QStringLiteral("SnpTab"));
    auto *grid = new QGridLayout(this);
    m_size = new QListWidget(this);
    m_size->setObjectName(QStringLiteral("Size_table"));
    m_press = new QListWidget(this);
    m_press->setObjectName(QStringLiteral("Press_table"));
    m_d2 = new QListWidget(this);
    m_d2->setObjectName(QStringLiteral("D2_table"));
    m_tu = new QRadioButton(QStringLiteral("ТУ"), this);
    m_tu->setObjectName(QStringLiteral("SNP_TU_Btn"));
    grid->addWidget(m_size, 0, 0);
    grid->addWidget(m_press, 0, 1);
    grid->addWidget(m_d2, 0, 2);
    grid->addWidget(m_tu, 1, 0);
    for (int i = 0; i < 4; ++i) {
        m_d[i] = new QLabel(this);
        m_d[i]->setObjectName(QStringLiteral("D%1_Data").arg(i + 1));
        grid->addWidget(m_d[i], 2, i);
    }
    m_definition = new QLineEdit(this);
    m_definition->setObjectName(QStringLiteral("SNP_Definition"));
    m_description = new QTextEdit(this);
    m_description->setObjectName(QStringLiteral("SNP_Description"));
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("SNP_Message_Label"));
    grid->addWidget(m_definition, 3, 0, 1, 4);
    grid->addWidget(m_description, 4, 0, 1, 4);
    grid->addWidget(m_message, 5, 0, 1, 4);

    connect(m_size, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *cur) {
        SNPSize = cur ? cur->text() : QString();
    });
    connect(m_press, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *cur) {
        SNPPress = cur ? cur->text() : QString();
    });
}

void SnpTab::applyStartState()
{
    SNPDepth = QStringLiteral("4,5");
    SNPStandard = QStringLiteral("OST128");
    SNPType = QStringLiteral("E");
    SNPFill = QStringLiteral("3");
}

void SnpTab::fillFromTables()
{
    SNPLoadTables(1);
}

bool SnpTab::requestSuppressed() const
{
    return m_tu->isChecked();
}

void SnpTab::SNPLoadTables(int set)
{
    static const char *const keys[] = {"ost128", "ost287", "gost128", "asme165",
                                       "asme1647A", "asme1647B", "en15"};
    if (set < 1 || set > 7)
        return;
    const QVariantMap t = m_host->tables();
    const QString base = QLatin1String(keys[set - 1]);
    const QStringList sizes = t.value(base + QStringLiteral("_size")).toStringList();
    const QStringList press = t.value(base + QStringLiteral("_press")).toStringList();
    m_size->clear();
    m_size->addItems(sizes);
    m_size->setCurrentRow(0);
    if (!sizes.isEmpty())
        SNPSize = sizes.first();
    m_press->clear();
    m_press->addItems(press);
    m_press->setCurrentRow(0);
    if (!press.isEmpty()) {
        QListWidgetItem *preferred = firstEndingWith(m_press, QStringLiteral("1,6 (16,0)"));
        if (preferred) {
            m_press->setCurrentItem(preferred);
            SNPPress = QStringLiteral("1,6 (16,0)");
        } else {
            SNPPress = press.first();
        }
    }
}

QString SnpTab::standardForRequest(const QString &standard)
{
    if (standard == QLatin1String("EN1215165"))
        return QStringLiteral("ASME165");
    if (standard == QLatin1String("EN12151647A"))
        return QStringLiteral("ASME1647A");
    if (standard == QLatin1String("EN12151647B"))
        return QStringLiteral("ASME1647B");
    return standard;
}

void SnpTab::SNPFindData()
{
    if (SNPLastStandard == SNPStandard && SNPLastType == SNPType && SNPLastPress == SNPPress
        && SNPLastSize == SNPSize)
        return;
    if (SNPStandard != QLatin1String("TU")) {
        if (!m_size->currentItem() || !m_press->currentItem())
            return;
        QVariantMap map;
        map.insert(QStringLiteral("standart"), standardForRequest(SNPStandard));
        map.insert(QStringLiteral("tf"), SNPType);
        map.insert(QStringLiteral("size"), SNPSize);
        map.insert(QStringLiteral("press"), SNPPress);
        qDebug() << SNPStandard << SNPType << SNPSize << SNPPress;
        SNPLastStandard = SNPStandard;
        SNPLastType = SNPType;
        SNPLastPress = SNPPress;
        SNPLastSize = SNPSize;
        m_host->sendRequest(7, map);
    }
    SNPCreateDefinition();
}

void SnpTab::SNPCreateDefinition()
{
    // Filled in by the designation builder.
}

void SnpTab::clearDimensions()
{
    qDebug() << "No variant";
    for (QLabel *l : m_d)
        l->clear();
    SNPD1.clear();
    SNPD2.clear();
    SNPD3.clear();
    SNPD4.clear();
    m_d2->clearSelection();
    m_host->setNote(QStringLiteral("snp_note"), QStringLiteral("1"));
    m_host->SetMessages();
}

void SnpTab::applyDimensions(const QStringList &l)
{
    if (l.isEmpty()) {
        clearDimensions();
        return;
    }
    SNPD1 = at(l, 3);
    SNPD2 = at(l, 2);
    SNPD3 = at(l, 1);
    SNPD4 = at(l, 0);
    m_d[0]->setText(SNPD1);
    m_d[1]->setText(SNPD2);
    m_d[2]->setText(SNPD3);
    m_d[3]->setText(SNPD4);
    const QString depth = at(l, 4);
    if (!depth.isEmpty() && depth != QLatin1String("0"))
        SNPTableDepth = depth;
    m_host->setNote(QStringLiteral("snp_note"), QString());
    m_host->SetMessages();
    if (SNPStandard == QLatin1String("OST128") || SNPStandard == QLatin1String("OST287")) {
        QListWidgetItem *match = firstEndingWith(m_d2, SNPD2);
        if (!match) {
            // Not modal-blocking: the reply handling must finish first.
            auto *box = new QMessageBox;
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setText(QStringLiteral("Диаметр D2 = %1 мм не входит в список для выбранного типа "
                                        "и стандарта. Проверьте размер и давление.")
                             .arg(SNPD2));
            box->show();
        } else {
            m_d2->setCurrentItem(match);
        }
    }
}

void SnpTab::applyDimensionsByD2(const QStringList &l)
{
    if (l.isEmpty()) {
        clearDimensions();
        return;
    }
    SNPD1 = at(l, 4);
    SNPD2 = at(l, 3);
    SNPD3 = at(l, 2);
    SNPD4 = at(l, 1);
    m_d[0]->setText(SNPD1);
    m_d[1]->setText(SNPD2);
    m_d[2]->setText(SNPD3);
    m_d[3]->setText(SNPD4);
    if (QListWidgetItem *size = firstEndingWith(m_size, at(l, 0)))
        m_size->setCurrentItem(size);
    SNPSize = at(l, 0);
    m_host->setNote(QStringLiteral("snp_note"), QString());
    m_host->SetMessages();
    if (SNPStandard == QLatin1String("OST128") || SNPStandard == QLatin1String("OST287")) {
        if (QListWidgetItem *match = firstEndingWith(m_d2, SNPD2))
            m_d2->setCurrentItem(match);
    }
}
