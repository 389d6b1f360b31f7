#include "enginefixtures.h"
#include "imageconverter.h"
#include "testsupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using EngineFixtures::entries;

/// Runs of the converter: what the rows show while and after files convert, Stop, and the
/// preconditions of Convert. A stand-in encoder waits for a go-ahead file, so that each state is
/// looked at while it holds rather than after a guessed delay.
class TestBatchRun : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_inputs;
    QString m_output;
    QString m_go;
    QString m_started;
    std::optional<TemporaryPreferences> m_prefs;
    std::unique_ptr<ImageConverter> m_converter;

    /// A converter with `count` images, a bad one at `bad` (if any), and `encoder`.
    ImageConverter &prepare(int count, const std::optional<QString> &encoder, int bad = -1)
    {
        m_converter = std::make_unique<ImageConverter>();
        m_converter->settingsStore()->addPreset(u"Small"_s, 32, 24);
        m_converter->outputFolder()->use(QUrl::fromLocalFile(m_output));
        m_converter->setEncoderLocator([encoder] { return encoder; });
        add(0, count, bad);
        return *m_converter;
    }

    /// Adds images `first` to `first + count - 1`, a bad one at `bad` (if any), and waits for
    /// them to arrive in the list.
    void add(int first, int count, int bad = -1)
    {
        QList<QUrl> urls;
        for (int i = first; i < first + count; ++i) {
            const QString path = m_inputs + u"/%1.png"_s.arg(i);
            if (i == bad)
                EngineFixtures::writeBytes(path, "this is not an image");
            else
                EngineFixtures::save(EngineFixtures::noise(64, 48, i), ".png", path);
            urls.append(QUrl::fromLocalFile(path));
        }
        QSignalSpy added(m_converter.get(), &ImageConverter::filesAdded);
        m_converter->addFiles(urls);
        QVERIFY(added.wait());
    }

    /// An encoder that marks its start in `started/`, waits for the go-ahead, then encodes.
    QString gatedEncoder()
    {
        return script(
            m_started, u"cwebp"_s,
            u"touch '%1/'$$\nwhile [ ! -e '%2' ]; do sleep 0.02; done\nexec %3 \"$@\""_s.arg(
                m_started, m_go, EngineFixtures::realEncoder));
    }

    int encodersStarted() const { return int(QDir(m_started).entryList({u"[0-9]*"_s}).size()); }

private Q_SLOTS:
    void init()
    {
        static int round = 0;
        ++round;
        m_inputs = m_dir.filePath(u"in%1"_s.arg(round));
        m_output = m_dir.filePath(u"out%1"_s.arg(round));
        m_go = m_dir.filePath(u"go%1"_s.arg(round));
        m_started = m_dir.filePath(u"started%1"_s.arg(round));
        for (const QString &folder : {m_inputs, m_output, m_started})
            QVERIFY(QDir().mkpath(folder));
        m_prefs.emplace();
    }

    void cleanup()
    {
        m_converter.reset();
        m_prefs.reset();
        // No run leaves anything in the temp folder.
        QCOMPARE(EngineFixtures::leftovers(), QStringList());
    }

    /// Convert with something missing: the row statuses and signals that follow at once.
    void preconditions_data() { addRowsFrom("run-preconditions.txt", {"missing", "shown"}); }

    void preconditions()
    {
        const auto [missing, shown] = fields("missing", "shown");
        ImageConverter &converter =
            prepare(2, missing.contains(u"encoder"_s) ? std::nullopt
                                                      : std::optional(EngineFixtures::realEncoder));
        if (missing.contains(u"folder"_s))
            converter.outputFolder()->use({});
        if (missing.contains(u"preset"_s))
            converter.removePreset(converter.selectedPreset()->id);
        if (missing.contains(u"selection"_s))
            converter.fileModel()->deselectAll();
        QSignalSpy asked(converter.outputFolder(), &OutputFolder::chooserRequested);
        QSignalSpy finished(&converter, &ImageConverter::runFinished);
        QSignalSpy reported(&converter, &ImageConverter::fileFinished);
        converter.convertAll();
        QVERIFY(!converter.isConverting());
        QCOMPARE(asked.size(), shown == u"chooser" ? 1 : 0);
        QCOMPARE(finished.size(), shown.startsWith(u"cwebp"_s) ? 1 : 0);
        QCOMPARE(reported.size(), shown.startsWith(u"cwebp"_s) ? 2 : 0);
        for (const FileItem &item : converter.files())
            QCOMPARE(item.status.statusText(), shown == u"chooser" ? u"Waiting"_s : shown);
        QCOMPARE(entries(m_output), QStringList());
    }

    /// A run left alone (with a file that is not an image first, or not), stopped, emptied (and
    /// brought back by undo), joined by dropped files or ended by closing the window while some
    /// encoders run: rows show "Converting…" exactly while their encoder runs, and the list, the
    /// reports, the summary and the disk agree at the end.
    void interruptions_data()
    {
        QTest::addColumn<QString>("action");
        for (const char *action : {"none", "bad", "stop", "clear", "destroy", "drop", "stop drop"})
            QTest::newRow(action) << QString::fromLatin1(action);
    }

    void interruptions()
    {
        QFETCH(QString, action);
        const QStringList steps = action.split(u' ');
        const int failed = action == u"bad" ? 1 : 0;
        ImageConverter &converter = prepare(6, gatedEncoder(), failed ? 0 : -1);
        QSignalSpy finished(&converter, &ImageConverter::runFinished);
        QSignalSpy reported(&converter, &ImageConverter::fileFinished);
        converter.convertAll();
        converter.convertAll(); // a second press while running starts nothing
        const int running = std::min(QThreadPool().maxThreadCount(), 6 - failed);
        QTRY_COMPARE_WITH_TIMEOUT(encodersStarted(), running, 20000);
        QTRY_COMPARE(converter.fileModel()->count(ConversionStatus::Kind::converting), running);
        QCOMPARE(converter.fileModel()->count(ConversionStatus::Kind::queued),
                 6 - failed - running);
        QVERIFY(converter.run()->startedAt() > 0);
        const bool stopped = steps.contains(u"stop"_s);
        if (stopped) {
            converter.stop();
            // Files that had not started end at once; the running encoders go on.
            QVERIFY(converter.isConverting() && converter.run()->isCancelled());
            QVERIFY(converter.run()->remainingMs() < 0);
            QCOMPARE(converter.fileModel()->cancelledCount(), 6 - running);
            QCOMPARE(converter.run()->completedCount(), 6 - running);
        } else if (action == u"clear") {
            converter.clearAll();
            QCOMPARE(converter.run()->totalCount(), 0);
        } else if (action == u"destroy") {
            m_converter.reset();
            QCOMPARE(entries(m_output), QStringList());
            return;
        }
        const int files = steps.contains(u"drop"_s) ? 8 : 6;
        if (files > 6) {
            // Dropped files join the run: they wait behind the others, or end cancelled at once
            // when it is stopping.
            add(6, 2);
            QCOMPARE(converter.run()->totalCount(), 8);
            QCOMPARE(converter.fileModel()->cancelledCount(), stopped ? 8 - running : 0);
            QCOMPARE(converter.run()->completedCount(), stopped ? 8 - running : 0);
        }
        QFile(m_go).open(QIODevice::WriteOnly);
        QVERIFY(finished.wait(60000));
        QVERIFY(!converter.isConverting() && !converter.run()->isCancelled());
        QVERIFY(converter.run()->remainingMs() < 0 && converter.run()->startedAt() == 0);
        QCOMPARE(reported.size(), files);
        // A Stop or the removal of the rows leaves the files that had not started cancelled.
        const int converted = stopped || action == u"clear" ? running : files - failed;
        if (action == u"clear") {
            // Only the files whose encoders had started were written; no row shows them until
            // undo brings the rows back with how each ended.
            QCOMPARE(converter.run()->completedCount(), 0);
            QCOMPARE(converter.fileModel()->fileCount(), 0);
            converter.undo();
            QCOMPARE(converter.fileModel()->fileCount(), 6);
        } else {
            QCOMPARE(converter.run()->completedCount(), files);
        }
        const QRegularExpression summary(
            u"^%1 done, %2 failed, %3 cancelled \u2014 \\d+\\.\\d KB "
            u"\u2192 \\d+\\.\\d KB \\(\\d+ % smaller\\)$"_s.arg(converted)
                .arg(failed)
                .arg(files - converted - failed));
        QVERIFY2(converter.run()->summaryText().contains(summary),
                 qPrintable(converter.run()->summaryText()));
        QStringList written;
        QStringList reportedWritten;
        for (const FileItem &item : converter.files())
            if (item.status.kind() == ConversionStatus::Kind::done)
                written.append(QFileInfo(item.status.outputPath()).fileName());
        for (const QList<QVariant> &report : std::as_const(reported))
            if (const auto status = report.at(1).value<ConversionStatus>();
                status.kind() == ConversionStatus::Kind::done)
                reportedWritten.append(QFileInfo(status.outputPath()).fileName());
        reportedWritten.sort();
        // No row is left waiting or converting.
        QCOMPARE(written.size(), converted);
        QCOMPARE(converter.fileModel()->cancelledCount(), files - converted - failed);
        QCOMPARE(entries(m_output), written);
        QCOMPARE(reportedWritten, written);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(converter.files().at(1).inputSize, QFileInfo(m_inputs + u"/1.png"_s).size());
        if (files > 6 && action != u"clear") {
            // Dropped files belong to the run too: its summary stays while one of them is
            // listed, and goes with the last.
            const QString shown = converter.run()->summaryText();
            for (int i = 0; i < 6; ++i)
                converter.removeRow(0);
            QCOMPARE(converter.run()->summaryText(), shown);
            converter.clearAll();
            QCOMPARE(converter.run()->summaryText(), QString());
            for (int i = 0; i < 7; ++i)
                converter.undo();
            QCOMPARE(converter.run()->summaryText(), shown);
        }
        if (action == u"none") {
            // Again with taken names skipped: every file is finished, none is left to select.
            ConverterSettings settings = converter.settings();
            settings.output.skipExisting = true;
            converter.settingsStore()->use(settings);
            converter.convertAll();
            QVERIFY(finished.wait(60000));
            QCOMPARE(converter.run()->summaryText(), u"0 done, 0 failed, 0 cancelled, 6 skipped"_s);
            QCOMPARE(converter.fileModel()->skippedCount(), 6);
            QVERIFY(!converter.fileModel()->hasUnfinished());
            converter.fileModel()->selectUnfinished();
            QVERIFY((converter.fileModel()->selectedCount() == 0));
            QCOMPARE(entries(m_output), written);
        }
        if (!failed)
            return;
        QCOMPARE(converter.files().at(0).status.message(), u"Could not load image"_s);
        converter.fileModel()
            ->selectUnfinished(); // the bad file alone: nothing to compare sizes of
        converter.convertAll();
        QVERIFY(finished.wait(60000));
        QCOMPARE(converter.run()->summaryText(), u"0 done, 1 failed, 0 cancelled"_s);
        // The files the second run left alone still show how the first one ended.
        QCOMPARE(converter.fileModel()->doneCount(), files - failed);
    }
};

QTEST_GUILESS_MAIN(TestBatchRun)
#include "tst_batchrun.moc"
