#pragma once

#include <QString>

/// The one rule per setting that the window, the command line and a run all apply. Each check
/// returns an empty text for an allowed value, else a sentence that names the rule.
namespace SettingRules {
inline constexpr qint64 minQuality = 1;
inline constexpr qint64 maxQuality = 100;
/// The encoder takes its target size as a C int of bytes: 2,097,151 KB is the most that fits.
inline constexpr qint64 minSizeLimitKB = 1;
inline constexpr qint64 maxSizeLimitKB = 2'097'151;
inline constexpr qint64 minPPI = 1;
/// WebP's largest side.
inline constexpr qint64 minSide = 1;
inline constexpr qint64 maxSide = 16383;

[[nodiscard]] QString qualityError(qint64 quality);
[[nodiscard]] QString sizeLimitError(qint64 kilobytes);
[[nodiscard]] QString ppiError(qint64 ppi);
/// `what` is "Width" or "Height".
[[nodiscard]] QString sideError(const QString &what, qint64 pixels);
[[nodiscard]] QString presetNameError(const QString &name);

/// What a run uses for a stored value outside its rule: the nearest allowed value. A stored
/// document keeps such a value as it is; only the run's copy is brought into range.
[[nodiscard]] qint64 usableQuality(qint64 quality);
[[nodiscard]] qint64 usableSizeLimitKB(qint64 kilobytes);
} // namespace SettingRules
