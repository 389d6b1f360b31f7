#include "enginefixtures.h"
#include "imageconverter.h"
#include "testsupport.h"
#include "webpencoder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using EngineFixtures::entries;

/// Runs of the converter: what the rows show while and after files convert, Stop, and the
/// preconditions of Convert. Stand-in encoders wait for a go-ahead file, so that each state is
/// looked at while it holds rather than after a guessed delay.
class TestBatchRun : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_inputs;
    QString m_output;
    QString m_go;
    QString m_started;

    QList<QUrl> images(int count)
    {
        QList<QUrl> urls;
        for (int i = 0; i < count; ++i) {
            const QString path = m_inputs + QStringLiteral("/%1.png").arg(i);
            EngineFixtures::noise(64, 48, i).write_to_file(path.toUtf8().constData());
            urls.append(QUrl::fromLocalFile(path));
        }
        return urls;
    }

    /// An encoder that marks its start in `started/`, waits for the go-ahead, then encodes.
    QString gatedEncoder()
    {
        QDir().mkpath(m_started);
        return EngineFixtures::script(
            m_dir.path(), QFileInfo(m_go).fileName() + QStringLiteral("-cwebp"),
            QStringLiteral("touch '%1/'$$\nwhile [ ! -e '%2' ]; do sleep 0.02; done\n"
                           "exec %3 \"$@\"")
                .arg(m_started, m_go, EngineFixtures::realEncoder));
    }

    int encodersStarted() const
    {
        return static_cast<int>(QDir(m_started).entryList(QDir::Files).size());
    }

    void go() { QFile(m_go).open(QIODevice::WriteOnly); }

    void prepare(ImageConverter &converter, const QList<QUrl> &files,
                 const std::optional<QString> &encoder = EngineFixtures::realEncoder)
    {
        converter.addPreset(QStringLiteral("Small"), 32, 24);
        converter.useOutputFolder(QUrl::fromLocalFile(m_output));
        converter.setEncoderLocator([encoder] { return encoder; });
        QSignalSpy added(&converter, &ImageConverter::filesAdded);
        converter.addFiles(files);
        QVERIFY(added.wait());
    }

    static QList<ConversionStatus::Kind> kinds(const ImageConverter &converter)
    {
        QList<ConversionStatus::Kind> result;
        for (const FileItem &item : converter.files())
            result.append(item.status.kind());
        return result;
    }

private Q_SLOTS:
    void init()
    {
        static int round = 0;
        ++round;
        m_inputs = m_dir.filePath(QStringLiteral("in%1").arg(round));
        m_output = m_dir.filePath(QStringLiteral("out%1").arg(round));
        m_go = m_dir.filePath(QStringLiteral("go%1").arg(round));
        m_started = m_dir.filePath(QStringLiteral("started%1").arg(round));
        QVERIFY(QDir().mkpath(m_inputs));
        QVERIFY(QDir().mkpath(m_output));
    }

    void cleanup()
    {
        // No run leaves anything in the temp folder.
        QCOMPARE(EngineFixtures::temporaryPngs(), QStringList());
    }

    void oneBadFileOfThree()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        QList<QUrl> inputs = images(2);
        const QString bad = m_inputs + QStringLiteral("/bad.jpg");
        EngineFixtures::writeBytes(bad, "this is not an image");
        inputs.insert(1, QUrl::fromLocalFile(bad));
        prepare(converter, inputs);
        QSignalSpy finished(&converter, &ImageConverter::runFinished);
        converter.convertAll();
        converter.convertAll(); // a second press while running starts nothing
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(kinds(converter), (QList<ConversionStatus::Kind>{ConversionStatus::Kind::done,
                                                                  ConversionStatus::Kind::error,
                                                                  ConversionStatus::Kind::done}));
        QCOMPARE(converter.files().at(1).status.message(), QStringLiteral("Could not load image"));
        QCOMPARE(converter.completedCount(), 3);
        QCOMPARE(converter.totalCount(), 3);
        QVERIFY(!converter.isConverting());
        QCOMPARE(entries(m_output), (QStringList{u"0.webp"_s, u"1.webp"_s}));
        QCOMPARE(converter.files().at(0).inputSize, QFileInfo(m_inputs + u"/0.png"_s).size());
        QVERIFY2(QRegularExpression(u"^2 done, 1 failed, 0 cancelled \u2014 \\d+\\.\\d KB "
                                    u"\u2192 \\d+\\.\\d KB \\(\\d+ % smaller\\)$"_s)
                     .match(converter.summaryText())
                     .hasMatch(),
                 qPrintable(converter.summaryText()));
    }

    void preconditions_data()
    {
        QTest::addColumn<bool>("encoder");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("preset");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("chooser");

        const QString missing = WebpEncoder::notFoundMessage();
        QTest::newRow("no encoder") << false << true << true << true << missing << false;
        QTest::newRow("no encoder, no folder")
            << false << false << true << true << missing << false;
        QTest::newRow("no folder opens chooser") << true << false << true << true << u""_s << true;
        QTest::newRow("no preset") << true << true << false << true << u""_s << false;
        QTest::newRow("nothing selected") << false << true << true << false << u""_s << false;
    }

    void preconditions()
    {
        QFETCH(bool, encoder);
        QFETCH(bool, folder);
        QFETCH(bool, preset);
        QFETCH(bool, selected);
        QFETCH(QString, message);
        QFETCH(bool, chooser);

        TemporaryPreferences prefs;
        ImageConverter converter;
        prepare(converter, images(2),
                encoder ? std::optional<QString>(EngineFixtures::realEncoder) : std::nullopt);
        if (!folder)
            converter.useOutputFolder({});
        if (!preset)
            converter.removePreset(converter.selectedPreset()->id);
        if (!selected)
            converter.deselectAll();
        QSignalSpy asked(&converter, &ImageConverter::outputFolderChooserRequested);
        QSignalSpy finished(&converter, &ImageConverter::runFinished);
        converter.convertAll();
        QVERIFY(!converter.isConverting());
        QCOMPARE(asked.size(), chooser ? 1 : 0);
        QCOMPARE(finished.size(), message.isEmpty() ? 0 : 1);
        for (const FileItem &item : converter.files())
            QCOMPARE(item.status.statusText(),
                     message.isEmpty() ? QStringLiteral("Waiting") : message);
        QCOMPARE(entries(m_output), QStringList());
    }

    /// A run left alone, stopped, emptied or ended by closing the window while some encoders
    /// run: rows show "Converting…" exactly while their encoder runs, and the list, the reports
    /// and the disk agree at the end.
    void interruptions_data()
    {
        QTest::addColumn<QString>("action");
        for (const char *action : {"none", "stop", "clear", "destroy"})
            QTest::newRow(action) << QString::fromLatin1(action);
    }

    void interruptions()
    {
        QFETCH(QString, action);
        TemporaryPreferences prefs;
        auto converter = std::make_unique<ImageConverter>();
        prepare(*converter, images(6), gatedEncoder());
        QSignalSpy finished(converter.get(), &ImageConverter::runFinished);
        QSignalSpy reported(converter.get(), &ImageConverter::fileFinished);
        converter->convertAll();
        const int running = std::min(QThreadPool().maxThreadCount(), 6);
        QTRY_COMPARE_WITH_TIMEOUT(encodersStarted(), running, 20000);
        QCOMPARE(kinds(*converter).count(ConversionStatus::Kind::converting), running);
        QCOMPARE(kinds(*converter).count(ConversionStatus::Kind::queued), 6 - running);
        QVERIFY(converter->runStartedAt() > 0);
        if (action == u"stop") {
            converter->setCancelled(true);
            // Files that had not started end at once; the running encoders go on.
            QVERIFY(converter->isConverting() && converter->isCancelled());
            QCOMPARE(converter->cancelledCount(), 6 - running);
            QCOMPARE(converter->completedCount(), 6 - running);
        } else if (action == u"clear") {
            converter->clearAll();
            QCOMPARE(converter->totalCount(), 0);
        } else if (action == u"destroy") {
            converter.reset();
            QCOMPARE(entries(m_output), QStringList());
            return;
        }
        go();
        QVERIFY(finished.wait(60000));
        QVERIFY(!converter->isConverting() && !converter->isCancelled());
        QVERIFY(converter->remainingMs() < 0 && converter->runStartedAt() == 0);
        QCOMPARE(reported.size(), 6);
        if (action == u"clear") {
            // Only the files whose encoders had started were written; no row shows them.
            QCOMPARE(converter->completedCount(), 0);
            QCOMPARE(entries(m_output).size(), running);
            converter->undo();
            QCOMPARE(converter->fileCount(), 6);
            return;
        }
        QCOMPARE(converter->completedCount(), 6);
        QStringList written;
        for (const FileItem &item : converter->files()) {
            if (item.status.kind() == ConversionStatus::Kind::done)
                written.append(QFileInfo(item.status.outputPath()).fileName());
        }
        QCOMPARE(written.size(), action == u"none" ? 6 : running);
        QCOMPARE(entries(m_output), written);
    }
};

QTEST_GUILESS_MAIN(TestBatchRun)
#include "tst_batchrun.moc"
