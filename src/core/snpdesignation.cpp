#include "snpdesignation.h"

#include "snpoptions.h"

namespace snp {

bool typeHasInnerRing(const QString &type)
{
    return type == QLatin1String("C") || type == QLatin1String("E");
}

bool typeHasOuterRing(const QString &type)
{
    return type == QLatin1String("D") || type == QLatin1String("E");
}

namespace {

const QString kOtherMaterial = QStringLiteral("<другой материал>");

// Blank-separated word n of a pressure row ("1,6 (16,0)": 0 → "1,6").
QString word(const QString &text, int n)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(n);
}

bool jumperHasWidth(const SnpChoices &c)
{
    return c.SNP_Perem_Box == QLatin1String("A") && !c.SNP_Perem_Depth_Edit.isEmpty();
}

// Size bracket " [D4 x D3 x D2 x D1] " of the table-based standards.
QString sizeBracket(const SnpChoices &c)
{
    return QStringLiteral(" [") + usedDiameters(c).join(QStringLiteral(" x "))
        + QStringLiteral("] ");
}

QString asmeInnerPart(const SnpChoices &c, const QString &inCode, const QString &kCode)
{
    // A ring the gasket type does not have must not appear in the designation,
    // even though its picker keeps its entry when the type changes.
    if (!typeHasInnerRing(c.SNPType) || inCode == QLatin1String("1"))
        return QString();
    QString part = ringCodeText(inCode);
    if (inCode == QLatin1String("5") && kCode == QLatin1String("6"))
        part += QStringLiteral("-MON");
    return part;
}

QString asmeOuterPart(const SnpChoices &c, const QString &outCode, bool en1514)
{
    if (!typeHasOuterRing(c.SNPType) || outCode == QLatin1String("5"))
        return QString();
    if (outCode == QLatin1String("1"))
        return en1514 ? QStringLiteral("-304") : QString();
    return ringCodeText(outCode);
}

} // namespace

SnpChoices startState()
{
    SnpChoices c;
    c.SNPStandard = QStringLiteral("OST128");
    c.SNPType = QStringLiteral("E");
    c.SNPFill = QStringLiteral("3");
    c.SNPDepth = QStringLiteral("4,5");
    c.SNP_ModElem = 0;
    c.SNP_In_Materials = materials::Pick::ring(0);
    c.SNP_K_Materials = materials::Pick::strip(0);
    c.SNP_Out_Materials = materials::Pick::ring(materials::kCarbonSteelRing);
    c.SNPFixBox = fixEntries().first();
    c.SNP_Perem_Box = jumperLetters().first();
    return c;
}

const QStringList &standards()
{
    static const QStringList list = {
        QStringLiteral("OST128"),    QStringLiteral("OST287"),      QStringLiteral("GOST128"),
        QStringLiteral("ASME165"),   QStringLiteral("EN1215165"),   QStringLiteral("ASME1647A"),
        QStringLiteral("EN12151647A"), QStringLiteral("ASME1647B"), QStringLiteral("EN12151647B"),
        QStringLiteral("EN1514"),    QStringLiteral("TU"),
    };
    return list;
}

bool isStandard(const QString &code)
{
    return standards().contains(code);
}

const QStringList &types()
{
    static const QStringList list = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                     QStringLiteral("D"), QStringLiteral("E")};
    return list;
}

bool isType(const QString &type)
{
    return types().contains(type);
}

const QStringList &modElemEntries()
{
    static const QStringList list = {
        QStringLiteral("0 нет"),
        QStringLiteral("1 слюда"),
        QStringLiteral("2 алюминиевая фольга"),
        QStringLiteral("5 ингибитор коррозии (Н-8)"),
        QStringLiteral("6 ингибитор окисления (Н-14)"),
        QStringLiteral("6 ингибитор окисления (Н-18)"),
    };
    return list;
}

const QStringList &fixEntries()
{
    static const QStringList list = {
        QStringLiteral("Ф1-20"), QStringLiteral("Ф1-24"), QStringLiteral("Ф1-27"),
        QStringLiteral("Ф1-30"), QStringLiteral("Ф1-33"), QStringLiteral("Ф1-36"),
        QStringLiteral("Ф1-39"), QStringLiteral("Ф1-42"), QStringLiteral("Ф1-45"),
        QStringLiteral("Ф1-48"), QStringLiteral("Ф1-52"), QStringLiteral("Ф1-56"),
    };
    return list;
}

const QStringList &jumperLetters()
{
    static const QStringList list = [] {
        QStringList l;
        for (char ch = 'A'; ch <= 'X'; ++ch)
            l << QString(QLatin1Char(ch));
        return l;
    }();
    return list;
}

QString typeLetter(const QString &type)
{
    static const QStringList letters = {QStringLiteral("А"), QStringLiteral("Б"),
                                        QStringLiteral("В"), QStringLiteral("Г"),
                                        QStringLiteral("Д")};
    const int i = types().indexOf(type);
    return i < 0 ? QString() : letters.at(i);
}

QStringList usedDiameters(const SnpChoices &c)
{
    const QString &t = c.SNPType;
    if (t == QLatin1String("A") || t == QLatin1String("B"))
        return {c.SNPD3, c.SNPD2};
    if (t == QLatin1String("C"))
        return {c.SNPD3, c.SNPD2, c.SNPD1};
    if (t == QLatin1String("D"))
        return {c.SNPD4, c.SNPD3, c.SNPD2};
    if (t == QLatin1String("E"))
        return {c.SNPD4, c.SNPD3, c.SNPD2, c.SNPD1};
    return {};
}

QString modElemCode(int index)
{
    switch (index) {
    case 1: return QStringLiteral("(С)"); // Cyrillic С
    case 2: return QStringLiteral("(Al)");
    case 3: return QStringLiteral("И(Н-8)");
    case 4: return QStringLiteral("И(Н-14)");
    case 5: return QStringLiteral("И(Н-18)");
    default: return QString();
    }
}

QString modElemText(int index)
{
    switch (index) {
    case 1: return QStringLiteral("слюды");
    case 2: return QStringLiteral("алюминиевой фольги");
    case 3: return QStringLiteral("ингибитора коррозии И(Н-8)");
    case 4: return QStringLiteral("ингибитора окисления И(Н-14)");
    case 5: return QStringLiteral("ингибитора окисления И(Н-18)");
    default: return QString();
    }
}

QString groupCode(const SnpChoices &c)
{
    const QString zero = QStringLiteral("0");
    const QString k = materials::code(c.SNP_K_Materials);
    const QString i = typeHasInnerRing(c.SNPType) ? materials::code(c.SNP_In_Materials) : zero;
    const QString o = typeHasOuterRing(c.SNPType) ? materials::code(c.SNP_Out_Materials) : zero;
    return i + k + o;
}

QString materialPart(const SnpChoices &c)
{
    QString g = groupCode(c);
    if (g == QLatin1String("115") || g == QLatin1String("015") || g == QLatin1String("010")
        || g == QLatin1String("110"))
        return QStringLiteral(" ");
    // Whole-code shortenings of the repeated-material groups.
    if (g == QLatin1String("3L3L3L"))
        g = QStringLiteral("333L");
    else if (g == QLatin1String("3Ti3Ti3Ti"))
        g = QStringLiteral("333Ti");
    else if (g == QLatin1String("3L3L5"))
        g = QStringLiteral("335L");
    else if (g == QLatin1String("3Ti3Ti5"))
        g = QStringLiteral("335Ti");
    return QStringLiteral("-") + g;
}

QString ringCodeText(const QString &code)
{
    if (code.startsWith(QLatin1Char('{')))
        return QStringLiteral("-") + code;
    static const QList<QPair<QString, QString>> table = {
        {QStringLiteral("1"), QStringLiteral("-304")},   {QStringLiteral("1L"), QStringLiteral("-304L")},
        {QStringLiteral("2"), QStringLiteral("-321")},   {QStringLiteral("3"), QStringLiteral("-316")},
        {QStringLiteral("3L"), QStringLiteral("-316L")}, {QStringLiteral("3Ti"), QStringLiteral("-316Ti")},
        {QStringLiteral("4"), QStringLiteral("-IN 600")}, {QStringLiteral("5"), QStringLiteral("-CS")},
        {QStringLiteral("6"), QStringLiteral("-MON")},   {QStringLiteral("7"), QStringLiteral("-IN 800")},
        {QStringLiteral("8"), QStringLiteral("-Ti")},    {QStringLiteral("9C"), QStringLiteral("-HAST C")},
        {QStringLiteral("9B"), QStringLiteral("-HAST B")},
    };
    for (const auto &row : table)
        if (row.first == code)
            return row.second;
    return QString();
}

QString constructivePart(const SnpChoices &c)
{
    QString q = c.SNP_KVF_checkBox ? c.SNPFixBox : QString();
    const QString &p = c.SNP_Perem_Box;
    if ((c.SNP_Perem_Yes && jumperNeedsDrawing(p)) || c.SNP_ONO_checkBox)
        q = q.isEmpty() ? QStringLiteral("черт.") : q + QStringLiteral(", черт.");
    QString j;
    if (c.SNP_Perem_Yes)
        j = jumperHasWidth(c) ? p + QStringLiteral("/") + c.SNP_Perem_Depth_Edit : p;
    if (!j.isEmpty())
        q = q.isEmpty() ? j : j + QStringLiteral(", ") + q;
    return q.isEmpty() ? QString() : QStringLiteral("(") + q + QStringLiteral(")");
}

QString standardName(const QString &standard)
{
    if (standard == QLatin1String("OST128") || standard == QLatin1String("OST287"))
        return QStringLiteral("ОСТ 26.260.454");
    if (standard == QLatin1String("GOST128"))
        return QStringLiteral("ГОСТ Р 52376 - 2005");
    if (standard == QLatin1String("ASME165") || standard == QLatin1String("ASME1647A")
        || standard == QLatin1String("ASME1647B"))
        return QStringLiteral("ASME B 16.20");
    if (standard == QLatin1String("EN1215165") || standard == QLatin1String("EN12151647A")
        || standard == QLatin1String("EN12151647B"))
        return QStringLiteral("EN 12560-2");
    if (standard == QLatin1String("EN1514"))
        return QStringLiteral("EN 1514-2");
    if (standard == QLatin1String("TU"))
        return QStringLiteral("ТУ 3689-010-40517326");
    return QString();
}

QString flangeText(const QString &standard)
{
    if (standard == QLatin1String("OST128") || standard == QLatin1String("GOST128"))
        return QStringLiteral(" по ГОСТ 12815 (трубопроводы)");
    if (standard == QLatin1String("OST287"))
        return QStringLiteral(" по ГОСТ 28759 (сосуды и аппараты)");
    if (standard == QLatin1String("ASME165") || standard == QLatin1String("EN1215165"))
        return QStringLiteral(" по ASME B 16.5");
    if (standard == QLatin1String("ASME1647A") || standard == QLatin1String("EN12151647A"))
        return QStringLiteral(" по ASME B 16.47 A");
    if (standard == QLatin1String("ASME1647B") || standard == QLatin1String("EN12151647B"))
        return QStringLiteral(" по ASME B 16.47 B");
    return QString();
}

QString materialDescriptionName(const materials::Pick &p)
{
    if (p.isOther()) {
        // Cutting the code column off "<другой материал>" or off a typed name
        // would leave a meaningless fragment; show the typed name whole, or
        // the entry's words when nothing was typed.
        const QString typed = p.text.trimmed();
        if (typed.isEmpty() || typed.startsWith(QLatin1Char('<')))
            return QStringLiteral("другой материал");
        return typed;
    }
    return materials::name(p);
}

QString designation(const SnpChoices &c)
{
    if (c.SNPD1.isEmpty() && c.SNPD2.isEmpty() && c.SNPD3.isEmpty() && c.SNPD4.isEmpty())
        return QString();
    // A choice outside the known standards and types is incomplete.
    if (!isType(c.SNPType) || !isStandard(c.SNPStandard))
        return QString();

    const QString m = modElemCode(c.SNP_ModElem);
    const QString y = m.isEmpty() ? QString() : QStringLiteral("-") + m;
    const QString g = constructivePart(c);
    const QString inCode = materials::code(c.SNP_In_Materials);
    const QString kCode = materials::code(c.SNP_K_Materials);
    const QString outCode = materials::code(c.SNP_Out_Materials);
    const QString b = sizeBracket(c);
    const QString &s = c.SNPStandard;
    const QString &t = c.SNPType;

    QString r = QStringLiteral("СНП-") + typeLetter(t) + QStringLiteral("-");

    if (s == QLatin1String("TU")) {
        const QStringList used = usedDiameters(c);
        for (const QString &d : used)
            if (d.isEmpty())
                return QString();
        return r + c.SNPFill + QStringLiteral("-") + used.join(QStringLiteral(" x "))
            + QStringLiteral("-") + c.SNPDepth + materialPart(c) + y + g
            + QStringLiteral(" ТУ 3689-010-40517326");
    }

    if (s == QLatin1String("GOST128")) {
        QString flange;
        if (t == QLatin1String("A"))
            flange = QStringLiteral("4-5-");
        else if (t == QLatin1String("B") || t == QLatin1String("C"))
            flange = QStringLiteral("2-3-");
        else
            flange = QStringLiteral("1-1-");
        const QString kgf = word(c.SNPPress, 1);
        const QString v = kgf.size() > 2 ? kgf.mid(1, kgf.size() - 2) : QString();
        const QString u = outCode == QLatin1String("5") ? QStringLiteral(" У ") : QStringLiteral(" ");
        return r + flange + c.SNPSize + QStringLiteral("-") + v + u + materialPart(c) + y + g
            + QStringLiteral(" ГОСТ Р 52376 -2005") + b;
    }

    if (s == QLatin1String("OST128") || s == QLatin1String("OST287")) {
        return r + c.SNPFill + QStringLiteral("-") + c.SNPD2 + QStringLiteral("-")
            + word(c.SNPPress, 0) + QStringLiteral("-") + c.SNPDepth + materialPart(c) + y + g
            + QStringLiteral(" ОСТ 26.260.454") + b;
    }

    // ASME, EN 12560 and EN 1514.
    const bool en1514 = s == QLatin1String("EN1514");
    const QString filler = c.SNPFill == QLatin1String("3") || c.SNPFill == QLatin1String("4")
        ? QStringLiteral("-F.G") : QStringLiteral("- PTFE");
    const QString thickness = c.SNPDepth == QLatin1String("4,5")
        ? QString() : QStringLiteral("-") + c.SNPDepth;
    QString suffix;
    if (s == QLatin1String("ASME165"))
        suffix = QStringLiteral(" ASME B 16.20");
    else if (s == QLatin1String("ASME1647A"))
        suffix = QStringLiteral(" ASME B 16.47 A");
    else if (s == QLatin1String("ASME1647B"))
        suffix = QStringLiteral(" ASME B 16.47 B");
    else if (en1514)
        suffix = QStringLiteral(" EN 1514-2");
    else
        suffix = QStringLiteral(" EN 12560-2");

    return r + c.SNPSize + QStringLiteral("-") + word(c.SNPPress, 0)
        + (en1514 ? QString() : QStringLiteral("#")) + asmeInnerPart(c, inCode, kCode) + filler
        + asmeOuterPart(c, outCode, en1514) + thickness + y + g + suffix + b;
}

QString description(const SnpChoices &c, const QString &designation)
{
    if (designation.isEmpty())
        return QString();
    const QString &t = c.SNPType;
    const QString in = materialDescriptionName(c.SNP_In_Materials);
    const QString kn = materialDescriptionName(c.SNP_K_Materials);
    const QString on = materialDescriptionName(c.SNP_Out_Materials);
    const QString carcass = QStringLiteral(" с металлическим каркасом из ленты ") + kn;

    QString d = QStringLiteral("Спирально-навитая прокладка (СНП) по ") + standardName(c.SNPStandard);
    if (t == QLatin1String("A"))
        d += QStringLiteral(" типа А (без ограничительных колец)") + carcass;
    else if (t == QLatin1String("B"))
        d += QStringLiteral(" типа Б (без ограничительных колец)") + carcass;
    else if (t == QLatin1String("C"))
        d += QStringLiteral(" типа В (с внутренним ограничительным кольцом ") + in
            + QStringLiteral("),") + carcass;
    else if (t == QLatin1String("D"))
        d += QStringLiteral(" типа Г (с наружным ограничительным кольцом ") + on
            + QStringLiteral("),") + carcass;
    else if (t == QLatin1String("E"))
        d += QStringLiteral(" типа Д (с наружным ") + on + QStringLiteral(" и внутренним ") + in
            + QStringLiteral(" ограничительными кольцами),") + carcass;

    if (c.SNPFill == QLatin1String("3") || c.SNPFill == QLatin1String("4"))
        d += QStringLiteral(" и наполнителем из ТРГ (FG)");
    else if (c.SNPFill == QLatin1String("5"))
        d += QStringLiteral(" и наполнителем из фторопласта (PTFE)");

    QString flange;
    if (t == QLatin1String("A"))
        flange = QStringLiteral("шип-паз");
    else if (t == QLatin1String("B") || t == QLatin1String("C"))
        flange = QStringLiteral("выступ-впадина");
    else
        flange = QStringLiteral("соединительный выступ");
    d += QStringLiteral(" для применения на фланце \"") + flange + QStringLiteral("\"");
    d += flangeText(c.SNPStandard);
    d += QStringLiteral(" с размерами ") + usedDiameters(c).join(QLatin1Char('*'));
    d += QStringLiteral(", толщиной ") + c.SNPDepth + QStringLiteral(" мм");

    if (!modElemText(c.SNP_ModElem).isEmpty())
        d += QStringLiteral(", с добавлением ") + modElemText(c.SNP_ModElem);
    if (c.SNP_KVF_checkBox)
        d += QStringLiteral(", с фиксатором ") + c.SNPFixBox;
    if (c.SNP_ONO_checkBox)
        d += QStringLiteral(", с отверстиями (по чертежу)");
    if (c.SNP_Perem_Yes) {
        d += QStringLiteral(", с перемычкой типа ") + c.SNP_Perem_Box;
        if (jumperNeedsDrawing(c.SNP_Perem_Box))
            d += QStringLiteral(" (по чертежу)");
        if (jumperHasWidth(c))
            d += QStringLiteral(" шириной ") + c.SNP_Perem_Depth_Edit + QStringLiteral(" мм");
    }
    return d;
}

} // namespace snp
