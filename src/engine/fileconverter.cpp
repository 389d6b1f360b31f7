#include "fileconverter.h"

namespace FileConverter {

ConversionStatus convert(const QUrl &input, const ConversionJob &job, const RunFlags &flags)
{
    Q_UNUSED(input);
    Q_UNUSED(job);
    if (flags.cancelled.load())
        return ConversionStatus::cancelled();
    return ConversionStatus::error(QStringLiteral("Could not load image"));
}

} // namespace FileConverter
