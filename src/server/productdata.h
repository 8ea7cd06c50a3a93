#pragma once
// Product tables the maker edits as plain text files: the size and pressure
// lists sent with reply 5 and the gasket dimensions answered to lookups.
#include <QString>
#include <QStringList>
#include <QVariantMap>

class ProductData
{
public:
    // Loads every table file under dir. On a malformed file returns false and
    // sets error to "file:line: what is wrong".
    bool load(const QString &dir, QString *error);

    // Default location of the shipped tables.
    static QString defaultDir();

    QVariantMap tablesMap() const;                            // reply 5
    QStringList snpLookup(const QVariantMap &request) const;   // code 7 -> reply 8
    QStringList snpD2Lookup(const QVariantMap &request) const; // code 19 -> reply 20
    QStringList putgLookup(const QVariantMap &request) const;  // code 15 -> reply 16
    QStringList putgmLookup(const QVariantMap &request) const; // code 17 -> reply 18

private:
    QVariantMap m_tables;
};
