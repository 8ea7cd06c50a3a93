#pragma once
// Product tables the maker edits as plain text files: the size and pressure
// lists sent with reply 5 and the gasket dimensions answered to lookups.
// The file format is described in data/products/README.md.
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

// One table file: the lists of one standard of one gasket family and the
// dimension rows for it. Diameters are texts with a decimal comma exactly as
// written in the file; an empty text means the diameter does not exist.
struct ProductTable
{
    struct Row
    {
        int line = 0;
        // SNP: type letters ("A" .. "E"); PUTG and PUTGm: the "tf" values of
        // the request ("A", "A013", "093_B", ...) the row answers.
        QStringList codes;
        QString size;
        QString press;
        QString d4, d3, d2, d1;
        QString thickness; // SNP only (GOST thickness), may be empty
    };
    // A size/pressure combination listed but deliberately without rows.
    struct Gap
    {
        int line = 0;
        QStringList sizes;
        QStringList pressures;
        QString reason;
    };
    // PUTGm: steer the customer to another base for these pressures.
    struct Advice
    {
        int line = 0;
        QStringList bases;
        QStringList pressures;
        QString code;
    };

    QString file;
    QString family;          // "snp", "putg", "putgm"
    QStringList standards;   // the "standart" values answered by this table
    QString sizeKey, pressKey;
    QStringList sizes, pressures;
    QString d2Types;         // SNP: types with a D2 list (key type + standard + "_d2")
    QVector<Row> rows;
    QVector<Gap> gaps;
    QVector<Advice> advice;

    bool hasGap(const QString &size, const QString &press) const;
    const Row *find(const QString &code, const QString &size, const QString &press) const;
    QString d2Key(QChar type) const { return QString(type) + standards.value(0) + QStringLiteral("_d2"); }
    QStringList d2List(QChar type) const;
};

class ProductData
{
public:
    // Loads every table file under dir. On a malformed file returns false and
    // sets error to "file:line: what is wrong".
    bool load(const QString &dir, QString *error);
    // The same for one file's text (used by load and by tests).
    static bool parseTable(const QString &fileName, const QString &text, ProductTable *table,
                           QString *error);

    // Default location of the shipped tables.
    static QString defaultDir();

    QVariantMap tablesMap() const;                            // reply 5
    QStringList snpLookup(const QVariantMap &request) const;   // code 7 -> reply 8
    QStringList snpD2Lookup(const QVariantMap &request) const; // code 19 -> reply 20
    QStringList putgLookup(const QVariantMap &request) const;  // code 15 -> reply 16
    QStringList putgmLookup(const QVariantMap &request) const; // code 17 -> reply 18

    const QVector<ProductTable> &tables() const { return m_list; }
    const ProductTable *table(const QString &family, const QString &standard) const;

    // Bases of the metal-base family and the diameters each one has.
    static bool putgmBaseKnown(const QString &base);
    static bool putgmBaseHasD4(const QString &base);
    static bool putgmBaseHasD1(const QString &base);

private:
    static QString adviceFor(const ProductTable &t, const QString &code, const QString &facing,
                             const QString &size, const QString &press);

    QVector<ProductTable> m_list;
    QVariantMap m_tables;
};
