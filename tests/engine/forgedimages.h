#pragma once

#include <QByteArray>
#include <QList>

/// Small files that cost a decoder far more than their size suggests.
namespace ForgedImages {
/// A lossless WebP of a few dozen bytes that decodes to `width` × `height` black pixels
/// (each side at most 16384).
[[nodiscard]] QByteArray losslessWebp(quint32 width, quint32 height);
/// A PNG whose header claims `width` × `height` grey pixels, with the pixel data of one.
[[nodiscard]] QByteArray pngClaiming(quint32 width, quint32 height);
/// A small progressive JPEG whose last scan is repeated until it has `scans` scans.
[[nodiscard]] QByteArray jpegWithScans(int scans);

/// A metadata block of a HEIF file: its item type ("Exif", "mime"), content type and bytes.
struct HeifBlock
{
    QByteArray type;
    QByteArray contentType;
    QByteArray bytes;
};
/// A HEIC of `width` × `height` grey pixels that carries `blocks` in the order given.
[[nodiscard]] QByteArray heicWithBlocks(int width, int height, const QList<HeifBlock> &blocks);
} // namespace ForgedImages
