#include "imageloader.h"

#include "imagesignature.h"
#include "nativepath.h"
#include "pngchecksums.h"
#include "vipsruntime.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using vips::VError;
using vips::VImage;

namespace ImageLoader {

namespace {

using ImageSignature::Format;

/// Reads the first bytes of `path` when it is a regular file (after following links), so that a
/// folder, a FIFO or a device under an image name is refused before anything waits on it: the
/// open does not wait for a FIFO's writer, and the type is checked on what was opened.
std::optional<QByteArray> readHeader(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info
    {};
    std::optional<QByteArray> header;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        QByteArray bytes(ImageSignature::headerLength, '\0');
        ssize_t count = -1;
        do {
            count = ::read(fd, bytes.data(), size_t(bytes.size()));
        } while (count < 0 && errno == EINTR);
        if (count >= 0)
            header = bytes.left(count);
    }
    ::close(fd);
    return header;
}

/// Opens the file with the decoder for its format; only the header is read here. Decoding
/// errors and truncation fail the load instead of leaving grey rows, and large images are
/// decoded into memory rather than into a scratch file in the temporary folder.
VImage open(const QByteArray &path, Format format)
{
    const char *file = path.constData();
    auto options = [] {
        return VImage::option()->set("fail_on", VIPS_FAIL_ON_ERROR)->set("memory", true);
    };
    switch (format) {
    case Format::jpeg:
        return VImage::jpegload(file, options());
    case Format::png:
        return VImage::pngload(file, options());
    case Format::gif:
        return VImage::gifload(file, options());
    case Format::webp:
        return VImage::webpload(file, options());
    case Format::tiff:
        return VImage::tiffload(file, options());
    case Format::heif:
        return VImage::heifload(file, options());
    case Format::bmp:
        return VImage::magickload(file, options());
    case Format::unknown:
        break;
    }
    throw VError("unknown format");
}

/// Converts to 8-bit sRGB: through the embedded profile when there is one that works, else by
/// the image's own interpretation (untagged colour is taken as sRGB and left as it is).
VImage toSrgb(VImage image)
{
    if (image.get_typeof(VIPS_META_ICC_NAME) != 0) {
        try {
            image = image.icc_transform("srgb",
                                        VImage::option()->set("embedded", true)->set("depth", 8));
        } catch (const VError &) {
            image = image.copy();
            image.remove(VIPS_META_ICC_NAME);
        }
    }
    const VipsInterpretation space = vips_image_guess_interpretation(image.get_image());
    if (space != VIPS_INTERPRETATION_sRGB || image.format() != VIPS_FORMAT_UCHAR)
        image = image.colourspace(VIPS_INTERPRETATION_sRGB,
                                  VImage::option()->set("source_space", space));
    if (image.format() != VIPS_FORMAT_UCHAR)
        image = image.cast(VIPS_FORMAT_UCHAR);
    if (image.bands() > 4)
        image = image.extract_band(0, VImage::option()->set("n", 4));
    else if (image.bands() < 3)
        image = image.colourspace(VIPS_INTERPRETATION_sRGB,
                                  VImage::option()->set("source_space", VIPS_INTERPRETATION_B_W));
    return image;
}

/// Stretches to exactly `width` × `height` with a Lanczos kernel, on premultiplied pixels when
/// there is alpha so that transparent neighbours do not darken the edges.
VImage stretch(VImage image, int width, int height)
{
    if (image.width() == width && image.height() == height)
        return image;
    const bool alpha = image.bands() == 4;
    if (alpha)
        image = image.premultiply();
    const double hscale = static_cast<double>(width) / image.width();
    const double vscale = static_cast<double>(height) / image.height();
    image = image.resize(
        hscale, VImage::option()->set("vscale", vscale)->set("kernel", VIPS_KERNEL_LANCZOS3));
    if (alpha)
        image = image.unpremultiply().rint().cast(VIPS_FORMAT_UCHAR);
    if (image.width() != width || image.height() != height)
        image = image.embed(0, 0, width, height, VImage::option()->set("extend", VIPS_EXTEND_COPY));
    return image;
}

/// The GIF decoder always adds an alpha band; an opaque one is dropped again, so that only
/// images that can be transparent count as having alpha.
VImage withoutOpaqueAlpha(VImage image)
{
    if (image.bands() == 4 && image.extract_band(3).min() >= 255)
        return image.extract_band(0, VImage::option()->set("n", 3));
    return image;
}

bool swapsSides(const VImage &image)
{
    if (image.get_typeof(VIPS_META_ORIENTATION) == 0)
        return false;
    const int orientation = image.get_int(VIPS_META_ORIENTATION);
    return orientation >= 5 && orientation <= 8;
}

} // namespace

Result load(const QString &path, qint64 width, qint64 height, bool preserveOriginal)
{
    if (!VipsRuntime::ensureStarted())
        return {{}, loadFailedMessage()};
    const QByteArray native = NativePath::of(path);
    const std::optional<QByteArray> header = readHeader(native);
    if (!header)
        return {{}, loadFailedMessage()};
    const Format format = ImageSignature::sniff(*header);
    if (format == Format::unknown || (format == Format::png && !PngChecksums::intact(native)))
        return {{}, loadFailedMessage()};
    try {
        VImage image = open(native, format);
        const qint64 sourceWidth = image.width();
        const qint64 sourceHeight = image.height();
        if (sourceWidth * sourceHeight > maxSide * maxSide)
            return {{}, tooManyPixelsMessage()};
        if (preserveOriginal) {
            width = swapsSides(image) ? sourceHeight : sourceWidth;
            height = swapsSides(image) ? sourceWidth : sourceHeight;
        }
        if (width > maxSide || height > maxSide)
            return {{}, sideTooLongMessage()};
        if (width <= 0 || height <= 0)
            return {{}, loadFailedMessage()};
        if (format == Format::gif)
            image = withoutOpaqueAlpha(image);
        image = toSrgb(image.autorot());
        image = stretch(image, static_cast<int>(width), static_cast<int>(height));
        return {image.copy_memory(), {}};
    } catch (const VError &) {
        vips_error_clear();
        return {{}, loadFailedMessage()};
    }
}

QString loadFailedMessage()
{
    return QStringLiteral("Could not load image");
}

QString tooManyPixelsMessage()
{
    return QStringLiteral("Image too large (over 16383 \u00d7 16383 pixels)");
}

QString sideTooLongMessage()
{
    return QStringLiteral("Too large for WebP (over 16383 pixels on a side)");
}

} // namespace ImageLoader
