#pragma once

/// The chunk checksums of a PNG file. The decoder stops reading once it has every row, so
/// damage after that point, or inside uncompressed pixel data, would otherwise go unseen.
namespace PngChecksums {
/// True when every chunk up to the closing IEND of the PNG open at `fd` is whole and matches
/// its CRC. Reads with `pread`, so the descriptor's offset is left as it was.
[[nodiscard]] bool intact(int fd);
} // namespace PngChecksums
