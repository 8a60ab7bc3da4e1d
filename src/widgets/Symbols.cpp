#include "widgets/Symbols.h"

#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmapCache>
#include <QStandardPaths>

namespace widgets {

namespace {

const QString kFolderIcon = QStringLiteral("folder");

const QHash<QString, QStringList>& symbolTable() {
    static const QHash<QString, QStringList> table = {
        {"photo", {"image-x-generic"}},
        {"doc.text", {"x-office-document"}},
        {"shippingbox", {"package-x-generic"}},
        {"folder", {"folder"}},
        {"folder.fill", {"folder"}},
        {"gearshape", {"emblem-system", "preferences-system"}},
        {"power", {"system-shutdown"}},
        {"xmark", {"window-close"}},
        {"plus", {"list-add"}},
        {"minus", {"list-remove"}},
        {"magnifyingglass", {"system-search"}},
        {"lock.fill", {"changes-prevent"}},
        {"checkmark.circle.fill", {"emblem-ok"}},
        {"exclamationmark.triangle.fill", {"dialog-warning"}},
        {"arrow.uturn.backward.circle.fill", {"edit-undo"}},
        {"arrow.right.arrow.left", {"media-playlist-shuffle", "object-flip-horizontal"}},
        {"list.bullet.rectangle", {"view-list-bullet"}},
        {"tray.and.arrow.down", {VANTOR_APP_ID, "folder-download"}},
        {"tray.and.arrow.down.fill", {VANTOR_APP_ID, "folder-download"}},
    };
    return table;
}

// Vantor's own icon keeps its colours; every other entry is a one-colour symbol.
bool isMonochrome(const QString& iconName) {
    return iconName != QStringLiteral(VANTOR_APP_ID);
}

// The first theme name that resolves, the "-symbolic" variant before the plain one.
QString resolvedIconName(const QString& symbol) {
    static QHash<QString, QString> cache;
    const auto cached = cache.constFind(symbol);
    if (cached != cache.cend())
        return *cached;
    ensureIconTheme();
    QString found;
    const QStringList names = iconNamesForSymbol(symbol) + QStringList{kFolderIcon};
    for (const QString& name : names) {
        for (const QString& candidate : {name + QStringLiteral("-symbolic"), name}) {
            if (QIcon::hasThemeIcon(candidate)) {
                found = candidate;
                break;
            }
        }
        if (!found.isEmpty())
            break;
    }
    cache.insert(symbol, found);
    return found;
}

QPixmap tinted(const QPixmap& source, const QColor& color) {
    QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    painter.end();
    QPixmap result = QPixmap::fromImage(std::move(image));
    result.setDevicePixelRatio(source.devicePixelRatio());
    return result;
}

// Draws a symbolic theme icon in one colour, chosen when it is painted.
class TintedIconEngine : public QIconEngine {
  public:
    TintedIconEngine(QIcon base, QString name, std::optional<QColor> tint, bool monochrome)
        : m_base(std::move(base)), m_name(std::move(name)), m_tint(tint), m_monochrome(monochrome) {
    }

    QIconEngine* clone() const override { return new TintedIconEngine(*this); }
    QString key() const override { return QStringLiteral("VantorTinted"); }
    QString iconName() override { return m_name; }
    bool isNull() override { return m_base.isNull(); }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State state) override {
        return m_base.actualSize(size, QIcon::Normal, state);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State state) override {
        return m_base.availableSizes(QIcon::Normal, state);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap base = m_base.pixmap(size, 1.0, QIcon::Normal, state);
        if (base.isNull())
            return base;
        if (!m_monochrome)
            return mode == QIcon::Disabled ? m_base.pixmap(size, 1.0, QIcon::Disabled, state)
                                           : base;
        const QColor color = colorFor(mode);
        const QString cacheKey = QStringLiteral("vantor-%1-%2x%3-%4-%5")
                                     .arg(m_name)
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(color.rgba(), 0, 16)
                                     .arg(int(state));
        QPixmap result;
        if (!QPixmapCache::find(cacheKey, &result)) {
            result = tinted(base, color);
            QPixmapCache::insert(cacheKey, result);
        }
        return result;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap px = pixmap(rect.size() * dpr, mode, state);
        px.setDevicePixelRatio(dpr);
        const QSizeF drawn = px.deviceIndependentSize();
        const QPointF topLeft(rect.x() + (rect.width() - drawn.width()) / 2,
                              rect.y() + (rect.height() - drawn.height()) / 2);
        painter->drawPixmap(topLeft, px);
    }

  private:
    QColor colorFor(QIcon::Mode mode) const {
        const QPalette palette = QGuiApplication::palette();
        if (m_tint) {
            QColor color = *m_tint;
            if (mode == QIcon::Disabled)
                color.setAlphaF(color.alphaF() * 0.4f);
            return color;
        }
        switch (mode) {
        case QIcon::Disabled:
            return palette.color(QPalette::Disabled, QPalette::WindowText);
        case QIcon::Selected:
            return palette.color(QPalette::Active, QPalette::HighlightedText);
        default:
            return palette.color(QPalette::Active, QPalette::WindowText);
        }
    }

    QIcon m_base;
    QString m_name;
    std::optional<QColor> m_tint;
    bool m_monochrome;
};

QIcon makeIcon(const QString& symbol, std::optional<QColor> tint) {
    const QString name = resolvedIconName(symbol);
    if (name.isEmpty())
        return {};
    return QIcon(new TintedIconEngine(QIcon::fromTheme(name), name, tint, isMonochrome(name)));
}

} // namespace

void ensureIconTheme() {
    static bool done = false;
    if (done)
        return;
    done = true;
    // Some platform integrations (offscreen, minimal) search no system folders at all.
    QStringList paths = QIcon::themeSearchPaths();
    const QStringList systemPaths =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                  QStandardPaths::LocateDirectory);
    for (const QString& path : systemPaths)
        if (!paths.contains(path) && !paths.contains(QDir::cleanPath(path)))
            paths.append(path);
    // Vantor's own icons ship inside the binary as part of "hicolor", which every theme
    // inherits; an installed copy in the system folders is found first.
    paths.append(QStringLiteral(":/icons"));
    QIcon::setThemeSearchPaths(paths);
    // Adwaita has every symbolic icon Vantor uses; "hicolor" alone has none of them.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QStringLiteral("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

void preloadSymbols() {
    for (auto it = symbolTable().cbegin(); it != symbolTable().cend(); ++it)
        symbolPixmap(it.key(), 16, Qt::black, 1.0);
}

QStringList iconNamesForSymbol(const QString& symbol) {
    return symbolTable().value(symbol, QStringList{kFolderIcon});
}

QIcon symbolIcon(const QString& symbol) {
    return makeIcon(symbol, std::nullopt);
}

QIcon symbolIcon(const QString& symbol, const QColor& tint) {
    return makeIcon(symbol, tint);
}

QPixmap symbolPixmap(const QString& symbol, int size, const QColor& tint, qreal devicePixelRatio) {
    return symbolIcon(symbol, tint).pixmap(QSize(size, size), devicePixelRatio);
}

} // namespace widgets
