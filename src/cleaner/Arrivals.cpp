#include "cleaner/Arrivals.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QSet>

Arrivals::Arrivals(QString fileName) : m_fileName(std::move(fileName)) {}

void Arrivals::load() {
    if (m_loaded)
        return;
    m_loaded = true;
    // A missing, unreadable or hand-broken file only loses the arrivals noted so far: the
    // files then count from their birth times, as on a first look.
    const auto bytes = platform::readWholeFile(m_fileName, kMaxFileBytes);
    if (!bytes)
        return;
    const QJsonObject folders = QJsonDocument::fromJson(*bytes).object();
    for (auto f = folders.begin(); f != folders.end(); ++f) {
        const QJsonObject o = f.value().toObject();
        if (!o.value(u"looked").isDouble() || !o.value(u"files").isObject())
            continue;
        Folder folder;
        folder.lookedMs = qint64(o.value(u"looked").toDouble());
        const QJsonObject files = o.value(u"files").toObject();
        for (auto n = files.begin(); n != files.end(); ++n)
            if (n.value().isDouble())
                folder.names.insert(n.key(), qint64(n.value().toDouble()));
        m_folders.insert(f.key(), std::move(folder));
    }
}

void Arrivals::save() {
    QJsonObject folders;
    for (auto f = m_folders.cbegin(); f != m_folders.cend(); ++f) {
        QJsonObject files;
        for (auto n = f->names.cbegin(); n != f->names.cend(); ++n)
            files.insert(n.key(), double(n.value()));
        folders.insert(f.key(), QJsonObject{{"looked", double(f->lookedMs)}, {"files", files}});
    }
    // A failed write keeps the arrivals in memory; the next change tries again.
    platform::writeFileAtomically(m_fileName,
                                  QJsonDocument(folders).toJson(QJsonDocument::Compact));
}

void Arrivals::note(const QString& folder, const QList<platform::DirEntry>& entries, qint64 nowMs) {
    const QMutexLocker lock(&m_mutex);
    load();
    const bool firstLook = !m_folders.contains(folder);
    Folder& known = m_folders[folder];
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    bool changed = firstLook;
    QSet<QString> present;
    present.reserve(entries.size());
    for (const platform::DirEntry& entry : entries) {
        if (entry.kind != platform::DirEntry::Kind::File || !entry.nameIsValid)
            continue;
        present.insert(entry.name);
        if (known.names.contains(entry.name))
            continue;
        const auto id = platform::identity(prefix + entry.name, false);
        const qint64 born = id && id->bornNs > 0 ? id->bornNs / 1000000 : 0;
        // A birth time later than now (a clock set back) says nothing.
        const bool bornUsable = born > 0 && born <= nowMs && (firstLook || born > known.lookedMs);
        known.names.insert(entry.name, bornUsable ? born : nowMs);
        changed = true;
    }
    for (auto n = known.names.begin(); n != known.names.end();) {
        if (present.contains(n.key())) {
            ++n;
        } else {
            n = known.names.erase(n);
            changed = true;
        }
    }
    if (changed) {
        known.lookedMs = nowMs;
        save();
    }
}

std::optional<qint64> Arrivals::arrival(const QString& folder, const QString& name) const {
    const QMutexLocker lock(&m_mutex);
    const auto f = m_folders.constFind(folder);
    if (f == m_folders.cend())
        return std::nullopt;
    const auto n = f->names.constFind(name);
    if (n == f->names.cend())
        return std::nullopt;
    return *n;
}
