#pragma once

#include <QByteArray>

/// The container formats that the converter decodes, told apart by a file's first bytes rather
/// than by its name, so that only the decoders chosen here ever see an input.
namespace ImageSignature {
enum class Format
{
    unknown,
    jpeg,
    png,
    gif,
    webp,
    tiff,
    heif,
    bmp
};

/// How many leading bytes `sniff` needs at most.
inline constexpr int headerLength = 16;

/// The format whose signature `head` starts with, or `unknown`.
[[nodiscard]] Format sniff(const QByteArray &head);
} // namespace ImageSignature
