#include "animationencoder.h"

#include "webpencoder.h"

namespace AnimationEncoder {

QString program()
{
    return QStringLiteral("img2webp");
}

std::optional<QString> locate()
{
    return WebpEncoder::locateIn(qEnvironmentVariable("TESSEL_IMG2WEBP"),
                                 {QStringLiteral("/opt/homebrew/bin/img2webp"),
                                  QStringLiteral("/usr/local/bin/img2webp"),
                                  QStringLiteral("/usr/bin/img2webp")},
                                 {}, program());
}

QString notFoundMessage()
{
#ifdef Q_OS_MACOS
    return QStringLiteral("img2webp not found \u2014 run: brew install webp");
#else
    return QStringLiteral("img2webp not found \u2014 run: sudo apt install webp");
#endif
}

QStringList arguments(const QStringList &framePngs, const std::vector<int> &delaysMs, int loop,
                      int quality, const QString &outputPath)
{
    // The tool takes no frame shorter than a millisecond; a GIF's 0 becomes the shortest it
    // takes, which viewers treat as they treat the 0.
    constexpr int shortestDelay = 1;
    QStringList args{QStringLiteral("-o"),     outputPath,
                     QStringLiteral("-loop"),  QString::number(loop),
                     QStringLiteral("-lossy"), QStringLiteral("-q"),
                     QString::number(quality), QStringLiteral("-m"),
                     QString::number(method)};
    for (qsizetype i = 0; i < framePngs.size(); ++i)
        args << QStringLiteral("-d")
             << QString::number(std::max(shortestDelay, delaysMs[size_t(i)])) << framePngs[i];
    return args;
}

} // namespace AnimationEncoder
