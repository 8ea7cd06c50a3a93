#include "putgmoptions.h"

#include "putgoptions.h"

namespace putgm {

namespace {

bool oneOf(const QString &v, std::initializer_list<const char *> set)
{
    for (const char *s : set)
        if (v == QLatin1String(s))
            return true;
    return false;
}

QStringList utf8List(std::initializer_list<const char *> items)
{
    QStringList l;
    for (const char *s : items)
        l << QString::fromUtf8(s);
    return l;
}

} // namespace

const QStringList &bases()
{
    static const QStringList l =
        utf8List({"09", "099", "095", "097", "098", "08", "091", "09x", "093", "08x", "092"});
    return l;
}

const QStringList &baseLabels()
{
    static const QStringList l = utf8List({"ПУТГм-09", "ПУТГм-099", "ПУТГм-095", "ПУТГм-097",
                                           "ПУТГм-098", "ПУТГм-08", "ПУТГм-091", "ПУТГм-09(x)",
                                           "ПУТГм-093", "ПУТГм-08(x)", "ПУТГм-092"});
    return l;
}

const QStringList &constructions()
{
    static const QStringList l = utf8List({"01", "02", "03", "04"});
    return l;
}

const QStringList &constructionLabels()
{
    static const QStringList l = utf8List({
        "01 без обтюраторов",
        "02 с внутренним обтюратором",
        "03 с наружным обтюратором",
        "04 с наруж./внутр. обтюраторами",
        "05 с наруж./внутр. обтюр., планкир. сталью с обеих сторон ",
        "06 с графитовым внутренним обтюратором",
        "04/c с цельным наруж. и внутр.  обтюраторами",
        "022 с высокотемпературным обтюратором",
    });
    return l;
}

const QStringList &plates()
{
    static const QStringList l = utf8List({"1", "2", "3", "4", "5", "6", "7", "9"});
    return l;
}

const QStringList &plateLabels()
{
    static const QStringList l = utf8List({
        "1 ТРГ неармированный",
        "2 ТРГ армир. перф. нерж. лентой",
        "3 ТРГ армир. гладкой нерж. лентой",
        "4 ТРГ многослойноармир. перф. нерж. лентой",
        "5 ТРГ многослойноармир. гладкой нерж. лентой",
        "6 Слюда",
        "7 Базальт",
        "9 без уплотнительного элемента",
    });
    return l;
}

const QStringList &flanTypes()
{
    static const QStringList l = utf8List({"A", "B", "C"});
    return l;
}

QString flanTypeForIndex(int index)
{
    return flanTypes().value(index);
}

QString standardForIndex(int index)
{
    return putg::standards().value(index);
}

bool isMultilayer(const QString &osn)
{
    return oneOf(osn, {"09x", "08x"});
}

QStringList enabledConstructions(const QString &osn, const QString &config)
{
    QStringList on = utf8List({"01"});
    if (!oneOf(osn, {"097", "098", "099"}))
        on << QStringLiteral("02");
    if (oneOf(osn, {"095", "08x", "08", "09x"})
        || (oneOf(osn, {"09", "093"}) && config != QLatin1String("rect")))
        on << QStringLiteral("03");
    if (!oneOf(osn, {"091", "097", "098", "099"}))
        on << QStringLiteral("04");
    return on;
}

QStringList enabledPlates(const QString &osn, const QString &construction)
{
    const bool base09 = osn == QLatin1String("09");
    QStringList on = utf8List({"1"});
    if (!oneOf(osn, {"09x", "08x", "08"}))
        on << utf8List({"2", "3"});
    if (oneOf(osn, {"09", "091", "092", "093", "095"}))
        on << utf8List({"4", "5"});
    if (osn == QLatin1String("099") || (base09 && oneOf(construction, {"01", "02", "03", "04"})))
        on << utf8List({"6", "7"});
    if (base09 && construction == QLatin1String("01"))
        on << QStringLiteral("9");
    return on;
}

bool glueAvailable(const QString &osn)
{
    return oneOf(osn, {"08", "08x"});
}

ThicknessChoice thickness(const QString &osn, const QString &plak)
{
    ThicknessChoice t;
    auto at = [&t](const char *text) { t.current = t.entries.indexOf(QString::fromUtf8(text)); };

    if (osn == QLatin1String("09x")) {
        if (plak == QLatin1String("1"))
            t.entries = utf8List({"5,0 (2 слоя)", "5,5 (2 слоя)", "6,0 (2 слоя)", "6,5 (2 слоя)",
                                  "7,0 (2 слоя)", "7,5 (3 слоя)", "8,0 (3 слоя)", "9,0 (3 слоя)",
                                  "9,5 (4 слоя)", "10,0 (4 слоя)", "12,0 (4 слоя)", "12,0 (5 слоев)"});
        else if (plak == QLatin1String("2"))
            t.entries = utf8List({"5,0 (2 слоя)", "7,0 (2 слоя)", "8,5 (2 слоя)", "6,5 (3 слоя)",
                                  "9,0 (3 слоя)", "11,0 (3 слоя)", "9,5 (4 слоя)", "11,5 (4 слоя)",
                                  "14,0 (4 слоя)"});
        else {
            // One placeholder entry and nothing made current.
            t.entries = utf8List({"0"});
            t.current = -1;
        }
        return t;
    }
    if (osn == QLatin1String("08x")) {
        t.entries = utf8List({"6,0 (2 слоя)", "7,5 (2 слоя)", "9,0 (2 слоя)", "8,5 (3 слоя)",
                              "10,5 (3 слоя)", "12,5 (3 слоя)", "11,0 (4 слоя)", "13,5 (4 слоя)",
                              "16,0 (4 слоя)"});
        return t;
    }
    if (osn == QLatin1String("08")) {
        t.entries = utf8List({"1,5", "2,0", "2,5", "3,0", "3,5", "4,0", "4,5", "5,0", "6,0"});
        at("3,0");
        return t;
    }
    if (plak == QLatin1String("1")) {
        t.entries = utf8List({"2,5", "3,0", "3,5", "4,0", "4,5"});
        at("3,0");
    } else if (plak == QLatin1String("2"))
        t.entries = utf8List({"3,5", "4,5", "5,5", "6,0"});
    else if (plak == QLatin1String("3"))
        t.entries = utf8List({"2,5", "3,0"});
    else if (plak == QLatin1String("4"))
        t.entries = utf8List({"5,5", "6,5", "7,5", "8,5"});
    else if (plak == QLatin1String("5"))
        t.entries = utf8List({"4,0", "5,0"});
    else if (oneOf(plak, {"6", "7"}))
        t.entries = utf8List({"2,5"});
    else if (plak == QLatin1String("9")) {
        t.entries = utf8List({"1,4", "1,6", "1,8"});
        at("1,6");
    } else
        t.current = -1;
    return t;
}

QString layerCount(const QString &osn, const QString &plak, int i)
{
    if (osn == QLatin1String("08x"))
        return QString::number(i < 3 ? 2 : i <= 5 ? 3 : 4);
    if (osn == QLatin1String("09x")) {
        if (plak == QLatin1String("1"))
            return QString::number(i < 5 ? 2 : i <= 7 ? 3 : i <= 10 ? 4 : 5);
        if (plak == QLatin1String("2"))
            return QString::number(i < 3 ? 2 : i <= 5 ? 3 : 4);
    }
    return QString();
}

bool hasD4(const QString &osn)
{
    return oneOf(osn, {"091", "093", "095", "097", "098"});
}

bool hasD1(const QString &osn)
{
    return oneOf(osn, {"092", "095"});
}

QString sizeTableKey(int set)
{
    static const char *const keys[] = {"putgm_gost128_size",   "putgm_gost287_size",
                                       "putgm_asme165_size",   "putgm_asme1647A_size",
                                       "putgm_asme1647B_size", "putgm_en1514_size"};
    if (set < 1 || set > 6)
        return QString();
    return QString::fromLatin1(keys[set - 1]);
}

QString pressTableKey(int set)
{
    static const char *const keys[] = {"putgm_gost128_press",   "putgm_gost287_press",
                                       "putgm_asme165_press",   "putgm_asme1647A_press",
                                       "putgm_asme1647B_press", "putgm_en1514_press"};
    if (set < 1 || set > 6)
        return QString();
    return QString::fromLatin1(keys[set - 1]);
}

QString requestTf(const QString &osn, const QString &flanType)
{
    if (oneOf(osn, {"09x", "08x", "08"}))
        return QStringLiteral("09_") + flanType;
    return osn + QLatin1Char('_') + flanType;
}

static QString drawingName(const QString &osn, const QString &construction, const QString &plak)
{
    return QStringLiteral("PM ") + osn + QLatin1Char('-') + construction + QStringLiteral("-0") + plak
           + QStringLiteral(".jpg");
}

QString roundDrawing(const QString &osn, const QString &construction, const QString &plak)
{
    return QStringLiteral(":/res/pic/PUTGm/") + drawingName(osn, construction, plak);
}

QString halfDrawing(const QString &osn, const QString &construction, const QString &plak)
{
    return QStringLiteral(":/res/pic/PUTGm half/") + drawingName(osn, construction, plak);
}

QString flanPicture(const QString &flanType)
{
    if (flanType == QLatin1String("A"))
        return QStringLiteral(":/res/pic/ПУТГм-А.jpg");
    if (flanType == QLatin1String("B"))
        return QStringLiteral(":/res/pic/ПУТГм-Б.jpg");
    if (flanType == QLatin1String("C"))
        return QStringLiteral(":/res/pic/ПУТГм-В.jpg");
    return QString();
}

bool hasDrawing(const QString &osn, const QString &k, const QString &plak)
{
    const bool graphite = oneOf(plak, {"1", "2", "3", "4", "5"});
    if (osn == QLatin1String("09")) {
        if (k == QLatin1String("01"))
            return oneOf(plak, {"1", "2", "3", "4", "5", "6", "7", "9"});
        return oneOf(k, {"02", "03", "04"}) && oneOf(plak, {"1", "2", "3", "4", "5", "6", "7"});
    }
    if (osn == QLatin1String("099"))
        return k == QLatin1String("01") && oneOf(plak, {"1", "2", "3", "6", "7"});
    if (oneOf(osn, {"095", "093"}))
        return oneOf(k, {"01", "02", "03", "04"}) && graphite;
    if (oneOf(osn, {"097", "098"}))
        return k == QLatin1String("01") && oneOf(plak, {"1", "2", "3"});
    if (osn == QLatin1String("091"))
        return oneOf(k, {"01", "02"}) && graphite;
    if (osn == QLatin1String("092"))
        return oneOf(k, {"01", "02", "04"}) && graphite;
    if (oneOf(osn, {"08", "08x", "09x"}))
        return oneOf(k, {"01", "02", "03", "04"}) && plak == QLatin1String("1");
    return false;
}

} // namespace putgm
