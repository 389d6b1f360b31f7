#pragma once

#include "encodereffort.h"
#include "outputoptions.h"
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
    /// Whether the output carries the input's EXIF and XMP, and with them its location.
    bool keepPhotoDetails = false;
    bool keepLocation = false;
    /// The file system's own bytes, which a name that is not UTF-8 keeps only as bytes.
    QByteArray outputFolder;
    OutputOptions output;
    /// An animated GIF or WebP becomes a still of its first frame.
    bool firstFrameOnly = false;
    /// The animation encoder; empty when there is none, and then an animation fails.
    QString animationEncoderPath;
};

/// Flags shared between a converter and the tasks of its runs. `cancelled` is the user's Stop;
/// `aborted` is Stop now, or the converter going away: running encoders are killed and partial
/// outputs removed.
struct RunFlags
{
    std::atomic<bool> cancelled{false};
    std::atomic<bool> aborted{false};
};
