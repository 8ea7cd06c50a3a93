#pragma once
// Both reply readers are fed the same way: the first byte of the input says
// how the rest is cut into reads, and every frame the gate completes is handed on.
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "wire.h"

template<class OnBody>
void forEachFrame(const uint8_t *data, size_t size, OnBody onBody)
{
    if (size < 1)
        return;
    const int step = 1 + data[0] % 64;
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), int(size - 1));
    wire::FrameGate gate;
    QByteArray buffer;
    QByteArray body;
    for (int pos = 0; pos < stream.size(); pos += step) {
        buffer.append(stream.mid(pos, step));
        while (gate.next(&buffer, &body))
            onBody(body);
    }
}
