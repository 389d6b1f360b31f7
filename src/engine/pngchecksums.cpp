#include "pngchecksums.h"

#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

namespace PngChecksums {

namespace {

/// Reads exactly `size` bytes into `buffer`; false at the end of the file or on an error.
bool readFully(int fd, char *buffer, size_t size)
{
    while (size > 0) {
        const ssize_t count = ::read(fd, buffer, size);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        buffer += count;
        size -= size_t(count);
    }
    return true;
}

bool chunksIntact(int fd)
{
    constexpr size_t signatureLength = 8;
    char signature[signatureLength];
    if (!readFully(fd, signature, signatureLength))
        return false;
    QByteArray data(64 * 1024, '\0');
    for (;;) {
        char head[8];
        if (!readFully(fd, head, sizeof head))
            return false;
        quint32 left = qFromBigEndian<quint32>(head);
        uLong crc = crc32(0, reinterpret_cast<const Bytef *>(head + 4), 4);
        while (left > 0) {
            const size_t piece = std::min<size_t>(left, size_t(data.size()));
            if (!readFully(fd, data.data(), piece))
                return false;
            crc = crc32(crc, reinterpret_cast<const Bytef *>(data.constData()), uInt(piece));
            left -= quint32(piece);
        }
        char stored[4];
        if (!readFully(fd, stored, sizeof stored) || qFromBigEndian<quint32>(stored) != crc)
            return false;
        if (QByteArray(head + 4, 4) == "IEND")
            return true;
    }
}

} // namespace

bool intact(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool result = chunksIntact(fd);
    ::close(fd);
    return result;
}

} // namespace PngChecksums
