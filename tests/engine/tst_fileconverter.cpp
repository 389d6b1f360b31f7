#include "enginefixtures.h"
#include "exifresolution.h"
#include "fileconverter.h"
#include "temporarypng.h"
#include "vipsruntime.h"
#include "webpfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <thread>

using EngineFixtures::convert;
using EngineFixtures::entries;
using EngineFixtures::flat;
using EngineFixtures::job;
using EngineFixtures::noise;
using EngineFixtures::readBack;
using EngineFixtures::save;
using EngineFixtures::script;
using EngineFixtures::temporaryPngs;
using vips::VImage;

namespace {

/// A stand-in that logs its arguments (one run a line) and then runs the real encoder, with
/// `extra` appended to the first run only.
QString loggingEncoder(const QString &folder, const QString &extraOnFirstRun = {})
{
    return script(folder, QStringLiteral("logging-cwebp"),
                  QStringLiteral("cd '%1'\n"
                                 "echo \"$*\" >> runs\n"
                                 "if [ \"$(wc -l < runs)\" -eq 1 ]; then\n"
                                 "  exec %2 \"$@\" %3\n"
                                 "fi\n"
                                 "exec %2 \"$@\"")
                      .arg(folder, EngineFixtures::realEncoder, extraOnFirstRun));
}

QStringList runs(const QString &folder)
{
    QFile file(folder + QStringLiteral("/runs"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestFileConverter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

    void cleanup() { QCOMPARE(temporaryPngs(), QStringList()); }

    void outputSize_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("preset");
        QTest::addColumn<bool>("preserve");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("stretched")
            << QSize(400, 300) << QSize(192, 108) << false << QSize(192, 108);
        QTest::newRow("enlarged") << QSize(10, 10) << QSize(192, 108) << false << QSize(192, 108);
        QTest::newRow("odd sizes") << QSize(7, 13) << QSize(333, 17) << false << QSize(333, 17);
        QTest::newRow("original") << QSize(37, 21) << QSize(0, 0) << true << QSize(37, 21);
        QTest::newRow("original ignores a large preset")
            << QSize(37, 21) << QSize(99999, 99999) << true << QSize(37, 21);
    }

    void outputSize()
    {
        QFETCH(QSize, source);
        QFETCH(QSize, preset);
        QFETCH(bool, preserve);
        QFETCH(QSize, expected);
        QTemporaryDir dir;
        const QString input = dir.filePath(QStringLiteral("photo.jpg"));
        save(noise(source.width(), source.height()), ".jpg", input);
        ConversionJob values = job(dir.path());
        values.width = preset.width();
        values.height = preset.height();
        values.preserveOriginal = preserve;
        const ConversionStatus status = convert(input, values);
        QCOMPARE(status.kind(), ConversionStatus::Kind::done);
        QCOMPARE(status.outputPath(), dir.filePath(QStringLiteral("photo.webp")));
        QCOMPARE(status.fileSize(), QFileInfo(status.outputPath()).size());
        const VImage back = readBack(status.outputPath());
        QCOMPARE(QSize(back.width(), back.height()), expected);
    }

    void alpha_data()
    {
        QTest::addColumn<QByteArray>("suffix");
        QTest::addColumn<VImage>("image");
        QTest::addColumn<bool>("hasAlpha");
        QTest::newRow("png with transparency")
            << QByteArray(".png")
            << flat(8, 8, {200, 10, 10, 0}).insert(flat(4, 8, {200, 10, 10, 255}), 0, 0) << true;
        QTest::newRow("opaque jpeg") << QByteArray(".jpg") << flat(8, 8, {200, 10, 10}) << false;
    }

    void alpha()
    {
        QFETCH(QByteArray, suffix);
        QFETCH(VImage, image);
        QFETCH(bool, hasAlpha);
        QTemporaryDir dir;
        const QString input = dir.filePath(QStringLiteral("in") + QString::fromLatin1(suffix));
        save(image, suffix.constData(), input);
        const ConversionStatus status = convert(input, job(dir.path(), loggingEncoder(dir.path())));
        QCOMPARE(status.kind(), ConversionStatus::Kind::done);
        QCOMPARE(runs(dir.path()).size(), 1);
        QCOMPARE(runs(dir.path()).first().endsWith(QStringLiteral(" -alpha_q 85")), hasAlpha);
        QCOMPARE(readBack(status.outputPath()).bands(), hasAlpha ? 4 : 3);
    }

    void resolutionAndColours()
    {
        QTemporaryDir dir;
        const std::vector<double> colour{210, 60, 30};
        const QString input = dir.filePath(QStringLiteral("flat.png"));
        save(flat(16, 16, colour), ".png", input);
        ConversionJob values = job(dir.path());
        values.quality = 100;
        values.ppi = 300;
        const ConversionStatus status = convert(input, values);
        QCOMPARE(status.kind(), ConversionStatus::Kind::done);
        const VImage back = readBack(status.outputPath());
        // The WebP decoder parses the EXIF block into fields but does not set xres from it.
        for (const char *field : {"exif-ifd0-XResolution", "exif-ifd0-YResolution"})
            QVERIFY(QString::fromUtf8(back.get_string(field)).startsWith(QStringLiteral("300/1 ")));
        QVERIFY(QString::fromUtf8(back.get_string("exif-ifd0-ResolutionUnit"))
                    .startsWith(QStringLiteral("2 (Inch")));
        QCOMPARE(entries(dir.path()).size(), 2); // no sibling left over
        for (const auto &[x, y] : {std::pair{0, 0}, {8, 8}, {15, 3}}) {
            const std::vector<double> pixel = back.getpoint(x, y);
            for (size_t band = 0; band < 3; ++band)
                QVERIFY2(std::abs(pixel[band] - colour[band]) <= 4,
                         qPrintable(QStringLiteral("(%1, %2) band %3: %4")
                                        .arg(x)
                                        .arg(y)
                                        .arg(band)
                                        .arg(pixel[band])));
        }
    }

    void inputInTheOutputFolderIsKept()
    {
        QTemporaryDir dir;
        const QString input = dir.filePath(QStringLiteral("a.webp"));
        save(noise(8, 8), ".webp", input);
        const qint64 size = QFileInfo(input).size();
        const ConversionStatus status = convert(input, job(dir.path()));
        QCOMPARE(status.outputPath(), dir.filePath(QStringLiteral("a_1.webp")));
        QCOMPARE(QFileInfo(input).size(), size);
    }

    void sameNamesAtOnceAllLand()
    {
        QTemporaryDir dir;
        const QString output = dir.filePath(QStringLiteral("out"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out")));
        constexpr int count = 8;
        QStringList inputs;
        for (int i = 0; i < count; ++i) {
            const QString folder = QStringLiteral("in%1").arg(i);
            QVERIFY(QDir(dir.path()).mkdir(folder));
            inputs << dir.filePath(folder +
                                   (i % 2 ? QStringLiteral("/a.png") : QStringLiteral("/a.jpg")));
            save(noise(16, 16, i + 1), i % 2 ? ".png" : ".jpg", inputs.last());
        }
        std::vector<ConversionStatus> results(count);
        std::vector<std::thread> threads;
        const ConversionJob values = job(output);
        for (int i = 0; i < count; ++i)
            threads.emplace_back([&, i] { results[size_t(i)] = convert(inputs[i], values); });
        for (std::thread &thread : threads)
            thread.join();
        QSet<QString> paths;
        for (const ConversionStatus &status : results) {
            QCOMPARE(status.kind(), ConversionStatus::Kind::done);
            QCOMPARE(WebpFile::check(status.outputPath()), WebpFile::State::valid);
            paths.insert(QFileInfo(status.outputPath()).fileName());
        }
        QStringList expected{QStringLiteral("a.webp")};
        for (int i = 1; i < count; ++i)
            expected << QStringLiteral("a_%1.webp").arg(i);
        QCOMPARE(paths, QSet<QString>(expected.begin(), expected.end()));
        QCOMPARE(entries(output).size(), count);
    }

    void cancelledBeforeStart()
    {
        QTemporaryDir dir;
        const QString input = dir.filePath(QStringLiteral("a.png"));
        save(noise(8, 8), ".png", input);
        RunFlags flags;
        flags.cancelled = true;
        const ConversionStatus status =
            FileConverter::convert(QUrl::fromLocalFile(input), job(dir.path()), flags);
        QCOMPARE(status, ConversionStatus::cancelled());
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("a.png")});
    }

    void abortEndsTheEncoder()
    {
        QTemporaryDir tools;
        QTemporaryDir dir;
        const QString input = tools.filePath(QStringLiteral("a.png"));
        save(noise(8, 8), ".png", input);
        const QString started = tools.filePath(QStringLiteral("started"));
        const QString encoder = script(
            tools.path(), QStringLiteral("enc"),
            QStringLiteral("echo partial > \"$3\"; touch '%1'; exec sleep 600").arg(started));
        RunFlags flags;
        ConversionStatus status;
        std::thread worker([&] {
            status =
                FileConverter::convert(QUrl::fromLocalFile(input), job(dir.path(), encoder), flags);
        });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(started), 60000);
        flags.aborted = true;
        worker.join();
        QCOMPARE(status, ConversionStatus::cancelled());
        QCOMPARE(entries(dir.path()), QStringList());
    }

    void sizeLimit_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QString>("firstRunExtra");
        QTest::addColumn<int>("encodes");
        QTest::addColumn<bool>("fits");
        QTest::newRow("met at once")
            << QSize(64, 64) << qint64(300 * 1024) << QString() << 1 << true;
        QTest::newRow("first encode overshoots") << QSize(320, 240) << qint64(20 * 1024)
                                                 << QStringLiteral("-size 100000000") << 2 << true;
        // cwebp 1.2.4 lands this one at 4182 bytes on its own, over the limit before the EXIF
        // is even added; the second encode fits.
        QTest::newRow("encoder overshoots by itself")
            << QSize(256, 256) << qint64(4 * 1024) << QString() << 2 << true;
        QTest::newRow("unreachable") << QSize(256, 256) << qint64(1024) << QString() << 3 << false;
    }

    void sizeLimit()
    {
        QFETCH(QSize, size);
        QFETCH(qint64, limit);
        QFETCH(QString, firstRunExtra);
        QFETCH(int, encodes);
        QFETCH(bool, fits);
        QTemporaryDir tools;
        QTemporaryDir dir;
        const QString input = tools.filePath(QStringLiteral("noise.png"));
        save(noise(size.width(), size.height()), ".png", input);
        ConversionJob values = job(dir.path(), loggingEncoder(tools.path(), firstRunExtra));
        values.sizeLimitEnabled = true;
        values.sizeLimitBytes = limit;
        const ConversionStatus status = convert(input, values);
        const QStringList log = runs(tools.path());
        QCOMPARE(log.size(), encodes);
        QVERIFY(log.first().contains(QStringLiteral(" -size %1 ").arg(limit)));
        for (const QString &run : log)
            QVERIFY(!run.contains(QStringLiteral(" -q ")));
        if (fits) {
            QCOMPARE(status.kind(), ConversionStatus::Kind::done);
            QVERIFY(status.fileSize() <= limit);
            QCOMPARE(status.fileSize(), QFileInfo(status.outputPath()).size());
            QCOMPARE(entries(dir.path()), QStringList{QFileInfo(status.outputPath()).fileName()});
        } else {
            QCOMPARE(status.kind(), ConversionStatus::Kind::error);
            const QRegularExpression message(
                QStringLiteral("^Over the %1 KB limit \\(smallest: [0-9]+\\.[0-9] KB\\)$")
                    .arg(limit / 1024));
            QVERIFY2(message.match(status.message()).hasMatch(), qPrintable(status.message()));
            QCOMPARE(entries(dir.path()), QStringList());
        }
    }

    void noRetryAfterStop()
    {
        QTemporaryDir tools;
        QTemporaryDir dir;
        const QString input = tools.filePath(QStringLiteral("noise.png"));
        save(noise(320, 240), ".png", input);
        // The first encode waits until the test has pressed Stop, then overshoots the limit.
        const QString encoder = script(tools.path(), QStringLiteral("enc"),
                                       QStringLiteral("cd '%1'; echo run >> runs; touch started\n"
                                                      "while [ ! -e go ]; do sleep 0.05; done\n"
                                                      "exec %2 \"$@\" -size 100000000")
                                           .arg(tools.path(), EngineFixtures::realEncoder));
        ConversionJob values = job(dir.path(), encoder);
        values.sizeLimitEnabled = true;
        values.sizeLimitBytes = 20 * 1024;
        RunFlags flags;
        ConversionStatus status;
        std::thread worker(
            [&] { status = FileConverter::convert(QUrl::fromLocalFile(input), values, flags); });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(tools.filePath(QStringLiteral("started"))), 60000);
        flags.cancelled = true;
        EngineFixtures::writeBytes(tools.filePath(QStringLiteral("go")), {});
        worker.join();
        QCOMPARE(status, ConversionStatus::cancelled());
        QCOMPARE(runs(tools.path()).size(), 1);
        QCOMPARE(entries(dir.path()), QStringList());
    }

    void nameAndLifetime()
    {
        QString path;
        {
            TemporaryPng png;
            path = png.path();
            QVERIFY(path.startsWith(QDir::tempPath() + QLatin1Char('/')));
            const QRegularExpression name(QStringLiteral(
                "/[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.png$"));
            QVERIFY(name.match(path).hasMatch());
            QCOMPARE(png.write(flat(4, 4, {1, 2, 3}), 72), QString());
            QVERIFY(QFile::exists(path));
        }
        QVERIFY(!QFile::exists(path));
        QVERIFY(EngineFixtures::temporaryPngs().isEmpty());
    }

    void resolutionAndPixels_data()
    {
        QTest::addColumn<qint64>("ppi");
        QTest::addColumn<double>("expectedPpi");
        QTest::newRow("72") << qint64(72) << 72.0;
        QTest::newRow("300") << qint64(300) << 300.0;
        QTest::newRow("zero is written as 72") << qint64(0) << 72.0;
        QTest::newRow("negative is written as 72") << qint64(-5) << 72.0;
    }

    void resolutionAndPixels()
    {
        QFETCH(qint64, ppi);
        QFETCH(double, expectedPpi);
        TemporaryPng png;
        VImage image = flat(5, 3, {10, 20, 30, 40}).copy();
        vips_image_set_blob_copy(image.get_image(), VIPS_META_ICC_NAME, "x", 1);
        QCOMPARE(png.write(image, ppi), QString());
        const VImage back = readBack(png.path());
        QCOMPARE(back.width(), 5);
        QCOMPARE(back.bands(), 4);
        QCOMPARE(back.getpoint(2, 2), (std::vector<double>{10, 20, 30, 40}));
        // The pixels-per-metre field holds whole numbers, so allow for its rounding.
        QVERIFY(std::abs(back.xres() * 25.4 - expectedPpi) < 0.05);
        QVERIFY(std::abs(back.yres() * 25.4 - expectedPpi) < 0.05);
        QCOMPARE(back.get_typeof(VIPS_META_ICC_NAME), GType(0));
        QFile file(png.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        for (const char *chunk : {"iCCP", "gAMA", "sRGB", "cHRM", "eXIf"})
            QVERIFY2(!bytes.contains(chunk), chunk);
        QVERIFY(bytes.contains("pHYs"));
    }

    void exifRefusesWhatIsNotWebp()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.webp"));
        const QByteArray notWebp("RIFF\x04\0\0\0WEBP", 12);
        EngineFixtures::writeBytes(path, notWebp);
        QVERIFY(!ExifResolution::addTo(path, 72));
        QVERIFY(ExifResolution::addTo(path, 0));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), notWebp);
    }
};

QTEST_GUILESS_MAIN(TestFileConverter)
#include "tst_fileconverter.moc"
