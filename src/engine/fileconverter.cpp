#include "fileconverter.h"

#include "animationconversion.h"
#include "filedates.h"
#include "imageloader.h"
#include "outputmetadata.h"
#include "outputreservation.h"
#include "systemerror.h"
#include "temporarypng.h"
#include "webpencoder.h"
#include "webpfile.h"
#include "webpmetadata.h"

#include <QFile>

#include <cmath>
#include <limits>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileConverter {

namespace {

/// How far below the proportional target a further encode aims.
constexpr double retryMargin = 0.97;
/// The alpha quality of each further encode under a size limit. The encoder's target size
/// governs the colour data only, so an alpha plane can keep a file over the limit on its own.
constexpr int retryAlphaQualities[] = {50, 0};

bool stopping(const RunFlags &flags)
{
    return flags.cancelled.load() || flags.aborted.load();
}

/// The next target size: the last one scaled by how far the output overshot, with a margin.
qint64 smallerTarget(qint64 target, qint64 limit, qint64 actual)
{
    const double next = static_cast<double>(target) * static_cast<double>(limit) /
                        static_cast<double>(actual) * retryMargin;
    return std::max<qint64>(1, static_cast<qint64>(std::floor(next)));
}

/// The whole content of the file open at `fd`; empty on a read error.
QByteArray readAll(int fd)
{
    struct stat info
    {};
    if (::fstat(fd, &info) != 0)
        return {};
    QByteArray bytes(static_cast<qsizetype>(info.st_size), '\0');
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t count =
            TEMP_FAILURE_RETRY(::pread(fd, bytes.data() + done, size_t(bytes.size() - done), done));
        if (count <= 0)
            return {};
        done += count;
    }
    return bytes;
}

bool rewrite(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t count = TEMP_FAILURE_RETRY(
            ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), done));
        if (count <= 0)
            return false;
        done += count;
    }
    return ::ftruncate(fd, bytes.size()) == 0;
}

} // namespace

QString overLimitMessage(qint64 limitBytes, qint64 smallestBytes)
{
    // asprintf formats in the C locale, so the separator is a full stop everywhere.
    return QStringLiteral("Over the %1 KB limit (smallest: %2 KB)")
        .arg(limitBytes / 1024)
        .arg(QString::asprintf("%.1f", static_cast<double>(smallestBytes) / 1024.0));
}

qint64 finishOutput(const OutputReservation &output, const OutputMetadata &metadata,
                    bool detailsRequired, ConversionStatus &failure, const QString &program)
{
    const QByteArray written = readAll(output.fd());
    switch (WebpFile::check(written)) {
    case WebpFile::State::missing:
        failure = ConversionStatus::error(QStringLiteral("Output file not found"));
        return -1;
    case WebpFile::State::invalid:
        failure = ConversionStatus::error(program + QStringLiteral(" wrote an invalid file"));
        return -1;
    case WebpFile::State::valid:
        break;
    }
    const QByteArray tagged = WebpMetadata::added(written, metadata.exif, metadata.xmp);
    if (tagged.isEmpty() && detailsRequired) {
        failure = ConversionStatus::error(QStringLiteral("Could not write the photo details"));
        return -1;
    }
    // Losing the resolution alone is not worth failing a good conversion over.
    if (tagged.isEmpty() || tagged == written)
        return written.size();
    if (!rewrite(output.fd(), tagged)) {
        failure = ConversionStatus::error(QStringLiteral("Could not write output file"),
                                          SystemError::text());
        return -1;
    }
    return tagged.size();
}

ConversionStatus publish(OutputReservation &output, qint64 size, const QByteArray &inputPath,
                         const QByteArray &subfolder, const ConversionJob &job, int frames,
                         const QStringList &keptMetadata)
{
    // Dated before it is named, so that no output ever stands under its name with another date.
    if (job.output.keepDates) {
        if (const QString reason = FileDates::copyModificationTime(inputPath, output.fd());
            !reason.isEmpty())
            return ConversionStatus::error(QStringLiteral("Could not date output file"), reason);
    }
    if (output.publish())
        return ConversionStatus::done(output.path(), size, frames, keptMetadata);
    switch (output.failure()) {
    case OutputReservation::Failure::nameTaken: {
        const QString input = QFile::decodeName(inputPath.mid(inputPath.lastIndexOf('/') + 1));
        return ConversionStatus::skipped(
            OutputReservation::takenName(job.outputFolder, input, subfolder).value_or(QString()));
    }
    case OutputReservation::Failure::folder:
        return ConversionStatus::error(QStringLiteral("Could not create output folder"),
                                       output.error());
    default:
        return ConversionStatus::error(QStringLiteral("Could not create output file"),
                                       output.error());
    }
}

namespace {
/// Runs the encoder on `png` into the unnamed output until the output is done: once in
/// quality mode, up to three times under a size limit. Only the app quitting cuts this short.
/// The output is named only on success.
ConversionStatus encode(const TemporaryPng &png, bool hasAlpha, const OutputMetadata &metadata,
                        OutputReservation &output, const ConversionJob &job, const RunFlags &flags,
                        const QByteArray &inputPath, const QByteArray &subfolder)
{
    qint64 target = job.sizeLimitBytes;
    int alphaQuality = WebpEncoder::defaultAlphaQuality;
    qint64 smallest = std::numeric_limits<qint64>::max();
    for (int attempt = 0;; ++attempt) {
        const QStringList args =
            WebpEncoder::arguments(png.path(), output.writePath(), job.sizeLimitEnabled, target,
                                   job.quality, hasAlpha, alphaQuality, job.effort);
        const EncoderOutcome outcome = WebpEncoder::run(job.encoderPath, args, flags);
        if (outcome.kind == EncoderOutcome::Kind::aborted)
            return ConversionStatus::cancelled();
        if (!outcome.succeeded())
            return ConversionStatus::error(outcome.message(), outcome.detail());
        ConversionStatus failure;
        const qint64 size = finishOutput(output, metadata, job.keepPhotoDetails, failure);
        if (size < 0)
            return failure;
        if (!job.sizeLimitEnabled || size <= job.sizeLimitBytes) {
            if (flags.aborted)
                return ConversionStatus::cancelled();
            return publish(output, size, inputPath, subfolder, job, 1, metadata.kept);
        }
        smallest = std::min(smallest, size);
        if (attempt >= job.extraEncodesForSizeLimit)
            return ConversionStatus::error(overLimitMessage(job.sizeLimitBytes, smallest));
        // A Stop lets a file whose encoding has begun finish, further encodes included.
        if (flags.aborted)
            return ConversionStatus::cancelled();
        target = smallerTarget(target, job.sizeLimitBytes, size);
        alphaQuality =
            retryAlphaQualities[std::min<size_t>(attempt, std::size(retryAlphaQualities) - 1)];
    }
}

} // namespace

ConversionStatus convert(const QByteArray &inputPath, const ConversionJob &job,
                         const RunFlags &flags, const QByteArray &foundIn)
{
    if (stopping(flags))
        return ConversionStatus::cancelled();
    const QString inputName = QFile::decodeName(inputPath.mid(inputPath.lastIndexOf('/') + 1));
    const QByteArray subfolder = job.output.keepFolders ? foundIn : QByteArray();
    // Looked at before any work, so that a batch run again converts only what is missing; a
    // name taken meanwhile is found again when the output is named.
    if (job.output.skipExisting) {
        if (auto taken = OutputReservation::takenName(job.outputFolder, inputName, subfolder))
            return ConversionStatus::skipped(*taken);
    }
    ImageLoader::Result loaded = ImageLoader::load(
        inputPath, job.width, job.height, job.preserveOriginal,
        job.firstFrameOnly ? ImageLoader::Frames::first : ImageLoader::Frames::all, job.resizeMode,
        job.shrinkOnly);
    if (!loaded.ok())
        return ConversionStatus::error(loaded.error, loaded.detail);
    if (stopping(flags))
        return ConversionStatus::cancelled();
    const OutputMetadata metadata = OutputMetadata::build(
        inputPath, {job.keepPhotoDetails, job.keepLocation, job.ppi, loaded.image.width(),
                    loaded.image.height() / std::max(loaded.frameCount, 1)});
    if (!metadata.ok())
        return ConversionStatus::error(metadata.error, metadata.detail);
    if (loaded.frameCount > 1)
        return AnimationConversion::convert(std::move(loaded), inputPath, job, flags, metadata,
                                            subfolder);

    // Neither file has a name until the output is published, so whatever happens from here on
    // (an error, a Stop, a crash) leaves nothing behind.
    TemporaryPng png;
    QString detail;
    if (const QString failure = png.write(loaded.image, job.ppi, detail); !failure.isEmpty())
        return ConversionStatus::error(failure, detail);
    // The bitmap is not needed while the encoder runs, which holds a copy of its own.
    const bool hasAlpha = loaded.hasAlpha();
    loaded = {};
    ::malloc_trim(0);
    if (flags.aborted)
        return ConversionStatus::cancelled();
    OutputReservation output(job.outputFolder, inputName, OutputReservation::Kind::automatic,
                             {subfolder, !job.output.skipExisting});
    if (!output.isValid())
        return ConversionStatus::error(QStringLiteral("Could not create output file"),
                                       output.error());
    return encode(png, hasAlpha, metadata, output, job, flags, inputPath, subfolder);
}

} // namespace FileConverter
