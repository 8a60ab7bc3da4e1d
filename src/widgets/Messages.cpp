#include "widgets/Messages.h"

#include "rules/SortRule.h"
#include "widgets/Colors.h"
#include "widgets/TextStyles.h"

#include <QCoreApplication>
#include <QLabel>

namespace widgets {

namespace {

void paintRed(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, destructiveRed());
    label->setPalette(palette);
}

} // namespace

QString noFileManagerMessage(const QString& folder) {
    return QCoreApplication::translate("Vantor", "No file manager found to show %1.")
        .arg(SortRule::tildePath(folder));
}

QLabel* makeErrorLabel(QWidget* parent) {
    QLabel* label = makeWrappingLabel(QString(), TextStyle::Caption, Emphasis::Primary, parent);
    label->hide();
    paintRed(label);
    QObject::connect(&Appearance::instance(), &Appearance::changed, label,
                     [label] { paintRed(label); });
    return label;
}

void showError(QLabel* label, const QString& text) {
    label->setText(text);
    label->setVisible(!text.isEmpty());
}

} // namespace widgets
