#pragma once
// An in-test order server: accepts one connection, splits what the client
// writes into frames and lets the test answer with raw bytes.
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include "wire.h"

class TestPeer : public QObject
{
public:
    TestPeer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                m_conn = s;
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] {
                    m_raw.append(s->readAll());
                    splitFrames();
                });
            }
        });
    }

    quint16 port() const { return m_server.serverPort(); }
    QTcpSocket *connection() const { return m_conn; }
    bool waitForConnection(int ms = 5000)
    {
        return QTest::qWaitFor([this] { return m_conn != nullptr; }, ms);
    }
    // Frames (bodies) received so far; raw bytes after an upload header are
    // collected by takeRaw().
    QList<QByteArray> frames;
    bool waitForFrames(int n, int ms = 5000)
    {
        return QTest::qWaitFor([this, n] { return frames.size() >= n; }, ms);
    }
    void send(const QByteArray &bytes)
    {
        m_conn->write(bytes);
        m_conn->flush();
    }
    // Reply to the main window: a frame holding the given items.
    void reply(const QByteArray &items) { send(wire::frameBody(items)); }

    // Expect `n` raw bytes next (an upload's data) before frames resume.
    void expectRaw(qint64 n) { m_rawExpected += n; splitFrames(); }
    QByteArray rawData;

    static quint8 code(const QByteArray &body) { return body.isEmpty() ? 0 : quint8(body.at(0)); }
    static wire::Reader argument(const QByteArray &body)
    {
        return wire::Reader(body.mid(1));
    }

private:
    void splitFrames()
    {
        for (;;) {
            if (m_rawExpected > 0) {
                const qint64 take = qMin<qint64>(m_rawExpected, m_raw.size());
                rawData.append(m_raw.left(int(take)));
                m_raw.remove(0, int(take));
                m_rawExpected -= take;
                if (m_rawExpected > 0)
                    return;
            }
            QByteArray body;
            if (!m_gate.next(&m_raw, &body))
                return;
            frames.append(body);
            const quint8 c = code(body);
            if (c == wire::UploadFile || c == wire::UploadRowFile) {
                wire::Reader r = argument(body);
                QString name;
                qint64 size = 0;
                if (r.readString(&name) && r.readI64(&size))
                    m_rawExpected += size;
            }
        }
    }

    QTcpServer m_server;
    QTcpSocket *m_conn = nullptr;
    QByteArray m_raw;
    wire::FrameGate m_gate;
    qint64 m_rawExpected = 0;
};
