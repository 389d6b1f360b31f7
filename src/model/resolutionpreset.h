#pragma once

#include "resizemode.h"

#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

/// A named output size. With `preserveOriginal` set, images keep their own pixel size and
/// `width`, `height`, `resizeMode` and `shrinkOnly` are not applied. With `shrinkOnly`, an image
/// already inside the box keeps its size, and fit and fill never enlarge.
struct ResolutionPreset
{
    QUuid id;
    QString name;
    qint64 width = 0;
    qint64 height = 0;
    bool preserveOriginal = false;
    ResizeMode resizeMode = ResizeMode::stretch;
    bool shrinkOnly = false;

    /// A preset with a fresh random id.
    [[nodiscard]] static ResolutionPreset make(const QString &name, qint64 width, qint64 height,
                                               bool preserveOriginal);

    /// A fresh keep-own-size preset named "Original".
    [[nodiscard]] static ResolutionPreset original();
    /// "Original": the name of that preset and the size text of every keep-own-size preset.
    [[nodiscard]] static QString originalName();

    /// "Original" for a keep-own-size preset, otherwise "1920 × 1080", followed by the mode
    /// when it is not a plain stretch: "1920 × 1080 · fit", "1920 × 1080 · fill, shrink only".
    [[nodiscard]] QString sizeText() const;
    /// The size text where the name does not already say it ("Original"); otherwise empty.
    [[nodiscard]] QString sizeTextBesideName() const;
    /// The preset menu's line: "Web  ·  1200 × 800", or the name alone when it says the size.
    [[nodiscard]] QString entryText() const;

    [[nodiscard]] QJsonObject toJson() const;
    /// Strict: a missing key, a wrong type or a malformed id gives no preset. "resizeMode" and
    /// "shrinkOnly" may be missing (stretch, off); a mode this version does not know reads as
    /// stretch, so that a document from a newer version keeps its presets.
    [[nodiscard]] static std::optional<ResolutionPreset> fromJson(const QJsonValue &value);

    friend bool operator==(const ResolutionPreset &, const ResolutionPreset &) = default;
};

size_t qHash(const ResolutionPreset &preset, size_t seed = 0) noexcept;
