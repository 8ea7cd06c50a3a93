#include "catalogue.h"

#include "pages.h"

#include <QStringList>

namespace picgen {

namespace {

// Graphite gaskets: the constructions each reinforcement allows.
struct PutgRule {
    const char *reinf;
    QStringList constructions;
};

const std::vector<PutgRule> &putgRules()
{
    static const std::vector<PutgRule> rules = {
        {"100", {"01"}},
        {"211", {"01"}},
        {"212", {"01", "02", "03", "04", "042", "043", "044", "012", "013", "014"}},
        {"311", {"01", "02", "03", "04"}},
        {"312", {"01", "02", "03", "04", "042", "043", "044"}},
    };
    return rules;
}

// Graphite on metal base: which constructions and sealing elements exist
// together for each group of bases.
struct PutgmRule {
    QStringList bases;
    QStringList constructions;
    QStringList elements;
};

const std::vector<PutgmRule> &putgmRules()
{
    static const QStringList oneToFive = {"1", "2", "3", "4", "5"};
    static const QStringList oneToSeven = {"1", "2", "3", "4", "5", "6", "7"};
    static const QStringList all4 = {"01", "02", "03", "04"};
    static const std::vector<PutgmRule> rules = {
        {{"09"}, {"01"}, oneToSeven + QStringList{"9"}},
        {{"09"}, {"02", "03", "04"}, oneToSeven},
        {{"099"}, {"01"}, {"1", "2", "3", "6", "7"}},
        {{"095", "093"}, all4, oneToFive},
        {{"097", "098"}, {"01"}, {"1", "2", "3"}},
        {{"091"}, {"01", "02"}, oneToFive},
        {{"092"}, {"01", "02", "04"}, oneToFive},
        {{"08", "08x", "09x"}, all4, {"1"}},
    };
    return rules;
}

} // namespace

std::vector<Picture> catalogue()
{
    std::vector<Picture> out;
    out.push_back({"res/icon.png", iconPicture});
    out.push_back({"res/img/settings.png", gearPicture});
    out.push_back({"res/logo.png", logoPicture});

    for (const QString &t : {QStringLiteral("AB"), QStringLiteral("C"), QStringLiteral("D"), QStringLiteral("E")})
        out.push_back({"res/pic/SNP_P_" + t + ".jpg", [t] { return snpPicture(t); }});

    // Facing letters: the file names use the Cyrillic letters А, Б, В.
    const QString cyr[3] = {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")};
    const QChar lat[3] = {'A', 'B', 'C'};
    for (int i = 0; i < 3; ++i) {
        const QChar f = lat[i];
        out.push_back({"res/pic/" + cyr[i] + ".jpg", [f] { return facingPicture(f, "SNP"); }});
        out.push_back({"res/pic/PUTG_" + QString(f) + ".jpg", [f] { return facingPicture(f, "PUTG"); }});
        out.push_back({QStringLiteral("res/pic/ПУТГм-") + cyr[i] + ".jpg",
                       [f] { return facingPicture(f, "PUTGm"); }});
    }

    for (const PutgRule &r : putgRules()) {
        const QString reinf = QString::fromLatin1(r.reinf);
        for (const QString &c : r.constructions) {
            const QString name = reinf + "-" + c + ".jpg";
            out.push_back({"res/pic/PUTG/" + name, [reinf, c] { return putgRound(reinf, c); }});
            out.push_back({"res/pic/half/p-" + name, [reinf, c] { return putgHalf(reinf, c); }});
        }
    }
    out.push_back({"res/pic/pr.jpg", [] { return outlineSketch(false); }});
    out.push_back({"res/pic/ov.jpg", [] { return outlineSketch(true); }});

    for (const PutgmRule &r : putgmRules()) {
        for (const QString &b : r.bases) {
            for (const QString &c : r.constructions) {
                for (const QString &e : r.elements) {
                    const QString name = "PM " + b + "-" + c + "-0" + e + ".jpg";
                    out.push_back({"res/pic/PUTGm/" + name, [b, c, e] { return putgmRound(b, c, e); }});
                    out.push_back({"res/pic/PUTGm half/" + name, [b, c, e] { return putgmHalf(b, c, e); }});
                }
            }
        }
    }

    // Questionnaire joints: the plain names show the spigot and tongue most
    // tables give; ASME B16.5 gives the recess and groove, and EN 1092-1 the
    // tongue's inner diameter as D1.
    const struct {
        const char *path;
        JointScheme scheme;
    } joints[] = {
        {"res/1.jpg", {0, false, false}},
        {"res/2-3.jpg", {1, false, false}},
        {"res/2-3 ASME.jpg", {1, true, false}},
        {"res/4-5.jpg", {2, false, false}},
        {"res/4-5 ASME.jpg", {2, true, false}},
        {"res/4-5 DIN.jpg", {2, false, true}},
    };
    for (const auto &j : joints) {
        const JointScheme scheme = j.scheme;
        out.push_back({QString::fromUtf8(j.path), [scheme] { return jointPicture(scheme); }});
    }
    return out;
}

} // namespace picgen
