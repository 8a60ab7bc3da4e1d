#pragma once

#include <QDBusMessage>
#include <QObject>

#include <optional>

namespace platform {

// The desktop portal's org.freedesktop.appearance color-scheme: read once at start and
// followed through SettingChanged. Without a session bus it never has a value.
class AppearancePortal : public QObject {
    Q_OBJECT

  public:
    explicit AppearancePortal(QObject* parent = nullptr);

    // 0 no preference, 1 prefer dark, 2 prefer light; nullopt until the portal answered or
    // when its answer was no number.
    std::optional<uint> colorScheme() const { return m_colorScheme; }

  signals:
    void colorSchemeChanged();

  private slots:
    void onSettingChanged(const QDBusMessage& message);

  private:
    void apply(const QVariant& value);

    std::optional<uint> m_colorScheme;
};

} // namespace platform
