#pragma once

#include "conversionjob.h"
#include "conversionstatus.h"

#include <QByteArray>

class OutputReservation;

/// Converts one input image into one WebP file in the job's output folder: decode, redraw into
/// 8-bit sRGB at the target size, write a temporary PNG, run the encoder, check the output and
/// only then give it its name. Safe to call from any thread; never throws. A file that ends
/// cancelled or in error leaves nothing in the output folder.
namespace FileConverter {
/// `inputPath` is the file system's own bytes of the input's path, used as they are.
[[nodiscard]] ConversionStatus convert(const QByteArray &inputPath, const ConversionJob &job,
                                       const RunFlags &flags);

/// The error message of a file whose smallest encode was still over the limit.
[[nodiscard]] QString overLimitMessage(qint64 limitBytes, qint64 smallestBytes);

/// Checks what the encoder `program` wrote into `output` and adds the resolution to it.
/// Returns the file's size, or sets `failure` and returns -1.
[[nodiscard]] qint64 finishOutput(const OutputReservation &output, qint64 ppi,
                                  ConversionStatus &failure,
                                  const QString &program = QStringLiteral("cwebp"));
} // namespace FileConverter
