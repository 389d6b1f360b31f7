#include "jpegscans.h"

#include <array>
#include <cerrno>
#include <sys/types.h>
#include <unistd.h>

namespace JpegScans {

namespace {

/// Byte-at-a-time reading through a buffer, with `pread` so that the descriptor's offset is
/// left for the decoder.
class Reader
{
public:
    explicit Reader(int fd)
        : m_fd(fd)
    {}

    /// The next byte, or -1 at the end of the file or on an error.
    int next()
    {
        if (m_at == m_end && !fill())
            return -1;
        return m_buffer[m_at++];
    }

    bool skip(off_t count)
    {
        const off_t buffered = m_end - m_at;
        if (count <= buffered) {
            m_at += static_cast<size_t>(count);
            return true;
        }
        m_offset += count - buffered;
        m_at = m_end = 0;
        return true;
    }

private:
    bool fill()
    {
        const ssize_t read =
            TEMP_FAILURE_RETRY(::pread(m_fd, m_buffer.data(), m_buffer.size(), m_offset));
        if (read <= 0)
            return false;
        m_offset += read;
        m_at = 0;
        m_end = static_cast<size_t>(read);
        return true;
    }

    int m_fd;
    off_t m_offset = 0;
    std::array<unsigned char, 64 * 1024> m_buffer{};
    size_t m_at = 0;
    size_t m_end = 0;
};

constexpr int markerStart = 0xFF;
constexpr int startOfImage = 0xD8;
constexpr int endOfImage = 0xD9;
constexpr int startOfScan = 0xDA;

/// Markers that stand alone, without a length: TEM and the restart markers.
bool standsAlone(int marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

} // namespace

int count(int fd)
{
    Reader in(fd);
    if (in.next() != markerStart || in.next() != startOfImage)
        return 0;
    int scans = 0;
    int marker = -1;
    for (;;) {
        if (marker < 0) {
            // Between segments: anything up to the next marker is skipped.
            int byte = 0;
            do {
                byte = in.next();
            } while (byte >= 0 && byte != markerStart);
            do {
                marker = in.next();
            } while (marker == markerStart);
        }
        if (marker < 0 || marker == endOfImage)
            return scans;
        if (standsAlone(marker)) {
            marker = -1;
            continue;
        }
        const int high = in.next();
        const int low = in.next();
        if (low < 0 || (high << 8 | low) < 2)
            return scans;
        in.skip((high << 8 | low) - 2);
        const bool scan = marker == startOfScan;
        marker = -1;
        if (!scan)
            continue;
        if (++scans > maxScans)
            return scans;
        // Entropy-coded data runs to the first marker that is neither a stuffed zero nor a
        // restart marker.
        for (int byte = in.next();; byte = in.next()) {
            while (byte == markerStart) {
                byte = in.next();
                if (byte != 0 && byte != markerStart && !standsAlone(byte))
                    marker = byte;
            }
            if (byte < 0)
                return scans;
            if (marker >= 0)
                break;
        }
    }
}

} // namespace JpegScans
