#include "encodereffort.h"

namespace EncoderEfforts {

const QList<EncoderEffort> &all()
{
    static const QList<EncoderEffort> efforts{EncoderEffort::best, EncoderEffort::balanced,
                                              EncoderEffort::fast};
    return efforts;
}

QString rawValue(EncoderEffort effort)
{
    switch (effort) {
    case EncoderEffort::best:
        return QStringLiteral("best");
    case EncoderEffort::balanced:
        return QStringLiteral("balanced");
    case EncoderEffort::fast:
        return QStringLiteral("fast");
    }
    return {};
}

std::optional<EncoderEffort> fromRawValue(const QString &text)
{
    for (EncoderEffort effort : all()) {
        if (rawValue(effort) == text)
            return effort;
    }
    return std::nullopt;
}

} // namespace EncoderEfforts
