#include "forgedimages.h"

#include "enginefixtures.h"

#include <QtEndian>

#include <zlib.h>

using vips::VImage;

namespace ForgedImages {

namespace {

void appendBigEndian(QByteArray &out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((value >> shift) & 0xFF));
}

void appendChunk(QByteArray &png, const QByteArray &type, const QByteArray &data)
{
    appendBigEndian(png, quint32(data.size()));
    const QByteArray body = type + data;
    png += body;
    appendBigEndian(png, quint32(crc32(0, reinterpret_cast<const Bytef *>(body.constData()),
                                       uInt(body.size()))));
}

QByteArray compressed(const QByteArray &data)
{
    QByteArray out(int(compressBound(uLong(data.size()))), '\0');
    uLongf size = uLongf(out.size());
    compress2(reinterpret_cast<Bytef *>(out.data()), &size,
              reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()), 9);
    out.resize(qsizetype(size));
    return out;
}

template <typename T> void put(QByteArray &bytes, qsizetype at, T value, bool bigEndian)
{
    if (bigEndian)
        qToBigEndian(value, bytes.data() + at);
    else
        qToLittleEndian(value, bytes.data() + at);
}

/// Offset of the first JPEG marker `code` (the 0xFF byte), walking the segments.
qsizetype jpegMarker(const QByteArray &jpeg, uchar code)
{
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        if (uchar(jpeg[at + 1]) == code)
            return at;
        at += 2 + qFromBigEndian<quint16>(jpeg.constData() + at + 2);
    }
    return -1;
}

struct Chunk
{
    QByteArray type;
    QByteArray data;
};

QList<Chunk> chunks(const QByteArray &png)
{
    QList<Chunk> all;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const auto length = qsizetype(qFromBigEndian<quint32>(png.constData() + at));
        all.append({png.mid(at + 4, 4), png.mid(at + 8, length)});
        at += 12 + length;
    }
    return all;
}

QByteArray bigEndian(std::initializer_list<quint32> values)
{
    QByteArray out;
    for (const quint32 value : values)
        appendBigEndian(out, value);
    return out;
}

} // namespace

QByteArray encode(const VImage &image, const char *suffix)
{
    void *buffer = nullptr;
    size_t size = 0;
    image.write_to_buffer(suffix, &buffer, &size);
    QByteArray bytes(static_cast<const char *>(buffer), qsizetype(size));
    g_free(buffer);
    return bytes;
}

QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray ihdr;
    appendBigEndian(ihdr, width);
    appendBigEndian(ihdr, height);
    ihdr.append("\x08\x00\x00\x00\x00", 5);
    QByteArray png("\x89PNG\r\n\x1A\n", 8);
    appendChunk(png, "IHDR", ihdr);
    appendChunk(png, "IDAT", compressed(QByteArray(1024, '\0')));
    appendChunk(png, "IEND", {});
    return png;
}

QByteArray pngWithChunk(const QByteArray &type, const QByteArray &data)
{
    QByteArray png = encode(EngineFixtures::noise(16, 16), ".png");
    const QByteArray end = png.right(12);
    png.chop(12);
    appendChunk(png, type, data);
    return png + end;
}

QByteArray withChunkAfterHeader(const QByteArray &png, const QByteArray &type,
                                const QByteArray &data)
{
    QByteArray out = png.left(8 + 12 + 13);
    appendChunk(out, type, data);
    return out + png.mid(8 + 12 + 13);
}

QByteArray animatedPng(const QByteArray &first, const QByteArray &second)
{
    const QList<Chunk> one = chunks(first);
    const quint32 width = qFromBigEndian<quint32>(one.first().data.constData());
    const quint32 height = qFromBigEndian<quint32>(one.first().data.constData() + 4);
    // Sequence number, size, offset, delay 1/10 s, no disposal, no blending.
    const auto frameControl = [&](quint32 sequence) {
        return bigEndian({sequence, width, height, 0, 0}) +
               QByteArray("\x00\x01\x00\x0A\x00\x00", 6);
    };
    QByteArray out("\x89PNG\r\n\x1A\n", 8);
    appendChunk(out, "IHDR", one.first().data);
    appendChunk(out, "acTL", bigEndian({2, 0}));
    appendChunk(out, "fcTL", frameControl(0));
    for (const Chunk &chunk : one) {
        if (chunk.type == "IDAT")
            appendChunk(out, "IDAT", chunk.data);
    }
    appendChunk(out, "fcTL", frameControl(1));
    quint32 sequence = 2;
    for (const Chunk &chunk : chunks(second)) {
        if (chunk.type == "IDAT")
            appendChunk(out, "fdAT", bigEndian({sequence++}) + chunk.data);
    }
    appendChunk(out, "IEND", {});
    return out;
}

QByteArray compressedText(qint64 inflated)
{
    // Streamed, so that the zeros are never all in memory at once.
    const QByteArray zeros(1 << 20, '\0');
    QByteArray out("Comment\0\0", 9);
    z_stream stream{};
    deflateInit(&stream, Z_BEST_SPEED);
    QByteArray chunk(1 << 16, '\0');
    for (qint64 left = inflated; left >= 0; left -= zeros.size()) {
        const bool last = left <= zeros.size();
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
        stream.avail_in = uInt(std::min<qint64>(left, zeros.size()));
        do {
            stream.next_out = reinterpret_cast<Bytef *>(chunk.data());
            stream.avail_out = uInt(chunk.size());
            deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            out.append(chunk.constData(), chunk.size() - qsizetype(stream.avail_out));
        } while (stream.avail_out == 0);
        if (last)
            break;
    }
    deflateEnd(&stream);
    return out;
}

QByteArray jpegClaiming(quint16 width, quint16 height, bool progressive)
{
    QByteArray jpeg =
        encode(EngineFixtures::noise(16, 16), progressive ? ".jpg[interlace=true]" : ".jpg");
    const qsizetype frame = jpegMarker(jpeg, progressive ? 0xC2 : 0xC0);
    put<quint16>(jpeg, frame + 5, height, true);
    put<quint16>(jpeg, frame + 7, width, true);
    return jpeg;
}

QByteArray jpegWithScans(int scans)
{
    QByteArray jpeg = encode(EngineFixtures::noise(16, 16), ".jpg[interlace=true]");
    // The last scan runs from its SOS marker up to the closing EOI.
    const qsizetype last = jpeg.lastIndexOf(QByteArray("\xFF\xDA", 2));
    const QByteArray scan = jpeg.mid(last, jpeg.size() - 2 - last);
    const int existing = int(jpeg.count(QByteArray("\xFF\xDA", 2)));
    QByteArray repeated;
    for (int i = existing; i < scans; ++i)
        repeated += scan;
    jpeg.insert(jpeg.size() - 2, repeated);
    return jpeg;
}

QByteArray gifClaiming(quint16 width, quint16 height, bool frameToo)
{
    QByteArray gif = encode(EngineFixtures::noise(8, 8), ".gif");
    put<quint16>(gif, 6, width, false);
    put<quint16>(gif, 8, height, false);
    if (frameToo) {
        // The image descriptor follows the global colour table and any extensions.
        const qsizetype descriptor = gif.indexOf(QByteArray("\x2C\x00\x00\x00\x00", 5));
        put<quint16>(gif, descriptor + 5, width, false);
        put<quint16>(gif, descriptor + 7, height, false);
    }
    return gif;
}

QByteArray webpClaiming(quint32 width, quint32 height)
{
    QByteArray webp = encode(EngineFixtures::flat(8, 8, {10, 20, 30, 128}), ".webp");
    // RIFF header (12), "VP8X", its size (4), flags (4), then the canvas size less one,
    // 24 bits each.
    const quint32 w = width - 1;
    const quint32 h = height - 1;
    for (int i = 0; i < 3; ++i) {
        webp[24 + i] = char((w >> (8 * i)) & 0xFF);
        webp[27 + i] = char((h >> (8 * i)) & 0xFF);
    }
    return webp;
}

QByteArray tiffClaiming(quint32 width, quint32 height)
{
    QByteArray tiff = encode(EngineFixtures::noise(8, 8), ".tif");
    const bool big = tiff.startsWith("MM");
    const auto read16 = [&](qsizetype at) {
        return big ? qFromBigEndian<quint16>(tiff.constData() + at)
                   : qFromLittleEndian<quint16>(tiff.constData() + at);
    };
    const qsizetype ifd = big ? qFromBigEndian<quint32>(tiff.constData() + 4)
                              : qFromLittleEndian<quint32>(tiff.constData() + 4);
    for (int i = 0; i < read16(ifd); ++i) {
        const qsizetype entry = ifd + 2 + 12 * i;
        const quint16 tag = read16(entry);
        if (tag != 256 && tag != 257)
            continue;
        put<quint16>(tiff, entry + 2, 4, big); // LONG
        put<quint32>(tiff, entry + 4, 1, big);
        put<quint32>(tiff, entry + 8, tag == 256 ? width : height, big);
    }
    return tiff;
}

QByteArray heifClaiming(const char *suffix, quint32 width, quint32 height)
{
    QByteArray heif = encode(EngineFixtures::noise(64, 64), suffix);
    // "ispe", version and flags (4), width (4), height (4).
    for (qsizetype at = heif.indexOf("ispe"); at >= 0; at = heif.indexOf("ispe", at + 4)) {
        put<quint32>(heif, at + 8, width, true);
        put<quint32>(heif, at + 12, height, true);
    }
    return heif;
}

QByteArray bmpClaiming(qint32 width, qint32 height)
{
    QByteArray bmp = encode(EngineFixtures::noise(8, 8), ".bmp");
    put<qint32>(bmp, 18, width, false);
    put<qint32>(bmp, 22, height, false);
    return bmp;
}

} // namespace ForgedImages
