#pragma once
// Option data of the SNP tab: which standards, types, flanges and thicknesses
// go together, table keys, titles, pictures and label places. Pure data and
// small rules, so the tab's slots only move widgets.
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace snp {

struct StandardInfo
{
    QString code;        // SNPStandard
    QString button;      // object name of the radio button
    QString text;        // button text
    int tableSet;        // 1 .. 7; 0 for "TU" (sizes typed)
    QString sizeTitle;   // Title_size (empty for "TU": tables hidden)
    QString pressTitle;  // Title_press
};

// The eleven standards in button order.
const QVector<StandardInfo> &standardTable();
// nullptr for an unknown code.
const StandardInfo *standardInfo(const QString &code);

// Titles shown at start-up, before any standard slot ran.
QString startSizeTitle();   // "Условный проход, мм"
QString startPressTitle();  // "Давление Ру, МПа"

// Keys of the tables map; empty for a set outside 1 .. 7.
QString sizeKey(int tableSet);
QString pressKey(int tableSet);
// Key of the D2 list: type + standard + "_d2" ("EOST128_d2").
QString d2Key(const QString &type, const QString &standard);
// The D2 list is shown for "OST128", and for "OST287" with type "A" or "C".
bool usesD2List(const QString &standard, const QString &type);
// "standart" value of the lookup requests: the EN 12560 codes are asked for
// as their ASME twins.
QString requestStandard(const QString &standard);
// Row preselected in the pressure list: the first row ending with
// "1,6 (16,0)", else 0; -1 for an empty list.
int preselectedPressRow(const QStringList &rows);
// Value SNPPress takes for that preselection.
QString preselectedPress(const QStringList &rows);

// Type checked after a standard change: "C" for "OST287", else "E".
QString defaultType(const QString &standard);
// Types and flanges ("A", "B", "C" for Flan_A_Btn .. Flan_C_Btn) that stay
// enabled for a standard.
QStringList allowedTypes(const QString &standard);
QStringList allowedFlanges(const QString &standard);
// The jumper check box is unavailable for "OST128" and "GOST128".
bool jumperAvailable(const QString &standard);

// Flange button a type checks: "A" → "C" (шип-паз), "B"/"C" → "B", "D"/"E" → "A".
QString flangeForType(const QString &type);
// Type a flange choice leads to, given the current type: the type stays when
// it fits the flange, otherwise the flange's fallback ("A": "E", "B": "C",
// "C": "A").
QString typeForFlange(const QString &flange, const QString &currentType);

// Jumper letters that need a drawing (all but "A", "J", "M").
bool jumperNeedsDrawing(const QString &letter);
// The width edit is used only for jumper type "A".
bool jumperWidthEnabled(const QString &letter);

// Temperature buttons and the modifying element follow each other.
enum class Temperature { Min, Mid, Max };
// Modifying element index after a temperature choice.
int modElemForTemperature(Temperature t, int currentIndex);
// Temperature button checked after a modifying element choice.
Temperature temperatureForModElem(int index);

// Thickness buttons.
enum class DepthButton { D45, D32, D23, ByStandard, Other };
// Button SNPSetCurrentDepth checks. sizeRow is the current row of the size
// list (-1 for none); flange is "A", "B" or "C".
DepthButton currentDepthButton(const QString &standard, int sizeRow, const QString &flange);
// "4,5", "3,2", "2,3" for the fixed buttons, empty otherwise.
QString depthText(DepthButton b);
bool depth23Enabled(const QString &standard, int sizeRow);
bool depthByStandardEnabled(const QString &standard);

struct DepthLabels
{
    QString h, h1, h2;   // H_Data, H1_Data, H2_Data
};
// Labels for the thickness the server gave with a GOST choice.
std::optional<DepthLabels> tableDepthLabels(const QString &tableDepth);
// Labels for a chosen thickness; with the other-thickness button the typed
// value alone.
std::optional<DepthLabels> depthLabels(const QString &depth, bool otherDepth);
// H2_Data is shown for types "A" and "B" only.
bool h2Visible(const QString &type);

// Diameters (1 .. 4) a type uses: the TU edits shown and the labels over the
// picture.
QVector<int> usedDiameterNumbers(const QString &type);
// Gasket picture of a type and flange picture of a flange button.
QString gasketPicture(const QString &type);
QString flangePicture(const QString &flange);
// Place of the diameter label Dn (1 .. 4) over the picture.
constexpr int kDiameterLabelX = 250;
constexpr int kDiameterLabelXWithD2 = 213;
int diameterLabelY(const QString &type, int n);


} // namespace snp
