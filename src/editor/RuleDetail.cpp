#include "editor/RuleDetail.h"

#include "editor/ChipRemoveButton.h"
#include "editor/ExtensionChip.h"
#include "editor/FlowLayout.h"
#include "platform/FileSystem.h"
#include "platform/Locations.h"
#include "rules/RuleStore.h"
#include "widgets/Colors.h"
#include "widgets/DesktopServices.h"
#include "widgets/ElidedLabel.h"
#include "widgets/FittingScrollArea.h"
#include "widgets/IconButton.h"
#include "widgets/Messages.h"
#include "widgets/RoundedBox.h"
#include "widgets/RuleDescription.h"
#include "widgets/SymbolView.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kFieldMaxWidth = 280;

// A titled group of elements; the title names `buddy` for screen readers.
QWidget* section(const QString& title, const QList<QWidget*>& elements, QWidget* buddy) {
    auto* box = new QWidget;
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    auto* heading = widgets::makeLabel(title, widgets::TextStyle::Subheadline);
    heading->setFont(widgets::font(widgets::TextStyle::Subheadline, QFont::DemiBold));
    if (buddy) {
        heading->setBuddy(buddy);
        buddy->setAccessibleName(title);
    }
    column->addWidget(heading);
    for (QWidget* element : elements)
        column->addWidget(element);
    return box;
}

// A caption-sized symbol followed by wrapping text, the symbol level with the first line.
QWidget* symbolLine(SymbolView* symbol, QLabel* label, QWidget* parent) {
    auto* line = new QWidget(parent);
    auto* row = new QHBoxLayout(line);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(5);
    row->addWidget(symbol, 0, Qt::AlignTop);
    row->addWidget(label, 1);
    return line;
}

int symbolSizeFor(const QFont& font) {
    return qRound(QFontMetrics(font).height() * 0.9);
}

// The kind menu's entries besides the families, kept as their item data.
constexpr int kAnyKind = -1;
constexpr int kOtherKind = -2;
// The largest number a size field takes; in gigabytes still below the largest rule size.
constexpr int kMaxSizeNumber = 999999;

// The size a field and its unit show, in bytes; -1 for "any size".
qint64 sizeShown(const QSpinBox* field, const QComboBox* unit) {
    return field->value() == 0 ? -1 : qint64(field->value()) * unit->currentData().toLongLong();
}

} // namespace

RuleDetail::RuleDetail(RuleStore& store, const SortRule& rule, DesktopServices& services,
                       QWidget* parent)
    : QScrollArea(parent), m_store(store), m_rule(rule), m_services(services),
      m_tidiedFolder(platform::standardize(platform::desktopFolder())) {
    setObjectName(QStringLiteral("ruleDetail"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FittingScrollArea::takeFocusOnlyWhenScrolling(this);

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("ruleDetailContent"));
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(22);
    column->addWidget(buildNameSection());
    column->addWidget(buildActionSection());
    m_folderSection = buildFolderSection();
    column->addWidget(m_folderSection);
    column->addWidget(buildTypesSection());
    column->addWidget(buildConditionsSection());
    column->addStretch(1);
    setWidget(content);
    // The pane shares the window's background rather than a list's white.
    viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);

    connect(&Appearance::instance(), &Appearance::changed, this, &RuleDetail::updateWarningColor);
    updateWarningColor();
    setRule(rule);
}

void RuleDetail::updateWarningColor() {
    QPalette orange = m_desktopWarning->palette();
    orange.setColor(QPalette::WindowText, widgets::warningOrange());
    m_desktopWarning->setPalette(orange);
    m_desktopWarningSymbol->setColor(widgets::warningOrange());
    m_unreadable->setPalette(orange);
    m_unreadableSymbol->setColor(widgets::warningOrange());
}

QWidget* RuleDetail::buildNameSection() {
    m_nameField = new QLineEdit;
    m_nameField->setObjectName(QStringLiteral("nameField"));
    m_nameField->setPlaceholderText(tr("Rule name"));
    m_nameField->setMaximumWidth(kFieldMaxWidth);
    m_nameField->setText(m_rule.name);
    // textEdited, not textChanged: only the user's keystrokes rename, never setRule().
    connect(m_nameField, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_store.rename(m_rule.id, text); });

    m_description = widgets::makeWrappingLabel(QString(), widgets::TextStyle::Callout,
                                               widgets::Emphasis::Secondary);
    m_description->setObjectName(QStringLiteral("ruleDescription"));
    m_description->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const QFont caption = widgets::font(widgets::TextStyle::Caption);
    m_unreadableSymbol = new SymbolView(QStringLiteral("exclamationmark.triangle.fill"),
                                        symbolSizeFor(caption), SymbolView::Tint::Custom);
    m_unreadableText = widgets::makeWrappingLabel(QString(), widgets::TextStyle::Caption,
                                                  widgets::Emphasis::Primary);
    m_unreadableText->setObjectName(QStringLiteral("unreadableText"));
    m_unreadableText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_unreadable = symbolLine(m_unreadableSymbol, m_unreadableText, nullptr);
    m_unreadable->setObjectName(QStringLiteral("unreadableWarning"));
    return section(tr("Name"), {m_nameField, m_description, m_unreadable}, m_nameField);
}

QWidget* RuleDetail::buildActionSection() {
    m_actionChoice = new QComboBox;
    m_actionChoice->setObjectName(QStringLiteral("actionChoice"));
    m_actionChoice->addItem(tr("Move to a folder"), int(SortRule::Action::Move));
    m_actionChoice->addItem(tr("Move to the Trash"), int(SortRule::Action::Trash));
    m_actionChoice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(m_actionChoice, &QComboBox::activated, this, [this](int index) {
        m_store.setAction(m_rule.id, SortRule::Action(m_actionChoice->itemData(index).toInt()));
    });
    m_actionSection = section(tr("Action"), {m_actionChoice}, m_actionChoice);
    m_actionChoice->parentWidget()->layout()->setAlignment(m_actionChoice, Qt::AlignLeft);
    return m_actionSection;
}

QWidget* RuleDetail::buildFolderSection() {
    auto* box = new RoundedBox(7);
    box->setObjectName(QStringLiteral("folderBox"));
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(10, 10, 10, 10);
    row->setSpacing(8);

    const QFont pathFont = widgets::monospacedFont(widgets::TextStyle::Body);
    row->addWidget(new SymbolView(QStringLiteral("folder.fill"), symbolSizeFor(pathFont) + 2,
                                  SymbolView::Tint::Accent));

    m_destinationLabel = new ElidedLabel;
    m_destinationLabel->setObjectName(QStringLiteral("destinationLabel"));
    m_destinationLabel->setFont(pathFont);
    m_destinationLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_destinationLabel->setCursor(Qt::IBeamCursor);
    row->addWidget(m_destinationLabel);
    row->addSpacerItem(new QSpacerItem(8, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));

    auto* choose = new QPushButton(tr("Choose…"));
    choose->setObjectName(QStringLiteral("chooseFolderButton"));
    connect(choose, &QPushButton::clicked, this, &RuleDetail::chooseFolder);
    row->addWidget(choose);

    auto* reveal = new IconButton;
    reveal->setObjectName(QStringLiteral("revealButton"));
    reveal->setSymbol(QStringLiteral("magnifyingglass"), tr("Show in File Manager"));
    m_revealButton = reveal;
    connect(m_revealButton, &QToolButton::clicked, this, &RuleDetail::revealFolder);
    row->addWidget(m_revealButton);

    const QFont caption = widgets::font(widgets::TextStyle::Caption);
    m_desktopWarningSymbol = new SymbolView(QStringLiteral("exclamationmark.triangle.fill"),
                                            symbolSizeFor(caption), SymbolView::Tint::Custom);
    m_desktopWarningText =
        widgets::makeWrappingLabel(tr("This rule points at the Desktop itself, so it won't move "
                                      "anything. Choose another folder."),
                                   widgets::TextStyle::Caption, widgets::Emphasis::Primary);
    m_desktopWarning = symbolLine(m_desktopWarningSymbol, m_desktopWarningText, nullptr);
    m_desktopWarning->setObjectName(QStringLiteral("desktopWarning"));

    m_folderHelp =
        widgets::makeWrappingLabel(tr("Vantor creates the folder the first time it's needed."),
                                   widgets::TextStyle::Caption, widgets::Emphasis::Secondary);
    m_folderHelp->setObjectName(QStringLiteral("folderHelp"));

    m_revealError = widgets::makeErrorLabel();
    m_revealError->setObjectName(QStringLiteral("fileManagerError"));

    return section(tr("Move matching files to"),
                   {box, m_revealError, m_desktopWarning, m_folderHelp}, nullptr);
}

QWidget* RuleDetail::buildTypesSection() {
    m_noTypesLabel =
        widgets::makeWrappingLabel(tr("No file types yet. This rule won't move anything until "
                                      "you add some."),
                                   widgets::TextStyle::Callout, widgets::Emphasis::Secondary);
    m_noTypesLabel->setObjectName(QStringLiteral("noTypesLabel"));

    m_chips = new QWidget;
    m_chips->setObjectName(QStringLiteral("chips"));
    m_chipLayout = new FlowLayout(6, m_chips);

    auto* inputRow = new QWidget;
    auto* row = new QHBoxLayout(inputRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    m_typesField = new QLineEdit;
    m_typesField->setObjectName(QStringLiteral("typesField"));
    m_typesField->setPlaceholderText(tr("Add types, e.g. mov, mp4, mkv"));
    m_typesField->setMaximumWidth(kFieldMaxWidth);
    m_addButton = new QPushButton(tr("Add"));
    m_addButton->setObjectName(QStringLiteral("addTypesButton"));
    row->addWidget(m_typesField, 1);
    row->addWidget(m_addButton);
    row->addStretch(0);
    connect(m_typesField, &QLineEdit::textChanged, this, &RuleDetail::updateAddEnabled);
    connect(m_typesField, &QLineEdit::returnPressed, this, &RuleDetail::addTypes);
    connect(m_addButton, &QPushButton::clicked, this, &RuleDetail::addTypes);
    updateAddEnabled();

    const QFont caption = widgets::font(widgets::TextStyle::Caption);
    m_noteLabel = widgets::makeWrappingLabel(QString(), widgets::TextStyle::Caption,
                                             widgets::Emphasis::Secondary);
    m_noteLabel->setObjectName(QStringLiteral("noteLabel"));
    m_noteRow = symbolLine(new SymbolView(QStringLiteral("arrow.right.arrow.left"),
                                          symbolSizeFor(caption), SymbolView::Tint::Secondary),
                           m_noteLabel, nullptr);
    m_noteRow->setObjectName(QStringLiteral("noteRow"));
    m_typesHelp =
        widgets::makeWrappingLabel(tr("Each file type belongs to one rule. Adding a type that's "
                                      "already used moves it here."),
                                   widgets::TextStyle::Caption, widgets::Emphasis::Secondary);
    m_typesHelp->setObjectName(QStringLiteral("typesHelp"));
    updateNote();

    return section(tr("File types"), {m_noTypesLabel, m_chips, inputRow, m_noteRow, m_typesHelp},
                   m_typesField);
}

QWidget* RuleDetail::buildConditionsSection() {
    m_conditions = new QWidget;
    auto* grid = new QGridLayout(m_conditions);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    const auto label = [grid](const QString& text, QWidget* buddy, int row) {
        QLabel* title = widgets::makeLabel(text, widgets::TextStyle::Body);
        title->setBuddy(buddy);
        buddy->setAccessibleName(title->text().remove(u'&'));
        grid->addWidget(title, row, 0);
    };

    m_kindChoice = new QComboBox;
    m_kindChoice->setObjectName(QStringLiteral("kindChoice"));
    m_kindChoice->addItem(tr("Any kind"), kAnyKind);
    const QList<RuleDescription::Family> families = RuleDescription::families();
    for (int i = 0; i < families.size(); ++i)
        m_kindChoice->addItem(families.at(i).name, i);
    m_kindChoice->addItem(tr("Other type…"), kOtherKind);
    connect(m_kindChoice, &QComboBox::activated, this, &RuleDetail::chooseKind);
    label(tr("Kind"), m_kindChoice, 0);
    grid->addWidget(m_kindChoice, 0, 1, 1, 2);

    m_otherKindField = new QLineEdit;
    m_otherKindField->setObjectName(QStringLiteral("otherKindField"));
    m_otherKindField->setAccessibleName(tr("Content type"));
    m_otherKindField->setPlaceholderText(tr("e.g. application/json, audio/*"));
    connect(m_otherKindField, &QLineEdit::editingFinished, this, &RuleDetail::applyOtherKinds);
    grid->addWidget(m_otherKindField, 1, 1, 1, 2);

    m_patternField = new QLineEdit;
    m_patternField->setObjectName(QStringLiteral("namePatternField"));
    m_patternField->setPlaceholderText(tr("Any name, or e.g. Screenshot*"));
    connect(m_patternField, &QLineEdit::textEdited, this, &RuleDetail::applyNamePattern);
    label(tr("Name is"), m_patternField, 2);
    grid->addWidget(m_patternField, 2, 1, 1, 2);

    addSizeRow(grid, tr("Larger than"), tr("Unit of the larger size"), true);
    addSizeRow(grid, tr("Smaller than"), tr("Unit of the smaller size"), false);

    m_ageField = new QSpinBox;
    m_ageField->setObjectName(QStringLiteral("minAgeField"));
    m_ageField->setRange(0, SortRule::kMaxAgeDays);
    m_ageField->setSpecialValueText(tr("any time"));
    connect(m_ageField, &QSpinBox::valueChanged, this,
            [this](int days) { m_store.setMinAgeDays(m_rule.id, days == 0 ? -1 : days); });
    const int ageRow = grid->rowCount();
    label(tr("Added more than"), m_ageField, ageRow);
    grid->addWidget(m_ageField, ageRow, 1);
    const QString daysAgo = tr("days ago");
    m_ageField->setAccessibleDescription(daysAgo);
    grid->addWidget(widgets::makeLabel(daysAgo, widgets::TextStyle::Body), ageRow, 2);
    grid->setColumnStretch(3, 1);

    m_conditionError = widgets::makeErrorLabel();
    m_conditionError->setObjectName(QStringLiteral("conditionError"));
    auto* help = widgets::makeWrappingLabel(
        tr("A file must fit all of them. Sizes count 1 MB as 1000 KB; age counts from when the "
           "file arrived in the folder."),
        widgets::TextStyle::Caption, widgets::Emphasis::Secondary);
    return section(tr("Conditions"), {m_conditions, m_conditionError, help}, nullptr);
}

void RuleDetail::addSizeRow(QGridLayout* grid, const QString& title, const QString& unitName,
                            bool larger) {
    const int row = grid->rowCount();
    auto* field = new QSpinBox;
    field->setRange(0, kMaxSizeNumber);
    field->setSpecialValueText(tr("any size"));
    auto* unit = new QComboBox;
    (larger ? m_minSizeField : m_maxSizeField) = field;
    (larger ? m_minSizeUnit : m_maxSizeUnit) = unit;
    unit->setAccessibleName(unitName);
    unit->addItem(tr("KB"), RuleDescription::kKB);
    unit->addItem(tr("MB"), RuleDescription::kMB);
    unit->addItem(tr("GB"), RuleDescription::kGB);
    unit->setCurrentIndex(1);
    QLabel* label = widgets::makeLabel(title, widgets::TextStyle::Body);
    label->setBuddy(field);
    field->setAccessibleName(title);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    grid->addWidget(unit, row, 2);
    const auto apply = [this, field, unit, larger] {
        const qint64 bytes = sizeShown(field, unit);
        if (larger)
            m_store.setMinSize(m_rule.id, bytes);
        else
            m_store.setMaxSize(m_rule.id, bytes);
    };
    connect(field, &QSpinBox::valueChanged, this, apply);
    connect(unit, &QComboBox::activated, this, apply);
}

void RuleDetail::showSize(QSpinBox* field, QComboBox* unit, qint64 bytes) {
    const qint64 shown = sizeShown(field, unit);
    // What the user typed stays as typed ("1000 KB" is not turned into "1 MB" under the cursor).
    if (shown == bytes)
        return;
    const QSignalBlocker quietField(field), quietUnit(unit);
    if (bytes < 0) {
        field->setValue(0);
        return;
    }
    int index = 0; // kilobytes, rounded up so that a size is never shown as none
    for (int i = unit->count() - 1; i > 0; --i) {
        if (bytes % unit->itemData(i).toLongLong() == 0) {
            index = i;
            break;
        }
    }
    const qint64 per = unit->itemData(index).toLongLong();
    unit->setCurrentIndex(index);
    field->setValue(int(qMin<qint64>(kMaxSizeNumber, (bytes + per - 1) / per)));
}

void RuleDetail::chooseKind(int index) {
    const int choice = m_kindChoice->itemData(index).toInt();
    widgets::showError(m_conditionError, QString());
    if (choice == kOtherKind) {
        m_otherKindField->show();
        m_otherKindField->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_otherKindField->hide();
    m_store.setKinds(m_rule.id, choice == kAnyKind ? QStringList()
                                                   : RuleDescription::families().at(choice).kinds);
}

void RuleDetail::applyOtherKinds() {
    const QStringList typed = m_otherKindField->text().split(
        QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts);
    for (const QString& kind : typed) {
        if (!SortRule::isValidKind(kind)) {
            widgets::showError(m_conditionError,
                               tr("Vantor doesn't know the content type \"%1\".").arg(kind));
            return;
        }
    }
    widgets::showError(m_conditionError, QString());
    if (typed != m_rule.kinds)
        m_store.setKinds(m_rule.id, typed);
}

void RuleDetail::applyNamePattern(const QString& text) {
    const bool usable = text.isEmpty() || SortRule::isValidNamePattern(text);
    widgets::showError(m_conditionError,
                       usable ? QString() : tr("A name pattern can't contain \"/\"."));
    if (usable)
        m_store.setNamePattern(m_rule.id, text);
}

void RuleDetail::updateConditions() {
    const SortRule& rule = m_rule;
    m_description->setText(RuleDescription::text(rule));
    const bool readable = rule.unreadable.isEmpty();
    m_unreadable->setVisible(!readable);
    if (!readable)
        m_unreadableText->setText(RuleDescription::unreadableText(rule));
    // What Vantor could not read is not shown in the controls: they stay until it is fixed.
    m_conditions->setEnabled(readable);
    m_actionSection->setEnabled(readable);

    const QSignalBlocker quietAction(m_actionChoice), quietKind(m_kindChoice);
    const bool trash = rule.action == SortRule::Action::Trash;
    m_actionChoice->setCurrentIndex(m_actionChoice->findData(int(rule.action)));
    m_folderSection->setVisible(!trash);

    const int family = RuleDescription::familyOf(rule.kinds);
    const bool typing = m_otherKindField->hasFocus();
    if (rule.kinds.isEmpty() && !typing) {
        m_kindChoice->setCurrentIndex(m_kindChoice->findData(kAnyKind));
        m_otherKindField->hide();
    } else if (family >= 0) {
        m_kindChoice->setCurrentIndex(m_kindChoice->findData(family));
        m_otherKindField->hide();
    } else if (!rule.kinds.isEmpty()) {
        m_kindChoice->setCurrentIndex(m_kindChoice->findData(kOtherKind));
        m_otherKindField->show();
        if (!typing)
            m_otherKindField->setText(rule.kinds.join(QStringLiteral(", ")));
    }
    if (!m_patternField->hasFocus() && m_patternField->text() != rule.namePattern)
        m_patternField->setText(rule.namePattern);
    showSize(m_minSizeField, m_minSizeUnit, rule.minSize);
    showSize(m_maxSizeField, m_maxSizeUnit, rule.maxSize);
    const QSignalBlocker quietAge(m_ageField);
    m_ageField->setValue(qMax(0, rule.minAgeDays));
    m_typesHelp->setText(rule.hasConditions()
                             ? tr("Other rules may have these types too: the first rule in the "
                                  "list that fits a file takes it.")
                             : tr("Each file type belongs to one rule. Adding a type that's "
                                  "already used moves it here."));
}

void RuleDetail::setRule(const SortRule& rule) {
    m_rule = rule;
    if (m_nameField->text() != rule.name)
        m_nameField->setText(rule.name);
    m_destinationLabel->setFullText(rule.destination);
    refreshFolderState();
    updateChips();
    updateConditions();
}

void RuleDetail::refreshFolderState() {
    const QString folder = m_rule.destinationURL();
    m_revealButton->setEnabled(platform::exists(folder));
    const bool isTidied = folder == m_tidiedFolder;
    m_desktopWarning->setVisible(isTidied);
    m_folderHelp->setVisible(!isTidied);
}

void RuleDetail::setTidiedFolder(const QString& path, const QString& name) {
    m_tidiedFolder = path;
    m_desktopWarningText->setText(
        name.isEmpty() ? tr("This rule points at the Desktop itself, so it won't move anything. "
                            "Choose another folder.")
                       : tr("This rule points at %1 itself, so it won't move anything. Choose "
                            "another folder.")
                             .arg(name));
    refreshFolderState();
}

void RuleDetail::updateChips() {
    const QStringList& types = m_rule.extensions;
    // Chips are known by their type, so one that stays keeps its hover state.
    for (auto it = m_chipByExt.begin(); it != m_chipByExt.end();) {
        if (types.contains(it.key())) {
            ++it;
            continue;
        }
        ExtensionChip* chip = it.value();
        m_chipLayout->removeWidget(chip);
        chip->hide();
        // Its own button may be what is running now.
        chip->deleteLater();
        it = m_chipByExt.erase(it);
    }
    for (int i = 0; i < types.size(); ++i) {
        const QString& type = types.at(i);
        ExtensionChip* chip = m_chipByExt.value(type);
        if (!chip) {
            chip = new ExtensionChip(
                type, [this, type] { m_store.removeExtension(type, m_rule.id); }, m_chips);
            m_chipByExt.insert(type, chip);
            m_chipLayout->addWidget(chip);
            chip->show();
        }
        const int at = m_chipLayout->indexOf(chip);
        if (at != i)
            m_chipLayout->moveItem(at, i);
    }
    m_noTypesLabel->setVisible(types.isEmpty() && !m_rule.hasConditions());
    m_chips->setVisible(!types.isEmpty());

    // Chips come and go after the field below them was made: Tab still reads top to bottom.
    QWidget* previous = m_revealButton;
    for (const QString& type : types) {
        QWidget* remove = m_chipByExt.value(type)->removeButton();
        QWidget::setTabOrder(previous, remove);
        previous = remove;
    }
    QWidget::setTabOrder(previous, m_typesField);
    QWidget::setTabOrder(m_typesField, m_addButton);
}

void RuleDetail::updateNote() {
    m_noteLabel->setText(m_note.value_or(QString()));
    m_noteRow->setVisible(m_note.has_value());
    m_typesHelp->setVisible(!m_note.has_value());
}

void RuleDetail::updateAddEnabled() {
    m_addButton->setEnabled(!RuleStore::parseExtensions(m_typesField->text()).isEmpty());
}

void RuleDetail::addTypes() {
    const QString typed = m_typesField->text();
    if (RuleStore::parseExtensions(typed).isEmpty())
        return;
    // The store gets the text as typed; it parses it again and says what it moved.
    m_note = m_store.addExtensions(typed, m_rule.id);
    updateNote();
    m_typesField->clear();
}

QString RuleDetail::chooseFolderMessage() const {
    const QString name = m_rule.name.isEmpty() ? tr("these") : m_rule.name;
    return tr("Choose where %1 files should go.").arg(name);
}

void RuleDetail::chooseFolder() {
    const QString folder = m_rule.destinationURL();
    const QString start =
        platform::exists(folder) ? folder : platform::deletingLastPathComponent(folder);
    const QUuid id = m_rule.id;
    RuleStore& store = m_store;
    QPointer<RuleDetail> self(this);
    const std::optional<QString> chosen =
        m_services.chooseFolder(window(), chooseFolderMessage(), start);
    // The dialog's event loop may have replaced this pane; the choice still belongs to the rule.
    if (chosen)
        store.setDestination(id, *chosen);
    if (self)
        self->refreshFolderState();
}

void RuleDetail::revealFolder() {
    const QString folder = m_rule.destinationURL();
    widgets::showError(m_revealError, QString());
    m_services.reveal(folder, [self = QPointer<RuleDetail>(this), folder](bool found) {
        if (self)
            widgets::showError(self->m_revealError,
                               found ? QString() : widgets::noFileManagerMessage(folder));
    });
}

void RuleDetail::focusName() {
    m_nameField->setFocus(Qt::OtherFocusReason);
    m_nameField->selectAll();
}

void RuleDetail::changeEvent(QEvent* event) {
    QScrollArea::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        refreshFolderState();
}

QString RuleDetail::fileManagerError() const {
    return m_revealError->isHidden() ? QString() : m_revealError->text();
}
