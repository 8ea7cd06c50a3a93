#include "snpoptions.h"

namespace snp {

namespace {

const QString kSizeMm = QStringLiteral("Условный проход, мм");
const QString kPressMpa = QStringLiteral("Давление Ру, МПа(кгс/см2)");
const QString kSizeInch = QStringLiteral("Номинальный проход, \"");
const QString kPressClass = QStringLiteral("Класс давления");
const QString kSizeDn = QStringLiteral("Номинальный размер DN");
const QString kPressPn = QStringLiteral("Номинальное давление PN");
const QString kPreferredPress = QStringLiteral("1,6 (16,0)");

bool is(const QString &a, const char *b)
{
    return a == QLatin1String(b);
}

} // namespace

const QVector<StandardInfo> &standardTable()
{
    static const QVector<StandardInfo> table = {
        {QStringLiteral("OST128"), QStringLiteral("SNP_OST_128_Btn"),
         QStringLiteral("ОСТ 26.260.454 / ГОСТ 12815 (трубопроводы)"), 1, kSizeMm, kPressMpa},
        {QStringLiteral("OST287"), QStringLiteral("SNP_OST_287_Btn"),
         QStringLiteral("ОСТ 26.260.454 / ГОСТ 28759 (сосуды и аппараты)"), 2, kSizeMm, kPressMpa},
        {QStringLiteral("GOST128"), QStringLiteral("SNP_GOST_128_Btn"),
         QStringLiteral("ГОСТ Р 52376 - 2005 / ГОСТ 12815 (трубопроводы)"), 3, kSizeMm, kPressMpa},
        {QStringLiteral("ASME165"), QStringLiteral("SNP_ASME_165_Btn"),
         QStringLiteral("ASME B 16.20 / ASME B 16.5"), 4, kSizeInch, kPressClass},
        {QStringLiteral("EN1215165"), QStringLiteral("SNP_EN_165_Btn"),
         QStringLiteral("EN 12560-2 / ASME B 16.5"), 4, kSizeInch, kPressClass},
        {QStringLiteral("ASME1647A"), QStringLiteral("SNP_ASME_1647A_Btn"),
         QStringLiteral("ASME B 16.20 / ASME B 16.47 A"), 5, kSizeInch, kPressClass},
        {QStringLiteral("EN12151647A"), QStringLiteral("SNP_EN_1647A_Btn"),
         QStringLiteral("EN 12560-2 / ASME B 16.47 A"), 5, kSizeInch, kPressClass},
        {QStringLiteral("ASME1647B"), QStringLiteral("SNP_ASME_1647B_Btn"),
         QStringLiteral("ASME B 16.20 / ASME B 16.47 B"), 6, kSizeInch, kPressClass},
        {QStringLiteral("EN12151647B"), QStringLiteral("SNP_EN_1647B_Btn"),
         QStringLiteral("EN 12560-2 / ASME B 16.47 B"), 6, kSizeInch, kPressClass},
        {QStringLiteral("EN1514"), QStringLiteral("SNP_EN15_Btn"),
         QStringLiteral("EN 1514-2 / EN1092"), 7, kSizeDn, kPressPn},
        {QStringLiteral("TU"), QStringLiteral("SNP_TU_Btn"),
         QStringLiteral("ТУ 3689-010-40517326 / (станд. и нестанд. фланцы)"), 0, QString(), QString()},
    };
    return table;
}

const StandardInfo *standardInfo(const QString &code)
{
    for (const StandardInfo &s : standardTable())
        if (s.code == code)
            return &s;
    return nullptr;
}

QString startSizeTitle()
{
    return kSizeMm;
}

QString startPressTitle()
{
    return QStringLiteral("Давление Ру, МПа");
}

QString sizeKey(int tableSet)
{
    static const QStringList keys = {
        QStringLiteral("ost128_size"),    QStringLiteral("ost287_size"),
        QStringLiteral("gost128_size"),   QStringLiteral("asme165_size"),
        QStringLiteral("asme1647A_size"), QStringLiteral("asme1647B_size"),
        QStringLiteral("en15_size"),
    };
    return keys.value(tableSet - 1);
}

QString pressKey(int tableSet)
{
    static const QStringList keys = {
        QStringLiteral("ost128_press"),    QStringLiteral("ost287_press"),
        QStringLiteral("gost128_press"),   QStringLiteral("asme165_press"),
        QStringLiteral("asme1647A_press"), QStringLiteral("asme1647B_press"),
        QStringLiteral("en15_press"),
    };
    return keys.value(tableSet - 1);
}

QString d2Key(const QString &type, const QString &standard)
{
    return type + standard + QStringLiteral("_d2");
}

bool usesD2List(const QString &standard, const QString &type)
{
    return is(standard, "OST128") || (is(standard, "OST287") && (is(type, "A") || is(type, "C")));
}

QString requestStandard(const QString &standard)
{
    if (is(standard, "EN1215165"))
        return QStringLiteral("ASME165");
    if (is(standard, "EN12151647A"))
        return QStringLiteral("ASME1647A");
    if (is(standard, "EN12151647B"))
        return QStringLiteral("ASME1647B");
    return standard;
}

int preselectedPressRow(const QStringList &rows)
{
    if (rows.isEmpty())
        return -1;
    for (int i = 0; i < rows.size(); ++i)
        if (rows.at(i).endsWith(kPreferredPress))
            return i;
    return 0;
}

QString preselectedPress(const QStringList &rows)
{
    const int row = preselectedPressRow(rows);
    if (row < 0)
        return QString();
    // A matching row counts as the preferred pressure itself.
    return rows.at(row).endsWith(kPreferredPress) ? kPreferredPress : rows.at(row);
}

QString defaultType(const QString &standard)
{
    return is(standard, "OST287") ? QStringLiteral("C") : QStringLiteral("E");
}

QStringList allowedTypes(const QString &standard)
{
    if (is(standard, "OST287"))
        return {QStringLiteral("A"), QStringLiteral("C")};
    return {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
            QStringLiteral("E")};
}

QStringList allowedFlanges(const QString &standard)
{
    if (is(standard, "OST287"))
        return {QStringLiteral("B"), QStringLiteral("C")};
    return {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
}

bool jumperAvailable(const QString &standard)
{
    return !is(standard, "OST128") && !is(standard, "GOST128");
}

QString flangeForType(const QString &type)
{
    if (is(type, "A"))
        return QStringLiteral("C");
    if (is(type, "B") || is(type, "C"))
        return QStringLiteral("B");
    if (is(type, "D") || is(type, "E"))
        return QStringLiteral("A");
    return QString();
}

QString typeForFlange(const QString &flange, const QString &currentType)
{
    if (flangeForType(currentType) == flange)
        return currentType;
    if (is(flange, "A"))
        return QStringLiteral("E");
    if (is(flange, "B"))
        return QStringLiteral("C");
    if (is(flange, "C"))
        return QStringLiteral("A");
    return currentType;
}

bool jumperNeedsDrawing(const QString &letter)
{
    return !is(letter, "A") && !is(letter, "J") && !is(letter, "M");
}

bool jumperWidthEnabled(const QString &letter)
{
    return is(letter, "A");
}

int modElemForTemperature(Temperature t, int currentIndex)
{
    switch (t) {
    case Temperature::Mid: return 4;
    case Temperature::Max: return 5;
    case Temperature::Min: break;
    }
    // Leaving the high temperatures drops their inhibitors; other elements stay.
    return currentIndex == 4 || currentIndex == 5 ? 0 : currentIndex;
}

Temperature temperatureForModElem(int index)
{
    if (index == 4)
        return Temperature::Mid;
    if (index == 5)
        return Temperature::Max;
    return Temperature::Min;
}

DepthButton currentDepthButton(const QString &standard, int sizeRow, const QString &flange)
{
    if (is(standard, "OST128")) {
        // Small tongue-groove and male-female sizes take the thin gasket.
        const bool thinFlange = is(flange, "B") || is(flange, "C");
        return sizeRow <= 20 && thinFlange ? DepthButton::D32 : DepthButton::D45;
    }
    if (is(standard, "GOST128"))
        return DepthButton::ByStandard;
    return DepthButton::D45;
}

QString depthText(DepthButton b)
{
    switch (b) {
    case DepthButton::D45: return QStringLiteral("4,5");
    case DepthButton::D32: return QStringLiteral("3,2");
    case DepthButton::D23: return QStringLiteral("2,3");
    case DepthButton::ByStandard:
    case DepthButton::Other: break;
    }
    return QString();
}

bool depth23Enabled(const QString &standard, int sizeRow)
{
    if (is(standard, "OST128") || is(standard, "OST287"))
        return false;
    if (is(standard, "EN1514"))
        return sizeRow < 15;
    return true;
}

bool depthByStandardEnabled(const QString &standard)
{
    return is(standard, "GOST128");
}

std::optional<DepthLabels> tableDepthLabels(const QString &tableDepth)
{
    static const QVector<DepthLabels> rows = {
        {QStringLiteral("2,3"), QStringLiteral("2,5"), QStringLiteral("2,0")},
        {QStringLiteral("2,8"), QStringLiteral("3,3"), QStringLiteral("2,5")},
        {QStringLiteral("4,2"), QStringLiteral("4,8"), QStringLiteral("3,5")},
        {QStringLiteral("6,5"), QStringLiteral("7,0"), QStringLiteral("5,0")},
        {QStringLiteral("3,5"), QStringLiteral("3,9"), QStringLiteral("3,0")},
    };
    for (const DepthLabels &r : rows)
        if (r.h == tableDepth)
            return r;
    return std::nullopt;
}

std::optional<DepthLabels> depthLabels(const QString &depth, bool otherDepth)
{
    if (otherDepth)
        return DepthLabels{depth, QString(), QString()};
    if (is(depth, "4,5"))
        return DepthLabels{depth, QStringLiteral("4,7"), QStringLiteral("3,0")};
    if (is(depth, "3,2"))
        return DepthLabels{depth, QStringLiteral("3,5"), QStringLiteral("2,5")};
    if (is(depth, "2,3"))
        return DepthLabels{depth, QStringLiteral("2,7"), QStringLiteral("2,0")};
    return std::nullopt;
}

bool h2Visible(const QString &type)
{
    return is(type, "A") || is(type, "B");
}

QVector<int> usedDiameterNumbers(const QString &type)
{
    if (is(type, "A") || is(type, "B"))
        return {2, 3};
    if (is(type, "C"))
        return {1, 2, 3};
    if (is(type, "D"))
        return {2, 3, 4};
    if (is(type, "E"))
        return {1, 2, 3, 4};
    return {};
}

QString gasketPicture(const QString &type)
{
    if (is(type, "E"))
        return QStringLiteral(":/res/pic/SNP_P_E.jpg");
    if (is(type, "D"))
        return QStringLiteral(":/res/pic/SNP_P_D.jpg");
    if (is(type, "C"))
        return QStringLiteral(":/res/pic/SNP_P_C.jpg");
    if (is(type, "A") || is(type, "B"))
        return QStringLiteral(":/res/pic/SNP_P_AB.jpg");
    return QString();
}

QString flangePicture(const QString &flange)
{
    // The file names carry the Cyrillic flange letters.
    if (is(flange, "A"))
        return QStringLiteral(":/res/pic/А.jpg");
    if (is(flange, "B"))
        return QStringLiteral(":/res/pic/Б.jpg");
    if (is(flange, "C"))
        return QStringLiteral(":/res/pic/В.jpg");
    return QString();
}

int diameterLabelY(const QString &type, int n)
{
    static const QStringList order = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                      QStringLiteral("D"), QStringLiteral("E")};
    static const int y[5][4] = {
        {110, 167, 205, 200},
        {110, 167, 203, 200},
        {130, 165, 205, 200},
        {110, 140, 170, 200},
        {110, 140, 170, 200},
    };
    const int t = order.indexOf(type);
    if (t < 0 || n < 1 || n > 4)
        return -1;
    return y[t][n - 1];
}

} // namespace snp
