#include "productdata.h"

#include "snpdesignation.h"
#include "wire.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

const QString kSnpTypes = QStringLiteral("ABCDE");
const QString kFacings = QStringLiteral("ABCR");
const QStringList kGostThickness = {QStringLiteral("2,3"), QStringLiteral("2,8"), QStringLiteral("4,2"),
                                    QStringLiteral("6,5"), QStringLiteral("3,5")};
const QStringList kAdviceCodes = {QStringLiteral("t5"), QStringLiteral("t6"), QStringLiteral("t7"),
                                  QStringLiteral("t8")};
// Bases sent in "tf"; the multilayer and flat bases arrive as "09".
const QStringList kPutgmBases = {QStringLiteral("09"),  QStringLiteral("099"), QStringLiteral("095"),
                                 QStringLiteral("097"), QStringLiteral("098"), QStringLiteral("091"),
                                 QStringLiteral("093"), QStringLiteral("092")};

double number(const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? v : -1.0;
}

bool isDiameter(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^[0-9]+(,[0-9]+)?$"));
    return re.match(text).hasMatch() && number(text) > 0.0;
}

QStringList splitList(const QString &value, QChar sep)
{
    QStringList out;
    const QStringList parts = value.split(sep);
    for (const QString &p : parts) {
        const QString t = p.trimmed();
        if (!t.isEmpty())
            out << t;
    }
    return out;
}

bool lettersIn(const QString &letters, const QString &allowed)
{
    if (letters.isEmpty())
        return false;
    for (const QChar c : letters) {
        if (!allowed.contains(c) || letters.count(c) > 1)
            return false;
    }
    return true;
}

const QStringList kPutgConstructions = {QString(),             QStringLiteral("012"), QStringLiteral("013"),
                                         QStringLiteral("014"), QStringLiteral("042"), QStringLiteral("043"),
                                         QStringLiteral("044")};

// Whether code is a valid request code of the family, and which rings it has.
bool codeInfo(const QString &family, const QString &code, bool *outer, bool *inner)
{
    *outer = *inner = false;
    if (family == QLatin1String("snp")) {
        if (code.size() != 1 || !kSnpTypes.contains(code))
            return false;
        *outer = code == QLatin1String("D") || code == QLatin1String("E");
        *inner = code == QLatin1String("C") || code == QLatin1String("E");
        return true;
    }
    if (family == QLatin1String("putg")) {
        if (code.isEmpty() || !kFacings.contains(code.at(0)))
            return false;
        const QString construction = code.mid(1);
        if (!kPutgConstructions.contains(construction))
            return false;
        *outer = construction.endsWith(QLatin1Char('3')) || construction.endsWith(QLatin1Char('4'));
        *inner = construction.endsWith(QLatin1Char('2')) || construction.endsWith(QLatin1Char('4'));
        return true;
    }
    if (family == QLatin1String("putgm")) {
        const int sep = code.indexOf(QLatin1Char('_'));
        if (sep <= 0 || sep != code.size() - 2 || !kFacings.contains(code.at(sep + 1)))
            return false;
        const QString base = code.left(sep);
        if (!ProductData::putgmBaseKnown(base))
            return false;
        *outer = ProductData::putgmBaseHasD4(base);
        *inner = ProductData::putgmBaseHasD1(base);
        return true;
    }
    return false;
}

class Parser
{
public:
    Parser(const QString &file, ProductTable *table, QString *error) : m_file(file), m_t(table), m_error(error) {}

    bool run(const QString &text)
    {
        m_t->file = m_file;
        const QStringList lines = text.split(QLatin1Char('\n'));
        int lineNo = 0;
        int last = 1; // last line with text, for errors about the whole file
        for (QString line : lines) {
            ++lineNo;
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            if (lineNo == 1 && line.startsWith(QChar(0xFEFF)))
                line.remove(0, 1);
            const QString t = line.trimmed();
            if (t.isEmpty())
                continue;
            last = lineNo;
            if (t.startsWith(QLatin1Char('#')))
                continue;
            const bool ok = m_columns.isEmpty() ? header(lineNo, t) : row(lineNo, t);
            if (!ok)
                return false;
        }
        if (m_columns.isEmpty())
            return fail(last, QStringLiteral("no 'columns:' line"));
        if (m_t->rows.isEmpty())
            return fail(last, QStringLiteral("no dimension rows"));
        return true;
    }

private:
    bool fail(int line, const QString &what)
    {
        if (m_error)
            *m_error = QStringLiteral("%1:%2: %3").arg(m_file).arg(line).arg(what);
        return false;
    }

    bool header(int line, const QString &t)
    {
        const int colon = t.indexOf(QLatin1Char(':'));
        if (colon <= 0)
            return fail(line, QStringLiteral("expected 'name: value' before the columns line"));
        const QString name = t.left(colon).trimmed();
        const QString value = t.mid(colon + 1).trimmed();
        static const QStringList once = {QStringLiteral("family"),   QStringLiteral("standard"),
                                         QStringLiteral("size_key"), QStringLiteral("press_key"),
                                         QStringLiteral("sizes"),    QStringLiteral("pressures"),
                                         QStringLiteral("d2_types")};
        if (once.contains(name)) {
            if (m_seen.contains(name))
                return fail(line, QStringLiteral("'%1' given twice").arg(name));
            m_seen.insert(name);
        }
        if (value.isEmpty())
            return fail(line, QStringLiteral("'%1' has no value").arg(name));

        if (name == QLatin1String("family")) {
            if (value != QLatin1String("snp") && value != QLatin1String("putg") && value != QLatin1String("putgm"))
                return fail(line, QStringLiteral("family must be snp, putg or putgm, not '%1'").arg(value));
            m_t->family = value;
        } else if (name == QLatin1String("standard")) {
            m_t->standards = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        } else if (name == QLatin1String("size_key")) {
            m_t->sizeKey = value;
        } else if (name == QLatin1String("press_key")) {
            m_t->pressKey = value;
        } else if (name == QLatin1String("sizes") || name == QLatin1String("pressures")) {
            const QStringList list = splitList(value, QLatin1Char('|'));
            if (QSet<QString>(list.begin(), list.end()).size() != list.size())
                return fail(line, QStringLiteral("'%1' lists an entry twice").arg(name));
            // ';' separates the lists of gap and advice lines.
            for (const QString &e : list)
                if (e.contains(QLatin1Char(';')))
                    return fail(line, QStringLiteral("'%1' entry '%2' contains ';'").arg(name, e));
            (name == QLatin1String("sizes") ? m_t->sizes : m_t->pressures) = list;
        } else if (name == QLatin1String("d2_types")) {
            if (!lettersIn(value, kSnpTypes))
                return fail(line, QStringLiteral("d2_types must be letters of ABCDE"));
            m_t->d2Types = value;
        } else if (name == QLatin1String("gap")) {
            return gap(line, value);
        } else if (name == QLatin1String("advice")) {
            return advice(line, value);
        } else if (name == QLatin1String("columns")) {
            return columns(line, value);
        } else {
            return fail(line, QStringLiteral("unknown header '%1'").arg(name));
        }
        return true;
    }

    // Lists in gap and advice lines need the size and pressure lists first.
    bool needLists(int line, const char *what)
    {
        if (m_t->sizes.isEmpty() || m_t->pressures.isEmpty())
            return fail(line, QStringLiteral("'%1' must follow the sizes and pressures lines").arg(QLatin1String(what)));
        return true;
    }

    bool gap(int line, const QString &value)
    {
        if (!needLists(line, "gap"))
            return false;
        const QStringList f = value.split(QLatin1Char('|'));
        if (f.size() != 3 || f.at(2).trimmed().isEmpty())
            return fail(line, QStringLiteral("gap needs 'sizes | pressures | reason'"));
        ProductTable::Gap g;
        g.line = line;
        g.sizes = splitList(f.at(0), QLatin1Char(';'));
        g.pressures = splitList(f.at(1), QLatin1Char(';'));
        g.reason = f.at(2).trimmed();
        if (g.sizes.isEmpty() || g.pressures.isEmpty())
            return fail(line, QStringLiteral("gap lists no size or no pressure"));
        for (const QString &s : qAsConst(g.sizes))
            if (!m_t->sizes.contains(s))
                return fail(line, QStringLiteral("gap size '%1' is not in the sizes list").arg(s));
        for (const QString &p : qAsConst(g.pressures))
            if (!m_t->pressures.contains(p))
                return fail(line, QStringLiteral("gap pressure '%1' is not in the pressures list").arg(p));
        m_t->gaps << g;
        return true;
    }

    bool advice(int line, const QString &value)
    {
        if (!needLists(line, "advice"))
            return false;
        if (m_t->family != QLatin1String("putgm"))
            return fail(line, QStringLiteral("advice lines belong to putgm tables only"));
        const QStringList f = value.split(QLatin1Char('|'));
        if (f.size() != 3)
            return fail(line, QStringLiteral("advice needs 'bases | pressures | code'"));
        ProductTable::Advice a;
        a.line = line;
        a.bases = splitList(f.at(0), QLatin1Char(';'));
        a.pressures = splitList(f.at(1), QLatin1Char(';'));
        a.code = f.at(2).trimmed();
        if (a.bases.isEmpty() || a.pressures.isEmpty())
            return fail(line, QStringLiteral("advice lists no base or no pressure"));
        for (const QString &b : qAsConst(a.bases))
            if (!kPutgmBases.contains(b))
                return fail(line, QStringLiteral("unknown base '%1'").arg(b));
        for (const QString &p : qAsConst(a.pressures))
            if (!m_t->pressures.contains(p))
                return fail(line, QStringLiteral("advice pressure '%1' is not in the pressures list").arg(p));
        if (!kAdviceCodes.contains(a.code))
            return fail(line, QStringLiteral("advice code must be t5, t6, t7 or t8, not '%1'").arg(a.code));
        for (const ProductTable::Advice &other : qAsConst(m_t->advice))
            for (const QString &b : qAsConst(a.bases))
                for (const QString &p : qAsConst(a.pressures))
                    if (other.bases.contains(b) && other.pressures.contains(p))
                        return fail(line, QStringLiteral("base %1 at '%2' already advised on line %3")
                                              .arg(b, p).arg(other.line));
        m_t->advice << a;
        return true;
    }

    bool columns(int line, const QString &value)
    {
        static const char *const needed[] = {"family", "standard", "size_key", "press_key", "sizes", "pressures"};
        for (const char *n : needed)
            if (!m_seen.contains(QLatin1String(n)))
                return fail(line, QStringLiteral("'%1' is missing before the columns line").arg(QLatin1String(n)));
        if (!m_t->d2Types.isEmpty() && m_t->family != QLatin1String("snp"))
            return fail(line, QStringLiteral("d2_types belongs to snp tables only"));
        m_columns = splitList(value, QLatin1Char('|'));
        const bool snp = m_t->family == QLatin1String("snp");
        QStringList expected = {snp ? QStringLiteral("types") : QStringLiteral("tf"), QStringLiteral("size"),
                                QStringLiteral("press"),  QStringLiteral("D4"),
                                QStringLiteral("D3"),     QStringLiteral("D2"),
                                QStringLiteral("D1")};
        QStringList withH = expected;
        withH << QStringLiteral("H");
        if (m_columns != expected && !(snp && m_columns == withH))
            return fail(line, QStringLiteral("columns must be '%1'%2")
                                  .arg(expected.join(QLatin1String(" | ")),
                                       snp ? QStringLiteral(", optionally followed by '| H'") : QString()));
        return true;
    }

    bool diameter(int line, const QString &name, const QString &text, QString *out)
    {
        if (text == QLatin1String("-")) {
            out->clear();
            return true;
        }
        if (!isDiameter(text))
            return fail(line, QStringLiteral("%1 '%2' is not a positive number with decimal comma (or '-')")
                                  .arg(name, text));
        *out = text;
        return true;
    }

    bool row(int line, const QString &t)
    {
        const QStringList f = t.split(QLatin1Char('|'));
        static const QRegularExpression headerLike(QStringLiteral("^[a-z_0-9]+\\s*:"));
        if (headerLike.match(t).hasMatch())
            return fail(line, QStringLiteral("header lines belong before the columns line"));
        if (f.size() != m_columns.size())
            return fail(line, QStringLiteral("expected %1 fields separated by '|', found %2")
                                  .arg(m_columns.size())
                                  .arg(f.size()));
        ProductTable::Row r;
        r.line = line;
        r.size = f.at(1).trimmed();
        r.press = f.at(2).trimmed();
        const QString &family = m_t->family;
        const bool snp = family == QLatin1String("snp");
        bool anyOuter = false, anyInner = false;
        if (snp) {
            const QString letters = f.at(0).trimmed();
            if (!lettersIn(letters, kSnpTypes))
                return fail(line, QStringLiteral("types '%1' must be letters of ABCDE").arg(letters));
            for (const QChar c : letters)
                r.codes << QString(c);
        } else {
            r.codes = f.at(0).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (r.codes.isEmpty())
                return fail(line, QStringLiteral("no tf code"));
        }
        for (const QString &c : qAsConst(r.codes)) {
            bool outer = false, inner = false;
            if (!codeInfo(family, c, &outer, &inner))
                return fail(line, QStringLiteral("'%1' is not a %2 code").arg(c, snp ? QStringLiteral("type")
                                                                                    : QStringLiteral("tf")));
            if (r.codes.count(c) > 1)
                return fail(line, QStringLiteral("'%1' listed twice").arg(c));
            anyOuter = anyOuter || outer;
            anyInner = anyInner || inner;
        }
        if (!m_t->sizes.contains(r.size))
            return fail(line, QStringLiteral("size '%1' is not in the sizes list").arg(r.size));
        if (!m_t->pressures.contains(r.press))
            return fail(line, QStringLiteral("pressure '%1' is not in the pressures list").arg(r.press));
        if (!diameter(line, QStringLiteral("D4"), f.at(3).trimmed(), &r.d4)
            || !diameter(line, QStringLiteral("D3"), f.at(4).trimmed(), &r.d3)
            || !diameter(line, QStringLiteral("D2"), f.at(5).trimmed(), &r.d2)
            || !diameter(line, QStringLiteral("D1"), f.at(6).trimmed(), &r.d1))
            return false;
        if (r.d3.isEmpty() || r.d2.isEmpty())
            return fail(line, QStringLiteral("D3 and D2 are required"));
        if (f.size() > 7) {
            const QString h = f.at(7).trimmed();
            if (h != QLatin1String("-") && !kGostThickness.contains(h))
                return fail(line, QStringLiteral("thickness '%1' must be one of %2 (or '-')")
                                      .arg(h, kGostThickness.join(QLatin1String(", "))));
            if (h != QLatin1String("-"))
                r.thickness = h;
        }
        // Diameters go from the outside in.
        const QStringList names = {QStringLiteral("D4"), QStringLiteral("D3"), QStringLiteral("D2"),
                                   QStringLiteral("D1")};
        const QStringList values = {r.d4, r.d3, r.d2, r.d1};
        int prev = -1;
        for (int i = 0; i < 4; ++i) {
            if (values.at(i).isEmpty())
                continue;
            if (prev >= 0 && number(values.at(prev)) <= number(values.at(i)))
                return fail(line, QStringLiteral("%1 %2 must be larger than %3 %4")
                                      .arg(names.at(prev), values.at(prev), names.at(i), values.at(i)));
            prev = i;
        }
        // Ring diameters belong to codes with rings, and those codes need them.
        if (anyOuter && r.d4.isEmpty())
            return fail(line, QStringLiteral("D4 is needed: a listed code has an outer ring"));
        if (!anyOuter && !r.d4.isEmpty())
            return fail(line, QStringLiteral("D4 given but no listed code has an outer ring"));
        if (anyInner && r.d1.isEmpty())
            return fail(line, QStringLiteral("D1 is needed: a listed code has an inner ring"));
        if (!anyInner && !r.d1.isEmpty())
            return fail(line, QStringLiteral("D1 given but no listed code has an inner ring"));
        for (const QString &c : qAsConst(r.codes)) {
            const QString key = c + QLatin1Char('|') + r.size + QLatin1Char('|') + r.press;
            const int first = m_keys.value(key, 0);
            if (first)
                return fail(line, QStringLiteral("%1, size %2, pressure %3 already given on line %4")
                                      .arg(c, r.size, r.press)
                                      .arg(first));
            m_keys.insert(key, line);
        }
        // A D2 list entry must lead to one size (code 19 answers it).
        if (snp && !m_t->d2Types.isEmpty()) {
            for (const QString &c : qAsConst(r.codes)) {
                if (!m_t->d2Types.contains(c))
                    continue;
                const QString key = c + QLatin1Char('|') + r.press + QLatin1Char('|') + QString::number(number(r.d2));
                const auto it = m_d2.constFind(key);
                if (it != m_d2.constEnd() && it->first != r.size)
                    return fail(line, QStringLiteral("D2 %1 of type %2 at %3 already belongs to size %4 (line %5)")
                                          .arg(r.d2, c, r.press, it->first)
                                          .arg(it->second));
                m_d2.insert(key, qMakePair(r.size, line));
            }
        }
        for (const ProductTable::Gap &g : qAsConst(m_t->gaps))
            if (g.sizes.contains(r.size) && g.pressures.contains(r.press))
                return fail(line, QStringLiteral("size %1 at %2 is declared a gap on line %3")
                                      .arg(r.size, r.press)
                                      .arg(g.line));
        m_t->rows << r;
        return true;
    }

    QString m_file;
    ProductTable *m_t;
    QString *m_error;
    QSet<QString> m_seen;
    QStringList m_columns;
    QHash<QString, int> m_keys;
    QHash<QString, QPair<QString, int>> m_d2;
};

QString text(const QVariantMap &m, const char *key)
{
    return m.value(QLatin1String(key)).toString().trimmed();
}

} // namespace

const ProductTable::Row *ProductTable::find(const QString &code, const QString &size, const QString &press) const
{
    for (const Row &r : rows)
        if (r.codes.contains(code) && r.size == size && r.press == press)
            return &r;
    return nullptr;
}

bool ProductTable::hasGap(const QString &size, const QString &press) const
{
    for (const Gap &g : gaps)
        if (g.sizes.contains(size) && g.pressures.contains(press))
            return true;
    return false;
}

QStringList ProductTable::d2List(QChar type) const
{
    QStringList out;
    for (const Row &r : rows)
        if (r.codes.contains(QString(type)) && !out.contains(r.d2))
            out << r.d2;
    std::sort(out.begin(), out.end(), [](const QString &a, const QString &b) { return number(a) < number(b); });
    return out;
}

bool ProductData::parseTable(const QString &fileName, const QString &text, ProductTable *table, QString *error)
{
    *table = ProductTable();
    Parser p(fileName, table, error);
    return p.run(text);
}

bool ProductData::load(const QString &dir, QString *error)
{
    auto fail = [error](const QString &what) {
        if (error)
            *error = what;
        return false;
    };
    QDir d(dir);
    if (!d.exists())
        return fail(QStringLiteral("%1:0: product data folder not found").arg(dir));
    const QStringList files = d.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    if (files.isEmpty())
        return fail(QStringLiteral("%1:0: no product tables (*.txt)").arg(dir));

    QVector<ProductTable> list;
    QVariantMap map;
    QHash<QString, QString> keyOwner;
    for (const QString &name : files) {
        const QString path = d.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1:0: cannot read: %2").arg(path, f.errorString()));
        const QByteArray bytes = f.readAll();
        const QString content = QString::fromUtf8(bytes);
        if (content.toUtf8() != bytes)
            return fail(QStringLiteral("%1:0: not valid UTF-8 text").arg(path));
        ProductTable t;
        if (!parseTable(path, content, &t, error))
            return false;
        for (const ProductTable &other : qAsConst(list))
            if (other.family == t.family)
                for (const QString &s : qAsConst(t.standards))
                    if (other.standards.contains(s))
                        return fail(QStringLiteral("%1:1: standard %2 of family %3 already comes from %4")
                                        .arg(path, s, t.family, other.file));
        QStringList keys = {t.sizeKey, t.pressKey};
        for (const QChar c : qAsConst(t.d2Types))
            keys << t.d2Key(c);
        for (const QString &k : qAsConst(keys)) {
            if (keyOwner.contains(k))
                return fail(QStringLiteral("%1:1: key %2 already comes from %3").arg(path, k, keyOwner.value(k)));
            keyOwner.insert(k, path);
        }
        map.insert(t.sizeKey, t.sizes);
        map.insert(t.pressKey, t.pressures);
        for (const QChar c : qAsConst(t.d2Types))
            map.insert(t.d2Key(c), t.d2List(c));
        list << t;
    }
    // Reply 5 is one frame: code byte plus the encoded map.
    const int encoded = 1 + wire::encodeMap(map).size();
    if (encoded > wire::kMaxBody)
        return fail(QStringLiteral("%1:0: the tables map needs %2 bytes, a frame holds %3")
                        .arg(dir)
                        .arg(encoded)
                        .arg(wire::kMaxBody));
    m_list = list;
    m_tables = map;
    return true;
}

QString ProductData::defaultDir() { return QStringLiteral(VINTARO_SOURCE_DATA_DIR "/products"); }

QVariantMap ProductData::tablesMap() const { return m_tables; }

const ProductTable *ProductData::table(const QString &family, const QString &standard) const
{
    if (standard.isEmpty())
        return nullptr;
    for (const ProductTable &t : m_list)
        if (t.family == family && t.standards.contains(standard))
            return &t;
    return nullptr;
}

bool ProductData::putgmBaseKnown(const QString &base) { return kPutgmBases.contains(base); }

bool ProductData::putgmBaseHasD4(const QString &base)
{
    static const QStringList withD4 = {QStringLiteral("091"), QStringLiteral("093"), QStringLiteral("095"),
                                       QStringLiteral("097"), QStringLiteral("098")};
    return withD4.contains(base);
}

bool ProductData::putgmBaseHasD1(const QString &base)
{
    return base == QLatin1String("092") || base == QLatin1String("095");
}

namespace {
// D4, D3, D2, D1 of an SNP row; a row may serve several types, and a ring the
// asked type lacks is left empty.
QStringList snpDiameters(const ProductTable::Row &r, const QString &type)
{
    return {snp::typeHasOuterRing(type) ? r.d4 : QString(), r.d3, r.d2,
            snp::typeHasInnerRing(type) ? r.d1 : QString()};
}
} // namespace

QStringList ProductData::snpLookup(const QVariantMap &request) const
{
    const ProductTable *t = table(QStringLiteral("snp"), text(request, "standart"));
    const ProductTable::Row *r = t ? t->find(text(request, "tf"), text(request, "size"), text(request, "press")) : nullptr;
    if (!r)
        return {};
    QStringList out = snpDiameters(*r, text(request, "tf"));
    if (!r->thickness.isEmpty())
        out << r->thickness;
    return out;
}

QStringList ProductData::snpD2Lookup(const QVariantMap &request) const
{
    const QString type = text(request, "tf");
    const ProductTable *t = table(QStringLiteral("snp"), text(request, "standart"));
    const double d2 = number(text(request, "d2"));
    if (!t || d2 <= 0.0)
        return {};
    const QString press = text(request, "press");
    for (const ProductTable::Row &r : t->rows)
        if (r.codes.contains(type) && r.press == press && std::fabs(number(r.d2) - d2) < 1e-6)
            return QStringList{r.size} + snpDiameters(r, type);
    return {};
}

QStringList ProductData::putgLookup(const QVariantMap &request) const
{
    const QString tf = text(request, "tf");
    bool outer = false, inner = false;
    if (!codeInfo(QStringLiteral("putg"), tf, &outer, &inner))
        return {};
    const ProductTable *t = table(QStringLiteral("putg"), text(request, "standart"));
    const ProductTable::Row *r = t ? t->find(tf, text(request, "size"), text(request, "press")) : nullptr;
    if (!r)
        return {};
    // A diameter the construction does not have is answered as "0".
    const QString none = QStringLiteral("0");
    return {outer ? r->d4 : none, r->d3, r->d2, inner ? r->d1 : none};
}

QStringList ProductData::putgmLookup(const QVariantMap &request) const
{
    const QString tf = text(request, "tf");
    bool outer = false, inner = false;
    if (!codeInfo(QStringLiteral("putgm"), tf, &outer, &inner))
        return {};
    const ProductTable *t = table(QStringLiteral("putgm"), text(request, "standart"));
    const QString press = text(request, "press");
    const ProductTable::Row *r = t ? t->find(tf, text(request, "size"), press) : nullptr;
    if (!r)
        return {};
    QStringList out = {outer ? r->d4 : QString(), r->d3, r->d2, inner ? r->d1 : QString()};
    const int cut = tf.indexOf(QLatin1Char('_'));
    const QString base = tf.left(cut);
    const QString facing = tf.mid(cut + 1);
    for (const ProductTable::Advice &a : t->advice)
        if (a.bases.contains(base) && a.pressures.contains(press)) {
            const QString code = adviceFor(*t, a.code, facing, text(request, "size"), press);
            if (!code.isEmpty())
                out << code;
            break;
        }
    return out;
}

// The advice lines do not depend on the facing, but not every recommended
// base is made for every facing: name only those this table answers for the
// request, or nothing when no recommendation text lists exactly them.
QString ProductData::adviceFor(const ProductTable &t, const QString &code, const QString &facing,
                               const QString &size, const QString &press)
{
    static const QList<QPair<QString, QStringList>> bases = {
        {QStringLiteral("t5"), {QStringLiteral("098"), QStringLiteral("095")}},
        {QStringLiteral("t6"), {QStringLiteral("099")}},
        {QStringLiteral("t7"), {QStringLiteral("099"), QStringLiteral("098"), QStringLiteral("095")}},
        {QStringLiteral("t8"), {QStringLiteral("099"), QStringLiteral("092")}},
    };
    QStringList made;
    for (const auto &entry : bases)
        if (entry.first == code)
            for (const QString &b : entry.second)
                if (t.find(b + QLatin1Char('_') + facing, size, press))
                    made << b;
    if (made.isEmpty())
        return QString();
    for (const auto &entry : bases)
        if (entry.second == made)
            return entry.first;
    return QString();
}
