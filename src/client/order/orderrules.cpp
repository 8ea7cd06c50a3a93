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

} // namespace order
