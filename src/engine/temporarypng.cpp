#include "temporarypng.h"

#include "procfdpath.h"
#include "systemerror.h"

#include <QDir>
#include <QFile>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

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

/// An unnamed file in the temporary folder. Where the file system has no unnamed files, a
/// fresh name is made and removed at once: the descriptor keeps the file alive.
int openUnnamed(const QByteArray &folder)
{
    int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR))
        return fd;
    const QByteArray name =
        folder + '/' + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toLatin1() +
        ".png";
    fd = ::open(name.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0)
        ::unlink(name.constData());
    return fd;
}

} // namespace

TemporaryPng::TemporaryPng()
    : m_fd(openUnnamed(QFile::encodeName(QDir::tempPath())))
{
    if (m_fd >= 0)
        m_path = ProcFdPath::of(m_fd);
    else
        m_openError = SystemError::text();
}

TemporaryPng::~TemporaryPng()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString TemporaryPng::write(const VImage &image, qint64 ppi, QString &detail, bool compact)
{
    if (m_fd < 0) {
        detail = m_openError;
        return QStringLiteral("Could not create temp file");
    }
    try {
        const double resolution = pixelsPerMillimetre(ppi);
        const VImage tagged =
            image.copy(VImage::option()->set("xres", resolution)->set("yres", resolution));
        // Fast and unfiltered: the file is read once by the encoder and dropped.
        // Stripping leaves no colour chunk (iCCP, gAMA) that would make the encoder shift
        // the already-sRGB pixels.
        tagged.pngsave_target(vips::VTarget::new_to_descriptor(m_fd),
                              VImage::option()
                                  ->set("compression", compact ? 1 : compressionLevel(tagged))
                                  ->set("filter", VIPS_FOREIGN_PNG_FILTER_NONE)
                                  ->set("strip", true));
    } catch (const VError &error) {
        vips_error_clear();
        detail = QString::fromUtf8(error.what()).trimmed();
        return QStringLiteral("Could not write temp PNG");
    }
    return {};
}
