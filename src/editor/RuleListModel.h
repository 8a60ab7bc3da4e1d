#pragma once

#include "rules/SortRule.h"

#include <QAbstractListModel>

// The rules as the window's sidebar lists them, a snapshot taken at each reload() so the
// view always sees a consistent list. A row dragged elsewhere in the list is not moved
// here: moveRequested() asks for it, and the next reload() shows the new order.
class RuleListModel : public QAbstractListModel {
    Q_OBJECT

  public:
    enum Role { IdRole = Qt::UserRole + 1, SubtitleRole, SymbolRole };

    explicit RuleListModel(QObject* parent = nullptr);

    void reload(const QList<SortRule>& rules);
    int rowOf(const QUuid& id) const;
    QUuid idAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    // What the list view calls for a row dragged within it: asks, and moves nothing itself.
    bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                  const QModelIndex& destinationParent, int destinationChild) override;

    // "Untitled" for a rule whose name was cleared; the stored name stays empty.
    static QString displayName(const SortRule& rule);
    // "No file types", "1 file type", "12 file types" for a rule that moves files by their
    // types alone; else the rule in plain words.
    static QString subtitle(const SortRule& rule);

  signals:
    // The rule `id` was dropped to be the `toIndex`th of the list.
    void moveRequested(const QUuid& id, int toIndex);

  private:
    QList<SortRule> m_rules;
};
