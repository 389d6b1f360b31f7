#include "forgedimages.h"

#include "enginefixtures.h"

#include <QtEndian>

#include <libheif/heif.h>
#include <memory>
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

QByteArray heicWithBlocks(int width, int height, const QList<HeifBlock> &blocks)
{
    const std::unique_ptr<heif_context, void (*)(heif_context *)> context(heif_context_alloc(),
                                                                          heif_context_free);
    heif_image *picture = nullptr;
    heif_encoder *encoder = nullptr;
    heif_image_handle *handle = nullptr;
    if (heif_image_create(width, height, heif_colorspace_monochrome, heif_chroma_monochrome,
                          &picture)
            .code != heif_error_Ok)
        return {};
    const std::unique_ptr<heif_image, void (*)(const heif_image *)> image(picture,
                                                                          heif_image_release);
    heif_image_add_plane(picture, heif_channel_Y, width, height, 8);
    int stride = 0;
    uint8_t *plane = heif_image_get_plane(picture, heif_channel_Y, &stride);
    for (int y = 0; y < height; ++y)
        std::fill_n(plane + y * stride, width, uint8_t(128));
    if (heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &encoder).code !=
        heif_error_Ok)
        return {};
    const heif_error encoded =
        heif_context_encode_image(context.get(), picture, encoder, nullptr, &handle);
    heif_encoder_release(encoder);
    if (encoded.code != heif_error_Ok)
        return {};
    const std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle *)> primary(
        handle, heif_image_handle_release);
    for (const HeifBlock &block : blocks) {
        if (heif_context_add_generic_metadata(context.get(), handle, block.bytes.constData(),
                                              int(block.bytes.size()), block.type.constData(),
                                              block.contentType.constData())
                .code != heif_error_Ok)
            return {};
    }
    QByteArray file;
    heif_writer writer{};
    writer.writer_api_version = 1;
    writer.write = [](heif_context *, const void *data, size_t size, void *target) {
        static_cast<QByteArray *>(target)->append(static_cast<const char *>(data), qsizetype(size));
        return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
    };
    if (heif_context_write(context.get(), &writer, &file).code != heif_error_Ok)
        return {};
    return file;
}

} // namespace ForgedImages
