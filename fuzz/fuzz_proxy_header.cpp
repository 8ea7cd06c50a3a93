// The PROXY header as a connection's first bytes arrive: whatever it says,
// a header is never reported before its last byte, never past the data, and
// bytes that were refused stay refused however many more follow.
#include "proxyheader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int step = 1 + data[0] % 32;
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), int(size - 1));
    using proxyheader::Outcome;
    Outcome last = Outcome::NeedMore;
    proxyheader::Header h;
    for (int n = 0; n <= stream.size(); n = n < stream.size() ? qMin(n + step, stream.size()) : n + 1) {
        proxyheader::Header now;
        const Outcome o = proxyheader::parse(stream.left(n), &now);
        if (last != Outcome::NeedMore && o != last)
            __builtin_trap();
        if (o == Outcome::Parsed) {
            if (now.length <= 0 || now.length > n || now.length > proxyheader::kMaxLength)
                __builtin_trap();
            if (last == Outcome::Parsed && (now.length != h.length || now.address != h.address || now.port != h.port))
                __builtin_trap();
            // The header alone reads the same.
            proxyheader::Header alone;
            if (proxyheader::parse(stream.left(now.length), &alone) != Outcome::Parsed || alone.length != now.length
                || alone.address != now.address)
                __builtin_trap();
            if (now.length < n && proxyheader::parse(stream.left(now.length - 1), &alone) != Outcome::NeedMore)
                __builtin_trap();
            h = now;
        }
        last = o;
    }
    return 0;
}
