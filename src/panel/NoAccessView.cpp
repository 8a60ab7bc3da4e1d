#include "panel/NoAccessView.h"

#include "cleaner/DesktopCleaner.h"
#include "platform/FileSystem.h"
#include "widgets/DesktopServices.h"
#include "widgets/PrimaryButton.h"
#include "widgets/SymbolView.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

NoAccessView::NoAccessView(DesktopCleaner& cleaner, DesktopServices& services, QWidget* parent)
    : QWidget(parent), m_cleaner(cleaner), m_services(services) {
    auto* title = widgets::makeLabel(QStringLiteral("Vantor can't see your Desktop"),
                                     widgets::TextStyle::Headline);
    title->setObjectName(QStringLiteral("noAccessTitle"));
    title->setWordWrap(true);
    auto* lock = new SymbolView(QStringLiteral("lock.fill"), 16, SymbolView::Tint::Primary);
    auto* titleLine = new QHBoxLayout;
    titleLine->setSpacing(6);
    titleLine->addWidget(lock, 0, Qt::AlignVCenter);
    titleLine->addWidget(title, 1);

    auto* instructions = widgets::makeLabel(
        QStringLiteral("Allow access in System Settings \u2192 Privacy & Security \u2192 Files "
                       "and Folders \u2192 Vantor \u2192 Desktop Folder."),
        widgets::TextStyle::Callout, widgets::Emphasis::Secondary);
    instructions->setObjectName(QStringLiteral("noAccessText"));
    instructions->setWordWrap(true);

    m_openButton = new PrimaryButton(QStringLiteral("Open System Settings"));
    m_openButton->setObjectName(QStringLiteral("openSettingsButton"));
    connect(m_openButton, &QPushButton::clicked, this, [this] {
        // There is no privacy pane to open: the Desktop's parent folder is where a missing
        // Desktop can be made again or its permissions set.
        m_services.openFolder(platform::deletingLastPathComponent(m_cleaner.desktop()));
    });

    m_tryAgainButton = new QPushButton(QStringLiteral("Try Again"));
    m_tryAgainButton->setObjectName(QStringLiteral("tryAgainButton"));
    connect(m_tryAgainButton, &QPushButton::clicked, this, [this] { m_cleaner.rescan(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_openButton, 1);
    buttons->addWidget(m_tryAgainButton, 0, Qt::AlignVCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addLayout(titleLine);
    layout->addWidget(instructions);
    layout->addLayout(buttons);
}
