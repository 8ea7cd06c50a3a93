// The login window's reply reader: frames split anywhere, bodies parsed.
#include <QByteArray>
#include <cstdint>

#include "wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte chooses how the stream is cut into reads.
    const int step = 1 + data[0] % 64;
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), int(size - 1));
    wire::FrameGate gate;
    QByteArray buffer;
    QByteArray body;
    for (int pos = 0; pos < stream.size(); pos += step) {
        buffer.append(stream.mid(pos, step));
        while (gate.next(&buffer, &body)) {
            const wire::LoginReply r = wire::parseLoginReply(body);
            if (r.success && !r.complete)
                __builtin_trap(); // a success without its text cannot be
        }
    }
    return 0;
}
