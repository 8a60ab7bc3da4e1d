#include "TestSupport.h"

#include "editor/FlowLayout.h"

#include <QApplication>

using Sizes = QList<QSize>;
using Points = QList<QPoint>;

class TestFlowLayout : public QObject {
    Q_OBJECT

  private slots:
    void geometry_data() {
        QTest::addColumn<Sizes>("sizes");
        QTest::addColumn<int>("width");
        QTest::addColumn<QSize>("fits");
        QTest::addColumn<Points>("at");
        const Sizes three{{40, 20}, {40, 20}, {40, 20}};
        QTest::newRow("ending exactly at the edge stays")
            << three << 132 << QSize(132, 20) << Points{{0, 0}, {46, 0}, {92, 0}};
        QTest::newRow("one pixel less wraps the next")
            << three << 131 << QSize(131, 46) << Points{{0, 0}, {46, 0}, {0, 26}};
        QTest::newRow("too wide stands alone and overflows")
            << Sizes{{200, 20}, {40, 20}} << 100 << QSize(100, 46) << Points{{0, 0}, {0, 26}};
        QTest::newRow("rows as tall as the tallest, top-aligned")
            << Sizes{{40, 20}, {40, 30}, {40, 20}} << 90 << QSize(90, 56)
            << Points{{0, 0}, {46, 0}, {0, 36}};
        QTest::newRow("no items") << Sizes{} << 120 << QSize(120, 0) << Points{};
    }
    void geometry() {
        QFETCH(Sizes, sizes);
        QFETCH(int, width);
        QFETCH(QSize, fits);
        QFETCH(Points, at);
        QWidget host;
        auto* layout = new FlowLayout(6, &host);
        QList<QWidget*> items;
        for (const QSize& size : sizes) {
            items.append(new QWidget(&host));
            items.last()->setFixedSize(size);
            layout->addWidget(items.last());
        }
        QCOMPARE(layout->sizeThatFits(width), fits);
        QCOMPARE(layout->heightForWidth(width), fits.height());
        layout->setGeometry(QRect(0, 0, width, 1000)); // as the parent layout would
        for (qsizetype i = 0; i < items.size(); ++i)
            QCOMPARE(items[i]->geometry(), QRect(at[i], sizes[i])); // never stretched
    }
};

VANTOR_WIDGET_TEST_MAIN(TestFlowLayout)
#include "TestFlowLayout.moc"
