#pragma once
// Builds SNP choices for test rows from short key/value pairs on top of the
// tab's start state.
#include <QMap>
#include <QString>
#include <initializer_list>
#include <utility>

#include "materials.h"
#include "snpdesignation.h"

namespace testing {

using Kv = std::initializer_list<std::pair<const char *, QString>>;

// Material value: an index, or "other:TEXT" (TEXT typed into the last entry).
inline materials::Pick pickFrom(const QString &v, bool strip)
{
    if (v.startsWith(QLatin1String("other:")))
        return strip ? materials::Pick::stripOther(v.mid(6)) : materials::Pick::ringOther(v.mid(6));
    return strip ? materials::Pick::strip(v.toInt()) : materials::Pick::ring(v.toInt());
}

// Applies the pairs to c and returns the result.
inline snp::SnpChoices snpApply(snp::SnpChoices c, Kv kv)
{
    using C = snp::SnpChoices;
    static const QMap<QString, QString C::*> texts = {
        {"SNPStandard", &C::SNPStandard}, {"SNPType", &C::SNPType}, {"SNPSize", &C::SNPSize},
        {"SNPPress", &C::SNPPress},       {"SNPD1", &C::SNPD1},     {"SNPD2", &C::SNPD2},
        {"SNPD3", &C::SNPD3},             {"SNPD4", &C::SNPD4},     {"SNPFill", &C::SNPFill},
        {"SNPDepth", &C::SNPDepth},       {"SNPFixBox", &C::SNPFixBox},
        {"SNP_Perem_Box", &C::SNP_Perem_Box}, {"SNP_Perem_Depth_Edit", &C::SNP_Perem_Depth_Edit},
    };
    static const QMap<QString, bool C::*> flags = {
        {"SNP_KVF_checkBox", &C::SNP_KVF_checkBox},
        {"SNP_ONO_checkBox", &C::SNP_ONO_checkBox},
        {"SNP_Perem_Yes", &C::SNP_Perem_Yes},
    };
    for (const auto &p : kv) {
        const QString key = QString::fromUtf8(p.first);
        if (texts.contains(key))
            c.*texts.value(key) = p.second;
        else if (flags.contains(key))
            c.*flags.value(key) = p.second == QLatin1String("1");
        else if (key == QLatin1String("SNP_ModElem"))
            c.SNP_ModElem = p.second.toInt();
        else if (key == QLatin1String("SNP_In_Materials"))
            c.SNP_In_Materials = pickFrom(p.second, false);
        else if (key == QLatin1String("SNP_K_Materials"))
            c.SNP_K_Materials = pickFrom(p.second, true);
        else if (key == QLatin1String("SNP_Out_Materials"))
            c.SNP_Out_Materials = pickFrom(p.second, false);
        else
            qFatal("unknown test key %s", p.first);
    }
    return c;
}

inline snp::SnpChoices snpWith(Kv kv)
{
    return snpApply(snp::startState(), kv);
}

} // namespace testing

Q_DECLARE_METATYPE(snp::SnpChoices)
