#include "enginefixtures.h"

#include "fileconverter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;
using vips::VImage;

namespace EngineFixtures {

VImage noise(int width, int height, int seed)
{
    std::vector<VImage> bands;
    for (int i = 0; i < 3; ++i)
        bands.push_back(VImage::gaussnoise(
            width, height,
            VImage::option()->set("mean", 128.0)->set("sigma", 60.0)->set("seed", seed * 3 + i)));
    return VImage::bandjoin(bands)
        .cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

VImage flat(int width, int height, const std::vector<double> &values, VipsInterpretation space)
{
    const VImage black =
        VImage::black(width, height, VImage::option()->set("bands", int(values.size())));
    if (space == VIPS_INTERPRETATION_ERROR)
        space = values.size() >= 3 ? VIPS_INTERPRETATION_sRGB : VIPS_INTERPRETATION_B_W;
    return (black + values)
        .cast(space == VIPS_INTERPRETATION_GREY16 || space == VIPS_INTERPRETATION_RGB16
                  ? VIPS_FORMAT_USHORT
                  : VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", space));
}

std::vector<double> numbers(const QString &text)
{
    std::vector<double> values;
    for (const QString &field : text.split(u' ', Qt::SkipEmptyParts))
        values.push_back(field.toDouble());
    return values;
}

QByteArray encode(const VImage &image, const char *suffix)
{
    void *buffer = nullptr;
    size_t size = 0;
    image.write_to_buffer(suffix, &buffer, &size);
    QByteArray bytes(static_cast<const char *>(buffer), qsizetype(size));
    g_free(buffer);
    return bytes;
}

void save(const VImage &image, const char *suffix, const QString &path)
{
    writeBytes(path, encode(image, suffix));
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString shape(const VImage &image)
{
    return QStringLiteral("%1x%2 %3").arg(image.width()).arg(image.height()).arg(image.bands());
}

QString exifPpi(const VImage &image)
{
    const char *field = "exif-ifd0-XResolution";
    return image.get_typeof(field) == 0
               ? QStringLiteral("none")
               : QString::fromUtf8(image.get_string(field)).section(u'/', 0, 0);
}

VImage readBack(const QString &path)
{
    return VImage::new_from_file(QFile::encodeName(path).constData()).copy_memory();
}

QStringList leftovers()
{
    const QString temp = QDir::tempPath();
    QStringList found =
        QDir(temp).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : descriptors.entryList(QDir::Files | QDir::System)) {
        const QString target = QFile::symLinkTarget(descriptors.filePath(fd));
        if (target.endsWith(QLatin1String(" (deleted)")) ||
            (target.startsWith(temp + QLatin1Char('/')) && !QFileInfo(target).isDir()))
            found << u"open: "_s + target;
    }
    return found;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

ConversionJob job(const QString &output, const QString &encoder)
{
    ConversionJob values;
    values.encoderPath = encoder;
    values.preserveOriginal = true;
    values.sizeLimitEnabled = false;
    values.quality = 90;
    values.outputFolder = QFile::encodeName(output);
    return values;
}

ConversionStatus convert(const QString &input, const ConversionJob &values)
{
    const RunFlags flags;
    return FileConverter::convert(QFile::encodeName(input), values, flags);
}

} // namespace EngineFixtures
