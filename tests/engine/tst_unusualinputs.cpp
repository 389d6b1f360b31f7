#include "enginefixtures.h"
#include "fileconverter.h"
#include "forgedimages.h"
#include "imageloader.h"
#include "vipsruntime.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <lcms2.h>

using EngineFixtures::flat;
using EngineFixtures::noise;
using ForgedImages::encode;
using vips::VImage;

namespace {

using Pixel = std::vector<double>;

/// An RGB matrix-shaper profile with the given white point, primaries and plain gamma.
QByteArray rgbProfile(cmsCIExyY white, cmsCIExyYTRIPLE primaries, double gamma)
{
    cmsToneCurve *curve = cmsBuildGamma(nullptr, gamma);
    cmsToneCurve *curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    cmsFreeToneCurve(curve);
    return bytes;
}

QByteArray adobeRgb()
{
    return rgbProfile({0.3127, 0.3290, 1.0},
                      {{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}}, 563.0 / 256.0);
}

QByteArray proPhoto()
{
    return rgbProfile({0.3457, 0.3585, 1.0},
                      {{0.7347, 0.2653, 1.0}, {0.1596, 0.8404, 1.0}, {0.0366, 0.0001, 1.0}}, 1.8);
}

bool near(const Pixel &actual, const Pixel &expected, double tolerance)
{
    for (size_t band = 0; band < expected.size(); ++band) {
        if (std::abs(actual[band] - expected[band]) > tolerance)
            return false;
    }
    return true;
}

QString describe(const Pixel &pixel)
{
    QStringList values;
    for (const double value : pixel)
        values << QString::number(value);
    return values.join(QLatin1Char(','));
}

/// Two frames stacked as pages: red on top, blue below.
VImage twoFrames(int bands)
{
    const Pixel red = bands == 4 ? Pixel{255, 0, 0, 255} : Pixel{255, 0, 0};
    const Pixel blue = bands == 4 ? Pixel{0, 0, 255, 255} : Pixel{0, 0, 255};
    VImage frames = flat(16, 16, red).join(flat(16, 16, blue), VIPS_DIRECTION_VERTICAL);
    frames = frames.copy();
    frames.set("page-height", 16);
    return frames;
}

} // namespace

/// Inputs that are unusual but valid: each converts, upright, in sRGB, from its first frame.
class TestUnusualInputs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    ImageLoader::Result load(const QByteArray &bytes, qint64 width = 0, qint64 height = 0)
    {
        const QString path = m_dir.filePath(QStringLiteral("input.img"));
        EngineFixtures::writeBytes(path, bytes);
        return ImageLoader::load(path, width, height, width == 0);
    }

    QString profileFile(const QByteArray &profile)
    {
        const QString path = m_dir.filePath(QStringLiteral("profile.icc"));
        EngineFixtures::writeBytes(path, profile);
        return path;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

    void formats_data()
    {
        QTest::addColumn<VImage>("image");
        QTest::addColumn<QByteArray>("suffix");
        QTest::addColumn<int>("bands");
        const VImage rgb = flat(16, 8, {200, 100, 50});
        const VImage rgba = flat(16, 8, {200, 100, 50, 128});
        QTest::newRow("png") << rgb << QByteArray(".png") << 3;
        QTest::newRow("png with alpha") << rgba << QByteArray(".png") << 4;
        QTest::newRow("jpeg") << rgb << QByteArray(".jpg") << 3;
        QTest::newRow("tiff") << rgb << QByteArray(".tif") << 3;
        QTest::newRow("webp with alpha") << rgba << QByteArray(".webp") << 4;
        QTest::newRow("opaque gif") << rgb << QByteArray(".gif") << 3;
        QTest::newRow("gif with transparency")
            << flat(16, 8, {200, 100, 50, 0}).insert(rgba, 8, 0) << QByteArray(".gif") << 4;
        QTest::newRow("bmp") << rgb << QByteArray(".bmp") << 3;
        QTest::newRow("avif") << rgb << QByteArray(".avif[compression=av1]") << 3;
        QTest::newRow("heic") << rgb << QByteArray(".heic[compression=hevc]") << 3;
        QTest::newRow("grey becomes RGB") << flat(16, 8, {90}) << QByteArray(".png") << 3;
        QTest::newRow("grey with alpha") << flat(16, 8, {90, 20}) << QByteArray(".png") << 4;
    }

    void formats()
    {
        QFETCH(VImage, image);
        QFETCH(QByteArray, suffix);
        QFETCH(int, bands);
        const ImageLoader::Result result = load(encode(image, suffix.constData()), 32, 16);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.bands(), bands);
        QCOMPARE(result.hasAlpha(), bands == 4);
        QCOMPARE(result.image.format(), VIPS_FORMAT_UCHAR);
        QCOMPARE(result.image.interpretation(), VIPS_INTERPRETATION_sRGB);
    }

    void refusedSizes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("preset");
        QTest::addColumn<QString>("message");
        const QByteArray small = encode(noise(8, 8), ".png");
        QTest::newRow("header claims 50000 x 50000")
            << ForgedImages::pngClaiming(50000, 50000) << QSize()
            << ImageLoader::tooManyPixelsMessage();
        QTest::newRow("side over WebP's limit with original size")
            << ForgedImages::pngClaiming(20000, 10) << QSize() << ImageLoader::sideTooLongMessage();
        QTest::newRow("preset over WebP's limit")
            << small << QSize(16384, 10) << ImageLoader::sideTooLongMessage();
        QTest::newRow("preset side zero")
            << small << QSize(0, 10) << ImageLoader::loadFailedMessage();
    }

    void refusedSizes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, preset);
        QFETCH(QString, message);
        const QString path = m_dir.filePath(QStringLiteral("input.img"));
        EngineFixtures::writeBytes(path, bytes);
        const ImageLoader::Result result = ImageLoader::load(
            path, qMax(0, preset.width()), qMax(0, preset.height()), !preset.isValid());
        QCOMPARE(result.error, message);
        QVERIFY(!result.ok());
    }

    void brokenProfileIsIgnored()
    {
        const VImage image = flat(8, 8, {210, 60, 30}).copy();
        vips_image_set_blob_copy(image.get_image(), VIPS_META_ICC_NAME, "not a profile at all", 20);
        const ImageLoader::Result result = load(encode(image, ".png"), 8, 8);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.getpoint(4, 4)[0], 210.0);
    }

    void alphaEdgesStayClean()
    {
        // Transparent black around an opaque white square: resizing must not darken the
        // white pixels next to the transparent ones.
        const VImage image =
            flat(20, 20, {0, 0, 0, 0}).insert(flat(10, 20, {255, 255, 255, 255}), 10, 0);
        const ImageLoader::Result result = load(encode(image, ".png"), 40, 40);
        QVERIFY2(result.ok(), qPrintable(result.error));
        for (int x = 18; x < 40; ++x) {
            const std::vector<double> pixel = result.image.getpoint(x, 20);
            if (pixel[3] > 0)
                QVERIFY2(pixel[0] >= 250, qPrintable(QString::number(x)));
        }
    }

    /// Stored 60 × 20 with a white block in the top-left sixth; turned upright, then stretched
    /// to a square. Where the block lands tells the eight orientations apart.
    void orientations_data()
    {
        QTest::addColumn<QByteArray>("suffix");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QPointF>("white");
        const std::map<int, QPointF> whiteAt{{1, {1 / 6., 1 / 4.}}, {2, {5 / 6., 1 / 4.}},
                                             {3, {5 / 6., 3 / 4.}}, {4, {1 / 6., 3 / 4.}},
                                             {5, {1 / 4., 1 / 6.}}, {6, {3 / 4., 1 / 6.}},
                                             {7, {3 / 4., 5 / 6.}}, {8, {1 / 4., 5 / 6.}}};
        for (const auto &[orientation, white] : whiteAt)
            QTest::addRow("jpeg %d", orientation)
                << QByteArray(".jpg[Q=95]") << orientation << white;
        QTest::newRow("tiff 6") << QByteArray(".tif") << 6 << whiteAt.at(6);
    }

    void orientations()
    {
        QFETCH(QByteArray, suffix);
        QFETCH(int, orientation);
        QFETCH(QPointF, white);
        VImage stored = flat(60, 20, {0, 0, 0}).insert(flat(20, 10, {255, 255, 255}), 0, 0);
        stored.set(VIPS_META_ORIENTATION, orientation);
        const ImageLoader::Result result = load(encode(stored, suffix.constData()), 60, 60);
        QVERIFY2(result.ok(), qPrintable(result.error));
        const auto at = [&](QPointF point) {
            return result.image.getpoint(int(point.x() * 60), int(point.y() * 60))[0];
        };
        QVERIFY2(at(white) > 200, qPrintable(QString::number(at(white))));
        QVERIFY2(at(QPointF(1, 1) - white) < 50,
                 qPrintable(QString::number(at(QPointF(1, 1) - white))));
        // The upright size before the stretch.
        const ImageLoader::Result own = load(encode(stored, suffix.constData()));
        QCOMPARE(own.image.width(), orientation >= 5 ? 20 : 60);
    }

    void colourSpaces_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<QByteArray>("suffix");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("tagged sRGB") << QByteArray("srgb") << QByteArray(".png") << 3.0;
        QTest::newRow("Adobe RGB") << adobeRgb() << QByteArray(".png") << 3.0;
        QTest::newRow("Display P3") << QByteArray("p3") << QByteArray(".png") << 3.0;
        QTest::newRow("ProPhoto, 16 bits") << proPhoto() << QByteArray(".png") << 3.0;
        QTest::newRow("ProPhoto in a TIFF") << proPhoto() << QByteArray(".tif") << 4.0;
        QTest::newRow("CMYK JPEG") << QByteArray("cmyk") << QByteArray(".jpg[Q=100]") << 12.0;
        QTest::newRow("CMYK TIFF") << QByteArray("cmyk") << QByteArray(".tif") << 12.0;
        QTest::newRow("CMYK JPEG without a profile")
            << QByteArray("cmyk untagged") << QByteArray(".jpg[Q=100]") << 12.0;
        QTest::newRow("CMYK TIFF without a profile")
            << QByteArray("cmyk untagged") << QByteArray(".tif") << 12.0;
    }

    void colourSpaces()
    {
        QFETCH(QByteArray, profile);
        QFETCH(QByteArray, suffix);
        QFETCH(double, tolerance);
        const Pixel colour{210, 60, 30};
        const bool builtIn = profile == "srgb" || profile == "p3" || profile.startsWith("cmyk");
        const QByteArray target =
            builtIn ? profile.left(profile.indexOf(' ') < 0 ? profile.size() : profile.indexOf(' '))
                    : QFile::encodeName(profileFile(profile));
        auto options = VImage::option()->set("input_profile", "srgb");
        if (QTest::currentDataTag() == QByteArray("ProPhoto, 16 bits"))
            options->set("depth", 16);
        VImage image = flat(8, 8, colour).icc_transform(target.constData(), options);
        if (profile.endsWith("untagged")) {
            image = image.copy();
            image.remove(VIPS_META_ICC_NAME);
        }
        const ImageLoader::Result result = load(encode(image, suffix.constData()), 8, 8);
        QVERIFY2(result.ok(), qPrintable(result.error));
        const Pixel pixel = result.image.getpoint(4, 4);
        QVERIFY2(near(pixel, colour, tolerance), qPrintable(describe(pixel)));
    }

    void depths_data()
    {
        QTest::addColumn<VImage>("image");
        QTest::addColumn<QByteArray>("suffix");
        QTest::addColumn<double>("tolerance");
        const VImage rgb16 =
            (flat(8, 8, {200, 100, 50}).cast(VIPS_FORMAT_USHORT) * 257)
                .cast(VIPS_FORMAT_USHORT)
                .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_RGB16));
        QTest::newRow("16-bit PNG") << rgb16 << QByteArray(".png") << 0.0;
        QTest::newRow("16-bit TIFF") << rgb16 << QByteArray(".tif") << 0.0;
        QTest::newRow("10-bit HEIC")
            << rgb16 << QByteArray(".heic[compression=hevc,bitdepth=10,Q=95]") << 6.0;
        QTest::newRow("12-bit HEIC")
            << rgb16 << QByteArray(".heic[compression=hevc,bitdepth=12,Q=95]") << 6.0;
        // No 10- or 12-bit AVIF: the AV1 encoder here aborts (an assertion) writing them.
    }

    void depths()
    {
        QFETCH(VImage, image);
        QFETCH(QByteArray, suffix);
        QFETCH(double, tolerance);
        QByteArray bytes;
        try {
            bytes = encode(image, suffix.constData());
        } catch (const vips::VError &error) {
            QSKIP(qPrintable(QStringLiteral("this libheif cannot write it: ") +
                             QString::fromUtf8(error.what()).trimmed()));
        }
        const ImageLoader::Result result = load(bytes, 8, 8);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.format(), VIPS_FORMAT_UCHAR);
        const Pixel pixel = result.image.getpoint(4, 4);
        QVERIFY2(near(pixel, {200, 100, 50}, tolerance), qPrintable(describe(pixel)));
    }

    void oneBit_data()
    {
        QTest::addColumn<QByteArray>("suffix");
        QTest::newRow("PNG") << QByteArray(".png[bitdepth=1]");
        QTest::newRow("TIFF") << QByteArray(".tif[bitdepth=1]");
    }

    void oneBit()
    {
        QFETCH(QByteArray, suffix);
        const VImage image = flat(16, 8, {0}).insert(flat(8, 8, {255}), 8, 0);
        const ImageLoader::Result result = load(encode(image, suffix.constData()), 16, 8);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.bands(), 3);
        QCOMPARE(result.image.getpoint(2, 4), (Pixel{0, 0, 0}));
        QCOMPARE(result.image.getpoint(12, 4), (Pixel{255, 255, 255}));
    }

    /// Left half fully transparent, right half opaque.
    void transparency_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const VImage rgba =
            flat(16, 8, {10, 20, 30, 0}).insert(flat(8, 8, {200, 100, 50, 255}), 8, 0);
        const VImage greyAlpha = flat(16, 8, {10, 0}).insert(flat(8, 8, {200, 255}), 8, 0);
        const VImage keyed = flat(16, 8, {10, 20, 30}).insert(flat(8, 8, {200, 100, 50}), 8, 0);
        const VImage greyKeyed = flat(16, 8, {10}).insert(flat(8, 8, {200}), 8, 0);
        QTest::newRow("grey and alpha PNG") << encode(greyAlpha, ".png");
        QTest::newRow("palette PNG with tRNS") << encode(rgba, ".png[palette=true]");
        QTest::newRow("colour key") << ForgedImages::withChunkAfterHeader(
            encode(keyed, ".png"), "tRNS", QByteArray("\0\x0A\0\x14\0\x1E", 6));
        QTest::newRow("grey key") << ForgedImages::withChunkAfterHeader(
            encode(greyKeyed, ".png"), "tRNS", QByteArray("\0\x0A", 2));
        QTest::newRow("HEIC") << encode(rgba, ".heic[compression=hevc,lossless=true]");
        QTest::newRow("AVIF") << encode(rgba, ".avif[compression=av1,lossless=true]");
        QTest::newRow("WebP") << encode(rgba, ".webp[lossless=true]");
        QTest::newRow("TIFF") << encode(rgba, ".tif");
        QTest::newRow("GIF") << encode(rgba, ".gif");
    }

    void transparency()
    {
        QFETCH(QByteArray, bytes);
        const ImageLoader::Result result = load(bytes);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QVERIFY(result.hasAlpha());
        QCOMPARE(result.image.getpoint(2, 4)[3], 0.0);
        QCOMPARE(result.image.getpoint(12, 4)[3], 255.0);
        QVERIFY2(result.image.getpoint(12, 4)[0] > 190,
                 qPrintable(describe(result.image.getpoint(12, 4))));
    }

    void firstFrame_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("animated GIF") << encode(twoFrames(3), ".gif");
        QTest::newRow("animated WebP") << encode(twoFrames(3), ".webp[lossless=true]");
        QTest::newRow("multi-page TIFF") << encode(twoFrames(3), ".tif");
        QTest::newRow("animated PNG") << ForgedImages::animatedPng(
            encode(flat(16, 16, {255, 0, 0}), ".png"), encode(flat(16, 16, {0, 0, 255}), ".png"));
    }

    void firstFrame()
    {
        QFETCH(QByteArray, bytes);
        const ImageLoader::Result result = load(bytes);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.width(), 16);
        QCOMPARE(result.image.height(), 16);
        QVERIFY2(near(result.image.getpoint(8, 8), {255, 0, 0}, 2),
                 qPrintable(describe(result.image.getpoint(8, 8))));
    }

    void onePixel()
    {
        const ImageLoader::Result result = load(encode(flat(1, 1, {9, 8, 7}), ".png"));
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.width(), 1);
        QCOMPARE(result.image.getpoint(0, 0), (Pixel{9, 8, 7}));
    }

    /// WebP's limit, end to end with the real encoder.
    void widestImages_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QSize>("preset");
        QTest::addColumn<QSize>("output");
        QTest::newRow("16383 wide at its own size") << 16383 << QSize() << QSize(16383, 4);
        QTest::newRow("16384 wide at its own size") << 16384 << QSize() << QSize();
        QTest::newRow("16384 wide with a smaller preset")
            << 16384 << QSize(1920, 1080) << QSize(1920, 1080);
    }

    void widestImages()
    {
        QFETCH(int, width);
        QFETCH(QSize, preset);
        QFETCH(QSize, output);
        QTemporaryDir out;
        const QString input = m_dir.filePath(QStringLiteral("wide.png"));
        EngineFixtures::save(flat(width, 4, {90, 120, 150}), ".png", input);
        ConversionJob job;
        job.encoderPath = EngineFixtures::realEncoder;
        job.preserveOriginal = preset.isEmpty();
        job.width = preset.width();
        job.height = preset.height();
        job.sizeLimitEnabled = false;
        job.outputFolder = out.path();
        const RunFlags flags;
        const ConversionStatus status =
            FileConverter::convert(QUrl::fromLocalFile(input), job, flags);
        if (output.isEmpty()) {
            QCOMPARE(status, ConversionStatus::error(ImageLoader::sideTooLongMessage()));
            QVERIFY(status.message().contains(QStringLiteral("16383")));
            QCOMPARE(EngineFixtures::entries(out.path()), QStringList());
            return;
        }
        QCOMPARE(status.kind(), ConversionStatus::Kind::done);
        const VImage written = EngineFixtures::readBack(status.outputPath());
        QCOMPARE(QSize(written.width(), written.height()), output);
    }
};

QTEST_GUILESS_MAIN(TestUnusualInputs)
#include "tst_unusualinputs.moc"
