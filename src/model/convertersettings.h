#pragma once

#include "encodereffort.h"
#include "outputoptions.h"
#include "resolutionpreset.h"

#include <QByteArray>
#include <QList>
#include <QUuid>

#include <optional>

/// The user's conversion choices: presets and the selected one, PPI, quality, size limit and
/// encoder effort.
/// A plain value, stored as one JSON document.
struct ConverterSettings
{
    QList<ResolutionPreset> presets;
    std::optional<QUuid> selectedPresetID;
    QString ppiOption = QStringLiteral("72");
    qint64 customPPI = 72;
    bool fileSizeLimitEnabled = true;
    qint64 fileSizeLimitKB = 300;
    qint64 quality = 85;
    OutputOptions output;
    /// An animated GIF or WebP becomes a still of its first frame instead of an animation.
    bool firstFrameOnly = false;
    /// Whether outputs carry the photo's EXIF and XMP, and with them its location.
    bool keepPhotoDetails = false;
    bool keepLocation = false;
    EncoderEffort effort = EncoderEffort::best;

    /// Compact JSON; "selectedPresetID" only when a preset is selected. "firstFrameOnly" may be
    /// absent on reading (a document from before it), and then reads as false.
    [[nodiscard]] QByteArray toJson() const;
    /// Decodes a whole document or nothing: any missing required key, wrong type, malformed id
    /// or bad preset fails it. Keys added later may be missing and then keep their defaults;
    /// an effort this version does not know reads as best.
    [[nodiscard]] static std::optional<ConverterSettings> fromJson(const QByteArray &json);
};
