#pragma once

#include "editor/RuleDetail.h"

#include "rules/SortRule.h"

#include <QList>
#include <QUuid>
#include <QWidget>

#include <optional>

class DesktopServices;
class QLabel;
class QListView;
class QMessageBox;
class QPushButton;
class QStackedWidget;
class QToolButton;
class RuleListModel;
class RuleStore;

// The rules window's content: the rule list with + and − on the left, the selected rule's
// detail on the right, and a footer that restores the default rules. It keeps no copy of
// the rules: everything is redrawn from the store whenever it publishes.
class RulesEditor : public QWidget {
    Q_OBJECT

  public:
    RulesEditor(RuleStore& store, DesktopServices& services, QWidget* parent = nullptr);

    RuleStore& store() const { return m_store; }

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
    // Puts the last deleted rule back where it was; false when there is none.
    bool undoDelete();
    void confirmRestoreDefaults();

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QWidget* buildSidebar();
    QWidget* buildPlaceholder();
    QWidget* buildFooter();
    void showNote(const QString& note);
    void refresh();
    void syncListSelection();
    void updateDetail();
    void applyTint();

    RuleStore& m_store;
    std::optional<QUuid> m_selection;
    DesktopServices& m_services;
    bool m_syncing = false;

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
