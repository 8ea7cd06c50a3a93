// Family "putg": graphite gaskets.
#include <functional>

#include "family.h"
#include "putgdesignation.h"
#include "putgoptions.h"

namespace {

using C = putg::PutgChoices;
using Setter = designate::Setter<C>;
using designate::anyText;
using designate::flag;
using designate::index;
using designate::oneOf;
using designate::pick;

const QMap<QString, Setter> &setters()
{
    static const QMap<QString, Setter> map = {
        {QStringLiteral("PUTGConfig"), oneOf(&C::PUTGConfig, putg::shapes())},
        {QStringLiteral("PUTGSizeMode"), oneOf(&C::PUTGSizeMode, putg::sizeModes() + QStringList(QString()))},
        {QStringLiteral("PUTGSize"), anyText(&C::PUTGSize)},
        {QStringLiteral("PUTGPress"), anyText(&C::PUTGPress)},
        {QStringLiteral("PUTGD1"), anyText(&C::PUTGD1)},
        {QStringLiteral("PUTGD2"), anyText(&C::PUTGD2)},
        {QStringLiteral("PUTGD3"), anyText(&C::PUTGD3)},
        {QStringLiteral("PUTGD4"), anyText(&C::PUTGD4)},
        {QStringLiteral("PUTGA1"), anyText(&C::PUTGA1)},
        {QStringLiteral("PUTGA2"), anyText(&C::PUTGA2)},
        {QStringLiteral("PUTGB1"), anyText(&C::PUTGB1)},
        {QStringLiteral("PUTGB2"), anyText(&C::PUTGB2)},
        {QStringLiteral("PUTGC"), anyText(&C::PUTGC)},
        {QStringLiteral("PUTGFlanType"), oneOf(&C::PUTGFlanType, putg::flanTypes())},
        {QStringLiteral("PUTGPrType"), oneOf(&C::PUTGPrType, putg::reinforcements())},
        {QStringLiteral("PUTGConst"), oneOf(&C::PUTGConst, putg::constructions())},
        // The thickness combo is editable, so any text can be current.
        {QStringLiteral("PUTGDepth"), anyText(&C::PUTGDepth)},
        {QStringLiteral("PUTGStandard"), oneOf(&C::PUTGStandard, putg::standards())},
        {QStringLiteral("PUTG_KVF_checkBox"), flag(&C::PUTG_KVF_checkBox)},
        {QStringLiteral("PUTGFixBox"), oneOf(&C::PUTGFixBox, putg::fixEntries())},
        {QStringLiteral("PUTG_Ras_checkBox"), flag(&C::PUTG_Ras_checkBox)},
        {QStringLiteral("PUTG_Kol_Ch_Raz"), anyText(&C::PUTG_Kol_Ch_Raz)},
        {QStringLiteral("PUTG_Perem_Yes"), flag(&C::PUTG_Perem_Yes)},
        {QStringLiteral("PUTG_Perem_Box"), oneOf(&C::PUTG_Perem_Box, putg::jumperLetters())},
        {QStringLiteral("PUTG_Perem_Depth_Edit"), anyText(&C::PUTG_Perem_Depth_Edit)},
        {QStringLiteral("PUTG_Otv_checkBox"), flag(&C::PUTG_Otv_checkBox)},
        {QStringLiteral("PUTG_HowMade_Box"), index(&C::PUTG_HowMade_Box, putg::howMadeEntries().size())},
        {QStringLiteral("PUTGCleenBox"), index(&C::PUTGCleenBox, putg::cleenEntries().size())},
        {QStringLiteral("PUTG_ModElem"), index(&C::PUTG_ModElem, putg::modElemEntries().size())},
        {QStringLiteral("PUTG_AE_Material"), pick(&C::PUTG_AE_Material, materials::ringList())},
        {QStringLiteral("PUTG_O_Material"), pick(&C::PUTG_O_Material, materials::stripList())},
        {QStringLiteral("PUTG_In_Material"), pick(&C::PUTG_In_Material, materials::ringList())},
        {QStringLiteral("PUTG_Out_Material"), pick(&C::PUTG_Out_Material, materials::ringList())},
        {QStringLiteral("PUTG_Input_Box"), flag(&C::PUTG_Input_Box)},
        {QStringLiteral("PUTG_Config_Ellipse"), flag(&C::PUTG_Config_Ellipse)},
    };
    return map;
}

int runPutg(const QStringList &args, QStringList &lines, QString &error)
{
    C c = putg::startState();
    QMap<QString, QString> given;
    if (const int rc = designate::applyAssignments(args, setters(), c, given, error))
        return rc;
    // The oval button is checked exactly while the shape is oval.
    if (!given.contains(QStringLiteral("PUTG_Config_Ellipse")))
        c.PUTG_Config_Ellipse = c.PUTGConfig == QLatin1String("ell");
    const QString def = putg::designation(c);
    lines << def << putg::description(c, def);
    return 0;
}

} // namespace

VINTARO_DESIGNATE_FAMILY("putg", runPutg)
