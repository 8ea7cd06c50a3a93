// vintaro-designate FAMILY KEY=VALUE ...
// Prints the designation and the description of one configured gasket, one
// line each, in UTF-8. Exit code 2 on any usage error.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <utility>
#include <vector>

#include "family.h"

namespace designate {

namespace {

struct Family
{
    QString name;
    RunFn run;
};

// The family registry; filled by VINTARO_DESIGNATE_FAMILY lines before main
// runs. A function-local static avoids any dependence on the order in which
// the family files are initialised.
std::vector<Family> &registry()
{
    static std::vector<Family> families;
    return families;
}

void writeTo(FILE *f, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
}

QString familyNames()
{
    QStringList names;
    for (const Family &f : registry())
        names << f.name;
    names.sort();
    return names.join(QStringLiteral(", "));
}

int usage(FILE *f, int code)
{
    writeTo(f, QStringLiteral("usage: vintaro-designate FAMILY KEY=VALUE ...\n"
                              "families: %1\n"
                              "Keys not given keep the tab's start state.\n")
                   .arg(familyNames()));
    return code;
}

} // namespace

bool registerFamily(const char *name, RunFn run)
{
    registry().push_back({QString::fromUtf8(name), run});
    return true;
}

bool parseAssignments(const QStringList &args, QMap<QString, QString> &out, QString &error)
{
    for (const QString &arg : args) {
        const int eq = arg.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            error = QStringLiteral("expected KEY=VALUE, got \"%1\"").arg(arg);
            return false;
        }
        const QString value = arg.mid(eq + 1);
        // Each output text is one line; a line break in a value would split it.
        if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'))) {
            error = QStringLiteral("value of %1 contains a line break").arg(arg.left(eq));
            return false;
        }
        out.insert(arg.left(eq), value);
    }
    return true;
}

bool parseFlag(const QString &value, bool &out)
{
    if (value == QLatin1String("0") || value == QLatin1String("1")) {
        out = value == QLatin1String("1");
        return true;
    }
    return false;
}

bool parseIndex(const QString &value, int count, int &out)
{
    // Digits only: no sign, no blanks, no "+1".
    if (value.isEmpty() || value.size() > 9)
        return false;
    for (const QChar ch : value)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
    const int i = value.toInt();
    if (i >= count)
        return false;
    out = i;
    return true;
}

bool parsePick(const QString &value, const QStringList &list, materials::Pick &out)
{
    materials::Pick p;
    p.count = list.size();
    static const QString otherPrefix = QStringLiteral("other:");
    if (value.startsWith(otherPrefix)) {
        p.index = p.count - 1;
        const QString typed = value.mid(otherPrefix.size());
        p.text = typed.isEmpty() ? list.last() : typed;
    } else {
        if (!parseIndex(value, p.count, p.index))
            return false;
        p.text = list.at(p.index);
    }
    out = p;
    return true;
}

} // namespace designate

int main(int argc, char **argv)
{
    using namespace designate;
    // Arguments are taken as UTF-8 whatever the locale says.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromUtf8(argv[i]);

    if (args.isEmpty())
        return usage(stderr, kUsageError);
    if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h"))
        return usage(stdout, 0);
    if (args.first() == QLatin1String("--version")) {
        writeTo(stdout, QStringLiteral("vintaro-designate " VINTARO_VERSION "\n"));
        return 0;
    }

    const QString name = args.takeFirst();
    for (const Family &f : registry()) {
        if (f.name != name)
            continue;
        QStringList lines;
        QString error;
        const int rc = f.run(args, lines, error);
        if (rc != 0) {
            writeTo(stderr, QStringLiteral("vintaro-designate %1: %2\n").arg(name, error));
            return rc;
        }
        for (const QString &line : std::as_const(lines))
            writeTo(stdout, line + QLatin1Char('\n'));
        return 0;
    }
    writeTo(stderr, QStringLiteral("vintaro-designate: unknown family \"%1\" (known: %2)\n")
                        .arg(name, familyNames()));
    return kUsageError;
}
