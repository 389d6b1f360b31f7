#include "heifmetadata.h"

#include <QtEndian>

#include <libheif/heif.h>
#include <memory>
#include <vector>

namespace HeifMetadata {

namespace {

/// The block `id` of `handle`, empty when it cannot be read.
QByteArray block(const heif_image_handle *handle, heif_item_id id)
{
    QByteArray bytes(qsizetype(heif_image_handle_get_metadata_size(handle, id)), '\0');
    if (heif_image_handle_get_metadata(handle, id, bytes.data()).code != heif_error_Ok)
        return {};
    return bytes;
}

} // namespace

Blocks read(const QByteArray &path)
{
    Blocks blocks;
    const std::unique_ptr<heif_context, void (*)(heif_context *)> context(heif_context_alloc(),
                                                                          heif_context_free);
    heif_error error = heif_context_read_from_file(context.get(), path.constData(), nullptr);
    heif_image_handle *primary = nullptr;
    if (error.code == heif_error_Ok)
        error = heif_context_get_primary_image_handle(context.get(), &primary);
    if (error.code != heif_error_Ok) {
        blocks.error = QString::fromUtf8(error.message);
        return blocks;
    }
    const std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle *)> handle(
        primary, heif_image_handle_release);
    std::vector<heif_item_id> ids(
        size_t(std::max(0, heif_image_handle_get_number_of_metadata_blocks(primary, nullptr))));
    ids.resize(size_t(heif_image_handle_get_list_of_metadata_block_IDs(primary, nullptr, ids.data(),
                                                                       int(ids.size()))));
    for (const heif_item_id id : ids) {
        const QByteArray type = heif_image_handle_get_metadata_type(primary, id);
        const QByteArray content = heif_image_handle_get_metadata_content_type(primary, id);
        if (type == "Exif" && blocks.exif.isEmpty()) {
            // Four bytes give where the TIFF structure starts after them.
            const QByteArray bytes = block(primary, id);
            if (bytes.size() < 4)
                continue;
            const quint32 offset = qFromBigEndian<quint32>(bytes.constData());
            if (offset <= quint32(bytes.size() - 4))
                blocks.exif = bytes.mid(4 + offset);
        } else if (type == "mime" && content == "application/rdf+xml" && blocks.xmp.isEmpty()) {
            blocks.xmp = block(primary, id);
        }
    }
    return blocks;
}

} // namespace HeifMetadata
