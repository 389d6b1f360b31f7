#pragma once

#include <QString>

/// The one rule per setting that the window, the command line and a run all apply. Each check
/// returns an empty text for an allowed value, else a sentence that names the rule.
///
/// The rules bound what can be entered, not what can be stored: a stored document with a value
/// outside a rule loads as it is, and nothing of the user's is rewritten. A run then uses
/// - quality and size limit: the nearest allowed value (`usableQuality`, `usableSizeLimitKB`);
/// - PPI of 0 or less: no resolution is written into the output;
/// - a preset side outside 1 to 16383: each file fails with a message naming the rule, since a
///   stretched size other than the one asked for would be a wrong output.
namespace SettingRules {
inline constexpr qint64 minQuality = 1;
inline constexpr qint64 maxQuality = 100;
/// The encoder takes its target size as a C int of bytes: 2,097,151 KB is the most that fits.
inline constexpr qint64 minSizeLimitKB = 1;
inline constexpr qint64 maxSizeLimitKB = 2'097'151;
inline constexpr qint64 minPPI = 1;
/// Far beyond any screen or printer; it keeps the PPI field to five digits.
inline constexpr qint64 maxPPI = 65535;
/// WebP's largest side (14 bits).
inline constexpr qint64 minSide = 1;
inline constexpr qint64 maxSide = 16383;

[[nodiscard]] QString qualityError(qint64 quality);
[[nodiscard]] QString sizeLimitError(qint64 kilobytes);
[[nodiscard]] QString ppiError(qint64 ppi);
/// `what` is "Width" or "Height".
[[nodiscard]] QString sideError(const QString &what, qint64 pixels);
/// A name of nothing but white space counts as empty.
[[nodiscard]] QString presetNameError(const QString &name);

/// What a run uses for a stored value outside its rule: the nearest allowed value. A stored
/// document keeps such a value as it is; only the run's copy is brought into range.
[[nodiscard]] qint64 usableQuality(qint64 quality);
[[nodiscard]] qint64 usableSizeLimitKB(qint64 kilobytes);
} // namespace SettingRules
