#pragma once

#include <QByteArray>
#include <QString>

/// A file's dates carried over to another file.
namespace FileDates {
/// Gives the file open at `fd` the modification time of the file at `fromPath`, to the
/// nanosecond where the file systems keep it; its access time is left alone. On failure gives
/// the system's reason.
[[nodiscard]] QString copyModificationTime(const QByteArray &fromPath, int fd);
} // namespace FileDates
