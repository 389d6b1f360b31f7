#include "resolutionpreset.h"

#include "jsonfields.h"

#include <QHashFunctions>
#include <QStringList>

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
    const QString size = QStringLiteral("%1 \u00D7 %2").arg(width).arg(height);
    QStringList how;
    if (resizeMode != ResizeMode::stretch)
        how << ResizeModes::rawValue(resizeMode);
    if (shrinkOnly)
        how << QStringLiteral("shrink only");
    return how.isEmpty() ? size
                         : size + QStringLiteral(" \u00B7 ") + how.join(QStringLiteral(", "));
}

QString ResolutionPreset::sizeTextBesideName() const
{
    const QString size = sizeText();
    return size == name ? QString() : size;
}

QString ResolutionPreset::entryText() const
{
    const QString size = sizeTextBesideName();
    return size.isEmpty() ? name : name + QStringLiteral("  \u00B7  ") + size;
}

QJsonObject ResolutionPreset::toJson() const
{
    return {
        {QStringLiteral("id"), JsonFields::uuidText(id)},
        {QStringLiteral("name"), name},
        {QStringLiteral("width"), width},
        {QStringLiteral("height"), height},
        {QStringLiteral("preserveOriginal"), preserveOriginal},
        {QStringLiteral("resizeMode"), ResizeModes::rawValue(resizeMode)},
        {QStringLiteral("shrinkOnly"), shrinkOnly},
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
    ResolutionPreset preset{*id, *name, *width, *height, preserveOriginal};
    const QJsonValue mode = object.value(QStringLiteral("resizeMode"));
    if (!mode.isUndefined() && !mode.isNull()) {
        const auto text = JsonFields::string(mode);
        if (!text)
            return std::nullopt;
        preset.resizeMode = ResizeModes::fromRawValue(*text).value_or(ResizeMode::stretch);
    }
    const QJsonValue shrink = object.value(QStringLiteral("shrinkOnly"));
    if (!shrink.isUndefined() && !shrink.isNull()) {
        const auto flag = JsonFields::boolean(shrink);
        if (!flag)
            return std::nullopt;
        preset.shrinkOnly = *flag;
    }
    return preset;
}

size_t qHash(const ResolutionPreset &preset, size_t seed) noexcept
{
    return qHashMulti(seed, preset.id, preset.name, preset.width, preset.height,
                      preset.preserveOriginal, int(preset.resizeMode), preset.shrinkOnly);
}
