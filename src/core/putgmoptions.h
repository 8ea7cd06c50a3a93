#pragma once
// Option data of the PUTGm tab: the metal bases, constructions and sealing
// elements, which of them a base allows, the thickness lists with their layer
// counts, and the request and picture names. Widgets only apply these.
#include <QString>
#include <QStringList>

namespace putgm {

// Codes and button labels in button order (PUTGm_Osn_09_Btn, _099_, _095_,
// _097_, _098_, _08_, _091_, _09x_, _093_, _08x_, _092_).
const QStringList &bases();
const QStringList &baseLabels();
const QStringList &constructions();         // "01" ... "04"
const QStringList &constructionLabels();    // including the four always-disabled buttons
const QStringList &plates();                // "1" ... "7", "9" (PUTGm_Plak_1 ... _8)
const QStringList &plateLabels();
const QStringList &flanTypes();             // "A", "B", "C"
// Facing for PUTGmFlanBox; empty for an index that leaves it unchanged.
QString flanTypeForIndex(int index);
// Standard for PUTGmStandBox; empty for an index that leaves it unchanged.
QString standardForIndex(int index);

bool isMultilayer(const QString &osn);      // "09x", "08x"

// Constructions enabled for a base and shape ("01" always).
QStringList enabledConstructions(const QString &osn, const QString &config);
// Sealing elements enabled for a base and construction ("1" always).
QStringList enabledPlates(const QString &osn, const QString &construction);
// Self-adhesive coating available (smooth bases only).
bool glueAvailable(const QString &osn);

// Thickness list for a base and sealing element, and the entry made current
// (-1: none, the combo shows no text).
struct ThicknessChoice
{
    QStringList entries;
    int current = 0;
    QString text() const { return entries.value(current); }
};
ThicknessChoice thickness(const QString &osn, const QString &plak);
// Layer count of a multilayer base for the thickness index; empty for a
// single-layer base.
QString layerCount(const QString &osn, const QString &plak, int depthIndex);

// Diameter fields shown for a non-standard flange.
bool hasD4(const QString &osn);
bool hasD1(const QString &osn);

// Size and pressure table keys by table set 1 ... 6 (empty outside).
QString sizeTableKey(int set);
QString pressTableKey(int set);
// "tf" of the dimension request.
QString requestTf(const QString &osn, const QString &flanType);

// Picture resources.
QString roundDrawing(const QString &osn, const QString &construction, const QString &plak);
QString halfDrawing(const QString &osn, const QString &construction, const QString &plak);
QString flanPicture(const QString &flanType);
// Whether a drawing exists for the combination.
bool hasDrawing(const QString &osn, const QString &construction, const QString &plak);

constexpr int kDefaultAeIndex = 0;
constexpr int kDefaultOIndex = 2;

} // namespace putgm
