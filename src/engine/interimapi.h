#pragma once

// Bridges to the byte-path walk and conversion while they are being changed over.

#include "conversionjob.h"
#include "conversionstatus.h"
#include "fileconverter.h"

#include <QFile>

namespace FileConverter {
inline ConversionStatus convert(const QByteArray &path, const ConversionJob &job,
                                const RunFlags &flags)
{
    return convert(QUrl::fromLocalFile(QFile::decodeName(path)), job, flags);
}
} // namespace FileConverter
