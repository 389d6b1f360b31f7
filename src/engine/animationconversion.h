#pragma once

#include "conversionjob.h"
#include "conversionstatus.h"
#include "imageloader.h"

#include <QByteArray>

class OutputMetadata;

#include <vector>

/// Turns the decoded frames of an animated GIF or WebP into one animated WebP: each frame is
/// handed to the animation encoder as an unnamed temporary PNG, with its duration and the
/// loop count. Under a size limit the quality is lowered until the file fits. Like a still,
/// the output is named only once it is whole and checked, and every temporary file is gone
/// however the conversion ends.
namespace AnimationConversion {
/// `loaded` holds more than one frame; `inputPath` is the input's own bytes; `metadata` is what
/// the output carries; `subfolder` is where below the output folder it goes.
[[nodiscard]] ConversionStatus convert(ImageLoader::Result loaded, const QByteArray &inputPath,
                                       const ConversionJob &job, const RunFlags &flags,
                                       const OutputMetadata &metadata,
                                       const QByteArray &subfolder = {});

/// One encode under a size limit: the quality it was given and the size it came to.
struct Attempt
{
    int quality = 0;
    qint64 size = 0;
};

/// The quality of the encode after `tried`, whose last output was over `limit`: the size is
/// taken to fall exponentially with the quality, at the rate the last two encodes showed (a
/// usual rate after the first), aiming a little under the limit. Always lower than the last.
[[nodiscard]] int lowerQuality(const std::vector<Attempt> &tried, qint64 limit);
} // namespace AnimationConversion
