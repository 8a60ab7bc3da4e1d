#include "editor/RuleListModel.h"

RuleListModel::RuleListModel(QObject* parent) : QAbstractListModel(parent) {}

void RuleListModel::reload(const QList<SortRule>& rules) {
    if (rules.size() != m_rules.size()) {
        beginResetModel();
        m_rules = rules;
        endResetModel();
        return;
    }
    m_rules = rules;
    if (!m_rules.isEmpty())
        emit dataChanged(index(0), index(int(m_rules.size()) - 1));
}

int RuleListModel::rowOf(const QUuid& id) const {
    for (int i = 0; i < m_rules.size(); ++i)
        if (m_rules.at(i).id == id)
            return i;
    return -1;
}

QUuid RuleListModel::idAt(int row) const {
    return row >= 0 && row < m_rules.size() ? m_rules.at(row).id : QUuid();
}

int RuleListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rules.size());
}

QVariant RuleListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rules.size())
        return {};
    const SortRule& rule = m_rules.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return displayName(rule);
    case Qt::ToolTipRole:
        return rule.destination;
    case IdRole:
        return rule.id;
    case SubtitleRole:
    case Qt::AccessibleDescriptionRole:
        return subtitle(rule);
    case SymbolRole:
        return rule.symbol;
    default:
        return {};
    }
}

QString RuleListModel::displayName(const SortRule& rule) {
    return rule.name.isEmpty() ? tr("Untitled") : rule.name;
}

QString RuleListModel::subtitle(const SortRule& rule) {
    const qsizetype count = rule.extensions.size();
    if (count == 0)
        return tr("No file types");
    return tr("%n file types", nullptr, int(count));
}
