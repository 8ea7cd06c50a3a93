#pragma once
// Behind a load balancer every connection comes from the balancer; with the
// PROXY protocol on, each one starts with a header naming the customer. The
// header is read here, straight from the system, before Qt takes the
// connection: not a byte behind it (a TLS handshake, the first request) is
// taken with it.
#include <QString>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

namespace proxygate {

// The customer's address: the one the header gave, else the peer's own.
QString clientAddress(const QTcpSocket *socket);
// Records the address the header gave (empty: none) on the socket.
void setClientAddress(QTcpSocket *socket, const QString &address);
// Gives an accepted descriptor to `socket` with the header's address; when
// the socket cannot take it, says so, closes the descriptor and deletes the
// socket. False then.
bool adopt(QTcpSocket *socket, qintptr descriptor, const QString &address);

// Calls `accepted` with the descriptor and the address the header gave
// (empty for the balancer's health checks), or closes the descriptor when
// the header is not valid or not whole within timeoutMs.
void await(qintptr descriptor, int timeoutMs, QObject *context,
           std::function<void(qintptr descriptor, const QString &address)> accepted);

constexpr int kTimeoutMs = 10000;

} // namespace proxygate

// A plain listener that, when told to, takes each connection's PROXY header first.
class ProxiedListener : public QTcpServer
{
    Q_OBJECT
public:
    explicit ProxiedListener(bool proxyProtocol, QObject *parent = nullptr)
        : QTcpServer(parent), m_proxy(proxyProtocol)
    {
    }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    bool m_proxy;
};
