#include <QBuffer>
#include <QUrl>
#include <QUuid>
#include <QtTest>

#include "wire.h"

class TstWire : public QObject
{
    Q_OBJECT
private slots:
    void tableRequestIsFiveBytes();
    void registrationCodeIsByteFF();
    void loginText_data();
    void loginText();
    void mapKeysGreatestFirst();
    void uploadHeaders();
    void matchesQDataStream_data();
    void matchesQDataStream();
    void gateWaitsForLengthByteByByte();
    void gateSplitsTwoFramesInOneRead();
    void gateOnDevice();
    void oversizeFrameDetected();
    void readerRejectsHugeCounts_data();
    void readerRejectsHugeCounts();
    void readerRoundTripsReplyItems();
    void readerStopsAtTruncation();
    void loginDataWithOtherKinds();
    void dateTimeKindsFromTheWire();
};

void TstWire::tableRequestIsFiveBytes()
{
    const QByteArray f = wire::requestFrame(wire::TablesRequest, QStringLiteral(""));
    QCOMPARE(f, QByteArray::fromHex("0005" "06" "00000000"));
    // A null text is a different thing on the wire.
    QCOMPARE(wire::requestFrame(wire::TablesRequest, QString()), QByteArray::fromHex("0005" "06" "ffffffff"));
}

void TstWire::registrationCodeIsByteFF()
{
    const QByteArray f = wire::requestFrame(wire::Registration, QVariantMap());
    QCOMPARE(quint8(f.at(2)), quint8(0xFF));
    QCOMPARE(f.size(), 2 + 1 + 4);
}

void TstWire::loginText_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("pass");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "ivanov" << "secret1" << "USER:ivanov PASS:secret1";
    QTest::newRow("empty password") << "ivanov" << "" << "USER:ivanov PASS:";
    QTest::newRow("cyrillic") << "Иванов" << "пароль" << "USER:Иванов PASS:пароль";
}

void TstWire::loginText()
{
    QFETCH(QString, user);
    QFETCH(QString, pass);
    QFETCH(QString, text);
    QCOMPARE(wire::loginText(user, pass), text);
    // The text goes out as UTF-16 big-endian after a 32-bit byte count.
    const QByteArray f = wire::requestFrame(wire::Login, wire::loginText(user, pass));
    QCOMPARE(quint8(f.at(2)), quint8(1));
    QCOMPARE(f.size() - 2, 1 + 4 + text.size() * 2);
    QCOMPARE(quint8(f.at(0)) * 256 + quint8(f.at(1)), f.size() - 2);
}

void TstWire::mapKeysGreatestFirst()
{
    QVariantMap m;
    m.insert("alpha", 1);
    m.insert("beta", true);
    m.insert("gamma", QString("x"));
    const QByteArray f = wire::requestFrame(7, m);
    wire::Reader r(f.mid(3));
    quint32 count = 0;
    QVERIFY(r.readU32(&count));
    QCOMPARE(count, 3u);
    QStringList order;
    for (quint32 i = 0; i < count; ++i) {
        QString key;
        QVariant v;
        QVERIFY(r.readString(&key));
        QVERIFY(r.readVariant(&v));
        order << key;
    }
    QCOMPARE(order, QStringList({"gamma", "beta", "alpha"}));
    QVERIFY(r.atEnd());
}

void TstWire::uploadHeaders()
{
    const QByteArray single = wire::uploadHeader("plan.pdf", 6145);
    wire::Reader r(single.mid(2));
    quint8 code = 0;
    QString name;
    qint64 size = 0;
    QVERIFY(r.readU8(&code) && r.readString(&name) && r.readI64(&size));
    QCOMPARE(code, quint8(4));
    QCOMPARE(name, QString("plan.pdf"));
    QCOMPARE(size, qint64(6145));
    QVERIFY(r.atEnd());

    const QByteArray row = wire::uploadHeader("a.dwg", 0, "2");
    wire::Reader r2(row.mid(2));
    QString index;
    QVERIFY(r2.readU8(&code) && r2.readString(&name) && r2.readI64(&size) && r2.readString(&index));
    QCOMPARE(code, quint8(3));
    QCOMPARE(size, qint64(0));
    QCOMPARE(index, QString("2"));
}

// Our bounded reader must agree with QDataStream's own encoding.
void TstWire::matchesQDataStream_data()
{
    QTest::addColumn<QVariant>("value");
    QVariantMap nested;
    nested.insert("list", QStringList({"1,6 (16,0)", "2,5 (25,0)"}));
    nested.insert("flag", false);
    nested.insert("n", 42);
    nested.insert("d", 2.5);
    nested.insert("ll", qlonglong(1) << 40);
    nested.insert("bytes", QByteArray("\x00\x01", 2));
    nested.insert("vl", QVariantList({1, "x"}));
    nested.insert("null", QString());
    QTest::newRow("map") << QVariant(nested);
    QTest::newRow("string list") << QVariant(QStringList({"", "Ø", "СНП"}));
}

void TstWire::matchesQDataStream()
{
    QFETCH(QVariant, value);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_0);
    out << value;
    wire::Reader r(bytes);
    QVariant back;
    QVERIFY(r.readVariant(&back));
    QVERIFY(r.atEnd());
    QCOMPARE(back, value);
}

void TstWire::gateWaitsForLengthByteByByte()
{
    const QByteArray frame = wire::frameBody(QByteArray::fromHex("0a0a19"));
    wire::FrameGate gate;
    QByteArray buffer;
    QByteArray body;
    for (int i = 0; i < frame.size() - 1; ++i) {
        buffer.append(frame.at(i));
        QVERIFY(!gate.next(&buffer, &body));
    }
    buffer.append(frame.at(frame.size() - 1));
    QVERIFY(gate.next(&buffer, &body));
    QCOMPARE(body, QByteArray::fromHex("0a0a19"));
    QVERIFY(buffer.isEmpty());
}

void TstWire::gateSplitsTwoFramesInOneRead()
{
    QByteArray buffer = wire::frameBody(QByteArray::fromHex("0d")) + wire::frameBody(QByteArray::fromHex("0e19"));
    wire::FrameGate gate;
    QByteArray body;
    QVERIFY(gate.next(&buffer, &body));
    QCOMPARE(body, QByteArray::fromHex("0d"));
    QVERIFY(gate.next(&buffer, &body));
    QCOMPARE(body, QByteArray::fromHex("0e19"));
    QVERIFY(!gate.next(&buffer, &body));
}

void TstWire::gateOnDevice()
{
    QByteArray data = wire::frameBody("abc");
    data.append(char(0)); // first byte of a following length
    QBuffer dev(&data);
    dev.open(QIODevice::ReadOnly);
    wire::FrameGate gate;
    QByteArray body;
    QVERIFY(gate.next(&dev, &body));
    QCOMPARE(body, QByteArray("abc"));
    QVERIFY(!gate.next(&dev, &body));
    QCOMPARE(gate.pending(), quint16(0));
}

void TstWire::oversizeFrameDetected()
{
    QStringList cells;
    for (int i = 0; i < 400; ++i)
        cells << QString(100, QChar('x'));
    const QByteArray f = wire::requestFrame(12, cells);
    QVERIFY(f.size() > 65537);
    QVERIFY(!wire::fitsOnWire(f));
    QVERIFY(wire::fitsOnWire(wire::requestFrame(12, cells.mid(0, 10))));
}

void TstWire::readerRejectsHugeCounts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind"); // 0 string list, 1 map, 2 string
    QTest::newRow("list of 2^31") << QByteArray::fromHex("80000000" "00000000" "00000000" "00000000" "00000000") << 0;
    QTest::newRow("list of 2^32-1") << QByteArray::fromHex("ffffffff" "00000000") << 0;
    QTest::newRow("map of 2^31") << QByteArray::fromHex("80000000" "00000000") << 1;
    QTest::newRow("string of 2GB") << QByteArray::fromHex("7ffffffe" "0041") << 2;
    QTest::newRow("odd string") << QByteArray::fromHex("00000003" "004100") << 2;
}

void TstWire::readerRejectsHugeCounts()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    wire::Reader r(bytes);
    bool ok = true;
    if (kind == 0) {
        QStringList l;
        ok = r.readStringList(&l);
    } else if (kind == 1) {
        QVariantMap m;
        ok = r.readMap(&m);
    } else {
        QString s;
        ok = r.readString(&s);
    }
    QVERIFY(!ok);
    QVERIFY(r.failed());
    QVERIFY(r.atEnd());
}

void TstWire::readerRoundTripsReplyItems()
{
    QByteArray items;
    items.append(char(8));
    items.append(wire::encodeStringList({"200", "150", "120", "110"}));
    items.append(char(10));
    items.append(char(99)); // unknown: skipped without argument
    items.append(char(25));
    wire::Reader r(items);
    quint8 code = 0;
    QStringList l;
    QVERIFY(r.readU8(&code));
    QCOMPARE(code, quint8(8));
    QVERIFY(r.readStringList(&l));
    QCOMPARE(l.size(), 4);
    QList<int> rest;
    while (!r.atEnd()) {
        QVERIFY(r.readU8(&code));
        rest << code;
    }
    QCOMPARE(rest, QList<int>({10, 99, 25}));
}

void TstWire::readerStopsAtTruncation()
{
    QByteArray full = wire::encodeMap({{"SNP", true}, {"PUTG", false}});
    for (int cut = 0; cut < full.size(); ++cut) {
        wire::Reader r(full.left(cut));
        QVariantMap m;
        QVERIFY2(!r.readMap(&m), qPrintable(QString::number(cut)));
    }
    wire::Reader whole(full);
    QVariantMap m;
    QVERIFY(whole.readMap(&m));
    QCOMPARE(m.value("SNP").toBool(), true);
}

// Login data may carry keys we do not read; a value of another kind among
// them must not cost the user the three access flags.
void TstWire::loginDataWithOtherKinds()
{
    QVariantMap data{{"SNP", true}, {"PUTG", false}, {"PUTGm", true}};
    data.insert("expires", QDate(2030, 1, 31));
    data.insert("since", QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9, 10), Qt::UTC));
    data.insert("ratio", 1.5f);
    data.insert("rank", QVariant::fromValue(short(-3)));
    data.insert("id", QUuid("{12345678-9abc-def0-1234-56789abcdef0}"));
    data.insert("at", QTime(23, 59));
    auto encode = [](const QVariantMap &m) {
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_5_0);
        out << m;
        return bytes;
    };
    const QByteArray map = encode(data);
    const wire::LoginReply reply = wire::parseLoginReply(wire::encodeString(wire::loginSuccessText()) + map);
    QVERIFY(reply.success);
    QVERIFY(reply.mapRead);
    QCOMPARE(reply.data, data);

    // Still bounded by the bytes at hand: every cut of the map is refused.
    for (int cut = 0; cut < map.size(); ++cut) {
        wire::Reader r(map.left(cut));
        QVariantMap m;
        QVERIFY2(!r.readMap(&m), qPrintable(QString::number(cut)));
    }
    // Kinds that carry counts or texts of their own are still refused.
    for (const QVariant &v : {QVariant(QUrl("http://x")), QVariant::fromValue(QByteArrayList{"a"})}) {
        QVariantMap m = data;
        m.insert("other", v);
        QVERIFY2(!wire::parseLoginReply(wire::encodeString(wire::loginSuccessText()) + encode(m)).mapRead,
                 v.typeName());
    }
}

// Found by the fuzzer: a date-time stored as time-zone time (or as no known
// kind of time at all) crashed the reader inside Qt's own stream operator.
void TstWire::dateTimeKindsFromTheWire()
{
    auto dateTime = [](quint8 kind) {
        QByteArray b;
        QDataStream out(&b, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_5_0);
        out << quint32(QMetaType::QDateTime) << quint8(0) << qint64(2460437) << quint32(25689010) << kind;
        return b;
    };
    const QDateTime utc(QDate(2024, 5, 6), QTime(7, 8, 9, 10), Qt::UTC);
    QVariant v;
    QVERIFY(wire::Reader(dateTime(Qt::UTC)).readVariant(&v));
    QCOMPARE(v.toDateTime(), utc);
    QCOMPARE(v.toDateTime().timeSpec(), Qt::UTC);
    QVERIFY(wire::Reader(dateTime(Qt::LocalTime)).readVariant(&v));
    QCOMPARE(v.toDateTime().timeSpec(), Qt::LocalTime);
    QCOMPARE(v.toDateTime().toUTC(), utc);
    QVERIFY(wire::Reader(dateTime(Qt::OffsetFromUTC)).readVariant(&v));
    QCOMPARE(v.toDateTime().offsetFromUtc(), 0);
    QCOMPARE(v.toDateTime().toUTC(), utc);
    for (quint8 kind : {quint8(Qt::TimeZone), quint8(4), quint8(0xFF)}) {
        wire::Reader r(dateTime(kind));
        QVERIFY2(!r.readVariant(&v), qPrintable(QString::number(kind)));
        QVERIFY(r.failed());
    }
    // Qt writes a local date-time of this stream version as its UTC time and kind 0.
    QByteArray b;
    QDataStream out(&b, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_0);
    const QDateTime local(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::LocalTime);
    out << QVariant(local);
    QVERIFY(wire::Reader(b).readVariant(&v));
    QCOMPARE(v.toDateTime(), local);
}

QTEST_APPLESS_MAIN(TstWire)
#include "tst_wire.moc"
