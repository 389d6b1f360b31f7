#include "exifresolution.h"

#include <QtEndian>

#include <limits>
#include <webp/mux.h>

namespace ExifResolution {

namespace {

// TIFF field types and tags used here.
constexpr quint16 typeShort = 3;
constexpr quint16 typeRational = 5;
constexpr quint16 tagXResolution = 0x011A;
constexpr quint16 tagYResolution = 0x011B;
constexpr quint16 tagResolutionUnit = 0x0128;
constexpr quint16 unitInch = 2;

template <typename T> void append(QByteArray &out, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

void appendEntry(QByteArray &out, quint16 tag, quint16 type, quint32 valueOrOffset)
{
    append<quint16>(out, tag);
    append<quint16>(out, type);
    append<quint32>(out, 1);
    append<quint32>(out, valueOrOffset);
}

} // namespace

QByteArray block(quint32 ppi)
{
    // Built by hand: 58 bytes are not worth an EXIF library. Layout: 8-byte header, a directory
    // of 3 entries (2 + 3 × 12 + 4 bytes) at offset 8, then the two rationals at 50 and 58.
    constexpr quint32 directoryOffset = 8;
    constexpr quint32 xOffset = directoryOffset + 2 + 3 * 12 + 4;
    constexpr quint32 yOffset = xOffset + 8;
    QByteArray out("II*\0", 4);
    append<quint32>(out, directoryOffset);
    append<quint16>(out, 3);
    appendEntry(out, tagXResolution, typeRational, xOffset);
    appendEntry(out, tagYResolution, typeRational, yOffset);
    // A SHORT value sits in the first two bytes of the four-byte field.
    appendEntry(out, tagResolutionUnit, typeShort, unitInch);
    append<quint32>(out, 0);
    for (int i = 0; i < 2; ++i) {
        append<quint32>(out, ppi);
        append<quint32>(out, 1);
    }
    return out;
}

QByteArray added(const QByteArray &webp, qint64 ppi)
{
    if (ppi <= 0)
        return webp;
    const QByteArray exif =
        block(static_cast<quint32>(std::min<qint64>(ppi, std::numeric_limits<quint32>::max())));
    const WebPData source{reinterpret_cast<const uint8_t *>(webp.constData()),
                          static_cast<size_t>(webp.size())};
    const WebPData chunk{reinterpret_cast<const uint8_t *>(exif.constData()),
                         static_cast<size_t>(exif.size())};
    WebPMux *mux = WebPMuxCreate(&source, 0);
    if (!mux)
        return {};
    WebPData assembled{};
    const bool built = WebPMuxSetChunk(mux, "EXIF", &chunk, 1) == WEBP_MUX_OK &&
                       WebPMuxAssemble(mux, &assembled) == WEBP_MUX_OK;
    WebPMuxDelete(mux);
    QByteArray out;
    if (built)
        out = QByteArray(reinterpret_cast<const char *>(assembled.bytes),
                         static_cast<qsizetype>(assembled.size));
    WebPDataClear(&assembled);
    return out;
}

} // namespace ExifResolution
