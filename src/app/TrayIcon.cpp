#include "app/TrayIcon.h"

#include "cleaner/AutoTidy.h"
#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "panel/CleanView.h"
#include "rules/TidiedFolders.h"
#include "widgets/Colors.h"

#include <QMenu>
#include <QPainter>

namespace {

// QSystemTrayIcon has no overlay or badge of its own, so the dot is drawn into each size of
// the full-colour icon (a symbolic icon by name would lose it).
QIcon withBadge() {
    const QIcon base = QIcon::fromTheme(QStringLiteral(VANTOR_APP_ID));
    QIcon badged;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap canvas(size, size);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        base.paint(&painter, canvas.rect());
        const qreal dot = std::max(6.0, size * 0.4);
        const QRectF where(size - dot, 0, dot, dot);
        painter.setPen(QPen(Qt::white, std::max(1.0, dot / 6)));
        painter.setBrush(widgets::accentFill());
        painter.drawEllipse(where.adjusted(0.5, 0.5, -0.5, -0.5));
        painter.end();
        badged.addPixmap(canvas);
    }
    return badged;
}

} // namespace

TrayIcon::TrayIcon(Cleaner& cleaner, AutoTidy& autoTidy, AutoTidySettings& autoTidySettings,
                   const QIcon& idle, QObject* parent)
    : QSystemTrayIcon(idle, parent), m_cleaner(cleaner), m_autoTidy(autoTidy),
      m_autoTidySettings(autoTidySettings), m_idle(idle) {
    auto* menu = new QMenu();
    m_clean = menu->addAction(QString(), &m_cleaner, [this] { m_cleaner.startClean(); });
    m_undo = menu->addAction(tr("Undo"), &m_cleaner, [this] { m_cleaner.startUndo(); });
    m_pause = menu->addAction(tr("Pause Automatic Tidying for 1 Hour"));
    m_pause->setCheckable(true);
    connect(m_pause, &QAction::triggered, this, [this](bool on) {
        if (on)
            m_autoTidy.pause(kPauseMs);
        else
            m_autoTidy.resume();
    });
    menu->addSeparator();
    menu->addAction(tr("Edit Rules\u2026"), this, &TrayIcon::editRulesRequested);
    menu->addAction(tr("Open Vantor"), this, &TrayIcon::openRequested);
    menu->addSeparator();
    menu->addAction(tr("Quit Vantor"), this, &TrayIcon::quitRequested);
    setContextMenu(menu);

    for (const auto changed :
         {&Cleaner::scanChanged, &Cleaner::lastCleanChanged, &Cleaner::statusChanged})
        connect(&m_cleaner, changed, this, &TrayIcon::refresh);
    connect(&m_cleaner, &Cleaner::busyChanged, this, &TrayIcon::refresh);
    connect(&m_autoTidy, &AutoTidy::pausedChanged, this, &TrayIcon::refresh);
    connect(&m_autoTidySettings, &AutoTidySettings::changed, this, &TrayIcon::refresh);
    connect(m_cleaner.folders(), &TidiedFolders::foldersChanged, this, &TrayIcon::refresh);
    refresh();
}

TrayIcon::~TrayIcon() {
    delete contextMenu();
}

void TrayIcon::refresh() {
    const Scan& scan = m_cleaner.scan();
    const int total = scan.totalFiles();
    const bool busy = m_cleaner.isBusy();
    const QString clean = CleanView::cleanButtonText(scan);
    m_clean->setText(total == 0 ? clean : tr("%1 (%n files)", nullptr, total).arg(clean));
    m_clean->setEnabled(total > 0 && !busy);
    m_undo->setEnabled(m_cleaner.lastClean().has_value() && !busy &&
                       m_cleaner.status().kind != Cleaner::Status::Kind::Undone);
    m_pause->setVisible(m_autoTidy.isOn());
    m_pause->setChecked(m_autoTidy.isPaused());

    setToolTip(total == 0 ? tr("Vantor \u2014 nothing to put away")
                          : tr("Vantor \u2014 %n files to put away", nullptr, total));
    if (m_badged != (total > 0)) {
        m_badged = total > 0;
        if (m_badged && m_withBadge.isNull())
            m_withBadge = withBadge();
        setIcon(m_badged ? m_withBadge : m_idle);
    }
}
