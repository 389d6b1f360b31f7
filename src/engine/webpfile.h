#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

/// What the encoder wrote, as libwebp's demuxer sees it.
namespace WebpFile {
enum class State
{
    /// Nothing there, or an empty file.
    missing,
    /// Something that is not a whole WebP file.
    invalid,
    /// A complete WebP file with a picture of at least one pixel.
    valid
};

[[nodiscard]] State check(const QByteArray &bytes);
/// The state of the file at `path`.
[[nodiscard]] State checkFile(const QString &path);
/// The picture's size read from the header of the WebP file at `path`; empty when it has none.
[[nodiscard]] QSize dimensions(const QString &path);
} // namespace WebpFile
