#pragma once

#include "encoderoutcome.h"

#include <QString>
#include <QStringList>

#include <optional>

struct RunFlags;

/// The external `cwebp` command-line encoder: where it is, what it is told, how it is run.
namespace WebpEncoder {
/// The fixed install locations, then "/usr/bin/which cwebp".
[[nodiscard]] std::optional<QString> locate();
/// The rule of `locate` over other places: the first of `candidates` that exists (of any
/// kind), else what `whichProgram` prints for "cwebp", trimmed, when that is valid UTF-8 and
/// not empty.
[[nodiscard]] std::optional<QString> locateIn(const QStringList &candidates,
                                              const QString &whichProgram);
/// The message every selected file shows when no encoder is found.
[[nodiscard]] QString notFoundMessage();

/// The argument vector for one encode: a target size in bytes when `sizeLimitEnabled`, else a
/// quality; "-alpha_q 85" last when the bitmap has alpha.
[[nodiscard]] QStringList arguments(const QString &inputPng, const QString &outputPath,
                                    bool sizeLimitEnabled, qint64 sizeLimitBytes, qint64 quality,
                                    bool hasAlpha);

/// Runs the encoder and waits for it to exit, however long that takes. Only `flags.aborted`
/// (the app quitting) ends it early; a Stop does not reach a running child.
[[nodiscard]] EncoderOutcome run(const QString &encoderPath, const QStringList &arguments,
                                 const RunFlags &flags);
} // namespace WebpEncoder
