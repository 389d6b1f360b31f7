#include "forgedimages.h"

#include "enginefixtures.h"

#include <QtEndian>

#include <zlib.h>

namespace ForgedImages {

namespace {

void appendChunk(QByteArray &png, const QByteArray &type, const QByteArray &data)
{
    char word[4];
    qToBigEndian<quint32>(quint32(data.size()), word);
    png.append(word, 4);
    const QByteArray body = type + data;
    png += body;
    qToBigEndian<quint32>(
        quint32(crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size()))),
        word);
    png.append(word, 4);
}

} // namespace

QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(width, header.data());
    qToBigEndian<quint32>(height, header.data() + 4);
    header[8] = 8; // 8-bit grey
    QByteArray pixels(1024, '\0');
    uLongf size = compressBound(uLong(pixels.size()));
    QByteArray packed(qsizetype(size), '\0');
    compress(reinterpret_cast<Bytef *>(packed.data()), &size,
             reinterpret_cast<const Bytef *>(pixels.constData()), uLong(pixels.size()));
    QByteArray png("\x89PNG\r\n\x1A\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", packed.left(qsizetype(size)));
    appendChunk(png, "IEND", {});
    return png;
}

QByteArray losslessWebp(quint32 width, quint32 height)
{
    // A one-pixel image codes every pixel in zero bits, so its bitstream fits any size: only
    // the VP8L header's 14-bit sides (less one) change.
    const QByteArray small = EngineFixtures::encode(EngineFixtures::flat(1, 1, {0, 0, 0}),
                                                    ".webp[lossless=true,strip=true]");
    const qsizetype at = small.indexOf("VP8L");
    const quint32 length = qFromLittleEndian<quint32>(small.constData() + at + 4);
    QByteArray chunk = small.mid(at, 8 + length + (length & 1));
    const quint32 rest = qFromLittleEndian<quint32>(chunk.constData() + 9) & 0xF0000000;
    qToLittleEndian<quint32>((width - 1) | (height - 1) << 14 | rest, chunk.data() + 9);
    QByteArray riff("RIFF....WEBP", 12);
    qToLittleEndian<quint32>(quint32(4 + chunk.size()), riff.data() + 4);
    return riff + chunk;
}

QByteArray jpegWithScans(int scans)
{
    QByteArray jpeg = EngineFixtures::encode(EngineFixtures::noise(16, 16), ".jpg[interlace=true]");
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

} // namespace ForgedImages
