// The header a load balancer puts in front of each connection it opens.
#include "proxyheader.h"

#include <QtTest>

using proxyheader::Outcome;

namespace {

QByteArray v2(quint8 command, quint8 family, const QByteArray &addresses)
{
    QByteArray h = QByteArray::fromRawData("\r\n\r\n\0\r\nQUIT\n", 12);
    h.append(char(0x20 | command)).append(char(family));
    h.append(char(addresses.size() >> 8)).append(char(addresses.size() & 0xff));
    return h + addresses;
}

const QByteArray kV4 = QByteArray::fromHex("c0000201" "0a000001" "d431" "1b5e"); // 192.0.2.1:54321 -> 10.0.0.1:7006
const QByteArray kV6 = QByteArray::fromHex("20010db8000000000000000000000001" "00000000000000000000000000000001"
                                           "0050" "1b5e");

} // namespace

class TestProxyHeader : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("length"); // of a parsed header
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("port");
        const int need = int(Outcome::NeedMore), bad = int(Outcome::Invalid), ok = int(Outcome::Parsed);
        QTest::newRow("v2 tcp4, request after it") << v2(1, 0x11, kV4) + "\x00\x05" << ok << 28 << "192.0.2.1" << 54321;
        QTest::newRow("v2 tcp6 with an extension") << v2(1, 0x21, kV6 + QByteArray::fromHex("040003414243")) << ok << 58
                                                   << "2001:db8::1" << 80;
        QTest::newRow("v2 local health check") << v2(0, 0x11, kV4) << ok << 28 << "" << 0;
        QTest::newRow("v2 unspec") << v2(1, 0x00, {}) << ok << 16 << "" << 0;
        QTest::newRow("v2 unix socket") << v2(1, 0x31, QByteArray(216, 'x')) << ok << 232 << "" << 0;
        QTest::newRow("v2 cut in the addresses") << v2(1, 0x11, kV4).left(20) << need << 0 << "" << 0;
        QTest::newRow("v2 signature only") << QByteArray("\r\n\r\n\0\r\nQU", 9) << need << 0 << "" << 0;
        QTest::newRow("v2 addresses too short") << v2(1, 0x11, kV4.left(8)) << bad << 0 << "" << 0;
        QTest::newRow("v2 udp") << v2(1, 0x12, kV4) << bad << 0 << "" << 0;
        QTest::newRow("v2 unknown command") << v2(2, 0x11, kV4) << bad << 0 << "" << 0;
        QByteArray v3 = v2(1, 0x11, kV4);
        v3[12] = char(0x31);
        QTest::newRow("v2 wrong version") << v3 << bad << 0 << "" << 0;
        QTest::newRow("v2 longer than we take") << v2(1, 0x11, QByteArray(2000, 'x')) << bad << 0 << "" << 0;
        QTest::newRow("v1 tcp4") << QByteArray("PROXY TCP4 192.0.2.1 10.0.0.1 54321 7006\r\n\x00\x05", 44) << ok << 42
                                 << "192.0.2.1" << 54321;
        QTest::newRow("v1 tcp6") << QByteArray("PROXY TCP6 2001:db8::1 ::1 80 7006\r\n") << ok << 36 << "2001:db8::1" << 80;
        QTest::newRow("v1 unknown") << QByteArray("PROXY UNKNOWN ffff::1 ::1 1 2\r\n") << ok << 31 << "" << 0;
        QTest::newRow("v1 line not ended") << QByteArray("PROXY TCP4 192.0.2.1") << need << 0 << "" << 0;
        QTest::newRow("v1 prefix only") << QByteArray("PRO") << need << 0 << "" << 0;
        QTest::newRow("v1 bare LF") << QByteArray("PROXY TCP4 192.0.2.1 10.0.0.1 1 2\n") << bad << 0 << "" << 0;
        QTest::newRow("v1 port too big") << QByteArray("PROXY TCP4 192.0.2.1 10.0.0.1 65536 2\r\n") << bad << 0 << ""
                                         << 0;
        QTest::newRow("v1 v6 address as tcp4") << QByteArray("PROXY TCP4 ::1 ::1 1 2\r\n") << bad << 0 << "" << 0;
        QTest::newRow("v1 word missing") << QByteArray("PROXY TCP4 192.0.2.1 10.0.0.1 1\r\n") << bad << 0 << "" << 0;
        QTest::newRow("v1 line too long") << "PROXY TCP4 " + QByteArray(120, '1') << bad << 0 << "" << 0;
        QTest::newRow("our request without a header") << QByteArray("\x00\x05\x01", 3) << bad << 0 << "" << 0;
        QTest::newRow("nothing yet") << QByteArray() << need << 0 << "" << 0;
    }

    void parse()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, outcome);
        proxyheader::Header h;
        QCOMPARE(int(proxyheader::parse(data, &h)), outcome);
        if (outcome == int(Outcome::Parsed)) {
            QTEST(h.length, "length");
            QTEST(h.address, "address");
            QTEST(int(h.port), "port");
        }
    }
};

QTEST_APPLESS_MAIN(TestProxyHeader)
#include "tst_proxyheader.moc"
