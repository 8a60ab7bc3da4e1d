#include "panel/NoAccessView.h"

#include "cleaner/Cleaner.h"
#include "platform/FileSystem.h"
#include "rules/SortRule.h"
#include "widgets/DesktopServices.h"
#include "widgets/Messages.h"
#include "widgets/PrimaryButton.h"
#include "widgets/SymbolView.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

NoAccessView::NoAccessView(Cleaner& cleaner, DesktopServices& services, QWidget* parent)
    : QWidget(parent), m_cleaner(cleaner), m_services(services) {
    auto* title =
        widgets::makeLabel(tr("Vantor can't see your Desktop"), widgets::TextStyle::Headline);
    title->setObjectName(QStringLiteral("noAccessTitle"));
    title->setWordWrap(true);
    auto* lock = new SymbolView(QStringLiteral("lock.fill"), 16, SymbolView::Tint::Primary);
    auto* titleLine = new QHBoxLayout;
    titleLine->setSpacing(6);
    titleLine->addWidget(lock, 0, Qt::AlignVCenter);
    titleLine->addWidget(title, 1);

    auto* instructions = widgets::makeLabel(
        tr("Vantor can't read %1. Check that the folder exists and that you may open it.")
            .arg(SortRule::tildePath(m_cleaner.desktop())),
        widgets::TextStyle::Callout, widgets::Emphasis::Secondary);
    instructions->setObjectName(QStringLiteral("noAccessText"));
    instructions->setWordWrap(true);

    m_openButton = new PrimaryButton(tr("Show in File Manager"));
    m_openButton->setObjectName(QStringLiteral("openSettingsButton"));
    connect(m_openButton, &QPushButton::clicked, this, &NoAccessView::showInFileManager);
    m_error = widgets::makeErrorLabel();
    m_error->setObjectName(QStringLiteral("fileManagerError"));

    m_tryAgainButton = new QPushButton(tr("Try Again"));
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
    layout->addWidget(m_error);
}

void NoAccessView::showInFileManager() {
    // Where the user can fix it: the Desktop itself selected, or the folder that should
    // hold it when it is missing.
    const QString desktop = m_cleaner.desktop();
    const bool missing = !platform::exists(desktop);
    const QString shown = missing ? platform::deletingLastPathComponent(desktop) : desktop;
    widgets::showError(m_error, QString());
    const auto answer = [self = QPointer<NoAccessView>(this), shown](bool found) {
        if (self)
            widgets::showError(self->m_error,
                               found ? QString() : widgets::noFileManagerMessage(shown));
    };
    if (missing)
        m_services.openFolder(shown, answer);
    else
        m_services.reveal(shown, answer);
}

QString NoAccessView::fileManagerError() const {
    return m_error->isHidden() ? QString() : m_error->text();
}
