#pragma once

#include "encodereffort.h"
#include "resizemode.h"

#include <QByteArray>
#include <QString>

#include <atomic>

/// The values a run captures when it starts and hands to every file task of that run.
struct ConversionJob
{
    QString encoderPath;
    qint64 width = 0;
    qint64 height = 0;
    qint64 ppi = 72;
    bool preserveOriginal = false;
    ResizeMode resizeMode = ResizeMode::stretch;
    bool shrinkOnly = false;
    bool sizeLimitEnabled = true;
    qint64 sizeLimitBytes = 300 * 1024;
    qint64 quality = 85;
    EncoderEffort effort = EncoderEffort::best;
    /// Encodes after the first whose output came out over the size limit, each aiming lower.
    int extraEncodesForSizeLimit = 2;
    /// The file system's own bytes, which a name that is not UTF-8 keeps only as bytes.
    QByteArray outputFolder;
};

/// Flags shared between a converter and the tasks of its runs. `cancelled` is the user's Stop;
/// `aborted` means the converter is going away: running encoders are killed and partial
/// outputs removed.
struct RunFlags
{
    std::atomic<bool> cancelled{false};
    std::atomic<bool> aborted{false};
};
