#include "resolutionpreset.h"

#include "jsonfields.h"

#include <QHashFunctions>

ResolutionPreset ResolutionPreset::make(const QString &name, qint64 width, qint64 height,
                                        bool preserveOriginal)
{
    return {QUuid::createUuid(), name, width, height, preserveOriginal};
}

ResolutionPreset ResolutionPreset::original()
{
    return make(originalName(), 0, 0, true);
}

QString ResolutionPreset::originalName()
{
    return QStringLiteral("Original");
}

QString ResolutionPreset::sizeText() const
{
    if (preserveOriginal)
        return originalName();
    return QStringLiteral("%1 \u00D7 %2").arg(width).arg(height);
}

QJsonObject ResolutionPreset::toJson() const
{
    return {
        {QStringLiteral("id"), JsonFields::uuidText(id)},
        {QStringLiteral("name"), name},
        {QStringLiteral("width"), width},
        {QStringLiteral("height"), height},
        {QStringLiteral("preserveOriginal"), preserveOriginal},
    };
}

std::optional<ResolutionPreset> ResolutionPreset::fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto id = JsonFields::uuid(object.value(QStringLiteral("id")));
    const auto name = JsonFields::string(object.value(QStringLiteral("name")));
    const auto width = JsonFields::integer(object.value(QStringLiteral("width")));
    const auto height = JsonFields::integer(object.value(QStringLiteral("height")));
    if (!id || !name || !width || !height)
        return std::nullopt;

    bool preserveOriginal = false;
    const QJsonValue preserve = object.value(QStringLiteral("preserveOriginal"));
    if (!preserve.isUndefined() && !preserve.isNull()) {
        const auto flag = JsonFields::boolean(preserve);
        if (!flag)
            return std::nullopt;
        preserveOriginal = *flag;
    }
    return ResolutionPreset{*id, *name, *width, *height, preserveOriginal};
}

size_t qHash(const ResolutionPreset &preset, size_t seed) noexcept
{
    return qHashMulti(seed, preset.id, preset.name, preset.width, preset.height,
                      preset.preserveOriginal);
}
