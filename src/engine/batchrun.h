#pragma once

#include "conversionjob.h"
#include "fileitem.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QThreadPool>

#include <deque>
#include <memory>

class FileListModel;

/// One run of conversions over the files that were selected when it started and those added to
/// the list while it runs. Files are handed to the worker pool only as workers come free, so a
/// row shows "Converting…" exactly while its file is being converted and "Waiting" until then.
/// Each file comes back to the GUI thread once, with its result, also when its row was removed
/// meanwhile.
class BatchRun : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isConverting READ isConverting NOTIFY changed)
    Q_PROPERTY(bool isStopping READ isStopping NOTIFY changed)
    Q_PROPERTY(int runningCount READ runningCount NOTIFY changed)
    Q_PROPERTY(qint64 completedCount READ completedCount NOTIFY changed)
    Q_PROPERTY(qint64 totalCount READ totalCount NOTIFY changed)
    Q_PROPERTY(qint64 startedAt READ startedAt NOTIFY changed)
    Q_PROPERTY(qint64 remainingMs READ remainingMs NOTIFY changed)
    Q_PROPERTY(QString summaryText READ summaryText NOTIFY changed)

public:
    explicit BatchRun(FileListModel *files, QObject *parent = nullptr);
    /// Kills running encoders and waits for the workers; no result arrives after this.
    ~BatchRun() override;

    [[nodiscard]] bool isConverting() const { return m_isConverting; }
    [[nodiscard]] bool isCancelled() const { return m_flags->cancelled.load(); }
    /// Stopped, with files still being converted.
    [[nodiscard]] bool isStopping() const { return m_isConverting && isCancelled(); }
    /// Files being converted right now.
    [[nodiscard]] int runningCount() const { return m_running; }
    [[nodiscard]] qint64 completedCount() const { return m_completed; }
    [[nodiscard]] qint64 totalCount() const { return m_total; }
    /// Milliseconds since the epoch when the run started; 0 when idle.
    [[nodiscard]] qint64 startedAt() const { return m_startedAt; }
    /// An estimate of the time the run still needs, from the pace so far; -1 when unknown.
    [[nodiscard]] qint64 remainingMs() const { return m_remainingMs; }
    /// One line about the last run that ended, while any of its files is still in the list;
    /// empty during a run and before the first.
    [[nodiscard]] QString summaryText() const
    {
        return m_isConverting || !m_summaryShown ? QString() : m_summary;
    }

    /// Starts converting `items` with `job`; nothing happens while a run is under way.
    void start(const QList<FileItem> &items, const ConversionJob &job);
    /// Adds `items`, new rows of the list, to the run under way: they wait behind the others
    /// and count in the total, or end cancelled at once when the run is stopping. Nothing
    /// happens when no run is under way.
    void join(const QList<FileItem> &items);
    /// Files not yet started end cancelled at once; running ones end as their work ends.
    Q_INVOKABLE void stop();
    /// Stops, and ends the running encoders at once: their files end cancelled and leave
    /// nothing behind.
    Q_INVOKABLE void stopNow();
    /// Sets both counters to 0; results of the files now in the run no longer count, those of
    /// files that join later do.
    void resetCounts();

Q_SIGNALS:
    /// `isConverting`, `isCancelled`, the counters, the estimate or the summary changed.
    void changed();
    /// A file of the run has its final status, carried by `item` with the input's size.
    void fileFinished(const FileItem &item);
    /// Every file of the run has its final status.
    void finished();

private:
    /// A file of the run. It counts towards `completedCount` only when the counters have not
    /// been reset since it joined.
    struct Member
    {
        FileItem item;
        int countEpoch = 0;
    };

    struct Result
    {
        ConversionStatus status;
        qint64 inputSize = -1;
    };

    /// Hands waiting files to free workers; ends the run when nothing is left.
    void startWaiting();
    void convert(const Member &member);
    /// Shows a file's final status and counts it.
    void record(const Member &member, const Result &result);
    void end();
    /// Shows the summary exactly while one of the last run's files is in the list.
    void updateSummaryShown();

    FileListModel *m_files;
    QThreadPool m_pool;
    std::shared_ptr<RunFlags> m_flags = std::make_shared<RunFlags>();
    ConversionJob m_job;
    std::deque<Member> m_waiting;
    int m_running = 0;

    bool m_isConverting = false;
    /// Goes up with every reset of the counters.
    int m_countEpoch = 0;
    qint64 m_completed = 0;
    qint64 m_total = 0;
    qint64 m_startedAt = 0;
    qint64 m_remainingMs = -1;
    QElapsedTimer m_clock;
    QString m_summary;
    /// The files of the run under way or of the last one.
    QSet<QUuid> m_runIds;
    bool m_summaryShown = false;

    // Tallies of this run for the summary.
    qint64 m_done = 0;
    qint64 m_failed = 0;
    qint64 m_cancelled = 0;
    qint64 m_skipped = 0;
    qint64 m_bytesIn = 0;
    qint64 m_bytesOut = 0;
};
