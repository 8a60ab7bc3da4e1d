#include "Palettes.h"
#include "TestSupport.h"

#include "widgets/Colors.h"
#include "widgets/ElidedLabel.h"
#include "widgets/PrimaryButton.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

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

    // "IMG_0002.HEIC" must not read "IMG 0002.HEIC": the shortened-text label is tall enough
    // for the underscore and the descenders, in every text style and at every scale.
    void underscoresShowWhole_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("monospaced");
        QTest::addColumn<qreal>("dpr");
        // In the order of widgets::TextStyle, Body to Caption.
        const char* styles[] = {"body", "headline", "title 3", "subheadline", "callout", "caption"};
        for (int style = 0; style < int(std::size(styles)); ++style)
            for (const bool mono : {false, true})
                for (const qreal dpr : {1.0, 1.5, 2.0})
                    QTest::addRow("%s%s %gx", styles[style], mono ? " mono" : "", dpr)
                        << style << mono << dpr;
    }
    void underscoresShowWhole() {
        QFETCH(int, style);
        QFETCH(bool, monospaced);
        QFETCH(qreal, dpr);
        const auto textStyle = widgets::TextStyle(style);
        ElidedLabel label;
        label.setFont(monospaced ? widgets::monospacedFont(textStyle) : widgets::font(textStyle));
        label.setFullText("_");
        label.setPalette(QPalette(Qt::black, Qt::white));
        // The darkness the label leaves at a height, in black on white.
        const auto ink = [&label, dpr](int height) {
            label.resize(label.sizeHint().width(), height);
            QImage image(label.size() * dpr, QImage::Format_Grayscale8);
            image.setDevicePixelRatio(dpr);
            image.fill(Qt::white);
            label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            int sum = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    sum += 255 - qGray(image.pixel(x, y));
            return sum;
        };
        const int whole = ink(4 * label.sizeHint().height()); // room to spare all round
        const int shown = ink(label.sizeHint().height());
        QVERIFY(whole > 0);
        QVERIFY2(shown >= whole * 9 / 10, qPrintable(QString("%1 of %2").arg(shown).arg(whole)));
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
