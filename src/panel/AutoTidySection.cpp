#include "panel/AutoTidySection.h"

#include "cleaner/AutoTidySettings.h"
#include "rules/TidiedFolders.h"
#include "widgets/TextStyles.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>

#include <algorithm>
#include <iterator>

AutoTidySection::AutoTidySection(AutoTidySettings& settings, TidiedFolders& folders,
                                 QWidget* parent)
    : QWidget(parent), m_settings(settings), m_folders(folders) {
    m_quietLabel =
        widgets::makeWrappingLabel(tr("Put away files left alone"), widgets::TextStyle::Callout);
    m_quietLabel->setObjectName(QStringLiteral("quietLabel"));
    m_quiet = new QComboBox;
    m_quiet->setObjectName(QStringLiteral("quietChoice"));
    m_quiet->setFont(widgets::font(widgets::TextStyle::Callout));
    m_quiet->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_quietLabel->setBuddy(m_quiet);
    // Installed after the drop-down's own filter, so it sees the keys first.
    m_quiet->view()->installEventFilter(this);
    // activated, not currentIndexChanged: only a user's pick is written, never the showing
    // of what the file holds.
    connect(m_quiet, &QComboBox::activated, this,
            [this](int index) { m_settings.setQuietSeconds(m_quiet->itemData(index).toInt()); });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_quietLabel, 1);
    layout->addWidget(m_quiet, 0, Qt::AlignVCenter);

    connect(&m_settings, &AutoTidySettings::changed, this, &AutoTidySection::refresh);
    connect(&m_folders, &TidiedFolders::foldersChanged, this, &AutoTidySection::refresh);
    refresh();
}

bool AutoTidySection::eventFilter(QObject* watched, QEvent* event) {
    // The open drop-down closes on Escape but leaves the key unclaimed, so the page's own
    // Escape would close the settings too. Claiming it keeps the key for the drop-down,
    // which then closes as any popup does.
    if (watched == m_quiet->view() && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel) &&
        m_quiet->view()->isVisible()) {
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString AutoTidySection::quietText(int seconds) {
    if (seconds % 3600 == 0)
        return tr("after %n hours", nullptr, seconds / 3600);
    if (seconds % 60 == 0)
        return tr("after %n minutes", nullptr, seconds / 60);
    return tr("after %n seconds", nullptr, seconds);
}

void AutoTidySection::refresh() {
    bool enabled = false;
    for (const TidiedFolders::Folder& folder : m_folders.folders())
        enabled = enabled || m_settings.isEnabled(folder.id);
    const int current = m_settings.quietSeconds();
    // The row reads as out of use while every switch is off, its words included.
    m_quietLabel->setEnabled(enabled);
    m_quiet->setEnabled(enabled);

    // The three choices, and in its place among them the file's own value when it is none.
    QList<int> choices(std::begin(AutoTidySettings::kQuietChoices),
                       std::end(AutoTidySettings::kQuietChoices));
    if (!choices.contains(current)) {
        choices.append(current);
        std::sort(choices.begin(), choices.end());
    }
    const QSignalBlocker quiet(m_quiet);
    m_quiet->clear();
    for (int seconds : choices)
        m_quiet->addItem(quietText(seconds), seconds);
    m_quiet->setCurrentIndex(int(choices.indexOf(current)));
}
