#include "fileintake.h"

#include "nativepath.h"

#include <QFile>

#include <atomic>
#include <filesystem>

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
        std::error_code typeError;
        if (!std::filesystem::is_directory(NativePath::of(path).toStdString(), typeError)) {
            if (isAccepted(location.fileName()))
                images.append(location);
            continue;
        }
        // The walk works on the file system's own bytes, so that names that are not valid
        // UTF-8 are found too; it does not enter links to folders, and unreadable folders are
        // passed over.
        namespace fs = std::filesystem;
        std::error_code error;
        fs::recursive_directory_iterator walk(NativePath::of(path).toStdString(),
                                              fs::directory_options::skip_permission_denied, error);
        for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
            if (stop && stop->load(std::memory_order_relaxed))
                return images;
            const QString name = QFile::decodeName(walk->path().filename().c_str());
            if (name.startsWith(QLatin1Char('.'))) {
                walk.disable_recursion_pending();
                continue;
            }
            std::error_code entryError;
            if (walk->is_regular_file(entryError) && isAccepted(name))
                images.append(QUrl::fromLocalFile(QFile::decodeName(walk->path().c_str())));
        }
    }
    return images;
}

} // namespace FileIntake
