#include "orderrows.h"
#include "wire.h"

namespace orderrows {

bool isWholeQuantity(const QString &text)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return text.toInt() > 0;
}

int firstBadQuantityRow(const QStringList &cells)
{
    for (int i = 0; i * kColumns + kQuantityColumn < cells.size(); ++i) {
        if (!isWholeQuantity(cells.at(i * kColumns + kQuantityColumn)))
            return i;
    }
    return -1;
}

QList<QStringList> splitForFrames(quint8 code, const QStringList &cells)
{
    QList<QStringList> parts;
    QStringList current;
    for (int at = 0; at < cells.size(); at += kColumns) {
        const QStringList row = cells.mid(at, kColumns);
        QStringList grown = current + row;
        if (wire::fitsOnWire(wire::requestFrame(code, grown))) {
            current = grown;
            continue;
        }
        if (current.isEmpty())
            return {}; // this row alone does not fit
        parts << current;
        current = row;
        if (!wire::fitsOnWire(wire::requestFrame(code, current)))
            return {};
    }
    if (!current.isEmpty())
        parts << current;
    return parts;
}

} // namespace orderrows
