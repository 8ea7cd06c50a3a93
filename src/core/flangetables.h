#pragma once
// Built-in flange dimension tables of the questionnaire and the lookup that
// turns the questionnaire's flange choice into the texts shown on the joint
// picture. Pure functions: the dialog reads its widgets into a
// FlangeLookupInput, calls lookupFlange() and copies the result back.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace flanges {

// Column arrangement of a table (which column feeds which picture label).
enum class Layout {
    NineColumn, // size, pressure, D2, D1, D, d, h2, bolt count, bolt diameter
    TenColumn,  // as nine-column with h2_2 before the bolt count
    Variant,    // ten-column plus the variant in column 10 (part of the key)
    Shifted     // size, pressure, unshown outer diameter, then as ten-column
};

// One table: key ("size_pressure" or "size_pressure_variant") to all columns.
using FlangeTable = QHash<QString, QStringList>;

constexpr int kTableCount = 14;

// Joint type and standard indexes of the questionnaire's lists.
enum JointType { RaisedFace = 0, MaleFemale = 1, TongueGroove = 2 };
enum Standard {
    Gost12815 = 0, Gost28759 = 1, AsmeB165 = 2, AsmeB1647A = 3, AsmeB1647B = 4, DinEn1092 = 5
};

// Static description of table `index` (0-based, build order).
struct TableInfo
{
    int jointType;
    int standard;
    Layout layout;
    int rows;    // row count of the shipped file
    int columns; // column count of every row
};
const TableInfo &tableInfo(int index);

// Table index for a joint type and standard; -1 when there is none.
int tableIndexFor(int jointType, int standard);

// "table01.tsv" .. "table14.tsv".
QString tableFileName(int index);
// Directory of the compiled-in copies.
inline QString resourceDir() { return QStringLiteral(":/flanges"); }

// Key of a row as the map stores it: columns 0 and 1, plus column 10 for the
// variant layout. Rows too short for the key give an empty key.
QString rowKey(const QStringList &columns, Layout layout);

// Rows at '\n', columns at '\t', empty parts kept; a later row with the same
// key replaces an earlier one. A trailing '\r' per row is dropped so that a
// file saved with CRLF line ends still gives the same keys.
FlangeTable parseFlangeTable(const QString &text, Layout layout);

// Reads the 14 files (UTF-8) from `dir` (a path or ":/flanges"). A missing
// file gives an empty text; `ok` (optional) tells whether all were read.
QStringList readTableTexts(const QString &dir, bool *ok = nullptr);

// Parses 14 texts in build order; missing texts give empty tables.
QVector<FlangeTable> buildFlangeTables(const QStringList &texts);

// What the lookup reads from the dialog.
struct FlangeLookupInput
{
    int jointType = 0;           // comboBox index
    int standard = 0;            // comboBox_2 index
    bool standardFlange = true;  // "Стандартный фланец" checked
    QString size;                // comboBox_3 text
    QString pressure;            // comboBox_4 text (ASME classes with "#")
    bool button12Checked = false; // radioButton_12 ("Ряд 2" / "L") checked
    // Typed flange dimensions, echoed in non-standard mode.
    QString typedD;   // textEdit_20
    QString typedD1;  // textEdit_21
    QString typedD2;  // textEdit_22
    QString typedd;   // textEdit_23
    QString typedH1;  // textEdit_24
    QString typedH2;  // textEdit_25
};

// What the dialog writes back. Flags say which widgets to touch; everything
// not flagged stays as it was.
struct FlangeLookupResult
{
    enum class Group { Unchanged, Shown, Hidden };

    // Picture labels D, D1, D2, d, h2 are always written.
    QString D, D1, D2, d, h2;
    bool setH2_2 = false; // false: leave label h2_2 as it is
    QString h2_2;

    bool setBolts = false; // spinBox and textEdit_32
    int boltCount = 0;
    QString boltDiameter;

    Group variantGroup = Group::Unchanged; // groupBox_17
    bool setVariantTexts = false;
    QString button12Text; // radioButton_12
    QString button13Text; // radioButton_13

    bool rowFound = false; // a table row was displayed
    QString key;           // key searched (empty in non-standard mode)
};

// The lookup proper. `tables` as built by buildFlangeTables().
FlangeLookupResult lookupFlange(const QVector<FlangeTable> &tables, const FlangeLookupInput &in);

// Size text as table 9 keys it: the inch part alone ("1/2\"(15)" -> "1/2\"").
QString inchSizeOnly(const QString &size);

} // namespace flanges
