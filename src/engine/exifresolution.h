#pragma once

#include <QByteArray>
#include <QString>

/// The resolution of an output file. The encoder runs with "-metadata none", so the PPI is
/// added afterwards as an EXIF chunk that holds nothing else.
namespace ExifResolution {
/// The EXIF payload: a little-endian TIFF structure with one directory of XResolution and
/// YResolution (`ppi`/1) and ResolutionUnit (inch).
[[nodiscard]] QByteArray block(quint32 ppi);

/// Adds that chunk to the WebP file at `path`, replacing it through a sibling file so that a
/// failure leaves the original as it was. Does nothing for a `ppi` of 0 or less. False when the
/// file could not be read, parsed or written.
[[nodiscard]] bool addTo(const QString &path, qint64 ppi);
} // namespace ExifResolution
