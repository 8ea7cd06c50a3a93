#include "wire.h"

#include <QDataStream>
#include <QDateTime>
#include <QIODevice>
#include <QtEndian>
#include <cstring>

namespace wire {

namespace {

// Nesting deeper than this in a reply map is not something our peers send.
constexpr int kMaxDepth = 8;

QDataStream &prepared(QDataStream &out)
{
    out.setVersion(kStreamVersion);
    out.setByteOrder(QDataStream::BigEndian);
    return out;
}

template <typename Writer>
QByteArray buildFrame(quint8 code, Writer write)
{
    QByteArray frame;
    QDataStream out(&frame, QIODevice::WriteOnly);
    prepared(out);
    out << quint16(0) << code;
    write(out);
    out.device()->seek(0);
    out << quint16(frame.size() - 2);
    return frame;
}

} // namespace

bool isOrderCode(quint8 code)
{
    return code == OrderInvoice || (code >= OrderOffer && code <= OrderOds);
}

QByteArray requestFrame(quint8 code, const QString &text)
{
    return buildFrame(code, [&](QDataStream &out) { out << text; });
}

QByteArray requestFrame(quint8 code, const QStringList &list)
{
    return buildFrame(code, [&](QDataStream &out) { out << list; });
}

QByteArray requestFrame(quint8 code, const QVariantMap &map)
{
    return buildFrame(code, [&](QDataStream &out) { out << map; });
}

QByteArray uploadHeader(const QString &fileName, qint64 size)
{
    return buildFrame(UploadFile, [&](QDataStream &out) { out << fileName << size; });
}

QByteArray uploadHeader(const QString &fileName, qint64 size, const QString &rowIndex)
{
    return buildFrame(UploadRowFile, [&](QDataStream &out) { out << fileName << size << rowIndex; });
}

QByteArray frameBody(const QByteArray &body)
{
    QByteArray frame(2, '\0');
    qToBigEndian<quint16>(quint16(body.size()), frame.data());
    frame.append(body);
    return frame;
}

bool fitsOnWire(const QByteArray &frame)
{
    return frame.size() >= 2 && frame.size() - 2 <= kMaxBody;
}

QString loginText(const QString &user, const QString &password)
{
    return QStringLiteral("USER:") + user + QStringLiteral(" PASS:") + password;
}

QByteArray encodeString(const QString &s)
{
    QByteArray b;
    QDataStream out(&b, QIODevice::WriteOnly);
    prepared(out) << s;
    return b;
}

QByteArray encodeStringList(const QStringList &l)
{
    QByteArray b;
    QDataStream out(&b, QIODevice::WriteOnly);
    prepared(out) << l;
    return b;
}

QByteArray encodeMap(const QVariantMap &m)
{
    QByteArray b;
    QDataStream out(&b, QIODevice::WriteOnly);
    prepared(out) << m;
    return b;
}

// ---- FrameGate ------------------------------------------------------------

bool FrameGate::next(QIODevice *device, QByteArray *body)
{
    if (!device)
        return false;
    if (m_pending == 0) {
        if (device->bytesAvailable() < 2)
            return false;
        char len[2];
        if (device->read(len, 2) != 2)
            return false;
        m_pending = qFromBigEndian<quint16>(len);
        if (m_pending == 0) {
            // An empty body is a complete (if useless) frame.
            body->clear();
            return true;
        }
    }
    if (device->bytesAvailable() < m_pending)
        return false;
    *body = device->read(m_pending);
    m_pending = 0;
    return true;
}

bool FrameGate::next(QByteArray *buffer, QByteArray *body)
{
    if (m_pending == 0) {
        if (buffer->size() < 2)
            return false;
        m_pending = qFromBigEndian<quint16>(buffer->constData());
        buffer->remove(0, 2);
        if (m_pending == 0) {
            body->clear();
            return true;
        }
    }
    if (buffer->size() < m_pending)
        return false;
    *body = buffer->left(m_pending);
    buffer->remove(0, m_pending);
    m_pending = 0;
    return true;
}

// ---- Reader ---------------------------------------------------------------

bool Reader::fail()
{
    m_failed = true;
    m_pos = m_data.size();
    return false;
}

bool Reader::need(int n)
{
    if (m_failed || n < 0 || remaining() < n)
        return fail();
    return true;
}

bool Reader::readU8(quint8 *v)
{
    if (!need(1))
        return false;
    *v = quint8(m_data.at(m_pos));
    m_pos += 1;
    return true;
}

bool Reader::readU32(quint32 *v)
{
    if (!need(4))
        return false;
    *v = qFromBigEndian<quint32>(m_data.constData() + m_pos);
    m_pos += 4;
    return true;
}

bool Reader::readI64(qint64 *v)
{
    if (!need(8))
        return false;
    *v = qFromBigEndian<qint64>(m_data.constData() + m_pos);
    m_pos += 8;
    return true;
}

bool Reader::readString(QString *s)
{
    quint32 bytes = 0;
    if (!readU32(&bytes))
        return false;
    if (bytes == 0xFFFFFFFFu) {
        *s = QString();
        return true;
    }
    if ((bytes & 1u) || bytes > quint32(remaining()))
        return fail();
    const int units = int(bytes / 2);
    QString out(units, Qt::Uninitialized);
    const uchar *src = reinterpret_cast<const uchar *>(m_data.constData() + m_pos);
    for (int i = 0; i < units; ++i)
        out[i] = QChar(ushort((src[2 * i] << 8) | src[2 * i + 1]));
    m_pos += int(bytes);
    *s = out;
    return true;
}

bool Reader::readStringList(QStringList *l)
{
    quint32 count = 0;
    if (!readU32(&count))
        return false;
    // Every element takes at least its 4-byte count.
    if (count > quint32(remaining()) / 4)
        return fail();
    QStringList out;
    out.reserve(int(count));
    for (quint32 i = 0; i < count; ++i) {
        QString s;
        if (!readString(&s))
            return false;
        out.append(s);
    }
    *l = out;
    return true;
}

bool Reader::readVariantList(QVariantList *l, int depth)
{
    quint32 count = 0;
    if (!readU32(&count))
        return false;
    if (count > quint32(remaining()) / 5)
        return fail();
    QVariantList out;
    out.reserve(int(count));
    for (quint32 i = 0; i < count; ++i) {
        QVariant v;
        if (!readVariant(&v, depth + 1))
            return false;
        out.append(v);
    }
    *l = out;
    return true;
}

bool Reader::readMap(QVariantMap *m)
{
    return readMap(m, 0);
}

bool Reader::readMap(QVariantMap *m, int depth)
{
    if (depth > kMaxDepth)
        return fail();
    quint32 count = 0;
    if (!readU32(&count))
        return false;
    // A key (4 bytes at least) and a variant (5 bytes at least) per entry.
    if (count > quint32(remaining()) / 9)
        return fail();
    QVariantMap out;
    for (quint32 i = 0; i < count; ++i) {
        QString key;
        QVariant value;
        if (!readString(&key) || !readVariant(&value, depth + 1))
            return false;
        // QMap serialisation writes the greatest key first; a duplicate key
        // (insertMulti) is kept as the last one read, like QMap::insert.
        out.insert(key, value);
    }
    *m = out;
    return true;
}

namespace {

// Values a map may carry besides the ones this protocol uses (a date or a
// float the server adds to the login data, say). In this stream version none
// of them holds a count or a text, so reading one never reserves memory
// beyond its few bytes; a type outside this list makes the map unreadable.
bool isFixedSizeType(quint32 type)
{
    switch (type) {
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::QDate:
    case QMetaType::QTime:
    case QMetaType::QUuid:
    case QMetaType::QSize:
    case QMetaType::QSizeF:
    case QMetaType::QPoint:
    case QMetaType::QPointF:
    case QMetaType::QRect:
    case QMetaType::QRectF:
    case QMetaType::QLine:
    case QMetaType::QLineF:
        return true;
    default:
        return false;
    }
}

} // namespace

bool Reader::readVariant(QVariant *v)
{
    return readVariant(v, 0);
}

bool Reader::readVariant(QVariant *v, int depth)
{
    if (depth > kMaxDepth)
        return fail();
    quint32 type = 0;
    quint8 isNull = 0;
    if (!readU32(&type) || !readU8(&isNull))
        return false;
    switch (type) {
    case QMetaType::UnknownType:
        *v = QVariant();
        return true;
    case QMetaType::Bool: {
        quint8 b = 0;
        if (!readU8(&b))
            return false;
        *v = QVariant(b != 0);
        return true;
    }
    case QMetaType::Int:
    case QMetaType::UInt: {
        quint32 x = 0;
        if (!readU32(&x))
            return false;
        *v = type == QMetaType::Int ? QVariant(qint32(x)) : QVariant(x);
        return true;
    }
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        qint64 x = 0;
        if (!readI64(&x))
            return false;
        *v = type == QMetaType::LongLong ? QVariant(qlonglong(x)) : QVariant(qulonglong(x));
        return true;
    }
    case QMetaType::Double: {
        qint64 bits = 0;
        if (!readI64(&bits))
            return false;
        double d;
        std::memcpy(&d, &bits, sizeof d);
        *v = QVariant(d);
        return true;
    }
    case QMetaType::QChar: {
        if (!need(2))
            return false;
        const ushort u = qFromBigEndian<quint16>(m_data.constData() + m_pos);
        m_pos += 2;
        *v = QVariant(QChar(u));
        return true;
    }
    case QMetaType::QVariantMap: {
        QVariantMap m;
        if (!readMap(&m, depth + 1))
            return false;
        *v = m;
        return true;
    }
    case QMetaType::QVariantList: {
        QVariantList l;
        if (!readVariantList(&l, depth + 1))
            return false;
        *v = l;
        return true;
    }
    case QMetaType::QString: {
        QString s;
        if (!readString(&s))
            return false;
        *v = s;
        return true;
    }
    case QMetaType::QStringList: {
        QStringList l;
        if (!readStringList(&l))
            return false;
        *v = l;
        return true;
    }
    case QMetaType::QByteArray: {
        quint32 len = 0;
        if (!readU32(&len))
            return false;
        if (len == 0xFFFFFFFFu) {
            *v = QByteArray();
            return true;
        }
        if (len > quint32(remaining()))
            return fail();
        *v = m_data.mid(m_pos, int(len));
        m_pos += int(len);
        return true;
    }
    case QMetaType::QDateTime: {
        // Read here, not by Qt: in this stream version Qt converts to the
        // stored kind of time unchecked, and a time-zone kind (which this
        // version cannot carry) crashes it.
        qint64 julianDay = 0;
        quint32 msecs = 0;
        quint8 kind = 0;
        if (!readI64(&julianDay) || !readU32(&msecs) || !readU8(&kind))
            return false;
        const QDateTime utc(QDate::fromJulianDay(julianDay),
                            msecs == 0xFFFFFFFFu ? QTime() : QTime::fromMSecsSinceStartOfDay(int(msecs)), Qt::UTC);
        switch (kind) {
        case Qt::LocalTime:
            *v = utc.toLocalTime();
            return true;
        case Qt::UTC:
            *v = utc;
            return true;
        case Qt::OffsetFromUTC:
            *v = utc.toOffsetFromUtc(0);
            return true;
        default:
            return fail();
        }
    }
    default: {
        if (!isFixedSizeType(type))
            return fail();
        // Read by Qt's own code, over the bytes at hand only.
        const QByteArray rest = QByteArray::fromRawData(m_data.constData() + m_pos, remaining());
        QDataStream in(rest);
        in.setVersion(kStreamVersion);
        QVariant value(int(type), nullptr);
        if (!QMetaType::load(in, int(type), value.data()) || in.status() != QDataStream::Ok)
            return fail();
        m_pos += int(in.device()->pos());
        *v = value;
        return true;
    }
    }
}

} // namespace wire

namespace wire {

QString loginSuccessText()
{
    return QStringLiteral("Авторизация прошла успешно");
}

LoginReply parseLoginReply(const QByteArray &body)
{
    LoginReply r;
    Reader in(body);
    if (!in.readString(&r.text))
        return r;
    r.complete = true;
    r.success = r.text == loginSuccessText();
    if (r.success)
        r.mapRead = in.readMap(&r.data);
    return r;
}

} // namespace wire
