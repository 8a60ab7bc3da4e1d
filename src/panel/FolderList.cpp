#include "panel/FolderList.h"

#include "cleaner/AutoTidySettings.h"
#include "platform/FileSystem.h"
#include "rules/SortRule.h"
#include "rules/TidiedFolders.h"
#include "widgets/DesktopServices.h"
#include "widgets/ElidedLabel.h"
#include "widgets/FolderNames.h"
#include "widgets/Messages.h"
#include "widgets/SmallButton.h"
#include "widgets/SymbolView.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"
#include "widgets/ToggleSwitch.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace {

constexpr int kSymbolSize = 16;
constexpr int kSymbolGap = 8;

const char* const kFolderId = "folderId";

} // namespace

FolderList::FolderList(TidiedFolders& folders, AutoTidySettings& autoTidy,
                       DesktopServices& services, QWidget* parent)
    : QWidget(parent), m_folders(folders), m_autoTidy(autoTidy), m_services(services) {
    auto* title = widgets::makeLabel(tr("Folders"), widgets::TextStyle::Subheadline);
    title->setFont(widgets::font(widgets::TextStyle::Subheadline, QFont::DemiBold));
    m_addFolder = new SmallButton(tr("Add Folder\u2026"));
    m_addFolder->setObjectName(QStringLiteral("addFolderButton"));
    connect(m_addFolder, &QPushButton::clicked, this, &FolderList::chooseAndAdd);
    auto* header = new QHBoxLayout;
    header->addWidget(title);
    header->addStretch(1);
    header->addWidget(m_addFolder);

    m_rows = new QVBoxLayout;
    m_rows->setSpacing(10);

    m_addDownloads = new SmallButton(tr("Add Downloads"));
    m_addDownloads->setObjectName(QStringLiteral("addDownloadsButton"));
    connect(m_addDownloads, &QPushButton::clicked, this, [this] {
        if (const std::optional<QString> downloads = m_folders.offeredDownloads())
            add(*downloads);
    });

    m_error = widgets::makeErrorLabel();
    m_error->setObjectName(QStringLiteral("folderError"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addLayout(header);
    layout->addLayout(m_rows);
    layout->addWidget(m_addDownloads, 0, Qt::AlignLeft);
    layout->addWidget(m_error);

    connect(&m_folders, &TidiedFolders::foldersChanged, this, &FolderList::refresh);
    connect(&m_autoTidy, &AutoTidySettings::changed, this, &FolderList::refreshSwitches);
    refresh();
}

QString FolderList::chooseFolderMessage() {
    return tr("Choose a folder for Vantor to tidy");
}

// One folder: its symbol, name and tilde path, Show and (but for the Desktop) Remove, and
// under them its own switch.
QWidget* FolderList::folderRow(const QString& id, const QString& path) {
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("folderRow"));
    row->setProperty(kFolderId, id);
    const QString name = widgets::folderName(m_folders, path);

    auto* symbol =
        new SymbolView(QStringLiteral("folder.fill"), kSymbolSize, SymbolView::Tint::Accent);

    auto* nameLabel = new ElidedLabel;
    nameLabel->setObjectName(QStringLiteral("folderName"));
    nameLabel->setElideMode(Qt::ElideRight);
    nameLabel->setFont(widgets::font(widgets::TextStyle::Callout));
    nameLabel->setFullText(name);

    auto* pathLabel = new ElidedLabel;
    pathLabel->setObjectName(QStringLiteral("folderPath"));
    pathLabel->setFont(widgets::monospacedFont(widgets::TextStyle::Caption));
    widgets::setEmphasis(pathLabel, widgets::Emphasis::Secondary);
    pathLabel->setFullText(SortRule::tildePath(path));

    auto* text = new QVBoxLayout;
    text->setSpacing(1);
    text->addWidget(nameLabel);
    text->addWidget(pathLabel);

    auto* show = new SmallButton(tr("Show"));
    show->setObjectName(QStringLiteral("showFolderButton"));
    // Read out with its folder: "Show" alone says nothing in a list.
    show->setAccessibleName(tr("Show %1 folder").arg(name));
    show->setEnabled(platform::exists(path));
    connect(show, &QPushButton::clicked, this, [this, path] {
        widgets::showError(m_error, QString());
        m_services.openFolder(path, [self = QPointer<FolderList>(this), path](bool found) {
            if (self)
                widgets::showError(self->m_error,
                                   found ? QString() : widgets::noFileManagerMessage(path));
        });
    });

    auto* top = new QHBoxLayout;
    top->setSpacing(kSymbolGap);
    top->addWidget(symbol, 0, Qt::AlignVCenter);
    top->addLayout(text, 1);
    top->addWidget(show, 0, Qt::AlignVCenter);
    if (!id.isEmpty()) {
        auto* remove = new SmallButton(tr("Remove"));
        remove->setObjectName(QStringLiteral("removeFolderButton"));
        remove->setAccessibleName(tr("Remove %1").arg(name));
        remove->setToolTip(tr("Stop tidying this folder. Its files stay where they are."));
        connect(remove, &QPushButton::clicked, this, [this, id, path] {
            widgets::showError(m_error, QString());
            // Off first, so the settings keep nothing of a folder that is gone.
            m_autoTidy.setEnabled(id, false);
            m_folders.remove(path);
        });
        top->addWidget(remove, 0, Qt::AlignVCenter);
    }

    auto* autoTidy = new ToggleSwitch(tr("Tidy automatically"));
    autoTidy->setObjectName(QStringLiteral("autoTidySwitch"));
    autoTidy->setAccessibleName(tr("Tidy %1 automatically").arg(name));
    autoTidy->setChecked(m_autoTidy.isEnabled(id));
    // clicked, not toggled: showing what the settings hold must not write them.
    connect(autoTidy, &QAbstractButton::clicked, this, [this, id, autoTidy](bool on) {
        m_autoTidy.setEnabled(id, on);
        autoTidy->setChecked(m_autoTidy.isEnabled(id));
    });
    auto* switchLine = new QHBoxLayout;
    switchLine->setContentsMargins(kSymbolSize + kSymbolGap, 0, 0, 0);
    switchLine->addWidget(autoTidy);

    auto* layout = new QVBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addLayout(switchLine);
    return row;
}

void FolderList::refresh() {
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            // Later: this may run from inside the row's own Remove button.
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    for (const TidiedFolders::Folder& folder : m_folders.folders())
        m_rows->addWidget(folderRow(folder.id, folder.path));

    const std::optional<QString> downloads = m_folders.offeredDownloads();
    m_addDownloads->setVisible(downloads.has_value());
    m_addDownloads->setToolTip(downloads ? SortRule::tildePath(*downloads) : QString());
    emit rowsChanged();
}

void FolderList::refreshSwitches() {
    for (int i = 0; i < m_rows->count(); ++i) {
        QWidget* row = m_rows->itemAt(i)->widget();
        if (auto* on = row->findChild<ToggleSwitch*>())
            on->setChecked(m_autoTidy.isEnabled(row->property(kFolderId).toString()));
    }
}

void FolderList::add(const QString& path) {
    const TidiedFolders::Refusal refusal = m_folders.add(path);
    widgets::showError(m_error, refusal == TidiedFolders::Refusal::None
                                    ? QString()
                                    : TidiedFolders::refusalText(refusal, path));
}

void FolderList::chooseAndAdd() {
    QPointer<FolderList> self(this);
    const std::optional<QString> chosen =
        m_services.chooseFolder(window(), chooseFolderMessage(), QDir::homePath());
    // The dialog's event loop may have closed the page meanwhile.
    if (chosen && self)
        add(*chosen);
}

QString FolderList::errorText() const {
    return m_error->isHidden() ? QString() : m_error->text();
}

QList<QPushButton*> FolderList::showButtons() const {
    QList<QPushButton*> out;
    for (int i = 0; i < m_rows->count(); ++i)
        out.append(m_rows->itemAt(i)->widget()->findChild<QPushButton*>(
            QStringLiteral("showFolderButton")));
    return out;
}

QList<QPushButton*> FolderList::removeButtons() const {
    QList<QPushButton*> out;
    for (int i = 0; i < m_rows->count(); ++i)
        out.append(m_rows->itemAt(i)->widget()->findChild<QPushButton*>(
            QStringLiteral("removeFolderButton")));
    return out;
}

QList<ToggleSwitch*> FolderList::autoTidySwitches() const {
    QList<ToggleSwitch*> out;
    for (int i = 0; i < m_rows->count(); ++i)
        out.append(m_rows->itemAt(i)->widget()->findChild<ToggleSwitch*>());
    return out;
}

QList<QWidget*> FolderList::tabStops() const {
    QList<QWidget*> out{m_addFolder};
    const QList<QPushButton*> shows = showButtons();
    const QList<QPushButton*> removes = removeButtons();
    const QList<ToggleSwitch*> switches = autoTidySwitches();
    for (qsizetype i = 0; i < shows.size(); ++i) {
        out.append(shows[i]);
        if (removes[i])
            out.append(removes[i]);
        out.append(switches[i]);
    }
    out.append(m_addDownloads);
    return out;
}
