#pragma once
// Designation and description of a graphite gasket (ПУТГ), built from the
// tab's choices as plain data so the tab, the tests and the command-line tool
// share one builder.
#include "materials.h"

#include <QString>
#include <QStringList>

namespace putg {

// Everything the PUTG builders read: the tab's text members under their own
// names, and the state of the widgets they consult directly.
struct PutgChoices
{
    QString PUTGConfig;     // "circ", "rect", "ell"
    QString PUTGSizeMode;   // "gab", "fie" or empty
    QString PUTGSize;       // DN text of the size row
    QString PUTGPress;      // PN text of the pressure row, e.g. "1,6 (16,0)"
    QString PUTGD1, PUTGD2, PUTGD3, PUTGD4;
    QString PUTGA1, PUTGA2, PUTGB1, PUTGB2, PUTGC;
    QString PUTGFlanType;   // Latin "A", "B", "C", "R"
    QString PUTGPrType;     // "100", "211", "212", "311", "312"
    QString PUTGConst;      // "01" ... "014"
    QString PUTGDepth;      // thickness with decimal comma
    QString PUTGStandard;   // "GOST128" ... "EN1514"

    bool PUTG_KVF_checkBox = false;
    QString PUTGFixBox;             // current text, "Ф1-20" ...
    bool PUTG_Ras_checkBox = false;
    QString PUTG_Kol_Ch_Raz;        // number of parts, as typed
    bool PUTG_Perem_Yes = false;
    QString PUTG_Perem_Box;         // jumper letter "A" ... "X"
    QString PUTG_Perem_Depth_Edit;  // width of jumper A
    bool PUTG_Otv_checkBox = false;
    int PUTG_HowMade_Box = 0;       // 1: self-adhesive coating
    int PUTGCleenBox = 0;           // 0: class 2, otherwise class 1
    int PUTG_ModElem = 0;           // 0 ... 5
    materials::Pick PUTG_AE_Material;   // ring list
    materials::Pick PUTG_O_Material;    // strip list
    materials::Pick PUTG_In_Material;   // ring list
    materials::Pick PUTG_Out_Material;  // ring list
    bool PUTG_Input_Box = false;        // non-standard flange, typed diameters
    bool PUTG_Config_Ellipse = false;
};

// The tab as it stands right after the main window is built.
PutgChoices startState();

// Material codes as the designation writes them (after the "0" overrides).
struct MaterialCodes
{
    QString ae, o, in, out;
};

// --- helpers shared with the PUTGm builder -------------------------------

// Cyrillic facing letter for Latin "A", "B", "C", "R"; empty otherwise.
QString facingLetter(const QString &flanType);
// "о" for "ell", "п" for "rect", empty otherwise.
QString shapeMark(const QString &config);
// Jumper letters that need no drawing.
bool jumperIsStandard(const QString &letter);
// Empty when off; the letter, or "A/" + width for a jumper A with a width.
QString jumperMark(bool on, const QString &letter, const QString &width);
// Modifying element mark with parentheses ("(С)", "(Н-14)"), empty for 0.
QString modElemMark(int index);
// ", с добавлением ..." for a non-zero index, else empty.
QString modElemDescription(int index);
// The fixing, self-adhesive, holes and jumper pieces of a description.
QString featureDescription(bool fixing, const QString &fixText, int howMade,
                           bool holes, bool jumper, const QString &letter,
                           const QString &width);
// Text up to the first blank ("1,6 (16,0)" -> "1,6").
QString firstWord(const QString &text);
bool isAsme(const QString &standard);
// " ASME B 16.20" ... for the ASME standards, else empty.
QString asmeSuffix(const QString &standard);
// Name of the material in a description when the picker holds the free
// entry: what was typed, or empty while nothing was typed.
QString otherMaterialName(const materials::Pick &p);

// --- PUTG ----------------------------------------------------------------

// Whether the item needs a drawing ("черт." in the element list).
bool needsDrawing(const PutgChoices &c);
// Constructive-element list without parentheses, e.g. "Ф1-33, черт.".
QString constructiveElements(const PutgChoices &c);
QString jumperMark(const PutgChoices &c);
// Whether the dimensions the shape needs are present.
bool isComplete(const PutgChoices &c);
// D3 x D2 with D4 in front and D1 behind as the construction requires.
QString diameterString(const PutgChoices &c);
// Typed non-round dimensions by sizing mode ("A1 x A2 x B1 x B2" or "A1 x B1 x C").
QString shapeDimensions(const QString &sizeMode, const QString &a1, const QString &a2,
                        const QString &b1, const QString &b2, const QString &cc);

MaterialCodes materialCodes(const PutgChoices &c);
// "-" + AE + mark + "-" + In + O + Out.
QString groupCode(const PutgChoices &c);
// The ten group codes a designation leaves out.
const QStringList &standardGroupCodes();

// The thirteen designation pieces in order (some may be empty); an empty list
// when the item is incomplete.
QStringList designationPieces(const PutgChoices &c);
QString designation(const PutgChoices &c);

// Description tables.
QString introText(const QString &config);
QString reinforcementText(const QString &prType, const QString &aeName);
QString constructionText(const QString &construction, const QString &o,
                         const QString &in, const QString &out);

// Material names the description uses for the four pickers.
QString aeName(const PutgChoices &c);
QString obturatorName(const PutgChoices &c);
QString innerRingName(const PutgChoices &c);
QString outerRingName(const PutgChoices &c);

// The description of a non-empty designation (empty otherwise).
QString description(const PutgChoices &c, const QString &designation);
QString description(const PutgChoices &c);

} // namespace putg
