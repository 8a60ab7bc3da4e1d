#include "platform/gui/Autostart.h"

#include "platform/FileSystem.h"
#include "platform/Locations.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

// The value of `key` in the [Desktop Entry] group, or an empty string.
QString desktopEntryValue(const QByteArray& content, const QByteArray& key) {
    bool inEntry = false;
    for (QByteArray line : content.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[')) {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry || line.startsWith('#'))
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && line.left(eq).trimmed() == key)
            return QString::fromUtf8(line.mid(eq + 1).trimmed());
    }
    return {};
}

bool entryEnables(const QString& path) {
    const auto content = readWholeFile(path);
    if (!content)
        return false;
    return desktopEntryValue(*content, "Hidden").compare(u"true", Qt::CaseInsensitive) != 0 &&
           desktopEntryValue(*content, "X-GNOME-Autostart-enabled")
                   .compare(u"false", Qt::CaseInsensitive) != 0;
}

// Exec quoting of the desktop entry format: quote arguments with reserved characters,
// escape what stays special inside quotes, and double "%" (field codes).
QString quotedExec(const QString& program) {
    QString escaped = program;
    escaped.replace(u'%', QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (std::none_of(escaped.begin(), escaped.end(), [](QChar c) { return reserved.contains(c); }))
        return escaped;
    QString out = QStringLiteral("\"");
    for (const QChar c : escaped) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out + u'"';
}

} // namespace

Autostart::Autostart(QString appId, QString executable)
    : m_appId(std::move(appId)), m_executable(std::move(executable)) {}

QString Autostart::userEntryPath() const {
    return xdgBaseDirectory("XDG_CONFIG_HOME", QStringLiteral(".config")) +
           QStringLiteral("/autostart/") + m_appId + QStringLiteral(".desktop");
}

QStringList Autostart::systemFolders() {
    QStringList folders;
    const QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    for (const QString& dir : dirs.split(u':', Qt::SkipEmptyParts))
        if (dir.startsWith(u'/'))
            folders << standardize(dir) + QStringLiteral("/autostart");
    return folders;
}

QString Autostart::systemEntryPath() const {
    for (const QString& folder : systemFolders()) {
        const QString path = folder + u'/' + m_appId + QStringLiteral(".desktop");
        if (exists(path))
            return path;
    }
    return {};
}

bool Autostart::isEnabled() const {
    const QString user = userEntryPath();
    if (entryExists(user))
        return entryEnables(user);
    const QString system = systemEntryPath();
    return !system.isEmpty() && entryEnables(system);
}

bool Autostart::setEnabled(bool on) {
    const QString path = userEntryPath();
    if (!on && systemEntryPath().isEmpty()) {
        // Nothing else would start Vantor: removing our entry is enough.
        return !entryExists(path) || removeItem(path);
    }
    QByteArray entry = "[Desktop Entry]\nType=Application\nName=Vantor\n";
    entry += "Comment=Tidy loose Desktop files into folders\n";
    entry += "Exec=" + quotedExec(m_executable).toUtf8() + "\n";
    entry += "Icon=" + m_appId.toUtf8() + "\nTerminal=false\n";
    // Off while a system entry exists: a hidden user entry masks it.
    entry += on ? "X-GNOME-Autostart-enabled=true\n" : "Hidden=true\n";
    return makePath(QFileInfo(path).absolutePath()) && writeFileAtomically(path, entry);
}

} // namespace platform
