#pragma once

#include <QString>

#include <cerrno>

/// The system's own words for an error number, in the user's language, as shown next to the
/// file or folder it happened to.
namespace SystemError {
[[nodiscard]] QString text(int error = errno);
} // namespace SystemError
