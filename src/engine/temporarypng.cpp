#include "temporarypng.h"

#include <QDir>
#include <QFile>
#include <QUuid>

using vips::VError;
using vips::VImage;

namespace {

/// Pixels per millimetre as the PNG writer wants them. A PPI that cannot be a resolution is
/// written as the usual 72 (the encoder does not read it anyway); a huge one is capped so that
/// it still fits the PNG's pixels-per-metre field.
double pixelsPerMillimetre(qint64 ppi)
{
    constexpr qint64 fallbackPpi = 72;
    constexpr qint64 largestPpi = 1'000'000;
    const qint64 usable = ppi > 0 ? std::min(ppi, largestPpi) : fallbackPpi;
    return static_cast<double>(usable) / 25.4;
}

/// zlib level for the pixels: none up to 64 MiB of them (a 1920 × 1080 image is written in a
/// tenth of the time level 1 takes, and the encoder reads it faster too); level 1 beyond, so that
/// a huge flat image does not fill the temporary folder.
int compressionLevel(const VImage &image)
{
    constexpr qint64 largestStored = 64LL * 1024 * 1024;
    const qint64 bytes = static_cast<qint64>(image.width()) * image.height() * image.bands();
    return bytes <= largestStored ? 0 : 1;
}

} // namespace

TemporaryPng::TemporaryPng()
    : m_path(QDir::tempPath() + QLatin1Char('/') +
             QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".png"))
{}

TemporaryPng::~TemporaryPng()
{
    QFile::remove(m_path);
}

QString TemporaryPng::write(const VImage &image, qint64 ppi)
{
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return QStringLiteral("Could not create temp file");
    try {
        const double resolution = pixelsPerMillimetre(ppi);
        const VImage tagged =
            image.copy(VImage::option()->set("xres", resolution)->set("yres", resolution));
        // Fast and unfiltered: the file is read once by the encoder and removed.
        // Stripping leaves no colour chunk (iCCP, gAMA) that would make the encoder shift
        // the already-sRGB pixels.
        tagged.pngsave_target(vips::VTarget::new_to_descriptor(file.handle()),
                              VImage::option()
                                  ->set("compression", compressionLevel(tagged))
                                  ->set("filter", VIPS_FOREIGN_PNG_FILTER_NONE)
                                  ->set("strip", true));
    } catch (const VError &) {
        vips_error_clear();
        return QStringLiteral("Could not write temp PNG");
    }
    if (!file.flush())
        return QStringLiteral("Could not write temp PNG");
    return {};
}
