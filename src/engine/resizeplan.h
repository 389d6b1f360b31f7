#pragma once

#include "resizemode.h"

#include <QtGlobal>

/// How an upright image of a given size meets a preset's box: the size the whole image is
/// scaled to (while it is decoded, where the format allows), the centred part of that which is
/// kept, and the output size that part is scaled to in turn. Sides are whole pixels, rounded to
/// the nearest, and never under one.
struct ResizePlan
{
    qint64 scaledWidth = 0;
    qint64 scaledHeight = 0;
    /// The kept part of the scaled image; all of it unless fill cuts it.
    qint64 cropLeft = 0;
    qint64 cropTop = 0;
    qint64 cropWidth = 0;
    qint64 cropHeight = 0;
    /// The output size. It differs from the kept part only when fill enlarges: the part is then
    /// cut from the image at its own size, so that a very long image is never enlarged whole.
    qint64 width = 0;
    qint64 height = 0;

    /// The plan for an image of `sourceWidth` × `sourceHeight` (upright) and a box of
    /// `boxWidth` × `boxHeight`, both sides of each at least one pixel.
    [[nodiscard]] static ResizePlan make(qint64 sourceWidth, qint64 sourceHeight, qint64 boxWidth,
                                         qint64 boxHeight, ResizeMode mode, bool shrinkOnly);

    [[nodiscard]] bool crops() const
    {
        return cropWidth != scaledWidth || cropHeight != scaledHeight;
    }
    [[nodiscard]] bool scalesAfterCrop() const
    {
        return cropWidth != width || cropHeight != height;
    }
};
