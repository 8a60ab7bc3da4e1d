// The rules window: a long rule, the clash note, the smallest size, and the restore and
// delete confirmations over the window.

#include "RenderSupport.h"

#include "editor/RuleDetail.h"
#include "editor/RulesEditor.h"
#include "editor/RulesWindow.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"
#include "widgets/DesktopServices.h"

#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>

namespace {

// The window with its confirmation over it, the window dimmed a little.
bool saveWithDialog(QWidget* window, QWidget* dialog, const QString& path) {
    settle();
    QPixmap back = window->grab();
    const QPixmap front = dialog->grab();
    QPainter painter(&back);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(back.rect(), QColor(0, 0, 0, 60));
    const QSizeF size = front.deviceIndependentSize();
    const QRectF frame(QPointF((back.deviceIndependentSize().width() - size.width()) / 2, 56),
                       size);
    // What a window manager would add: a soft shadow and a hairline edge.
    for (int i = 1; i <= 8; ++i) {
        painter.setPen(QPen(QColor(0, 0, 0, 26 - 3 * i), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame.adjusted(-i, -i + 2, i, i + 2), 4 + i, 4 + i);
    }
    painter.drawPixmap(frame.topLeft(), front);
    painter.setPen(QPen(QColor(127, 127, 127, 110), 1));
    painter.drawRect(frame.adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.end();
    return save(back, path);
}

RuleDetail* selectRule(RulesEditor* editor, const QString& name) {
    for (const SortRule& rule : editor->store().rules())
        if (rule.name == name)
            editor->setSelection(rule.id);
    return editor->detail();
}

} // namespace

bool renderRulesWindow(const QString& home, const QString& out) {
    QDir().mkpath(home + "/Desktop/Images");
    QDir().mkpath(home + "/Desktop/Documents");
    DesktopServices quiet; // outlives the window, which goes with the folders
    TidiedFolders folders(home + "/.config/Vantor", home + "/Desktop");
    RuleStore& store = *folders.desktopRules();
    // A rule with a dozen types and a clash note, to show wrapping and the note line.
    const QUuid videos = store.addRule();
    store.rename(videos, QStringLiteral("Videos"));
    store.setDestination(videos, home + "/Desktop/Videos");
    store.addExtensions(QStringLiteral("mov mp4 mkv avi webm m4v wmv flv mpg mpeg 3gp ogv"),
                        videos);
    RulesWindow::show(folders, QString(), quiet);
    RulesEditor* editor = RulesWindow::window();

    // Entries a shade lighter than the window, as dark desktop themes draw them.
    const QPalette dark = darkPalette(QColor(0x36, 0x36, 0x36), QColor(0x3c, 0x3c, 0x3c));
    bool ok = true;
    for (const widgets::ColorScheme scheme :
         {widgets::ColorScheme::Light, widgets::ColorScheme::Dark}) {
        useScheme(scheme, dark);
        const auto path = [&](const char* view) {
            return out + u'/' + QString::fromUtf8(view) + u'-' + schemeName(scheme) + ".png";
        };

        editor->resize(680, 460);
        selectRule(editor, QStringLiteral("Videos"));
        ok &= save(editor, path("rules-window"));

        // A rule with conditions that sends what it takes to the Trash, scrolled to them.
        const QUuid old = store.addRule();
        store.rename(old, QStringLiteral("Old screenshots"));
        store.setKinds(old, {QStringLiteral("image/*")});
        store.setNamePattern(old, QStringLiteral("Screenshot*"));
        store.setMinSize(old, 5000000);
        store.setMinAgeDays(old, 30);
        store.setAction(old, SortRule::Action::Trash);
        editor->setSelection(old);
        ok &= save(editor, path("rules-window-trash"));
        editor->detail()->ensureWidgetVisible(
            editor->detail()->findChild<QWidget*>(QStringLiteral("minAgeField")));
        ok &= save(editor, path("rules-window-conditions"));
        store.remove(old);

        // Adding a type another rule holds brings up the note in place of the help line.
        RuleDetail* images = selectRule(editor, QStringLiteral("Images"));
        images->findChild<QLineEdit*>(QStringLiteral("typesField"))->setText("svg, pdf");
        images->addTypes();
        images->findChild<QLineEdit*>(QStringLiteral("typesField"))->setText("raw, ");
        ok &= save(editor, path("rules-window-note"));
        store.removeExtension(QStringLiteral("svg"), images->ruleId());
        store.removeExtension(QStringLiteral("pdf"), images->ruleId());
        store.addExtensions(QStringLiteral("pdf"), selectRule(editor, "Documents")->ruleId());

        // The smallest window, on a rule pointing at the Desktop itself with no types.
        const QUuid plain = store.addRule();
        store.setDestination(plain, home + "/Desktop");
        editor->setSelection(plain);
        editor->resize(editor->minimumSize());
        ok &= save(editor, path("rules-window-minimum"));
        store.remove(plain);

        // At 2x on a 1280x800 screen: the first size the window takes there, drawn at twice
        // the pixels.
        editor->setGeometry(
            RulesWindow::initialGeometry(QRect(0, 16, 640, 384), editor->minimumSize()));
        selectRule(editor, QStringLiteral("Videos"));
        settle();
        QPixmap doubled(editor->size() * 2);
        doubled.setDevicePixelRatio(2);
        doubled.fill(Qt::transparent);
        editor->render(&doubled);
        ok &= save(doubled, path("rules-window-2x"));

        editor->resize(680, 460);
        selectRule(editor, QStringLiteral("Images"));
        editor->confirmRestoreDefaults();
        settle();
        ok &= saveWithDialog(editor, editor->restoreConfirmation(), path("restore-confirmation"));
        editor->restoreConfirmation()->reject();
        settle();

        selectRule(editor, QStringLiteral("Videos"));
        editor->confirmDeleteSelectedRule();
        settle();
        ok &= saveWithDialog(editor, editor->deleteConfirmation(), path("rules-delete-confirm"));
        editor->deleteConfirmation()->reject();
        settle();
    }
    editor->close();
    return ok;
}

bool renderRulesWindowFolders(const QString& home, const QString& out) {
    QDir(home).removeRecursively();
    QDir().mkpath(home + "/Desktop");
    QDir().mkpath(home + "/Downloads");
    DesktopServices quiet;
    TidiedFolders folders(home + "/.config/Vantor", home + "/Desktop");
    QString downloads;
    if (folders.add(home + "/Downloads", &downloads) != TidiedFolders::Refusal::None)
        return false;
    RulesWindow::show(folders, downloads, quiet);
    RulesEditor* editor = RulesWindow::window();
    const QPalette dark = darkPalette(QColor(0x36, 0x36, 0x36), QColor(0x3c, 0x3c, 0x3c));
    bool ok = true;
    for (const widgets::ColorScheme scheme :
         {widgets::ColorScheme::Light, widgets::ColorScheme::Dark}) {
        useScheme(scheme, dark);
        editor->resize(680, 460);
        ok &= save(editor, out + "/rules-window-folders-" + schemeName(scheme) + ".png");
    }
    editor->close();
    return ok;
}
