#include "app/mainwindow.h"
#include "app/message.h"

MainWindow::MainWindow(QTcpSocket *socket, QString user, QString password, Message *status,
                       QVariantMap loginData, QWidget *parent)
    : QMainWindow(parent), m_socket(socket), m_user(user), m_password(password),
      m_message(status), m_loginData(loginData)
{
    setWindowTitle(QStringLiteral("Vintaro (online 2.0)"));
}
