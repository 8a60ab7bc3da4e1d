#include "editor/RuleListModel.h"

#include "widgets/RuleDescription.h"

#include <QMimeData>

namespace {
const QString kRuleIdType = QStringLiteral("application/x-vantor-rule-id");
}

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
        return RuleDescription::text(rule);
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
    if (rule.hasConditions() || !rule.unreadable.isEmpty() ||
        rule.action == SortRule::Action::Trash)
        return RuleDescription::text(rule);
    const qsizetype count = rule.extensions.size();
    if (count == 0)
        return tr("No file types");
    return tr("%n file types", nullptr, int(count));
}

Qt::ItemFlags RuleListModel::flags(const QModelIndex& index) const {
    // Rows are dropped between rows, never onto one.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return QAbstractListModel::flags(index) | Qt::ItemIsDragEnabled;
}

Qt::DropActions RuleListModel::supportedDropActions() const {
    return Qt::MoveAction;
}

QStringList RuleListModel::mimeTypes() const {
    return {kRuleIdType};
}

QMimeData* RuleListModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    data->setData(kRuleIdType, idAt(indexes.first().row()).toByteArray());
    return data;
}

bool RuleListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                 const QModelIndex& parent) {
    if (action != Qt::MoveAction || !data || !data->hasFormat(kRuleIdType))
        return false;
    const QUuid id = QUuid::fromString(QString::fromLatin1(data->data(kRuleIdType)));
    const int from = rowOf(id);
    if (from < 0)
        return false;
    // Dropped onto a row (styles may allow it) counts as before it; below the last, at the end.
    const int to = row >= 0 ? row : parent.isValid() ? parent.row() : rowCount();
    moveRows({}, from, 1, {}, to);
    // The view must not remove the dragged row itself: the store's new order replaces it.
    return false;
}

bool RuleListModel::moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                             const QModelIndex& destinationParent, int destinationChild) {
    if (sourceParent.isValid() || destinationParent.isValid() || count != 1 || sourceRow < 0 ||
        sourceRow >= rowCount())
        return false;
    // The destination is a place between rows: past the row itself, one of them is the row.
    emit moveRequested(idAt(sourceRow),
                       destinationChild > sourceRow ? destinationChild - 1 : destinationChild);
    return false;
}
