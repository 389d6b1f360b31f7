#include "resizemode.h"

namespace ResizeModes {

const QList<ResizeMode> &all()
{
    static const QList<ResizeMode> modes{ResizeMode::stretch, ResizeMode::fit, ResizeMode::fill};
    return modes;
}

QString rawValue(ResizeMode mode)
{
    switch (mode) {
    case ResizeMode::stretch:
        return QStringLiteral("stretch");
    case ResizeMode::fit:
        return QStringLiteral("fit");
    case ResizeMode::fill:
        return QStringLiteral("fill");
    }
    return {};
}

std::optional<ResizeMode> fromRawValue(const QString &text)
{
    for (ResizeMode mode : all()) {
        if (rawValue(mode) == text)
            return mode;
    }
    return std::nullopt;
}

} // namespace ResizeModes
