// Renders the rules window and its confirmation to PNG files, light and dark, from a
// throw-away home folder: vantor_render_editor [output folder] (default: the current one).

#include "app/Accent.h"
#include "editor/RuleDetail.h"
#include "editor/RulesEditor.h"
#include "editor/RulesWindow.h"
#include "rules/RuleStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cstdio>

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
    // An offscreen screen of desktop size: dialogs size themselves by the screen.
    const QString screens = root + "/offscreen.json";
    QFile config(screens);
    if (config.open(QIODevice::WriteOnly))
        config.write(R"({"screens": [{"name": "Screen", "x": 0, "y": 0, "width": 1920,
                       "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.close();
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens));
    // Neither the portal nor a real file manager may take part.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    QDir().mkpath(root + "/Desktop/Images");
    QDir().mkpath(root + "/Desktop/Documents");
}

QPalette darkPalette() {
    // Entries a shade lighter than the window, as dark desktop themes draw them.
    const QColor window(0x2b, 0x2b, 0x2b), base(0x36, 0x36, 0x36), text(0xf2, 0xf2, 0xf2);
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
    p.setColor(QPalette::AlternateBase, QColor(0x3c, 0x3c, 0x3c));
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
    const bool ok = back.save(path);
    QTextStream(stdout) << (ok ? "wrote " : "failed ") << path << '\n';
    return ok;
}

RuleDetail* selectRule(RulesEditor* editor, const QString& name) {
    for (const SortRule& rule : editor->store().rules())
        if (rule.name == name)
            editor->setSelection(rule.id);
    return editor->detail();
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    useThrowAwayHome(home.path());

    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font = QApplication::font();
    font.setPointSizeF(10);
    QApplication::setFont(font);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(out);

    RuleStore store(home.path() + "/.config/Vantor");
    // A rule with a dozen types and a clash note, to show wrapping and the note line.
    const QUuid videos = store.addRule();
    store.rename(videos, QStringLiteral("Videos"));
    store.setDestination(videos, home.path() + "/Desktop/Videos");
    store.addExtensions(QStringLiteral("mov mp4 mkv avi webm m4v wmv flv mpg mpeg 3gp ogv"),
                        videos);
    RulesWindow::show(store);
    RulesEditor* editor = RulesWindow::window();
    editor->setDetailServices({});

    bool ok = true;
    const QPalette light = QApplication::style()->standardPalette();
    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? darkPalette() : light);
        const QString scheme = dark ? QStringLiteral("dark") : QStringLiteral("light");

        editor->resize(680, 460);
        selectRule(editor, QStringLiteral("Videos"));
        ok &= save(editor, out + "/rules-window-" + scheme + ".png");

        // Adding a type another rule holds brings up the note in place of the help line.
        RuleDetail* images = selectRule(editor, QStringLiteral("Images"));
        images->findChild<QLineEdit*>(QStringLiteral("typesField"))->setText("svg, pdf");
        images->addTypes();
        images->findChild<QLineEdit*>(QStringLiteral("typesField"))->setText("raw, ");
        ok &= save(editor, out + "/rules-window-note-" + scheme + ".png");
        store.removeExtension(QStringLiteral("svg"), images->ruleId());
        store.removeExtension(QStringLiteral("pdf"), images->ruleId());
        store.addExtensions(QStringLiteral("pdf"), selectRule(editor, "Documents")->ruleId());

        // The smallest window, on a rule pointing at the Desktop itself with no types.
        const QUuid plain = store.addRule();
        store.setDestination(plain, home.path() + "/Desktop");
        editor->setSelection(plain);
        editor->resize(editor->minimumSize());
        ok &= save(editor, out + "/rules-window-minimum-" + scheme + ".png");
        store.remove(plain);

        editor->resize(680, 460);
        selectRule(editor, QStringLiteral("Images"));
        editor->confirmRestoreDefaults();
        settle();
        ok &= saveWithDialog(editor, editor->restoreConfirmation(),
                             out + "/restore-confirmation-" + scheme + ".png");
        editor->restoreConfirmation()->reject();
        settle();
    }
    editor->close();
    return ok ? 0 : 1;
}
