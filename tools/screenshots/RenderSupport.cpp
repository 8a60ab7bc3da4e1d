#include "RenderSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStyle>
#include <QStyleFactory>
#include <QTextStream>
#include <QWidget>

void useThrowAwayHome(const QString& root) {
    const QByteArray home = root.toUtf8();
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_STATE_HOME", home + "/.local/state");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qunsetenv("XDG_CONFIG_DIRS");
    // An offscreen screen of desktop size: dialogs size themselves by the screen.
    const QString screens = root + "/offscreen.json";
    QFile config(screens);
    if (config.open(QIODevice::WriteOnly))
        config.write("{\"screens\": [{\"name\": \"Screen\", \"x\": 0, \"y\": 0, \"width\": 1920, "
                     "\"height\": 1080, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}");
    config.close();
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens));
    // Neither the portal nor a real file manager may take part.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

void useRenderLook() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font = QApplication::font();
    font.setPointSizeF(10);
    QApplication::setFont(font);
}

QPalette darkPalette(const QColor& base, const QColor& alternateBase) {
    const QColor window(0x2b, 0x2b, 0x2b), text(0xf2, 0xf2, 0xf2);
    const QColor button(0x3a, 0x3a, 0x3a), disabled(0x80, 0x80, 0x80);
    QPalette p(button, window);
    for (const QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::WindowText, text);
        p.setColor(g, QPalette::Text, text);
        p.setColor(g, QPalette::ButtonText, text);
        p.setColor(g, QPalette::BrightText, Qt::white);
        p.setColor(g, QPalette::PlaceholderText, QColor(0xf2, 0xf2, 0xf2, 0x8c));
        p.setColor(g, QPalette::ToolTipBase, QColor(0x40, 0x40, 0x40));
        p.setColor(g, QPalette::ToolTipText, text);
    }
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, alternateBase);
    p.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x4a));
    p.setColor(QPalette::Midlight, QColor(0x42, 0x42, 0x42));
    p.setColor(QPalette::Mid, QColor(0x24, 0x24, 0x24));
    p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x18));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, widgets::quillon(widgets::ColorScheme::Dark));
    p.setColor(QPalette::HighlightedText, Qt::white);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    p.setColor(QPalette::Disabled, QPalette::PlaceholderText, QColor(0xf2, 0xf2, 0xf2, 0x50));
    p.setColor(QPalette::Disabled, QPalette::Base, window);
    p.setColor(QPalette::Disabled, QPalette::Button, window);
    return p;
}

void useScheme(widgets::ColorScheme scheme, const QPalette& dark) {
    const bool isDark = scheme == widgets::ColorScheme::Dark;
    Appearance::instance().setOverride(scheme);
    QApplication::setPalette(isDark ? dark : QApplication::style()->standardPalette());
}

QString schemeName(widgets::ColorScheme scheme) {
    return scheme == widgets::ColorScheme::Dark ? QStringLiteral("dark") : QStringLiteral("light");
}

void settle() {
    for (int i = 0; i < 25; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool save(const QPixmap& pixmap, const QString& path) {
    const bool ok = pixmap.save(path);
    QTextStream(stdout) << (ok ? "wrote " : "failed ") << path << '\n';
    return ok;
}

bool save(QWidget* widget, const QString& path) {
    settle();
    return save(widget->grab(), path);
}
