#include "encoderoutcome.h"

#include <QStringDecoder>

QString EncoderOutcome::message(const QString &program) const
{
    if (kind == Kind::notLaunched)
        return program + QStringLiteral(" failed: ") + launchError;
    return program + QStringLiteral(" [") + QString::number(exitStatus) + QStringLiteral("]: ") +
           detail();
}

QString EncoderOutcome::detail() const
{
    if (kind == Kind::notLaunched)
        return launchError;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(standardError);
    return decoder.hasError() ? QStringLiteral("Unknown") : text.trimmed();
}
