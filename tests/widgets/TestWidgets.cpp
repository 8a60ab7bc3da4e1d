#include "Palettes.h"
#include "TestSupport.h"

#include "widgets/Colors.h"
#include "widgets/ElidedLabel.h"
#include "widgets/PrimaryButton.h"
#include "widgets/Symbols.h"

#include <QApplication>
#include <QClipboard>

class TestWidgets : public QObject {
    Q_OBJECT

  private slots:
    void aShortenedPathCopiesWhole() {
        ElidedLabel label;
        label.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        const QString path = "~/Desktop/A rather long folder name/and deeper/Images";
        label.setFullText(path);
        label.resize(80, label.sizeHint().height());
        label.show();
        QVERIFY(label.text() != path);
        QTest::keyClick(&label, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), path);
    }

    void cleanup() { QApplication::setPalette(lightPalette()); }

    // The ratio itself, against the published WCAG examples.
    void contrastIsMeasuredAsWcagDoes() {
        QCOMPARE(qRound(widgets::contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white) * 100), 448);
        const QColor orange = widgets::readableOn(QColor(0xe6, 0x61, 0x00), Qt::white, 4.5);
        QVERIFY(widgets::contrastRatio(orange, Qt::white) >= 4.5);
        QVERIFY(qAbs(orange.hue() - QColor(0xe6, 0x61, 0x00).hue()) <= 2); // still orange
    }

    void primaryButtonClicksAnywhere() {
        QWidget container;
        auto* button = new PrimaryButton("Clean", &container);
        button->resize(200, 32);
        container.show();
        QVERIFY(QTest::qWaitForWindowExposed(&container));
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(2, 2)); // far from the glyphs
        QCOMPARE(clicked.count(), 1);
    }

    void unknownSymbolsShowAFolder() {
        // A hand-edited rules file may name anything: it shows the folder.
        QCOMPARE(widgets::iconNamesForSymbol("no.such.symbol"), QStringList{"folder"});
        QCOMPARE(widgets::symbolIcon("no.such.symbol").name(), QString("folder-symbolic"));
    }

    // The same icon, drawn again after the palette changed, in the new text colour.
    void symbolsTakeTheTextColourWhenDrawn() {
        const QIcon minus = widgets::symbolIcon("minus");
        for (const QRgb text : {qRgb(0, 128, 0), qRgb(0, 0, 128)}) {
            QPalette palette = lightPalette();
            palette.setColor(QPalette::WindowText, QColor(text));
            QApplication::setPalette(palette);
            // The middle of the bar, away from its anti-aliased edges.
            QCOMPARE(minus.pixmap(QSize(16, 16), 1.0).toImage().pixel(8, 8), text);
        }
    }
};

VANTOR_WIDGET_TEST_MAIN(TestWidgets)
#include "TestWidgets.moc"
