#include "editor/RulesEditor.h"

#include "editor/RuleListDelegate.h"
#include "editor/RuleListModel.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"
#include "widgets/Accessibility.h"
#include "widgets/Colors.h"
#include "widgets/Divider.h"
#include "widgets/FolderNames.h"
#include "widgets/IconButton.h"
#include "widgets/SymbolView.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kSidebarWidth = 200;

// The list side of the window, a shade apart from the detail side.
class Sidebar : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        const QPalette& p = palette();
        const QColor window = p.color(QPalette::Window);
        const QColor base = p.color(QPalette::Base);
        QPainter(this).fillRect(rect(), QColor::fromRgbF((window.redF() + base.redF()) / 2,
                                                         (window.greenF() + base.greenF()) / 2,
                                                         (window.blueF() + base.blueF()) / 2));
    }
};

IconButton* barButton(const QString& symbol, const QString& tooltip, const QString& name) {
    auto* button = new IconButton;
    button->setObjectName(name);
    button->setSymbol(symbol, tooltip);
    button->setIconSize(QSize(16, 16));
    button->setFixedSize(22, 22);
    return button;
}

// A window-modal question whose destructive answer is in red and whose default, also for
// Return, is Cancel. Deleted when closed.
QMessageBox* confirmationBox(QWidget* parent, const QString& name, const QString& question,
                             const QString& message, QPushButton* action) {
    auto* box = new QMessageBox(parent);
    box->setObjectName(name);
    box->setWindowTitle(RulesEditor::tr("Vantor Rules"));
    // The theme's warning symbol: not every icon theme has a full-colour one any more.
    box->setIconPixmap(widgets::symbolPixmap(QStringLiteral("exclamationmark.triangle.fill"), 40,
                                             widgets::warningOrange(),
                                             parent->devicePixelRatioF()));
    box->setTextFormat(Qt::PlainText);
    box->setText(question);
    box->setInformativeText(message);
    if (auto* title = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        title->setFont(widgets::font(widgets::TextStyle::Headline));
    // QMessageBox sizes itself to the title alone and squeezes the message into a narrow
    // column; give the message a comfortable measure instead.
    if (auto* text = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        text->setMinimumWidth(text->fontMetrics().averageCharWidth() * 52);
    box->addButton(action, QMessageBox::DestructiveRole);
    QPalette red = action->palette();
    red.setColor(QPalette::ButtonText, widgets::destructiveRed());
    action->setPalette(red);
    QPushButton* cancel = box->addButton(QMessageBox::Cancel);
    // Return must not destroy anything by accident.
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    return box;
}

} // namespace

RulesEditor::RulesEditor(TidiedFolders& folders, DesktopServices& services, QWidget* parent)
    : QWidget(parent), m_folders(folders), m_services(services) {
    widgets::installAccessibility();
    setObjectName(QStringLiteral("rulesEditor"));
    // Small enough for 1280x800 at scale 2 (640x400, less the desktop's bars and the title
    // bar): the detail pane scrolls when it is short.
    setMinimumSize(560, 340);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    // Made first, so Tab reaches the folders before the rules they hold.
    root->addWidget(buildFolderTabs());

    auto* main = new QHBoxLayout;
    main->setSpacing(0);
    main->addWidget(buildSidebar());
    main->addWidget(new Divider(Qt::Vertical));
    m_detailStack = new QStackedWidget;
    m_placeholder = buildPlaceholder();
    m_detailStack->addWidget(m_placeholder);
    main->addWidget(m_detailStack, 1);
    root->addLayout(main, 1);

    root->addWidget(new Divider(Qt::Horizontal));
    root->addWidget(buildFooter());

    // Escape and Ctrl+W close the window, Ctrl+Z brings back the last deleted rule; a
    // focused text field keeps Ctrl+Z for its own typing.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this), &QShortcut::activated, this,
            &RulesEditor::undoDelete);

    connect(&m_folders, &TidiedFolders::foldersChanged, this, [this] {
        // What was kept of a removed folder goes with it; while it was shown, the Desktop
        // takes its place.
        for (auto it = m_kept.begin(); it != m_kept.end();)
            it = m_folders.folder(it.key()) ? std::next(it) : m_kept.erase(it);
        showFolder(m_folderId);
    });
    connect(&Appearance::instance(), &Appearance::changed, this, &RulesEditor::applyTint);
    applyTint();
    showFolder(QString());
}

QWidget* RulesEditor::buildFolderTabs() {
    m_folderStrip = new QWidget;
    m_folderStrip->setObjectName(QStringLiteral("folderStrip"));
    m_folderTabs = new QTabBar;
    m_folderTabs->setObjectName(QStringLiteral("folderTabs"));
    m_folderTabs->setAccessibleName(tr("Folders"));
    m_folderTabs->setDocumentMode(true);
    m_folderTabs->setExpanding(false);
    m_folderTabs->setDrawBase(false);
    m_folderTabs->setUsesScrollButtons(true);
    m_folderTabs->setElideMode(Qt::ElideMiddle);
    connect(m_folderTabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0)
            showFolder(m_folderTabs->tabData(index).toString());
    });
    auto* row = new QHBoxLayout;
    row->setContentsMargins(12, 8, 12, 0);
    row->addWidget(m_folderTabs, 1);
    // The tabs stand on a line across the window: what is below belongs to the chosen one.
    auto* column = new QVBoxLayout(m_folderStrip);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(row);
    column->addWidget(new Divider(Qt::Horizontal));
    return m_folderStrip;
}

void RulesEditor::refreshFolderTabs() {
    const QSignalBlocker quiet(m_folderTabs);
    const QList<TidiedFolders::Folder>& folders = m_folders.folders();
    while (m_folderTabs->count() > folders.size())
        m_folderTabs->removeTab(m_folderTabs->count() - 1);
    for (qsizetype i = 0; i < folders.size(); ++i) {
        const int tab = int(i);
        if (tab == m_folderTabs->count())
            m_folderTabs->addTab(QString());
        m_folderTabs->setTabText(tab, widgets::folderName(m_folders, folders[i].path));
        m_folderTabs->setTabToolTip(tab, SortRule::tildePath(folders[i].path));
        m_folderTabs->setTabData(tab, folders[i].id);
        if (folders[i].id == m_folderId)
            m_folderTabs->setCurrentIndex(tab);
    }
    m_folderStrip->setVisible(folders.size() > 1);
}

QString RulesEditor::shownFolderName() const {
    return widgets::folderNameById(m_folders, m_folderId);
}

void RulesEditor::showFolder(const QString& id) {
    const TidiedFolders::Folder* folder = m_folders.folder(id);
    if (!folder)
        folder = &m_folders.folders().first();
    if (m_store == folder->rules && m_folderId == folder->id) {
        refreshFolderTabs();
        return;
    }
    // A question about the other folder's rules no longer applies.
    if (m_confirmation)
        m_confirmation->reject();
    if (m_deleteConfirmation)
        m_deleteConfirmation->reject();
    if (m_store) {
        disconnect(m_store, nullptr, this, nullptr);
        if (m_folders.folder(m_folderId))
            m_kept.insert(m_folderId, {m_selection, m_deleted});
    }
    m_folderId = folder->id;
    m_store = folder->rules;
    const Kept kept = m_kept.take(m_folderId);
    m_selection = kept.selection;
    m_deleted = kept.deleted;
    connect(m_store, &RuleStore::rulesChanged, this, &RulesEditor::refresh);

    // The pane edits the other folder's store: it goes, whatever it showed.
    dropDetail();
    showNote(QString());
    m_reminder->setText(m_folderId.isEmpty()
                            ? tr("Files that match no rule stay on your Desktop.")
                            : tr("Files that match no rule stay in %1.").arg(shownFolderName()));
    refreshFolderTabs();
    refresh();
    // A folder seen for the first time opens on its first rule, as the window does.
    if (!m_selection && isVisible() && !m_store->rules().isEmpty())
        setSelection(m_store->rules().first().id);
}

QWidget* RulesEditor::buildSidebar() {
    auto* sidebar = new Sidebar;
    sidebar->setObjectName(QStringLiteral("sidebar"));
    sidebar->setFixedWidth(kSidebarWidth);
    auto* column = new QVBoxLayout(sidebar);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_model = new RuleListModel(this);
    m_list = new QListView;
    m_list->setObjectName(QStringLiteral("ruleList"));
    m_list->setAccessibleName(tr("Rules"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(new RuleListDelegate(m_list));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setUniformItemSizes(true);
    // The order is the order in which rules are tried: it is changed by dragging a rule, or
    // with Alt+Up and Alt+Down.
    m_list->setDragDropMode(QAbstractItemView::InternalMove);
    m_list->setDefaultDropAction(Qt::MoveAction);
    m_list->setDropIndicatorShown(true);
    m_list->setAccessibleDescription(tr("The first rule that fits a file takes it. Alt+Up and "
                                        "Alt+Down move the selected rule."));
    m_list->setToolTip(tr("The first rule that fits a file takes it. Drag a rule, or press "
                          "Alt+Up or Alt+Down, to change the order."));
    connect(m_model, &RuleListModel::moveRequested, this,
            [this](const QUuid& id, int to) { m_store->moveRule(id, to); });
    for (const auto& [keys, step] : {std::pair{QKeySequence(Qt::ALT | Qt::Key_Up), -1},
                                     std::pair{QKeySequence(Qt::ALT | Qt::Key_Down), 1}}) {
        auto* shortcut = new QShortcut(keys, m_list);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, step = step] { moveSelectedRule(step); });
    }
    m_list->setMouseTracking(true);
    m_list->setAttribute(Qt::WA_MacShowFocusRect, false);
    // The list shows the sidebar's own background.
    m_list->viewport()->setAutoFillBackground(false);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_syncing)
            return;
        const QModelIndexList chosen = m_list->selectionModel()->selectedIndexes();
        setSelection(chosen.isEmpty() ? std::nullopt
                                      : std::optional<QUuid>(m_model->idAt(chosen.first().row())));
    });
    column->addSpacing(6);
    column->addWidget(m_list, 1);
    column->addWidget(new Divider(Qt::Horizontal));

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(8, 6, 8, 6);
    bar->setSpacing(4);
    m_addButton =
        barButton(QStringLiteral("plus"), tr("Add a rule"), QStringLiteral("addRuleButton"));
    m_deleteButton = barButton(QStringLiteral("minus"), tr("Delete the selected rule"),
                               QStringLiteral("deleteRuleButton"));
    connect(m_addButton, &QToolButton::clicked, this, &RulesEditor::addRule);
    connect(m_deleteButton, &QToolButton::clicked, this, &RulesEditor::confirmDeleteSelectedRule);
    bar->addWidget(m_addButton);
    bar->addWidget(m_deleteButton);
    bar->addStretch(1);
    column->addLayout(bar);
    return sidebar;
}

QWidget* RulesEditor::buildPlaceholder() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("placeholder"));
    auto* column = new QVBoxLayout(page);
    column->setSpacing(8);
    column->addStretch(1);
    column->addWidget(
        new SymbolView(QStringLiteral("list.bullet.rectangle"), 28, SymbolView::Tint::Secondary), 0,
        Qt::AlignHCenter);
    QLabel* text = widgets::makeLabel(tr("Select a rule, or add one with +"),
                                      widgets::TextStyle::Body, widgets::Emphasis::Secondary);
    text->setAlignment(Qt::AlignCenter);
    text->setWordWrap(true);
    column->addWidget(text);
    column->addStretch(1);
    return page;
}

QWidget* RulesEditor::buildFooter() {
    auto* footer = new QWidget;
    footer->setObjectName(QStringLiteral("footer"));
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(16, 10, 16, 10);
    m_reminder =
        widgets::makeLabel(QString(), widgets::TextStyle::Callout, widgets::Emphasis::Secondary);
    m_reminder->setObjectName(QStringLiteral("footerReminder"));
    m_reminder->setWordWrap(true);
    row->addWidget(m_reminder, 1);
    // After a delete: what was deleted, how to bring it back, and what it leaves behind.
    m_note =
        widgets::makeLabel(QString(), widgets::TextStyle::Callout, widgets::Emphasis::Secondary);
    m_note->setObjectName(QStringLiteral("footerNote"));
    m_note->setWordWrap(true);
    m_note->hide();
    row->addWidget(m_note, 1);
    m_restoreButton = new QPushButton(tr("Restore Defaults…"));
    m_restoreButton->setObjectName(QStringLiteral("restoreDefaultsButton"));
    connect(m_restoreButton, &QPushButton::clicked, this, &RulesEditor::confirmRestoreDefaults);
    row->addWidget(m_restoreButton);
    return footer;
}

void RulesEditor::applyTint() {
    // The editor is tinted with the accent: list selection, text selection, focus frames.
    QPalette tinted = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        tinted.setColor(group, QPalette::Highlight, widgets::quillon());
        tinted.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    setPalette(tinted);
    update();
}

void RulesEditor::setSelection(std::optional<QUuid> id) {
    m_selection = id;
    syncListSelection();
    updateDetail();
    m_deleteButton->setEnabled(m_selection.has_value());
}

void RulesEditor::refresh() {
    m_syncing = true;
    m_model->reload(m_store->rules());
    m_syncing = false;
    syncListSelection();
    updateDetail();
    m_deleteButton->setEnabled(m_selection.has_value());
}

void RulesEditor::syncListSelection() {
    m_syncing = true;
    const int row = m_selection ? m_model->rowOf(*m_selection) : -1;
    if (row >= 0) {
        const QModelIndex index = m_model->index(row);
        m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        m_list->scrollTo(index);
    } else {
        m_list->selectionModel()->clear();
    }
    m_syncing = false;
}

void RulesEditor::dropDetail() {
    if (!m_detail)
        return;
    // Deleted later, because one of its own controls may be what brought us here.
    m_detailStack->removeWidget(m_detail);
    m_detail->hide();
    m_detail->deleteLater();
    m_detail = nullptr;
}

void RulesEditor::updateDetail() {
    const std::optional<SortRule> rule = m_selection ? m_store->rule(*m_selection) : std::nullopt;
    // Another rule: its pane starts afresh, without the old typed text or note.
    if (m_detail && (!rule || m_detail->ruleId() != rule->id))
        dropDetail();
    if (!rule) {
        m_detailStack->setCurrentWidget(m_placeholder);
        return;
    }
    if (m_detail) {
        m_detail->setRule(*rule);
        return;
    }
    m_detail = new RuleDetail(*m_store, *rule, m_services);
    if (const TidiedFolders::Folder* folder = m_folders.folder(m_folderId))
        m_detail->setTidiedFolder(folder->path,
                                  m_folderId.isEmpty() ? QString() : shownFolderName());
    m_detailStack->addWidget(m_detail);
    m_detailStack->setCurrentWidget(m_detail);
    // The pane joins the end of the Tab order, after the footer made before it: Restore
    // Defaults goes after the pane again, so Tab reads list, +, −, pane, footer.
    QWidget* last = m_deleteButton;
    for (QWidget* w = m_detail->nextInFocusChain(); m_detail->isAncestorOf(w);
         w = w->nextInFocusChain())
        if (w->focusPolicy() != Qt::NoFocus)
            last = w;
    QWidget::setTabOrder(last, m_restoreButton);
}

void RulesEditor::addRule() {
    setSelection(m_store->addRule());
    // Ready to be named: typing replaces the name the store gave it.
    if (m_detail)
        m_detail->focusName();
}

void RulesEditor::deleteSelectedRule() {
    if (!m_selection)
        return;
    const QList<SortRule>& before = m_store->rules();
    qsizetype position = 0;
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (before.at(i).id == *m_selection) {
            position = i;
            break;
        }
    }
    if (const auto rule = m_store->rule(*m_selection)) {
        m_deleted.append({*rule, position});
        const QString name = rule->name.isEmpty() ? tr("Untitled") : rule->name;
        const std::optional<QString> orphans = m_store->remove(*m_selection);
        showNote(tr("Deleted \"%1\". Ctrl+Z brings it back.").arg(name) +
                 (orphans ? u' ' + *orphans : QString()));
    } else {
        m_store->remove(*m_selection);
    }
    // The rule that followed the deleted one, else the new last one, else nothing.
    const QList<SortRule>& after = m_store->rules();
    if (after.isEmpty())
        setSelection(std::nullopt);
    else if (position < after.size())
        setSelection(after.at(position).id);
    else
        setSelection(after.last().id);
}

void RulesEditor::showNote(const QString& note) {
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
    m_reminder->setVisible(note.isEmpty());
}

void RulesEditor::confirmDeleteSelectedRule() {
    if (m_deleteConfirmation) {
        m_deleteConfirmation->raise();
        m_deleteConfirmation->activateWindow();
        return;
    }
    const std::optional<SortRule> rule = m_selection ? m_store->rule(*m_selection) : std::nullopt;
    if (!rule) {
        deleteSelectedRule(); // a stale selection: nothing to ask about
        return;
    }
    auto* remove = new QPushButton(tr("Delete"));
    remove->setObjectName(QStringLiteral("confirmDeleteButton"));
    const QString name = rule->name.isEmpty() ? tr("Untitled") : rule->name;
    QMessageBox* box = confirmationBox(this, QStringLiteral("deleteConfirmation"),
                                       tr("Delete the rule \"%1\"?").arg(name),
                                       tr("Its files stay where they are."), remove);
    const QUuid id = rule->id;
    connect(box, &QMessageBox::finished, this, [this, box, remove, id] {
        m_deleteConfirmation = nullptr;
        // The rule asked about, also if the selection moved meanwhile.
        if (box->clickedButton() == remove && m_store->rule(id)) {
            m_selection = id;
            deleteSelectedRule();
        }
    });
    m_deleteConfirmation = box;
    box->open();
}

void RulesEditor::moveSelectedRule(int step) {
    if (!m_selection)
        return;
    const int row = m_model->rowOf(*m_selection);
    if (row < 0 || row + step < 0 || row + step >= m_model->rowCount())
        return;
    m_store->moveRule(*m_selection, row + step);
}

bool RulesEditor::undoDelete() {
    if (m_deleted.isEmpty())
        return false;
    const auto [rule, position] = m_deleted.takeLast();
    m_store->insert(rule, position);
    showNote(QString());
    setSelection(rule.id);
    return true;
}

void RulesEditor::confirmRestoreDefaults() {
    if (m_confirmation) {
        m_confirmation->raise();
        m_confirmation->activateWindow();
        return;
    }
    auto* restore = new QPushButton(tr("Restore Defaults"));
    restore->setObjectName(QStringLiteral("confirmRestoreButton"));
    const QString message =
        m_folderId.isEmpty()
            ? tr("Your custom rules and folders will be replaced with Images, Documents and "
                 "Installers on the Desktop. Files you already sorted stay where they are.")
            : tr("Your custom rules and folders for %1 will be replaced with the default ones. "
                 "Files you already sorted stay where they are.")
                  .arg(shownFolderName());
    QMessageBox* box = confirmationBox(this, QStringLiteral("restoreConfirmation"),
                                       tr("Restore the default rules?"), message, restore);
    connect(box, &QMessageBox::finished, this, [this, box, restore] {
        m_confirmation = nullptr;
        if (box->clickedButton() != restore)
            return;
        m_store->restoreDefaults();
        // The deleted rules belonged to the list that is gone.
        m_deleted.clear();
        showNote(QString());
        const QList<SortRule>& rules = m_store->rules();
        setSelection(rules.isEmpty() ? std::nullopt : std::optional<QUuid>(rules.first().id));
    });
    m_confirmation = box;
    box->open();
}

void RulesEditor::keyPressEvent(QKeyEvent* event) {
    // Return and Enter press a focused button, as Space does; the style's buttons outside
    // dialogs let them pass.
    auto* button = qobject_cast<QAbstractButton*>(focusWidget());
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && button &&
        isAncestorOf(button)) {
        if (button->isEnabled())
            button->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RulesEditor::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_selection && !m_store->rules().isEmpty())
        setSelection(m_store->rules().first().id);
}
