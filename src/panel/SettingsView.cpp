#include "panel/SettingsView.h"

#include "cleaner/Cleaner.h"
#include "panel/AutoTidySection.h"
#include "panel/FolderList.h"
#include "panel/HistoryList.h"
#include "platform/FileSystem.h"
#include "platform/gui/Autostart.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"
#include "widgets/Colors.h"
#include "widgets/DesktopServices.h"
#include "widgets/Divider.h"
#include "widgets/ElidedLabel.h"
#include "widgets/FittingScrollArea.h"
#include "widgets/FolderNames.h"
#include "widgets/Messages.h"
#include "widgets/SmallButton.h"
#include "widgets/SymbolView.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"
#include "widgets/ToggleSwitch.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

constexpr int kSymbolSize = 16;

platform::Autostart autostart() {
    return platform::Autostart(QStringLiteral(VANTOR_APP_ID),
                               QCoreApplication::applicationFilePath());
}

} // namespace

// One rule: its symbol, name and folder as written, and "Show" while the folder exists.
QWidget* SettingsView::ruleFolderRow(const SortRule& rule) {
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("settingsRule"));

    auto* symbol = new SymbolView(rule.symbol, kSymbolSize, SymbolView::Tint::Accent);

    auto* name = new ElidedLabel;
    name->setObjectName(QStringLiteral("ruleName"));
    name->setElideMode(Qt::ElideRight);
    name->setFont(widgets::font(widgets::TextStyle::Callout));
    name->setFullText(rule.name);

    auto* destination = new ElidedLabel;
    destination->setObjectName(QStringLiteral("ruleDestination"));
    destination->setFont(widgets::monospacedFont(widgets::TextStyle::Caption));
    widgets::setEmphasis(destination, widgets::Emphasis::Secondary);
    destination->setFullText(rule.destination);

    auto* text = new QVBoxLayout;
    text->setSpacing(1);
    text->addWidget(name);
    text->addWidget(destination);

    auto* show = new SmallButton(tr("Show"));
    show->setObjectName(QStringLiteral("showButton"));
    // Read out with the rule it belongs to: three buttons all called "Show" say nothing.
    show->setAccessibleName(
        tr("Show %1 folder").arg(rule.name.isEmpty() ? tr("Untitled") : rule.name));
    const QString folder = rule.destinationURL();
    show->setEnabled(platform::exists(folder));
    connect(show, &QPushButton::clicked, row, [this, folder] {
        widgets::showError(m_revealError, QString());
        m_services.reveal(folder, [self = QPointer<SettingsView>(this), folder](bool found) {
            if (self)
                widgets::showError(self->m_revealError,
                                   found ? QString() : widgets::noFileManagerMessage(folder));
        });
    });

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(symbol, 0, Qt::AlignVCenter);
    layout->addLayout(text, 1);
    layout->addWidget(show, 0, Qt::AlignVCenter);
    return row;
}

SettingsView::SettingsView(Cleaner& cleaner, AutoTidySettings& autoTidy, HistorySource& history,
                           DesktopServices& services, QWidget* parent)
    : QWidget(parent), m_cleaner(cleaner), m_services(services) {
    auto* title = widgets::makeLabel(tr("Settings"), widgets::TextStyle::Title3);
    title->setObjectName(QStringLiteral("settingsTitle"));

    m_loginSwitch = new ToggleSwitch(tr("Open Vantor at login"));
    m_loginSwitch->setObjectName(QStringLiteral("loginSwitch"));
    m_loginSwitch->setChecked(autostart().isEnabled());
    // clicked, not toggled: putting the switch back after a failure must not try again.
    connect(m_loginSwitch, &QAbstractButton::clicked, this, &SettingsView::setOpenAtLogin);

    m_loginError = widgets::makeErrorLabel();
    m_loginError->setObjectName(QStringLiteral("loginError"));

    auto* login = new QVBoxLayout;
    login->setSpacing(4);
    login->addWidget(m_loginSwitch);
    login->addWidget(m_loginError);

    TidiedFolders& folders = *m_cleaner.folders();
    m_folderList = new FolderList(folders, autoTidy, m_services);
    m_autoTidy = new AutoTidySection(autoTidy, folders);
    auto* folderBox = new QVBoxLayout;
    folderBox->setSpacing(10);
    folderBox->addWidget(m_folderList);
    folderBox->addWidget(m_autoTidy);

    auto* rulesTitle = widgets::makeLabel(tr("Rules"), widgets::TextStyle::Subheadline);
    rulesTitle->setFont(widgets::font(widgets::TextStyle::Subheadline, QFont::DemiBold));
    m_editRules = new SmallButton(tr("Edit Rules\u2026"));
    m_editRules->setObjectName(QStringLiteral("editRulesButton"));
    connect(m_editRules, &QPushButton::clicked, this,
            [this] { m_services.showRules(*m_cleaner.folders(), QString()); });
    auto* rulesHeader = new QHBoxLayout;
    rulesHeader->addWidget(rulesTitle);
    rulesHeader->addStretch(1);
    rulesHeader->addWidget(m_editRules);

    // Many rules scroll rather than push Done off the screen.
    auto* rows = new QWidget;
    m_ruleRows = new QVBoxLayout(rows);
    m_ruleRows->setContentsMargins(0, 0, 0, 0);
    m_ruleRows->setSpacing(8);
    auto* rowsScroll = new FittingScrollArea(rows);
    rowsScroll->setObjectName(QStringLiteral("ruleScroll"));
    auto* rules = new QVBoxLayout;
    rules->setSpacing(8);
    rules->addLayout(rulesHeader);
    rules->addWidget(rowsScroll);
    m_revealError = widgets::makeErrorLabel();
    m_revealError->setObjectName(QStringLiteral("fileManagerError"));
    rules->addWidget(m_revealError);

    auto* historyTitle = widgets::makeLabel(tr("History"), widgets::TextStyle::Subheadline);
    historyTitle->setFont(widgets::font(widgets::TextStyle::Subheadline, QFont::DemiBold));
    m_history = new HistoryList(history, m_services.clock());
    auto* historyBox = new QVBoxLayout;
    historyBox->setSpacing(8);
    historyBox->addWidget(historyTitle);
    historyBox->addWidget(m_history);
    // The clean page's status line is out of sight: the page confirms a put back as it would.
    m_putBackResult = widgets::makeWrappingLabel(QString(), widgets::TextStyle::Callout,
                                                 widgets::Emphasis::Secondary);
    m_putBackResult->setObjectName(QStringLiteral("putBackResult"));
    m_putBackResult->hide();
    historyBox->addWidget(m_putBackResult);

    auto* version = widgets::makeLabel(versionLine(), widgets::TextStyle::Caption,
                                       widgets::Emphasis::Secondary);
    version->setObjectName(QStringLiteral("versionLine"));
    m_done = new QPushButton(tr("Done"));
    m_done->setObjectName(QStringLiteral("doneButton"));
    // Made by the button, so Escape closes only this page and only while it is shown.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), m_done);
    connect(escape, &QShortcut::activated, m_done, &QPushButton::click);
    connect(m_done, &QPushButton::clicked, this, &SettingsView::done);
    auto* footer = new QHBoxLayout;
    footer->addWidget(version);
    footer->addStretch(1);
    footer->addWidget(m_done);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->addWidget(title);
    layout->addLayout(login);
    layout->addWidget(new Divider(Qt::Horizontal));
    layout->addLayout(folderBox);
    layout->addWidget(new Divider(Qt::Horizontal));
    layout->addLayout(rules);
    layout->addWidget(new Divider(Qt::Horizontal));
    layout->addLayout(historyBox);
    layout->addWidget(new Divider(Qt::Horizontal));
    layout->addLayout(footer);

    // Every change of the rule list is followed by a rescan, and so is every opening of the
    // panel: the rows and the folders' existence are fresh whenever the page is seen.
    connect(&m_cleaner, &Cleaner::scanChanged, this, &SettingsView::refreshRules);
    connect(&folders, &TidiedFolders::foldersChanged, this, &SettingsView::refreshRules);
    connect(m_folderList, &FolderList::rowsChanged, this, &SettingsView::orderTabs);
    connect(m_history, &HistoryList::rowsChanged, this, &SettingsView::orderTabs);
    connect(&m_cleaner, &Cleaner::statusChanged, this, &SettingsView::showPutBackResult);
    connect(&m_cleaner, &Cleaner::busyChanged, this, [this](bool busy) {
        if (busy)
            m_putBackResult->hide();
    });
    refreshRules();
}

void SettingsView::showPutBackResult() {
    const Cleaner::Status& status = m_cleaner.status();
    if (status.kind != Cleaner::Status::Kind::Undone) {
        m_putBackResult->hide();
        return;
    }
    // In the status line's words, which it would show after Undo.
    QString text =
        QCoreApplication::translate("StatusLine", "Put back %n files.", nullptr, status.restored());
    if (status.failed >= 1)
        text += u' ' + QCoreApplication::translate("StatusLine", "%n were missing.", nullptr,
                                                   status.failed);
    m_putBackResult->setText(text);
    m_putBackResult->show();
}

QString SettingsView::putBackResult() const {
    return m_putBackResult->isHidden() ? QString() : m_putBackResult->text();
}

QString SettingsView::versionLine() {
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? tr("Vantor by Quillon") : tr("Vantor %1 by Quillon").arg(version);
}

QString SettingsView::loginError() const {
    return m_loginError->isHidden() ? QString() : m_loginError->text();
}

QString SettingsView::fileManagerError() const {
    return m_revealError->isHidden() ? QString() : m_revealError->text();
}

QList<QPushButton*> SettingsView::showButtons() const {
    QList<QPushButton*> out;
    for (int i = 0; i < m_ruleRows->count(); ++i)
        if (QWidget* row = m_ruleRows->itemAt(i)->widget();
            row && row->objectName() == QLatin1String("settingsRule"))
            out.append(row->findChild<QPushButton*>(QStringLiteral("showButton")));
    return out;
}

void SettingsView::setOpenAtLogin(bool on) {
    platform::Autostart entry = autostart();
    const bool written = entry.setEnabled(on);
    // What holds now decides, whatever the write reported: a user entry that could not be
    // replaced, or a system entry that could not be masked, leaves the old state in force.
    const bool enabled = entry.isEnabled();
    m_loginSwitch->setChecked(enabled);
    const bool failed = !written || enabled != on;
    // What can stop it on Linux is the autostart folder: name it, as the user writes it.
    const QString folder =
        SortRule::tildePath(platform::deletingLastPathComponent(entry.userEntryPath()));
    widgets::showError(m_loginError,
                       failed ? tr("Couldn't change this. Check that %1 can be written and try "
                                   "again.")
                                    .arg(folder)
                              : QString());
}

void SettingsView::refreshRules() {
    while (QLayoutItem* item = m_ruleRows->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    const TidiedFolders& folders = *m_cleaner.folders();
    const bool several = folders.folders().size() > 1;
    for (const TidiedFolders::Folder& folder : folders.folders()) {
        // Each folder's rules under its name, once there is more than one folder.
        if (several) {
            auto* heading =
                widgets::makeLabel(widgets::folderName(folders, folder.path),
                                   widgets::TextStyle::Caption, widgets::Emphasis::Secondary);
            heading->setObjectName(QStringLiteral("ruleFolderHeader"));
            heading->setFont(widgets::font(widgets::TextStyle::Caption, QFont::DemiBold));
            m_ruleRows->addWidget(heading);
        }
        for (const SortRule& rule : folder.rules->rules())
            m_ruleRows->addWidget(ruleFolderRow(rule));
    }
    orderTabs();
}

void SettingsView::orderTabs() {
    QList<QWidget*> chain{m_loginSwitch};
    chain += m_folderList->tabStops();
    chain.append(m_autoTidy->quietChoice());
    chain.append(m_editRules);
    for (QPushButton* show : showButtons())
        chain.append(show);
    for (QPushButton* putBack : m_history->putBackButtons())
        if (putBack)
            chain.append(putBack);
    chain.append(m_done);
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}
