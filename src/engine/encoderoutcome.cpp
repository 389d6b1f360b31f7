#include "encoderoutcome.h"

#include <QStringDecoder>

QString EncoderOutcome::message() const
{
    if (kind == Kind::notLaunched)
        return QStringLiteral("cwebp failed: ") + launchError;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(standardError);
    if (decoder.hasError())
        text = QStringLiteral("Unknown");
    return QStringLiteral("cwebp [") + QString::number(exitStatus) + QStringLiteral("]: ") +
           text.trimmed();
}
