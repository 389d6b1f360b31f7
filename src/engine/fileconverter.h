#pragma once

#include "conversionjob.h"
#include "conversionstatus.h"

#include <QByteArray>

/// Converts one input image into one WebP file in the job's output folder: decode, redraw into
/// 8-bit sRGB at the target size, write a temporary PNG, run the encoder, check the output and
/// only then give it its name. Safe to call from any thread; never throws. A file that ends
/// cancelled or in error leaves nothing in the output folder.
namespace FileConverter {
/// `inputPath` is the file system's own bytes of the input's path, used as they are;
/// `subfolder` is where it was found below an added folder (FileItem::subfolder), which the
/// output keeps when the job keeps folders.
[[nodiscard]] ConversionStatus convert(const QByteArray &inputPath, const ConversionJob &job,
                                       const RunFlags &flags, const QByteArray &subfolder = {});
} // namespace FileConverter
