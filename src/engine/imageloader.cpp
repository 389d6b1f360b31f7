#include "imageloader.h"

#include "imagesignature.h"
#include "jpegscans.h"
#include "pngchecksums.h"
#include "procfdpath.h"
#include "resizeplan.h"
#include "systemerror.h"
#include "vipsruntime.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <malloc.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

using vips::VError;
using vips::VImage;

namespace ImageLoader {

namespace {

using ImageSignature::Format;

/// An open input file, closed when this goes.
struct InputFile
{
    int fd = -1;
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;
    explicit InputFile(const QByteArray &path)
        : fd(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
    {}
    ~InputFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

Result failed(const QString &message, const QString &detail = {})
{
    Result result;
    result.error = message;
    result.detail = detail;
    return result;
}

/// The format of the file open at `fd` when it is a regular file (after following links), so
/// that a folder, a FIFO or a device under an image name is refused before anything waits on
/// it: the open does not wait for a FIFO's writer, and the type is checked on what was opened.
Format sniff(int fd, QString &detail)
{
    struct stat info
    {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        detail = QStringLiteral("not a regular file");
        return Format::unknown;
    }
    QByteArray head(ImageSignature::headerLength, '\0');
    const ssize_t count = TEMP_FAILURE_RETRY(::pread(fd, head.data(), size_t(head.size()), 0));
    const Format format = count < 0 ? Format::unknown : ImageSignature::sniff(head.left(count));
    if (format == Format::unknown)
        detail = QStringLiteral("not an image format that can be converted");
    return format;
}

/// The decoder that may read a file of `format`: the library picks one by the file's content
/// too, and only the one matching the signature is accepted.
QByteArray loaderFor(Format format)
{
    switch (format) {
    case Format::jpeg:
        return "jpegload";
    case Format::png:
        return "pngload";
    case Format::gif:
        return "gifload";
    case Format::webp:
        return "webpload";
    case Format::tiff:
        return "tiffload";
    case Format::heif:
        return "heifload";
    case Format::bmp:
        return "magickload";
    case Format::unknown:
        break;
    }
    return "none";
}

/// The image in sRGB through its embedded colour profile. An image without one, or with one that
/// cannot be used (damaged, or made for another colour space), is taken to be in the usual space
/// for its bands: its values pass unchanged.
VImage throughProfile(VImage image)
{
    if (image.get_typeof(VIPS_META_ICC_NAME) != 0) {
        try {
            return image.icc_transform("srgb", VImage::option()
                                                   ->set("embedded", true)
                                                   ->set("intent", VIPS_INTENT_RELATIVE)
                                                   ->set("depth", 8));
        } catch (const VError &) {
            vips_error_clear();
            image = image.copy();
            image.remove(VIPS_META_ICC_NAME);
        }
    }
    const VipsInterpretation space = vips_image_guess_interpretation(image.get_image());
    // Ink amounts need a profile to mean a colour: an untagged CMYK image gets the usual one.
    if (space == VIPS_INTERPRETATION_CMYK)
        return image.icc_transform("srgb", VImage::option()
                                               ->set("input_profile", "cmyk")
                                               ->set("intent", VIPS_INTENT_RELATIVE)
                                               ->set("depth", 8));
    if (space != VIPS_INTERPRETATION_sRGB || image.format() != VIPS_FORMAT_UCHAR)
        return image.colourspace(VIPS_INTERPRETATION_sRGB,
                                 VImage::option()->set("source_space", space));
    return image;
}

/// 8-bit sRGB with three bands, or four with alpha.
VImage toSrgb(const VImage &image)
{
    // 8 bits per band whatever the conversion left; a no-op for an 8-bit image.
    VImage srgb = throughProfile(image).cast(VIPS_FORMAT_UCHAR);
    if (srgb.bands() > 4)
        srgb = srgb.extract_band(0, VImage::option()->set("n", 4));
    return srgb;
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

/// The decoder's own words for the failure just caught, and a clean slate for the next one.
QString decoderReason(const VError &error)
{
    vips_error_clear();
    return QString::fromUtf8(error.what()).trimmed();
}

/// How many frames of the file whose header is `header` are decoded: all of an animated GIF or
/// WebP when `frames` asks for them, else one.
int frameCountOf(const VImage &header, Format format, Frames frames)
{
    if (frames != Frames::all || (format != Format::gif && format != Format::webp) ||
        header.get_typeof(VIPS_META_N_PAGES) == 0)
        return 1;
    return std::max(1, header.get_int(VIPS_META_N_PAGES));
}

/// The animation's timing as the decoder gives it, on `result`.
void takeTiming(const VImage &image, Result &result)
{
    // A frame without a duration of its own shows for the usual tenth of a second.
    constexpr int defaultDelay = 100;
    std::vector<int> delays;
    if (image.get_typeof("delay") != 0)
        delays = image.get_array_int("delay");
    delays.resize(size_t(result.frameCount), defaultDelay);
    result.delays = delays;
    result.loop = image.get_typeof("loop") != 0 ? std::max(0, image.get_int("loop")) : 0;
}

/// The centred part of `image` that `plan` keeps, scaled to the output size when fill enlarges.
VImage cropped(const VImage &image, const ResizePlan &plan)
{
    if (!plan.crops())
        return image;
    const VImage part = image.extract_area(int(plan.cropLeft), int(plan.cropTop),
                                           int(plan.cropWidth), int(plan.cropHeight));
    if (!plan.scalesAfterCrop())
        return part;
    return part.thumbnail_image(
        int(plan.width),
        VImage::option()->set("height", int(plan.height))->set("size", VIPS_SIZE_FORCE));
}

/// `plan`'s crop applied to each of the `frameCount` frames stacked in `image`.
VImage croppedFrames(const VImage &image, const ResizePlan &plan, int frameCount)
{
    if (frameCount <= 1 || !plan.crops())
        return cropped(image, plan);
    const int pageHeight = image.height() / frameCount;
    std::vector<VImage> frames;
    frames.reserve(size_t(frameCount));
    for (int i = 0; i < frameCount; ++i)
        frames.push_back(
            cropped(image.extract_area(0, i * pageHeight, image.width(), pageHeight), plan));
    VImage joined = VImage::arrayjoin(frames, VImage::option()->set("across", 1));
    joined.set("page-height", frames.front().height());
    return joined;
}

Result decode(int fd, Format format, qint64 width, qint64 height, bool preserveOriginal,
              Frames frames, ResizeMode mode, bool shrinkOnly)
{
    const vips::VSource source = vips::VSource::new_from_descriptor(fd);
    // The BMP decoder reads named files only: it gets the name of the file already open.
    const bool byName = format == Format::bmp;
    const QByteArray name = QFile::encodeName(ProcFdPath::of(fd));
    // Only the header is read here.
    const VImage header =
        byName ? VImage::new_from_file(name.constData()) : VImage::new_from_source(source, "");
    if (!QByteArray(header.get_string("vips-loader")).startsWith(loaderFor(format)))
        return failed(loadFailedMessage(), QStringLiteral("not the image format it starts as"));
    const int frameCount = frameCountOf(header, format, frames);
    if (frameCount > maxFrames)
        return failed(tooManyFramesMessage());
    const char *loadOptions = frameCount > 1 ? "fail_on=error,n=-1" : "fail_on=error";
    const qint64 sourceWidth = header.width();
    const qint64 sourceHeight = header.height();
    if (sourceWidth * sourceHeight > maxSide * maxSide)
        return failed(tooManyPixelsMessage());
    // The box is measured against the image as it is seen, upright.
    const qint64 uprightWidth = swapsSides(header) ? sourceHeight : sourceWidth;
    const qint64 uprightHeight = swapsSides(header) ? sourceWidth : sourceHeight;
    if (preserveOriginal) {
        if (sourceWidth * sourceHeight > maxOriginalPixels)
            return failed(tooLargeForOriginalMessage());
        width = uprightWidth;
        height = uprightHeight;
    }
    if (width > maxSide || height > maxSide)
        return failed(sideTooLongMessage());
    if (width <= 0 || height <= 0)
        return failed(sideTooShortMessage());
    const ResizePlan plan =
        preserveOriginal
            ? ResizePlan::make(width, height, width, height, ResizeMode::stretch, false)
            : ResizePlan::make(uprightWidth, uprightHeight, width, height, mode, shrinkOnly);
    if (frameCount > 1 && frameCount * plan.width * plan.height > maxAnimationPixels)
        return failed(animationTooLargeMessage());

    // Shrinks while decoding where the format allows and turns upright; colour is left as the
    // file has it until the image is small. Damage fails the load instead of leaving grey rows.
    // The frames of an animation are shrunk one by one to that size.
    auto options = [&] {
        return VImage::option()
            ->set("height", static_cast<int>(plan.scaledHeight))
            ->set("size", VIPS_SIZE_FORCE);
    };
    VImage image;
    // The animation's timing, which cropping its frames apart and together again would lose.
    VImage timing;
    if (header.interpretation() == VIPS_INTERPRETATION_CMYK) {
        // The resize would turn inks into colours on its own, past the file's profile: they
        // become sRGB first, at full size, as the decoder streams them.
        const VImage inks = VImage::new_from_source(source, "",
                                                    VImage::option()
                                                        ->set("fail_on", VIPS_FAIL_ON_ERROR)
                                                        ->set("access", VIPS_ACCESS_SEQUENTIAL));
        image = cropped(toSrgb(inks).thumbnail_image(static_cast<int>(plan.scaledWidth), options()),
                        plan);
    } else {
        timing = byName ? VImage::thumbnail((name + '[' + loadOptions + ']').constData(),
                                            static_cast<int>(plan.scaledWidth), options())
                        : VImage::thumbnail_source(source, static_cast<int>(plan.scaledWidth),
                                                   options()->set("option_string", loadOptions));
        image = toSrgb(croppedFrames(timing, plan, frameCount));
    }
    image = image.copy_memory();
    if (format == Format::gif || frameCount > 1)
        image = withoutOpaqueAlpha(image);
    Result result;
    result.image = image;
    if (frameCount > 1 && image.height() == frameCount * plan.height) {
        result.frameCount = frameCount;
        takeTiming(timing, result);
    } else if (frameCount > 1) {
        return failed(loadFailedMessage(), QStringLiteral("frames of different sizes"));
    }
    return result;
}

} // namespace

Result load(const QByteArray &path, qint64 width, qint64 height, bool preserveOriginal,
            Frames frames, ResizeMode mode, bool shrinkOnly)
{
    if (!VipsRuntime::ensureStarted())
        return failed(loadFailedMessage(), QStringLiteral("the image library did not start"));
    const InputFile file(path);
    if (file.fd < 0)
        return failed(loadFailedMessage(), SystemError::text());
    QString detail;
    const Format format = sniff(file.fd, detail);
    if (format == Format::unknown)
        return failed(loadFailedMessage(), detail);
    if (format == Format::png && !PngChecksums::intact(file.fd))
        return failed(loadFailedMessage(), QStringLiteral("a PNG chunk is cut short or damaged"));
    if (format == Format::jpeg && JpegScans::count(file.fd) > JpegScans::maxScans)
        return failed(tooManyScansMessage());
    try {
        // One decode at a time: a decoder's working memory (HEIF and AVIF decode whole frames
        // with threads of their own) is the largest part of a conversion's, while the encoder
        // runs in its own process; the other conversions encode meanwhile.
        static std::mutex decoding;
        const std::lock_guard lock(decoding);
        Result result =
            decode(file.fd, format, width, height, preserveOriginal, frames, mode, shrinkOnly);
        // The decoder's buffers are free now; hand them back rather than keep them per thread.
        ::malloc_trim(0);
        return result;
    } catch (const VError &error) {
        return failed(loadFailedMessage(), decoderReason(error));
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

QString sideTooShortMessage()
{
    return QStringLiteral("Too small for WebP (under 1 pixel on a side)");
}

QString tooLargeForOriginalMessage()
{
    return QStringLiteral("Too large to convert at original size (over 134 megapixels)");
}

QString tooManyScansMessage()
{
    return QStringLiteral("Too many JPEG scans (over 200)");
}

QString animationTooLargeMessage()
{
    return QStringLiteral("Animation too large (over 134 megapixels in all frames)");
}

QString tooManyFramesMessage()
{
    return QStringLiteral("Too many frames (over 4096)");
}

} // namespace ImageLoader
