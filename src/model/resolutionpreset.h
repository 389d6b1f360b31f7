#pragma once

#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

/// A named output size. With `preserveOriginal` set, images keep their own pixel size and
/// `width` and `height` are not applied.
struct ResolutionPreset
{
    QUuid id;
    QString name;
    qint64 width = 0;
    qint64 height = 0;
    bool preserveOriginal = false;

    /// A preset with a fresh random id.
    [[nodiscard]] static ResolutionPreset make(const QString &name, qint64 width, qint64 height,
                                               bool preserveOriginal);

    /// A fresh keep-own-size preset named "Original".
    [[nodiscard]] static ResolutionPreset original();
    /// "Original": the name of that preset and the size text of every keep-own-size preset.
    [[nodiscard]] static QString originalName();

    /// "Original" for a keep-own-size preset, otherwise "1920 × 1080".
    [[nodiscard]] QString sizeText() const;

    [[nodiscard]] QJsonObject toJson() const;
    /// Strict: a missing key, a wrong type or a malformed id gives no preset.
    [[nodiscard]] static std::optional<ResolutionPreset> fromJson(const QJsonValue &value);

    friend bool operator==(const ResolutionPreset &, const ResolutionPreset &) = default;
};

size_t qHash(const ResolutionPreset &preset, size_t seed = 0) noexcept;
