#pragma once
// The PROXY header a load balancer (HAProxy's send-proxy / send-proxy-v2)
// writes at the start of each connection it opens to us, naming the customer
// it carries. Version 2 is binary, version 1 one text line.
#include <QByteArray>
#include <QString>

namespace proxyheader {

// Longest header taken: v2 with its extensions, or the v1 line.
constexpr int kMaxLength = 16 + 1024;

enum class Outcome { NeedMore, Invalid, Parsed };

struct Header
{
    int length = 0;  // bytes the header takes at the start of the data
    QString address; // empty: a health check or an unknown kind of address;
                     // the connection's own peer stands
    quint16 port = 0;
};

// Looks at the first bytes of a connection. NeedMore while they may still
// become a valid header, Invalid as soon as they cannot.
Outcome parse(const QByteArray &data, Header *out);

} // namespace proxyheader
