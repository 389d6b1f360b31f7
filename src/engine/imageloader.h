#pragma once

#include "resizemode.h"

#include <QByteArray>
#include <QString>

#include <vips/vips8>

#include <vector>

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

/// The most pixels of all frames of an animation together, at the output size: 512 MiB as
/// 8-bit RGBA, like the largest still.
inline constexpr qint64 maxAnimationPixels = maxOriginalPixels;
/// The most frames of an animation; each is handed to the encoder as a file of its own.
inline constexpr qint64 maxFrames = 4096;

/// Which pages of an animated GIF or WebP are decoded.
enum class Frames
{
    first,
    all
};

/// A decoded bitmap, or the message that says why there is none and the decoder's reason.
/// The frames of an animation are stacked top to bottom, each `image.height() / frameCount`
/// rows high.
struct Result
{
    vips::VImage image;
    QString error;
    QString detail;
    int frameCount = 1;
    /// Each frame's duration in milliseconds, as the file gives it, one for every frame
    /// (animations only).
    std::vector<int> delays;
    /// How often the animation plays; 0 for ever.
    int loop = 0;

    [[nodiscard]] bool ok() const { return error.isEmpty(); }
    /// Whether the bitmap carries an alpha band.
    [[nodiscard]] bool hasAlpha() const { return ok() && image.bands() == 4; }
};

/// Loads the file at `path` (the file system's own bytes) into the box `width` × `height` as
/// `mode` and `shrinkOnly` say (see ResizePlan), or at its own upright size when
/// `preserveOriginal` is set. The pixels are decoded in full before this returns, so a damaged
/// file fails here. With `Frames::all`, every frame of an animated GIF or WebP is redrawn alike,
/// each at the size a still would have.
[[nodiscard]] Result load(const QByteArray &path, qint64 width, qint64 height,
                          bool preserveOriginal, Frames frames = Frames::first,
                          ResizeMode mode = ResizeMode::stretch, bool shrinkOnly = false);

[[nodiscard]] QString loadFailedMessage();
[[nodiscard]] QString tooManyPixelsMessage();
[[nodiscard]] QString sideTooLongMessage();
/// For a stored preset with a side under one pixel.
[[nodiscard]] QString sideTooShortMessage();
[[nodiscard]] QString tooLargeForOriginalMessage();
[[nodiscard]] QString tooManyScansMessage();
[[nodiscard]] QString animationTooLargeMessage();
[[nodiscard]] QString tooManyFramesMessage();
} // namespace ImageLoader
