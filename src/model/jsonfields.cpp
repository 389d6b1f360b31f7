#include "jsonfields.h"

#include <QRegularExpression>

#include <cmath>

namespace JsonFields {

std::optional<qint64> integer(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    // QJsonValue keeps integers written without a fraction or exponent exactly; toInteger()
    // refuses anything else, including doubles that merely happen to be whole.
    const QVariant raw = value.toVariant();
    if (raw.typeId() == QMetaType::LongLong)
        return raw.toLongLong();
    const double d = value.toDouble();
    // 2^63 is the first double that no longer fits a signed 64-bit integer.
    if (std::isfinite(d) && std::trunc(d) == d && d >= -9223372036854775808.0 &&
        d < 9223372036854775808.0)
        return static_cast<qint64>(d);
    return std::nullopt;
}

std::optional<QString> string(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<bool> boolean(const QJsonValue &value)
{
    if (!value.isBool())
        return std::nullopt;
    return value.toBool();
}

std::optional<QUuid> uuid(const QJsonValue &value)
{
    static const QRegularExpression canonical(QStringLiteral(
        "^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    if (!value.isString() || !canonical.match(value.toString()).hasMatch())
        return std::nullopt;
    return QUuid::fromString(value.toString());
}

QString uuidText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace JsonFields
