#pragma once

#include <QList>
#include <QString>

#include <optional>

/// How an image meets a preset's width × height box.
enum class ResizeMode
{
    /// Exactly the box, the aspect ratio not kept.
    stretch,
    /// Inside the box, the aspect ratio kept.
    fit,
    /// Covers the box, the aspect ratio kept, then cut to the box around the centre.
    fill
};

namespace ResizeModes {
/// Every mode in menu order.
[[nodiscard]] const QList<ResizeMode> &all();
/// The text stored in a preset and given on the command line: "stretch", "fit" or "fill".
[[nodiscard]] QString rawValue(ResizeMode mode);
/// The mode whose raw value is exactly `text`, if any.
[[nodiscard]] std::optional<ResizeMode> fromRawValue(const QString &text);
} // namespace ResizeModes
