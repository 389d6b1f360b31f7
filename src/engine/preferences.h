#pragma once

#include "convertersettings.h"

#include <QString>
#include <QUrl>

#include <optional>

/// The per-user preferences store (QSettings in the platform's native location, under the
/// application's organisation and name): the settings document and the last output folder.
namespace Preferences {
inline constexpr auto settingsKey = "converterSettingsV5";
inline constexpr auto outputFolderKey = "lastOutputFolder";

/// The stored settings, when there is a document and it decodes as a whole.
[[nodiscard]] std::optional<ConverterSettings> loadSettings();
void saveSettings(const ConverterSettings &settings);

/// The stored output folder: none when the value is missing, empty, unreadable, or names a
/// folder that no longer exists. The stored value is never changed here.
[[nodiscard]] std::optional<QUrl> loadOutputFolder();
/// Remembers `folder`, a local folder, by its absolute path.
void saveOutputFolder(const QUrl &folder);
} // namespace Preferences
