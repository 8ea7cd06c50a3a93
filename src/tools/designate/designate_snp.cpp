// Family "snp": spiral-wound gaskets.
#include <functional>

#include "family.h"
#include "snpdesignation.h"

namespace {

using Setter = std::function<bool(snp::SnpChoices &, const QString &)>;

Setter oneOf(QString snp::SnpChoices::*member, const QStringList &allowed)
{
    return [member, allowed](snp::SnpChoices &c, const QString &v) {
        if (!allowed.contains(v))
            return false;
        c.*member = v;
        return true;
    };
}

Setter anyText(QString snp::SnpChoices::*member)
{
    return [member](snp::SnpChoices &c, const QString &v) {
        c.*member = v;
        return true;
    };
}

Setter flag(bool snp::SnpChoices::*member)
{
    return [member](snp::SnpChoices &c, const QString &v) {
        return designate::parseFlag(v, c.*member);
    };
}

Setter pick(materials::Pick snp::SnpChoices::*member, const QStringList &list)
{
    return [member, &list](snp::SnpChoices &c, const QString &v) {
        return designate::parsePick(v, list, c.*member);
    };
}

const QMap<QString, Setter> &setters()
{
    using C = snp::SnpChoices;
    static const QMap<QString, Setter> map = {
        {QStringLiteral("SNPStandard"), oneOf(&C::SNPStandard, snp::standards())},
        {QStringLiteral("SNPType"), oneOf(&C::SNPType, snp::types())},
        {QStringLiteral("SNPSize"), anyText(&C::SNPSize)},
        {QStringLiteral("SNPPress"), anyText(&C::SNPPress)},
        {QStringLiteral("SNPD1"), anyText(&C::SNPD1)},
        {QStringLiteral("SNPD2"), anyText(&C::SNPD2)},
        {QStringLiteral("SNPD3"), anyText(&C::SNPD3)},
        {QStringLiteral("SNPD4"), anyText(&C::SNPD4)},
        {QStringLiteral("SNPFill"), oneOf(&C::SNPFill, {QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")})},
        {QStringLiteral("SNPDepth"), anyText(&C::SNPDepth)},
        {QStringLiteral("SNP_ModElem"),
         [](C &c, const QString &v) {
             return designate::parseIndex(v, snp::modElemEntries().size(), c.SNP_ModElem);
         }},
        {QStringLiteral("SNP_In_Materials"), pick(&C::SNP_In_Materials, materials::ringList())},
        {QStringLiteral("SNP_K_Materials"), pick(&C::SNP_K_Materials, materials::stripList())},
        {QStringLiteral("SNP_Out_Materials"), pick(&C::SNP_Out_Materials, materials::ringList())},
        {QStringLiteral("SNP_KVF_checkBox"), flag(&C::SNP_KVF_checkBox)},
        {QStringLiteral("SNP_ONO_checkBox"), flag(&C::SNP_ONO_checkBox)},
        {QStringLiteral("SNP_Perem_Yes"), flag(&C::SNP_Perem_Yes)},
        // The two boxes are not editable: only their entries can be current.
        {QStringLiteral("SNPFixBox"), oneOf(&C::SNPFixBox, snp::fixEntries())},
        {QStringLiteral("SNP_Perem_Box"), oneOf(&C::SNP_Perem_Box, snp::jumperLetters())},
        {QStringLiteral("SNP_Perem_Depth_Edit"), anyText(&C::SNP_Perem_Depth_Edit)},
    };
    return map;
}

int runSnp(const QStringList &args, QStringList &lines, QString &error)
{
    QMap<QString, QString> given;
    if (!designate::parseAssignments(args, given, error))
        return designate::kUsageError;

    snp::SnpChoices c = snp::startState();
    for (auto it = given.cbegin(); it != given.cend(); ++it) {
        const auto setter = setters().constFind(it.key());
        if (setter == setters().cend()) {
            error = QStringLiteral("unknown key %1 (known: %2)")
                        .arg(it.key(), QStringList(setters().keys()).join(QStringLiteral(", ")));
            return designate::kUsageError;
        }
        if (!(*setter)(c, it.value())) {
            error = QStringLiteral("value \"%1\" out of range for %2").arg(it.value(), it.key());
            return designate::kUsageError;
        }
    }
    const QString def = snp::designation(c);
    lines << def << snp::description(c, def);
    return 0;
}

} // namespace

VINTARO_DESIGNATE_FAMILY("snp", runSnp)
