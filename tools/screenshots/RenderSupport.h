#pragma once

// What the screenshot renderers share: a throw-away home, a fixed look, and PNG saving.

#include "widgets/Colors.h"

#include <QColor>
#include <QPalette>
#include <QPixmap>
#include <QString>

class QWidget;

// Points HOME and the XDG folders into `root`, and the offscreen platform at a desktop-sized
// screen. Call before the QApplication exists, so nothing reads the real home folder.
void useThrowAwayHome(const QString& root);

// Fusion at 10 pt, so renders do not depend on the desktop they are made on.
void useRenderLook();

// A dark palette on Vantor's accent; `base` and `alternateBase` fill entry fields and lists.
QPalette darkPalette(const QColor& base, const QColor& alternateBase);

// Pins the scheme and sets its palette: Fusion's own for light, `dark` for dark.
void useScheme(widgets::ColorScheme scheme, const QPalette& dark);

// "light" or "dark", as the file names spell it.
QString schemeName(widgets::ColorScheme scheme);

// Lets queued layouts, repaints and deletions happen before a grab.
void settle();

// Saves to `path` and says so on stdout; false when the file could not be written.
bool save(const QPixmap& pixmap, const QString& path);
bool save(QWidget* widget, const QString& path);

// The renderers: each writes its PNG files into `out`, using the home folder `home`.
bool renderRulesWindow(const QString& home, const QString& out);
bool renderPanel(const QString& home, const QString& out);
// The panel and its settings with Downloads tidied beside the Desktop.
bool renderTwoFolders(const QString& home, const QString& out);
// The rules window with Downloads tidied beside the Desktop.
bool renderRulesWindowFolders(const QString& home, const QString& out);
// The panel with thirty rules on a 1280x800 screen, into the file `path`.
bool renderManyRules(const QString& home, const QString& path);
// The panel in German; installs the German translation, so it runs last.
bool renderGermanPanel(const QString& home, const QString& out);
