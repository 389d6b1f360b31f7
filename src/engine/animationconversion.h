#pragma once

#include "conversionjob.h"
#include "conversionstatus.h"
#include "imageloader.h"

#include <QByteArray>

/// Turns the decoded frames of an animated GIF or WebP into one animated WebP: each frame is
/// handed to the animation encoder as an unnamed temporary PNG, with its duration and the
/// loop count. Under a size limit the quality is lowered until the file fits. Like a still,
/// the output is named only once it is whole and checked, and every temporary file is gone
/// however the conversion ends.
namespace AnimationConversion {
/// `loaded` holds more than one frame; `inputPath` is the input's own bytes.
[[nodiscard]] ConversionStatus convert(ImageLoader::Result loaded, const QByteArray &inputPath,
                                       const ConversionJob &job, const RunFlags &flags);

/// The quality of the encode after one whose output of `size` bytes was over `limit`: lowered
/// in proportion, with a margin, and by at least one step.
[[nodiscard]] int lowerQuality(int quality, qint64 limit, qint64 size);
} // namespace AnimationConversion
