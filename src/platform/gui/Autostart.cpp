#include "platform/gui/Autostart.h"

#include "platform/FileSystem.h"
#include "platform/Locations.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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

// The escapes of a desktop entry's string values, undone: \s \n \t \r \\.
QString unescapeString(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            out += u' ';
            break;
        case 'n':
            out += u'\n';
            break;
        case 't':
            out += u'\t';
            break;
        case 'r':
            out += u'\r';
            break;
        default:
            out += next;
            break;
        }
    }
    return out;
}

QString escapeString(const QString& value) {
    QString out;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

// Exec quoting of the desktop entry format: quote arguments with reserved characters,
// escape what stays special inside quotes, and double "%" (field codes). The result is
// then escaped again as a string value when written.
QString quotedArgument(const QString& argument) {
    QString escaped = argument;
    escaped.replace(u'%', QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (!escaped.isEmpty() &&
        std::none_of(escaped.begin(), escaped.end(), [](QChar c) { return reserved.contains(c); }))
        return escaped;
    QString out = QStringLiteral("\"");
    for (const QChar c : escaped) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out + u'"';
}

// The program an Exec value (already string-unescaped) starts: its first argument.
QString execProgram(const QString& exec) {
    QString program;
    qsizetype i = 0;
    while (i < exec.size() && exec.at(i).isSpace())
        ++i;
    if (i < exec.size() && exec.at(i) == u'"') {
        for (++i; i < exec.size() && exec.at(i) != u'"'; ++i) {
            if (exec.at(i) == u'\\' && i + 1 < exec.size())
                ++i;
            program += exec.at(i);
        }
    } else {
        for (; i < exec.size() && !exec.at(i).isSpace(); ++i)
            program += exec.at(i);
    }
    return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

// Whether a session could start `program`: an executable file, by path or on PATH.
bool canRun(const QString& program) {
    if (program.isEmpty())
        return false;
    if (!program.contains(u'/'))
        return !QStandardPaths::findExecutable(program).isEmpty();
    const QFileInfo info(program);
    return info.isAbsolute() && info.isFile() && info.isExecutable();
}

// The entry would start its program at login: not switched off, and the program (and the
// one TryExec names) is there to run.
bool entryEnables(const QString& path) {
    const auto content = readWholeFile(path, 1024 * 1024); // a desktop entry is a few lines
    if (!content)
        return false;
    if (desktopEntryValue(*content, "Hidden").compare(u"true", Qt::CaseInsensitive) == 0 ||
        desktopEntryValue(*content, "X-GNOME-Autostart-enabled")
                .compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    const QString tryExec = unescapeString(desktopEntryValue(*content, "TryExec"));
    if (!tryExec.isEmpty() && !canRun(tryExec))
        return false;
    return canRun(execProgram(unescapeString(desktopEntryValue(*content, "Exec"))));
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
    entry += "TryExec=" + escapeString(m_executable).toUtf8() + "\n";
    entry += "Exec=" +
             escapeString(quotedArgument(m_executable) + QStringLiteral(" --autostart")).toUtf8() +
             "\n";
    entry += "Icon=" + m_appId.toUtf8() + "\nTerminal=false\n";
    // Off while a system entry exists: a hidden user entry masks it.
    entry += on ? "X-GNOME-Autostart-enabled=true\nX-KDE-autostart-after=panel\n" : "Hidden=true\n";
    return makePath(QFileInfo(path).absolutePath()) && writeFileAtomically(path, entry);
}

} // namespace platform
