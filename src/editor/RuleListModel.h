#pragma once

#include "rules/SortRule.h"

#include <QAbstractListModel>

// The rules as the window's sidebar lists them, a snapshot taken at each reload() so the
// view always sees a consistent list.
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

    // "Untitled" for a rule whose name was cleared; the stored name stays empty.
    static QString displayName(const SortRule& rule);
    // "No file types", "1 file type", "12 file types".
    static QString subtitle(const SortRule& rule);

  private:
    QList<SortRule> m_rules;
};
