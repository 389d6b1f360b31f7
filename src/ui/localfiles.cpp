#include "localfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

LocalFiles::LocalFiles(QObject *parent)
    : QObject(parent)
{}

QUrl LocalFiles::homeFolder()
{
    return QUrl::fromLocalFile(QDir::homePath());
}

QUrl LocalFiles::picturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? QUrl::fromLocalFile(pictures) : homeFolder();
}

QStringList LocalFiles::nameFilters(const QStringList &extensions)
{
    QStringList filters;
    for (const QString &extension : extensions)
        filters.append(QStringLiteral("*.") + extension);
    return filters;
}

QList<QUrl> LocalFiles::localFiles(const QList<QUrl> &urls)
{
    QList<QUrl> files;
    for (const QUrl &url : urls) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files.append(url);
    }
    return files;
}

QUrl LocalFiles::typedFolder(const QString &text)
{
    QString path = text.trimmed();
    if (path == QStringLiteral("~") || path.startsWith(QStringLiteral("~/")))
        path = QDir::homePath() + path.mid(1);
    if (path.startsWith(QStringLiteral("file:")))
        path = QUrl(path).toLocalFile();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isAbsolute() || !info.isDir())
        return {};
    return QUrl::fromLocalFile(QDir::cleanPath(info.absoluteFilePath()));
}

QUrl LocalFiles::makeFolder(const QUrl &parent, const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || trimmed.contains(u'/') || trimmed == QLatin1String(".") ||
        trimmed == QLatin1String(".."))
        return {};
    QDir folder(parent.toLocalFile());
    if (folder.exists(trimmed) || !folder.mkdir(trimmed))
        return {};
    return QUrl::fromLocalFile(folder.filePath(trimmed));
}
