#include "replyitems.h"

namespace wire {

bool readReplyItem(Reader &in, ReplyItem *item)
{
    *item = ReplyItem();
    if (!in.readU8(&item->code))
        return false;
    switch (item->code) {
    case TablesReply:
        return in.readMap(&item->map);
    case SnpReply:
    case SnpD2Reply:
    case PutgReply:
    case PutgmReply:
        return in.readStringList(&item->list);
    default:
        return true;
    }
}

} // namespace wire
