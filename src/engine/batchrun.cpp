#include "batchrun.h"

#include "fileconverter.h"
#include "filelistmodel.h"
#include "sizetext.h"

#include <QDateTime>

#include <algorithm>
#include <sys/stat.h>

namespace {

qint64 sizeOf(const QByteArray &path)
{
    struct stat info
    {};
    return ::stat(path.constData(), &info) == 0 ? static_cast<qint64>(info.st_size) : -1;
}

} // namespace

BatchRun::BatchRun(FileListModel *files, QObject *parent)
    : QObject(parent)
    , m_files(files)
{
    for (auto rowsChange : {&FileListModel::rowsInserted, &FileListModel::rowsRemoved})
        connect(m_files, rowsChange, this, &BatchRun::updateSummaryShown);
    connect(m_files, &FileListModel::modelReset, this, &BatchRun::updateSummaryShown);
}

BatchRun::~BatchRun()
{
    m_flags->aborted = true;
    m_flags->cancelled = true;
    m_waiting.clear();
    m_pool.waitForDone();
}

void BatchRun::start(const QList<FileItem> &items, const ConversionJob &job)
{
    if (m_isConverting || items.isEmpty())
        return;
    m_job = job;
    m_flags->cancelled = false;
    m_flags->aborted = false;
    m_waiting.clear();
    m_runIds.clear();
    for (const FileItem &item : items)
        m_waiting.push_back({item, m_countEpoch});
    m_isConverting = true;
    m_total = items.size();
    m_completed = 0;
    m_done = m_failed = m_cancelled = m_skipped = m_bytesIn = m_bytesOut = 0;
    m_remainingMs = -1;
    m_startedAt = QDateTime::currentMSecsSinceEpoch();
    m_clock.start();
    for (const FileItem &item : items)
        m_runIds.insert(item.id);
    m_summaryShown = true;
    m_files->setStatusWhere([this](const FileItem &item) { return m_runIds.contains(item.id); },
                            ConversionStatus::queued());
    Q_EMIT changed();
    startWaiting();
}

void BatchRun::join(const QList<FileItem> &items)
{
    if (!m_isConverting || items.isEmpty())
        return;
    m_total += items.size();
    for (const FileItem &item : items) {
        m_runIds.insert(item.id);
        if (isCancelled())
            record({item, m_countEpoch}, {ConversionStatus::cancelled(), -1});
        else
            m_waiting.push_back({item, m_countEpoch});
    }
    Q_EMIT changed();
    startWaiting();
}

void BatchRun::startWaiting()
{
    while (!m_waiting.empty() && m_running < m_pool.maxThreadCount() && !isCancelled()) {
        const Member member = m_waiting.front();
        m_waiting.pop_front();
        // A row removed while it waited is not converted: its output would be nowhere in the
        // list.
        if (m_files->setStatus(member.item.id, ConversionStatus::converting()))
            convert(member);
        else
            record(member, {ConversionStatus::cancelled(), -1});
    }
    if (m_isConverting && m_waiting.empty() && m_running == 0)
        end();
}

void BatchRun::convert(const Member &member)
{
    ++m_running;
    const std::shared_ptr<RunFlags> flags = m_flags;
    // The result comes back as one queued call; the destructor waits for the pool, so `this`
    // outlives every worker, and a call still queued then is dropped with the object.
    m_pool.start([this, member, job = m_job, flags] {
        const QByteArray &path = member.item.path;
        const Result result{FileConverter::convert(path, job, *flags, member.item.subfolder),
                            sizeOf(path)};
        QMetaObject::invokeMethod(
            this,
            [this, member, result] {
                --m_running;
                record(member, result);
                startWaiting();
            },
            Qt::QueuedConnection);
    });
}

void BatchRun::record(const Member &member, const Result &result)
{
    FileItem item = member.item;
    item.status = result.status;
    if (result.inputSize >= 0)
        item.inputSize = result.inputSize;
    m_files->setStatus(item.id, result.status, result.inputSize);
    switch (result.status.kind()) {
    case ConversionStatus::Kind::done:
        ++m_done;
        m_bytesIn += std::max<qint64>(result.inputSize, 0);
        m_bytesOut += result.status.fileSize();
        break;
    case ConversionStatus::Kind::error:
        ++m_failed;
        break;
    case ConversionStatus::Kind::skipped:
        ++m_skipped;
        break;
    default:
        ++m_cancelled;
        break;
    }
    if (member.countEpoch == m_countEpoch)
        ++m_completed;
    const qint64 ended = m_done + m_failed + m_cancelled + m_skipped;
    const qint64 left = static_cast<qint64>(m_waiting.size()) + m_running;
    m_remainingMs = isCancelled() ? -1 : m_clock.elapsed() * left / ended;
    Q_EMIT fileFinished(item);
    Q_EMIT changed();
}

void BatchRun::stop()
{
    if (!m_isConverting || isCancelled())
        return;
    m_flags->cancelled = true;
    // A stopping run has no time left to estimate, even with no file waiting.
    m_remainingMs = -1;
    Q_EMIT changed();
    while (!m_waiting.empty()) {
        const Member member = m_waiting.front();
        m_waiting.pop_front();
        record(member, {ConversionStatus::cancelled(), -1});
    }
    startWaiting();
}

void BatchRun::stopNow()
{
    if (!m_isConverting)
        return;
    stop();
    if (!m_isConverting || m_flags->aborted)
        return;
    m_flags->aborted = true;
    Q_EMIT changed();
}

void BatchRun::updateSummaryShown()
{
    // Before the first run there is nothing to look for in a list of any length.
    const bool shown =
        !m_runIds.isEmpty() &&
        std::any_of(m_files->items().cbegin(), m_files->items().cend(),
                    [this](const FileItem &item) { return m_runIds.contains(item.id); });
    if (shown == m_summaryShown)
        return;
    m_summaryShown = shown;
    Q_EMIT changed();
}

void BatchRun::resetCounts()
{
    ++m_countEpoch;
    m_completed = 0;
    m_total = 0;
    Q_EMIT changed();
}

void BatchRun::end()
{
    m_isConverting = false;
    m_flags->cancelled = false;
    m_flags->aborted = false;
    m_startedAt = 0;
    m_remainingMs = -1;
    m_summary = QStringLiteral("%1 done, %2 failed, %3 cancelled")
                    .arg(m_done)
                    .arg(m_failed)
                    .arg(m_cancelled);
    if (m_skipped > 0)
        m_summary += QStringLiteral(", %1 skipped").arg(m_skipped);
    if (m_bytesIn > 0) { // counted for converted files only
        const double ratio = static_cast<double>(m_bytesOut) / static_cast<double>(m_bytesIn);
        const auto percent = static_cast<qint64>(std::lround(std::abs(1.0 - ratio) * 100.0));
        m_summary += QStringLiteral(" \u2014 %1 \u2192 %2 (%3 % %4)")
                         .arg(SizeText::total(m_bytesIn), SizeText::total(m_bytesOut))
                         .arg(percent)
                         .arg(ratio <= 1.0 ? QStringLiteral("smaller") : QStringLiteral("larger"));
    }
    Q_EMIT changed();
    Q_EMIT finished();
}
