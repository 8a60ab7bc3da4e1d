#pragma once

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>

#include "rules/SortRule.h"

#include <optional>

class RuleStore;

// Which folders Vantor tidies, each with its own rules: the Desktop first, always, with the
// rules of rules.json (whose form older versions read); then the folders the user added,
// listed in folders.json beside it, each with its rules in folders/<id>/rules.json.
class TidiedFolders : public QObject {
    Q_OBJECT

  public:
    struct Folder {
        QString id;       // "" for the Desktop; eight hex digits for an added folder
        QString path;     // absolute, standardized
        RuleStore* rules; // owned by this object
    };

    // Why a folder cannot be added.
    enum class Refusal {
        None,
        NotAFolder,       // missing, not a directory, or a link
        Relative,         // not an absolute path
        HomeOrRoot,       // the home folder, "/" or a folder above home
        AlreadyTidied,    // the same folder (device and inode) is in the list
        InsideRuleFolder, // it is, or is inside, a rule folder of a tidied folder
    };
    // One sentence saying why, naming the folder by its tilde path.
    static QString refusalText(Refusal refusal, const QString& path);

    // Loads configFolder/folders.json (entries that are duplicates, relative, home, "/" or
    // inside another's rule folders are skipped with a warning on stderr) and each folder's
    // rules; the Desktop's rules from configFolder/rules.json. Writes nothing.
    TidiedFolders(const QString& configFolder, const QString& desktop, QObject* parent = nullptr);
    ~TidiedFolders() override;

    const QList<Folder>& folders() const { return m_folders; }
    RuleStore* desktopRules() const { return m_folders.first().rules; }
    // The index of the folder that is `path` (same device and inode, or same text when it
    // is gone); -1 when none is.
    qsizetype indexOf(const QString& path) const;
    const Folder* folder(const QString& id) const;

    // Adds the folder with its default rules (pointing into itself; "Archives" too for the
    // XDG download folder) and saves the list. Its id through `id`.
    Refusal add(const QString& path, QString* id = nullptr);
    Refusal check(const QString& path) const;
    // Removes an added folder (never the Desktop) and its rules file; false when not listed.
    bool remove(const QString& path);

    // The XDG download folder when it exists, is no tidied folder yet and may be added.
    std::optional<QString> offeredDownloads() const;

    // The default rules of a folder: Images, Documents and Installers in folders of their
    // name inside it; the download folder gets Archives as well.
    static QList<SortRule> defaultRulesFor(const QString& folder, bool isDownloads);

    // An added folder's id: eight hex digits.
    static bool isFolderId(const QString& id);

  signals:
    // After a folder was added or removed (not when a folder's rules change).
    void foldersChanged();

  private:
    void load();
    void save() const;
    QString listFile() const;
    QString rulesFolder(const QString& id) const;
    RuleStore* makeRules(const QString& id, const QString& folder);
    bool hasId(const QString& id) const;
    // check() for an expanded path; loading keeps a folder that is missing for now.
    Refusal refusalFor(const QString& path, bool mustBeFolder) const;

    QString m_configFolder;
    QList<Folder> m_folders;
    // Each added folder's entry as folders.json held it, with any keys a newer Vantor wrote.
    QHash<QString, QJsonObject> m_listed;
};
