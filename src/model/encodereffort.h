#pragma once

#include <QList>
#include <QString>

#include <optional>

/// How much encoder time a file may take for a smaller output.
enum class EncoderEffort
{
    /// The most analysis, which a size limit's search uses best.
    best,
    /// Several times faster, files within about 1 % of best's size.
    balanced,
    /// The fastest, files within about 5 % of best's size.
    fast
};

namespace EncoderEfforts {
/// Every effort in menu order.
[[nodiscard]] const QList<EncoderEffort> &all();
/// The text stored in the settings and given on the command line: "best", "balanced", "fast".
[[nodiscard]] QString rawValue(EncoderEffort effort);
/// The effort whose raw value is exactly `text`, if any.
[[nodiscard]] std::optional<EncoderEffort> fromRawValue(const QString &text);
} // namespace EncoderEfforts
