#include "enginefixtures.h"
#include "forgedimages.h"
#include "imageloader.h"
#include "jpegscans.h"
#include "testsupport.h"
#include "vipsruntime.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

using namespace Qt::StringLiterals;

using EngineFixtures::encode;
using EngineFixtures::flat;
using EngineFixtures::noise;
using vips::VImage;

/// What the loader makes of odd and hostile inputs: the refusals decided by Tessel's own checks
/// (signature, checksums, scan count, pixel and side limits) and the redraw into upright 8-bit
/// sRGB with alpha only where the input can be transparent.
class TestHostileInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

    void load_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("preset"); // invalid: the image's own size
        // "W×H bands", or the error message, followed by ": reason" where the reason is Tessel's
        QTest::addColumn<QString>("expected");

        const QString failed = ImageLoader::loadFailedMessage();
        const QByteArray jpeg = encode(noise(40, 30), ".jpg");
        QByteArray badCrc = encode(noise(8, 8), ".png");
        badCrc[badCrc.size() - 1] = char(badCrc.back() ^ 1);
        const auto oriented = [](int orientation) {
            VImage image = noise(30, 20).copy();
            image.set(VIPS_META_ORIENTATION, orientation);
            return encode(image, ".jpg");
        };

        const QString unknown = failed + u": not an image format that can be converted"_s;
        const QString damaged = failed + u": a PNG chunk is cut short or damaged"_s;
        QTest::newRow("folder") << QByteArray() << QSize() << failed + u": not a regular file"_s;
        QTest::newRow("text") << QByteArray("not an image at all") << QSize() << unknown;
        QTest::newRow("RIFF, not WebP")
            << QByteArray("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0", 20) << QSize() << unknown;
        QTest::newRow("PNG chunk checksum") << badCrc << QSize() << damaged;
        QTest::newRow("GIF signature alone") << QByteArray("GIF89a") << QSize() << failed;
        QTest::newRow("cut PNG") << badCrc.left(badCrc.size() / 2) << QSize() << damaged;
        QTest::newRow("PNG without its end chunk") << badCrc.chopped(12) << QSize() << damaged;
        QTest::newRow("cut JPEG") << jpeg.left(jpeg.size() / 2) << QSize(20, 15) << failed;
        // At the cap the file goes on to the decoder, whose verdict on its repeated scans is its
        // own.
        QTest::newRow("200 scans") << ForgedImages::jpegWithScans(200) << QSize() << QString();
        QTest::newRow("201 scans")
            << ForgedImages::jpegWithScans(201) << QSize() << ImageLoader::tooManyScansMessage();
        QTest::newRow("over 16383 squared") << ForgedImages::pngClaiming(16384, 16384)
                                            << QSize(8, 8) << ImageLoader::tooManyPixelsMessage();
        QTest::newRow("16383 squared at original size")
            << ForgedImages::losslessWebp(16383, 16383) << QSize()
            << ImageLoader::tooLargeForOriginalMessage();
        QTest::newRow("side over 16383 at original size")
            << ForgedImages::pngClaiming(16384, 2) << QSize() << ImageLoader::sideTooLongMessage();
        QTest::newRow("preset side over 16383")
            << jpeg << QSize(16384, 8) << ImageLoader::sideTooLongMessage();
        QTest::newRow("no width") << jpeg << QSize(0, 8) << ImageLoader::sideTooShortMessage();
        QTest::newRow("no height") << jpeg << QSize(8, 0) << ImageLoader::sideTooShortMessage();
        QTest::newRow("widest preset") << jpeg << QSize(16383, 2) << u"16383x2 3"_s;
        QTest::newRow("tallest preset") << jpeg << QSize(2, 16383) << u"2x16383 3"_s;
        QTest::newRow("stretched") << jpeg << QSize(64, 16) << u"64x16 3"_s;
        QTest::newRow("turned over, sides kept") << oriented(4) << QSize() << u"30x20 3"_s;
        QTest::newRow("first turn that swaps sides") << oriented(5) << QSize() << u"20x30 3"_s;
        QTest::newRow("last turn that swaps sides") << oriented(8) << QSize() << u"20x30 3"_s;
        QTest::newRow("transparent PNG")
            << encode(flat(8, 8, {9, 9, 9, 128}), ".png") << QSize(4, 4) << u"4x4 4"_s;
        QTest::newRow("transparent GIF")
            << encode(flat(8, 8, {9, 9, 9, 0}), ".gif") << QSize() << u"8x8 4"_s;
    }

    void load()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, preset);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QString path = dir.path(); // no bytes: the folder itself
        if (!bytes.isEmpty())
            EngineFixtures::writeBytes(path = dir.filePath(u"input"_s), bytes);
        const auto result = ImageLoader::load(QFile::encodeName(path), preset.width(),
                                              preset.height(), !preset.isValid());
        if (expected.isEmpty()) {
            QVERIFY2(result.error != ImageLoader::tooManyScansMessage(), "refused at the cap");
            return;
        }
        if (!result.ok()) {
            // A reason of Tessel's own is compared too; the decoder's words vary by build.
            const QString reported = result.error + u": "_s + result.detail;
            QVERIFY2((expected.contains(u": "_s) ? reported : result.error) == expected,
                     qPrintable(reported));
            // Tessel's own refusals need no reason; a file that does not load carries one, the
            // decoder's where none of Tessel's is expected.
            QCOMPARE(result.detail.isEmpty(),
                     !expected.startsWith(ImageLoader::loadFailedMessage()));
            QVERIFY(expected != ImageLoader::loadFailedMessage() ||
                    !result.detail.startsWith(u"not "_s));
            return;
        }
        const VImage &image = result.image;
        QCOMPARE(EngineFixtures::shape(image), expected);
        QCOMPARE(image.format(), VIPS_FORMAT_UCHAR);
    }

    void scanCount_data() { addRowsFrom("jpeg-scans.txt", {"bytes", "counted"}); }

    void scanCount()
    {
        const auto [bytes, counted] = fields("bytes", "counted");
        QTemporaryFile file;
        QVERIFY(file.open());
        QVERIFY(file.write(QByteArray::fromHex(bytes.toLatin1())) > 0 && file.flush());
        QCOMPARE(JpegScans::count(int(file.handle())), counted.toInt());
    }
};

QTEST_GUILESS_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
