#pragma once
// Option data of the PUTG tab: the fixed lists of its widgets and the rules
// that tie the options together (available constructions, thickness lists,
// default thickness, split-gasket parts). Widgets only apply these.
#include <QString>
#include <QStringList>

namespace putg {

// Codes and the labels of their buttons, in button order.
const QStringList &reinforcements();        // "100", "211", "212", "311", "312"
const QStringList &reinforcementLabels();
const QStringList &constructions();         // "01" ... "04", "042", "043", "044", "012", "013", "014"
const QStringList &constructionLabels();
const QStringList &shapes();                // "circ", "ell", "rect"
const QStringList &shapeLabels();           // "круглая", "овальная", "прямоугольная"

// Standards by PUTGStandBox index, and the combo texts.
const QStringList &standards();             // "GOST128" ... "EN1514"
const QStringList &standardLabels();
// Facing by PUTGFlanBox index: "A", "B", "C", and "R" for any other index.
QString flanTypeForIndex(int index);
const QStringList &flanTypes();             // "A", "B", "C", "R"
const QStringList &flanLabels();            // the three combo texts

// Combo entries.
const QStringList &modElemEntries();        // "0 нет" ... "6 ингибитор окисления (Н-18)"
const QStringList &cleenEntries();          // purity class, index 0 is class 2
const QStringList &howMadeEntries();        // self-adhesive coating
const QStringList &fixEntries();            // "Ф1-20" ... "Ф1-56"
const QStringList &jumperLetters();         // "A" ... "X"
const QStringList &sizeModes();             // "gab", "fie"

// Constructions enabled for a reinforcement, shape and facing, in button order.
QStringList enabledConstructions(const QString &prType, const QString &config,
                                 const QString &flanType);
// The construction a reinforcement change checks: "01", or empty for "212"
// (which leaves the buttons alone).
QString checkedConstruction(const QString &prType);

// Thickness entries offered for a reinforcement (last entry "др." is editable).
QStringList thicknessList(const QString &prType);
// "<250", "<500" or ">500" from the standard and the current size-table row
// (-1 when no row is current; it counts as the first rows).
QString sizeClass(const QString &standard, int sizeRow);
// The thickness the rule asks for ("2,0" or "3,0"; empty for an unknown
// reinforcement).
QString wantedThickness(const QString &prType, const QString &sizeClass);
// The thickness the combo ends up showing after the list is refilled: the
// wanted one when the list holds it, else the first entry.
QString defaultThickness(const QString &prType, const QString &standard, int sizeRow);

// Number of parts of a split gasket ("3", "4", "6"); empty for an unknown standard.
QString splitParts(const QString &standard, int sizeRow);

// Temperature button for a modifying-element index: 0 "до 500", 1 "до 600",
// 2 "от 600".
int temperatureForModElem(int modElem);
// Modifying element set when a temperature button is checked; -1 leaves it
// (for "до 500" only Н-14 and Н-18 return to 0).
int modElemForTemperature(int temperature, int currentModElem);

// Which material pickers are enabled.
struct PickerStates
{
    bool ae = true, o = true, in = false, out = false;
};
PickerStates pickerStates(const QString &prType, const QString &construction);

// Construction groups: with an outer ring (D4 exists), with an inner ring (D1).
bool hasOuterRing(const QString &construction);
bool hasInnerRing(const QString &construction);

// Default picker indexes after a reset.
constexpr int kDefaultAeIndex = 0;
constexpr int kDefaultOIndex = 2;
constexpr int kDefaultInIndex = 2;
constexpr int kDefaultOutIndex = 2;

// Size and pressure table keys by standard index, empty outside 0 ... 5.
QString sizeTableKey(int standardIndex);
QString pressTableKey(int standardIndex);
// "tf" of the dimension request: facing, followed by ring constructions.
QString requestTf(const QString &flanType, const QString &construction);

// Picture resources.
QString roundDrawing(const QString &prType, const QString &construction);
QString halfDrawing(const QString &prType, const QString &construction);
QString outlineSketch(const QString &config);   // pr.jpg / ov.jpg, empty for round
QString flanPicture(const QString &flanType);   // empty for "R"

// Titles of the size and pressure lists, matching the values of the standard.
struct ListTitles
{
    QString size, press;
};
ListTitles listTitles(const QString &standard);

} // namespace putg
