#include "TestSupport.h"

#include "cleaner/AutoTidy.h"
#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <memory>

// The test clock starts a minute ahead of the real time, so files made during a case (in
// well under a minute) carry real times already past by the clock: their own times when the
// watch did not see them written, the clock's time of the write when it did.
class TestAutoTidy : public QObject {
    Q_OBJECT

    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<TestClock> m_clock;
    std::unique_ptr<TidiedFolders> m_folders;
    RuleStore* m_store = nullptr;
    std::unique_ptr<Cleaner> m_cleaner;
    std::unique_ptr<AutoTidySettings> m_settings;
    std::unique_ptr<AutoTidy> m_tidy;
    int m_cleans = 0;
    // Longer than the cleaner waits to rescan after a Desktop change.
    static constexpr int kRescanDelay = 1000;

    QString desktop(const QString& name) const { return m_home->desktop(name); }
    // Where the default rules put an image, a document and an installer.
    QString putAway(const QString& name) const {
        const QString ext = QFileInfo(name).suffix();
        const QString folder = ext == u"png"   ? QStringLiteral("Images")
                               : ext == u"iso" ? QStringLiteral("Installers")
                                               : QStringLiteral("Documents");
        return desktop(folder + "/" + name);
    }
    bool onDesktop(const QString& name) const { return QFileInfo::exists(desktop(name)); }
    bool wasPutAway(const QString& name) const {
        return !onDesktop(name) && QFileInfo::exists(putAway(name));
    }
    // The file's own latest time, as the file system gives it.
    QDateTime ownTime(const QString& name) const {
        const QFileInfo info(desktop(name));
        return std::max(info.lastModified(), info.metadataChangeTime()).toUTC();
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
    // Writes a Desktop file and lets its events in, as they would come at once.
    void make(const QString& name, const QByteArray& bytes = "data") {
        QVERIFY(testsupport::touch(desktop(name), bytes));
        testsupport::settle();
    }
    void write(const QString& name, const QByteArray& bytes = "data") {
        {
            QFile f(desktop(name));
            QVERIFY(f.open(QIODevice::Append));
            QVERIFY(f.write(bytes) == bytes.size());
        }
        testsupport::settle();
    }
    void switchOn(int quietSeconds) {
        m_settings->setQuietSeconds(quietSeconds);
        m_settings->setEnabled(true);
        finishWork();
    }
    void rescan() {
        m_cleaner->rescan();
        finishWork();
    }

  private slots:
    void init() {
        m_home = std::make_unique<TempHome>();
        m_clock = std::make_unique<TestClock>(QDateTime::currentDateTimeUtc().addSecs(60));
        m_folders = std::make_unique<TidiedFolders>(m_home->configFolder(), m_home->desktop());
        m_store = m_folders->desktopRules();
        m_store->restoreDefaults();
        m_cleaner =
            std::make_unique<Cleaner>(m_folders.get(), m_home->stateFolder(), nullptr, *m_clock);
        m_settings = std::make_unique<AutoTidySettings>(m_home->configFolder() + "/settings.ini");
        m_tidy = std::make_unique<AutoTidy>(m_cleaner.get(), m_settings.get(), *m_clock);
        m_cleans = 0;
        connect(m_cleaner.get(), &Cleaner::busyChanged, this, [this](bool busy) {
            if (busy)
                ++m_cleans;
        });
        m_cleaner->rescan();
    }
    void cleanup() {
        finishWork();
        m_tidy.reset();
        m_settings.reset();
        m_cleaner.reset();
        m_folders.reset();
        m_clock.reset();
        m_home.reset();
    }

    // Each file goes after exactly the quiet time since it was last written, not a moment
    // before, in one clean for those due; files no rule moves stay; then nothing waits.
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
        QVERIFY(wasPutAway("shot.png"));
        QVERIFY(onDesktop("report.pdf"));
        QCOMPARE(m_cleans, 1);
        QCOMPARE(m_cleaner->lastClean()->moves.size(), 1);

        advance(100'000 - 1);
        QVERIFY(onDesktop("report.pdf"));
        advance(1);
        QVERIFY(wasPutAway("report.pdf"));
        QCOMPARE(m_cleans, 2);
        QVERIFY(onDesktop("notes.xyz"));
        advance(kRescanDelay);
        QCOMPARE(m_clock->nextDue(), std::nullopt);
        advance(3'600'000);
        QCOMPARE(m_cleans, 2);
    }

    // Written every half second for longer than the quiet time, closed after each write or
    // held open like a download: it stays until it has gone quiet.
    void fileBeingWrittenStaysUntilQuiet() {
        switchOn(5);
        make("recording.pdf");
        for (int i = 0; i < 24; ++i) {
            advance(500);
            write("recording.pdf");
            QVERIFY(onDesktop("recording.pdf"));
        }
        advance(5000 - 1);
        QVERIFY(onDesktop("recording.pdf"));
        advance(1);
        QVERIFY(wasPutAway("recording.pdf"));

        make("movie.iso"); // its quiet time starts, and ends with the first write below
        QFile download(desktop("movie.iso"));
        QVERIFY(download.open(QIODevice::Append));
        for (int i = 0; i < 24; ++i) {
            advance(500);
            QVERIFY(download.write("chunk") == 5 && download.flush());
            testsupport::settle();
            QCOMPARE(m_clock->nextDue(), std::nullopt); // written, not closed: no deadline
        }
        advance(3'600'000);
        QVERIFY(onDesktop("movie.iso"));
        download.close();
        testsupport::settle();
        advance(5000 - 1);
        QVERIFY(onDesktop("movie.iso"));
        advance(1);
        QVERIFY(wasPutAway("movie.iso"));
        QCOMPARE(m_cleans, 2);
    }

    // A browser's download: an empty placeholder under the final name and the data in a
    // ".part" beside it, written for longer than the quiet time and then renamed over the
    // placeholder. Nothing moves until the download is whole; then it goes, once.
    void downloadGoesOnlyWhenWhole() {
        switchOn(5);
        make("report.pdf", "");
        make("report.pdf.part", "%PDF");
        for (int i = 0; i < 24; ++i) {
            advance(500);
            write("report.pdf.part", "chunk");
        }
        advance(60'000);
        QVERIFY(onDesktop("report.pdf") && onDesktop("report.pdf.part"));
        QCOMPARE(m_cleans, 0);
        QVERIFY(QFile::remove(desktop("report.pdf")));
        QVERIFY(QFile::rename(desktop("report.pdf.part"), desktop("report.pdf")));
        testsupport::settle();
        advance(5000 + kRescanDelay);
        QVERIFY(wasPutAway("report.pdf"));
        QCOMPARE(QFileInfo(putAway("report.pdf")).size(), 4 + 24 * 5);
        QVERIFY(!QFileInfo::exists(putAway("report 2.pdf")));
        QCOMPARE(m_cleans, 1);
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
        QCOMPARE(m_cleaner->history().size(), 1);
        QCOMPARE(m_cleaner->history().first().moved, 10);
        QVERIFY(m_cleaner->history().first().automatic);
    }

    // Opened for writing before the watch could see it: the kernel's word keeps it, and its
    // close starts the quiet time.
    void fileHeldOpenForWritingWaitsForItsClose() {
        make("capture.png");
        QFile writer(desktop("capture.png"));
        QVERIFY(writer.open(QIODevice::Append));
        rescan();
        switchOn(60);
        advance(kRescanDelay);
        QVERIFY(onDesktop("capture.png"));
        QCOMPARE(m_clock->nextDue(), std::nullopt);
        advance(3'600'000);
        QVERIFY(onDesktop("capture.png"));
        QCOMPARE(m_cleans, 0);

        writer.close();
        testsupport::settle();
        advance(60'000 - 1);
        QVERIFY(onDesktop("capture.png"));
        advance(1);
        QVERIFY(wasPutAway("capture.png"));
    }

    // Files present when it is switched on count from their own times. Off: nothing waits
    // and nothing moves; on again, what has long been quiet goes at once. A new quiet time
    // applies to what is waiting.
    void settingsTakeEffectAtOnce() {
        make("a.png");
        rescan();
        advance(kRescanDelay);
        switchOn(600);
        QCOMPARE(m_clock->nextDue(), ownTime("a.png").addSecs(600));
        m_settings->setEnabled(false);
        QCOMPARE(m_clock->nextDue(), std::nullopt);
        advance(3'600'000);
        QVERIFY(onDesktop("a.png"));
        QCOMPARE(m_cleans, 0);
        m_settings->setEnabled(true);
        finishWork();
        QVERIFY(wasPutAway("a.png"));
        QCOMPARE(m_cleans, 1);

        make("b.png");
        const QDateTime written = m_clock->now();
        advance(kRescanDelay);
        QCOMPARE(m_clock->nextDue(), written.addSecs(600));
        m_settings->setQuietSeconds(60);
        QCOMPARE(m_clock->nextDue(), written.addSecs(60));
        advance(written.msecsTo(m_clock->now().addSecs(60)) - kRescanDelay);
        QVERIFY(wasPutAway("b.png"));
    }

    // On at start, with the panel not yet opened: the files there are looked at, each from
    // its own times.
    void startsWithFilesAlreadyThere() {
        make("a.png");
        m_tidy.reset();
        m_cleaner =
            std::make_unique<Cleaner>(m_folders.get(), m_home->stateFolder(), nullptr, *m_clock);
        m_settings->setQuietSeconds(60);
        m_settings->setEnabled(true);
        advance(60'000);
        m_tidy = std::make_unique<AutoTidy>(m_cleaner.get(), m_settings.get(), *m_clock);
        finishWork();
        QVERIFY(wasPutAway("a.png"));
    }

    // What an undo put back stays, also after a restart, until it is modified or renamed.
    // The put-back files' own times are long past by the clock: only the mark keeps them.
    void putBackFileStaysUntilChanged() {
        switchOn(60);
        make("a.png");
        make("b.png");
        advance(60'000);
        QVERIFY(wasPutAway("a.png") && wasPutAway("b.png"));
        m_cleaner->startUndo();
        advance(3'600'000);
        QVERIFY(onDesktop("a.png") && onDesktop("b.png"));

        m_tidy.reset();
        m_cleaner =
            std::make_unique<Cleaner>(m_folders.get(), m_home->stateFolder(), nullptr, *m_clock);
        m_tidy = std::make_unique<AutoTidy>(m_cleaner.get(), m_settings.get(), *m_clock);
        advance(3'600'000);
        QVERIFY(onDesktop("a.png") && onDesktop("b.png"));

        write("a.png");
        QVERIFY(QFile::rename(desktop("b.png"), desktop("c.png")));
        advance(60'000);
        QVERIFY(wasPutAway("a.png"));
        QVERIFY(wasPutAway("c.png"));
    }

    // A modification time in the future (a wrong clock, a tool's mistake) holds nothing back.
    void futureFileDateDoesNotCount() {
        make("later.pdf");
        {
            QFile f(desktop("later.pdf"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime(QDate(2100, 1, 1), QTime(0, 0), Qt::UTC),
                                  QFileDevice::FileModificationTime));
        }
        rescan();
        advance(60'000); // quiet for a minute by its status-change time
        switchOn(60);
        QVERIFY(wasPutAway("later.pdf"));
    }

    // Never beside other work: due while the user's clean runs, it goes when that ends.
    void waitsForTheCleanerToBeFree() {
        switchOn(60);
        make("a.png");
        make("b.pdf");
        advance(kRescanDelay);
        m_cleaner->startClean({false, QStringList{desktop("b.pdf")}});
        m_clock->advance(60'000 - kRescanDelay); // a.png is due now, with the cleaner at work
        QCOMPARE(m_cleans, 1);
        finishWork();
        QVERIFY(wasPutAway("b.pdf"));
        QVERIFY(wasPutAway("a.png"));
        QCOMPARE(m_cleans, 2);
    }

    // While the Desktop cannot be read nothing waits; once it can, the due files go.
    void waitsForTheDesktopToBeReadable() {
        switchOn(60);
        make("a.png");
        QVERIFY(QDir().rename(m_home->desktop(), m_home->path() + "/away"));
        rescan();
        QCOMPARE(m_cleaner->status().kind, Cleaner::Status::Kind::NoAccess);
        advance(kRescanDelay);
        QCOMPARE(m_clock->nextDue(), std::nullopt);
        advance(120'000);
        QCOMPARE(m_cleans, 0);
        QVERIFY(QDir().rename(m_home->path() + "/away", m_home->desktop()));
        rescan();
        QVERIFY(wasPutAway("a.png"));
    }

    // A file the clean could not move is tried again after another quiet time, not at once
    // and over and over.
    void unmovableFileWaitsAnotherQuietTime() {
        switchOn(60);
        make("Images", "a file where the folder should be");
        make("a.png");
        advance(60'000);
        QCOMPARE(m_cleans, 1);
        QVERIFY(onDesktop("a.png"));
        QCOMPARE(m_clock->nextDue(), m_clock->now().addSecs(60));

        QVERIFY(QFile::remove(desktop("Images")));
        testsupport::settle();
        advance(60'000);
        QVERIFY(wasPutAway("a.png"));
        QCOMPARE(m_cleans, 2);
    }
};

VANTOR_TEST_MAIN(TestAutoTidy)
#include "TestAutoTidy.moc"
