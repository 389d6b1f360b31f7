#pragma once

#include <QString>
#include <QStringList>

#include <optional>

/// What `tessel convert` was asked to do. Unset values fall back to the stored settings.
struct ConvertOptions
{
    QStringList paths;
    std::optional<QString> outputFolder;
    std::optional<QString> preset;
    std::optional<QString> ppi;
    std::optional<qint64> quality;
    std::optional<qint64> maxSizeKB;
    bool json = false;
    bool help = false;
    bool version = false;

    /// Parses the arguments that follow "convert"; on failure gives a one-line error in `error`.
    [[nodiscard]] static std::optional<ConvertOptions> parse(const QStringList &arguments,
                                                             QString *error);
    [[nodiscard]] static QString usage();
};
