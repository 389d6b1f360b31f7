#include "imagesignature.h"

namespace ImageSignature {

namespace {

bool startsWith(const QByteArray &head, const char *bytes, qsizetype length, qsizetype at = 0)
{
    return head.size() >= at + length && head.mid(at, length) == QByteArray(bytes, length);
}

} // namespace

Format sniff(const QByteArray &head)
{
    if (startsWith(head, "\xFF\xD8\xFF", 3))
        return Format::jpeg;
    if (startsWith(head, "\x89PNG\r\n\x1A\n", 8))
        return Format::png;
    if (startsWith(head, "GIF87a", 6) || startsWith(head, "GIF89a", 6))
        return Format::gif;
    if (startsWith(head, "RIFF", 4) && startsWith(head, "WEBP", 4, 8))
        return Format::webp;
    // Classic TIFF (42) and BigTIFF (43), either byte order.
    if (startsWith(head, "II*\0", 4) || startsWith(head, "MM\0*", 4) ||
        startsWith(head, "II+\0", 4) || startsWith(head, "MM\0+", 4))
        return Format::tiff;
    // ISO base media file: a box size, then the "ftyp" box. The HEIF decoder rejects the
    // brands it cannot read (plain video, for one).
    if (startsWith(head, "ftyp", 4, 4))
        return Format::heif;
    if (startsWith(head, "BM", 2))
        return Format::bmp;
    return Format::unknown;
}

} // namespace ImageSignature
