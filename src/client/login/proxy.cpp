#include "login/proxy.h"
#include "ui_proxy.h"

Proxy::Proxy(const QVariantMap &settings, QWidget *parent)
    : QDialog(parent), ui(new Ui::Proxy)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Filled after setupUi so that the first index change already applies
    // the "no proxy" state to the authentication widgets.
    ui->comboBox->addItems(QStringLiteral("NONE;HTTP(S);SOCKS5").split(QLatin1Char(';')));

    ui->lineEdit->setText(settings.value(QStringLiteral("host")).toString());
    ui->lineEdit_6->setText(QString::number(settings.value(QStringLiteral("port")).toInt()));
    ui->comboBox->setCurrentIndex(settings.value(QStringLiteral("type")).toInt());
    ui->lineEdit_3->setText(settings.value(QStringLiteral("proxy_host")).toString());
    ui->lineEdit_2->setText(settings.value(QStringLiteral("proxy_port")).toString());
    ui->checkBox->setChecked(settings.value(QStringLiteral("aut")).toBool());
    ui->lineEdit_4->setText(settings.value(QStringLiteral("user")).toString());
    ui->lineEdit_5->setText(settings.value(QStringLiteral("pass")).toString());

    const bool aut = ui->checkBox->isChecked();
    ui->lineEdit_4->setEnabled(aut);
    ui->lineEdit_5->setEnabled(aut);
}

Proxy::~Proxy()
{
    delete ui;
}

QVariantMap Proxy::settingsMap() const
{
    QVariantMap s;
    s.insert(QStringLiteral("host"), ui->lineEdit->text());
    // A port that is not a number is kept as 0; connecting then fails visibly.
    s.insert(QStringLiteral("port"), ui->lineEdit_6->text().toInt(nullptr, 10));
    s.insert(QStringLiteral("type"), ui->comboBox->currentIndex());
    s.insert(QStringLiteral("proxy_host"), ui->lineEdit_3->text());
    s.insert(QStringLiteral("proxy_port"), ui->lineEdit_2->text());
    s.insert(QStringLiteral("aut"), ui->checkBox->isChecked());
    s.insert(QStringLiteral("user"), ui->lineEdit_4->text());
    s.insert(QStringLiteral("pass"), ui->lineEdit_5->text());
    return s;
}

void Proxy::on_comboBox_currentIndexChanged(int index)
{
    if (index != 0) {
        ui->lineEdit_3->setFocus();
        ui->checkBox->setEnabled(true);
        return;
    }
    ui->checkBox->setEnabled(false);
    ui->lineEdit_4->setEnabled(false);
    ui->lineEdit_5->setEnabled(false);
}

void Proxy::on_checkBox_toggled(bool checked)
{
    ui->lineEdit_4->setEnabled(checked);
    ui->lineEdit_5->setEnabled(checked);
}
