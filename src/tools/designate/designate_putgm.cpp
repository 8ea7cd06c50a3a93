// Family "putgm": graphite gaskets on a metal base.
#include <functional>

#include "family.h"
#include "putgmdesignation.h"
#include "putgmoptions.h"
#include "putgoptions.h"

namespace {

using C = putgm::PutgmChoices;
using Setter = designate::Setter<C>;
using designate::anyText;
using designate::flag;
using designate::index;
using designate::oneOf;
using designate::pick;

const QMap<QString, Setter> &setters()
{
    static const QMap<QString, Setter> map = {
        {QStringLiteral("PUTGmConfig"), oneOf(&C::PUTGmConfig, putg::shapes())},
        {QStringLiteral("PUTGmSizeMode"), oneOf(&C::PUTGmSizeMode, putg::sizeModes() + QStringList(QString()))},
        {QStringLiteral("PUTGmSize"), anyText(&C::PUTGmSize)},
        {QStringLiteral("PUTGmPress"), anyText(&C::PUTGmPress)},
        {QStringLiteral("PUTGmD1"), anyText(&C::PUTGmD1)},
        {QStringLiteral("PUTGmD2"), anyText(&C::PUTGmD2)},
        {QStringLiteral("PUTGmD3"), anyText(&C::PUTGmD3)},
        {QStringLiteral("PUTGmD4"), anyText(&C::PUTGmD4)},
        {QStringLiteral("PUTGmA1"), anyText(&C::PUTGmA1)},
        {QStringLiteral("PUTGmA2"), anyText(&C::PUTGmA2)},
        {QStringLiteral("PUTGmB1"), anyText(&C::PUTGmB1)},
        {QStringLiteral("PUTGmB2"), anyText(&C::PUTGmB2)},
        {QStringLiteral("PUTGmC"), anyText(&C::PUTGmC)},
        {QStringLiteral("PUTGmFlanType"), oneOf(&C::PUTGmFlanType, putgm::flanTypes())},
        {QStringLiteral("PUTGmStandard"), oneOf(&C::PUTGmStandard, putg::standards())},
        {QStringLiteral("PUTGmOsn"), oneOf(&C::PUTGmOsn, putgm::bases())},
        {QStringLiteral("PUTGmConst"), oneOf(&C::PUTGmConst, putgm::constructions())},
        {QStringLiteral("PUTGmPlak"), oneOf(&C::PUTGmPlak, putgm::plates())},
        // The thickness combo can be typed into ("др."), so any text goes.
        {QStringLiteral("PUTGmDepth"), anyText(&C::PUTGmDepth)},
        {QStringLiteral("PUTGm_KVF_checkBox"), flag(&C::PUTGm_KVF_checkBox)},
        {QStringLiteral("PUTGmFixBox"), oneOf(&C::PUTGmFixBox, putg::fixEntries())},
        {QStringLiteral("PUTGm_Perem_Yes"), flag(&C::PUTGm_Perem_Yes)},
        {QStringLiteral("PUTGm_Perem_Box"), oneOf(&C::PUTGm_Perem_Box, putg::jumperLetters())},
        {QStringLiteral("PUTGm_Perem_Depth_Edit"), anyText(&C::PUTGm_Perem_Depth_Edit)},
        {QStringLiteral("PUTGm_Otv_checkBox"), flag(&C::PUTGm_Otv_checkBox)},
        {QStringLiteral("PUTGm_HowMade_Box"), index(&C::PUTGm_HowMade_Box, putg::howMadeEntries().size())},
        {QStringLiteral("PUTGm_ModElem"), index(&C::PUTGm_ModElem, putg::modElemEntries().size())},
        {QStringLiteral("PUTGm_AE_Material"), pick(&C::PUTGm_AE_Material, materials::ringList())},
        {QStringLiteral("PUTGm_O_Material"), pick(&C::PUTGm_O_Material, materials::stripList())},
        {QStringLiteral("PUTGm_09x_Edit"), anyText(&C::PUTGm_09x_Edit)},
        {QStringLiteral("PUTGm_08x_Edit"), anyText(&C::PUTGm_08x_Edit)},
        {QStringLiteral("PUTGm_Input_Box"), flag(&C::PUTGm_Input_Box)},
        {QStringLiteral("PUTGm_Config_Ellipse"), flag(&C::PUTGm_Config_Ellipse)},
    };
    return map;
}

int runPutgm(const QStringList &args, QStringList &lines, QString &error)
{
    C c = putgm::startState();
    QMap<QString, QString> given;
    if (const int rc = designate::applyAssignments(args, setters(), c, given, error))
        return rc;
    // The oval button is checked exactly while the shape is oval.
    if (!given.contains(QStringLiteral("PUTGm_Config_Ellipse")))
        c.PUTGm_Config_Ellipse = c.PUTGmConfig == QLatin1String("ell");
    const QString def = putgm::designation(c);
    lines << def << putgm::description(c, def);
    return 0;
}

} // namespace

VINTARO_DESIGNATE_FAMILY("putgm", runPutgm)
