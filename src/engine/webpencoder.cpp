#include "webpencoder.h"

#include <QFileInfo>
#include <QProcess>

namespace WebpEncoder {

std::optional<QString> locate()
{
    const QString candidates[] = {QStringLiteral("/opt/homebrew/bin/cwebp"),
                                  QStringLiteral("/usr/local/bin/cwebp"),
                                  QStringLiteral("/usr/bin/cwebp")};
    for (const QString &path : candidates) {
        if (QFileInfo::exists(path))
            return path;
    }
    return std::nullopt;
}

QString notFoundMessage()
{
#ifdef Q_OS_MACOS
    return QStringLiteral("cwebp not found \u2014 run: brew install webp");
#else
    return QStringLiteral("cwebp not found \u2014 run: sudo apt install webp");
#endif
}

} // namespace WebpEncoder
