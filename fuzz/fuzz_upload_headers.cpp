// Upload headers and the raw bytes behind them, as a connection meets them:
// a header frame, then as many raw bytes as it announces, then the next frame.
// Checks the header reader and the name the server would record.
#include "requests.h"
#include "server.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int step = 1 + data[0] % 64;
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), int(size - 1));
    wire::FrameGate gate;
    QByteArray buffer;
    QByteArray body;
    qint64 raw = 0; // file bytes still to come before the next frame
    for (int pos = 0; pos < stream.size(); pos += step) {
        buffer.append(stream.mid(pos, step));
        for (;;) {
            if (raw > 0) {
                const int take = int(qMin<qint64>(raw, buffer.size()));
                buffer.remove(0, take);
                raw -= take;
                if (raw > 0)
                    break;
            }
            if (!gate.next(&buffer, &body))
                break;
            const requests::Request r = requests::decode(body);
            if (r.code != wire::UploadFile && r.code != wire::UploadRowFile)
                continue;
            if (!r.ok || r.size < 0)
                return 0; // the connection is closed here
            const QByteArray again = r.code == wire::UploadFile ? wire::uploadHeader(r.fileName, r.size)
                                                                : wire::uploadHeader(r.fileName, r.size, r.row);
            if (again.mid(2) != body)
                __builtin_trap();
            const QString name = safeUploadName(r.fileName);
            if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name == QLatin1String("..")
                || name.size() > 255)
                __builtin_trap();
            for (const QChar c : name)
                if (c.unicode() < 0x20 || c.unicode() == 0x202e)
                    __builtin_trap();
            raw = r.size;
        }
    }
    return 0;
}
