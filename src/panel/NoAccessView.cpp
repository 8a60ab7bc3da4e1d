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
#include "widgets/Translations.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

NoAccessView::NoAccessView(Cleaner& cleaner, DesktopServices& services, QWidget* parent)
    : QWidget(parent), m_cleaner(cleaner), m_services(services) {
    m_title = widgets::makeLabel(QString(), widgets::TextStyle::Headline);
    m_title->setObjectName(QStringLiteral("noAccessTitle"));
    m_title->setWordWrap(true);
    auto* lock = new SymbolView(QStringLiteral("lock.fill"), 16, SymbolView::Tint::Primary);
    auto* titleLine = new QHBoxLayout;
    titleLine->setSpacing(6);
    titleLine->addWidget(lock, 0, Qt::AlignVCenter);
    titleLine->addWidget(m_title, 1);

    m_instructions =
        widgets::makeLabel(QString(), widgets::TextStyle::Callout, widgets::Emphasis::Secondary);
    m_instructions->setObjectName(QStringLiteral("noAccessText"));
    m_instructions->setWordWrap(true);

    m_openButton = new PrimaryButton(tr("Show in File Manager"));
    m_openButton->setObjectName(QStringLiteral("openSettingsButton"));
    connect(m_openButton, &QPushButton::clicked, this,
            [this] { showFolderToFix(m_services, m_cleaner.desktop(), m_error); });
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
    layout->addWidget(m_instructions);
    layout->addLayout(buttons);
    layout->addWidget(m_error);

    // The folders are named as the last scan found them.
    connect(&m_cleaner, &Cleaner::scanChanged, this, &NoAccessView::refresh);
    refresh();
}

void NoAccessView::refresh() {
    QStringList paths;
    for (const Scan::Folder& folder : m_cleaner.scan().folders)
        paths.append(SortRule::tildePath(folder.path));
    if (paths.size() <= 1) {
        m_title->setText(tr("Vantor can't see your Desktop"));
        m_instructions->setText(
            tr("Vantor can't read %1. Check that the folder exists and that you may open it.")
                .arg(SortRule::tildePath(m_cleaner.desktop())));
        return;
    }
    m_title->setText(tr("Vantor can't see your folders"));
    m_instructions->setText(
        tr("Vantor can't read %1. Check that the folders exist and that you may open them.")
            .arg(widgets::interfaceLocale().createSeparatedList(paths)));
}

void NoAccessView::showFolderToFix(DesktopServices& services, const QString& folder,
                                   QLabel* error) {
    const bool missing = !platform::exists(folder);
    const QString shown = missing ? platform::deletingLastPathComponent(folder) : folder;
    widgets::showError(error, QString());
    const auto answer = [error = QPointer<QLabel>(error), shown](bool found) {
        if (error)
            widgets::showError(error, found ? QString() : widgets::noFileManagerMessage(shown));
    };
    if (missing)
        services.openFolder(shown, answer);
    else
        services.reveal(shown, answer);
}

QString NoAccessView::fileManagerError() const {
    return m_error->isHidden() ? QString() : m_error->text();
}
