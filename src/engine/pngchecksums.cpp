#include "pngchecksums.h"

#include <QByteArray>
#include <QtEndian>

#include <cerrno>
#include <unistd.h>
#include <zlib.h>

namespace PngChecksums {

namespace {

/// Reads exactly `size` bytes at `offset` into `buffer` and moves `offset` past them; false at
/// the end of the file or on an error. The descriptor's own offset is left alone.
bool readFully(int fd, off_t &offset, char *buffer, size_t size)
{
    while (size > 0) {
        const ssize_t count = TEMP_FAILURE_RETRY(::pread(fd, buffer, size, offset));
        if (count <= 0)
            return false;
        buffer += count;
        offset += count;
        size -= size_t(count);
    }
    return true;
}

} // namespace

bool intact(int fd)
{
    off_t offset = 0;
    constexpr size_t signatureLength = 8;
    char signature[signatureLength];
    if (!readFully(fd, offset, signature, signatureLength))
        return false;
    QByteArray data(64 * 1024, '\0');
    for (;;) {
        char head[8];
        if (!readFully(fd, offset, head, sizeof head))
            return false;
        quint32 left = qFromBigEndian<quint32>(head);
        uLong crc = crc32(0, reinterpret_cast<const Bytef *>(head + 4), 4);
        while (left > 0) {
            const size_t piece = std::min<size_t>(left, size_t(data.size()));
            if (!readFully(fd, offset, data.data(), piece))
                return false;
            crc = crc32(crc, reinterpret_cast<const Bytef *>(data.constData()), uInt(piece));
            left -= quint32(piece);
        }
        char stored[4];
        if (!readFully(fd, offset, stored, sizeof stored) || qFromBigEndian<quint32>(stored) != crc)
            return false;
        if (QByteArray(head + 4, 4) == "IEND")
            return true;
    }
}

} // namespace PngChecksums
