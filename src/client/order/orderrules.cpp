#include "order/orderrules.h"

namespace order {

QString attachText()
{
    return QStringLiteral("Прикрепить чертеж");
}

QString detachText()
{
    return QStringLiteral("Открепить");
}

QString snpSizeText(const QString &type, const QString &d1, const QString &d2,
                    const QString &d3, const QString &d4)
{
    const QString star = QStringLiteral("*");
    if (type == QLatin1String("A") || type == QLatin1String("B"))
        return d3 + star + d2;
    if (type == QLatin1String("C"))
        return d3 + star + d2 + star + d1;
    if (type == QLatin1String("D"))
        return d4 + star + d3 + star + d2;
    if (type == QLatin1String("E"))
        return d4 + star + d3 + star + d2 + star + d1;
    return QString();
}

namespace {
struct KindRow
{
    quint8 code;
    const char *entry;
    const char *questionEnd;
};
const KindRow kKinds[] = {
    {12, "Выставить счет", "выставление счёта?"},
    {21, "Коммерческое предложение", "коммерческое предложение?"},
    {22, "Сохранить в PDF", "сохранение в формате PDF?"},
    {23, "Сохранить в XLS (Excel)", "сохранение в формате XLS?"},
    {24, "Сохранить в ODS (OpenOffice)", "сохранение в формате ODS?"},
};
constexpr int kKindCount = int(sizeof(kKinds) / sizeof(kKinds[0]));
} // namespace

bool requestKind(int index, RequestKind *kind)
{
    if (index < 0 || index >= kKindCount)
        return false;
    kind->code = kKinds[index].code;
    kind->entry = QString::fromUtf8(kKinds[index].entry);
    kind->questionEnd = QString::fromUtf8(kKinds[index].questionEnd);
    return true;
}

QStringList requestEntries()
{
    QStringList l;
    for (const KindRow &k : kKinds)
        l << QString::fromUtf8(k.entry);
    return l;
}

QString confirmationQuestion(const RequestKind &kind)
{
    return QStringLiteral("Вы действительно хотите отправить заявку на ") + kind.questionEnd;
}

QString fileNamePart(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString emptyListText()
{
    return QLatin1Char('C') + QStringLiteral("писок пуст.");
}

QString badQuantityText(int row)
{
    return QStringLiteral("Заявка не отправлена: в строке %1 количество должно быть целым "
                          "положительным числом.").arg(row + 1);
}

QString noAnswerText()
{
    return QStringLiteral("Сервер не ответил на заявку: возможно, она не дошла. Список сохранён, "
                          "заявку можно отправить снова.");
}

namespace {
QString joinSizes(const QStringList &parts)
{
    QStringList given;
    for (const QString &p : parts)
        if (!p.isEmpty())
            given << p;
    return given.join(QLatin1Char('*'));
}

QString shapeSizes(const QString &mode, const QString &a1, const QString &a2, const QString &b1,
                   const QString &b2, const QString &c)
{
    if (mode == QLatin1String("gab"))
        return joinSizes({a1, a2, b1, b2});
    if (mode == QLatin1String("fie"))
        return joinSizes({a1, b1, c});
    return QString();
}
} // namespace

QString putgSizeText(const putg::PutgChoices &c)
{
    if (c.PUTGConfig != QLatin1String("circ"))
        return shapeSizes(c.PUTGSizeMode, c.PUTGA1, c.PUTGA2, c.PUTGB1, c.PUTGB2, c.PUTGC);
    const QString k = c.PUTGConst;
    const bool outer = k == QLatin1String("043") || k == QLatin1String("044") || k == QLatin1String("013")
        || k == QLatin1String("014");
    const bool inner = k == QLatin1String("042") || k == QLatin1String("044") || k == QLatin1String("012")
        || k == QLatin1String("014");
    return joinSizes({outer ? c.PUTGD4 : QString(), c.PUTGD3, c.PUTGD2, inner ? c.PUTGD1 : QString()});
}

QString putgmSizeText(const putgm::PutgmChoices &c)
{
    if (c.PUTGmConfig != QLatin1String("circ"))
        return shapeSizes(c.PUTGmSizeMode, c.PUTGmA1, c.PUTGmA2, c.PUTGmB1, c.PUTGmB2, c.PUTGmC);
    static const QStringList withOuter = {"091", "093", "095", "097", "098"};
    static const QStringList withInner = {"092", "095"};
    return joinSizes({withOuter.contains(c.PUTGmOsn) ? c.PUTGmD4 : QString(), c.PUTGmD3, c.PUTGmD2,
                      withInner.contains(c.PUTGmOsn) ? c.PUTGmD1 : QString()});
}

} // namespace order
