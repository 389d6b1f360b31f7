#include "animationconversion.h"

#include "animationencoder.h"
#include "fileconverter.h"
#include "outputmetadata.h"
#include "outputreservation.h"
#include "temporarypng.h"
#include "webpencoder.h"

#include <QFile>

#include <cmath>
#include <malloc.h>
#include <memory>
#include <mutex>
#include <sys/resource.h>

namespace AnimationConversion {

namespace {

using FramePngs = std::vector<std::unique_ptr<TemporaryPng>>;

/// Every frame stays open until the encoder has read it, so an animation of many frames needs
/// more descriptors than the usual soft limit; the hard limit is the system's real bound.
void allowManyOpenFiles()
{
    static std::once_flag once;
    std::call_once(once, [] {
        rlimit limit{};
        if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
            limit.rlim_cur = limit.rlim_max;
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
    });
}

/// Writes each frame of `loaded` into a PNG of its own. Returns an empty message on success.
QString writeFrames(const ImageLoader::Result &loaded, qint64 ppi, const RunFlags &flags,
                    FramePngs &frames, QStringList &paths, QString &detail, bool &stopped)
{
    const int width = loaded.image.width();
    const int height = loaded.image.height() / loaded.frameCount;
    for (int i = 0; i < loaded.frameCount; ++i) {
        if (flags.cancelled || flags.aborted) {
            stopped = true;
            return {};
        }
        auto png = std::make_unique<TemporaryPng>();
        const vips::VImage frame = loaded.image.crop(0, i * height, width, height);
        if (QString failure = png->write(frame, ppi, detail, true); !failure.isEmpty())
            return failure;
        paths << png->path();
        frames.push_back(std::move(png));
    }
    return {};
}

} // namespace

int lowerQuality(const std::vector<Attempt> &tried, qint64 limit)
{
    // The fall of ln(size) per quality step that lossy frames commonly show, and how far under
    // the limit the next encode aims.
    constexpr double usualRate = 0.025;
    constexpr double aim = 0.95;
    const Attempt &last = tried.back();
    double rate = usualRate;
    if (tried.size() >= 2) {
        const Attempt &before = tried[tried.size() - 2];
        const double measured = (std::log(double(before.size)) - std::log(double(last.size))) /
                                double(before.quality - last.quality);
        if (std::isfinite(measured) && measured > 0)
            rate = measured;
    }
    const double steps = (std::log(double(last.size)) - std::log(aim * double(limit))) / rate;
    const int next = last.quality - static_cast<int>(std::ceil(steps));
    return std::clamp(next, 0, std::max(0, last.quality - 1));
}

ConversionStatus convert(ImageLoader::Result loaded, const QByteArray &inputPath,
                         const ConversionJob &job, const RunFlags &flags,
                         const OutputMetadata &metadata, const QByteArray &subfolder)
{
    if (job.animationEncoderPath.isEmpty())
        return ConversionStatus::error(AnimationEncoder::notFoundMessage());
    allowManyOpenFiles();
    const QString program = AnimationEncoder::program();
    const int frameCount = loaded.frameCount;
    const std::vector<int> delays = loaded.delays;
    const int loop = loaded.loop;

    FramePngs frames;
    QStringList paths;
    QString detail;
    bool stopped = false;
    if (const QString failure = writeFrames(loaded, job.ppi, flags, frames, paths, detail, stopped);
        !failure.isEmpty())
        return ConversionStatus::error(failure, detail);
    if (stopped)
        return ConversionStatus::cancelled();
    // The encoder reads the frames from their files; the decoded strip is not needed any more.
    loaded = {};
    ::malloc_trim(0);
    if (flags.aborted)
        return ConversionStatus::cancelled();

    const qsizetype slash = inputPath.lastIndexOf('/');
    OutputReservation output(job.outputFolder, QFile::decodeName(inputPath.mid(slash + 1)),
                             OutputReservation::Kind::automatic,
                             {subfolder, !job.output.skipExisting});
    if (!output.isValid())
        return ConversionStatus::error(QStringLiteral("Could not create output file"),
                                       output.error());

    int quality = static_cast<int>(job.quality);
    std::vector<Attempt> tried;
    for (int attempt = 0;; ++attempt) {
        const QStringList args =
            AnimationEncoder::arguments(paths, delays, loop, quality, output.writePath());
        const EncoderOutcome outcome = WebpEncoder::run(job.animationEncoderPath, args, flags);
        if (outcome.kind == EncoderOutcome::Kind::aborted)
            return ConversionStatus::cancelled();
        if (!outcome.succeeded())
            return ConversionStatus::error(outcome.message(program), outcome.detail());
        ConversionStatus failure;
        const qint64 size =
            FileConverter::finishOutput(output, metadata, job.keepPhotoDetails, failure, program);
        if (size < 0)
            return failure;
        if (!job.sizeLimitEnabled || size <= job.sizeLimitBytes) {
            if (flags.aborted)
                return ConversionStatus::cancelled();
            return FileConverter::publish(output, size, inputPath, subfolder, job, frameCount,
                                          metadata.kept);
        }
        tried.push_back({quality, size});
        if (attempt >= job.extraEncodesForSizeLimit || quality == 0) {
            const auto smallest = std::min_element(
                tried.cbegin(), tried.cend(),
                [](const Attempt &a, const Attempt &b) { return a.size < b.size; });
            return ConversionStatus::error(
                FileConverter::overLimitMessage(job.sizeLimitBytes, smallest->size));
        }
        // A Stop lets a file whose encoding has begun finish, further encodes included.
        if (flags.aborted)
            return ConversionStatus::cancelled();
        quality = lowerQuality(tried, job.sizeLimitBytes);
    }
}

} // namespace AnimationConversion
