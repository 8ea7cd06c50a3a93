#include "putgdesignation.h"

namespace putg {

namespace {

const QString kX = QStringLiteral(" x ");

bool oneOf(const QString &v, std::initializer_list<const char *> set)
{
    for (const char *s : set)
        if (v == QLatin1String(s))
            return true;
    return false;
}

// Appends an item to a comma-separated list.
void addItem(QString &list, const QString &item)
{
    if (list.isEmpty())
        list = item;
    else
        list += QStringLiteral(", ") + item;
}

} // namespace

PutgChoices startState()
{
    PutgChoices c;
    c.PUTGConfig = QStringLiteral("circ");
    c.PUTGSize = QStringLiteral("10");
    c.PUTGPress = QStringLiteral("1,6 (16,0)");
    c.PUTGFlanType = QStringLiteral("A");
    c.PUTGPrType = QStringLiteral("212");
    c.PUTGConst = QStringLiteral("01");
    c.PUTGDepth = QStringLiteral("1,0");
    c.PUTGStandard = QStringLiteral("GOST128");
    c.PUTGFixBox = QStringLiteral("Ф1-20");
    c.PUTG_Perem_Box = QStringLiteral("A");
    c.PUTG_AE_Material = materials::Pick::ring(0);
    c.PUTG_O_Material = materials::Pick::strip(2);
    c.PUTG_In_Material = materials::Pick::ring(2);
    c.PUTG_Out_Material = materials::Pick::ring(2);
    return c;
}

QString facingLetter(const QString &flanType)
{
    if (flanType == QLatin1String("A"))
        return QStringLiteral("А");
    if (flanType == QLatin1String("B"))
        return QStringLiteral("Б");
    if (flanType == QLatin1String("C"))
        return QStringLiteral("В");
    if (flanType == QLatin1String("R"))
        return QStringLiteral("Р");
    return QString();
}

QString shapeMark(const QString &config)
{
    if (config == QLatin1String("ell"))
        return QStringLiteral("о");
    if (config == QLatin1String("rect"))
        return QStringLiteral("п");
    return QString();
}

bool jumperIsStandard(const QString &letter)
{
    return oneOf(letter, {"A", "M", "J"});
}

QString jumperMark(bool on, const QString &letter, const QString &width)
{
    if (!on)
        return QString();
    if (letter == QLatin1String("A") && !width.isEmpty())
        return QStringLiteral("A/") + width;
    return letter;
}

QString modElemMark(int index)
{
    static const char *const marks[] = {"", "С", "Al", "Н-8", "Н-14", "Н-18"};
    if (index < 1 || index > 5)
        return QString();
    return QStringLiteral("(") + QString::fromUtf8(marks[index]) + QStringLiteral(")");
}

QString modElemDescription(int index)
{
    static const char *const texts[] = {
        "", "слюды", "алюминиевой фольги", "ингибитора коррозии И(Н-8)",
        "ингибитора окисления И(Н-14)", "ингибитора окисления И(Н-18)"};
    if (index < 1 || index > 5)
        return QString();
    return QStringLiteral(", с добавлением ") + QString::fromUtf8(texts[index]);
}

QString featureDescription(bool fixing, const QString &fixText, int howMade,
                           bool holes, bool jumper, const QString &letter,
                           const QString &width)
{
    QString s;
    if (fixing)
        s += QStringLiteral(", с фиксатором ") + fixText;
    if (howMade == 1)
        s += QStringLiteral(", с элементом для крепления на поверхности");
    if (holes)
        s += QStringLiteral(", с отверстиями (по чертежу)");
    if (jumper) {
        s += QStringLiteral(", с перемычкой типа ") + letter;
        if (!jumperIsStandard(letter))
            s += QStringLiteral(" (по чертежу)");
        if (letter == QLatin1String("A") && !width.isEmpty())
            s += QStringLiteral(" шириной ") + width + QStringLiteral(" мм");
    }
    return s;
}

QString firstWord(const QString &text)
{
    const int blank = text.indexOf(QLatin1Char(' '));
    return blank < 0 ? text : text.left(blank);
}

bool isAsme(const QString &standard)
{
    return oneOf(standard, {"ASME165", "ASME1647A", "ASME1647B"});
}

QString asmeSuffix(const QString &standard)
{
    if (standard == QLatin1String("ASME165"))
        return QStringLiteral(" ASME B 16.20");
    if (standard == QLatin1String("ASME1647A"))
        return QStringLiteral(" ASME B 16.47 A");
    if (standard == QLatin1String("ASME1647B"))
        return QStringLiteral(" ASME B 16.47 B");
    return QString();
}

QString otherMaterialName(const materials::Pick &p)
{
    // The free entry still showing its placeholder names nothing.
    if (p.text.startsWith(QLatin1Char('<')))
        return QString();
    return p.text.trimmed();
}

bool needsDrawing(const PutgChoices &c)
{
    return (c.PUTG_Perem_Yes && !jumperIsStandard(c.PUTG_Perem_Box))
           || c.PUTG_Config_Ellipse || c.PUTG_Otv_checkBox;
}

QString constructiveElements(const PutgChoices &c)
{
    QString list;
    if (c.PUTG_KVF_checkBox)
        list = c.PUTGFixBox;
    if (c.PUTG_Ras_checkBox) {
        const QString &n = c.PUTG_Kol_Ch_Raz;
        addItem(list, n.isEmpty() ? QStringLiteral("разъемная") : n + QStringLiteral(" сегм."));
    }
    if (needsDrawing(c))
        addItem(list, QStringLiteral("черт."));
    if (c.PUTG_HowMade_Box == 1)
        addItem(list, QStringLiteral("СК"));
    return list;
}

QString jumperMark(const PutgChoices &c)
{
    return jumperMark(c.PUTG_Perem_Yes, c.PUTG_Perem_Box, c.PUTG_Perem_Depth_Edit);
}

bool isComplete(const PutgChoices &c)
{
    if (c.PUTGConfig == QLatin1String("circ"))
        return !c.PUTGD2.isEmpty() || !c.PUTGD3.isEmpty();
    if (c.PUTGConfig == QLatin1String("rect") || c.PUTGConfig == QLatin1String("ell")) {
        if (c.PUTGSizeMode == QLatin1String("gab"))
            return !c.PUTGA1.isEmpty() && !c.PUTGA2.isEmpty() && !c.PUTGB1.isEmpty()
                   && !c.PUTGB2.isEmpty();
        if (c.PUTGSizeMode == QLatin1String("fie"))
            return !c.PUTGA1.isEmpty() && !c.PUTGB1.isEmpty() && !c.PUTGC.isEmpty();
    }
    return false;
}

QString diameterString(const PutgChoices &c)
{
    QString s = c.PUTGD3 + kX + c.PUTGD2;
    if (oneOf(c.PUTGConst, {"043", "044", "013", "014"}))
        s = c.PUTGD4 + kX + s;
    if (oneOf(c.PUTGConst, {"042", "044", "012", "014"}))
        s += kX + c.PUTGD1;
    return s;
}

QString shapeDimensions(const QString &sizeMode, const QString &a1, const QString &a2,
                        const QString &b1, const QString &b2, const QString &cc)
{
    if (sizeMode == QLatin1String("gab"))
        return a1 + kX + a2 + kX + b1 + kX + b2;
    if (sizeMode == QLatin1String("fie"))
        return a1 + kX + b1 + kX + cc;
    return QString();
}

MaterialCodes materialCodes(const PutgChoices &c)
{
    MaterialCodes m;
    m.ae = materials::code(c.PUTG_AE_Material);
    m.o = materials::code(c.PUTG_O_Material);
    m.in = materials::code(c.PUTG_In_Material);
    m.out = materials::code(c.PUTG_Out_Material);
    const QString zero = QStringLiteral("0");
    if (!oneOf(c.PUTGConst, {"043", "044"}))
        m.out = zero;
    if (!oneOf(c.PUTGConst, {"042", "044"}))
        m.in = zero;
    if (c.PUTGConst == QLatin1String("01"))
        m.o = zero;
    if (c.PUTGPrType == QLatin1String("100"))
        m.ae = zero;
    return m;
}

QString groupCode(const PutgChoices &c)
{
    const MaterialCodes m = materialCodes(c);
    return QStringLiteral("-") + m.ae + modElemMark(c.PUTG_ModElem) + QStringLiteral("-") + m.in
           + m.o + m.out;
}

const QStringList &standardGroupCodes()
{
    static const QStringList codes = {
        QStringLiteral("-1-000"), QStringLiteral("-0-000"), QStringLiteral("-1-020"),
        QStringLiteral("-1-010"), QStringLiteral("-1-111"), QStringLiteral("-1-110"),
        QStringLiteral("-1-222"), QStringLiteral("-1-220"), QStringLiteral("-1-022"),
        QStringLiteral("-1-011"),
    };
    return codes;
}

QStringList designationPieces(const PutgChoices &c)
{
    if (!isComplete(c))
        return QStringList();

    const bool circ = c.PUTGConfig == QLatin1String("circ");
    const bool nonRound = c.PUTGConfig == QLatin1String("rect") || c.PUTGConfig == QLatin1String("ell");
    QStringList p;
    p << QStringLiteral("ПУТГ-");

    QString facing = facingLetter(c.PUTGFlanType);
    if (c.PUTGStandard == QLatin1String("GOST287") && circ)
        facing += QLatin1Char('2');
    p << facing + shapeMark(c.PUTGConfig) + QLatin1Char('-');

    p << (c.PUTGCleenBox == 0 ? QStringLiteral("2-") : QStringLiteral("1-"));
    p << c.PUTGPrType + QLatin1Char('-');

    const QString jumper = jumperMark(c);
    p << c.PUTGConst + (jumper.isEmpty() ? QString() : QLatin1Char('(') + jumper + QLatin1Char(')'))
             + QLatin1Char('-');

    QString size;
    if (circ)
        size = c.PUTG_Input_Box ? diameterString(c) : c.PUTGSize;
    else if (nonRound)
        size = shapeDimensions(c.PUTGSizeMode, c.PUTGA1, c.PUTGA2, c.PUTGB1, c.PUTGB2, c.PUTGC);
    p << size + QLatin1Char('-');

    p << firstWord(c.PUTGPress) + (isAsme(c.PUTGStandard) ? QStringLiteral("#-") : QStringLiteral("-"));
    p << c.PUTGDepth;

    const QString group = groupCode(c);
    p << (standardGroupCodes().contains(group) ? QString() : group);

    const QString elements = constructiveElements(c);
    p << QLatin1Char(' ') + (elements.isEmpty() ? QString() : QLatin1Char('(') + elements + QLatin1Char(')'));

    p << (circ && !c.PUTG_Input_Box && !needsDrawing(c) ? asmeSuffix(c.PUTGStandard) : QString());
    p << (circ && !c.PUTG_Input_Box ? QStringLiteral(" [") + diameterString(c) + QLatin1Char(']')
                                     : QString());
    p << (circ && c.PUTG_Input_Box ? QStringLiteral(" [нестанд.]") : QString());
    return p;
}

QString designation(const PutgChoices &c)
{
    return designationPieces(c).join(QString());
}

QString introText(const QString &config)
{
    if (config == QLatin1String("circ"))
        return QStringLiteral("Прокладка из терморасширенного графита (ТРГ), ");
    if (config == QLatin1String("rect"))
        return QStringLiteral("Прокладка прямоугольной формы из терморасширенного графита (ТРГ), ");
    if (config == QLatin1String("ell"))
        return QStringLiteral("Прокладка овальной формы из терморасширенного графита (ТРГ), ");
    return QString();
}

QString reinforcementText(const QString &prType, const QString &aeName)
{
    if (prType == QLatin1String("100"))
        return QStringLiteral("неармированная, ");
    if (prType == QLatin1String("211"))
        return QStringLiteral("армированная гладкой нержавеющей лентой б=0,1 мм марки ") + aeName;
    if (prType == QLatin1String("212"))
        return QStringLiteral("армированная перфорированной нержавеющей лентой  б=0,1 мм марки ")
               + aeName;
    if (prType == QLatin1String("311"))
        return QStringLiteral("армированная несколькими слоями гладкой нержавеющей ленты  б=0,05 мм марки ")
               + aeName;
    if (prType == QLatin1String("312"))
        return QStringLiteral(
                   "армированная несколькими слоями перфорированной нержавеющей ленты  б=0,1 мм марки ")
               + aeName;
    return QString();
}

QString constructionText(const QString &construction, const QString &o, const QString &in,
                         const QString &out)
{
    const QString &k = construction;
    if (k == QLatin1String("01"))
        return QStringLiteral(", без обтюраторов");
    if (k == QLatin1String("02"))
        return QStringLiteral(", с внутренним обтюратором из нержавеющей ленты марки ") + o;
    if (k == QLatin1String("03"))
        return QStringLiteral(", с наружным обтюратором из нержавеющей ленты марки ") + o;
    if (k == QLatin1String("04"))
        return QStringLiteral(", с внутренним и наружным обтюраторами из нержавеющей ленты марки ") + o;
    if (k == QLatin1String("042"))
        return QStringLiteral(", с внутренним и наружным обтюраторами из нержавеющей ленты ") + o
               + QStringLiteral(" и внутренним ограничительным кольцом из стали ") + in;
    if (k == QLatin1String("043"))
        return QStringLiteral(", с внутренним и наружным обтюраторами из нержавеющей ленты ") + o
               + QStringLiteral(" и наружным ограничительным кольцом из стали ") + out;
    if (k == QLatin1String("044"))
        return QStringLiteral(", с внутренним и наружным обтюраторами из нержавеющей ленты ") + o
               + QStringLiteral(" и наружным (из стали ") + out
               + QStringLiteral(") и внутренним (из стали ") + in
               + QStringLiteral(") ограничительными кольцами");
    if (k == QLatin1String("012"))
        return QStringLiteral(", с внутренним ограничительным кольцом из стали ") + in;
    if (k == QLatin1String("013"))
        return QStringLiteral(", с наружным ограничительным кольцом из стали ") + out;
    if (k == QLatin1String("014"))
        return QStringLiteral(", с внутренним и наружным ограничительными кольцами из сталей ") + in
               + QStringLiteral(" и ") + out + QStringLiteral(" соответственно");
    return QString();
}

// Catalogue names by list kind; a typed free entry is named as typed so the
// description keeps what the designation shows in braces.
static QString pickName(const QString &kind, const materials::Pick &p)
{
    if (p.isOther())
        return otherMaterialName(p);
    return materials::MaterialName(kind, p.index);
}

QString aeName(const PutgChoices &c)
{
    return pickName(QStringLiteral("AE"), c.PUTG_AE_Material);
}

QString obturatorName(const PutgChoices &c)
{
    return pickName(QStringLiteral("O"), c.PUTG_O_Material);
}

QString innerRingName(const PutgChoices &c)
{
    return pickName(QStringLiteral("OUT"), c.PUTG_In_Material);
}

QString outerRingName(const PutgChoices &c)
{
    return pickName(QStringLiteral("IN"), c.PUTG_Out_Material);
}

QString description(const PutgChoices &c, const QString &designation)
{
    if (designation.isEmpty())
        return QString();

    QString d = introText(c.PUTGConfig);
    d += reinforcementText(c.PUTGPrType, aeName(c));
    d += constructionText(c.PUTGConst, obturatorName(c), innerRingName(c), outerRingName(c));
    d += modElemDescription(c.PUTG_ModElem);
    d += featureDescription(c.PUTG_KVF_checkBox, c.PUTGFixBox, c.PUTG_HowMade_Box,
                            c.PUTG_Otv_checkBox, c.PUTG_Perem_Yes, c.PUTG_Perem_Box,
                            c.PUTG_Perem_Depth_Edit);
    if (c.PUTG_Ras_checkBox) {
        d += QStringLiteral(", разъемная");
        if (!c.PUTG_Kol_Ch_Raz.isEmpty())
            d += QStringLiteral(" (количество частей - ") + c.PUTG_Kol_Ch_Raz + QLatin1Char(')');
    }

    const QString prefix = c.PUTG_Input_Box ? QStringLiteral(", с нестандартными размерами ")
                                            : QStringLiteral(", с размерами ");
    if (c.PUTGConfig == QLatin1String("circ"))
        d += prefix + diameterString(c);
    else if (c.PUTGConfig == QLatin1String("rect") || c.PUTGConfig == QLatin1String("ell"))
        d += prefix + shapeDimensions(c.PUTGSizeMode, c.PUTGA1, c.PUTGA2, c.PUTGB1, c.PUTGB2, c.PUTGC);

    d += kX + c.PUTGDepth;
    return d;
}

QString description(const PutgChoices &c)
{
    return description(c, designation(c));
}

} // namespace putg
