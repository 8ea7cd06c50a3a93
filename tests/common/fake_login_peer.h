#pragma once
// A stand-in for the order server in client tests: accepts connections,
// decodes request frames and answers logins and registrations the way the
// server does. Listens without any proxy so an application-wide proxy set by
// the client under test does not reroute the peer itself.
#include <QHostAddress>
#include <QList>
#include <QNetworkProxy>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include "wire.h"

class FakeLoginPeer : public QObject
{
public:
    struct Request
    {
        int connection = -1; // index into connections()
        quint8 code = 0;
        QByteArray argument; // the body after the code byte
    };

    QString user = QStringLiteral("ivanov");
    QString password = QStringLiteral("secret1");
    QString registrationAnswer = QStringLiteral("Заявка на регистрацию принята");
    bool answer = true;

    bool listen(const QHostAddress &address = QHostAddress::LocalHost)
    {
        m_server.setProxy(QNetworkProxy::NoProxy);
        connect(&m_server, &QTcpServer::newConnection, this, &FakeLoginPeer::onNewConnection,
                Qt::UniqueConnection);
        return m_server.listen(address, 0);
    }
    quint16 port() const { return m_server.serverPort(); }

    const QList<Request> &requests() const { return m_requests; }
    int connectionCount() const { return m_connections.size(); }
    QTcpSocket *connection(int i) const { return m_connections.value(i); }

    static QByteArray loginSuccessFrame(const QVariantMap &data)
    {
        return wire::frameBody(wire::encodeString(QStringLiteral("Авторизация прошла успешно"))
                               + wire::encodeMap(data));
    }
    static QByteArray textFrame(const QString &text)
    {
        return wire::frameBody(wire::encodeString(text));
    }

private:
    void onNewConnection()
    {
        while (QTcpSocket *s = m_server.nextPendingConnection()) {
            const int index = m_connections.size();
            m_connections.append(s);
            m_gates.append(wire::FrameGate());
            connect(s, &QTcpSocket::readyRead, this, [this, s, index] { onReadyRead(s, index); });
        }
    }

    void onReadyRead(QTcpSocket *s, int index)
    {
        QByteArray body;
        while (m_gates[index].next(s, &body)) {
            wire::Reader in(body);
            Request r;
            r.connection = index;
            if (!in.readU8(&r.code))
                continue;
            r.argument = body.mid(1);
            m_requests.append(r);
            if (answer)
                reply(s, r);
        }
    }

    void reply(QTcpSocket *s, const Request &r)
    {
        if (r.code == wire::Login) {
            QString text;
            wire::Reader(r.argument).readString(&text);
            if (text == wire::loginText(user, password)) {
                QVariantMap data;
                data.insert(QStringLiteral("SNP"), true);
                data.insert(QStringLiteral("PUTG"), true);
                data.insert(QStringLiteral("PUTGm"), false);
                s->write(loginSuccessFrame(data));
            } else {
                s->write(textFrame(QStringLiteral("Неверное имя пользователя или пароль")));
            }
        } else if (r.code == wire::Registration) {
            s->write(textFrame(registrationAnswer));
        }
    }

    QTcpServer m_server;
    QList<QTcpSocket *> m_connections;
    QList<wire::FrameGate> m_gates;
    QList<Request> m_requests;
};
