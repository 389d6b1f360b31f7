#pragma once

/// The number of scans of a JPEG, counted from its markers before any decoding. A progressive
/// JPEG is decoded once per scan, so a file of a few kilobytes with thousands of tiny scans
/// costs a decoder minutes; real photographs have about ten.
namespace JpegScans {
/// More scans than this and the file is refused.
inline constexpr int maxScans = 200;

/// The start-of-scan markers in the JPEG open at `fd`, read from its beginning with `pread`,
/// counting stops once past `maxScans`. A damaged stream counts what was found before the
/// damage; the decoder refuses the rest.
[[nodiscard]] int count(int fd);
} // namespace JpegScans
