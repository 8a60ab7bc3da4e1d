#include "TestSupport.h"

#include "widgets/DesktopServices.h"

#include "editor/RuleDetail.h"
#include "editor/RuleListModel.h"
#include "editor/RulesEditor.h"
#include "editor/RulesWindow.h"
#include "platform/Locations.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

class TestRulesWindow : public QObject {
    Q_OBJECT

    DesktopServices m_services;
    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<TidiedFolders> m_folders;
    RuleStore* m_store = nullptr; // the Desktop's

    RulesEditor* open() {
        RulesWindow::show(*m_folders, QString(), m_services);
        RulesEditor* editor = RulesWindow::window();
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
    // What the sidebar shows, row by row: "name|subtitle".
    QStringList rows() const {
        QStringList list;
        QAbstractItemModel* model = find<QListView>("ruleList")->model();
        for (int i = 0; i < model->rowCount(); ++i)
            list.append(model->index(i, 0).data().toString() + '|' +
                        model->index(i, 0).data(RuleListModel::SubtitleRole).toString());
        return list;
    }
    // A second tidied folder, with rules of its own; its id, empty when it was refused.
    QString addDownloads() {
        QString id;
        QDir().mkpath(m_config->path() + "/Downloads");
        m_folders->add(m_config->path() + "/Downloads", &id);
        return id;
    }
    QString names() const {
        QStringList list;
        for (const SortRule& r : m_store->rules())
            list.append(r.name);
        return list.join(' ');
    }
    bool placeholderShown() const {
        return find<QStackedWidget>("")->currentWidget() == find<QWidget>("placeholder");
    }

  private slots:
    void init() {
        m_config = std::make_unique<QTemporaryDir>();
        m_folders = std::make_unique<TidiedFolders>(m_config->path(), platform::desktopFolder());
        m_store = m_folders->desktopRules();
        m_store->restoreDefaults();
    }

    // The window goes with its folders, so every test starts with a fresh one.
    void cleanup() {
        m_folders.reset();
        QVERIFY(!RulesWindow::window());
        m_config.reset();
    }

    // A 1280x800 screen at 2x scale has 640x384 to offer below its top bar: the window is no
    // bigger than that, except where its minimum size needs more, and its top stays on it.
    void firstSizeFitsTheScreen_data() {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("2x on 1280x800") << QRect(0, 16, 640, 384) << QRect(0, 16, 640, 384);
        QTest::newRow("second screen") << QRect(1920, 0, 700, 500) << QRect(1930, 20, 680, 460);
    }
    void firstSizeFitsTheScreen() {
        QFETCH(QRect, available);
        QFETCH(QRect, expected);
        const RulesEditor editor(*m_folders, m_services);
        QCOMPARE(RulesWindow::initialGeometry(available, editor.minimumSize()), expected);
    }

    // The first rule that fits takes a file, so the order is the user's: dragging a row
    // asks the list's model to move it, and Alt+Up/Down move the selected rule by one.
    void rulesAreReordered() {
        RulesEditor* editor = open();
        QAbstractItemModel* model = find<QListView>("ruleList")->model();
        model->moveRow({}, 0, {}, 2); // between the second and the third
        QCOMPARE(names(), "Documents Images Installers");
        model->moveRow({}, 0, {}, 3); // below the last
        QCOMPARE(names(), "Images Installers Documents");
        model->moveRow({}, 2, {}, 0);
        QCOMPARE(names(), "Documents Images Installers");

        editor->setSelection(idAt(2));
        auto* list = find<QListView>("ruleList");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Up, Qt::AltModifier);
        QTest::keyClick(list, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(names(), "Installers Documents Images");
        QCOMPARE(editor->selection(), idAt(0));
        QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(names(), "Documents Installers Images");
        QCOMPARE(list->currentIndex().row(), 1);
    }

    // Ctrl+W or Escape closes it, and it comes back as it was left.
    void oneWindowThatComesBackAsItWasLeft() {
        RulesEditor* editor = open();
        QCOMPARE(editor->selection(), idAt(0));
        auto* list = find<QListView>("ruleList");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(1, 0)).center());
        QCOMPARE(editor->detail()->ruleId(), idAt(1));
        inPane<QLineEdit>("typesField")->setText("half-typed");
        editor->resize(700, 500);
        QTest::keyClick(inPane<QLineEdit>("nameField"), Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!editor->isVisible());

        open();
        QCOMPARE(RulesWindow::window(), editor);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->size(), QSize(700, 500));
        QCOMPARE(editor->selection(), idAt(1));
        QCOMPARE(inPane<QLineEdit>("typesField")->text(), QString("half-typed"));
        QTest::keyClick(inPane<QLineEdit>("nameField"), Qt::Key_Escape);
        QVERIFY(!editor->isVisible());
    }

    // Every button without words has a name to be read out by, and Tab goes through the
    // window as it is read: list, +, −, the rule's fields top to bottom, the footer.
    void readableByKeyboardAndScreenReader() {
        RulesEditor* editor = open();
        const QUuid added = m_store->addRule();
        m_store->addExtensions("png, jpg", added);
        editor->setSelection(added);
        testsupport::settle();
        for (QAbstractButton* button : editor->findChildren<QAbstractButton*>())
            if (button->text().isEmpty() && button->isVisibleTo(editor))
                QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));

        QStringList order;
        QWidget* w = find<QListView>("ruleList");
        do {
            // A spin box's own text field is reached through the box.
            if (w->isVisibleTo(editor) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
                !w->objectName().startsWith("qt_spinbox"))
                order << (w->objectName().isEmpty() ? w->accessibleName() : w->objectName());
            w = w->nextInFocusChain();
        } while (w != find<QListView>("ruleList"));
        // The pane scrolls in this window, so it takes focus for the keyboard's scrolling.
        QCOMPARE(order,
                 (QStringList{"ruleList", "addRuleButton", "deleteRuleButton", "ruleDetail",
                              "nameField", "actionChoice", "chooseFolderButton", "Remove .png",
                              "Remove .jpg", "typesField", "kindChoice", "namePatternField",
                              "Larger than", "Unit of the larger size", "Smaller than",
                              "Unit of the smaller size", "minAgeField", "restoreDefaultsButton"}));

        // Return on a focused button presses it: + adds a rule, selected, with no types yet.
        find<QToolButton>("addRuleButton")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(find<QToolButton>("addRuleButton"), Qt::Key_Return);
        QCOMPARE(editor->selection(), idAt(4));
        QCOMPARE(rows().last(), m_store->rules().at(4).name + "|No file types");
    }

    // With a second folder a tab per folder shows above the rules: the chosen folder's rules
    // are the ones listed and edited, each folder keeps its selection, and the window goes
    // back to the Desktop when the folder it shows is removed.
    void tabsSwitchBetweenTheFoldersRules() {
        RulesEditor* editor = open();
        QTabBar* tabs = editor->folderTabs();
        QVERIFY(!tabs->isVisibleTo(editor)); // the Desktop alone: nothing to switch
        editor->setSelection(idAt(1));

        const QString id = addDownloads();
        RuleStore* theirs = m_folders->folder(id)->rules;
        QVERIFY(tabs->isVisibleTo(editor));
        QCOMPARE(tabs->tabText(0), "Desktop");
        QCOMPARE(tabs->tabText(1), "Downloads");
        QCOMPARE(editor->folderId(), QString());

        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(editor->folderId(), id);
        QCOMPARE(&editor->store(), theirs);
        QCOMPARE(rows().size(), theirs->rules().size());
        QCOMPARE(editor->selection(), theirs->rules().first().id);
        QCOMPARE(find<QLabel>("footerReminder")->text(),
                 "Files that match no rule stay in Downloads.");
        click("addRuleButton");
        QCOMPARE(theirs->rules().last().id, *editor->selection());
        QTest::keyClicks(inPane<QLineEdit>("nameField"), "Setups"); // typed over the new name
        QCOMPARE(theirs->rules().last().name, "Setups");

        // Back on the Desktop, where it was left; asked for by id, the folder comes back.
        tabs->setCurrentIndex(0);
        QCOMPARE(&editor->store(), m_store);
        QCOMPARE(editor->selection(), idAt(1));
        RulesWindow::show(*m_folders, id, m_services);
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(editor->selection(), theirs->rules().last().id);

        QVERIFY(m_folders->remove(m_config->path() + "/Downloads"));
        QCOMPARE(&editor->store(), m_store);
        QVERIFY(!tabs->isVisibleTo(editor));
        testsupport::settle(); // the removed folder's rules go
        QCOMPARE(rows().size(), m_store->rules().size());
    }

    void deleteSelectsTheNeighbour() {
        RulesEditor* editor = open();
        const QUuid third = idAt(2);
        editor->setSelection(idAt(1));
        editor->deleteSelectedRule(); // the middle one: the one after it takes its place
        QCOMPARE(m_store->rules().size(), 2);
        QCOMPARE(editor->selection(), third);

        editor->setSelection(idAt(1));
        const QUuid before = idAt(0);
        editor->deleteSelectedRule(); // the last
        QCOMPARE(editor->selection(), before);

        m_store->remove(idAt(0)); // elsewhere in Vantor: the selection goes stale
        QVERIFY(placeholderShown());
        m_store->addRule();
        editor->deleteSelectedRule(); // deletes nothing, selects the first
        QCOMPARE(m_store->rules().size(), 1);
        QCOMPARE(editor->selection(), idAt(0));

        editor->deleteSelectedRule(); // the only one
        QVERIFY(m_store->rules().isEmpty());
        QCOMPARE(editor->selection(), std::nullopt);
        QVERIFY(placeholderShown());
        QVERIFY(!find<QToolButton>("deleteRuleButton")->isEnabled());
    }

    // Delete and Restore Defaults ask first, with Cancel the default, also for Return, and
    // Escape changes nothing. Ctrl+Z then brings a deleted rule back at its place, the note
    // gone; after Restore Defaults there is nothing to bring back.
    void destructiveButtonsAskFirst_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("note"); // how it ends; empty: none shows
        QTest::addColumn<int>("selected"); // after Ctrl+Z
        QTest::newRow("delete") << "deleteRuleButton"
                                << "confirmDeleteButton"
                                << "Delete the rule \"Papers\"?"
                                << "Images Installers"
                                << "brings it back. .png now belongs to no rule." << 1;
        QTest::newRow("restore") << "restoreDefaultsButton"
                                 << "confirmRestoreButton"
                                 << "Restore the default rules?"
                                 << "Images Documents Installers" << QString() << 0;
    }
    void destructiveButtonsAskFirst() {
        QFETCH(QString, button);
        QFETCH(QString, confirm);
        QFETCH(QString, question);
        QFETCH(QString, after);
        QFETCH(QString, note);
        QFETCH(int, selected);
        RulesEditor* editor = open();
        m_store->rename(idAt(1), "Papers");
        m_store->addExtensions("png", idAt(1));
        editor->setSelection(idAt(1));
        const QString before = names();
        const bool deleting = button == "deleteRuleButton";
        const auto box = [&] {
            return deleting ? editor->deleteConfirmation() : editor->restoreConfirmation();
        };
        QSignalSpy published(m_store, &RuleStore::rulesChanged);
        click(qPrintable(button));
        QCOMPARE(box()->text(), question);
        QCOMPARE(box()->defaultButton(), box()->button(QMessageBox::Cancel));
        QTest::keyClick(box(), Qt::Key_Escape);
        QVERIFY(editor->isVisible() && !box());
        QCOMPARE(published.count(), 0);

        click(qPrintable(button));
        QTest::mouseClick(box()->findChild<QPushButton*>(confirm), Qt::LeftButton);
        QCOMPARE(names(), after);
        auto* footer = find<QLabel>("footerNote");
        QCOMPARE(footer->isVisibleTo(editor), !note.isEmpty());
        QVERIFY(footer->text().endsWith(note));
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier); // nothing more to bring back
        QCOMPARE(names(), deleting ? before : after);
        QCOMPARE(editor->selection(), idAt(selected));
        QVERIFY(!footer->isVisibleTo(editor));
    }

    void everyKeystrokeRenames() {
        open();
        QSignalSpy published(m_store, &RuleStore::rulesChanged);
        auto* field = inPane<QLineEdit>("nameField");
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        // Stored empty, listed as "Untitled".
        QCOMPARE(rows().at(0), QString("Untitled|10 file types"));
        // Still the same pane, still focused: typing goes on, each key stored, untrimmed.
        QVERIFY(field->hasFocus());
        QTest::keyClicks(field, " P ");
        QCOMPARE(published.count(), 4);
        QCOMPARE(rows().at(0), QString(" P |10 file types"));
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
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(inPane<QLineEdit>("typesField")->text(), QString());
        QVERIFY(!inPane<QWidget>("noteRow")->isVisibleTo(editor));
        QVERIFY(inPane<QWidget>("typesHelp")->isVisibleTo(editor));
    }
};

VANTOR_WIDGET_TEST_MAIN(TestRulesWindow)
#include "TestRulesWindow.moc"
