#pragma once
// An order as the customer's documents show it: the maker's heading, the
// title, the customer and the rows. The PDF, .xlsx and .ods writers all read
// this one model, so the three documents say the same.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

struct Order;

struct MakerInfo
{
    QString name;
    QString address;
    QString phone;
    QString email;

    // The maker edits maker.txt in the data folder ("name: ...", "address:
    // ...", "phone: ...", "email: ..."); a missing file is written with the
    // defaults so there is something to edit.
    static MakerInfo load(const QString &dataDir);
    static MakerInfo defaults();
};

struct DocumentRow
{
    QString designation, quantity, size, drawing, description;
};

struct OrderDocument
{
    MakerInfo maker;
    qint64 number = 0;
    QString date; // ДД.ММ.ГГГГ
    QString customer;
    QVector<DocumentRow> rows;

    QString title() const;
    QString customerLine() const;
    QString countLine() const;

    // Customer text made safe for every format: line breaks kept as "\n",
    // other controls and bidi overrides dropped, cut at kMaxCell characters.
    static QString clean(const QString &text);
    static OrderDocument fromOrder(const Order &order, const MakerInfo &maker, const QString &customer);
};

namespace documents {

// No spreadsheet cell holds more than this.
constexpr int kMaxCell = 32000;

const QStringList &columnTitles();

// Each returns the file's bytes, or an empty array with the reason in error.
QByteArray pdf(const OrderDocument &doc, QString *error);
QByteArray xlsx(const OrderDocument &doc, QString *error);
QByteArray ods(const OrderDocument &doc, QString *error);
// By format name: pdf, xlsx or ods.
QByteArray build(const QString &format, const OrderDocument &doc, QString *error);

} // namespace documents
