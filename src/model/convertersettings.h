#pragma once

#include "encodereffort.h"
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
    EncoderEffort effort = EncoderEffort::best;

    /// Compact JSON; "selectedPresetID" only when a preset is selected.
    [[nodiscard]] QByteArray toJson() const;
    /// Decodes a whole document or nothing: any missing required key, wrong type, malformed id
    /// or bad preset fails it. "encoderEffort" may be missing (best); an effort this version
    /// does not know reads as best.
    [[nodiscard]] static std::optional<ConverterSettings> fromJson(const QByteArray &json);
};
