// The batch run of ImageConverter: convertAll, its file tasks and the end of the run.

#include "fileconverter.h"
#include "imageconverter.h"
#include "nativepath.h"
#include "webpencoder.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

namespace {

/// Runs `work` on the GUI thread later, if `converter` still exists then.
template <typename Work> void post(const QPointer<ImageConverter> &converter, Work work)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [converter, work = std::move(work)]() mutable {
            if (converter)
                work(converter.data());
        },
        Qt::QueuedConnection);
}

qint64 sizeLimitBytes(qint64 kilobytes)
{
    // Limited rather than refused: no real file comes near 2^63 bytes.
    constexpr qint64 maxKilobytes = std::numeric_limits<qint64>::max() / 1024;
    return std::clamp<qint64>(kilobytes, -maxKilobytes, maxKilobytes) * 1024;
}

} // namespace

void ImageConverter::convertAll()
{
    if (m_isConverting)
        return;
    const QList<QSharedPointer<FileItem>> selected = selectedFiles();
    if (selected.isEmpty())
        return;
    const std::optional<ResolutionPreset> preset = selectedPreset();
    if (!preset)
        return;

    const std::optional<QString> encoder = m_locateEncoder ? m_locateEncoder() : std::nullopt;
    if (!encoder) {
        for (const auto &item : selected)
            item->setStatus(ConversionStatus::error(WebpEncoder::notFoundMessage()));
        Q_EMIT objectWillChange();
        return;
    }
    if (m_outputFolderURL.isEmpty()) {
        chooseOutputFolder();
        return;
    }

    ConversionJob job;
    job.encoderPath = *encoder;
    job.width = preset->width;
    job.height = preset->height;
    job.preserveOriginal = preset->preserveOriginal;
    job.ppi = effectivePPI();
    job.sizeLimitEnabled = m_settings.fileSizeLimitEnabled;
    job.sizeLimitBytes = sizeLimitBytes(m_settings.fileSizeLimitKB);
    job.quality = m_settings.quality;
    job.outputFolder = m_outputFolderURL.toLocalFile();

    Q_EMIT objectWillChange();
    m_isConverting = true;
    Q_EMIT isConvertingChanged();
    setCancelled(false);
    Q_EMIT objectWillChange();
    m_totalCount = selected.size();
    Q_EMIT totalCountChanged();
    Q_EMIT objectWillChange();
    m_completedCount = 0;
    Q_EMIT completedCountChanged();

    for (const auto &item : selected)
        item->setStatus(ConversionStatus::queued());
    Q_EMIT objectWillChange();

    auto remaining = std::make_shared<qint64>(selected.size());
    for (const auto &item : selected) {
        // Queued behind this call, so every file shows "converting" right after the click.
        post(QPointer<ImageConverter>(this), [item](ImageConverter *converter) {
            item->setStatus(ConversionStatus::converting());
            Q_EMIT converter->objectWillChange();
        });
        startTask(item, job, remaining);
    }
}

void ImageConverter::startTask(const QSharedPointer<FileItem> &item, const ConversionJob &job,
                               const std::shared_ptr<qint64> &remaining)
{
    QPointer<ImageConverter> converter(this);
    std::shared_ptr<RunFlags> flags = m_flags;
    const QUrl input = item->url();
    QThreadPool::globalInstance()->start([converter, flags, input, job, item, remaining] {
        if (flags->aborted)
            return;
        const ConversionStatus result =
            flags->cancelled
                ? ConversionStatus::cancelled()
                : FileConverter::convert(NativePath::of(input.toLocalFile()), job, *flags);
        post(converter, [item, result, remaining](ImageConverter *self) {
            self->finishTask(item, result, remaining);
        });
    });
}

void ImageConverter::finishTask(const QSharedPointer<FileItem> &item,
                                const ConversionStatus &result,
                                const std::shared_ptr<qint64> &remaining)
{
    item->setStatus(isCancelled() ? ConversionStatus::cancelled() : result);
    Q_EMIT objectWillChange();
    m_completedCount += 1;
    Q_EMIT completedCountChanged();
    if (--*remaining == 0)
        endRun();
}

void ImageConverter::endRun()
{
    Q_EMIT objectWillChange();
    m_isConverting = false;
    Q_EMIT isConvertingChanged();
    setCancelled(false);
    Q_EMIT runFinished();
}

ConversionStatus ImageConverter::convertFile(const QUrl &input, const ConversionJob &job) const
{
    return FileConverter::convert(NativePath::of(input.toLocalFile()), job, *m_flags);
}
