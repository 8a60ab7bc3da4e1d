#include "platform/gui/TrayAvailability.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
constexpr int kXEmbedPollMs = 2000;
} // namespace

TrayAvailability::TrayAvailability(QObject* parent) : QObject(parent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        m_watcher = new QDBusServiceWatcher(kWatcherService, bus,
                                            QDBusServiceWatcher::WatchForRegistration, this);
        connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, &TrayAvailability::check);
    }
    // An XEmbed tray announces itself only to clients that listen on the root window;
    // asking for the selection owner now and then is simpler and cheap.
    if (QGuiApplication::platformName() == u"xcb") {
        m_poll.setInterval(kXEmbedPollMs);
        connect(&m_poll, &QTimer::timeout, this, &TrayAvailability::check);
        m_poll.start();
    }
    check();
}

bool TrayAvailability::hasStatusNotifierHost() const {
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() &&
           bus.interface()->isServiceRegistered(kWatcherService).value();
}

bool TrayAvailability::hasXEmbedTray() const {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return false;
    xcb_connection_t* c = x11->connection();
    // The tray of the default screen owns the selection _NET_SYSTEM_TRAY_S<screen>.
    int screen = 0;
    if (const char* display = std::getenv("DISPLAY")) {
        const char* dot = std::strrchr(display, '.');
        const char* colon = std::strrchr(display, ':');
        if (dot && colon && dot > colon)
            screen = std::atoi(dot + 1);
    }
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 1, uint16_t(name.size()), name.constData()), nullptr);
    if (!atom)
        return false;
    bool owned = false;
    if (atom->atom != XCB_ATOM_NONE) {
        xcb_get_selection_owner_reply_t* owner =
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
        owned = owner && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
    }
    std::free(atom);
    return owned;
}

void TrayAvailability::check() {
    if (m_available)
        return;
    if (!hasStatusNotifierHost() && !hasXEmbedTray())
        return;
    m_available = true;
    m_poll.stop();
    emit available();
}

} // namespace platform
