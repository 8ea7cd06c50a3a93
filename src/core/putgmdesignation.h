#pragma once
// Designation and description of a graphite gasket on a metal base (ПУТГм).
// Shares the shape, jumper and feature rules with the PUTG builder.
#include "materials.h"

#include <QString>
#include <QStringList>

namespace putgm {

// Everything the PUTGm builders read: the tab's text members and the state of
// the widgets they consult directly.
struct PutgmChoices
{
    QString PUTGmConfig;    // "circ", "rect", "ell"
    QString PUTGmSizeMode;  // "gab", "fie" or empty
    QString PUTGmSize;
    QString PUTGmPress;
    QString PUTGmD1, PUTGmD2, PUTGmD3, PUTGmD4;
    QString PUTGmA1, PUTGmA2, PUTGmB1, PUTGmB2, PUTGmC;
    QString PUTGmFlanType;  // "A", "B", "C"
    QString PUTGmStandard;  // "GOST128" ... "EN1514"
    QString PUTGmOsn;       // metal base "09" ... "092", "09x", "08x"
    QString PUTGmConst;     // "01" ... "04"
    QString PUTGmPlak;      // sealing element "1" ... "7", "9"
    QString PUTGmDepth;     // "3,0" or "12,0 (4 слоя)"

    bool PUTGm_KVF_checkBox = false;
    QString PUTGmFixBox;            // current text, "Ф1-20" ...
    bool PUTGm_Perem_Yes = false;
    QString PUTGm_Perem_Box;        // jumper letter
    QString PUTGm_Perem_Depth_Edit; // width of jumper A
    bool PUTGm_Otv_checkBox = false;
    int PUTGm_HowMade_Box = 0;
    int PUTGm_ModElem = 0;
    materials::Pick PUTGm_AE_Material;  // base steel, ring list
    materials::Pick PUTGm_O_Material;   // obturator, strip list
    QString PUTGm_09x_Edit;             // layer counts of multilayer bases
    QString PUTGm_08x_Edit;
    bool PUTGm_Input_Box = false;
    bool PUTGm_Config_Ellipse = false;
};

// The tab as it stands right after the main window is built.
PutgmChoices startState();

// Material code without braces for the free entry ("др." or the typed text).
QString materialCode(const materials::Pick &p);
// Material name for the description: the catalogue name, or the typed text
// of the free entry.
QString materialName(const materials::Pick &p);

bool needsDrawing(const PutgmChoices &c);
// Constructive-element list without parentheses (no split-gasket item).
QString constructiveElements(const PutgmChoices &c);
QString jumperMark(const PutgmChoices &c);
bool isComplete(const PutgmChoices &c);
// D3 x D2, with D4 in front and D1 behind as the base requires.
QString diameterString(const PutgmChoices &c);
// "09-", "09(3)-", "09(x)-", "08(x)-" ...
QString basePiece(const PutgmChoices &c);
// Size and pressure piece by shape.
QString sizePressurePiece(const PutgmChoices &c);
// Thickness without a layer note ("12,0 (4 слоя)" -> "12,0").
QString thicknessPiece(const QString &depth);

struct MaterialCodes
{
    QString ae, o;
};
MaterialCodes materialCodes(const PutgmChoices &c);
// AE + (O or "0") + plate, e.g. "121".
QString group(const PutgmChoices &c);
// The six groups that are left out when there is no modifying element.
const QStringList &omittedGroups();
// "-121(Н-14)", "-3Ti01", "" ...
QString groupPiece(const PutgmChoices &c);

QStringList designationPieces(const PutgmChoices &c);
QString designation(const PutgmChoices &c);

// Description tables.
QString baseText(const QString &osn, const QString &aeName, const QString &layers09x,
                 const QString &layers08x);
QString constructionText(const QString &construction, const QString &oName);
QString plateText(const QString &plak);
QString facingText(const QString &flanType);

QString description(const PutgmChoices &c, const QString &designation);
QString description(const PutgmChoices &c);

} // namespace putgm
