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

} // namespace WebpFile
