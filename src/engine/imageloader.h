#pragma once

#include <QString>

#include <vips/vips8>

/// Decodes an input file and redraws it for the encoder: upright, 8-bit sRGB, three bands or
/// four with alpha, stretched to the target size. Only regular files in one of the formats of
/// `ImageSignature` are decoded, and each with its own decoder.
namespace ImageLoader {
/// WebP's largest side; also the side of the largest input accepted.
inline constexpr qint64 maxSide = 16383;

/// A decoded bitmap, or the message that says why there is none.
struct Result
{
    vips::VImage image;
    QString error;

    [[nodiscard]] bool ok() const { return error.isEmpty(); }
    /// Whether the bitmap carries an alpha band.
    [[nodiscard]] bool hasAlpha() const { return ok() && image.bands() == 4; }
};

/// Loads `path` at `width` × `height`, or at its own upright size when `preserveOriginal` is set.
/// The pixels are decoded in full before this returns, so a damaged file fails here.
[[nodiscard]] Result load(const QString &path, qint64 width, qint64 height, bool preserveOriginal);

[[nodiscard]] QString loadFailedMessage();
[[nodiscard]] QString tooManyPixelsMessage();
[[nodiscard]] QString sideTooLongMessage();
} // namespace ImageLoader
