#pragma once

#include "rules/SortRule.h"

#include <QScrollArea>

#include <QMap>
#include <optional>

class DesktopServices;
class FlowLayout;
class ExtensionChip;
class ElidedLabel;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSpinBox;
class QPushButton;
class QToolButton;
class RuleStore;
class SymbolView;

// The right-hand pane of the rules window: one rule's name, what it does with files (moves
// them to a folder or to the Trash), its file types and further conditions. Every
// edit goes straight to the store; the pane keeps only what is being typed and the note
// of the last addition, both dropped when the pane is.
class RuleDetail : public QScrollArea {
    Q_OBJECT

  public:
    RuleDetail(RuleStore& store, const SortRule& rule, DesktopServices& services,
               QWidget* parent = nullptr);

    QUuid ruleId() const { return m_rule.id; }
    // Shows the rule's current values; called by the editor after every store change.
    void setRule(const SortRule& rule);
    // Re-checks what depends on the disk (the folder may have appeared or gone).
    void refreshFolderState();
    // The folder whose rule this is: a rule pointing at it moves nothing, and says so, naming
    // it by `name` (empty: it is the Desktop). The Desktop until set.
    void setTidiedFolder(const QString& path, const QString& name);

    // The message the folder dialog shows for this rule.
    QString chooseFolderMessage() const;

    void addTypes();
    void chooseFolder();
    void revealFolder();
    // Puts the cursor in the name field with the name selected, ready to be typed over.
    void focusName();
    // "No file manager found to show …" after the last Show found none; else empty.
    QString fileManagerError() const;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    QWidget* buildNameSection();
    QWidget* buildActionSection();
    QWidget* buildFolderSection();
    QWidget* buildTypesSection();
    QWidget* buildConditionsSection();
    // A size condition's field and its unit: the larger-than (minimum) or the smaller-than one.
    void addSizeRow(QGridLayout* grid, const QString& title, const QString& unitName, bool larger);
    void showSize(QSpinBox* field, QComboBox* unit, qint64 bytes);
    void chooseKind(int index);
    void applyOtherKinds();
    void applyNamePattern(const QString& text);
    void updateConditions();
    void updateChips();
    void updateNote();
    void updateAddEnabled();
    void updateWarningColor();

    RuleStore& m_store;
    SortRule m_rule;
    DesktopServices& m_services;
    std::optional<QString> m_note;

    QLineEdit* m_nameField = nullptr;
    ElidedLabel* m_destinationLabel = nullptr;
    QToolButton* m_revealButton = nullptr;
    QLabel* m_revealError = nullptr;
    QString m_tidiedFolder;
    QWidget* m_desktopWarning = nullptr;
    QLabel* m_desktopWarningText = nullptr;
    SymbolView* m_desktopWarningSymbol = nullptr;
    QLabel* m_folderHelp = nullptr;
    QLabel* m_noTypesLabel = nullptr;
    QWidget* m_chips = nullptr;
    FlowLayout* m_chipLayout = nullptr;
    QMap<QString, ExtensionChip*> m_chipByExt;
    QLineEdit* m_typesField = nullptr;
    QPushButton* m_addButton = nullptr;
    QWidget* m_noteRow = nullptr;
    QLabel* m_noteLabel = nullptr;
    QLabel* m_typesHelp = nullptr;

    QLabel* m_description = nullptr;
    QWidget* m_unreadable = nullptr;
    QLabel* m_unreadableText = nullptr;
    SymbolView* m_unreadableSymbol = nullptr;
    QComboBox* m_actionChoice = nullptr;
    QWidget* m_actionSection = nullptr;
    QWidget* m_folderSection = nullptr;
    QWidget* m_conditions = nullptr;
    QComboBox* m_kindChoice = nullptr;
    QLineEdit* m_otherKindField = nullptr;
    QLineEdit* m_patternField = nullptr;
    QLabel* m_conditionError = nullptr;
    QSpinBox* m_minSizeField = nullptr;
    QComboBox* m_minSizeUnit = nullptr;
    QSpinBox* m_maxSizeField = nullptr;
    QComboBox* m_maxSizeUnit = nullptr;
    QSpinBox* m_ageField = nullptr;
};
