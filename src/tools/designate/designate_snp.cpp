// Family "snp": spiral-wound gaskets.
#include <functional>

#include "family.h"
#include "snpdesignation.h"

namespace {

using C = snp::SnpChoices;
using Setter = designate::Setter<C>;
using designate::anyText;
using designate::flag;
using designate::index;
using designate::oneOf;
using designate::pick;

const QMap<QString, Setter> &setters()
{
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
    C c = snp::startState();
    QMap<QString, QString> given;
    if (const int rc = designate::applyAssignments(args, setters(), c, given, error))
        return rc;
    const QString def = snp::designation(c);
    lines << def << snp::description(c, def);
    return 0;
}

} // namespace

VINTARO_DESIGNATE_FAMILY("snp", runSnp)
