#pragma once
// Built-in flange dimension tables of the questionnaire and the lookup that
// turns the questionnaire's flange choice into the texts shown on the joint
// picture. Pure functions: the dialog reads its widgets into a
// FlangeLookupInput, calls lookupFlange() and copies the result back.
#include <QByteArray>
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

// One table: key ("size_pressure" or "size_pressure_variant") to all columns
// of a row. The dialog parses all 14 tables each time it opens, so a table
// keeps its UTF-8 text (the compiled-in copy itself, not a copy of it) and only
// the column bounds of each row; a column becomes a QString when it is read.
class FlangeTable
{
public:
    // A stored row: its first entry in the bounds and its column count.
    struct Row
    {
        int bound = 0;
        int count = 0;
    };

    int size() const { return m_rows.size(); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    QStringList keys() const;
    // The row under `key`, or nullptr. Valid until the table changes.
    const Row *find(const QString &key) const;
    QString column(const Row &row, int i) const;
    // All columns of the row under `key`; empty when there is none.
    QStringList value(const QString &key) const;
    // Adds the row under `key`, replacing one already there.
    void insert(const QString &key, const QStringList &columns);

private:
    friend FlangeTable parseFlangeTable(const QByteArray &utf8, Layout layout);
    // Records the columns of text[start, end) and returns the row.
    Row addBounds(int start, int end);

    QByteArray m_text;
    // Per row: the start of each column, then end + 1 of the last one.
    QVector<int> m_bounds;
    QHash<QByteArray, Row> m_rows; // UTF-8 keys
};

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
// file saved with CRLF line ends still gives the same keys. The text is UTF-8.
FlangeTable parseFlangeTable(const QByteArray &utf8, Layout layout);

// Reads the 14 files (UTF-8) from `dir` (a path or ":/flanges"); compiled-in
// files are not copied. A missing file gives an empty text; `ok` (optional)
// tells whether all were read.
QList<QByteArray> readTableData(const QString &dir, bool *ok = nullptr);

// Parses 14 texts in build order; missing texts give empty tables.
QVector<FlangeTable> buildFlangeTables(const QList<QByteArray> &texts);

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
