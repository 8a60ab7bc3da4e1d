#include "app/SystemServices.h"

#include "editor/RulesWindow.h"
#include "platform/gui/FileManager.h"

#include <QCoreApplication>
#include <QFileDialog>

void SystemServices::reveal(const QString& path, ShownCallback done) {
    platform::revealInFileManager(path, std::move(done));
}

void SystemServices::openFolder(const QString& folder, ShownCallback done) {
    const bool shown = platform::openFolder(folder);
    if (done)
        done(shown);
}

std::optional<QString> SystemServices::chooseFolder(QWidget* parent, const QString& message,
                                                    const QString& startFolder) {
    // What QFileDialog::getExistingDirectory() does, with an accept button that says what it
    // does. Left native (no DontUseNativeDialog): where Qt has a platform theme for the
    // desktop (GTK, KDE, the portal's FileChooser), that shows the desktop's own chooser; Qt's
    // own dialog only otherwise.
    QFileDialog dialog(parent, message, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept,
                        QCoreApplication::translate("SystemServices", "Use Folder"));
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}

void SystemServices::showRules(TidiedFolders& folders, const QString& folderId) {
    RulesWindow::show(folders, folderId, *this);
}
