#pragma once

#include <QByteArray>

/// The resolution of an output file. The encoder runs with "-metadata none", so the PPI is
/// added afterwards as an EXIF chunk that holds nothing else.
namespace ExifResolution {
/// The EXIF payload: a little-endian TIFF structure with one directory of XResolution and
/// YResolution (`ppi`/1) and ResolutionUnit (inch).
[[nodiscard]] QByteArray block(quint32 ppi);

/// `webp` with that chunk added, or an empty array when it could not be parsed. `webp` as it
/// is for a `ppi` of 0 or less.
[[nodiscard]] QByteArray added(const QByteArray &webp, qint64 ppi);
} // namespace ExifResolution
