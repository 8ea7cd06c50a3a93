// The server's request reader alone: frames cut anywhere, each body decoded
// as a connection decodes it, without sockets or a store.
#include "requests.h"
#include "split_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    forEachFrame(data, size, [](const QByteArray &body) {
        const requests::Request r = requests::decode(body);
        if (!r.ok)
            return;
        // What was read must be what a client writes for it: written again,
        // it gives the same leading bytes.
        QByteArray again;
        if (r.code == wire::Login) {
            if (r.name.isEmpty())
                __builtin_trap();
            again = wire::requestFrame(r.code, wire::loginText(r.name, r.clear));
        } else if (wire::isOrderCode(r.code)) {
            again = wire::requestFrame(r.code, r.list);
        } else {
            return;
        }
        if (!body.startsWith(again.mid(2)))
            __builtin_trap();
    });
    return 0;
}
