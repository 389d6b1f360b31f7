#include "settingrules.h"

#include <algorithm>

namespace SettingRules {

namespace {

QString rangeError(const QString &what, qint64 value, qint64 minimum, qint64 maximum,
                   const QString &unit = {})
{
    if (value >= minimum && value <= maximum)
        return {};
    return QStringLiteral("%1 must be from %2 to %3%4.")
        .arg(what)
        .arg(minimum)
        .arg(maximum)
        .arg(unit.isEmpty() ? QString() : QLatin1Char(' ') + unit);
}

} // namespace

QString qualityError(qint64 quality)
{
    return rangeError(QStringLiteral("Quality"), quality, minQuality, maxQuality);
}

QString sizeLimitError(qint64 kilobytes)
{
    return rangeError(QStringLiteral("The size limit"), kilobytes, minSizeLimitKB, maxSizeLimitKB,
                      QStringLiteral("KB"));
}

QString ppiError(qint64 ppi)
{
    if (ppi < minPPI)
        return QStringLiteral("PPI must be 1 or more.");
    return ppi <= maxPPI ? QString() : QStringLiteral("PPI must be %1 or less.").arg(maxPPI);
}

QString sideError(const QString &what, qint64 pixels)
{
    return rangeError(what, pixels, minSide, maxSide, QStringLiteral("pixels"));
}

QString presetNameError(const QString &name)
{
    return name.trimmed().isEmpty() ? QStringLiteral("Name must not be empty.") : QString();
}

qint64 usableQuality(qint64 quality)
{
    return std::clamp(quality, minQuality, maxQuality);
}

qint64 usableSizeLimitKB(qint64 kilobytes)
{
    return std::clamp(kilobytes, minSizeLimitKB, maxSizeLimitKB);
}

} // namespace SettingRules
