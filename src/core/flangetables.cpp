#include "flangetables.h"

#include <QFile>
#include <QResource>

#include <algorithm>
#include <cstring>

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

// A row's key: these columns joined by '_'; the variant layout adds column 10.
constexpr int kKeyColumns[] = {0, 1, 10};
int keyPartCount(Layout l) { return l == Layout::Variant ? 3 : 2; }
int columnsForKey(Layout l) { return kKeyColumns[keyPartCount(l) - 1] + 1; }

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
    if (columns.size() < columnsForKey(layout))
        return QString();
    QString key;
    for (int k = 0; k < keyPartCount(layout); ++k) {
        if (k > 0)
            key += QLatin1Char('_');
        key += columns.at(kKeyColumns[k]);
    }
    return key;
}

QStringList FlangeTable::keys() const
{
    QStringList out;
    out.reserve(m_rows.size());
    for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it)
        out << QString::fromUtf8(it.key());
    return out;
}

const FlangeTable::Row *FlangeTable::find(const QString &key) const
{
    const auto it = m_rows.constFind(key.toUtf8());
    return it == m_rows.cend() ? nullptr : &it.value();
}

QString FlangeTable::column(const Row &row, int i) const
{
    if (i < 0 || i >= row.count)
        return QString();
    const int begin = m_bounds.at(row.bound + i);
    const int end = m_bounds.at(row.bound + i + 1) - 1;
    return QString::fromUtf8(m_text.constData() + begin, end - begin);
}

QStringList FlangeTable::value(const QString &key) const
{
    QStringList out;
    if (const Row *row = find(key)) {
        out.reserve(row->count);
        for (int i = 0; i < row->count; ++i)
            out << column(*row, i);
    }
    return out;
}

void FlangeTable::insert(const QString &key, const QStringList &columns)
{
    if (!m_text.isEmpty())
        m_text.append('\n');
    const int start = m_text.size();
    m_text.append(columns.join(QLatin1Char('\t')).toUtf8());
    m_rows.insert(key.toUtf8(), addBounds(start, m_text.size()));
}

FlangeTable::Row FlangeTable::addBounds(int start, int end)
{
    const char *data = m_text.constData();
    Row row;
    row.bound = m_bounds.size();
    m_bounds.append(start);
    for (const char *p = data + start, *stop = data + end;
         (p = static_cast<const char *>(memchr(p, '\t', size_t(stop - p)))) != nullptr; ++p)
        m_bounds.append(int(p - data) + 1);
    m_bounds.append(end + 1);
    row.count = m_bounds.size() - row.bound - 1;
    return row;
}

FlangeTable parseFlangeTable(const QByteArray &utf8, Layout layout)
{
    // Walks the text once; the dialog parses all tables every time it opens.
    FlangeTable table;
    table.m_text = utf8;
    const char *data = utf8.constData();
    const int size = utf8.size();
    table.m_rows.reserve(int(std::count(data, data + size, '\n')) + 1);
    table.m_bounds.reserve(size / 4);
    int start = 0;
    while (start <= size) {
        const auto *nl = static_cast<const char *>(memchr(data + start, '\n', size_t(size - start)));
        const int end = nl ? int(nl - data) : size;
        int rowEnd = end;
        if (rowEnd > start && data[rowEnd - 1] == '\r')
            --rowEnd;
        const FlangeTable::Row row = table.addBounds(start, rowEnd);
        // A row without its key columns cannot be looked up; keeping it under
        // an empty key would only hide it.
        if (row.count < columnsForKey(layout)) {
            table.m_bounds.resize(row.bound);
        } else {
            // The key as rowKey() builds it, in UTF-8; the row's length bounds it.
            const int *b = table.m_bounds.constData() + row.bound;
            QByteArray key;
            key.reserve(rowEnd - start);
            for (int k = 0; k < keyPartCount(layout); ++k) {
                const int c = kKeyColumns[k];
                if (k > 0)
                    key += '_';
                key.append(data + b[c], b[c + 1] - 1 - b[c]);
            }
            table.m_rows.insert(key, row);
        }
        start = end + 1;
    }
    return table;
}

QList<QByteArray> readTableData(const QString &dir, bool *ok)
{
    QList<QByteArray> texts;
    bool all = true;
    for (int i = 0; i < kTableCount; ++i) {
        const QString path = dir + QLatin1Char('/') + tableFileName(i);
        if (path.startsWith(QLatin1Char(':'))) {
            // Compiled-in copies are used in place: they live as long as the program.
            const QResource r(path);
            if (!r.isValid()) {
                all = false;
                texts << QByteArray();
            } else if (r.compressionAlgorithm() == QResource::NoCompression) {
                texts << QByteArray::fromRawData(reinterpret_cast<const char *>(r.data()), int(r.size()));
            } else {
                texts << r.uncompressedData();
            }
            continue;
        }
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            all = false;
            texts << QByteArray();
            continue;
        }
        texts << f.readAll();
    }
    if (ok)
        *ok = all;
    return texts;
}

QVector<FlangeTable> buildFlangeTables(const QList<QByteArray> &texts)
{
    QVector<FlangeTable> tables;
    tables.reserve(kTableCount);
    for (int i = 0; i < kTableCount; ++i)
        tables << parseFlangeTable(i < texts.size() ? texts.at(i) : QByteArray(), kTables[i].layout);
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

    const FlangeTable::Row *row = table ? table->find(r.key) : nullptr;
    const int first = firstShownColumn(layout);
    const bool hasH2_2 = layout != Layout::NineColumn;
    const int needed = first + (hasH2_2 ? 8 : 7);
    if (!row || row->count < needed) {
        r.D = r.D1 = r.D2 = r.d = r.h2 = kDash;
        r.setH2_2 = true;
        r.h2_2 = kDash;
        r.setBolts = true;
        r.boltCount = 0;
        r.boltDiameter = kDash;
        return r;
    }

    const auto at = [&](int i) { return table->column(*row, i); };
    r.rowFound = true;
    r.D2 = at(first);
    r.D1 = at(first + 1);
    r.D = at(first + 2);
    r.d = at(first + 3);
    r.h2 = at(first + 4);
    int next = first + 5;
    if (hasH2_2) {
        r.setH2_2 = true;
        r.h2_2 = at(next++);
    }
    r.setBolts = true;
    r.boltCount = at(next).toInt();
    r.boltDiameter = at(next + 1);
    if (in.jointType == RaisedFace)
        r.variantGroup = FlangeLookupResult::Group::Hidden;
    return r;
}

} // namespace flanges
