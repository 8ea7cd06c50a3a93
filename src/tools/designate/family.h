#pragma once
// Families of vintaro-designate. A family is one file designate_<name>.cpp
// with a run function and one registration line at file scope:
//
//     static int runPutg(const QStringList &args, QStringList &lines, QString &error);
//     VINTARO_DESIGNATE_FAMILY("putg", runPutg)
//
// The folder's CMakeLists.txt picks the file up by its name; main.cpp needs
// no change. The run function gets the KEY=VALUE arguments after the family
// name, fills `lines` with the output lines (designation, description) and
// returns 0, or sets `error` and returns kUsageError.
#include <QMap>
#include <QString>
#include <QStringList>

#include "materials.h"

namespace designate {

constexpr int kUsageError = 2;

using RunFn = int (*)(const QStringList &args, QStringList &lines, QString &error);

// Adds a family to the registry kept in main.cpp; returns true so it can
// initialise a file-scope constant.
bool registerFamily(const char *name, RunFn run);

// Splits KEY=VALUE arguments. Fails on an argument without "=" or with an
// empty key, and on a value with a line break; a repeated key keeps its
// last value.
bool parseAssignments(const QStringList &args, QMap<QString, QString> &out, QString &error);

// Value helpers; each returns false when the value is out of range.
bool parseFlag(const QString &value, bool &out);                       // "0" / "1"
bool parseIndex(const QString &value, int count, int &out);             // 0 .. count-1
// A material picker: an entry index, or "other:TEXT" for the last entry with
// TEXT typed ("other:" leaves the entry untouched).
bool parsePick(const QString &value, const QStringList &list, materials::Pick &out);

} // namespace designate

#define VINTARO_DESIGNATE_CAT2(a, b) a##b
#define VINTARO_DESIGNATE_CAT(a, b) VINTARO_DESIGNATE_CAT2(a, b)
#define VINTARO_DESIGNATE_FAMILY(name, fn)                                                  \
    static const bool VINTARO_DESIGNATE_CAT(designateRegistered_, __LINE__) =               \
        ::designate::registerFamily(name, fn);
