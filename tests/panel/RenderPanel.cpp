// Renders the panel's pages to PNG files, light and dark, from a throw-away home folder with
// a made-up Desktop: vantor_render_panel [output folder] (default: the current one).

#include "app/Accent.h"
#include "cleaner/DesktopCleaner.h"
#include "panel/PanelView.h"
#include "panel/SettingsView.h"
#include "panel/ToggleSwitch.h"
#include "rules/RuleStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// Points HOME and the XDG folders into `root` before anything reads them, so the render
// never sees or changes the real home folder.
void useThrowAwayHome(const QString& root) {
    const QByteArray home = root.toUtf8();
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_STATE_HOME", home + "/.local/state");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qunsetenv("XDG_CONFIG_DIRS");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Neither the portal nor a real file manager may take part.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

QPalette darkPalette() {
    const QColor window(0x2b, 0x2b, 0x2b), base(0x1f, 0x1f, 0x1f), text(0xf2, 0xf2, 0xf2);
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
    p.setColor(QPalette::AlternateBase, QColor(0x26, 0x26, 0x26));
    p.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x4a));
    p.setColor(QPalette::Midlight, QColor(0x42, 0x42, 0x42));
    p.setColor(QPalette::Mid, QColor(0x24, 0x24, 0x24));
    p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x18));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, ui::quillon(ui::ColorScheme::Dark));
    p.setColor(QPalette::HighlightedText, Qt::white);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    p.setColor(QPalette::Disabled, QPalette::PlaceholderText, QColor(0xf2, 0xf2, 0xf2, 0x50));
    p.setColor(QPalette::Disabled, QPalette::Base, window);
    p.setColor(QPalette::Disabled, QPalette::Button, window);
    return p;
}

void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool save(QWidget* widget, const QString& path) {
    settle();
    const bool ok = widget->grab().save(path);
    QTextStream(stdout) << (ok ? "wrote " : "failed ") << path << '\n';
    return ok;
}

void touch(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("x");
}

// A Desktop as people leave it: screenshots, photos, papers, a disk image, odds and ends.
void fillDesktop(const QString& desktop) {
    QDir().mkpath(desktop);
    for (const char* name :
         {"Screenshot 2024-05-02 at 10.14.31.png", "IMG_2041.jpg", "IMG_2042.jpg",
          "holiday-panorama-with-a-rather-long-name.heic", "Quarterly report.pdf",
          "meeting notes.txt", "ubuntu-24.04-desktop-amd64.iso", "debian-12.5.0-amd64-netinst.iso",
          "build.sh", "LICENSE"})
        touch(desktop + u'/' + QString::fromUtf8(name));
}

// A record of an earlier clean that happened yesterday, as if read at start-up.
void writeYesterdaysRecord(const QString& stateFolder, const QString& desktop) {
    DesktopCleaner::CleanRecord record;
    record.date = QDateTime::currentDateTimeUtc().addDays(-1);
    for (const char* name : {"a.png", "b.png", "c.pdf", "d.pdf"})
        record.moves.append({desktop + "/" + name, desktop + "/Images/" + name});
    QDir().mkpath(stateFolder);
    QFile file(stateFolder + "/last-clean.json");
    if (file.open(QIODevice::WriteOnly))
        file.write(DesktopCleaner::encodeRecord(record));
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    useThrowAwayHome(home.path());

    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTOR_VERSION));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font = QApplication::font();
    font.setPointSizeF(10);
    QApplication::setFont(font);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(out);

    const QString desktop = home.path() + "/Desktop";
    const QString state = home.path() + "/.local/state/Vantor";
    const PanelServices quiet{[](const QUrl&) {}, [](const QString&) {}, [](RuleStore&) {},
                              [] { return QDateTime::currentDateTimeUtc(); }};

    bool ok = true;
    const QPalette light = QApplication::style()->standardPalette();
    for (const bool dark : {false, true}) {
        ui::Appearance::instance().setOverride(dark ? ui::ColorScheme::Dark
                                                    : ui::ColorScheme::Light);
        QApplication::setPalette(dark ? darkPalette() : light);
        const QString scheme = dark ? QStringLiteral("-dark") : QStringLiteral("-light");
        const auto path = [&](const char* page) {
            return out + "/panel-" + QString::fromUtf8(page) + scheme + ".png";
        };

        QDir(home.path()).removeRecursively();
        fillDesktop(desktop);
        writeYesterdaysRecord(state, desktop);
        RuleStore store(home.path() + "/.config/Vantor");
        DesktopCleaner cleaner(&store, desktop, state);
        PanelView panel(cleaner, quiet);
        panel.show();

        // Files to put away, and yesterday's clean that can still be undone.
        ok &= save(&panel, path("clean"));

        // A clean that cannot make the installers' folder: a file stands in its place.
        touch(desktop + "/Installers");
        cleaner.clean();
        ok &= save(&panel, path("failure"));

        // Once that is sorted out, the rest goes and the desktop is clean.
        QFile::remove(desktop + "/Installers");
        cleaner.clean();
        ok &= save(&panel, path("empty"));

        panel.setShowingSettings(true);
        ok &= save(&panel, path("settings"));

        // Turning on login start where the autostart folder cannot be made.
        touch(home.path() + "/.config/autostart");
        panel.settingsView()->loginSwitch()->click();
        ok &= save(&panel, path("settings-error"));
        panel.setShowingSettings(false);

        QDir(desktop).removeRecursively();
        cleaner.rescan();
        ok &= save(&panel, path("no-access"));
        panel.hide();
    }
    return ok ? 0 : 1;
}
