#pragma once
// Rules on the rows of an order list as they travel: five cells per row,
// the quantity a positive whole number, and how a list too big for one frame
// is cut into requests that each fit.
#include <QList>
#include <QString>
#include <QStringList>

namespace orderrows {

constexpr int kColumns = 5;
constexpr int kQuantityColumn = 1;

// Digits only, at most nine of them, and not zero ("2 шт." and "" are not).
bool isWholeQuantity(const QString &text);

// Index of the first row whose quantity is not a whole number, -1 when all are.
int firstBadQuantityRow(const QStringList &cells);

// Cuts the cells into consecutive runs of whole rows whose request frames
// (with `code`) each fit on the wire. Empty when some single row is too big.
QList<QStringList> splitForFrames(quint8 code, const QStringList &cells);

} // namespace orderrows
