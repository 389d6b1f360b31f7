#include "webpfile.h"

#include <QFile>

#include <webp/decode.h>
#include <webp/demux.h>

namespace WebpFile {

State check(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return State::missing;
    const WebPData data{reinterpret_cast<const uint8_t *>(bytes.constData()),
                        static_cast<size_t>(bytes.size())};
    // The demuxer walks every chunk, so a cut or padded file does not pass as whole.
    WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
    WebPDemuxer *demuxer = WebPDemuxPartial(&data, &state);
    WebPDemuxDelete(demuxer);
    int width = 0;
    int height = 0;
    return state == WEBP_DEMUX_DONE && WebPGetInfo(data.bytes, data.size, &width, &height) &&
                   width > 0 && height > 0
               ? State::valid
               : State::invalid;
}

State checkFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? check(file.readAll()) : State::missing;
}

QSize dimensions(const QString &path)
{
    // The size stands in the first chunk's header, also behind an extended header.
    constexpr qint64 headerBytes = 64;
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(headerBytes) : QByteArray();
    int width = 0;
    int height = 0;
    if (!WebPGetInfo(reinterpret_cast<const uint8_t *>(head.constData()), size_t(head.size()),
                     &width, &height))
        return {};
    return {width, height};
}

} // namespace WebpFile
