#include "TestSupport.h"

#include "app/TextStyles.h"
#include "editor/ExtensionChip.h"
#include "editor/FlowLayout.h"

#include <QApplication>
#include <QLabel>

namespace {

// A container whose layout holds fixed-size items, as wide as the test asks.
struct Flow {
    QWidget host;
    FlowLayout* layout = new FlowLayout(6, &host);
    QList<QWidget*> items;

    explicit Flow(const QList<QSize>& sizes) {
        for (const QSize& size : sizes) {
            auto* item = new QWidget(&host);
            item->setFixedSize(size);
            layout->addWidget(item);
            items.append(item);
        }
    }
    // Places the items in a rectangle of that width, as the parent layout would.
    void place(int width) { layout->setGeometry(QRect(0, 0, width, 1000)); }
    QPoint at(int i) const { return items.at(i)->geometry().topLeft(); }
};

const QList<QSize> threeItems{{40, 20}, {40, 20}, {40, 20}};

} // namespace

class TestFlowLayout : public QObject {
    Q_OBJECT

  private slots:
    void wrapsWhenTheNextItemDoesNotFit() {
        Flow flow(threeItems);
        QCOMPARE(flow.layout->sizeThatFits(130), QSize(130, 46));
        QCOMPARE(flow.layout->heightForWidth(130), 46);
        flow.place(130);
        QCOMPARE(flow.at(0), QPoint(0, 0));
        QCOMPARE(flow.at(1), QPoint(46, 0));
        QCOMPARE(flow.at(2), QPoint(0, 26));
    }

    void anItemEndingExactlyAtTheEdgeStays() {
        Flow flow(threeItems);
        QCOMPARE(flow.layout->sizeThatFits(132), QSize(132, 20));
        flow.place(132);
        QCOMPARE(flow.at(2), QPoint(92, 0));
        // One pixel less and the third goes down.
        QCOMPARE(flow.layout->sizeThatFits(131), QSize(131, 46));
    }

    void withoutAProposedWidthAllShareOneRow() {
        Flow flow(threeItems);
        QCOMPARE(flow.layout->sizeThatFits(std::nullopt), QSize(132, 20));
        QCOMPARE(flow.layout->sizeHint(), QSize(132, 20));
    }

    void aTooWideItemStandsAloneAndOverflows() {
        Flow flow({{200, 20}, {40, 20}});
        QCOMPARE(flow.layout->sizeThatFits(100), QSize(100, 46));
        flow.place(100);
        QCOMPARE(flow.items.at(0)->geometry(), QRect(0, 0, 200, 20));
        QCOMPARE(flow.at(1), QPoint(0, 26));
    }

    void zeroWidthPutsEveryItemOnItsOwnRow() {
        Flow flow(threeItems);
        QCOMPARE(flow.layout->sizeThatFits(0), QSize(0, 72));
        flow.place(0);
        QCOMPARE(flow.at(1), QPoint(0, 26));
        QCOMPARE(flow.at(2), QPoint(0, 52));
    }

    void rowsAreAsTallAsTheirTallestItem() {
        Flow flow({{40, 20}, {40, 30}, {40, 20}});
        flow.place(90);
        // Both top-aligned; nothing is stretched.
        QCOMPARE(flow.items.at(0)->geometry(), QRect(0, 0, 40, 20));
        QCOMPARE(flow.items.at(1)->geometry(), QRect(46, 0, 40, 30));
        QCOMPARE(flow.at(2), QPoint(0, 36));
        QCOMPARE(flow.layout->sizeThatFits(90), QSize(90, 56));
    }

    void noItems() {
        Flow flow({});
        QCOMPARE(flow.layout->sizeThatFits(120), QSize(120, 0));
        QCOMPARE(flow.layout->sizeThatFits(std::nullopt), QSize(0, 0));
        flow.place(120); // nothing to place, nothing to crash
    }

    void chipShowsTypeAndRemoves() {
        int removed = 0;
        ExtensionChip chip("png", [&] { ++removed; });
        QCOMPARE(chip.findChild<QLabel*>()->text(), QString(".png"));
        QCOMPARE(chip.removeButton()->toolTip(), QString("Remove .png"));
        QCOMPARE(chip.removeButton()->size(), QSize(14, 14));
        chip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chip));
        // The whole 14 x 14 square takes the click, corners included.
        QTest::mouseClick(chip.removeButton(), Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(removed, 1);
        // Room around the text: 8 before, 4 after the button, 3 above and below.
        QCOMPARE(chip.removeButton()->geometry().right(), chip.width() - 1 - 4);
        QCOMPARE(chip.findChild<QLabel*>()->x(), 8);
    }

    void chipCrossFollowsThePointer() {
        QWidget window;
        auto* chip = new ExtensionChip("png", {}, &window);
        chip->move(20, 20);
        window.resize(200, 80);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QColor secondary = ui::secondaryColor(chip->palette());
        const QColor primary = chip->palette().color(QPalette::WindowText);
        QCOMPARE(chip->removeButton()->crossColor(), secondary);

        // Over the label, not the button: the cross lights up all the same.
        QTest::mouseMove(&window, chip->geometry().topLeft() + QPoint(4, 4));
        QTRY_VERIFY(chip->isHovering());
        QCOMPARE(chip->removeButton()->crossColor(), primary);

        QTest::mouseMove(&window, QPoint(190, 70));
        QTRY_VERIFY(!chip->isHovering());
        QCOMPARE(chip->removeButton()->crossColor(), secondary);
    }
};

VANTOR_WIDGET_TEST_MAIN(TestFlowLayout)
#include "TestFlowLayout.moc"
