#include "TestSupport.h"

#include "platform/gui/FileManager.h"

#include <QDesktopServices>
#include <QGuiApplication>

class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class TestFileManager : public QObject {
    Q_OBJECT

  private slots:
    void revealWithoutBusOpensContainingFolder() {
        // CTest runs without a session bus, so the file manager cannot be asked.
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        QList<bool> answers;
        const auto answer = [&](bool shown) { answers.append(shown); };
        platform::revealInFileManager(QDir::homePath() + "/Desktop/Images", answer);
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(catcher.opened, QList<QUrl>{QUrl::fromLocalFile(QDir::homePath() + "/Desktop")});
        QCOMPARE(answers, QList<bool>{true});

        // Nothing that opens folders: the caller hears so.
        platform::revealInFileManager(QDir::homePath() + "/Desktop/Images", answer);
        QCOMPARE(answers, (QList<bool>{true, false}));
    }
};

VANTOR_TEST_MAIN_WITH(QGuiApplication, TestFileManager)
#include "TestFileManager.moc"
