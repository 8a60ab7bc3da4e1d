#include "editor/RulesWindow.h"

#include "editor/RulesEditor.h"
#include "rules/RuleStore.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace {

QPointer<RulesEditor> theWindow;

} // namespace

RulesEditor* RulesWindow::window() {
    return theWindow.data();
}

void RulesWindow::show(RuleStore& store, DesktopServices& services) {
    if (!theWindow) {
        auto* editor = new RulesEditor(store, services);
        editor->setWindowTitle(QStringLiteral("Vantor Rules"));
        editor->resize(680, 460);
        // Closing only hides a parentless widget; it is never rebuilt in this run.
        editor->setAttribute(Qt::WA_DeleteOnClose, false);
        QObject::connect(&store, &QObject::destroyed, editor, [editor] { delete editor; });
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(), editor->size());
            frame.moveCenter(screen->availableGeometry().center());
            editor->move(frame.topLeft());
        }
        theWindow = editor;
    }
    RulesEditor* editor = theWindow;
    editor->setWindowState(editor->windowState() & ~Qt::WindowMinimized);
    editor->show();
    editor->raise();
    editor->activateWindow();
}
