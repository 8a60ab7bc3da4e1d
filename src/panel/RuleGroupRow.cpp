#include "panel/RuleGroupRow.h"

#include "platform/FileSystem.h"
#include "widgets/Appearance.h"
#include "widgets/Colors.h"
#include "widgets/Divider.h"
#include "widgets/ElidedLabel.h"
#include "widgets/RoundedBox.h"
#include "widgets/SymbolView.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kSymbolFrame = 18;
constexpr int kSymbolSize = 16;
constexpr int kDividerIndent = 36;

// A divider that starts under the rows' text rather than under their symbols.
QWidget* indentedDivider() {
    auto* holder = new QWidget;
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(kDividerIndent, 0, 0, 0);
    layout->addWidget(new Divider(Qt::Horizontal));
    return holder;
}

} // namespace

RuleGroupRow::RuleGroupRow(Scan::Group group, QWidget* parent)
    : QWidget(parent), m_group(std::move(group)) {
    const bool trash = m_group.rule.action == SortRule::Action::Trash;
    setToolTip(trash ? tr("Moves to the Trash") : tr("Moves to %1").arg(m_group.rule.destination));

    auto* name = new ElidedLabel;
    name->setObjectName(QStringLiteral("ruleName"));
    name->setElideMode(Qt::ElideRight);
    name->setFont(widgets::font(widgets::TextStyle::Body, QFont::Medium));
    name->setFullText(m_group.rule.name);

    const int files = int(m_group.files.size());
    // Files that leave for the Trash rather than a folder are told apart at a glance.
    auto* count = widgets::makeLabel(
        trash ? tr("%n files to the Trash", nullptr, files) : QString::number(files),
        widgets::TextStyle::Body,
        trash ? widgets::Emphasis::Primary : widgets::Emphasis::Secondary);
    count->setObjectName(QStringLiteral("fileCount"));
    if (trash) {
        const auto tint = [count] {
            QPalette orange = count->palette();
            // The rows stand in a rounded box, a shade off the window the colour was made for.
            orange.setColor(QPalette::WindowText,
                            widgets::readableOn(widgets::warningOrange(),
                                                RoundedBox::background(QApplication::palette()),
                                                widgets::kTextContrast));
            count->setPalette(orange);
        };
        tint();
        connect(&Appearance::instance(), &Appearance::changed, count, tint);
    }

    // Read out as one: a screen reader otherwise gives the name and a bare number apart.
    setAccessibleName(tr("%1, %2").arg(m_group.rule.name,
                                       trash ? count->text() : tr("%n files", nullptr, files)));

    auto* preview = new ElidedLabel;
    preview->setObjectName(QStringLiteral("preview"));
    preview->setFont(widgets::font(widgets::TextStyle::Caption));
    widgets::setEmphasis(preview, widgets::Emphasis::Secondary);
    preview->setFullText(previewText(m_group));

    // The symbol sits centred on the first text line, however tall the font makes it.
    auto* symbol = new SymbolView(m_group.rule.symbol, kSymbolSize, SymbolView::Tint::Accent);
    symbol->setFixedSize(kSymbolFrame, qMax(kSymbolSize, name->sizeHint().height()));

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

QString RuleGroupRow::previewText(const Scan::Group& group) {
    const QStringList& files = group.files;
    QStringList shown;
    for (qsizetype i = 0; i < qMin<qsizetype>(2, files.size()); ++i)
        shown << platform::lastPathComponent(files[i]);
    QString text = shown.join(QStringLiteral(", "));
    if (files.size() > 2)
        text += QStringLiteral(" +") + QString::number(files.size() - 2);
    return text;
}

void RuleGroupRow::fillList(QVBoxLayout* layout, const QList<Scan::Group>& groups) {
    // Rows are rebuilt from the scan each time; nothing in them holds state worth keeping.
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    QList<const Scan::Group*> visible;
    for (const Scan::Group& group : groups)
        if (!group.files.isEmpty())
            visible.append(&group);
    for (const Scan::Group* group : visible) {
        if (group != visible.first())
            layout->addWidget(indentedDivider());
        layout->addWidget(new RuleGroupRow(*group));
    }
}

QList<RuleGroupRow*> RuleGroupRow::rowsIn(const QVBoxLayout* layout) {
    QList<RuleGroupRow*> out;
    for (int i = 0; i < layout->count(); ++i)
        if (auto* row = qobject_cast<RuleGroupRow*>(layout->itemAt(i)->widget()))
            out.append(row);
    return out;
}
