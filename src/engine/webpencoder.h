#pragma once

#include "encodereffort.h"
#include "encoderoutcome.h"

#include <QString>
#include <QStringList>

#include <optional>

struct RunFlags;

/// The external `cwebp` command-line encoder: where it is, what it is told, how it is run.
namespace WebpEncoder {
/// The encoder the environment variable TESSEL_CWEBP names, when it is set; else the fixed
/// install locations, then the search path. Starts no process, so it is cheap enough for the
/// GUI thread.
[[nodiscard]] std::optional<QString> locate();
/// The rule of `locate` over other places: `named` when it is not empty (and exists; no other
/// place is tried then), else the first of `candidates` that is an executable file (after
/// symbolic links), else the executable `program` in `searchPaths` (the PATH when empty).
[[nodiscard]] std::optional<QString> locateIn(const QString &named, const QStringList &candidates,
                                              const QStringList &searchPaths,
                                              const QString &program = QStringLiteral("cwebp"));
/// The message every selected file shows when no encoder is found.
[[nodiscard]] QString notFoundMessage();

/// The alpha quality of a first encode.
inline constexpr int defaultAlphaQuality = 85;

/// The argument vector for one encode: a target size in bytes when `sizeLimitEnabled`, else a
/// quality; the method and passes `effort` stands for; "-alpha_q" with `alphaQuality` last when
/// the bitmap has alpha.
[[nodiscard]] QStringList arguments(const QString &inputPng, const QString &outputPath,
                                    bool sizeLimitEnabled, qint64 sizeLimitBytes, qint64 quality,
                                    bool hasAlpha, int alphaQuality = defaultAlphaQuality,
                                    EncoderEffort effort = EncoderEffort::best);

/// Runs the encoder and waits for it to exit, however long that takes. Only `flags.aborted`
/// (Stop now, or the app quitting) ends it early; a Stop does not reach a running child. The child
/// never outlives this process.
[[nodiscard]] EncoderOutcome run(const QString &encoderPath, const QStringList &arguments,
                                 const RunFlags &flags);
} // namespace WebpEncoder
