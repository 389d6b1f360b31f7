#pragma once

#include "conversionjob.h"
#include "conversionstatus.h"

#include <QUrl>

/// Converts one input image into one WebP file in the job's output folder: decode, redraw into
/// 8-bit sRGB at the target size, write a temporary PNG, run the encoder, report the result.
/// Safe to call from any thread; never throws.
namespace FileConverter {
[[nodiscard]] ConversionStatus convert(const QUrl &input, const ConversionJob &job,
                                       const RunFlags &flags);
} // namespace FileConverter
