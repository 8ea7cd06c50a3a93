#pragma once
// Frames exchanged with the order server: a 16-bit big-endian length, then a
// QDataStream (Qt 5.0 format) body. Requests carry a one-byte command and one
// argument; replies to the main window are a run of command codes with
// arguments. Reading is bounded by the bytes actually received, so a hostile
// count can never make us allocate more than the frame holds.
#include <QByteArray>
#include <QDataStream>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QIODevice;

namespace wire {

constexpr int kStreamVersion = QDataStream::Qt_5_0; // 13
constexpr int kMaxBody = 0xFFFF;

enum Code : quint8 {
    Login = 1,
    QuestionnaireBeforeLogin = 2,
    UploadRowFile = 3,
    UploadFile = 4,
    TablesReply = 5,
    TablesRequest = 6,
    SnpRequest = 7,
    SnpReply = 8,
    QuestionnaireRequest = 9,
    QuestionnaireStored = 10,
    QuestionnaireFailed = 11,
    OrderInvoice = 12,
    OrderAccepted = 13,
    OrderFailed = 14,
    PutgRequest = 15,
    PutgReply = 16,
    PutgmRequest = 17,
    PutgmReply = 18,
    SnpD2Request = 19,
    SnpD2Reply = 20,
    OrderOffer = 21,
    OrderPdf = 22,
    OrderXls = 23,
    OrderOds = 24,
    DocumentMailed = 25,
    Registration = 255,
};

// True for the order request codes (12, 21..24).
bool isOrderCode(quint8 code);

// Request frames. The result holds the length prefix; its body may exceed
// kMaxBody, in which case the frame must not be sent (see fitsOnWire).
QByteArray requestFrame(quint8 code, const QString &text);
QByteArray requestFrame(quint8 code, const QStringList &list);
QByteArray requestFrame(quint8 code, const QVariantMap &map);
// Upload headers: code 4 (single file) and code 3 (drawing of an order row).
QByteArray uploadHeader(const QString &fileName, qint64 size);
QByteArray uploadHeader(const QString &fileName, qint64 size, const QString &rowIndex);

// Builds a frame around an already serialised body.
QByteArray frameBody(const QByteArray &body);
bool fitsOnWire(const QByteArray &frame);

QString loginText(const QString &user, const QString &password);

// Serialises helpers for replies (used by the server and by tests).
QByteArray encodeString(const QString &s);
QByteArray encodeStringList(const QStringList &l);
QByteArray encodeMap(const QVariantMap &m);

// Collects frames from a byte stream. feed() is given whatever arrived; each
// complete body is returned by next() in order.
class FrameGate
{
public:
    // Takes as many complete frames as the device holds; leaves partial ones.
    // Returns false when no complete frame is available. Not for a socket
    // with a capped read buffer: Qt stops filling a full buffer until a read
    // asks for more than it holds, so a partial frame left in it would wait
    // forever (the server's connections keep their own buffer for that).
    bool next(QIODevice *device, QByteArray *body);
    // The same over an in-memory buffer (consumed from the front).
    bool next(QByteArray *buffer, QByteArray *body);
    quint16 pending() const { return m_pending; }
    void reset() { m_pending = 0; }

private:
    quint16 m_pending = 0;
};

// Bounded reader over one frame body.
class Reader
{
public:
    explicit Reader(const QByteArray &body) : m_data(body) {}

    bool atEnd() const { return m_pos >= m_data.size(); }
    int remaining() const { return m_data.size() - m_pos; }
    int position() const { return m_pos; }
    bool failed() const { return m_failed; }

    bool readU8(quint8 *v);
    bool readU32(quint32 *v);
    bool readI64(qint64 *v);
    bool readString(QString *s);
    bool readStringList(QStringList *l);
    bool readVariant(QVariant *v);
    bool readMap(QVariantMap *m);

private:
    bool need(int n);
    bool readVariantList(QVariantList *l, int depth);
    bool readMap(QVariantMap *m, int depth);
    bool readVariant(QVariant *v, int depth);
    bool fail();

    QByteArray m_data;
    int m_pos = 0;
    bool m_failed = false;
};

} // namespace wire

namespace wire {

// The login window's reply: a text and, after the success text, the login
// data map. `complete` is false when the body could not be read at all.
struct LoginReply
{
    bool complete = false;
    QString text;
    bool success = false;
    bool mapRead = false;
    QVariantMap data;
};

QString loginSuccessText();
LoginReply parseLoginReply(const QByteArray &body);

} // namespace wire
