#include "webpmetadata.h"

#include <webp/mux.h>

namespace WebpMetadata {

namespace {

WebPData view(const QByteArray &bytes)
{
    return {reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())};
}

} // namespace

QByteArray added(const QByteArray &webp, const QByteArray &exif, const QByteArray &xmp)
{
    if (exif.isEmpty() && xmp.isEmpty())
        return webp;
    const WebPData source = view(webp);
    WebPMux *mux = WebPMuxCreate(&source, 0);
    if (!mux)
        return {};
    bool built = true;
    for (const auto &[fourcc, block] : {std::pair{"EXIF", &exif}, std::pair{"XMP ", &xmp}}) {
        const WebPData chunk = view(*block);
        if (!block->isEmpty())
            built = built && WebPMuxSetChunk(mux, fourcc, &chunk, 1) == WEBP_MUX_OK;
    }
    WebPData assembled{};
    built = built && WebPMuxAssemble(mux, &assembled) == WEBP_MUX_OK;
    WebPMuxDelete(mux);
    QByteArray out;
    if (built)
        out = QByteArray(reinterpret_cast<const char *>(assembled.bytes),
                         static_cast<qsizetype>(assembled.size));
    WebPDataClear(&assembled);
    return out;
}

} // namespace WebpMetadata
