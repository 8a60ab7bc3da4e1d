// The panel's pages, from a made-up Desktop: files to put away, a failed clean, a clean
// Desktop, settings with and without an error, with automatic tidying and a history of
// cleans, and no access to the Desktop; then with Downloads tidied too.

#include "MadeUpHistory.h"
#include "RenderSupport.h"

#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "panel/PanelView.h"
#include "panel/SettingsView.h"
#include "platform/FileLock.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"
#include "widgets/DesktopServices.h"
#include "widgets/ToggleSwitch.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPixmap>

namespace {

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

// A few cleans of the last days, automatic and by hand, one of them put back.
QList<CleanSummary> madeUpHistory() {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    CleanSummary putBack{QStringLiteral("2"), now.addDays(-1), 1, true, true};
    putBack.putBackAt = now.addSecs(-50 * 60);
    return {{QStringLiteral("4"), now.addSecs(-2 * 60), 3, true, false},
            {QStringLiteral("3"), now.addSecs(-3 * 3600), 12, false, false},
            putBack,
            {QStringLiteral("1"), now.addDays(-3), 27, false, false},
            {QStringLiteral("0"), now.addDays(-9), 5, true, false}};
}

// What a download folder gathers: papers, pictures, archives, an installer, a half-download.
void fillDownloads(const QString& downloads) {
    QDir().mkpath(downloads);
    for (const char* name :
         {"statement-2024-04.pdf", "boarding pass.pdf", "wallpaper-dunes.jpg",
          "photos-from-the-trip.zip", "fonts.tar.gz", "tool-setup-2.4.iso", "movie.part"})
        touch(downloads + u'/' + QString::fromUtf8(name));
}

QString settingsFile(const QString& home) {
    return home + "/.config/Vantor/settings.ini";
}

// A record of an earlier clean that happened yesterday, as if read at start-up.
void writeYesterdaysRecord(const QString& stateFolder, const QString& desktop) {
    CleanRecord record;
    record.date = QDateTime::currentDateTimeUtc().addDays(-1);
    for (const char* name : {"a.png", "b.png", "c.pdf", "d.pdf"})
        record.moves.append({desktop + "/" + name, desktop + "/Images/" + name});
    QDir().mkpath(stateFolder);
    QFile file(stateFolder + "/last-clean.json");
    if (file.open(QIODevice::WriteOnly))
        file.write(record.encode());
}

} // namespace

bool renderPanel(const QString& home, const QString& out) {
    const QString desktop = home + "/Desktop";
    const QString state = home + "/.local/state/Vantor";
    DesktopServices quiet;

    const QPalette dark = darkPalette(QColor(0x1f, 0x1f, 0x1f), QColor(0x26, 0x26, 0x26));
    bool ok = true;
    for (const widgets::ColorScheme scheme :
         {widgets::ColorScheme::Light, widgets::ColorScheme::Dark}) {
        useScheme(scheme, dark);
        const auto path = [&](const char* page) {
            return out + "/panel-" + QString::fromUtf8(page) + u'-' + schemeName(scheme) + ".png";
        };

        // Each scheme starts from the same made-up home, whatever ran before.
        QDir(home).removeRecursively();
        fillDesktop(desktop);
        writeYesterdaysRecord(state, desktop);
        TidiedFolders storeFolders(home + "/.config/Vantor", desktop);
        Cleaner cleaner(&storeFolders, state);
        AutoTidySettings autoTidy(settingsFile(home));
        MadeUpHistory history(madeUpHistory());
        PanelView panel(cleaner, autoTidy, quiet);
        panel.show();

        // Files to put away, and yesterday's clean that can still be undone.
        ok &= save(&panel, path("clean"));

        // A rule that sends screenshots to the Trash, first in the list: its row says so.
        RuleStore& rules = *storeFolders.desktopRules();
        const QUuid trash = rules.addRule();
        rules.rename(trash, QStringLiteral("Screenshots"));
        rules.setNamePattern(trash, QStringLiteral("Screenshot*"));
        rules.setAction(trash, SortRule::Action::Trash);
        rules.moveRule(trash, 0);
        ok &= save(&panel, path("trash"));
        rules.remove(trash);

        // A clean that cannot make the installers' folder: a file stands in its place.
        touch(desktop + "/Installers");
        cleaner.clean();
        ok &= save(&panel, path("failure"));

        // Once that is sorted out, the rest goes and the desktop is clean. Caught half-way
        // (another cleaner holds the record folder for a moment), the line counts the moves.
        QFile::remove(desktop + "/Installers");
        {
            auto other = platform::FileLock::acquire(state + "/lock", 0);
            cleaner.setBusyWait(10000);
            cleaner.startClean();
            emit cleaner.progress(1234, 10000);
            for (int i = 0; i < 5; ++i)
                settle();
            ok &= save(&panel, path("moving"));
        }
        while (cleaner.isBusy())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();
        ok &= save(&panel, path("empty"));

        panel.setShowingSettings(true);
        ok &= save(&panel, path("settings"));

        // Turning on login start where the autostart folder cannot be made.
        touch(home + "/.config/autostart");
        panel.settingsView()->loginSwitch()->click();
        ok &= save(&panel, path("settings-error"));
        panel.setShowingSettings(false);

        // Tidying automatically, with the last few cleans to put back.
        QFile::remove(home + "/.config/autostart");
        autoTidy.setEnabled(true);
        panel.useHistory(history);
        panel.setShowingSettings(true);
        ok &= save(&panel, path("settings-history"));

        // At 2x on a 1280x800 screen (384 high below its top bar): the page scrolls, drawn
        // at twice the pixels.
        panel.setAvailableHeight(384);
        settle();
        QPixmap doubled(panel.size() * 2);
        doubled.setDevicePixelRatio(2);
        doubled.fill(Qt::transparent);
        panel.render(&doubled);
        ok &= save(doubled, path("settings-2x"));
        panel.setAvailableHeight(0);
        panel.setShowingSettings(false);

        QDir(desktop).removeRecursively();
        cleaner.rescan();
        ok &= save(&panel, path("no-access"));
        panel.hide();

        ok &= renderManyRules(home, path("many-rules"));
    }
    return ok;
}

bool renderManyRules(const QString& home, const QString& path) {
    // Thirty rules with a file each, on a 1280x800 screen: the rows scroll, the rest stays.
    const QString desktop = home + "/Desktop";
    const QString state = home + "/.local/state/Vantor";
    DesktopServices quiet;
    QDir(home).removeRecursively();
    fillDesktop(desktop);
    writeYesterdaysRecord(state, desktop);
    TidiedFolders storeFolders(home + "/.config/Vantor", desktop);
    RuleStore& store = *storeFolders.desktopRules();
    const char* kinds[] = {"Videos",     "Music",     "Archives",     "Fonts",       "Code",
                           "Designs",    "Ebooks",    "Spreadsheets", "Slides",      "Vectors",
                           "Raw photos", "Subtitles", "Torrents",     "Disk images", "Scripts",
                           "Logs",       "Backups",   "Models",       "Maps",        "Calendars",
                           "Contacts",   "Keys",      "Notebooks",    "Databases",   "Patches",
                           "Playlists",  "Sketches"};
    int n = 0;
    for (const char* kind : kinds) {
        const QUuid id = store.addRule();
        store.rename(id, QString::fromUtf8(kind));
        const QString type = QStringLiteral("k%1").arg(++n);
        store.addExtensions(type, id);
        touch(desktop + QStringLiteral("/%1 one.%2").arg(QString::fromUtf8(kind), type));
        touch(desktop + QStringLiteral("/%1 two.%2").arg(QString::fromUtf8(kind), type));
    }
    Cleaner cleaner(&storeFolders, state);
    AutoTidySettings autoTidy(settingsFile(home));
    PanelView panel(cleaner, autoTidy, quiet);
    panel.setAvailableHeight(768);
    panel.show();
    return save(&panel, path);
}

bool renderGermanPanel(const QString& home, const QString& out) {
    const QString desktop = home + "/Desktop";
    const QString state = home + "/.local/state/Vantor";
    DesktopServices quiet;
    bool ok = true;
    for (const widgets::ColorScheme scheme : {widgets::ColorScheme::Light}) {
        useScheme(scheme, darkPalette(QColor(0x1f, 0x1f, 0x1f), QColor(0x26, 0x26, 0x26)));
        QDir(home).removeRecursively();
        fillDesktop(desktop);
        writeYesterdaysRecord(state, desktop);
        TidiedFolders storeFolders(home + "/.config/Vantor", desktop);
        Cleaner cleaner(&storeFolders, state);
        AutoTidySettings autoTidy(settingsFile(home));
        MadeUpHistory history(madeUpHistory());
        PanelView panel(cleaner, autoTidy, quiet);
        panel.show();
        ok &= save(&panel, out + "/panel-clean-de-" + schemeName(scheme) + ".png");
        autoTidy.setEnabled(true);
        panel.useHistory(history);
        panel.setShowingSettings(true);
        ok &= save(&panel, out + "/panel-settings-de-" + schemeName(scheme) + ".png");
    }
    return ok;
}

bool renderTwoFolders(const QString& home, const QString& out) {
    const QString desktop = home + "/Desktop";
    const QString downloads = home + "/Downloads";
    const QString state = home + "/.local/state/Vantor";
    DesktopServices quiet;
    const QPalette dark = darkPalette(QColor(0x1f, 0x1f, 0x1f), QColor(0x26, 0x26, 0x26));
    bool ok = true;
    for (const widgets::ColorScheme scheme :
         {widgets::ColorScheme::Light, widgets::ColorScheme::Dark}) {
        useScheme(scheme, dark);
        const auto path = [&](const char* page) {
            return out + "/panel-" + QString::fromUtf8(page) + u'-' + schemeName(scheme) + ".png";
        };
        QDir(home).removeRecursively();
        fillDesktop(desktop);
        fillDownloads(downloads);
        writeYesterdaysRecord(state, desktop);
        TidiedFolders storeFolders(home + "/.config/Vantor", desktop);
        if (storeFolders.add(downloads) != TidiedFolders::Refusal::None)
            return false;
        Cleaner cleaner(&storeFolders, state);
        AutoTidySettings autoTidy(settingsFile(home));
        autoTidy.setEnabled(storeFolders.folders().last().id, true);
        PanelView panel(cleaner, autoTidy, quiet);
        panel.show();
        ok &= save(&panel, path("two-folders"));

        panel.setShowingSettings(true);
        ok &= save(&panel, path("settings-folders"));
        panel.setShowingSettings(false);

        // Downloads gone, the Desktop as it was.
        QDir(downloads).removeRecursively();
        cleaner.rescan();
        ok &= save(&panel, path("two-folders-no-access"));
        panel.hide();
    }
    return ok;
}
