#include "panel/CleanView.h"

#include "cleaner/Cleaner.h"
#include "panel/FolderSection.h"
#include "panel/RuleGroupRow.h"
#include "panel/StatusLine.h"
#include "rules/TidiedFolders.h"
#include "widgets/Colors.h"
#include "widgets/FittingScrollArea.h"
#include "widgets/FolderNames.h"
#include "widgets/PrimaryButton.h"
#include "widgets/RoundedBox.h"
#include "widgets/SymbolView.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CleanView::CleanView(Cleaner& cleaner, DesktopServices& services, QWidget* parent)
    : QWidget(parent), m_cleaner(cleaner), m_services(services) {
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

    auto* sections = new QWidget;
    m_sectionLayout = new QVBoxLayout(sections);
    m_sectionLayout->setContentsMargins(0, 0, 0, 0);
    m_sectionLayout->setSpacing(14);
    m_sectionScroll = new FittingScrollArea(sections);
    m_sectionScroll->setObjectName(QStringLiteral("sectionScroll"));

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
    layout->addWidget(m_sectionScroll);
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

    m_emptyTitle = widgets::makeLabel(QString(), widgets::TextStyle::Headline);
    m_emptyTitle->setObjectName(QStringLiteral("emptyTitle"));
    m_emptySubtitle = widgets::makeWrappingLabel(QString(), widgets::TextStyle::Callout,
                                                 widgets::Emphasis::Secondary);
    m_emptySubtitle->setObjectName(QStringLiteral("emptySubtitle"));

    auto* text = new QVBoxLayout;
    text->setSpacing(2);
    text->addWidget(m_emptyTitle);
    text->addWidget(m_emptySubtitle);

    auto* layout = new QHBoxLayout(block);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(12);
    layout->addWidget(symbol, 0, Qt::AlignVCenter);
    layout->addLayout(text, 1);
    return block;
}

QString CleanView::cleanButtonText(const Scan& scan) {
    return scan.folders.size() > 1 ? tr("Clean All") : tr("Clean Desktop");
}

void CleanView::refresh() {
    const Scan& scan = m_cleaner.scan();
    const bool several = scan.folders.size() > 1;
    const int total = scan.totalFiles();
    int other = 0;
    for (const Scan::Folder& folder : scan.folders)
        other += folder.other;
    const bool empty = total == 0;

    m_emptyState->setVisible(empty);
    m_countLabel->setVisible(!empty);
    m_groupList->setVisible(!empty && !several);
    m_otherLabel->setVisible(!empty && !several && other >= 1);
    m_cleanButton->setEnabled(!empty && !m_cleaner.isBusy());
    m_cleanButton->setText(cleanButtonText(scan));

    if (empty) {
        m_emptyTitle->setText(several ? tr("Your folders are clean") : tr("Your desktop is clean"));
        m_emptySubtitle->setText(
            other < 1
                ? tr("Nothing to sort right now.")
                : tr("No files match your rules. %n other files left alone.", nullptr, other));
    } else {
        m_countLabel->setText(tr("%n files to put away", nullptr, total));
        m_otherLabel->setText(tr("%n other files stay where they are.", nullptr, other));
    }

    RuleGroupRow::fillList(m_groupLayout, several || scan.folders.isEmpty()
                                              ? QList<Scan::Group>()
                                              : scan.folders.first().groups);
    refreshSections();
}

void CleanView::refreshSections() {
    const Scan& scan = m_cleaner.scan();
    const bool several = scan.folders.size() > 1;
    // A folder has a section while it has something to put away or cannot be read. The
    // sections that stay are kept, with what they say about their Show button.
    QList<FolderSection*> old = sections();
    QList<FolderSection*> shown;
    for (const Scan::Folder& folder : scan.folders) {
        if (!several || (folder.readable && folder.totalFiles() == 0))
            continue;
        FolderSection* section = nullptr;
        for (FolderSection* candidate : old)
            if (candidate->path() == folder.path)
                section = candidate;
        if (section)
            old.removeOne(section);
        else
            section = new FolderSection(m_services);
        section->setFolder(widgets::folderName(*m_cleaner.folders(), folder.path), folder);
        shown.append(section);
    }
    for (FolderSection* gone : old) {
        m_sectionLayout->removeWidget(gone);
        gone->hide();
        gone->deleteLater();
    }
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (m_sectionLayout->indexOf(shown[i]) != int(i)) {
            m_sectionLayout->removeWidget(shown[i]);
            m_sectionLayout->insertWidget(int(i), shown[i]);
        }
        shown[i]->show();
    }
    m_sectionScroll->setVisible(!shown.isEmpty());

    // Sections made now joined the end of the Tab order: their Show buttons go back before
    // the clean button, in the order the sections are read.
    QWidget* previous = m_cleanButton->previousInFocusChain();
    while (previous != m_cleanButton && m_sectionScroll->isAncestorOf(previous))
        previous = previous->previousInFocusChain();
    for (FolderSection* section : shown) {
        QWidget::setTabOrder(previous, section->showButton());
        previous = section->showButton();
    }
    QWidget::setTabOrder(previous, m_cleanButton);
}

QList<RuleGroupRow*> CleanView::rows() const {
    QList<RuleGroupRow*> out = RuleGroupRow::rowsIn(m_groupLayout);
    for (const FolderSection* section : sections())
        out += section->rows();
    return out;
}

QList<FolderSection*> CleanView::sections() const {
    QList<FolderSection*> out;
    for (int i = 0; i < m_sectionLayout->count(); ++i)
        if (auto* section = qobject_cast<FolderSection*>(m_sectionLayout->itemAt(i)->widget()))
            out.append(section);
    return out;
}

FittingScrollArea* CleanView::groupScroll() const {
    return m_groupList->isHidden() ? m_sectionScroll : m_groupScroll;
}

bool CleanView::isShowingEmptyState() const {
    return !m_emptyState->isHidden();
}
