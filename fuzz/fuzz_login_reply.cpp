// The login window's reply reader: frames split anywhere, bodies parsed.
#include "split_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    forEachFrame(data, size, [](const QByteArray &body) {
        const wire::LoginReply r = wire::parseLoginReply(body);
        if (r.success && !r.complete)
            __builtin_trap(); // a success without its text cannot be
    });
    return 0;
}
