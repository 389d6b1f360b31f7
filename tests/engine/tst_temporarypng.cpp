#include "enginefixtures.h"
#include "exifresolution.h"
#include "temporarypng.h"
#include "vipsruntime.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using EngineFixtures::flat;
using EngineFixtures::readBack;
using vips::VImage;

class TestTemporaryPng : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

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

QTEST_GUILESS_MAIN(TestTemporaryPng)
#include "tst_temporarypng.moc"
