#include "TestSupport.h"

#include "editor/ExtensionChip.h"
#include "editor/RuleDetail.h"
#include "platform/Locations.h"
#include "rules/RuleStore.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

namespace {

struct ChooserCall {
    QString message;
    QString startFolder;
};

} // namespace

class TestRuleDetail : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    std::unique_ptr<RuleStore> m_store;
    std::unique_ptr<RuleDetail> m_detail;
    QList<ChooserCall> m_chooserCalls;
    std::optional<QString> m_chooserAnswer;
    QStringList m_revealed;

    SortRule rule(const QString& name) const {
        for (const SortRule& r : m_store->rules())
            if (r.name == name)
                return r;
        return {};
    }
    SortRule current() const { return *m_store->rule(m_detail->ruleId()); }

    void show(const QString& name) {
        RuleDetailServices services;
        services.chooseFolder = [this](QWidget*, const QString& message, const QString& start) {
            m_chooserCalls.append({message, start});
            return m_chooserAnswer;
        };
        services.reveal = [this](const QString& path) { m_revealed.append(path); };
        m_detail = std::make_unique<RuleDetail>(*m_store, rule(name), services);
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
    QStringList chipTypes() const {
        QStringList types;
        for (ExtensionChip* chip : m_detail->findChildren<ExtensionChip*>())
            if (chip->isVisibleTo(m_detail.get()))
                types.append(chip->ext());
        return types;
    }

  private slots:
    void init() {
        QVERIFY(m_config.isValid());
        m_store = std::make_unique<RuleStore>(m_config.path() + "/Vantor");
        m_store->restoreDefaults();
        m_chooserCalls.clear();
        m_chooserAnswer.reset();
        m_revealed.clear();
    }

    void cleanup() {
        m_detail.reset();
        m_store.reset();
    }

    void everyKeystrokeRenames() {
        show("Images");
        QSignalSpy published(m_store.get(), &RuleStore::rulesChanged);
        auto* field = find<QLineEdit>("nameField");
        QCOMPARE(field->text(), QString("Images"));
        field->setFocus();
        QTest::keyClicks(field, " 2");
        QCOMPARE(published.count(), 2);
        QCOMPARE(current().name, QString("Images 2"));

        // Emptied: stored empty, untrimmed, and the folder dialog speaks of "these" files.
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(current().name, QString());
        QCOMPARE(m_detail->chooseFolderMessage(), QString("Choose where these files should go."));
        QTest::keyClicks(field, " a ");
        QCOMPARE(current().name, QString(" a "));
        QCOMPARE(field->text(), QString(" a "));
    }

    void chooseFolderStartsWhereItCanAndStoresTheChoice() {
        const QString home = QDir::homePath();
        QDir().mkpath(home + "/Desktop/Images");
        show("Images");
        QCOMPARE(find<QLabel>("destinationLabel")->text(), QString("~/Desktop/Images"));

        // Cancelled: nothing changes.
        QSignalSpy published(m_store.get(), &RuleStore::rulesChanged);
        QTest::mouseClick(find<QPushButton>("chooseFolderButton"), Qt::LeftButton);
        QCOMPARE(m_chooserCalls.size(), 1);
        QCOMPARE(m_chooserCalls.last().message, QString("Choose where Images files should go."));
        QCOMPARE(m_chooserCalls.last().startFolder, home + "/Desktop/Images");
        QCOMPARE(published.count(), 0);

        // Chosen: stored with "~", shown as stored. The new folder does not exist yet, so
        // the next dialog opens in its parent.
        m_chooserAnswer = home + "/Pictures/Sorted";
        QTest::mouseClick(find<QPushButton>("chooseFolderButton"), Qt::LeftButton);
        QCOMPARE(current().destination, QString("~/Pictures/Sorted"));
        QTRY_COMPARE(find<QLabel>("destinationLabel")->text(), QString("~/Pictures/Sorted"));
        QTest::mouseClick(find<QPushButton>("chooseFolderButton"), Qt::LeftButton);
        QCOMPARE(m_chooserCalls.last().startFolder, home + "/Pictures");
    }

    void revealOnlyWhenTheFolderExists() {
        const QString folder = QDir::homePath() + "/Desktop/Documents";
        QDir(folder).removeRecursively();
        show("Documents");
        auto* reveal = find<QToolButton>("revealButton");
        QCOMPARE(reveal->toolTip(), QString("Show in Finder"));
        QVERIFY(!reveal->isEnabled());

        QDir().mkpath(folder);
        m_detail->refreshFolderState();
        QVERIFY(reveal->isEnabled());
        QTest::mouseClick(reveal, Qt::LeftButton);
        QCOMPARE(m_revealed, QStringList{folder});
    }

    void desktopItselfIsWarnedAbout() {
        show("Images");
        QVERIFY(shown("folderHelp"));
        QVERIFY(!shown("desktopWarning"));

        const QString desktop = platform::desktopFolder();
        for (const QString& destination :
             {QString("~/Desktop"), QString("~/Desktop/"), desktop + "/.", desktop}) {
            SortRule r = current();
            r.destination = destination;
            m_detail->setRule(r);
            QVERIFY2(shown("desktopWarning"), qPrintable(destination));
            QVERIFY(!shown("folderHelp"));
        }
        SortRule r = current();
        r.destination = "~/Desktop/Images";
        m_detail->setRule(r);
        QVERIFY(shown("folderHelp"));
        QVERIFY(!shown("desktopWarning"));
    }

    void typesAreAddedWithAndWithoutANote() {
        show("Installers");
        auto* field = find<QLineEdit>("typesField");
        auto* add = find<QPushButton>("addTypesButton");
        QVERIFY(!add->isEnabled());
        QVERIFY(shown("typesHelp"));

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
        QCOMPARE(chipTypes(), (QStringList{"dmg", "pkg", "mpkg", "iso", "mov", "mp4"}));
        QVERIFY(shown("typesHelp"));
        QVERIFY(!shown("noteRow"));

        // A type another rule holds: the store's note replaces the help line...
        QTest::keyClicks(field, "png");
        QTest::mouseClick(add, Qt::LeftButton);
        QVERIFY(shown("noteRow"));
        QVERIFY(!shown("typesHelp"));
        QCOMPARE(find<QLabel>("noteLabel")->text(), QString("Moved .png from Images."));
        QVERIFY(!rule("Images").extensions.contains("png"));

        // ...until an addition that moves nothing brings the help line back.
        QTest::keyClicks(field, "mkv");
        QTest::keyClick(field, Qt::Key_Enter);
        QVERIFY(shown("typesHelp"));
        QVERIFY(!shown("noteRow"));
    }

    void chipsKeepTheirIdentityAndTheLastOneGivesWay() {
        show("Installers");
        ExtensionChip* iso = nullptr;
        for (ExtensionChip* chip : m_detail->findChildren<ExtensionChip*>())
            if (chip->ext() == "iso")
                iso = chip;
        QVERIFY(iso);
        m_store->addExtensions("zip", m_detail->ruleId());
        QVERIFY(m_detail->findChildren<ExtensionChip*>().contains(iso));

        QVERIFY(!shown("noTypesLabel"));
        for (const QString& type : current().extensions) {
            for (ExtensionChip* chip : m_detail->findChildren<ExtensionChip*>())
                if (chip->ext() == type && chip->isVisibleTo(m_detail.get()))
                    QTest::mouseClick(chip->removeButton(), Qt::LeftButton);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QVERIFY(current().extensions.isEmpty());
        QVERIFY(chipTypes().isEmpty());
        QVERIFY(shown("noTypesLabel"));
        QVERIFY(!shown("chips"));
        QCOMPARE(find<QLabel>("noTypesLabel")->text(),
                 QString("No file types yet. This rule won't move anything until you add some."));
    }
};

VANTOR_WIDGET_TEST_MAIN(TestRuleDetail)
#include "TestRuleDetail.moc"
