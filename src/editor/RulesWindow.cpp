#include "editor/RulesWindow.h"

#include "editor/RulesEditor.h"
#include "rules/TidiedFolders.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace {

QPointer<RulesEditor> theWindow;
constexpr QSize kFirstSize(680, 460);

} // namespace

RulesEditor* RulesWindow::window() {
    return theWindow.data();
}

QRect RulesWindow::initialGeometry(const QRect& available, const QSize& minimum) {
    const QSize size = kFirstSize.boundedTo(available.size()).expandedTo(minimum);
    QRect frame(QPoint(), size);
    frame.moveCenter(available.center());
    // Too big for the screen even at its smallest: the title bar and the top left stay on it.
    frame.moveLeft(
        qMax(available.left(), qMin(frame.left(), available.right() + 1 - size.width())));
    frame.moveTop(qMax(available.top(), qMin(frame.top(), available.bottom() + 1 - size.height())));
    return frame;
}

void RulesWindow::show(TidiedFolders& folders, const QString& folderId, DesktopServices& services) {
    if (!theWindow) {
        auto* editor = new RulesEditor(folders, services);
        editor->setWindowTitle(RulesEditor::tr("Vantor Rules"));
        // Closing only hides a parentless widget; it is never rebuilt in this run.
        editor->setAttribute(Qt::WA_DeleteOnClose, false);
        QObject::connect(&folders, &QObject::destroyed, editor, [editor] { delete editor; });
        // On the screen the user works on: where the pointer is.
        const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen)
            editor->setGeometry(
                initialGeometry(screen->availableGeometry(), editor->minimumSize()));
        else
            editor->resize(kFirstSize);
        theWindow = editor;
    }
    RulesEditor* editor = theWindow;
    editor->showFolder(folderId);
    editor->setWindowState(editor->windowState() & ~Qt::WindowMinimized);
    editor->show();
    editor->raise();
    editor->activateWindow();
}
