#include "putgoptions.h"

namespace putg {

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

const QStringList &reinforcements()
{
    static const QStringList l = utf8List({"100", "211", "212", "311", "312"});
    return l;
}

const QStringList &reinforcementLabels()
{
    static const QStringList l = utf8List({
        "100 неармированная",
        "211 армированная гладкой нерж. лентой",
        "212 армированная перфорир. нерж. лентой",
        "311 многослойно-армир. гладкой нерж. лентой",
        "312 многослойно-армир. перф. нерж. лентой",
    });
    return l;
}

const QStringList &constructions()
{
    static const QStringList l =
        utf8List({"01", "02", "03", "04", "042", "043", "044", "012", "013", "014"});
    return l;
}

const QStringList &constructionLabels()
{
    static const QStringList l = utf8List({
        "01 без обтюраторов",
        "02 с внутренним обтюратором",
        "03 с наружным обтюратором",
        "04 с наруж./внутр. обтюраторами",
        "042 с внутр. обт. и внутр. огр. кольцом",
        "043 с наруж. обт. и наруж. огр. кольцом",
        "044 с наруж./вн. обтюраторами и огр. кольцами",
        "012 с внутренним огр. кольцом",
        "013 с наружным огр. кольцом",
        "014 с внутр. и наруж. огр. кольцами",
    });
    return l;
}

const QStringList &shapes()
{
    static const QStringList l = utf8List({"circ", "ell", "rect"});
    return l;
}

const QStringList &shapeLabels()
{
    static const QStringList l = utf8List({"круглая", "овальная", "прямоугольная"});
    return l;
}

const QStringList &standards()
{
    static const QStringList l =
        utf8List({"GOST128", "GOST287", "ASME165", "ASME1647A", "ASME1647B", "EN1514"});
    return l;
}

const QStringList &standardLabels()
{
    static const QStringList l = utf8List({
        "ГОСТ 12815 (трубопроводы)",
        "ГОСТ 28759 (сосуды и аппараты)",
        "ASME B 16.5 / ASME 16.21",
        "ASME B 16.47 A / ASME 16.21",
        "ASME B 16.47 B / ASME 16.21",
        "DIN EN 1514-1",
    });
    return l;
}

QString flanTypeForIndex(int index)
{
    switch (index) {
    case 0: return QStringLiteral("A");
    case 1: return QStringLiteral("B");
    case 2: return QStringLiteral("C");
    default: return QStringLiteral("R");
    }
}

const QStringList &flanTypes()
{
    static const QStringList l = utf8List({"A", "B", "C", "R"});
    return l;
}

const QStringList &flanLabels()
{
    static const QStringList l =
        utf8List({"А соединительный выступ", "Б выступ-впадина", "В шип-паз"});
    return l;
}

const QStringList &modElemEntries()
{
    static const QStringList l = utf8List({
        "0 нет",
        "1 слюда",
        "2 алюминиевая фольга",
        "5 ингибитор коррозии (Н-8)",
        "6 ингибитор окисления (Н-14)",
        "6 ингибитор окисления (Н-18)",
    });
    return l;
}

const QStringList &cleenEntries()
{
    static const QStringList l = utf8List({
        "2 общепромышленное применение (0,5 % золы)",
        "1 атомная промышленность (0,2 % золы)",
    });
    return l;
}

const QStringList &howMadeEntries()
{
    static const QStringList l = utf8List({
        "0 самоклеящееся покрытие отсутствует",
        "1 с самоклеящимся покрытием",
    });
    return l;
}

const QStringList &fixEntries()
{
    static const QStringList l = utf8List({"Ф1-20", "Ф1-24", "Ф1-27", "Ф1-30", "Ф1-33", "Ф1-36",
                                           "Ф1-39", "Ф1-42", "Ф1-45", "Ф1-48", "Ф1-52", "Ф1-56"});
    return l;
}

const QStringList &jumperLetters()
{
    static const QStringList l = [] {
        QStringList letters;
        for (char ch = 'A'; ch <= 'X'; ++ch)
            letters << QString(QLatin1Char(ch));
        return letters;
    }();
    return l;
}

const QStringList &sizeModes()
{
    static const QStringList l = utf8List({"gab", "fie"});
    return l;
}

QStringList enabledConstructions(const QString &prType, const QString &config,
                                 const QString &flanType)
{
    QStringList on;
    if (oneOf(prType, {"100", "211"}))
        on = utf8List({"01"});
    else if (prType == QLatin1String("311"))
        on = utf8List({"01", "02", "03", "04"});
    else if (prType == QLatin1String("312"))
        on = utf8List({"01", "02", "03", "04", "042", "043", "044"});
    else if (prType == QLatin1String("212")) {
        on = utf8List({"01", "02", "03", "04", "042", "043", "044"});
        if (config == QLatin1String("circ"))
            on << utf8List({"012", "013", "014"});
    }

    QStringList off;
    if (flanType == QLatin1String("A"))
        off = utf8List({"012", "042"});
    else if (flanType == QLatin1String("B"))
        off = utf8List({"013", "014", "043", "044"});
    else if (flanType == QLatin1String("C"))
        off = utf8List({"042", "043", "044", "012", "013", "014"});
    for (const QString &k : off)
        on.removeAll(k);
    return on;
}

QString checkedConstruction(const QString &prType)
{
    if (oneOf(prType, {"100", "211", "311", "312"}))
        return QStringLiteral("01");
    return QString();
}

QStringList thicknessList(const QString &prType)
{
    if (prType == QLatin1String("100"))
        return utf8List({"0,6", "0,8", "1,0", "1,5", "2,0", "2,5", "3,0", "3,5", "4,0", "4,5", "5,0",
                         "5,5", "6,0", "др."});
    if (prType == QLatin1String("211"))
        return utf8List({"0,6", "0,7", "0,8", "0,9", "1,0", "1,2", "1,4", "др."});
    if (prType == QLatin1String("212"))
        return utf8List({"1,0", "1,5", "2,0", "3,0", "4,0", "др."});
    if (prType == QLatin1String("311"))
        return utf8List({"1,0", "2,0", "3,0", "4,0", "5,0", "6,0", "др."});
    if (prType == QLatin1String("312"))
        return utf8List({"2,0", "3,0", "4,0", "5,0", "6,0", "др."});
    return QStringList();
}

QString sizeClass(const QString &standard, int sizeRow)
{
    const QString small = QStringLiteral("<250");
    const QString middle = QStringLiteral("<500");
    const QString large = QStringLiteral(">500");
    if (standard == QLatin1String("GOST128"))
        return sizeRow <= 13 ? small : sizeRow <= 18 ? middle : large;
    if (standard == QLatin1String("EN1514"))
        return sizeRow <= 15 ? small : sizeRow <= 20 ? middle : large;
    if (standard == QLatin1String("GOST287"))
        return sizeRow <= 2 ? middle : large;
    return large;
}

QString wantedThickness(const QString &prType, const QString &sizeClass)
{
    const QString two = QStringLiteral("2,0");
    const QString three = QStringLiteral("3,0");
    if (prType == QLatin1String("100"))
        return sizeClass == QLatin1String("<500") ? two : three;
    if (prType == QLatin1String("211"))
        return sizeClass == QLatin1String("<500") ? QStringLiteral("1,0") : three;
    if (oneOf(prType, {"212", "311", "312"}))
        return sizeClass == QLatin1String("<250") ? two : three;
    return QString();
}

QString defaultThickness(const QString &prType, const QString &standard, int sizeRow)
{
    const QStringList list = thicknessList(prType);
    const QString wanted = wantedThickness(prType, sizeClass(standard, sizeRow));
    if (list.contains(wanted))
        return wanted;
    return list.value(0);
}

QString splitParts(const QString &standard, int r)
{
    const QString three = QStringLiteral("3");
    const QString four = QStringLiteral("4");
    const QString six = QStringLiteral("6");
    if (oneOf(standard, {"GOST128", "GOST287"}))
        return r <= 6 ? three : r <= 10 ? four : six;
    if (standard == QLatin1String("ASME165"))
        return three;
    if (oneOf(standard, {"ASME1647A", "ASME1647B"}))
        return r <= 2 ? three : r <= 10 ? four : six;
    if (standard == QLatin1String("EN1514"))
        return r <= 22 ? three : r <= 26 ? four : six;
    return QString();
}

int temperatureForModElem(int modElem)
{
    if (modElem == 4)
        return 1;
    if (modElem == 5)
        return 2;
    return 0;
}

int modElemForTemperature(int temperature, int currentModElem)
{
    if (temperature == 1)
        return 4;
    if (temperature == 2)
        return 5;
    if (temperature == 0 && (currentModElem == 4 || currentModElem == 5))
        return 0;
    return -1;
}

bool hasOuterRing(const QString &construction)
{
    return oneOf(construction, {"043", "044", "013", "014"});
}

bool hasInnerRing(const QString &construction)
{
    return oneOf(construction, {"042", "044", "012", "014"});
}

PickerStates pickerStates(const QString &prType, const QString &construction)
{
    PickerStates s;
    s.ae = prType != QLatin1String("100");
    s.out = hasOuterRing(construction);
    s.in = hasInnerRing(construction);
    s.o = !oneOf(construction, {"01", "012", "013", "014"});
    return s;
}

QString sizeTableKey(int standardIndex)
{
    static const char *const keys[] = {"putg_gost128_size",    "putg_gost287_size",
                                       "putg_asme165_size",    "putg_asme1647A_size",
                                       "putg_asme1647B_size",  "putg_asmeEN1514_size"};
    if (standardIndex < 0 || standardIndex > 5)
        return QString();
    return QString::fromLatin1(keys[standardIndex]);
}

QString pressTableKey(int standardIndex)
{
    static const char *const keys[] = {"putg_gost128_press",   "putg_gost287_press",
                                       "putg_asme165_press",   "putg_asme1647A_press",
                                       "putg_asme1647B_press", "putg_asmeEN1514_press"};
    if (standardIndex < 0 || standardIndex > 5)
        return QString();
    return QString::fromLatin1(keys[standardIndex]);
}

QString requestTf(const QString &flanType, const QString &construction)
{
    if (hasOuterRing(construction) || hasInnerRing(construction))
        return flanType + construction;
    return flanType;
}

QString roundDrawing(const QString &prType, const QString &construction)
{
    return QStringLiteral(":/res/pic/PUTG/") + prType + QLatin1Char('-') + construction
           + QStringLiteral(".jpg");
}

QString halfDrawing(const QString &prType, const QString &construction)
{
    return QStringLiteral(":/res/pic/half/p-") + prType + QLatin1Char('-') + construction
           + QStringLiteral(".jpg");
}

QString outlineSketch(const QString &config)
{
    if (config == QLatin1String("rect"))
        return QStringLiteral(":/res/pic/pr.jpg");
    if (config == QLatin1String("ell"))
        return QStringLiteral(":/res/pic/ov.jpg");
    return QString();
}

QString flanPicture(const QString &flanType)
{
    if (oneOf(flanType, {"A", "B", "C"}))
        return QStringLiteral(":/res/pic/PUTG_") + flanType + QStringLiteral(".jpg");
    return QString();
}

ListTitles listTitles(const QString &standard)
{
    if (standard.startsWith(QLatin1String("ASME")))
        return {QStringLiteral("Номинальный проход, \""), QStringLiteral("Класс давления")};
    if (standard == QLatin1String("EN1514"))
        return {QStringLiteral("Номинальный размер DN"), QStringLiteral("Номинальное давление PN")};
    return {QStringLiteral("Ду"), QStringLiteral("Ру, МПа (кгс/см²)")};
}

} // namespace putg
