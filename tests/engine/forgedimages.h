#pragma once

#include <QByteArray>

/// Small files that cost a decoder far more than their size suggests.
namespace ForgedImages {
/// A lossless WebP of a few dozen bytes that decodes to `width` × `height` black pixels
/// (each side at most 16384).
[[nodiscard]] QByteArray losslessWebp(quint32 width, quint32 height);
/// A PNG whose header claims `width` × `height` grey pixels, with the pixel data of one.
[[nodiscard]] QByteArray pngClaiming(quint32 width, quint32 height);
/// A small progressive JPEG whose last scan is repeated until it has `scans` scans.
[[nodiscard]] QByteArray jpegWithScans(int scans);
} // namespace ForgedImages
