#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QtGlobal>
#include <QTranslator>

namespace translations {

bool install(QCoreApplication *app)
{
    const QString dir = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    auto *toolkit = new QTranslator(app);
    if (!toolkit->load(QStringLiteral("qtbase_ru"), dir)) {
        qWarning("no Russian catalogue of the toolkit in %s; its buttons stay in English",
                 qPrintable(dir));
        delete toolkit;
        return false;
    }
    app->installTranslator(toolkit);
    return true;
}

} // namespace translations
