#include "panel/CleanView.h"

#include "cleaner/Cleaner.h"
#include "panel/RuleGroupRow.h"
#include "panel/StatusLine.h"
#include "widgets/Colors.h"
#include "widgets/Divider.h"
#include "widgets/FittingScrollArea.h"
#include "widgets/PrimaryButton.h"
#include "widgets/RoundedBox.h"
#include "widgets/SymbolView.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kDividerIndent = 36;

// A divider that starts under the rows' text rather than under their symbols.
QWidget* indentedDivider() {
    auto* holder = new QWidget;
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(kDividerIndent, 0, 0, 0);
    layout->addWidget(new Divider(Qt::Horizontal));
    return holder;
}

} // namespace

CleanView::CleanView(Cleaner& cleaner, DesktopServices& services, QWidget* parent)
    : QWidget(parent), m_cleaner(cleaner) {
    m_emptyState = buildEmptyState();

    m_countLabel = widgets::makeLabel(QString(), widgets::TextStyle::Title3);
    m_countLabel->setObjectName(QStringLiteral("countLabel"));

    // The rows scroll inside the box when the panel would otherwise outgrow the screen.
    auto* rows = new QWidget;
    m_groupLayout = new QVBoxLayout(rows);
    m_groupLayout->setContentsMargins(0, 0, 0, 0);
    m_groupLayout->setSpacing(0);
    m_groupScroll = new FittingScrollArea(rows);
    m_groupScroll->setObjectName(QStringLiteral("groupScroll"));
    m_groupList = new RoundedBox(8);
    auto* box = new QVBoxLayout(m_groupList);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(m_groupScroll);

    m_otherLabel = widgets::makeWrappingLabel(QString(), widgets::TextStyle::Caption,
                                              widgets::Emphasis::Secondary);
    m_otherLabel->setObjectName(QStringLiteral("otherLabel"));

    m_cleanButton = new PrimaryButton(tr("Clean Desktop"));
    m_cleanButton->setObjectName(QStringLiteral("cleanButton"));
    // The moves run off this thread, so the panel stays responsive during a long clean.
    connect(m_cleanButton, &QPushButton::clicked, this, [this] { m_cleaner.startClean(); });

    m_statusLine = new StatusLine(m_cleaner, services);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->addWidget(m_emptyState);
    layout->addWidget(m_countLabel);
    layout->addWidget(m_groupList);
    layout->addWidget(m_otherLabel);
    layout->addWidget(m_cleanButton);
    layout->addWidget(m_statusLine);

    connect(&m_cleaner, &Cleaner::scanChanged, this, &CleanView::refresh);
    connect(&m_cleaner, &Cleaner::busyChanged, this, &CleanView::refresh);
    refresh();
}

QWidget* CleanView::buildEmptyState() {
    auto* block = new QWidget;
    block->setObjectName(QStringLiteral("emptyState"));

    auto* symbol =
        new SymbolView(QStringLiteral("checkmark.circle.fill"), 28, SymbolView::Tint::Custom);
    symbol->setColor(widgets::successGreen());
    connect(&Appearance::instance(), &Appearance::changed, symbol,
            [symbol] { symbol->setColor(widgets::successGreen()); });

    auto* title = widgets::makeLabel(tr("Your desktop is clean"), widgets::TextStyle::Headline);
    title->setObjectName(QStringLiteral("emptyTitle"));
    m_emptySubtitle = widgets::makeWrappingLabel(QString(), widgets::TextStyle::Callout,
                                                 widgets::Emphasis::Secondary);
    m_emptySubtitle->setObjectName(QStringLiteral("emptySubtitle"));

    auto* text = new QVBoxLayout;
    text->setSpacing(2);
    text->addWidget(title);
    text->addWidget(m_emptySubtitle);

    auto* layout = new QHBoxLayout(block);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(12);
    layout->addWidget(symbol, 0, Qt::AlignVCenter);
    layout->addLayout(text, 1);
    return block;
}

void CleanView::refresh() {
    const Scan& scan = m_cleaner.scan();
    const int total = scan.totalFiles();
    int other = 0;
    for (const Scan::Folder& folder : scan.folders)
        other += folder.other;
    const bool empty = total == 0;

    m_emptyState->setVisible(empty);
    m_countLabel->setVisible(!empty);
    m_groupList->setVisible(!empty);
    m_otherLabel->setVisible(!empty && other >= 1);
    m_cleanButton->setEnabled(!empty && !m_cleaner.isBusy());

    if (empty) {
        m_emptySubtitle->setText(
            other < 1
                ? tr("Nothing to sort right now.")
                : tr("No files match your rules. %n other files left alone.", nullptr, other));
    } else {
        m_countLabel->setText(tr("%n files to put away", nullptr, total));
        m_otherLabel->setText(tr("%n other files stay where they are.", nullptr, other));
    }

    // Rows are rebuilt from the scan each time; nothing in them holds state worth keeping.
    while (QLayoutItem* item = m_groupLayout->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    QList<const Scan::Group*> visible;
    for (const Scan::Folder& folder : scan.folders)
        for (const Scan::Group& group : folder.groups)
            if (!group.files.isEmpty())
                visible.append(&group);
    for (const Scan::Group* group : visible) {
        m_groupLayout->addWidget(new RuleGroupRow(*group));
        if (group->id() != visible.last()->id())
            m_groupLayout->addWidget(indentedDivider());
    }
}

QList<RuleGroupRow*> CleanView::rows() const {
    QList<RuleGroupRow*> out;
    for (int i = 0; i < m_groupLayout->count(); ++i)
        if (auto* row = qobject_cast<RuleGroupRow*>(m_groupLayout->itemAt(i)->widget()))
            out.append(row);
    return out;
}

bool CleanView::isShowingEmptyState() const {
    return !m_emptyState->isHidden();
}
