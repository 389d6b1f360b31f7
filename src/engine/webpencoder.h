#pragma once

#include <QString>

#include <optional>

/// The external `cwebp` command-line encoder.
namespace WebpEncoder {
/// The fixed install locations, then "/usr/bin/which cwebp".
[[nodiscard]] std::optional<QString> locate();
/// The message every selected file shows when no encoder is found.
[[nodiscard]] QString notFoundMessage();
} // namespace WebpEncoder
