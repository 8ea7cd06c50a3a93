#include "login/regwindow.h"
#include "ui_regwindow.h"

#include "login/startwindow.h"
#include "wire.h"

#include <QMessageBox>

RegWindow::RegWindow(QWidget *parent)
    : QDialog(parent), ui(new Ui::RegWindow)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(462, 425);
}

RegWindow::~RegWindow()
{
    delete ui;
}

bool RegWindow::checkRequired()
{
    // The texts keep their doubled closing apostrophe: users know them this way.
    const struct { QLineEdit *field; const char *message; } required[] = {
        { ui->lineEditPredpr, "Поле 'предприятие'' не может быть пустым" },
        { ui->lineEditFIO, "Поле 'Ф. И. О.'' не может быть пустым" },
        { ui->lineEditMail, "Поле 'E-mail'' не может быть пустым" },
        { ui->lineEditCity, "Поле 'Город'' не может быть пустым" },
        { ui->lineEditDol, "Поле 'Должность'' не может быть пустым" },
    };
    for (const auto &r : required) {
        if (!r.field->text().isEmpty())
            continue;
        QMessageBox box;
        box.setText(QString::fromUtf8(r.message));
        box.exec();
        r.field->setFocus();
        return false;
    }
    return true;
}

QVariantMap RegWindow::requestMap() const
{
    QVariantMap m;
    m.insert(QStringLiteral("Predpr"), ui->lineEditPredpr->text());
    m.insert(QStringLiteral("FIO"), ui->lineEditFIO->text());
    m.insert(QStringLiteral("Mail"), ui->lineEditMail->text());
    m.insert(QStringLiteral("Dol"), ui->lineEditDol->text());
    m.insert(QStringLiteral("City"), ui->lineEditCity->text());
    m.insert(QStringLiteral("Tel"), ui->lineEditTel->text());
    m.insert(QStringLiteral("SNP"), ui->checkBoxSNP->isChecked());
    m.insert(QStringLiteral("PUTG"), ui->checkBoxPUTG->isChecked());
    m.insert(QStringLiteral("PUTGm"), ui->checkBoxPUTGm->isChecked());
    m.insert(QStringLiteral("Flan"), ui->checkBoxFlan->isChecked());
    m.insert(QStringLiteral("Zat"), ui->checkBoxZat->isChecked());
    m.insert(QStringLiteral("Opros"), ui->checkBoxOpros->isChecked());
    return m;
}

void RegWindow::on_pushButton_clicked()
{
    if (!checkRequired())
        return;
    auto *login = qobject_cast<StartWindow *>(parentWidget());
    if (!login)
        return;
    // While the connection is coming up the login window keeps the request
    // and sends it once connected.
    login->ConnectToSerever();
    login->SlotSendToServer(requestMap(), wire::Registration);
}
