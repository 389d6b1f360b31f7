#pragma once

#include <QJsonObject>

#include <optional>

/// Where outputs go and what happens when a name is taken: kept in the settings document and
/// captured by each run. The defaults are a flat output folder, a number added to a taken name,
/// and outputs dated when they were written.
struct OutputOptions
{
    /// A file found in an added folder lands below the output folder in that folder's name and
    /// its path below it.
    bool keepFolders = false;
    /// A file whose output name is taken is skipped instead of getting a number.
    bool skipExisting = false;
    /// Each output takes its input's modification time.
    bool keepDates = false;

    /// Adds the options' keys to a settings document.
    void writeTo(QJsonObject &object) const;
    /// The options in `object`, each absent key at its default; nothing when a key holds
    /// anything but a boolean.
    [[nodiscard]] static std::optional<OutputOptions> readFrom(const QJsonObject &object);

    friend bool operator==(const OutputOptions &, const OutputOptions &) = default;
};
