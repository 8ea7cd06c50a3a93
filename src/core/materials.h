#pragma once
// Shared metal catalogue of the three configurators: entry texts shown in the
// pickers, short codes written into designations, names for descriptions.
#include <QString>
#include <QStringList>

namespace materials {

// The 14 ring-list entries in list order (last: the free "other material").
const QStringList &ringList();
// The strip list: the ring list without carbon steel (13 entries).
const QStringList &stripList();

// Index of carbon steel in the ring list.
constexpr int kCarbonSteelRing = 7;

// State of a material picker as the builders read it.
struct Pick
{
    int index = 0;       // current index
    int count = 14;      // number of entries
    QString text;        // current text (typed text for the last entry)

    static Pick ring(int index);              // text taken from the ring list
    static Pick strip(int index);             // text taken from the strip list
    static Pick ringOther(const QString &typed);
    static Pick stripOther(const QString &typed);
    bool isOther() const { return index == count - 1; }
};

// "{др.}" / "{text}" for the other entry, else the trimmed code column.
QString code(const Pick &p);
// Code of the other entry without braces (the PUTGm rule).
QString codeNoBraces(const Pick &p);
// Entry text less its five-character code column.
QString name(const Pick &p);
// Bare names by list kind ("O" for the strip list) and index; empty outside.
QString MaterialName(const QString &kind, int index);
// Strip index that follows an inner-ring index; -1 when the strip stays.
int carcIndexForRing(int ringIndex, int ringCount);

} // namespace materials
