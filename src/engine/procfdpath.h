#pragma once

#include <QString>

/// The path under which another process (the encoder) opens a file that this process holds
/// open: "/proc/<this pid>/fd/<n>". It names the open file itself, whatever name (if any) it
/// has in a folder, and stops working the moment this process ends.
namespace ProcFdPath {
[[nodiscard]] QString of(int fd);
} // namespace ProcFdPath
