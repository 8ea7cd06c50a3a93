#include "proxyheader.h"

#include <QList>
#include <QtEndian>

#include <arpa/inet.h>

#include <cstring>

namespace proxyheader {

namespace {

const char kSignatureV2[12] = {'\r', '\n', '\r', '\n', '\0', '\r', '\n', 'Q', 'U', 'I', 'T', '\n'};
const QByteArray kPrefixV1 = QByteArrayLiteral("PROXY ");
constexpr int kMaxLineV1 = 107; // with its CR LF

QString text(int family, const void *raw)
{
    char buf[INET6_ADDRSTRLEN] = {};
    return inet_ntop(family, raw, buf, sizeof buf) ? QString::fromLatin1(buf) : QString();
}

Outcome parseV2(const QByteArray &data, Header *out)
{
    if (data.size() < 16)
        return Outcome::NeedMore;
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    const int version = p[12] >> 4;
    const int command = p[12] & 0x0f;
    const int family = p[13];
    const int length = qFromBigEndian<quint16>(p + 14);
    if (version != 2 || command > 1 || 16 + length > kMaxLength)
        return Outcome::Invalid;
    if (data.size() < 16 + length)
        return Outcome::NeedMore;
    Header h;
    h.length = 16 + length;
    const uchar *a = p + 16;
    const int transport = family & 0x0f;
    if (family != 0 && ((family >> 4) > 3 || transport != 1))
        return Outcome::Invalid; // datagrams, or no such family
    // LOCAL is the balancer's own health check; its addresses mean nothing.
    if (command == 1 && family == 0x11) {
        if (length < 12)
            return Outcome::Invalid;
        h.address = text(AF_INET, a);
        h.port = qFromBigEndian<quint16>(a + 8);
    } else if (command == 1 && family == 0x21) {
        if (length < 36)
            return Outcome::Invalid;
        h.address = text(AF_INET6, a);
        h.port = qFromBigEndian<quint16>(a + 32);
    }
    *out = h;
    return Outcome::Parsed;
}

bool v1Address(const QByteArray &word, int family)
{
    unsigned char raw[16];
    return inet_pton(family, word.constData(), raw) == 1;
}

bool v1Port(const QByteArray &word, quint16 *port)
{
    if (word.isEmpty() || word.size() > 5 || (word.size() > 1 && word.startsWith('0')))
        return false;
    for (char c : word)
        if (c < '0' || c > '9')
            return false;
    const int v = word.toInt();
    if (v > 65535)
        return false;
    *port = quint16(v);
    return true;
}

Outcome parseV1(const QByteArray &data, Header *out)
{
    const int end = data.indexOf("\r\n");
    if (end < 0) {
        if (data.size() >= kMaxLineV1 || data.contains('\n'))
            return Outcome::Invalid;
        return Outcome::NeedMore;
    }
    if (end + 2 > kMaxLineV1 || data.left(end).contains('\n') || data.left(end).contains('\r'))
        return Outcome::Invalid;
    const QList<QByteArray> words = data.left(end).split(' ');
    Header h;
    h.length = end + 2;
    if (words.value(1) == "UNKNOWN") {
        *out = h; // the rest of the line says nothing we can use
        return Outcome::Parsed;
    }
    const int family = words.value(1) == "TCP4" ? AF_INET : words.value(1) == "TCP6" ? AF_INET6 : 0;
    quint16 source = 0;
    quint16 destination = 0;
    if (family == 0 || words.size() != 6 || !v1Address(words[2], family) || !v1Address(words[3], family)
        || !v1Port(words[4], &source) || !v1Port(words[5], &destination))
        return Outcome::Invalid;
    h.address = QString::fromLatin1(words[2]);
    h.port = source;
    *out = h;
    return Outcome::Parsed;
}

} // namespace

Outcome parse(const QByteArray &data, Header *out)
{
    const int v2 = qMin(data.size(), int(sizeof kSignatureV2));
    if (v2 > 0 && std::memcmp(data.constData(), kSignatureV2, size_t(v2)) == 0)
        return parseV2(data, out);
    const int v1 = qMin(data.size(), kPrefixV1.size());
    if (v1 > 0 && std::memcmp(data.constData(), kPrefixV1.constData(), size_t(v1)) == 0)
        return data.size() < kPrefixV1.size() ? Outcome::NeedMore : parseV1(data, out);
    return data.isEmpty() ? Outcome::NeedMore : Outcome::Invalid;
}

} // namespace proxyheader
