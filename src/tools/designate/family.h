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
#include <functional>

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

// Setters from a key's text into one member of a family's choices struct C;
// each returns false when the value is out of range.
template <typename C>
using Setter = std::function<bool(C &, const QString &)>;

template <typename C>
Setter<C> oneOf(QString C::*member, const QStringList &allowed)
{
    return [member, allowed](C &c, const QString &v) {
        if (!allowed.contains(v))
            return false;
        c.*member = v;
        return true;
    };
}

template <typename C>
Setter<C> anyText(QString C::*member)
{
    return [member](C &c, const QString &v) {
        c.*member = v;
        return true;
    };
}

template <typename C>
Setter<C> flag(bool C::*member)
{
    return [member](C &c, const QString &v) { return parseFlag(v, c.*member); };
}

template <typename C>
Setter<C> index(int C::*member, int count)
{
    return [member, count](C &c, const QString &v) { return parseIndex(v, count, c.*member); };
}

template <typename C>
Setter<C> pick(materials::Pick C::*member, const QStringList &list)
{
    return [member, &list](C &c, const QString &v) { return parsePick(v, list, c.*member); };
}

// Parses the arguments and applies them over the start state `c`; `given`
// receives the keys as given.
template <typename C>
int applyAssignments(const QStringList &args, const QMap<QString, Setter<C>> &setters, C &c,
                     QMap<QString, QString> &given, QString &error)
{
    if (!parseAssignments(args, given, error))
        return kUsageError;
    for (auto it = given.cbegin(); it != given.cend(); ++it) {
        const auto setter = setters.constFind(it.key());
        if (setter == setters.cend()) {
            error = QStringLiteral("unknown key %1 (known: %2)")
                        .arg(it.key(), QStringList(setters.keys()).join(QStringLiteral(", ")));
            return kUsageError;
        }
        if (!(*setter)(c, it.value())) {
            error = QStringLiteral("value \"%1\" out of range for %2").arg(it.value(), it.key());
            return kUsageError;
        }
    }
    return 0;
}

} // namespace designate

#define VINTARO_DESIGNATE_CAT2(a, b) a##b
#define VINTARO_DESIGNATE_CAT(a, b) VINTARO_DESIGNATE_CAT2(a, b)
#define VINTARO_DESIGNATE_FAMILY(name, fn)                                                  \
    static const bool VINTARO_DESIGNATE_CAT(designateRegistered_, __LINE__) =               \
        ::designate::registerFamily(name, fn);
