#include "cleaner/Arrivals.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QSet>

#include <algorithm>

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
        const QJsonObject left = o.value(u"left").toObject();
        for (auto n = left.begin(); n != left.end(); ++n) {
            const QJsonArray times = n.value().toArray();
            if (times.size() == 2 && times[0].isDouble() && times[1].isDouble())
                folder.left.insert(n.key(),
                                   {qint64(times[0].toDouble()), qint64(times[1].toDouble())});
        }
        m_folders.insert(f.key(), std::move(folder));
    }
}

void Arrivals::save() {
    QJsonObject folders;
    for (auto f = m_folders.cbegin(); f != m_folders.cend(); ++f) {
        QJsonObject files;
        for (auto n = f->names.cbegin(); n != f->names.cend(); ++n)
            files.insert(n.key(), double(n.value()));
        QJsonObject folder{{"looked", double(f->lookedMs)}, {"files", files}};
        if (!f->left.isEmpty()) {
            QJsonObject left;
            for (auto n = f->left.cbegin(); n != f->left.cend(); ++n)
                left.insert(n.key(), QJsonArray{double(n->arrivedMs), double(n->leftMs)});
            folder.insert(u"left", left);
        }
        folders.insert(f.key(), folder);
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
            known.left.insert(n.key(), {n.value(), nowMs});
            n = known.names.erase(n);
            changed = true;
        }
    }
    if (known.left.size() > kMaxLeft) {
        QList<qint64> times;
        times.reserve(known.left.size());
        for (const Folder::Left& l : std::as_const(known.left))
            times.append(l.leftMs);
        std::nth_element(times.begin(), times.end() - kMaxLeft, times.end());
        const qint64 oldestKept = *(times.end() - kMaxLeft);
        known.left.removeIf([&](const auto& l) { return l.value().leftMs < oldestKept; });
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

void Arrivals::putBack(const QStringList& paths) {
    const QMutexLocker lock(&m_mutex);
    load();
    bool changed = false;
    for (const QString& path : paths) {
        const qsizetype slash = path.lastIndexOf(u'/');
        const auto folder = slash > 0 ? m_folders.find(path.left(slash)) : m_folders.end();
        if (folder == m_folders.end())
            continue;
        const QString name = path.mid(slash + 1);
        const auto left = folder->left.constFind(name);
        if (left == folder->left.cend())
            continue;
        folder->names.insert(name, left->arrivedMs);
        folder->left.erase(left);
        changed = true;
    }
    if (changed)
        save();
}
