#include "orderdocument.h"

#include "store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace {

const char kMakerFile[] = "maker.txt";

QString defaultMakerText()
{
    const MakerInfo m = MakerInfo::defaults();
    return QStringLiteral("# The heading of the order documents and the sender of the server's mail.\n"
                          "# One \"key: value\" per line; empty values are left out of the heading.\n"
                          "name: %1\naddress: %2\nphone: %3\nemail: %4\n")
        .arg(m.name, m.address, m.phone, m.email);
}

} // namespace

MakerInfo MakerInfo::defaults()
{
    MakerInfo m;
    m.name = QStringLiteral("Vintaro — уплотнительные прокладки");
    m.email = QStringLiteral("orders@localhost");
    return m;
}

MakerInfo MakerInfo::load(const QString &dataDir)
{
    MakerInfo m = defaults();
    const QString path = QDir(dataDir).filePath(QLatin1String(kMakerFile));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (!QFile::exists(path)) {
            QSaveFile out(path);
            if (out.open(QIODevice::WriteOnly)) {
                out.write(defaultMakerText().toUtf8());
                out.commit();
            }
        }
        return m;
    }
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        const int colon = line.indexOf(QLatin1Char(':'));
        if (line.startsWith(QLatin1Char('#')) || colon < 0)
            continue;
        const QString key = line.left(colon).trimmed().toLower();
        const QString value = OrderDocument::clean(line.mid(colon + 1).trimmed()).left(300);
        if (key == QLatin1String("name"))
            m.name = value;
        else if (key == QLatin1String("address"))
            m.address = value;
        else if (key == QLatin1String("phone"))
            m.phone = value;
        else if (key == QLatin1String("email"))
            m.email = value;
    }
    return m;
}

QString OrderDocument::clean(const QString &text)
{
    QString out;
    out.reserve(qMin(text.size(), documents::kMaxCell + 1));
    for (int i = 0; i < text.size() && out.size() < documents::kMaxCell; ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        if (u == '\r') {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QLatin1Char('\n');
        } else if (u == '\n' || u == 0x2028 || u == 0x2029) {
            out += QLatin1Char('\n');
        } else if (u == '\t') {
            out += QLatin1Char(' ');
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
        } else if (u < 0x20 || (u >= 0x7f && u < 0xa0) || c.isSurrogate() || u == 0xfffe || u == 0xffff
                   || (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069) || u == 0x200e
                   || u == 0x200f || u == 0x061c) {
            // Dropped: not allowed in XML, or able to turn the text around.
        } else {
            out += c;
        }
    }
    if (out.size() >= documents::kMaxCell && out.size() < text.size())
        out += QChar(0x2026);
    return out;
}

QString OrderDocument::title() const
{
    return QStringLiteral("Заявка № %1 от %2").arg(number).arg(date);
}

QString OrderDocument::customerLine() const
{
    return QStringLiteral("Заказчик: ") + customer;
}

QString OrderDocument::countLine() const
{
    return QStringLiteral("Всего позиций: %1").arg(rows.size());
}

OrderDocument OrderDocument::fromOrder(const Order &order, const MakerInfo &maker, const QString &customer)
{
    OrderDocument d;
    d.maker = maker;
    d.number = order.id;
    QDateTime when = QDateTime::fromString(order.created, Qt::ISODateWithMs);
    if (!when.isValid())
        when = QDateTime::currentDateTimeUtc();
    d.date = when.toLocalTime().toString(QStringLiteral("dd.MM.yyyy"));
    d.customer = clean(customer);
    d.rows.reserve(order.rows.size());
    for (const OrderRow &r : order.rows)
        d.rows.append({clean(r.designation), clean(r.quantity), clean(r.size), clean(r.drawing),
                       clean(r.description)});
    return d;
}

namespace documents {

const QStringList &columnTitles()
{
    static const QStringList titles{QStringLiteral("№"),       QStringLiteral("Обозначение"),
                                    QStringLiteral("Количество"), QStringLiteral("Размеры"),
                                    QStringLiteral("Чертёж"),  QStringLiteral("Описание")};
    return titles;
}

QByteArray build(const QString &format, const OrderDocument &doc, QString *error)
{
    if (format == QLatin1String("pdf"))
        return pdf(doc, error);
    if (format == QLatin1String("xlsx"))
        return xlsx(doc, error);
    if (format == QLatin1String("ods"))
        return ods(doc, error);
    *error = QStringLiteral("unknown document format %1").arg(format);
    return QByteArray();
}

} // namespace documents
