#include "TestSupport.h"

#include "widgets/Colors.h"
#include "widgets/ElidedLabel.h"
#include "widgets/PrimaryButton.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QApplication>
#include <QClipboard>

namespace {

QPalette darkPalette() {
    QPalette p(QColor(0x3a, 0x3a, 0x3a), QColor(0x2b, 0x2b, 0x2b));
    p.setColor(QPalette::WindowText, QColor(0xf2, 0xf2, 0xf2));
    return p;
}

QPalette lightPalette() {
    QPalette p(QColor(0xe0, 0xe0, 0xe0), QColor(0xef, 0xef, 0xef));
    p.setColor(QPalette::WindowText, Qt::black);
    return p;
}

// The distinct opaque colours of a pixmap, ignoring anti-aliased edge pixels.
QSet<QRgb> solidColors(const QPixmap& pixmap) {
    QSet<QRgb> colors;
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                colors.insert(image.pixel(x, y) & 0xffffff);
    return colors;
}

} // namespace

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

    void quillonFollowsPaletteSwitchLive() {
        auto& appearance = Appearance::instance();
        QApplication::setPalette(lightPalette());
        QSignalSpy changed(&appearance, &Appearance::changed);
        QCOMPARE(widgets::quillon(), widgets::quillon(widgets::ColorScheme::Light));

        QApplication::setPalette(darkPalette());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(widgets::quillon(), widgets::quillon(widgets::ColorScheme::Dark));

        // Another dark palette is no switch.
        QPalette otherDark = darkPalette();
        otherDark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        QApplication::setPalette(otherDark);
        QCOMPARE(changed.count(), 1);

        QApplication::setPalette(lightPalette());
        QCOMPARE(changed.count(), 2);
        QCOMPARE(widgets::quillon(), widgets::quillon(widgets::ColorScheme::Light));
    }

    void primaryButtonClicksAnywhereAndGreysWithItsContainer() {
        QWidget container;
        auto* button = new PrimaryButton("Clean", &container);
        button->resize(200, 32);
        container.show();
        QVERIFY(QTest::qWaitForWindowExposed(&container));
        QCOMPARE(button->fillColor(), widgets::quillon());
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(2, 2)); // far from the glyphs
        QCOMPARE(clicked.count(), 1);

        container.setEnabled(false);
        QCOMPARE(button->fillColor(), widgets::quaternaryFill(button->palette()));
        QCOMPARE(button->labelColor(), widgets::secondaryColor(button->palette()));
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
            QCOMPARE(solidColors(minus.pixmap(QSize(16, 16), 1.0)), QSet<QRgb>{text & 0xffffff});
        }
    }
};

VANTOR_WIDGET_TEST_MAIN(TestWidgets)
#include "TestWidgets.moc"
