#include "TestSupport.h"

#include "editor/RuleDetail.h"
#include "editor/RuleList.h"
#include "editor/RulesEditor.h"
#include "editor/RulesWindow.h"
#include "rules/RuleStore.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

class TestRulesWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<RuleStore> m_store;

    RulesEditor* open() {
        RulesWindow::show(*m_store);
        RulesEditor* editor = RulesWindow::window();
        editor->setDetailServices({});
        [&] { QVERIFY(QTest::qWaitForWindowExposed(editor)); }();
        return editor;
    }
    template <typename T> T* find(const char* name) const {
        return RulesWindow::window()->findChild<T*>(QString::fromLatin1(name));
    }
    // In the pane of the selected rule (a replaced pane lingers until deleted later).
    template <typename T> T* inPane(const char* name) const {
        return RulesWindow::window()->detail()->findChild<T*>(QString::fromLatin1(name));
    }
    void click(const char* button) {
        QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
    }
    QUuid idAt(int i) const { return m_store->rules().at(i).id; }
    QStringList names() const {
        QStringList list;
        for (const SortRule& r : m_store->rules())
            list.append(r.name);
        return list;
    }
    // What the sidebar shows, row by row: "name|subtitle".
    QStringList rows() const {
        QStringList list;
        QAbstractItemModel* model = find<QListView>("ruleList")->model();
        for (int i = 0; i < model->rowCount(); ++i)
            list.append(model->index(i, 0).data().toString() + '|' +
                        model->index(i, 0).data(RuleListModel::SubtitleRole).toString());
        return list;
    }
    bool placeholderShown() const {
        return find<QStackedWidget>("")->currentWidget() == find<QWidget>("placeholder");
    }
    void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  private slots:
    void init() {
        m_config = std::make_unique<QTemporaryDir>();
        m_store = std::make_unique<RuleStore>(m_config->path());
        m_store->restoreDefaults();
    }

    // The window goes with its store, so every test starts with a fresh one.
    void cleanup() {
        m_store.reset();
        QVERIFY(!RulesWindow::window());
        m_config.reset();
    }

    void oneWindowThatComesBackAsItWasLeft() {
        RulesEditor* editor = open();
        QCOMPARE(editor->windowTitle(), QString("Vantor Rules"));
        QCOMPARE(editor->size(), QSize(680, 460));
        QCOMPARE(editor->minimumSize(), QSize(620, 400));
        QCOMPARE(editor->selection(), idAt(0));

        editor->setSelection(idAt(1));
        inPane<QLineEdit>("typesField")->setText("half-typed");
        editor->resize(700, 500);
        editor->close();
        QVERIFY(!editor->isVisible());

        open();
        QCOMPARE(RulesWindow::window(), editor);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->size(), QSize(700, 500));
        QCOMPARE(editor->selection(), idAt(1));
        QCOMPARE(inPane<QLineEdit>("typesField")->text(), QString("half-typed"));
    }

    void sizeLimits() {
        RulesEditor* editor = open();
        QWidget* sidebar = find<QWidget>("sidebar");
        editor->resize(500, 300);
        QTRY_COMPARE(editor->size(), QSize(620, 400));
        QCOMPARE(sidebar->width(), 200);
        editor->resize(1000, 700);
        QTRY_COMPARE(editor->width(), 1000);
        QCOMPARE(sidebar->width(), 200);
    }

    void emptyListShowsPlaceholder() {
        for (const SortRule& r : QList<SortRule>(m_store->rules()))
            m_store->remove(r.id);
        open();
        QCOMPARE(RulesWindow::window()->selection(), std::nullopt);
        QVERIFY(placeholderShown());
        QVERIFY(!find<QToolButton>("deleteRuleButton")->isEnabled());
        QLabel* hint = nullptr;
        for (QLabel* label : find<QWidget>("placeholder")->findChildren<QLabel*>())
            hint = label;
        QCOMPARE(hint->text(), QString("Select a rule, or add one with +"));
    }

    void clickingARowSelectsIt() {
        RulesEditor* editor = open();
        auto* list = find<QListView>("ruleList");
        const QRect row = list->visualRect(list->model()->index(2, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(editor->selection(), idAt(2));
        QCOMPARE(editor->detail()->ruleId(), idAt(2));
    }

    void addSelectsTheNewRule() {
        RulesEditor* editor = open();
        click("addRuleButton");
        QCOMPARE(m_store->rules().size(), 4);
        QCOMPARE(editor->selection(), idAt(3));
        QCOMPARE(editor->detail()->ruleId(), idAt(3));
        QCOMPARE(inPane<QLineEdit>("nameField")->text(), m_store->rules().at(3).name);
        QCOMPARE(rows().last(), m_store->rules().at(3).name + "|No file types");
    }

    void deleteSelectsTheNeighbour() {
        RulesEditor* editor = open();
        const QUuid second = idAt(1);
        click("deleteRuleButton"); // the first
        QCOMPARE(names(), (QStringList{"Documents", "Installers"}));
        QCOMPARE(editor->selection(), second);

        editor->setSelection(idAt(1));
        const QUuid before = idAt(0);
        click("deleteRuleButton"); // the last
        QCOMPARE(editor->selection(), before);

        click("deleteRuleButton"); // the only one
        QVERIFY(m_store->rules().isEmpty());
        QCOMPARE(editor->selection(), std::nullopt);
        QVERIFY(placeholderShown());
        QVERIFY(!find<QToolButton>("deleteRuleButton")->isEnabled());
    }

    void deletingAStaleSelectionSelectsTheFirst() {
        RulesEditor* editor = open();
        editor->setSelection(idAt(2));
        m_store->remove(idAt(2)); // elsewhere in Vantor
        QVERIFY(placeholderShown());
        click("deleteRuleButton");
        QCOMPARE(names(), (QStringList{"Images", "Documents"}));
        QCOMPARE(editor->selection(), idAt(0));
    }

    void rowsReadNameAndCount() {
        open();
        const QUuid images = idAt(0);
        m_store->rename(images, "");
        m_store->addRule();
        m_store->addExtensions("mov", idAt(3));
        QCOMPARE(rows().at(0), QString("Untitled|10 file types"));
        QCOMPARE(rows().at(3), m_store->rules().at(3).name + "|1 file type");
        m_store->addExtensions("mp4", idAt(3));
        QCOMPARE(rows().at(3), m_store->rules().at(3).name + "|2 file types");
        QCOMPARE(m_store->rule(images)->name, QString()); // only shown as "Untitled"
    }

    void renamingInThePaneUpdatesTheList() {
        RulesEditor* editor = open();
        auto* field = inPane<QLineEdit>("nameField");
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(rows().at(0), QString("Untitled|10 file types"));
        QCOMPARE(editor->detail()->chooseFolderMessage(),
                 QString("Choose where these files should go."));
        // Still the same pane, still focused: typing goes on.
        QVERIFY(field->hasFocus());
        QTest::keyClicks(field, "Pics");
        QCOMPARE(rows().at(0), QString("Pics|10 file types"));
    }

    void anotherRuleGetsAFreshPane() {
        RulesEditor* editor = open();
        editor->setSelection(idAt(1));
        inPane<QLineEdit>("typesField")->setText("jpg");
        editor->detail()->addTypes(); // "Moved .jpg from Images."
        QVERIFY(inPane<QWidget>("noteRow")->isVisibleTo(editor));
        inPane<QLineEdit>("typesField")->setText("pending");

        // Store changes keep the pane and what it holds...
        m_store->rename(idAt(1), "Papers");
        QCOMPARE(inPane<QLineEdit>("typesField")->text(), QString("pending"));
        QVERIFY(inPane<QWidget>("noteRow")->isVisibleTo(editor));

        // ...showing another rule and coming back does not.
        editor->setSelection(idAt(0));
        editor->setSelection(idAt(1));
        settle();
        QCOMPARE(inPane<QLineEdit>("typesField")->text(), QString());
        QVERIFY(!inPane<QWidget>("noteRow")->isVisibleTo(editor));
        QVERIFY(inPane<QWidget>("typesHelp")->isVisibleTo(editor));
    }

    void restoreDefaultsConfirmed() {
        RulesEditor* editor = open();
        m_store->addRule();
        m_store->remove(idAt(0));
        editor->setSelection(idAt(2));
        click("restoreDefaultsButton");
        QMessageBox* box = editor->restoreConfirmation();
        QVERIFY(box);
        QVERIFY(editor->isConfirmingReset());
        QCOMPARE(box->text(), QString("Restore the default rules?"));
        QCOMPARE(box->informativeText(),
                 QString("Your custom rules and folders will be replaced with Images and "
                         "Documents on the Desktop. Files you already sorted stay where they "
                         "are."));
        // Return picks the harmless answer.
        QCOMPARE(box->defaultButton(), box->button(QMessageBox::Cancel));

        QTest::mouseClick(box->findChild<QPushButton*>("confirmRestoreButton"), Qt::LeftButton);
        QVERIFY(!editor->isConfirmingReset());
        QCOMPARE(names(), (QStringList{"Images", "Documents", "Installers"}));
        QCOMPARE(editor->selection(), idAt(0));
    }

    void restoreDefaultsCancelled() {
        RulesEditor* editor = open();
        m_store->rename(idAt(1), "Papers");
        editor->setSelection(idAt(1));
        QSignalSpy published(m_store.get(), &RuleStore::rulesChanged);
        click("restoreDefaultsButton");
        QMessageBox* box = editor->restoreConfirmation();
        QVERIFY(box);
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(!editor->isConfirmingReset());
        QCOMPARE(published.count(), 0);
        QCOMPARE(names(), (QStringList{"Images", "Papers", "Installers"}));
        QCOMPARE(editor->selection(), idAt(1));
    }
};

VANTOR_WIDGET_TEST_MAIN(TestRulesWindow)
#include "TestRulesWindow.moc"
