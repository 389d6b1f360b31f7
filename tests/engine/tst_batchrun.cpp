#include "enginefixtures.h"
#include "imageconverter.h"
#include "testsupport.h"
#include "webpencoder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using EngineFixtures::entries;

class TestBatchRun : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_inputs;
    QString m_output;

    QUrl image(const QString &name, int width = 64, int height = 48)
    {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(QColor(200, 80, 20));
        const QString path = m_inputs + QLatin1Char('/') + name;
        picture.save(path, "PNG");
        return QUrl::fromLocalFile(path);
    }

    /// `count` images named 0.png, 1.png, …
    QList<QUrl> images(int count, int width = 64, int height = 48)
    {
        QList<QUrl> urls;
        for (int i = 0; i < count; ++i)
            urls.append(image(QStringLiteral("%1.png").arg(i), width, height));
        return urls;
    }

    QUrl notAnImage(const QString &name)
    {
        const QString path = m_inputs + QLatin1Char('/') + name;
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write("this is not an image");
        return QUrl::fromLocalFile(path);
    }

    /// A converter ready to run: a preset, an output folder and the given encoder.
    void prepare(ImageConverter &converter, const QList<QUrl> &files,
                 const std::optional<QString> &encoder = QStringLiteral("/usr/bin/cwebp"))
    {
        converter.addPreset(QStringLiteral("Small"), 32, 32);
        converter.setChosenOutputFolder(QUrl::fromLocalFile(m_output));
        converter.setEncoderLocator([encoder] { return encoder; });
        converter.addFiles(files);
        QTRY_COMPARE(converter.files().size(), files.size());
    }

    QString slowEncoder(const QString &seconds)
    {
        return EngineFixtures::script(
            m_dir.path(), QStringLiteral("slow-cwebp"),
            QStringLiteral("sleep %1\nexec %2 \"$@\"").arg(seconds, EngineFixtures::realEncoder));
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_inputs = m_dir.filePath(QStringLiteral("in-") +
                                  QString::number(QRandomGenerator::global()->generate()));
        m_output = m_dir.filePath(QStringLiteral("out-") +
                                  QString::number(QRandomGenerator::global()->generate()));
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
        prepare(converter, {image(QStringLiteral("a.png")), notAnImage(QStringLiteral("b.png")),
                            image(QStringLiteral("c.png"))});
        QSignalSpy finished(&converter, &ImageConverter::runFinished);
        converter.convertAll();
        QVERIFY(converter.isConverting());
        QCOMPARE(converter.totalCount(), 3);
        QVERIFY(finished.wait(20000));
        const auto files = converter.files();
        QCOMPARE(files.at(0)->statusKind(), ConversionStatus::Kind::done);
        QCOMPARE(files.at(1)->statusKind(), ConversionStatus::Kind::error);
        QCOMPARE(files.at(1)->status().message(), QStringLiteral("Could not load image"));
        QCOMPARE(files.at(2)->statusKind(), ConversionStatus::Kind::done);
        QCOMPARE(files.at(0)->status().outputPath(), m_output + QStringLiteral("/a.webp"));
        QCOMPARE(files.at(0)->status().fileSize(),
                 QFileInfo(m_output + QStringLiteral("/a.webp")).size());
        QCOMPARE(converter.completedCount(), 3);
        QCOMPARE(converter.doneCount(), 2);
        QCOMPARE(converter.errorCount(), 1);
        QVERIFY(!converter.isConverting());
        QVERIFY(!converter.isCancelled());
    }

    void preconditions()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        QSignalSpy converting(&converter, &ImageConverter::isConvertingChanged);
        converter.convertAll(); // nothing selected
        converter.addFiles({image(QStringLiteral("a.png")), image(QStringLiteral("b.png"))});
        QTRY_COMPARE(converter.files().size(), 2);
        converter.convertAll(); // no preset
        QCOMPARE(converting.size(), 0);
        QCOMPARE(converter.files().at(0)->statusKind(), ConversionStatus::Kind::queued);

        // No encoder: only the selected files get the message, and no run starts.
        converter.selectOriginalPreset();
        converter.setEncoderLocator([] { return std::nullopt; });
        converter.files().at(1)->setSelected(false);
        converter.convertAll();
        QCOMPARE(converting.size(), 0);
        QCOMPARE(converter.files().at(0)->status(),
                 ConversionStatus::error(WebpEncoder::notFoundMessage()));
        QCOMPARE(converter.files().at(1)->statusKind(), ConversionStatus::Kind::queued);
        QVERIFY(WebpEncoder::notFoundMessage().contains(QChar(0x2014)));

        // No output folder: the chooser is asked, and only the next press runs.
        QSignalSpy chooser(&converter, &ImageConverter::outputFolderChooserRequested);
        converter.setEncoderLocator([] { return QStringLiteral("/usr/bin/cwebp"); });
        converter.convertAll();
        QCOMPARE(chooser.size(), 1);
        QCOMPARE(converting.size(), 0);
        converter.setChosenOutputFolder(QUrl::fromLocalFile(m_output));
        QSignalSpy finished(&converter, &ImageConverter::runFinished);
        converter.convertAll();
        converter.convertAll(); // a second press during the run does nothing
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(converter.totalCount(), 1);
        QCOMPARE(converter.files().at(0)->statusKind(), ConversionStatus::Kind::done);
        QCOMPARE(converter.files().at(1)->statusKind(), ConversionStatus::Kind::queued);
        QCOMPARE(entries(m_output), QStringList{QStringLiteral("a.webp")});
    }

    void everyFileShowsConvertingRightAway()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        prepare(converter, images(6), slowEncoder(QStringLiteral("0.3")));
        QSignalSpy finished(&converter, &ImageConverter::runFinished);
        converter.convertAll();
        for (const auto &item : converter.files())
            QCOMPARE(item->statusKind(), ConversionStatus::Kind::queued);
        QCoreApplication::processEvents();
        for (const auto &item : converter.files())
            QCOMPARE(item->statusKind(), ConversionStatus::Kind::converting);
        QVERIFY(finished.wait(30000));
        QCOMPARE(converter.doneCount(), 6);
    }

    void stopEarlyCancelsEverything()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        prepare(converter, images(30), slowEncoder(QStringLiteral("0.2")));
        QSignalSpy finished(&converter, &ImageConverter::runFinished);
        converter.convertAll();
        converter.setCancelled(true);
        QVERIFY(finished.wait(30000));
        QCOMPARE(converter.cancelledCount(), 30);
        QCOMPARE(converter.completedCount(), converter.totalCount());
        QVERIFY(!converter.isConverting());
        QVERIFY(!converter.isCancelled());
    }

    void stopDuringEncodeShowsCancelledButKeepsOutput()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        // The stand-in leaves a mark once it runs, so that Stop comes while the encoder runs.
        const QString mark = m_dir.filePath(QStringLiteral("encoder-started"));
        const QString encoder =
            EngineFixtures::script(m_dir.path(), QStringLiteral("marking-cwebp"),
                                   QStringLiteral("touch '%1'\nsleep 0.5\nexec %2 \"$@\"")
                                       .arg(mark, EngineFixtures::realEncoder));
        prepare(converter, {image(QStringLiteral("a.png"))}, encoder);
        QSignalSpy finished(&converter, &ImageConverter::runFinished);
        converter.convertAll();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(mark), 20000);
        converter.setCancelled(true);
        QVERIFY(finished.wait(20000));
        QCOMPARE(converter.files().at(0)->statusKind(), ConversionStatus::Kind::cancelled);
        QCOMPARE(entries(m_output), QStringList{QStringLiteral("a.webp")});
    }

    void destroyingTheConverterMidRunLeavesNothing()
    {
        TemporaryPreferences prefs;
        const QList<QUrl> inputs = images(8, 800, 600);
        {
            ImageConverter converter;
            prepare(converter, inputs, slowEncoder(QStringLiteral("0.5")));
            converter.convertAll();
            QTest::qWait(300);
        }
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        // Outputs are either complete WebP files or absent: no empty reservations or parts.
        for (const QString &name : entries(m_output)) {
            QFile file(m_output + QLatin1Char('/') + name);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.read(4), QByteArray("RIFF"));
        }
    }
};

QTEST_GUILESS_MAIN(TestBatchRun)
#include "tst_batchrun.moc"
