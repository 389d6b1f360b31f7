#pragma once

#include "resizemode.h"

#include <QByteArray>
#include <QString>

#include <vips/vips8>

/// Decodes an input file and redraws it for the encoder: upright, 8-bit sRGB, three bands or
/// four with alpha, stretched, fitted or filled to the target box. Only regular files in one of the
/// formats of `ImageSignature` are decoded. Large images are shrunk while they are decoded, so a
/// reduced preset never holds the full-size pixels.
namespace ImageLoader {
/// WebP's largest side; also the side of the largest input accepted.
inline constexpr qint64 maxSide = 16383;
/// The most pixels converted at an image's own size: 512 MiB as 8-bit RGBA. A larger image
/// converts at any smaller preset.
inline constexpr qint64 maxOriginalPixels = qint64(1) << 27;

/// A decoded bitmap, or the message that says why there is none and the decoder's reason.
struct Result
{
    vips::VImage image;
    QString error;
    QString detail;

    [[nodiscard]] bool ok() const { return error.isEmpty(); }
    /// Whether the bitmap carries an alpha band.
    [[nodiscard]] bool hasAlpha() const { return ok() && image.bands() == 4; }
};

/// Loads the file at `path` (the file system's own bytes) into the box `width` × `height` as
/// `mode` and `shrinkOnly` say (see ResizePlan), or at its own upright size when
/// `preserveOriginal` is set. The pixels are decoded in full before this returns, so a damaged
/// file fails here.
[[nodiscard]] Result load(const QByteArray &path, qint64 width, qint64 height,
                          bool preserveOriginal, ResizeMode mode = ResizeMode::stretch,
                          bool shrinkOnly = false);

[[nodiscard]] QString loadFailedMessage();
[[nodiscard]] QString tooManyPixelsMessage();
[[nodiscard]] QString sideTooLongMessage();
/// For a stored preset with a side under one pixel.
[[nodiscard]] QString sideTooShortMessage();
[[nodiscard]] QString tooLargeForOriginalMessage();
[[nodiscard]] QString tooManyScansMessage();
} // namespace ImageLoader
