#pragma once

#include <QByteArray>

/// The chunk checksums of a PNG file. The decoder stops reading once it has every row, so
/// damage after that point, or inside uncompressed pixel data, would otherwise go unseen.
namespace PngChecksums {
/// True when every chunk up to the closing IEND is whole and matches its CRC.
[[nodiscard]] bool intact(const QByteArray &path);
} // namespace PngChecksums
