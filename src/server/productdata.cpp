#include "productdata.h"

// Scaffolding: the table loader and lookups replace this file.
bool ProductData::load(const QString &, QString *) { return true; }
QString ProductData::defaultDir() { return QStringLiteral(VINTARO_SOURCE_DATA_DIR "/products"); }
QVariantMap ProductData::tablesMap() const { return m_tables; }
QStringList ProductData::snpLookup(const QVariantMap &) const { return {}; }
QStringList ProductData::snpD2Lookup(const QVariantMap &) const { return {}; }
QStringList ProductData::putgLookup(const QVariantMap &) const { return {}; }
QStringList ProductData::putgmLookup(const QVariantMap &) const { return {}; }
