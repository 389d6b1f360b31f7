#pragma once

#include <QList>
#include <QString>

#include <optional>

/// The fixed pixels-per-inch choices of the settings, identified by their raw text.
enum class PPIOption
{
    ppi72,
    ppi96,
    ppi150,
    ppi300,
    custom
};

namespace PPIOptions {
/// Every option in menu order.
[[nodiscard]] const QList<PPIOption> &all();
/// The text stored in the settings for an option ("72" ... "Custom").
[[nodiscard]] QString rawValue(PPIOption option);
/// The option whose raw value is exactly `text` (case-sensitive, untrimmed), if any.
[[nodiscard]] std::optional<PPIOption> fromRawValue(const QString &text);
/// The PPI a fixed option stands for; none for `custom`.
[[nodiscard]] std::optional<qint64> fixedValue(PPIOption option);
} // namespace PPIOptions
