#include "platform/gui/FileManager.h"

#include "platform/FileSystem.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace {

constexpr int kShowItemsTimeoutMs = 2000;

bool openContainingFolder(const QString& path) {
    return openFolder(deletingLastPathComponent(path));
}

} // namespace

bool openFolder(const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void revealInFileManager(const QString& path, ShownCallback done) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        const bool shown = openContainingFolder(path);
        if (done)
            done(shown);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
    // Asynchronous: a file manager that is slow to start must not freeze the window.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kShowItemsTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [path, done](QDBusPendingCallWatcher* finished) {
                         const bool shown = !finished->isError() || openContainingFolder(path);
                         finished->deleteLater();
                         if (done)
                             done(shown);
                     });
}

} // namespace platform
