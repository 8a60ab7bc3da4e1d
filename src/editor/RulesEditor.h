#pragma once

#include "editor/RuleDetail.h"

#include "rules/RuleStore.h"
#include "rules/SortRule.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <optional>

class DesktopServices;
class QLabel;
class QListView;
class QMessageBox;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QToolButton;
class RuleListModel;
class TidiedFolders;

// The rules window's content: one tidied folder's rules at a time, with a tab per folder
// above them while there is more than one; the rule list with + and − on the left, the
// selected rule's detail on the right, and a footer that restores the folder's default
// rules. It keeps no copy of the rules: everything is redrawn from the shown folder's store
// whenever it publishes. Each folder keeps its selection and its deleted rules while
// another is shown.
class RulesEditor : public QWidget {
    Q_OBJECT

  public:
    // Shows the Desktop's rules first.
    RulesEditor(TidiedFolders& folders, DesktopServices& services, QWidget* parent = nullptr);

    // The shown folder's rules.
    RuleStore& store() const { return *m_store; }
    // The shown folder's id ("" the Desktop).
    const QString& folderId() const { return m_folderId; }
    // Shows the rules of the folder with this id; the Desktop's when no folder has it.
    void showFolder(const QString& id);
    // One tab per folder; hidden while the Desktop is the only one.
    QTabBar* folderTabs() const { return m_folderTabs; }

    // The selected rule's identifier. It may name no rule after another part of Vantor
    // changed the list; the placeholder is shown then.
    std::optional<QUuid> selection() const { return m_selection; }
    void setSelection(std::optional<QUuid> id);

    // The pane showing the selected rule, or nullptr while the placeholder shows.
    RuleDetail* detail() const { return m_detail; }

    // The open confirmation, or nullptr.
    QMessageBox* restoreConfirmation() const { return m_confirmation; }
    bool isConfirmingReset() const { return m_confirmation != nullptr; }
    // The open question whether to delete the selected rule, or nullptr.
    QMessageBox* deleteConfirmation() const { return m_deleteConfirmation; }

    void addRule();
    // Asks whether to delete the selected rule; deletes it when the user agrees.
    void confirmDeleteSelectedRule();
    void deleteSelectedRule();
    // Moves the selected rule `step` places up (negative) or down the list, within it.
    void moveSelectedRule(int step);
    // Puts the last deleted rule back where it was; false when there is none.
    bool undoDelete();
    void confirmRestoreDefaults();

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // What one folder's rules leave behind while another folder is shown.
    struct Kept {
        std::optional<QUuid> selection;
        QList<std::pair<SortRule, qsizetype>> deleted;
    };

    QWidget* buildFolderTabs();
    void refreshFolderTabs();
    QString shownFolderName() const;
    QWidget* buildSidebar();
    QWidget* buildPlaceholder();
    QWidget* buildFooter();
    void showNote(const QString& note);
    void refresh();
    void syncListSelection();
    void updateDetail();
    void dropDetail();
    void applyTint();

    TidiedFolders& m_folders;
    QString m_folderId;
    // The folders' list deletes a removed folder's store later; until then it is switched away.
    QPointer<RuleStore> m_store;
    std::optional<QUuid> m_selection;
    DesktopServices& m_services;
    bool m_syncing = false;
    QHash<QString, Kept> m_kept; // by folder id, for the folders not shown

    QTabBar* m_folderTabs = nullptr;
    QWidget* m_folderStrip = nullptr;

    RuleListModel* m_model = nullptr;
    QListView* m_list = nullptr;
    QToolButton* m_addButton = nullptr;
    QToolButton* m_deleteButton = nullptr;
    QStackedWidget* m_detailStack = nullptr;
    QWidget* m_placeholder = nullptr;
    RuleDetail* m_detail = nullptr;
    QPushButton* m_restoreButton = nullptr;
    QMessageBox* m_confirmation = nullptr;
    QMessageBox* m_deleteConfirmation = nullptr;
    QLabel* m_reminder = nullptr;
    QLabel* m_note = nullptr;
    // Deleted rules and their places, the last deleted at the end: only this window's
    // Ctrl+Z brings them back, so they are kept here and only for this run.
    QList<std::pair<SortRule, qsizetype>> m_deleted;
};
