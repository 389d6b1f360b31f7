#include "forgedimages.h"

#include "enginefixtures.h"

#include <QtEndian>

#include <zlib.h>

namespace ForgedImages {

QByteArray pngClaiming(quint32 width, quint32 height)
{
    // A one-pixel grey PNG whose header, and its checksum, are rewritten.
    QByteArray png = EngineFixtures::encode(EngineFixtures::flat(1, 1, {0}), ".png");
    qToBigEndian<quint32>(width, png.data() + 16);
    qToBigEndian<quint32>(height, png.data() + 20);
    const auto header = reinterpret_cast<const Bytef *>(png.constData() + 12);
    qToBigEndian<quint32>(quint32(crc32(0, header, 17)), png.data() + 29);
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
