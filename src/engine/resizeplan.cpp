#include "resizeplan.h"

#include <algorithm>

namespace {

/// `value` × `numerator` / `denominator` rounded to the nearest whole number, at least 1.
qint64 scaled(qint64 value, qint64 numerator, qint64 denominator)
{
    return std::max<qint64>(1, (2 * value * numerator + denominator) / (2 * denominator));
}

/// The whole of an image scaled to `width` × `height`, nothing cut.
ResizePlan whole(qint64 width, qint64 height)
{
    return {width, height, 0, 0, width, height, width, height};
}

/// The centred `width` × `height` part of an image scaled to `scaledWidth` × `scaledHeight`,
/// scaled in turn to `outputWidth` × `outputHeight`.
ResizePlan centre(qint64 scaledWidth, qint64 scaledHeight, qint64 width, qint64 height,
                  qint64 outputWidth, qint64 outputHeight)
{
    return {scaledWidth,
            scaledHeight,
            (scaledWidth - width) / 2,
            (scaledHeight - height) / 2,
            width,
            height,
            outputWidth,
            outputHeight};
}

ResizePlan fill(qint64 w, qint64 h, qint64 boxW, qint64 boxH, bool shrinkOnly)
{
    // The side that meets the box exactly is the one the image is shorter in, against the
    // box's aspect ratio; the other one overhangs and is cut.
    const bool widthMeets = boxW * h >= boxH * w;
    const bool enlarges = widthMeets ? boxW > w : boxH > h;
    if (!enlarges) {
        const qint64 scaledW = widthMeets ? boxW : std::max(boxW, scaled(w, boxH, h));
        const qint64 scaledH = widthMeets ? std::max(boxH, scaled(h, boxW, w)) : boxH;
        return centre(scaledW, scaledH, boxW, boxH, boxW, boxH);
    }
    if (shrinkOnly) {
        const qint64 keptW = std::min(w, boxW);
        const qint64 keptH = std::min(h, boxH);
        return centre(w, h, keptW, keptH, keptW, keptH);
    }
    const qint64 partW = widthMeets ? w : std::min(w, scaled(h, boxW, boxH));
    const qint64 partH = widthMeets ? std::min(h, scaled(w, boxH, boxW)) : h;
    return centre(w, h, partW, partH, boxW, boxH);
}

} // namespace

ResizePlan ResizePlan::make(qint64 w, qint64 h, qint64 boxW, qint64 boxH, ResizeMode mode,
                            bool shrinkOnly)
{
    if (shrinkOnly && w <= boxW && h <= boxH)
        return whole(w, h);
    switch (mode) {
    case ResizeMode::stretch:
        break;
    case ResizeMode::fit:
        if (boxW * h <= boxH * w)
            return whole(boxW, scaled(h, boxW, w));
        return whole(scaled(w, boxH, h), boxH);
    case ResizeMode::fill:
        return fill(w, h, boxW, boxH, shrinkOnly);
    }
    return whole(boxW, boxH);
}
