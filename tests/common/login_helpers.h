#pragma once
// Driving the login window the way a customer does.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/message.h"
#include "login/startwindow.h"

inline void pressLogin(StartWindow &w, const QString &user, const QString &pass)
{
    w.findChild<QLineEdit *>("lineEditUsr")->setText(user);
    w.findChild<QLineEdit *>("lineEditPass")->setText(pass);
    w.findChild<QPushButton *>("LoginBut")->click();
}

// Logs in and waits until the window lets the customer through.
inline bool loginThrough(StartWindow &w, const QString &user = "demo", const QString &pass = "demo123")
{
    pressLogin(w, user, pass);
    return QTest::qWaitFor([&w] { return w.result() == QDialog::Accepted; }, 20000);
}

// The error the window shows, if any.
inline QString shownError(StartWindow &w)
{
    for (Message *m : w.findChildren<Message *>())
        if (m->isVisible() && m->messageText().startsWith("Ошибка: "))
            return m->messageText();
    return QString();
}
