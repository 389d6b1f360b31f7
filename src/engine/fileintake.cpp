#include "fileintake.h"

#include <QDirIterator>
#include <QFileInfo>

#include <atomic>

namespace FileIntake {

const QList<QString> &supportedExtensions()
{
    static const QList<QString> extensions{
        QStringLiteral("png"),  QStringLiteral("jpg"),  QStringLiteral("jpeg"),
        QStringLiteral("jfif"), QStringLiteral("tiff"), QStringLiteral("tif"),
        QStringLiteral("webp"), QStringLiteral("bmp"),  QStringLiteral("heic"),
        QStringLiteral("heif"), QStringLiteral("gif"),  QStringLiteral("avif")};
    return extensions;
}

bool isAccepted(const QString &fileName)
{
    static const QSet<QString> accepted(supportedExtensions().cbegin(),
                                        supportedExtensions().cend());
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == fileName.size() - 1)
        return false;
    return accepted.contains(fileName.sliced(dot + 1).toLower());
}

QList<QUrl> expand(const QList<QUrl> &locations, const std::atomic<bool> *stop)
{
    QList<QUrl> images;
    for (const QUrl &location : locations) {
        if (!location.isLocalFile())
            continue;
        const QString path = location.toLocalFile();
        if (!QFileInfo(path).isDir()) {
            if (isAccepted(location.fileName()))
                images.append(location);
            continue;
        }
        // Without QDir::Hidden the iterator neither lists hidden entries nor enters hidden
        // folders, and without FollowSymlinks it does not enter linked folders.
        QDirIterator walk(path, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (walk.hasNext()) {
            if (stop && stop->load(std::memory_order_relaxed))
                return images;
            const QString entry = walk.next();
            if (isAccepted(walk.fileName()))
                images.append(QUrl::fromLocalFile(entry));
        }
    }
    return images;
}

} // namespace FileIntake
