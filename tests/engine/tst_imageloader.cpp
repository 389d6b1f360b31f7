#include "enginefixtures.h"
#include "forgedimages.h"
#include "imageloader.h"
#include "vipsruntime.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using EngineFixtures::flat;
using EngineFixtures::noise;
using EngineFixtures::save;
using vips::VImage;

class TestImageLoader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

    void targetSize_data()
    {
        QTest::addColumn<int>("sourceWidth");
        QTest::addColumn<int>("sourceHeight");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("preserve");
        QTest::addColumn<int>("expectedWidth");
        QTest::addColumn<int>("expectedHeight");
        QTest::newRow("stretched, not letterboxed")
            << 400 << 300 << 192 << 108 << false << 192 << 108;
        QTest::newRow("enlarged") << 10 << 10 << 1920 << 1080 << false << 1920 << 1080;
        QTest::newRow("odd sizes") << 7 << 13 << 333 << 17 << false << 333 << 17;
        QTest::newRow("original ignores preset") << 37 << 21 << 0 << 0 << true << 37 << 21;
        QTest::newRow("original ignores a large preset")
            << 37 << 21 << 99999 << 99999 << true << 37 << 21;
    }

    void targetSize()
    {
        QFETCH(int, sourceWidth);
        QFETCH(int, sourceHeight);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, preserve);
        QFETCH(int, expectedWidth);
        QFETCH(int, expectedHeight);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("in.png"));
        save(noise(sourceWidth, sourceHeight), ".png", path);
        const ImageLoader::Result result = ImageLoader::load(path, width, height, preserve);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.width(), expectedWidth);
        QCOMPARE(result.image.height(), expectedHeight);
        QCOMPARE(result.image.format(), VIPS_FORMAT_UCHAR);
    }

    void formats_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<VImage>("image");
        QTest::addColumn<QByteArray>("suffix");
        QTest::addColumn<int>("bands");
        const VImage rgb = flat(16, 8, {200, 100, 50});
        const VImage rgba = flat(16, 8, {200, 100, 50, 128});
        QTest::newRow("png") << QStringLiteral("a.png") << rgb << QByteArray(".png") << 3;
        QTest::newRow("png with alpha")
            << QStringLiteral("a.png") << rgba << QByteArray(".png") << 4;
        QTest::newRow("jpeg") << QStringLiteral("a.jfif") << rgb << QByteArray(".jpg") << 3;
        QTest::newRow("tiff") << QStringLiteral("a.tif") << rgb << QByteArray(".tif") << 3;
        QTest::newRow("webp with alpha")
            << QStringLiteral("a.webp") << rgba << QByteArray(".webp") << 4;
        QTest::newRow("opaque gif") << QStringLiteral("a.gif") << rgb << QByteArray(".gif") << 3;
        QTest::newRow("gif with transparency")
            << QStringLiteral("a.gif") << flat(16, 8, {200, 100, 50, 0}).insert(rgba, 8, 0)
            << QByteArray(".gif") << 4;
        QTest::newRow("bmp") << QStringLiteral("a.bmp") << rgb << QByteArray(".bmp") << 3;
        QTest::newRow("avif") << QStringLiteral("a.avif") << rgb
                              << QByteArray(".avif[compression=av1]") << 3;
        QTest::newRow("heic named .jpg")
            << QStringLiteral("a.jpg") << rgb << QByteArray(".heic[compression=hevc]") << 3;
        QTest::newRow("grey becomes RGB")
            << QStringLiteral("a.png") << flat(16, 8, {90}) << QByteArray(".png") << 3;
        QTest::newRow("grey with alpha")
            << QStringLiteral("a.png") << flat(16, 8, {90, 20}) << QByteArray(".png") << 4;
        QTest::newRow("16-bit") << QStringLiteral("a.png")
                                << (flat(16, 8, {200, 100, 50}).cast(VIPS_FORMAT_USHORT) * 257)
                                       .cast(VIPS_FORMAT_USHORT)
                                       .copy(VImage::option()->set("interpretation",
                                                                   VIPS_INTERPRETATION_RGB16))
                                << QByteArray(".png") << 3;
    }

    void formats()
    {
        QFETCH(QString, name);
        QFETCH(VImage, image);
        QFETCH(QByteArray, suffix);
        QFETCH(int, bands);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        save(image, suffix.constData(), path);
        const ImageLoader::Result result = ImageLoader::load(path, 32, 16, false);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.bands(), bands);
        QCOMPARE(result.hasAlpha(), bands == 4);
        QCOMPARE(result.image.format(), VIPS_FORMAT_UCHAR);
        QCOMPARE(result.image.interpretation(), VIPS_INTERPRETATION_sRGB);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QString load = ImageLoader::loadFailedMessage();
        void *buffer = nullptr;
        size_t size = 0;
        noise(64, 64).write_to_buffer(".jpg", &buffer, &size);
        const QByteArray jpeg(static_cast<const char *>(buffer), qsizetype(size));
        g_free(buffer);
        QTest::newRow("truncated jpeg")
            << QStringLiteral("t.jpg") << jpeg.left(jpeg.size() / 2) << load;
        QTest::newRow("text named png") << QStringLiteral("t.png") << QByteArray("hello\n") << load;
        QTest::newRow("empty file") << QStringLiteral("e.png") << QByteArray() << load;
        QTest::newRow("svg named png")
            << QStringLiteral("s.png")
            << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" "
                          "height=\"10\"><rect width=\"10\" height=\"10\"/></svg>")
            << load;
        QTest::newRow("ppm named png")
            << QStringLiteral("p.png") << QByteArray("P6\n2 2\n255\n").append(12, '\x7f') << load;
        QTest::newRow("matrix text named tif")
            << QStringLiteral("m.tif") << QByteArray("2 2\n1 2\n3 4\n") << load;
        QTest::newRow("pdf named jpg")
            << QStringLiteral("d.jpg") << QByteArray("%PDF-1.4\n%%EOF\n") << load;
        QTest::newRow("header claims 50000 x 50000")
            << QStringLiteral("bomb.png") << ForgedImages::pngClaiming(50000, 50000)
            << ImageLoader::tooManyPixelsMessage();
        QTest::newRow("side over WebP's limit with original size")
            << QStringLiteral("wide.png") << ForgedImages::pngClaiming(20000, 10)
            << ImageLoader::sideTooLongMessage();
    }

    void refused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        EngineFixtures::writeBytes(path, content);
        const ImageLoader::Result result = ImageLoader::load(path, 0, 0, true);
        QCOMPARE(result.error, message);
        QVERIFY(!result.ok());
    }

    void presetOverWebpLimit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.png"));
        save(noise(8, 8), ".png", path);
        QCOMPARE(ImageLoader::load(path, 16384, 10, false).error,
                 ImageLoader::sideTooLongMessage());
        QCOMPARE(ImageLoader::load(path, 0, 10, false).error, ImageLoader::loadFailedMessage());
    }

    void notRegularFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("fifo") << QStringLiteral("fifo");
        QTest::newRow("link to /dev/zero") << QStringLiteral("device");
        QTest::newRow("dangling link") << QStringLiteral("dangling");
        QTest::newRow("missing") << QStringLiteral("missing");
    }

    void notRegularFiles()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.png"));
        if (kind == QStringLiteral("folder"))
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("x.png")));
        else if (kind == QStringLiteral("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == QStringLiteral("device"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        else if (kind == QStringLiteral("dangling"))
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone.png")), path));
        // Would block forever on the FIFO or read /dev/zero without end if it opened them.
        QCOMPARE(ImageLoader::load(path, 10, 10, false).error, ImageLoader::loadFailedMessage());
    }

    void orientation_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("1: as stored") << 1 << 60 << 20;
        QTest::newRow("3: upside down") << 3 << 60 << 20;
        QTest::newRow("6: portrait phone photo") << 6 << 20 << 60;
        QTest::newRow("8: turned the other way") << 8 << 20 << 60;
    }

    void orientation()
    {
        QFETCH(int, orientation);
        QFETCH(int, width);
        QFETCH(int, height);
        // Stored 60 × 20: white on the left third, black elsewhere.
        VImage stored = flat(60, 20, {0, 0, 0});
        stored = stored.insert(flat(20, 20, {255, 255, 255}), 0, 0);
        stored.set(VIPS_META_ORIENTATION, orientation);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("phone.jpg"));
        save(stored, ".jpg", path);
        const ImageLoader::Result result = ImageLoader::load(path, 0, 0, true);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.width(), width);
        QCOMPARE(result.image.height(), height);
        // Where the white third of the stored image ends up once upright.
        const std::map<int, std::pair<int, int>> whiteAt{
            {1, {5, 10}}, {3, {55, 10}}, {6, {10, 5}}, {8, {10, 55}}};
        const auto [x, y] = whiteAt.at(orientation);
        QVERIFY(result.image.getpoint(x, y)[0] > 200);
        QVERIFY(result.image.getpoint(width - 1 - x, height - 1 - y)[0] < 50);
    }

    void colours_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::newRow("untagged sRGB unchanged") << QByteArray();
        QTest::newRow("tagged sRGB") << QByteArray("srgb");
        QTest::newRow("Display P3 converted") << QByteArray("p3");
        QTest::newRow("CMYK converted") << QByteArray("cmyk");
    }

    void colours()
    {
        QFETCH(QByteArray, profile);
        const std::vector<double> colour{210, 60, 30};
        VImage image = flat(8, 8, colour);
        const char *suffix = ".png";
        if (!profile.isEmpty()) {
            image = image.icc_transform(profile.constData(),
                                        VImage::option()->set("input_profile", "srgb"));
            suffix = profile == "cmyk" ? ".jpg[Q=100]" : ".png";
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("c.img"));
        save(image, suffix, path);
        const ImageLoader::Result result = ImageLoader::load(path, 8, 8, false);
        QVERIFY2(result.ok(), qPrintable(result.error));
        const std::vector<double> pixel = result.image.getpoint(4, 4);
        const double tolerance = profile == "cmyk" ? 12 : 3;
        for (int band = 0; band < 3; ++band)
            QVERIFY2(std::abs(pixel[size_t(band)] - colour[size_t(band)]) <= tolerance,
                     qPrintable(QStringLiteral("band %1: %2").arg(band).arg(pixel[size_t(band)])));
    }

    void brokenProfileIsIgnored()
    {
        const VImage image = flat(8, 8, {210, 60, 30}).copy();
        vips_image_set_blob_copy(image.get_image(), VIPS_META_ICC_NAME, "not a profile at all", 20);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("b.png"));
        save(image, ".png", path);
        const ImageLoader::Result result = ImageLoader::load(path, 8, 8, false);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.getpoint(4, 4)[0], 210.0);
    }

    void alphaEdgesStayClean()
    {
        // Transparent black around an opaque white square: resizing must not darken the
        // white pixels next to the transparent ones.
        VImage image = flat(20, 20, {0, 0, 0, 0}).insert(flat(10, 20, {255, 255, 255, 255}), 10, 0);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("edge.png"));
        save(image, ".png", path);
        const ImageLoader::Result result = ImageLoader::load(path, 40, 40, false);
        QVERIFY2(result.ok(), qPrintable(result.error));
        for (int x = 18; x < 40; ++x) {
            const std::vector<double> pixel = result.image.getpoint(x, 20);
            if (pixel[3] > 0)
                QVERIFY2(pixel[0] >= 250, qPrintable(QString::number(x)));
        }
    }
};

QTEST_GUILESS_MAIN(TestImageLoader)
#include "tst_imageloader.moc"
