// The English texts are written with their counts ("%n files to put away"); their singular
// forms ("1 file to put away") come from a translation of their own. It is installed as
// soon as an application object exists, so every program that shows a view has them; this
// file is linked into each such program whole, not picked from an archive.

#include <QCoreApplication>
#include <QTranslator>

namespace {

void installEnglishForms() {
    auto* english = new QTranslator(QCoreApplication::instance());
    if (english->load(QStringLiteral(":/i18n/vantor_en.qm")))
        QCoreApplication::installTranslator(english);
    else
        delete english;
}

Q_COREAPP_STARTUP_FUNCTION(installEnglishForms)

} // namespace
