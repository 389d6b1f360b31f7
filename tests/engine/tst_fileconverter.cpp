#include "enginefixtures.h"
#include "fileconverter.h"
#include "vipsruntime.h"
#include "webpfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using namespace Qt::StringLiterals;
using EngineFixtures::entries;
using EngineFixtures::flat;
using EngineFixtures::job;
using EngineFixtures::noise;
using EngineFixtures::save;
using EngineFixtures::script;
using vips::VImage;

namespace {

/// A stand-in that logs each run's arguments as a line of `folder`/runs, runs `before`, then
/// the real encoder with `extraOnFirstRun` added to the first run only.
QString loggingEncoder(const QString &folder, const QString &extraOnFirstRun = {},
                       const QString &before = {})
{
    return script(folder, u"logging-cwebp"_s, uR"sh(cd '%1'; echo "$*" >> runs; %4
if [ "$(wc -l < runs)" -eq 1 ]; then exec %2 "$@" %3; fi
exec %2 "$@")sh"_s.arg(folder, EngineFixtures::realEncoder, extraOnFirstRun, before));
}

QStringList runs(const QString &folder)
{
    QFile file(folder + u"/runs"_s);
    return file.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
               : QStringList();
}

/// A grey image whose alpha plane is noise in stripes: the colour data is tiny, the alpha plane
/// large.
VImage alphaStripes(int side)
{
    const VImage stripes = (VImage::xyz(side, side)[0] & 8) * 31;
    return flat(side, side, {128, 128, 128})
        .bandjoin((noise(side, side)[0] & stripes).cast(VIPS_FORMAT_UCHAR));
}

} // namespace

/// One file end to end with the real encoder, and the failures only a stand-in can produce.
class TestFileConverter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

    void cleanup() { QCOMPARE(EngineFixtures::temporaryPngs(), QStringList()); }

    void outputs_data()
    {
        QTest::addColumn<VImage>("image");
        QTest::addColumn<QSize>("preset");     // empty: the image's own size
        QTest::addColumn<QString>("expected"); // "W×H bands"
        QTest::newRow("stretched") << noise(400, 300) << QSize(192, 108) << u"192x108 3"_s;
        QTest::newRow("original") << noise(37, 21) << QSize() << u"37x21 3"_s;
        QTest::newRow("alpha kept") << flat(16, 16, {9, 9, 9, 128}) << QSize() << u"16x16 4"_s;
    }

    void outputs()
    {
        QFETCH(VImage, image);
        QFETCH(QSize, preset);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        save(image, ".png", dir.filePath(u"a.png"_s));
        ConversionJob values = job(dir.path());
        values.preserveOriginal = preset.isEmpty();
        values.width = preset.width();
        values.height = preset.height();
        values.ppi = 300;
        const ConversionStatus status = EngineFixtures::convert(dir.filePath(u"a.png"_s), values);
        QCOMPARE(status.kind(), ConversionStatus::Kind::done);
        QCOMPARE(status.outputPath(), dir.filePath(u"a.webp"_s));
        QCOMPARE(status.fileSize(), QFileInfo(status.outputPath()).size());
        const VImage out = EngineFixtures::readBack(status.outputPath());
        QCOMPARE(u"%1x%2 %3"_s.arg(out.width()).arg(out.height()).arg(out.bands()), expected);
        QVERIFY(QByteArray(out.get_string("exif-ifd0-XResolution")).startsWith("300/1 "));
    }

    void encoderFailures_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("detail");
        QTest::newRow("exit 1 after a partial write")
            << u"head -c 100 /dev/zero > \"$3\"; echo bad >&2; exit 1"_s << u"cwebp [1]: bad"_s
            << u"bad"_s;
        QTest::newRow("exit 0, no output")
            << u"exit 0"_s << u"Output file not found"_s << QString();
        QTest::newRow("exit 0, garbage") << u"head -c 5000 /dev/urandom > \"$3\""_s
                                         << u"cwebp wrote an invalid file"_s << QString();
        QTest::newRow("exit 0, cut WebP")
            << u"%1 \"$@\" && head -c 60 \"$3\" > cut && cat cut > \"$3\""_s.arg(
                   EngineFixtures::realEncoder)
            << u"cwebp wrote an invalid file"_s << QString();
    }

    void encoderFailures()
    {
        QFETCH(QString, body);
        QFETCH(QString, message);
        QFETCH(QString, detail);
        QTemporaryDir tools;
        QTemporaryDir dir;
        save(noise(64, 64), ".png", tools.filePath(u"a.png"_s));
        const QString encoder =
            script(tools.path(), u"enc"_s, u"cd '%1'\n"_s.arg(tools.path()) + body);
        const ConversionStatus status =
            EngineFixtures::convert(tools.filePath(u"a.png"_s), job(dir.path(), encoder));
        QCOMPARE(status.message(), message);
        QCOMPARE(status.detail(), detail);
        QCOMPARE(entries(dir.path()), QStringList());
    }

    void sizeLimit_data()
    {
        QTest::addColumn<VImage>("image");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QString>("firstRunExtra");
        QTest::addColumn<QStringList>("alphaQualities"); // one per encode, "" when opaque
        QTest::addColumn<bool>("fits");
        QTest::newRow("met at once")
            << noise(64, 64) << qint64(300 * 1024) << QString() << QStringList{QString()} << true;
        QTest::newRow("first encode overshoots")
            << noise(320, 240) << qint64(20 * 1024) << u"-size 100000000"_s
            << QStringList{QString(), QString()} << true;
        QTest::newRow("alpha plane keeps it over")
            << alphaStripes(256) << qint64(12 * 1024) << QString()
            << QStringList{u"85"_s, u"50"_s, u"0"_s} << true;
        QTest::newRow("unreachable") << noise(256, 256) << qint64(1024) << QString()
                                     << QStringList{QString(), QString(), QString()} << false;
    }

    void sizeLimit()
    {
        QFETCH(VImage, image);
        QFETCH(qint64, limit);
        QFETCH(QString, firstRunExtra);
        QFETCH(QStringList, alphaQualities);
        QFETCH(bool, fits);
        QTemporaryDir tools;
        QTemporaryDir dir;
        save(image, ".png", tools.filePath(u"a.png"_s));
        ConversionJob values = job(dir.path(), loggingEncoder(tools.path(), firstRunExtra));
        values.sizeLimitEnabled = true;
        values.sizeLimitBytes = limit;
        const ConversionStatus status = EngineFixtures::convert(tools.filePath(u"a.png"_s), values);
        const QStringList log = runs(tools.path());
        QStringList alpha;
        for (const QString &run : log)
            alpha << run.section(u" -alpha_q "_s, 1, 1);
        QCOMPARE(alpha, alphaQualities);
        QVERIFY(log.first().contains(u" -size %1 "_s.arg(limit)));
        if (fits) {
            QCOMPARE(status.kind(), ConversionStatus::Kind::done);
            QVERIFY(status.fileSize() <= limit);
            QCOMPARE(entries(dir.path()), QStringList{u"a.webp"_s});
        } else {
            const QRegularExpression message(
                u"^Over the %1 KB limit \\(smallest: [0-9]+\\.[0-9] KB\\)$"_s.arg(limit / 1024));
            QVERIFY2(message.match(status.message()).hasMatch(), qPrintable(status.message()));
            QCOMPARE(entries(dir.path()), QStringList());
        }
    }

    void stopAndQuit_data()
    {
        QTest::addColumn<bool>("quit"); // else Stop
        QTest::addColumn<int>("encodes");
        QTest::newRow("Stop: no retry") << false << 1;
        QTest::newRow("quit: the encoder is killed") << true << 1;
    }

    void stopAndQuit()
    {
        QFETCH(bool, quit);
        QFETCH(int, encodes);
        QTemporaryDir tools;
        QTemporaryDir dir;
        save(noise(320, 240), ".png", tools.filePath(u"a.png"_s));
        // The first encode waits for the test's Stop or quit, then overshoots the limit.
        const QString encoder =
            loggingEncoder(tools.path(), u"-size 100000000"_s,
                           u"touch started; while [ ! -e go ]; do sleep 0.05; done"_s);
        ConversionJob values = job(dir.path(), encoder);
        values.sizeLimitEnabled = true;
        values.sizeLimitBytes = 20 * 1024;
        RunFlags flags;
        ConversionStatus status;
        std::thread worker([&] {
            status = FileConverter::convert(QFile::encodeName(tools.filePath(u"a.png"_s)), values,
                                            flags);
        });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(tools.filePath(u"started"_s)), 60000);
        (quit ? flags.aborted : flags.cancelled) = true;
        if (!quit)
            EngineFixtures::writeBytes(tools.filePath(u"go"_s), {});
        worker.join();
        QCOMPARE(status, ConversionStatus::cancelled());
        QCOMPARE(runs(tools.path()).size(), encodes);
        QCOMPARE(entries(dir.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestFileConverter)
#include "tst_fileconverter.moc"
