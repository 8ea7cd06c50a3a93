#pragma once
// One item of a reply to the main window: its code and the argument that the
// code fixes. The main window acts on items; reading them is kept apart so it
// can be checked, and fuzzed, without a window.
#include "wire.h"

namespace wire {

struct ReplyItem
{
    quint8 code = 0;
    QVariantMap map;   // reply 5
    QStringList list;  // replies 8, 16, 18, 20
};

// Reads the next item. Codes without an argument, and codes that are no
// reply, take only their byte. False when the argument is cut off or
// malformed; the rest of the body is then unusable.
bool readReplyItem(Reader &in, ReplyItem *item);

} // namespace wire
