#pragma once

#include "conversionstatus.h"
#include "convertoptions.h"

#include <QObject>
#include <QTextStream>

class ImageConverter;

/// `tessel convert`: drives a converter without a window, prints one line per finished file
/// and a summary, and answers Ctrl+C and SIGTERM as Stop. Never changes the stored settings.
class HeadlessConversion : public QObject
{
    Q_OBJECT

public:
    enum ExitCode
    {
        AllDone = 0,
        /// Also when a path on the command line is missing or not an image.
        SomeFailed = 1,
        UsageError = 2,
        Interrupted = 130
    };

    HeadlessConversion(ConvertOptions options, ImageConverter *converter);

    /// Checks the options against the stored settings and the paths, naming each path that
    /// cannot be converted, and starts; false (with the exit code in `exitCode`) when there is
    /// nothing to run.
    [[nodiscard]] bool start(int *exitCode);
    /// Stops the run as the window's Stop does; `signal` decides the exit code.
    void interrupt(int signal);

Q_SIGNALS:
    void finished(int exitCode);

private:
    bool applyOptions();
    void usageError(const QString &message);
    void report(const QByteArray &path, const ConversionStatus &status);
    void printProgress();
    void finish();

    ConvertOptions m_options;
    ImageConverter *m_converter;
    QTextStream m_out;
    QTextStream m_err;
    bool m_progress = false;
    int m_signal = 0;
    bool m_finished = false;
    /// A path on the command line could not be converted as given.
    bool m_badPaths = false;
    qint64 m_done = 0;
    qint64 m_failed = 0;
    qint64 m_cancelled = 0;
    qint64 m_skipped = 0;
};
