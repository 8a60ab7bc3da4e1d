#include "widgets/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeySequence>

namespace widgets {

namespace {

// A non-editable drop-down: named by its label (its buddy) or accessible name, valued by
// its current choice, with its list as its one child, as Qt shows it elsewhere.
class LabelledComboBox : public QAccessibleWidget {
  public:
    explicit LabelledComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return box()->currentText();
        if (t == QAccessible::Accelerator)
            return QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
        const QString own = QAccessibleWidget::text(t);
        return own.isEmpty() && t == QAccessible::Name ? box()->currentText() : own;
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == box()->view() ? 0 : -1;
    }
    QStringList actionNames() const override {
        return {showMenuAction(), pressAction(), setFocusAction()};
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) {
            if (box()->view()->isVisible())
                box()->hidePopup();
            else
                box()->showPopup();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

  private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

// A plain widget's role follows what it is when asked, not when first asked: a widget named
// before it was put in its window would otherwise stay a window to a screen reader. A named
// part of a window is a group of what it holds ("Images, 2 files").
class PlainWidget : public QAccessibleWidget {
  public:
    explicit PlainWidget(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Client) {}
    QAccessible::Role role() const override {
        if (widget()->isWindow())
            return QAccessible::Window;
        return widget()->accessibleName().isEmpty() ? QAccessible::Client : QAccessible::Grouping;
    }
};

QAccessibleInterface* vantorAccessible(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("QComboBox")) {
        auto* box = static_cast<QComboBox*>(widget);
        return box->isEditable() ? nullptr : new LabelledComboBox(box);
    }
    // Asked for the plain widget only once no class of its own took it: dialogs and main
    // windows keep what Qt makes of them.
    if (className == QLatin1String("QWidget"))
        return new PlainWidget(widget);
    return nullptr;
}

} // namespace

void installAccessibility() {
    QAccessible::installFactory(vantorAccessible);
}

} // namespace widgets
