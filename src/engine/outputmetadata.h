#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// The EXIF and XMP blocks an output file carries. Always the resolution; with the photo's
/// details kept, also the input's EXIF and XMP (IPTC comes over as XMP), made true of the
/// output: upright orientation, the output's pixel size, no thumbnail, no colour profile, and
/// no location unless that is kept too.
class OutputMetadata
{
public:
    /// What the output should carry.
    struct Request
    {
        bool keepDetails = false;
        bool keepLocation = false;
        /// Written as XResolution and YResolution in inches; none at 0 or less.
        qint64 ppi = 0;
        /// The output's size in pixels.
        int width = 0;
        int height = 0;
    };

    /// The blocks for an output of the input at `inputPath` (the file system's own bytes). The
    /// input is read only when its details are kept. Never throws.
    [[nodiscard]] static OutputMetadata build(const QByteArray &inputPath, const Request &request);

    /// A TIFF structure for the EXIF chunk, empty for none.
    QByteArray exif;
    /// An XMP packet, empty for none.
    QByteArray xmp;
    /// What came over from the input: "exif", "xmp", "location".
    QStringList kept;
    /// Set when the input's details could not be read, with the library's reason.
    QString error;
    QString detail;

    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};
