#include "conversionstatus.h"

#include "sizetext.h"

ConversionStatus ConversionStatus::done(const QString &outputPath, qint64 fileSize, qint64 frames,
                                        const QStringList &keptMetadata)
{
    ConversionStatus status(Kind::done);
    status.m_text = outputPath;
    status.m_fileSize = fileSize;
    status.m_frames = frames;
    status.m_keptMetadata = keptMetadata;
    return status;
}

ConversionStatus ConversionStatus::error(const QString &message, const QString &detail)
{
    ConversionStatus status(Kind::error);
    status.m_text = message;
    status.m_detail = detail;
    return status;
}

ConversionStatus ConversionStatus::skipped(const QString &takenPath)
{
    ConversionStatus status(Kind::skipped);
    status.m_text = takenPath;
    return status;
}

QString ConversionStatus::statusText() const
{
    switch (m_kind) {
    case Kind::queued:
        return QStringLiteral("Waiting");
    case Kind::converting:
        return QStringLiteral("Converting\u2026");
    case Kind::cancelled:
        return QStringLiteral("Cancelled");
    case Kind::skipped:
        return QStringLiteral("Skipped \u00B7 name taken");
    case Kind::error:
        return m_text;
    case Kind::done:
        if (m_frames > 1)
            return QStringLiteral("%1 frames \u00b7 %2")
                .arg(m_frames)
                .arg(SizeText::kilobytes(m_fileSize));
        return SizeText::kilobytes(m_fileSize);
    }
    return {};
}
