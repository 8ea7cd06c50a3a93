#pragma once
// Designation and description of a spiral-wound gasket (СНП). Both texts are
// pure functions of the tab's choices, so the window, the command-line tool
// and the tests all build them the same way.
#include <QString>
#include <QStringList>

#include "materials.h"

namespace snp {

// Everything the two builders read: the tab's text members plus the states of
// the widgets they look at. Member names follow the window's names.
struct SnpChoices
{
    QString SNPStandard;   // "OST128", "OST287", "GOST128", "TU", "ASME165", ...
    QString SNPType;       // Latin "A" .. "E"
    QString SNPSize;       // current row of the size list
    QString SNPPress;      // current row of the pressure list
    QString SNPD1, SNPD2, SNPD3, SNPD4; // D1 innermost .. D4 outermost
    QString SNPFill;       // "3", "4" or "5"
    QString SNPDepth;      // thickness with decimal comma

    int SNP_ModElem = 0;                // index of the modifying element
    materials::Pick SNP_In_Materials;   // inner ring (ring list)
    materials::Pick SNP_K_Materials;    // winding strip (strip list)
    materials::Pick SNP_Out_Materials;  // outer ring (ring list)

    bool SNP_KVF_checkBox = false;      // fixing element on
    bool SNP_ONO_checkBox = false;      // holes in the outer ring
    bool SNP_Perem_Yes = false;         // jumper on
    QString SNPFixBox;                  // fixing element kind, "Ф1-20" ...
    QString SNP_Perem_Box;              // jumper type, "A" .. "X"
    QString SNP_Perem_Depth_Edit;       // jumper width (type "A" only)
};

// The tab as it stands after start-up and after a standard change resets it:
// OST128, type "E", filler 3, thickness 4,5, default materials, no extras,
// no size, pressure or diameters yet.
SnpChoices startState();

// All standard codes, in the order of the standard buttons.
const QStringList &standards();
bool isStandard(const QString &code);
// Latin type letters "A" .. "E".
const QStringList &types();
bool isType(const QString &type);

// Entries of the choice lists, in index order.
const QStringList &modElemEntries();   // SNP_ModElem
const QStringList &fixEntries();       // SNPFixBox
const QStringList &jumperLetters();    // SNP_Perem_Box

// "А", "Б", "В", "Г", "Д" for "A" .. "E"; empty for anything else.
QString typeLetter(const QString &type);
// The diameters the type uses, outermost first (D4, D3, D2, D1 order).
QStringList usedDiameters(const SnpChoices &c);
// Type C and E gaskets have an inner ring (D1), D and E an outer one (D4).
bool typeHasInnerRing(const QString &type);
bool typeHasOuterRing(const QString &type);

// Modifying element code for the designation ("(С)", "(Al)", "И(Н-8)" ...)
// and its words after ", с добавлением "; empty for index 0 or out of range.
QString modElemCode(int index);
QString modElemText(int index);

// Material group code I+K+O by type, before any rewriting ("115", "03L0").
QString groupCode(const SnpChoices &c);
// The material part of TU/GOST/OST designations: " " for the plain codes
// 115/015/010/110, else "-" + the (shortened) group code.
QString materialPart(const SnpChoices &c);
// Ring code text of ASME/EN designations ("-316L", "-CS", "-{name}");
// empty for a code that has none.
QString ringCodeText(const QString &code);
// Constructive-element bracket "(A/5, Ф1-20, черт.)" or empty.
QString constructivePart(const SnpChoices &c);

// Standard name and flange text used by the description.
QString standardName(const QString &standard);
QString flangeText(const QString &standard);

// Name of a picked material as the description shows it.
QString materialDescriptionName(const materials::Pick &p);

// The designation; empty when the choice is incomplete (no diameter at all,
// a TU diameter the type needs is missing, or an unknown standard or type).
QString designation(const SnpChoices &c);
// The description belonging to a designation built from the same choices;
// empty when the designation is empty.
QString description(const SnpChoices &c, const QString &designation);
// Convenience: both texts at once.
inline QString description(const SnpChoices &c) { return description(c, designation(c)); }

} // namespace snp
