#pragma once

#include <QByteArray>
#include <QString>

/// The EXIF and XMP blocks of a HEIF or AVIF file's primary image, read by libheif. The
/// metadata library's own reader of these containers finds too little in them.
namespace HeifMetadata {
struct Blocks
{
    /// A TIFF structure, without the container's offset field; empty for none.
    QByteArray exif;
    /// An XMP packet; empty for none.
    QByteArray xmp;
    /// libheif's reason when the file could not be read.
    QString error;
};

/// The blocks of the file at `path` (the file system's own bytes).
[[nodiscard]] Blocks read(const QByteArray &path);
} // namespace HeifMetadata
