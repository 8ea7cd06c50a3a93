#include "putgmdesignation.h"

#include "putgdesignation.h"

namespace putgm {

namespace {

const QString kX = QStringLiteral(" x ");

bool oneOf(const QString &v, std::initializer_list<const char *> set)
{
    for (const char *s : set)
        if (v == QLatin1String(s))
            return true;
    return false;
}

void addItem(QString &list, const QString &item)
{
    if (list.isEmpty())
        list = item;
    else
        list += QStringLiteral(", ") + item;
}

bool isNonRound(const QString &config)
{
    return config == QLatin1String("rect") || config == QLatin1String("ell");
}

} // namespace

PutgmChoices startState()
{
    PutgmChoices c;
    c.PUTGmConfig = QStringLiteral("circ");
    c.PUTGmFlanType = QStringLiteral("A");
    c.PUTGmStandard = QStringLiteral("GOST128");
    c.PUTGmOsn = QStringLiteral("09");
    c.PUTGmConst = QStringLiteral("01");
    c.PUTGmPlak = QStringLiteral("1");
    c.PUTGmDepth = QStringLiteral("3,0");
    c.PUTGmFixBox = QStringLiteral("Ф1-20");
    c.PUTGm_Perem_Box = QStringLiteral("A");
    c.PUTGm_AE_Material = materials::Pick::ring(0);
    c.PUTGm_O_Material = materials::Pick::strip(2);
    return c;
}

QString materialCode(const materials::Pick &p)
{
    return materials::codeNoBraces(p);
}

QString materialName(const materials::Pick &p)
{
    // Cutting the code column off typed text would mangle the name the user
    // entered, so the free entry is named as typed.
    if (p.isOther()) {
        // The untouched entry is named by its words, as in the SNP description;
        // cutting its code column would leave "ой материал>".
        const QString typed = putg::otherMaterialName(p);
        return typed.isEmpty() ? QStringLiteral("другой материал") : typed;
    }
    return materials::name(p);
}

bool needsDrawing(const PutgmChoices &c)
{
    return (c.PUTGm_Perem_Yes && !putg::jumperIsStandard(c.PUTGm_Perem_Box))
           || c.PUTGm_Config_Ellipse || c.PUTGm_Otv_checkBox;
}

QString constructiveElements(const PutgmChoices &c)
{
    QString list;
    if (c.PUTGm_KVF_checkBox)
        list = c.PUTGmFixBox;
    if (needsDrawing(c))
        addItem(list, QStringLiteral("черт."));
    if (c.PUTGm_HowMade_Box == 1)
        addItem(list, QStringLiteral("СК"));
    return list;
}

QString jumperMark(const PutgmChoices &c)
{
    return putg::jumperMark(c.PUTGm_Perem_Yes, c.PUTGm_Perem_Box, c.PUTGm_Perem_Depth_Edit);
}

bool isComplete(const PutgmChoices &c)
{
    if (c.PUTGmConfig == QLatin1String("circ"))
        return !c.PUTGmD2.isEmpty() || !c.PUTGmD3.isEmpty();
    if (isNonRound(c.PUTGmConfig)) {
        if (c.PUTGmSizeMode == QLatin1String("gab"))
            return !c.PUTGmA1.isEmpty() && !c.PUTGmA2.isEmpty() && !c.PUTGmB1.isEmpty()
                   && !c.PUTGmB2.isEmpty();
        if (c.PUTGmSizeMode == QLatin1String("fie"))
            return !c.PUTGmA1.isEmpty() && !c.PUTGmB1.isEmpty() && !c.PUTGmC.isEmpty();
    }
    return false;
}

QString diameterString(const PutgmChoices &c)
{
    QString s;
    if (oneOf(c.PUTGmOsn, {"091", "093", "095", "097", "098"}))
        s = c.PUTGmD4 + kX;
    s += c.PUTGmD3 + kX + c.PUTGmD2;
    if (oneOf(c.PUTGmOsn, {"092", "095"}))
        s += kX + c.PUTGmD1;
    return s;
}

QString basePiece(const PutgmChoices &c)
{
    auto layered = [](const char *stem, const QString &layers) {
        return QString::fromLatin1(stem) + QLatin1Char('(')
               + (layers.isEmpty() ? QStringLiteral("x") : layers) + QStringLiteral(")-");
    };
    if (c.PUTGmOsn == QLatin1String("09x"))
        return layered("09", c.PUTGm_09x_Edit);
    if (c.PUTGmOsn == QLatin1String("08x"))
        return layered("08", c.PUTGm_08x_Edit);
    return c.PUTGmOsn + QLatin1Char('-');
}

QString sizePressurePiece(const PutgmChoices &c)
{
    const QString press = putg::firstWord(c.PUTGmPress);
    if (c.PUTGmConfig == QLatin1String("circ")) {
        if (c.PUTGm_Input_Box)
            return diameterString(c) + QLatin1Char('-');
        return c.PUTGmSize + QLatin1Char('-') + press
               + (putg::isAsme(c.PUTGmStandard) ? QStringLiteral("#-") : QStringLiteral("-"));
    }
    if (isNonRound(c.PUTGmConfig))
        return putg::shapeDimensions(c.PUTGmSizeMode, c.PUTGmA1, c.PUTGmA2, c.PUTGmB1, c.PUTGmB2,
                                     c.PUTGmC)
               + QLatin1Char('-') + press + QLatin1Char('-');
    return QString();
}

QString thicknessPiece(const QString &depth)
{
    if (depth.contains(QLatin1Char('(')))
        return putg::firstWord(depth);
    return depth;
}

MaterialCodes materialCodes(const PutgmChoices &c)
{
    return {materialCode(c.PUTGm_AE_Material), materialCode(c.PUTGm_O_Material)};
}

QString group(const PutgmChoices &c)
{
    const MaterialCodes m = materialCodes(c);
    const bool obturator = oneOf(c.PUTGmConst, {"02", "03", "04"});
    return m.ae + (obturator ? m.o : QStringLiteral("0")) + c.PUTGmPlak;
}

const QStringList &omittedGroups()
{
    static const QStringList groups = {
        QStringLiteral("111"), QStringLiteral("121"), QStringLiteral("101"),
        QStringLiteral("120"), QStringLiteral("110"), QStringLiteral("100"),
    };
    return groups;
}

QString groupPiece(const PutgmChoices &c)
{
    const QString g = group(c);
    const QString mark = putg::modElemMark(c.PUTGm_ModElem);
    if (mark.isEmpty() && omittedGroups().contains(g))
        return QString();
    return QLatin1Char('-') + g + mark;
}

QStringList designationPieces(const PutgmChoices &c)
{
    if (!isComplete(c))
        return QStringList();

    const bool circ = c.PUTGmConfig == QLatin1String("circ");
    QStringList p;
    p << QStringLiteral("ПУТГм-");

    QString facing = putg::facingLetter(c.PUTGmFlanType);
    if (c.PUTGmFlanType == QLatin1String("R"))
        facing.clear(); // this tab knows no ring-joint facing
    if (c.PUTGmStandard == QLatin1String("GOST287") && circ)
        facing += QLatin1Char('2');
    p << facing + putg::shapeMark(c.PUTGmConfig) + QLatin1Char('-');

    p << basePiece(c);

    const QString jumper = jumperMark(c);
    p << c.PUTGmConst + (jumper.isEmpty() ? QString() : QLatin1Char('(') + jumper + QLatin1Char(')'))
             + QLatin1Char('-');

    p << sizePressurePiece(c);
    p << thicknessPiece(c.PUTGmDepth);
    p << groupPiece(c);

    const QString elements = constructiveElements(c);
    p << (elements.isEmpty() ? QString() : QStringLiteral(" (") + elements + QLatin1Char(')'));

    p << (circ && !c.PUTGm_Input_Box && !needsDrawing(c) ? putg::asmeSuffix(c.PUTGmStandard)
                                                          : QString());
    p << (circ && !c.PUTGm_Input_Box ? QStringLiteral(" [") + diameterString(c) + QLatin1Char(']')
                                      : QString());
    p << (circ && c.PUTGm_Input_Box ? QStringLiteral(" [нестанд.]") : QString());
    return p;
}

QString designation(const PutgmChoices &c)
{
    return designationPieces(c).join(QString());
}

QString baseText(const QString &osn, const QString &aeName, const QString &layers09x,
                 const QString &layers08x)
{
    const QString wave = QStringLiteral(" на металлическом волновом основании из стали ") + aeName;
    if (osn == QLatin1String("09"))
        return wave;
    if (osn == QLatin1String("091"))
        return wave + QStringLiteral(" с наружной центрирующей волной");
    if (osn == QLatin1String("092"))
        return wave + QStringLiteral(" с внутренним тампонирующим элементом");
    if (osn == QLatin1String("093"))
        return wave + QStringLiteral(" с наружным графитовым центрирующим кольцом");
    if (osn == QLatin1String("095"))
        return wave
               + QStringLiteral(" с наружным графитовым центрирующим кольцом и внутренним тампонирующим элементом");
    if (osn == QLatin1String("097"))
        return wave
               + QStringLiteral(" со вторичной волной и наружной центрирующей волной, с уплотнительным элементом");
    if (osn == QLatin1String("098"))
        return wave + QStringLiteral(" со вторичной волной и наружным графитовым центрирующим кольцом");
    if (osn == QLatin1String("099"))
        return wave + QStringLiteral(" со вторичной волной");
    if (osn == QLatin1String("09x"))
        return QStringLiteral(" на многослойном (") + layers09x
               + QStringLiteral(" слоя) металлическом волновом основании  из стали ") + aeName;
    if (osn == QLatin1String("08"))
        return QStringLiteral(" на металлическом гладком основании из стали ") + aeName;
    if (osn == QLatin1String("08x"))
        return QStringLiteral(" на многослойном (") + layers08x
               + QStringLiteral(" слоя) металлическом гладком основании из стали ") + aeName;
    return QString();
}

QString constructionText(const QString &construction, const QString &oName)
{
    if (construction == QLatin1String("01"))
        return QStringLiteral(", без обтюраторов");
    QString s;
    if (construction == QLatin1String("02"))
        s = QStringLiteral(", с внутренним обтюратором из стали");
    else if (construction == QLatin1String("03"))
        s = QStringLiteral(", с наружным обтюратором из стали");
    else if (construction == QLatin1String("04"))
        s = QStringLiteral(", с наружным и внутренним обтюраторами из стали");
    return s + QLatin1Char(' ') + oName;
}

QString plateText(const QString &plak)
{
    static const struct
    {
        const char *code;
        const char *text;
    } plates[] = {
        {"1", ", с уплотнительным элементом из неармированного ТРГ"},
        {"2", ", с уплотнительным элементом из ТРГ, армированного перфорированной нержавеющей лентой"},
        {"3", ", с уплотнительным элементом из ТРГ, армированного гладкой нержавеющей лентой"},
        {"4", ", с уплотнительным элементом из ТРГ, многослойно армированного перфорированной нержавеющей лентой"},
        {"5", ", с уплотнительным элементом из ТРГ, многослойно армированного гладкой нержавеющей лентой"},
        {"6", ", с уплотнительным элементом из слюды"},
        {"7", ", с уплотнительным элементом из базальтового волокна"},
        {"9", ", без уплотнительного элемента"},
    };
    for (const auto &p : plates)
        if (plak == QLatin1String(p.code))
            return QString::fromUtf8(p.text);
    return QString();
}

QString facingText(const QString &flanType)
{
    QString name;
    if (flanType == QLatin1String("A"))
        name = QStringLiteral("соединительный выступ");
    else if (flanType == QLatin1String("B"))
        name = QStringLiteral("выступ-впадина");
    else if (flanType == QLatin1String("C"))
        name = QStringLiteral("шип-паз");
    QString s = QStringLiteral(", для применения на фланцах с уплотнительной поверхностью ");
    if (!name.isEmpty())
        s += QLatin1Char('"') + name + QLatin1Char('"');
    return s;
}

QString description(const PutgmChoices &c, const QString &designation)
{
    if (designation.isEmpty())
        return QString();

    const bool circ = c.PUTGmConfig == QLatin1String("circ");
    QString d = QStringLiteral("Прокладка");
    if (c.PUTGmConfig == QLatin1String("rect"))
        d += QStringLiteral(" прямоугольной формы");
    else if (c.PUTGmConfig == QLatin1String("ell"))
        d += QStringLiteral(" овальной формы");

    d += baseText(c.PUTGmOsn, materialName(c.PUTGm_AE_Material), c.PUTGm_09x_Edit, c.PUTGm_08x_Edit);
    d += constructionText(c.PUTGmConst, materialName(c.PUTGm_O_Material));
    d += plateText(c.PUTGmPlak);
    d += facingText(c.PUTGmFlanType);
    if (circ && !c.PUTGm_Input_Box)
        d += QStringLiteral(", DN = ") + c.PUTGmSize + QStringLiteral(", PN = ")
             + putg::firstWord(c.PUTGmPress);
    d += putg::modElemDescription(c.PUTGm_ModElem);
    d += putg::featureDescription(c.PUTGm_KVF_checkBox, c.PUTGmFixBox, c.PUTGm_HowMade_Box,
                                  c.PUTGm_Otv_checkBox, c.PUTGm_Perem_Yes, c.PUTGm_Perem_Box,
                                  c.PUTGm_Perem_Depth_Edit);

    d += c.PUTGm_Input_Box ? QStringLiteral(", с нестандартными размерами ")
                           : QStringLiteral(", с размерами ");
    if (circ)
        d += diameterString(c);
    else if (isNonRound(c.PUTGmConfig))
        d += putg::shapeDimensions(c.PUTGmSizeMode, c.PUTGmA1, c.PUTGmA2, c.PUTGmB1, c.PUTGmB2,
                                   c.PUTGmC);
    d += QStringLiteral(" и толщиной ") + c.PUTGmDepth;
    return d;
}

QString description(const PutgmChoices &c)
{
    return description(c, designation(c));
}

} // namespace putgm
