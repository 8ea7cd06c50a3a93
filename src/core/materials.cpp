#include "materials.h"

namespace materials {

const QStringList &ringList()
{
    static const QStringList list = {
        QStringLiteral("1     AISI 304 (08X18H9)"),
        QStringLiteral("1L   AISI 304L (03Х18Н11)"),
        QStringLiteral("2     AISI 321 (12X18H10T)"),
        QStringLiteral("3     AISI 316 (10X17H13M2)"),
        QStringLiteral("3L   AISI 316 L (03X17H13M2)"),
        QStringLiteral("3Ti  AISI 316 Ti (10X17H13M2T)"),
        QStringLiteral("4    Inconel 600, 625"),
        QStringLiteral("5     CRS (сталь 20)"),
        QStringLiteral("6     Monel"),
        QStringLiteral("7     Incoloy 800"),
        QStringLiteral("8    Титан ВТ-1"),
        QStringLiteral("9C   Hastelloy C"),
        QStringLiteral("9B   Hastelloy B"),
        QStringLiteral("<другой материал>"),
    };
    return list;
}

const QStringList &stripList()
{
    static const QStringList list = [] {
        QStringList l = ringList();
        l.removeAt(kCarbonSteelRing);
        return l;
    }();
    return list;
}

Pick Pick::ring(int index)
{
    Pick p;
    p.index = index;
    p.count = ringList().size();
    p.text = ringList().value(index);
    return p;
}

Pick Pick::strip(int index)
{
    Pick p;
    p.index = index;
    p.count = stripList().size();
    p.text = stripList().value(index);
    return p;
}

Pick Pick::ringOther(const QString &typed)
{
    Pick p = ring(ringList().size() - 1);
    p.text = typed;
    return p;
}

Pick Pick::stripOther(const QString &typed)
{
    Pick p = strip(stripList().size() - 1);
    p.text = typed;
    return p;
}

static bool otherUntouched(const QString &text)
{
    return text.startsWith(QLatin1Char('<')) || text.trimmed().isEmpty();
}

QString code(const Pick &p)
{
    if (p.isOther())
        return otherUntouched(p.text) ? QStringLiteral("{др.}")
                                      : QStringLiteral("{") + p.text + QStringLiteral("}");
    return p.text.left(5).trimmed();
}

QString codeNoBraces(const Pick &p)
{
    if (p.isOther())
        return otherUntouched(p.text) ? QStringLiteral("др.") : p.text;
    return p.text.left(5).trimmed();
}

QString name(const Pick &p)
{
    return p.text.mid(5);
}

QString MaterialName(const QString &kind, int index)
{
    static const QStringList strip = {
        QStringLiteral("304 (08X18H9)"),    QStringLiteral("304L (03X18H11)"),
        QStringLiteral("321 (12X18H10T)"),  QStringLiteral("316 (10X17H13M2)"),
        QStringLiteral("316L (03X17H13M2)"), QStringLiteral("316Ti (10X17H13M2T)"),
        QStringLiteral("Inconel 600"),      QStringLiteral("Monel"),
        QStringLiteral("Incoloy 800"),      QStringLiteral("Титан ВТ-1"),
        QStringLiteral("Hastelloy C"),      QStringLiteral("Hastelloy B"),
    };
    static const QStringList ring = {
        QStringLiteral("304 (08X18H9)"),    QStringLiteral("304L (03X18H11)"),
        QStringLiteral("321 (12X18H10T)"),  QStringLiteral("316 (10X17H13M2)"),
        QStringLiteral("316L (03X17H13M2)"), QStringLiteral("316Ti (10X17H13M2T)"),
        QStringLiteral("Inconel 600"),      QStringLiteral("CRS (Carbon steel)"),
        QStringLiteral("Monel"),            QStringLiteral("Incoloy 800"),
        QStringLiteral("Титан ВТ-1"),       QStringLiteral("Hastelloy C"),
        QStringLiteral("Hastelloy B"),
    };
    const QStringList &table = kind == QLatin1String("O") ? strip : ring;
    return table.value(index);
}

int carcIndexForRing(int ringIndex, int ringCount)
{
    if (ringIndex < 0 || ringIndex >= ringCount - 1)
        return -1;
    if (ringIndex <= 7)
        return ringIndex;
    return ringIndex - 1;
}

} // namespace materials
