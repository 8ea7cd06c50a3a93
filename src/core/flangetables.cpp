#include "flangetables.h"

#include <QFile>
#include <QResource>

namespace flanges {

namespace {

const TableInfo kTables[kTableCount] = {
    {RaisedFace,   Gost12815,  Layout::NineColumn, 296, 9},
    {MaleFemale,   Gost12815,  Layout::Variant,    390, 11},
    {TongueGroove, Gost12815,  Layout::Variant,    385, 11},
    {RaisedFace,   Gost28759,  Layout::NineColumn, 157, 9},
    {MaleFemale,   Gost28759,  Layout::TenColumn,  160, 10},
    {TongueGroove, Gost28759,  Layout::Shifted,    160, 11},
    {RaisedFace,   AsmeB165,   Layout::NineColumn, 139, 9},
    {MaleFemale,   AsmeB165,   Layout::Variant,    236, 11},
    {TongueGroove, AsmeB165,   Layout::Variant,    236, 11},
    {RaisedFace,   AsmeB1647A, Layout::NineColumn, 84,  9},
    {RaisedFace,   AsmeB1647B, Layout::NineColumn, 72,  9},
    {RaisedFace,   DinEn1092,  Layout::NineColumn, 267, 9},
    {MaleFemale,   DinEn1092,  Layout::TenColumn,  123, 10},
    {TongueGroove, DinEn1092,  Layout::TenColumn,  123, 10},
};

// First column of the displayed values (D2) and of the bolt count.
int firstShownColumn(Layout l) { return l == Layout::Shifted ? 3 : 2; }

bool isAsme(int standard)
{
    return standard == AsmeB165 || standard == AsmeB1647A || standard == AsmeB1647B;
}

const QString kDash = QStringLiteral("-");

} // namespace

const TableInfo &tableInfo(int index)
{
    Q_ASSERT(index >= 0 && index < kTableCount);
    return kTables[index];
}

int tableIndexFor(int jointType, int standard)
{
    for (int i = 0; i < kTableCount; ++i) {
        if (kTables[i].jointType == jointType && kTables[i].standard == standard)
            return i;
    }
    return -1;
}

QString tableFileName(int index)
{
    return QStringLiteral("table%1.tsv").arg(index + 1, 2, 10, QLatin1Char('0'));
}

QString rowKey(const QStringList &columns, Layout layout)
{
    const bool variant = layout == Layout::Variant;
    if (columns.size() < (variant ? 11 : 2))
        return QString();
    // One allocation per key: the dialog builds about 2,900 of them each time it opens.
    QString key;
    key.reserve(columns.at(0).size() + columns.at(1).size() + 2 + (variant ? columns.at(10).size() : 0));
    key.append(columns.at(0)).append(QLatin1Char('_')).append(columns.at(1));
    if (variant)
        key.append(QLatin1Char('_')).append(columns.at(10));
    return key;
}

FlangeTable parseFlangeTable(const QString &text, Layout layout)
{
    // Walks the text once; the dialog parses all tables every time it opens.
    FlangeTable table;
    table.reserve(text.count(QLatin1Char('\n')) + 1);
    const QChar *data = text.constData();
    const int size = text.size();
    int start = 0;
    QStringList columns;
    while (start <= size) {
        int end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = size;
        int rowEnd = end;
        if (rowEnd > start && data[rowEnd - 1] == QLatin1Char('\r'))
            --rowEnd;
        columns.clear();
        columns.reserve(12);
        int col = start;
        for (int i = start; i <= rowEnd; ++i) {
            if (i == rowEnd || data[i] == QLatin1Char('\t')) {
                columns.append(QString(data + col, i - col));
                col = i + 1;
            }
        }
        const QString key = rowKey(columns, layout);
        // A row without its key columns cannot be looked up; keeping it under
        // an empty key would only hide it.
        if (!key.isEmpty())
            table.insert(key, columns);
        start = end + 1;
    }
    return table;
}

QStringList readTableTexts(const QString &dir, bool *ok)
{
    QStringList texts;
    bool all = true;
    for (int i = 0; i < kTableCount; ++i) {
        const QString path = dir + QLatin1Char('/') + tableFileName(i);
        if (path.startsWith(QLatin1Char(':'))) {
            // Compiled-in copies are read in place, without a file object.
            const QResource r(path);
            if (!r.isValid()) {
                all = false;
                texts << QString();
            } else if (r.compressionAlgorithm() == QResource::NoCompression) {
                texts << QString::fromUtf8(reinterpret_cast<const char *>(r.data()), int(r.size()));
            } else {
                texts << QString::fromUtf8(r.uncompressedData());
            }
            continue;
        }
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            all = false;
            texts << QString();
            continue;
        }
        texts << QString::fromUtf8(f.readAll());
    }
    if (ok)
        *ok = all;
    return texts;
}

QVector<FlangeTable> buildFlangeTables(const QStringList &texts)
{
    QVector<FlangeTable> tables;
    tables.reserve(kTableCount);
    for (int i = 0; i < kTableCount; ++i)
        tables << parseFlangeTable(i < texts.size() ? texts.at(i) : QString(), kTables[i].layout);
    return tables;
}

QString inchSizeOnly(const QString &size)
{
    const int mark = size.indexOf(QLatin1Char('"'));
    return mark < 0 ? size : size.left(mark + 1);
}

FlangeLookupResult lookupFlange(const QVector<FlangeTable> &tables, const FlangeLookupInput &in)
{
    FlangeLookupResult r;

    if (in.jointType > TongueGroove || !in.standardFlange) {
        r.D = in.typedD;
        r.D1 = in.typedD1;
        r.D2 = in.typedD2;
        r.d = in.typedd;
        r.h2 = in.typedH1;
        r.setH2_2 = true;
        r.h2_2 = in.typedH2;
        return r;
    }

    QString pressure = in.pressure;
    if (isAsme(in.standard))
        pressure.remove(QLatin1Char('#'));

    const bool variantJoint = in.jointType == MaleFemale || in.jointType == TongueGroove;
    QString variant;
    if (variantJoint) {
        if (in.standard == Gost12815) {
            r.variantGroup = FlangeLookupResult::Group::Shown;
            r.setVariantTexts = true;
            r.button12Text = QStringLiteral("Ряд 2");
            r.button13Text = QStringLiteral("Ряд 1");
            variant = in.button12Checked ? QStringLiteral("2") : QStringLiteral("1");
        } else if (in.standard == AsmeB165) {
            r.variantGroup = FlangeLookupResult::Group::Shown;
            r.setVariantTexts = true;
            r.button12Text = QStringLiteral("L");
            r.button13Text = QStringLiteral("S");
            const QChar ls = in.button12Checked ? QLatin1Char('L') : QLatin1Char('S');
            variant = ls + (in.jointType == MaleFemale ? QStringLiteral("MF") : QStringLiteral("TG"));
        } else {
            r.variantGroup = FlangeLookupResult::Group::Hidden;
        }
    }

    const int index = tableIndexFor(in.jointType, in.standard);
    const FlangeTable *table = index >= 0 && index < tables.size() ? &tables.at(index) : nullptr;
    const Layout layout = index >= 0 ? kTables[index].layout : Layout::NineColumn;

    if (table) {
        QString size = in.size;
        if (in.jointType == TongueGroove && in.standard == AsmeB165)
            size = inchSizeOnly(size);
        r.key = size + QLatin1Char('_') + pressure;
        if (layout == Layout::Variant)
            r.key += QLatin1Char('_') + variant;
    }

    const auto it = table ? table->constFind(r.key) : FlangeTable::const_iterator();
    const int first = firstShownColumn(layout);
    const bool hasH2_2 = layout != Layout::NineColumn;
    const int needed = first + (hasH2_2 ? 8 : 7);
    if (!table || it == table->constEnd() || it->size() < needed) {
        r.D = r.D1 = r.D2 = r.d = r.h2 = kDash;
        r.setH2_2 = true;
        r.h2_2 = kDash;
        r.setBolts = true;
        r.boltCount = 0;
        r.boltDiameter = kDash;
        return r;
    }

    const QStringList &row = *it;
    r.rowFound = true;
    r.D2 = row.at(first);
    r.D1 = row.at(first + 1);
    r.D = row.at(first + 2);
    r.d = row.at(first + 3);
    r.h2 = row.at(first + 4);
    int next = first + 5;
    if (hasH2_2) {
        r.setH2_2 = true;
        r.h2_2 = row.at(next++);
    }
    r.setBolts = true;
    r.boltCount = row.at(next).toInt();
    r.boltDiameter = row.at(next + 1);
    if (in.jointType == RaisedFace)
        r.variantGroup = FlangeLookupResult::Group::Hidden;
    return r;
}

} // namespace flanges
