#include "RecordingServices.h"
#include "TestSupport.h"

#include "editor/ChipRemoveButton.h"
#include "editor/ExtensionChip.h"
#include "editor/RuleDetail.h"
#include "rules/RuleStore.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

class TestRuleDetail : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    std::unique_ptr<RuleStore> m_store;
    std::unique_ptr<RuleDetail> m_detail;
    RecordingServices m_services;

    SortRule current() const { return *m_store->rule(m_detail->ruleId()); }

    // The pane for a default rule: 0 Images, 1 Documents, 2 Installers.
    void show(int index) {
        m_detail = std::make_unique<RuleDetail>(*m_store, m_store->rules()[index], m_services);
        // The editor's part: hand the pane every new value of its rule.
        connect(m_store.get(), &RuleStore::rulesChanged, m_detail.get(), [this] {
            if (const auto r = m_store->rule(m_detail->ruleId()))
                m_detail->setRule(*r);
        });
        m_detail->resize(480, 500);
        m_detail->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_detail.get()));
    }

    template <typename T> T* find(const char* name) const {
        return m_detail->findChild<T*>(QString::fromLatin1(name));
    }
    bool shown(const char* name) const { return find<QWidget>(name)->isVisibleTo(m_detail.get()); }
    ExtensionChip* chip(const QString& type) const {
        for (ExtensionChip* chip : m_detail->findChildren<ExtensionChip*>())
            if (chip->ext() == type && chip->isVisibleTo(m_detail.get()))
                return chip;
        return nullptr;
    }

  private slots:
    void init() {
        m_store = std::make_unique<RuleStore>(m_config.path() + "/Vantor");
        m_store->restoreDefaults();
        m_services = {};
    }

    void cleanup() {
        m_detail.reset();
        m_store.reset();
    }

    // Choose… starts where it can and stores the choice; Show in File Manager says so under
    // the folder when nothing could show it.
    void folderIsChosenAndShown() {
        const QString home = QDir::homePath();
        QDir().mkpath(home + "/Desktop/Images");
        show(0);
        m_services.fileManagerFound = false;
        m_detail->revealFolder();
        QCOMPARE(m_detail->fileManagerError(), "No file manager found to show ~/Desktop/Images.");
        m_services.fileManagerFound = true;
        m_detail->revealFolder();
        QCOMPARE(m_detail->fileManagerError(), QString());
        QCOMPARE(m_services.revealed.size(), 2);

        // Cancelled: nothing changes.
        QSignalSpy published(m_store.get(), &RuleStore::rulesChanged);
        QTest::mouseClick(find<QPushButton>("chooseFolderButton"), Qt::LeftButton);
        QCOMPARE(
            m_services.folderRequests.last(),
            std::pair(QString("Choose where Images files should go."), home + "/Desktop/Images"));
        QCOMPARE(published.count(), 0);

        // Chosen: stored with "~", shown as stored. The new folder does not exist yet, so
        // the next dialog opens in its parent.
        m_services.chosenFolder = home + "/Pictures/Sorted";
        QTest::mouseClick(find<QPushButton>("chooseFolderButton"), Qt::LeftButton);
        QCOMPARE(current().destination, QString("~/Pictures/Sorted"));
        QTRY_COMPARE(find<QLabel>("destinationLabel")->text(), QString("~/Pictures/Sorted"));
        QTest::mouseClick(find<QPushButton>("chooseFolderButton"), Qt::LeftButton);
        QCOMPARE(m_services.folderRequests.last().second, home + "/Pictures");
    }

    // How a path is written is the rule's to settle; the pane warns when it is the Desktop.
    void desktopItselfIsWarnedAbout() {
        show(0);
        for (const QString& destination : {QString("~/Desktop/"), QString("~/Desktop/Images")}) {
            SortRule r = current();
            r.destination = destination;
            m_detail->setRule(r);
            const bool warned = !destination.endsWith("Images");
            QVERIFY2(shown("desktopWarning") == warned, qPrintable(destination));
            QVERIFY(shown("folderHelp") != warned);
        }
    }

    void typesAreAddedWithAndWithoutANote() {
        show(2);
        auto* field = find<QLineEdit>("typesField");
        auto* add = find<QPushButton>("addTypesButton");
        // Nothing valid: Add stays off and Return keeps the text.
        QSignalSpy published(m_store.get(), &RuleStore::rulesChanged);
        field->setFocus();
        QTest::keyClicks(field, " ., ,. ");
        QVERIFY(!add->isEnabled());
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(field->text(), QString(" ., ,. "));
        QCOMPARE(published.count(), 0);

        field->clear();
        QTest::keyClicks(field, "mov, mp4");
        QVERIFY(add->isEnabled());
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(field->text(), QString());
        QVERIFY(chip("mov") && chip("mp4"));
        QVERIFY(shown("typesHelp") && !shown("noteRow"));

        // A type another rule holds: the store's note replaces the help line...
        QTest::keyClicks(field, "png");
        QTest::mouseClick(add, Qt::LeftButton);
        QVERIFY(shown("noteRow") && !shown("typesHelp"));
        QCOMPARE(find<QLabel>("noteLabel")->text(), QString("Moved .png from Images."));

        // ...until an addition that moves nothing brings the help line back.
        QTest::keyClicks(field, "mkv");
        QTest::keyClick(field, Qt::Key_Enter);
        QVERIFY(shown("typesHelp") && !shown("noteRow"));
    }

    // Each control edits its condition from the keyboard; the rule in words follows. Typed
    // text is given as is, "↓" is the arrow key, "⤓" End, "⏎" Return.
    void conditionsAreEditedFromTheKeyboard_data() {
        QTest::addColumn<QStringList>("controls");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("description");
        QTest::newRow("kind") << QStringList{"kindChoice"} << QStringList{"↓"}
                              << "Images → ~/Desktop/New Rule";
        QTest::newRow("name and age")
            << QStringList{"namePatternField", "minAgeField"} << QStringList{"Shot*", "30"}
            << "Files named Shot*, added more than 30 days ago → ~/Desktop/New Rule";
        QTest::newRow("sizes and a unit")
            << QStringList{"Larger than", "Smaller than", "Unit of the smaller size"}
            << QStringList{"5", "2", "↓"}
            << "Files larger than 5 MB, smaller than 2 GB → ~/Desktop/New Rule";
        QTest::newRow("other type, refused then taken")
            << QStringList{"kindChoice", "otherKindField", "otherKindField"}
            << QStringList{"⤓", "no/such⏎", "\b\b\b\b\b\b\bapplication/json⏎"}
            << "application/json files → ~/Desktop/New Rule";
        QTest::newRow("a slash is no name") << QStringList{"namePatternField"} << QStringList{"a/b"}
                                            << "Files named a → ~/Desktop/New Rule";
        QTest::newRow("trash") << QStringList{"Larger than", "actionChoice"}
                               << QStringList{"1", "↓"} << "Files larger than 1 MB → Trash";
    }
    void conditionsAreEditedFromTheKeyboard() {
        QFETCH(QStringList, controls);
        QFETCH(QStringList, keys);
        QFETCH(QString, description);
        m_store->addRule();
        show(3);
        for (qsizetype i = 0; i < controls.size(); ++i) {
            QWidget* control = find<QWidget>(qPrintable(controls[i]));
            for (QWidget* w : m_detail->findChildren<QWidget*>())
                if (w->accessibleName() == controls[i])
                    control = w;
            QVERIFY2(control, qPrintable(controls[i]));
            control->setFocus(Qt::TabFocusReason);
            QWidget* target = control->focusProxy() ? control->focusProxy() : control;
            for (const QChar c : keys[i]) {
                if (c == u'↓' || c == u'⤓')
                    QTest::keyClick(target, c == u'↓' ? Qt::Key_Down : Qt::Key_End);
                else if (c == u'⏎')
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                else if (c == u'\b')
                    QTest::keyClick(target, Qt::Key_Backspace);
                else
                    QTest::keyClicks(target, QString(c));
            }
        }
        QCOMPARE(find<QLabel>("ruleDescription")->text(), description);
        // Refused text is said to be refused, until what follows is taken.
        QCOMPARE(find<QLabel>("conditionError")->isVisibleTo(m_detail.get()),
                 description.contains("named a "));
        QCOMPARE(shown("folderBox"), !description.endsWith("Trash"));
    }

    // Values the rules file gave in a form Vantor cannot read are shown, not edited away.
    void unreadableValuesAreShownReadOnly() {
        show(0);
        SortRule r = current();
        r.unreadable.insert("minSize", "big");
        m_detail->setRule(r);
        QVERIFY(shown("unreadableWarning"));
        QVERIFY(find<QLabel>("unreadableText")->text().contains("minSize: \"big\""));
        QVERIFY(!find<QWidget>("kindChoice")->isEnabled());
        QVERIFY(!find<QWidget>("actionChoice")->isEnabled());
        m_detail->setRule(current());
        QVERIFY(!shown("unreadableWarning") && find<QWidget>("kindChoice")->isEnabled());
    }

    void chipsRemoveTheirTypeAndTheLastOneGivesWay() {
        show(2);
        QVERIFY(!shown("noTypesLabel"));
        for (const QString& type : current().extensions) {
            // The whole square takes the click, corners included.
            QTest::mouseClick(chip(type)->removeButton(), Qt::LeftButton, {}, QPoint(1, 1));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QVERIFY(current().extensions.isEmpty());
        QVERIFY(shown("noTypesLabel") && !shown("chips"));
    }
};

VANTOR_WIDGET_TEST_MAIN(TestRuleDetail)
#include "TestRuleDetail.moc"
