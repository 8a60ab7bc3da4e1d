#include "CleanerTest.h"

#include "cleaner/AutoTidy.h"
#include "cleaner/AutoTidySettings.h"

// The test clock starts a minute ahead of the real time, so files made during a case (in
// well under a minute) carry real times already past by the clock: their own times when the
// watch did not see them written, the clock's time of the write when it did.
class TestAutoTidy : public CleanerTest {
    Q_OBJECT

    std::unique_ptr<AutoTidySettings> m_settings;
    std::unique_ptr<AutoTidy> m_tidy;
    int m_cleans = 0;
    // Longer than the cleaner waits to rescan after a Desktop change.
    static constexpr int kRescanDelay = 1000;

    // Where the default rules put an image, a document and an installer.
    bool wasPutAway(const QString& name) const {
        const QString ext = QFileInfo(name).suffix();
        const char* folder = ext == u"png"   ? "Images/"
                             : ext == u"iso" ? "Installers/"
                                             : "Documents/";
        return !onDesktop(name) && onDesktop(folder + name);
    }
    // A new cleaner and auto-tidy, as at the next start.
    void restartTidy() {
        m_tidy.reset();
        connect(&restart(), &Cleaner::busyChanged, this, [this](bool busy) { m_cleans += busy; });
        m_tidy = std::make_unique<AutoTidy>(m_cleaner.get(), m_settings.get(), *m_clock);
    }
    // Lets inotify events and queued signals through and any started clean run to its end.
    void finishWork() {
        testsupport::settle();
        for (int started = 0; m_cleaner->isBusy(); ++started) {
            QVERIFY2(started < 10, "cleans start one after another");
            QSignalSpy done(m_cleaner.get(), &Cleaner::busyChanged);
            QVERIFY(done.wait(5000));
            testsupport::settle();
        }
    }
    void advance(qint64 ms) {
        m_clock->advance(ms);
        finishWork();
    }
    // Writes a Desktop file, or appends to it, and lets its events in as they would come.
    void make(const QString& name, const QByteArray& bytes = "data") {
        touch({name}, bytes);
        testsupport::settle();
    }
    void write(const QString& name, const QByteArray& bytes = "data") {
        QFile f(desktop(name));
        QVERIFY(f.open(QIODevice::Append) && f.write(bytes) == bytes.size());
        f.close();
        testsupport::settle();
    }
    void switchOn(int quietSeconds) {
        m_settings->setQuietSeconds(quietSeconds);
        m_settings->setEnabled(true);
        finishWork();
    }

  private slots:
    void init() {
        setUp(QDateTime::currentDateTimeUtc().addSecs(60));
        m_settings = std::make_unique<AutoTidySettings>(m_home->configFolder() + "/settings.ini");
        m_cleans = 0;
        restartTidy();
        m_cleaner->rescan();
    }
    void cleanup() {
        finishWork();
        m_tidy.reset();
        m_settings.reset();
        tearDown();
    }

    // Each file goes after exactly the quiet time since it was last written, not a moment
    // before, in one clean for those due; files no rule moves stay; then nothing waits.
    // Switched off, nothing waits and nothing moves.
    void quietFilesGoAfterExactlyTheQuietTime() {
        make("notes.xyz");
        switchOn(600);
        advance(kRescanDelay);
        QCOMPARE(m_clock->nextDue(), std::nullopt);

        make("shot.png");
        advance(100'000);
        make("report.pdf");
        advance(kRescanDelay);
        write("notes.xyz"); // its close puts off nothing already waiting
        advance(500'000 - 1 - kRescanDelay);
        QVERIFY(onDesktop("shot.png"));
        QCOMPARE(m_cleans, 0);
        advance(1);
        QVERIFY(wasPutAway("shot.png") && onDesktop("report.pdf"));
        QCOMPARE(m_cleans, 1);

        advance(100'000 - 1);
        QVERIFY(onDesktop("report.pdf"));
        advance(1);
        QVERIFY(wasPutAway("report.pdf") && onDesktop("notes.xyz"));
        advance(kRescanDelay);
        QCOMPARE(m_clock->nextDue(), std::nullopt);
        advance(3'600'000);
        QCOMPARE(m_cleans, 2);

        make("later.png"); // switched off while it waits: it stays
        advance(kRescanDelay);
        m_settings->setEnabled(false);
        QCOMPARE(m_clock->nextDue(), std::nullopt);
        advance(3'600'000);
        QVERIFY(onDesktop("later.png"));
    }

    // Written every half second for longer than the quiet time, closed after each write or
    // held open like a download, also one opened before the watch could see it: it stays
    // until it has gone quiet.
    void fileBeingWrittenStaysUntilQuiet() {
        make("capture.png");
        QFile early(desktop("capture.png"));
        QVERIFY(early.open(QIODevice::Append));
        m_cleaner->rescan();
        finishWork();
        switchOn(5);
        make("recording.pdf");
        make("movie.iso"); // its quiet time starts, and ends with the first write below
        QFile download(desktop("movie.iso"));
        QVERIFY(download.open(QIODevice::Append));
        for (int i = 0; i < 24; ++i) {
            advance(500);
            write("recording.pdf");
            QVERIFY(download.write("chunk") == 5 && download.flush());
            QVERIFY(onDesktop("recording.pdf"));
        }
        advance(5000 - 1);
        QVERIFY(onDesktop("recording.pdf"));
        advance(1);
        QVERIFY(wasPutAway("recording.pdf"));
        advance(kRescanDelay);
        QCOMPARE(m_clock->nextDue(), std::nullopt); // written, not closed: no deadline
        advance(3'600'000);
        QVERIFY(onDesktop("movie.iso") && onDesktop("capture.png"));
        download.close();
        early.close();
        testsupport::settle();
        advance(5000 - 1);
        QVERIFY(onDesktop("movie.iso") && onDesktop("capture.png"));
        advance(1);
        QVERIFY(wasPutAway("movie.iso") && wasPutAway("capture.png"));
        QCOMPARE(m_cleans, 2);
    }

    // Files that arrive one after another, as a copy of ten makes them, leave in one clean.
    void filesArrivingTogetherLeaveTogether() {
        switchOn(60);
        for (int i = 0; i < 10; ++i) {
            make(QString("photo%1.png").arg(i));
            advance(400);
        }
        advance(60'000);
        QCOMPARE(m_cleans, 1);
        QCOMPARE(m_cleaner->history().first().moved, 10);
        QVERIFY(m_cleaner->history().first().automatic);
    }

    // What an undo put back stays: its own times are long past by the clock, only the mark
    // keeps it (how long a mark holds is the history's to prove).
    void putBackFileStaysUntilChanged() {
        switchOn(60);
        make("a.png");
        advance(60'000);
        QVERIFY(wasPutAway("a.png"));
        m_cleaner->startUndo();
        advance(3'600'000);
        QVERIFY(onDesktop("a.png"));
    }

    // A file the clean could not move is tried again after another quiet time, not at once
    // and over and over.
    void waitsUntilItCanWork() {
        switchOn(60);
        make("Images", "a file where the folder should be");
        make("a.png");
        advance(60'000);
        QCOMPARE(m_cleans, 1);
        QCOMPARE(m_clock->nextDue(), m_clock->now().addSecs(60));
        QVERIFY(QFile::remove(desktop("Images")));
        advance(60'000);
        QVERIFY(wasPutAway("a.png"));
        QCOMPARE(m_cleans, 2);
    }
};

VANTOR_TEST_MAIN(TestAutoTidy)
#include "TestAutoTidy.moc"
