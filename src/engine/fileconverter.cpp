#include "fileconverter.h"

#include "exifresolution.h"
#include "imageloader.h"
#include "outputreservation.h"
#include "temporarypng.h"
#include "webpencoder.h"
#include "webpfile.h"

#include <QFileInfo>

#include <cmath>
#include <limits>

namespace FileConverter {

namespace {

/// How far below the proportional target a further encode aims.
constexpr double retryMargin = 0.97;

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

QString overLimitMessage(qint64 limitBytes, qint64 smallestBytes)
{
    // asprintf formats in the C locale, so the separator is a full stop everywhere.
    return QStringLiteral("Over the %1 KB limit (smallest: %2 KB)")
        .arg(limitBytes / 1024)
        .arg(QString::asprintf("%.1f", static_cast<double>(smallestBytes) / 1024.0));
}

/// Runs the encoder on `png` into the reserved output until the output is done: once in
/// quality mode, up to three times under a size limit. The reservation is kept only on success.
ConversionStatus encode(const TemporaryPng &png, bool hasAlpha, OutputReservation &output,
                        const ConversionJob &job, const RunFlags &flags)
{
    qint64 target = job.sizeLimitBytes;
    qint64 smallest = std::numeric_limits<qint64>::max();
    for (int attempt = 0;; ++attempt) {
        const QStringList args = WebpEncoder::arguments(
            png.path(), output.path(), job.sizeLimitEnabled, target, job.quality, hasAlpha);
        const EncoderOutcome outcome = WebpEncoder::run(job.encoderPath, args, flags);
        if (outcome.kind == EncoderOutcome::Kind::aborted)
            return ConversionStatus::cancelled();
        if (!outcome.succeeded())
            return ConversionStatus::error(outcome.message());

        switch (WebpFile::check(output.path())) {
        case WebpFile::State::missing:
            return ConversionStatus::error(QStringLiteral("Output file not found"));
        case WebpFile::State::invalid:
            return ConversionStatus::error(QStringLiteral("cwebp wrote an invalid file"));
        case WebpFile::State::valid:
            break;
        }
        // Losing the resolution is not worth failing a good conversion over.
        (void)ExifResolution::addTo(output.path(), job.ppi);

        const qint64 size = QFileInfo(output.path()).size();
        if (!job.sizeLimitEnabled || size <= job.sizeLimitBytes) {
            output.keep();
            return ConversionStatus::done(output.path(), size);
        }
        smallest = std::min(smallest, size);
        if (attempt >= job.extraEncodesForSizeLimit)
            return ConversionStatus::error(overLimitMessage(job.sizeLimitBytes, smallest));
        if (stopping(flags))
            return ConversionStatus::cancelled();
        target = smallerTarget(target, job.sizeLimitBytes, size);
    }
}

} // namespace

ConversionStatus convert(const QUrl &input, const ConversionJob &job, const RunFlags &flags)
{
    if (stopping(flags))
        return ConversionStatus::cancelled();
    const QString inputPath = input.toLocalFile();
    const ImageLoader::Result loaded =
        ImageLoader::load(inputPath, job.width, job.height, job.preserveOriginal);
    if (!loaded.ok())
        return ConversionStatus::error(loaded.error);
    if (stopping(flags))
        return ConversionStatus::cancelled();

    // Both files below remove themselves on every early return.
    TemporaryPng png;
    if (const QString failure = png.write(loaded.image, job.ppi); !failure.isEmpty())
        return ConversionStatus::error(failure);
    if (flags.aborted)
        return ConversionStatus::cancelled();
    OutputReservation output(job.outputFolder, QFileInfo(inputPath).fileName());
    if (!output.isValid())
        return ConversionStatus::error(QStringLiteral("Could not create output file"));
    return encode(png, loaded.hasAlpha(), output, job, flags);
}

} // namespace FileConverter
