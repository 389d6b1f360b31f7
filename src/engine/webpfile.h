#pragma once

#include <QString>

/// A quick look at what the encoder left at its output path.
namespace WebpFile {
enum class State
{
    /// Nothing there, or only the empty file reserved for it.
    missing,
    /// Something that is not a whole WebP file.
    invalid,
    /// A RIFF "WEBP" file whose RIFF length matches the file's size.
    valid
};

[[nodiscard]] State check(const QString &path);
} // namespace WebpFile
