#include "panel/FolderSection.h"

#include "panel/NoAccessView.h"
#include "panel/RuleGroupRow.h"
#include "rules/SortRule.h"
#include "widgets/Messages.h"
#include "widgets/RoundedBox.h"
#include "widgets/SmallButton.h"
#include "widgets/SymbolView.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

FolderSection::FolderSection(DesktopServices& services, QWidget* parent)
    : QWidget(parent), m_services(services) {
    m_header = widgets::makeLabel(QString(), widgets::TextStyle::Subheadline,
                                  widgets::Emphasis::Secondary);
    m_header->setObjectName(QStringLiteral("folderHeader"));
    m_header->setFont(widgets::font(widgets::TextStyle::Subheadline, QFont::DemiBold));

    m_box = new RoundedBox(8);
    m_rows = new QVBoxLayout(m_box);
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);

    m_otherLabel = widgets::makeWrappingLabel(QString(), widgets::TextStyle::Caption,
                                              widgets::Emphasis::Secondary);
    m_otherLabel->setObjectName(QStringLiteral("folderOtherLabel"));

    m_noAccess = new QWidget;
    auto* lock = new SymbolView(QStringLiteral("lock.fill"), 14, SymbolView::Tint::Secondary);
    m_noAccessText = widgets::makeWrappingLabel(QString(), widgets::TextStyle::Callout,
                                                widgets::Emphasis::Secondary);
    m_noAccessText->setObjectName(QStringLiteral("folderNoAccess"));
    m_showButton = new SmallButton(tr("Show"));
    m_showButton->setObjectName(QStringLiteral("showFolderButton"));
    connect(m_showButton, &QPushButton::clicked, this,
            [this] { NoAccessView::showFolderToFix(m_services, m_path, m_error); });
    auto* line = new QHBoxLayout(m_noAccess);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(6);
    line->addWidget(lock, 0, Qt::AlignVCenter);
    line->addWidget(m_noAccessText, 1);
    line->addWidget(m_showButton, 0, Qt::AlignVCenter);
    m_error = widgets::makeErrorLabel();
    m_error->setObjectName(QStringLiteral("fileManagerError"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(m_header);
    layout->addWidget(m_box);
    layout->addWidget(m_otherLabel);
    layout->addWidget(m_noAccess);
    layout->addWidget(m_error);
}

void FolderSection::setFolder(const QString& name, const Scan::Folder& folder) {
    m_path = folder.path;
    m_header->setText(name);
    m_header->setToolTip(SortRule::tildePath(folder.path));
    const QString tilde = SortRule::tildePath(folder.path);
    m_showButton->setAccessibleName(tr("Show %1 folder").arg(name));
    m_noAccessText->setText(tr("Vantor can't read %1.").arg(tilde));

    m_box->setVisible(folder.readable);
    m_otherLabel->setVisible(folder.readable && folder.other >= 1);
    // The clean page's own words for the Desktop alone.
    m_otherLabel->setText(QCoreApplication::translate(
        "CleanView", "%n other files stay where they are.", nullptr, folder.other));
    m_noAccess->setVisible(!folder.readable);
    // A message about showing the folder is over once it can be read.
    if (folder.readable)
        widgets::showError(m_error, QString());
    RuleGroupRow::fillList(m_rows, folder.groups);
}

QString FolderSection::name() const {
    return m_header->text();
}

QList<RuleGroupRow*> FolderSection::rows() const {
    return RuleGroupRow::rowsIn(m_rows);
}

QString FolderSection::noAccessText() const {
    return m_noAccess->isHidden() ? QString() : m_noAccessText->text();
}

QString FolderSection::fileManagerError() const {
    return m_error->isHidden() ? QString() : m_error->text();
}
