#include "TestSupport.h"

#include "app/Accent.h"
#include "app/PrimaryButton.h"
#include "app/Reveal.h"
#include "app/Symbols.h"
#include "app/TextStyles.h"

#include <QApplication>
#include <QDesktopServices>
#include <QPainter>
#include <QVBoxLayout>

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

class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class TestAppPieces : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() {
        QApplication::setPalette(lightPalette());
        ui::Appearance::instance().setOverride(std::nullopt);
    }

    void quillonHasItsTwoColours() {
        // The nearest 8-bit values, fully opaque.
        QCOMPARE(ui::quillon(ui::ColorScheme::Light).rgba(), qRgb(46, 87, 224));
        QCOMPARE(ui::quillon(ui::ColorScheme::Dark).rgba(), qRgb(74, 107, 242));
    }

    void appearanceResolvesPortalBeforePalette() {
        using ui::Appearance;
        using ui::ColorScheme;
        QCOMPARE(Appearance::resolve(1u, lightPalette()), ColorScheme::Dark);
        QCOMPARE(Appearance::resolve(1u, darkPalette()), ColorScheme::Dark);
        // "No preference" and "prefer light" leave it to the palette, as does no portal.
        for (const std::optional<uint> portal :
             {std::optional<uint>(0u), std::optional<uint>(2u), std::optional<uint>()}) {
            QCOMPARE(Appearance::resolve(portal, lightPalette()), ColorScheme::Light);
            QCOMPARE(Appearance::resolve(portal, darkPalette()), ColorScheme::Dark);
        }
    }

    void quillonFollowsPaletteSwitchLive() {
        auto& appearance = ui::Appearance::instance();
        QApplication::setPalette(lightPalette());
        QSignalSpy changed(&appearance, &ui::Appearance::changed);
        QCOMPARE(ui::quillon(), ui::quillon(ui::ColorScheme::Light));

        QApplication::setPalette(darkPalette());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(ui::quillon(), ui::quillon(ui::ColorScheme::Dark));

        // Another dark palette is no switch.
        QPalette otherDark = darkPalette();
        otherDark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        QApplication::setPalette(otherDark);
        QCOMPARE(changed.count(), 1);

        QApplication::setPalette(lightPalette());
        QCOMPARE(changed.count(), 2);
        QCOMPARE(ui::quillon(), ui::quillon(ui::ColorScheme::Light));

        appearance.setOverride(ui::ColorScheme::Dark);
        QCOMPARE(changed.count(), 3);
        QVERIFY(appearance.isDark());
        QApplication::setPalette(darkPalette()); // pinned: the desktop does not count
        QApplication::setPalette(lightPalette());
        QCOMPARE(changed.count(), 3);
    }

    void primaryButtonFillsWidthAndKeepsHeight() {
        QWidget narrow;
        auto* column = new QVBoxLayout(&narrow);
        column->setContentsMargins(0, 0, 0, 0);
        auto* button = new PrimaryButton("Put Away 3 Files");
        column->addWidget(button);
        column->addStretch(1);
        narrow.resize(180, 300);
        narrow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&narrow));
        QCOMPARE(button->width(), 180);
        QCOMPARE(button->height(), 32);

        narrow.resize(420, 300);
        QTRY_COMPARE(button->width(), 420);
        QCOMPARE(button->height(), 32);

        // A label taller than 32 px makes the button grow with it.
        QFont big = button->font();
        big.setPixelSize(40);
        button->setFont(big);
        QVERIFY(button->sizeHint().height() > 32);
    }

    void primaryButtonLookPerState() {
        PrimaryButton button("Clean");
        QCOMPARE(button.fillColor(), ui::quillon());
        QCOMPARE(button.labelColor(), QColor(Qt::white));
        QCOMPARE(button.font().weight(), QFont::DemiBold);

        button.setEnabled(false);
        QCOMPARE(button.labelColor(), ui::secondaryColor(button.palette()));
        QCOMPARE(button.fillColor(), ui::quaternaryFill(button.palette()));

        // Disabled by its container reads the same.
        QWidget container;
        auto* inner = new PrimaryButton("Clean", &container);
        container.setEnabled(false);
        QCOMPARE(inner->fillColor(), ui::quaternaryFill(inner->palette()));
    }

    void primaryButtonPressFadesAndWholeRectClicks() {
        PrimaryButton button("Clean");
        button.resize(200, 32);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QSignalSpy clicked(&button, &QAbstractButton::clicked);

        // A corner, far from the label's glyphs.
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_COMPARE(button.drawnOpacity(), 0.85);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_COMPARE(button.drawnOpacity(), 1.0);
        QCOMPARE(clicked.count(), 1);
    }

    void symbolTableAndFallback() {
        QCOMPARE(ui::iconNamesForSymbol("photo"), QStringList{"image-x-generic"});
        QCOMPARE(ui::iconNamesForSymbol("shippingbox"), QStringList{"package-x-generic"});
        QCOMPARE(ui::iconNamesForSymbol("xmark"), QStringList{"window-close"});
        // A hand-edited rules file may name anything: it shows the folder.
        QCOMPARE(ui::iconNamesForSymbol("no.such.symbol"), QStringList{"folder"});
        QCOMPARE(ui::iconNamesForSymbol(""), QStringList{"folder"});

        QCOMPARE(ui::symbolIcon("photo").name(), QString("image-x-generic-symbolic"));
        QCOMPARE(ui::symbolIcon("no.such.symbol").name(), QString("folder-symbolic"));
        QVERIFY(!ui::symbolIcon("plus").pixmap(16).isNull());
    }

    void symbolsAreTinted() {
        const QPixmap red = ui::symbolPixmap("plus", 16, Qt::red, 1.0);
        QCOMPARE(red.size(), QSize(16, 16));
        QCOMPARE(solidColors(red), QSet<QRgb>{qRgb(255, 0, 0) & 0xffffff});

        const QPixmap sharp = ui::symbolPixmap("plus", 16, Qt::red, 2.0);
        QCOMPARE(sharp.size(), QSize(32, 32));
        QCOMPARE(sharp.devicePixelRatio(), 2.0);

        // Untinted symbols take the text colour of the palette in use when drawn.
        QPalette green = lightPalette();
        green.setColor(QPalette::WindowText, QColor(0, 128, 0));
        QApplication::setPalette(green);
        const QIcon plain = ui::symbolIcon("minus");
        QCOMPARE(solidColors(plain.pixmap(QSize(16, 16), 1.0)),
                 QSet<QRgb>{qRgb(0, 128, 0) & 0xffffff});
        green.setColor(QPalette::WindowText, QColor(0, 0, 128));
        QApplication::setPalette(green);
        QCOMPARE(solidColors(plain.pixmap(QSize(16, 16), 1.0)),
                 QSet<QRgb>{qRgb(0, 0, 128) & 0xffffff});
    }

    void revealWithoutBusOpensContainingFolder() {
        // CTest runs without a session bus, so the file manager cannot be asked.
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        ui::revealInFileManager(QDir::homePath() + "/Desktop/Images");
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(catcher.opened, QList<QUrl>{QUrl::fromLocalFile(QDir::homePath() + "/Desktop")});
    }
};

VANTOR_WIDGET_TEST_MAIN(TestAppPieces)
#include "TestAppPieces.moc"
