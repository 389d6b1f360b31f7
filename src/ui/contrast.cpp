#include "contrast.h"

#include <algorithm>
#include <cmath>

namespace {

double channel(double value)
{
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

QColor blended(const QColor &foreground, const QColor &background)
{
    const double a = foreground.alphaF();
    return QColor::fromRgbF(float(foreground.redF() * a + background.redF() * (1 - a)),
                            float(foreground.greenF() * a + background.greenF() * (1 - a)),
                            float(foreground.blueF() * a + background.blueF() * (1 - a)));
}

} // namespace

Contrast::Contrast(QObject *parent)
    : QObject(parent)
{}

double Contrast::ratio(const QColor &foreground, const QColor &background)
{
    const double a = luminance(blended(foreground, background));
    const double b = luminance(background);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor Contrast::readable(const QColor &foreground, const QColor &background)
{
    // A small margin over the threshold, so that rounding to 8-bit channels keeps it.
    constexpr double target = minimumRatio + 0.1;
    QColor colour = blended(foreground, background);
    const bool darken = luminance(background) > 0.18;
    for (int step = 0; step < 100 && ratio(colour, background) < target; ++step) {
        const float lightness = colour.lightnessF();
        colour = QColor::fromHslF(colour.hslHueF(), colour.hslSaturationF(),
                                  std::clamp(lightness + (darken ? -0.02F : 0.02F), 0.0F, 1.0F));
    }
    return colour;
}
