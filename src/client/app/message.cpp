#include "app/message.h"
#include "ui_message.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QProcess>
#include <QDebug>
#include <cstdlib>

std::function<void()> Message::restartLauncher = [] {
    QProcess::startDetached(QCoreApplication::applicationFilePath(), QStringList());
};

std::function<void(int)> Message::processExit = [](int code) { std::exit(code); };

Message::Message(QWidget *parent)
    : QDialog(parent), ui(new Ui::Message)
{
    // Hints first: changing them later re-parents and re-polishes every child,
    // and a status dialog is built for each lookup.
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->setupUi(this);
    // Decoded once: the file is otherwise read for every dialog. Never freed,
    // so no pixmap outlives the application object at exit.
    static const QIcon *icon = new QIcon(QStringLiteral(":/res/icon.png"));
    setWindowIcon(*icon);
    setFixedSize(kWidth, kHeight);
    setWindowModality(Qt::ApplicationModal);
}

Message::~Message()
{
    delete ui;
}

void Message::setMessageText(const QString &text)
{
    ui->label_2->setText(text);
    fitText();
}

void Message::fitText()
{
    // Server answers and advice run to several lines: the text box and the
    // dialog grow downwards until all of it shows, never below the form size.
    const int width = ui->label_2->width();
    const int needed = qMax(kTextHeight, ui->label_2->heightForWidth(width));
    const int extra = needed - kTextHeight;
    ui->label_2->resize(width, needed);
    ui->pushButton->move(ui->pushButton->x(), kButtonTop + extra);
    setFixedSize(kWidth, kHeight + extra);
}

QString Message::messageText() const
{
    return ui->label_2->text();
}

void Message::setCloseEnabled(bool enabled)
{
    ui->pushButton->setEnabled(enabled);
}

bool Message::isCloseEnabled() const
{
    return ui->pushButton->isEnabled();
}

void Message::setFreedOnClose()
{
    // Qt clears the attribute when it schedules the deletion; the flag stays.
    setAttribute(Qt::WA_DeleteOnClose);
    m_freedOnClose = true;
}

bool Message::isLostConnectionText(const QString &text)
{
    return text == QStringLiteral("Ошибка: Сервер отключился.")
        || text == QStringLiteral("Ошибка: Потеряна связь с сервером.");
}

bool Message::restartIfLost()
{
    if (!isLostConnectionText(ui->label_2->text()))
        return false;
    // Neither window reconnects by itself: a fresh instance is the way back.
    qInfo() << "restarting after a lost connection";
    restartLauncher();
    processExit(12);
    return true;
}

void Message::on_pushButton_clicked()
{
    if (!restartIfLost())
        close();
}

void Message::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel) && restartIfLost())
        return;
    QDialog::keyPressEvent(event);
}

void Message::closeEvent(QCloseEvent *event)
{
    // Only the user's close counts; the windows close their dialogs themselves too.
    if (event->spontaneous() && restartIfLost())
        return;
    QDialog::closeEvent(event);
}
