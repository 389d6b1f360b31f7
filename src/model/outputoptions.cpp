#include "outputoptions.h"

#include "jsonfields.h"

#include <array>

namespace {

using Field = bool OutputOptions::*;

/// Each option with its key in the settings document.
constexpr std::array<std::pair<const char16_t *, Field>, 3> fields{{
    {u"keepFolders", &OutputOptions::keepFolders},
    {u"skipExistingOutputs", &OutputOptions::skipExisting},
    {u"keepFileDates", &OutputOptions::keepDates},
}};

} // namespace

void OutputOptions::writeTo(QJsonObject &object) const
{
    for (const auto &[key, field] : fields)
        object.insert(QString::fromUtf16(key), this->*field);
}

std::optional<OutputOptions> OutputOptions::readFrom(const QJsonObject &object)
{
    OutputOptions options;
    for (const auto &[key, field] : fields) {
        const QJsonValue value = object.value(QString::fromUtf16(key));
        if (value.isUndefined())
            continue;
        const std::optional<bool> given = JsonFields::boolean(value);
        if (!given)
            return std::nullopt;
        options.*field = *given;
    }
    return options;
}
