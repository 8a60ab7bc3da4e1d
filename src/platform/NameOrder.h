#pragma once

#include <QCollator>
#include <QCollatorSortKey>
#include <QList>
#include <QString>

#include <algorithm>
#include <optional>
#include <vector>

namespace platform {

// The file manager's name order: locale-aware, case-insensitive, digit runs compared by
// value (img2 before img10).
class NameOrder {
  public:
    NameOrder();

    int compare(const QString& a, const QString& b) const { return collator().compare(a, b); }

    // Stable sort of items by the name nameOf(item) gives. Long lists use precomputed
    // collation keys: comparing keys is several times cheaper than comparing strings.
    template <class T, class NameOf> void stableSort(QList<T>& items, NameOf nameOf) const {
        if (items.size() < 2)
            return;
        const QCollator& order = collator();
        if (items.size() < 64) {
            std::stable_sort(items.begin(), items.end(), [&](const T& a, const T& b) {
                return order.compare(nameOf(a), nameOf(b)) < 0;
            });
            return;
        }
        std::vector<std::pair<QCollatorSortKey, qsizetype>> keyed;
        keyed.reserve(size_t(items.size()));
        for (qsizetype i = 0; i < items.size(); ++i)
            keyed.emplace_back(order.sortKey(nameOf(items[i])), i);
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
        QList<T> sorted;
        sorted.reserve(items.size());
        for (const auto& k : keyed)
            sorted.append(std::move(items[k.second]));
        items = std::move(sorted);
    }

  private:
    // Made on first use: loading the collation data costs memory an idle program need not hold.
    const QCollator& collator() const;

    mutable std::optional<QCollator> m_collator;
};

} // namespace platform
