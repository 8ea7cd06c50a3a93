#pragma once
#include <QMainWindow>
#include <QTcpSocket>
#include <QVariantMap>

class Message;

// Placeholder frame until the configurator tabs land.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(QTcpSocket *socket, QString user, QString password, Message *status,
               QVariantMap loginData, QWidget *parent = nullptr);

private:
    QTcpSocket *m_socket;
    QString m_user;
    QString m_password;
    Message *m_message;
    QVariantMap m_loginData;
};
