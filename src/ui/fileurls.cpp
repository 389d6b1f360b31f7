#include "fileurls.h"

#include "fileintake.h"

#include <QDir>

FileUrls::FileUrls(QObject *parent)
    : QObject(parent)
{}

QList<QUrl> FileUrls::localFiles(const QList<QUrl> &urls)
{
    QList<QUrl> files;
    for (const QUrl &url : urls) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files.append(url);
    }
    return files;
}

QString FileUrls::folderName(const QUrl &folder)
{
    const QString path = QDir::cleanPath(folder.toLocalFile());
    if (path == QStringLiteral("/"))
        return path;
    return path.section(u'/', -1);
}

QStringList FileUrls::imageNameFilters()
{
    QStringList filters;
    for (const QString &extension : FileIntake::supportedExtensions())
        filters.append(QStringLiteral("*.") + extension);
    return filters;
}

QUrl FileUrls::homeFolder()
{
    return QUrl::fromLocalFile(QDir::homePath());
}
