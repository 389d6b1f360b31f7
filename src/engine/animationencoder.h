#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

/// The external `img2webp` tool that encodes the frames of an animation into one animated WebP.
/// It is found by the rule of `WebpEncoder::locateIn` and run by `WebpEncoder::run`.
namespace AnimationEncoder {
/// The program's name in messages.
[[nodiscard]] QString program();
/// The tool the environment variable TESSEL_IMG2WEBP names, when it is set; else the fixed
/// install locations, then the search path.
[[nodiscard]] std::optional<QString> locate();
/// The message an animated file shows when no such tool is found.
[[nodiscard]] QString notFoundMessage();

/// The effort spent on each frame; every frame is encoded more than once to find the smallest
/// way to add it, so an animation is given the library's usual effort rather than the most.
inline constexpr int method = 4;

/// The argument vector for one encode of `framePngs`, each shown for its entry of
/// `delaysMs` (one for every frame), played `loop` times (0: for ever), lossy at `quality`.
[[nodiscard]] QStringList arguments(const QStringList &framePngs, const std::vector<int> &delaysMs,
                                    int loop, int quality, const QString &outputPath);
} // namespace AnimationEncoder
