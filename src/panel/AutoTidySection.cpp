#include "panel/AutoTidySection.h"

#include "cleaner/AutoTidySettings.h"
#include "widgets/TextStyles.h"
#include "widgets/ToggleSwitch.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

AutoTidySection::AutoTidySection(AutoTidySettings& settings, QWidget* parent)
    : QWidget(parent), m_settings(settings) {
    m_switch = new ToggleSwitch(tr("Tidy automatically"));
    m_switch->setObjectName(QStringLiteral("autoTidySwitch"));
    connect(m_switch, &QAbstractButton::clicked, this,
            [this](bool on) { m_settings.setEnabled(on); });

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

    auto* quietRow = new QHBoxLayout;
    quietRow->setSpacing(8);
    quietRow->addWidget(m_quietLabel, 1);
    quietRow->addWidget(m_quiet, 0, Qt::AlignVCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(m_switch);
    layout->addLayout(quietRow);

    connect(&m_settings, &AutoTidySettings::changed, this, &AutoTidySection::refresh);
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
    const bool enabled = m_settings.isEnabled();
    const int current = m_settings.quietSeconds();
    m_switch->setChecked(enabled);
    // The row reads as out of use while the switch is off, its words included.
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
