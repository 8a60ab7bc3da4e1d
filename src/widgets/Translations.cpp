#include "widgets/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace widgets {

namespace {

QLocale& installedLocale() {
    static QLocale locale(QLocale::English);
    return locale;
}

} // namespace

bool installTranslations(const QLocale& locale) {
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return false;
    auto* own = new QTranslator(QCoreApplication::instance());
    if (!own->load(locale, QStringLiteral("vantor"), QStringLiteral("_"),
                   QStringLiteral(":/i18n"))) {
        delete own;
        return false;
    }
    QCoreApplication::installTranslator(own);
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    installedLocale() = locale;
    return true;
}

QLocale interfaceLocale() {
    return installedLocale();
}

} // namespace widgets
