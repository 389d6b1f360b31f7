#include "convertersettings.h"

#include "jsonfields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QByteArray ConverterSettings::toJson() const
{
    QJsonArray presetArray;
    for (const ResolutionPreset &preset : presets)
        presetArray.append(preset.toJson());

    QJsonObject object{
        {QStringLiteral("presets"), presetArray},
        {QStringLiteral("ppiOption"), ppiOption},
        {QStringLiteral("customPPI"), customPPI},
        {QStringLiteral("fileSizeLimitEnabled"), fileSizeLimitEnabled},
        {QStringLiteral("fileSizeLimitKB"), fileSizeLimitKB},
        {QStringLiteral("quality"), quality},
        {QStringLiteral("firstFrameOnly"), firstFrameOnly},
        {QStringLiteral("keepPhotoDetails"), keepPhotoDetails},
        {QStringLiteral("keepLocation"), keepLocation},
        {QStringLiteral("encoderEffort"), EncoderEfforts::rawValue(effort)},
    };
    output.writeTo(object);
    if (selectedPresetID)
        object.insert(QStringLiteral("selectedPresetID"), JsonFields::uuidText(*selectedPresetID));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<ConverterSettings> ConverterSettings::fromJson(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();

    const QJsonValue presetValue = object.value(QStringLiteral("presets"));
    if (!presetValue.isArray())
        return std::nullopt;
    ConverterSettings settings;
    for (const QJsonValue &element : presetValue.toArray()) {
        auto preset = ResolutionPreset::fromJson(element);
        if (!preset)
            return std::nullopt;
        settings.presets.append(*preset);
    }

    const QJsonValue selected = object.value(QStringLiteral("selectedPresetID"));
    if (!selected.isUndefined() && !selected.isNull()) {
        settings.selectedPresetID = JsonFields::uuid(selected);
        if (!settings.selectedPresetID)
            return std::nullopt;
    }

    const auto ppiOption = JsonFields::string(object.value(QStringLiteral("ppiOption")));
    const auto customPPI = JsonFields::integer(object.value(QStringLiteral("customPPI")));
    const auto limitEnabled =
        JsonFields::boolean(object.value(QStringLiteral("fileSizeLimitEnabled")));
    const auto limitKB = JsonFields::integer(object.value(QStringLiteral("fileSizeLimitKB")));
    const auto quality = JsonFields::integer(object.value(QStringLiteral("quality")));
    const auto output = OutputOptions::readFrom(object);
    if (!ppiOption || !customPPI || !limitEnabled || !limitKB || !quality || !output)
        return std::nullopt;

    settings.ppiOption = *ppiOption;
    settings.customPPI = *customPPI;
    settings.fileSizeLimitEnabled = *limitEnabled;
    settings.fileSizeLimitKB = *limitKB;
    settings.quality = *quality;
    settings.output = *output;

    const QJsonValue firstFrame = object.value(QStringLiteral("firstFrameOnly"));
    if (!firstFrame.isUndefined() && !firstFrame.isNull()) {
        const auto value = JsonFields::boolean(firstFrame);
        if (!value)
            return std::nullopt;
        settings.firstFrameOnly = *value;
    }
    for (const auto &[key, field] :
         {std::pair{QStringLiteral("keepPhotoDetails"), &settings.keepPhotoDetails},
          std::pair{QStringLiteral("keepLocation"), &settings.keepLocation}}) {
        const QJsonValue value = object.value(key);
        if (value.isUndefined())
            continue;
        const auto flag = JsonFields::boolean(value);
        if (!flag)
            return std::nullopt;
        *field = *flag;
    }

    const QJsonValue effort = object.value(QStringLiteral("encoderEffort"));
    if (!effort.isUndefined() && !effort.isNull()) {
        const auto text = JsonFields::string(effort);
        if (!text)
            return std::nullopt;
        settings.effort = EncoderEfforts::fromRawValue(*text).value_or(EncoderEffort::best);
    }
    return settings;
}
