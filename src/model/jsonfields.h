#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QUuid>

#include <optional>

/// Strict readers for the stored settings document: each gives a value only when the key holds
/// exactly the expected JSON type.
namespace JsonFields {
/// A whole number that fits a signed 64-bit integer; fractions and out-of-range numbers fail.
[[nodiscard]] std::optional<qint64> integer(const QJsonValue &value);
[[nodiscard]] std::optional<QString> string(const QJsonValue &value);
[[nodiscard]] std::optional<bool> boolean(const QJsonValue &value);
/// A canonical 36-character UUID in either letter case.
[[nodiscard]] std::optional<QUuid> uuid(const QJsonValue &value);
/// The canonical upper-case text of a UUID.
[[nodiscard]] QString uuidText(const QUuid &id);
} // namespace JsonFields
