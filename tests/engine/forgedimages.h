#pragma once

#include <QByteArray>

#include <vips/vips8>

/// Image files whose headers lie, built by patching small real files: headers that claim huge
/// sizes, streams with thousands of scans, metadata that inflates to far more than the file.
namespace ForgedImages {
/// The bytes of `image` encoded in the format of `suffix` (".png", ".jpg[Q=90]", …).
[[nodiscard]] QByteArray encode(const vips::VImage &image, const char *suffix);

/// A PNG whose header claims `width` × `height` grey pixels, with a few bytes of pixel data.
[[nodiscard]] QByteArray pngClaiming(quint32 width, quint32 height);
/// A small valid PNG with one extra chunk of `type` holding `data` before its end.
[[nodiscard]] QByteArray pngWithChunk(const QByteArray &type, const QByteArray &data);
/// `png` with a chunk of `type` holding `data` added right after its header chunk.
[[nodiscard]] QByteArray withChunkAfterHeader(const QByteArray &png, const QByteArray &type,
                                              const QByteArray &data);
/// An animated PNG of two frames, made from two PNGs of the same size and kind.
[[nodiscard]] QByteArray animatedPng(const QByteArray &first, const QByteArray &second);
/// A compressed text chunk body that inflates to `inflated` bytes of zeros.
[[nodiscard]] QByteArray compressedText(qint64 inflated);

/// A small JPEG (progressive when `progressive`) whose frame header claims `width` × `height`.
[[nodiscard]] QByteArray jpegClaiming(quint16 width, quint16 height, bool progressive = false);
/// A small progressive JPEG whose last scan is repeated until it has `scans` scans.
[[nodiscard]] QByteArray jpegWithScans(int scans);
/// A GIF whose screen is `width` × `height`; its one frame claims the same size when
/// `frameToo`, else it stays 8 × 8.
[[nodiscard]] QByteArray gifClaiming(quint16 width, quint16 height, bool frameToo);
/// An extended WebP (with alpha) whose canvas claims `width` × `height`.
[[nodiscard]] QByteArray webpClaiming(quint32 width, quint32 height);
/// A TIFF whose first directory claims `width` × `height`.
[[nodiscard]] QByteArray tiffClaiming(quint32 width, quint32 height);
/// A HEIF file (`suffix` ".heic" or ".avif") whose spatial-extent property claims the size.
[[nodiscard]] QByteArray heifClaiming(const char *suffix, quint32 width, quint32 height);
/// A BMP whose header claims `width` × `height`.
[[nodiscard]] QByteArray bmpClaiming(qint32 width, qint32 height);
} // namespace ForgedImages
