#pragma once

#include "encodereffort.h"
#include "resizemode.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

/// What `tessel convert` was asked to do. Unset values fall back to the stored settings.
struct ConvertOptions
{
    QStringList paths;
    /// `paths` with the command line's own bytes (see CommandLinePaths); set by the caller
    /// before a run.
    QList<QUrl> locations;
    std::optional<QString> outputFolder;
    /// `outputFolder` with the command line's own bytes, set by the caller like `locations`.
    QUrl outputLocation;
    std::optional<QString> preset;
    std::optional<QString> ppi;
    std::optional<qint64> quality;
    std::optional<qint64> maxSizeKB;
    /// Output options that are on when given and take the stored setting when not.
    bool keepFolders = false;
    bool skipExisting = false;
    bool keepDates = false;
    /// Animated GIF and WebP files become stills of their first frame.
    bool firstFrame = false;
    /// Set by their flags only; unset, the stored settings decide.
    bool keepMetadata = false;
    bool keepLocation = false;
    std::optional<ResizeMode> resize;
    bool shrinkOnly = false;
    std::optional<EncoderEffort> effort;
    bool json = false;
    bool help = false;
    bool version = false;

    /// Parses the arguments that follow "convert"; on failure gives a one-line error in `error`.
    [[nodiscard]] static std::optional<ConvertOptions> parse(const QStringList &arguments,
                                                             QString *error);
    [[nodiscard]] static QString usage();
    /// The size a WIDTHxHEIGHT preset names (also with × or X and blanks around it), or none
    /// for other text. The sides are not checked here.
    [[nodiscard]] static std::optional<QSize> presetSize(const QString &preset);
};
