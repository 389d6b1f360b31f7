#pragma once

// Bridges to the byte-path walk and conversion while they are being changed over.

#include "conversionjob.h"
#include "conversionstatus.h"
#include "fileconverter.h"
#include "fileintake.h"

#include <QFile>

namespace FileIntake {
inline QList<QByteArray> expand(const QList<QUrl> &locations, const QByteArray &,
                                const std::atomic<bool> *stop)
{
    QList<QByteArray> paths;
    for (const QUrl &url : expand(locations, stop))
        paths.append(QFile::encodeName(url.toLocalFile()));
    return paths;
}
} // namespace FileIntake

namespace FileConverter {
inline ConversionStatus convert(const QByteArray &path, const ConversionJob &job,
                                const RunFlags &flags)
{
    return convert(QUrl::fromLocalFile(QFile::decodeName(path)), job, flags);
}
} // namespace FileConverter
