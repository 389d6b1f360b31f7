#include "sizetext.h"

namespace SizeText {

namespace {

constexpr double kilobyte = 1024.0;

} // namespace

QString kilobytes(qint64 bytes)
{
    // QString::asprintf ignores the C locale, so the separator is always a full stop.
    return QString::asprintf("%.1f KB", static_cast<double>(bytes) / kilobyte);
}

QString total(qint64 bytes)
{
    double value = static_cast<double>(bytes) / kilobyte;
    if (value < kilobyte)
        return kilobytes(bytes);
    value /= kilobyte;
    return value < kilobyte ? QString::asprintf("%.1f MB", value)
                            : QString::asprintf("%.1f GB", value / kilobyte);
}

} // namespace SizeText
