#include "panel/RuleRow.h"

#include "app/ElidedLabel.h"
#include "app/Symbols.h"
#include "app/TextStyles.h"
#include "platform/FileSystem.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int symbolFrame = 18;
constexpr int symbolSize = 16;

} // namespace

RuleRow::RuleRow(DesktopCleaner::Group group, QWidget* parent)
    : QWidget(parent), m_group(std::move(group)) {
    setToolTip(QStringLiteral("Moves to ") + m_group.rule.destination);

    auto* name = new ElidedLabel;
    name->setObjectName(QStringLiteral("ruleName"));
    name->setElideMode(Qt::ElideRight);
    name->setFont(ui::font(ui::TextStyle::Body, QFont::Medium));
    name->setFullText(m_group.rule.name);

    auto* count = ui::makeLabel(QString::number(m_group.files.size()), ui::TextStyle::Body,
                                ui::Emphasis::Secondary);
    count->setObjectName(QStringLiteral("fileCount"));

    auto* preview = new ElidedLabel;
    preview->setObjectName(QStringLiteral("preview"));
    preview->setFont(ui::font(ui::TextStyle::Caption));
    ui::setEmphasis(preview, ui::Emphasis::Secondary);
    preview->setFullText(previewText(m_group));

    // The symbol sits centred on the first text line, however tall the font makes it.
    auto* symbol =
        new ui::SymbolView(m_group.rule.symbol, symbolSize, ui::SymbolView::Tint::Accent);
    symbol->setFixedSize(symbolFrame, qMax(symbolSize, name->sizeHint().height()));

    auto* titleLine = new QHBoxLayout;
    titleLine->addWidget(name, 1);
    titleLine->addWidget(count);

    auto* text = new QVBoxLayout;
    text->setSpacing(2);
    text->addLayout(titleLine);
    text->addWidget(preview);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(10);
    layout->addWidget(symbol, 0, Qt::AlignTop);
    layout->addLayout(text, 1);

    // The labels let hovering fall through to the row, so its tooltip shows everywhere on it,
    // also over a shortened preview.
    for (QWidget* child : {static_cast<QWidget*>(name), static_cast<QWidget*>(count),
                           static_cast<QWidget*>(preview), static_cast<QWidget*>(symbol)})
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
}

QString RuleRow::previewText(const DesktopCleaner::Group& group) {
    const QStringList& files = group.files;
    QStringList shown;
    for (qsizetype i = 0; i < qMin<qsizetype>(2, files.size()); ++i)
        shown << platform::lastPathComponent(files[i]);
    QString text = shown.join(QStringLiteral(", "));
    if (files.size() > 2)
        text += QStringLiteral(" +") + QString::number(files.size() - 2);
    return text;
}
