#pragma once

#include <QByteArray>

/// The metadata chunks of an output file. The encoder runs with "-metadata none", so EXIF and
/// XMP are added afterwards by libwebp's muxer, which also sets the extended header's flags and
/// keeps the chunk order the format asks for.
namespace WebpMetadata {
/// `webp` with an EXIF chunk holding `exif` (a TIFF structure) and an XMP chunk holding `xmp`;
/// an empty block adds no chunk. Empty when `webp` could not be parsed; `webp` as it is when
/// both blocks are empty.
[[nodiscard]] QByteArray added(const QByteArray &webp, const QByteArray &exif,
                               const QByteArray &xmp);
} // namespace WebpMetadata
