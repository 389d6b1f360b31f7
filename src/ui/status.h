#pragma once

#include "conversionstatus.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

/// A file's status kind for the views, so that QML compares `Status.Done` rather than names.
/// The values are the engine's own, in its order.
namespace Status {
Q_NAMESPACE
QML_ELEMENT

enum Kind
{
    Done = int(ConversionStatus::Kind::done),
    Error = int(ConversionStatus::Kind::error),
    Queued = int(ConversionStatus::Kind::queued),
    Converting = int(ConversionStatus::Kind::converting),
    Cancelled = int(ConversionStatus::Kind::cancelled),
    Skipped = int(ConversionStatus::Kind::skipped),
};
Q_ENUM_NS(Kind)

static_assert(Done == 0 && Error == 1 && Queued == 2 && Converting == 3 && Cancelled == 4 &&
              Skipped == 5);
} // namespace Status
