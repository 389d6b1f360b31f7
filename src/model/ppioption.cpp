#include "ppioption.h"

namespace PPIOptions {

const QList<PPIOption> &all()
{
    static const QList<PPIOption> options{PPIOption::ppi72, PPIOption::ppi96, PPIOption::ppi150,
                                          PPIOption::ppi300, PPIOption::custom};
    return options;
}

QString rawValue(PPIOption option)
{
    switch (option) {
    case PPIOption::ppi72:
        return QStringLiteral("72");
    case PPIOption::ppi96:
        return QStringLiteral("96");
    case PPIOption::ppi150:
        return QStringLiteral("150");
    case PPIOption::ppi300:
        return QStringLiteral("300");
    case PPIOption::custom:
        return QStringLiteral("Custom");
    }
    return {};
}

std::optional<PPIOption> fromRawValue(const QString &text)
{
    for (PPIOption option : all()) {
        if (rawValue(option) == text)
            return option;
    }
    return std::nullopt;
}

std::optional<qint64> fixedValue(PPIOption option)
{
    switch (option) {
    case PPIOption::ppi72:
        return 72;
    case PPIOption::ppi96:
        return 96;
    case PPIOption::ppi150:
        return 150;
    case PPIOption::ppi300:
        return 300;
    case PPIOption::custom:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace PPIOptions
