// The main window's reply items alone: frames cut anywhere, every body read
// item by item as the window reads it, without the window.
#include "replyitems.h"
#include "split_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    forEachFrame(data, size, [](const QByteArray &body) {
        wire::Reader in(body);
        while (!in.atEnd()) {
            const int before = in.position();
            wire::ReplyItem item;
            if (!wire::readReplyItem(in, &item))
                break;
            // Every item takes at least its code: the window's loop must end.
            if (in.position() <= before || in.position() > body.size())
                __builtin_trap();
            // A list read back must be the bytes the server writes for it.
            const bool listed = item.code == wire::SnpReply || item.code == wire::SnpD2Reply
                                || item.code == wire::PutgReply || item.code == wire::PutgmReply;
            if (listed && body.mid(before + 1, in.position() - before - 1) != wire::encodeStringList(item.list))
                __builtin_trap();
        }
    });
    return 0;
}
