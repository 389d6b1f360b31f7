#include "fileurls.h"

#include "sizetext.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

FileUrls::FileUrls(QObject *parent)
    : QObject(parent)
{}

QUrl FileUrls::homeFolder()
{
    return QUrl::fromLocalFile(QDir::homePath());
}

QUrl FileUrls::picturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? QUrl::fromLocalFile(pictures) : homeFolder();
}

QStringList FileUrls::nameFilters(const QStringList &extensions)
{
    QStringList filters;
    for (const QString &extension : extensions)
        filters.append(QStringLiteral("*.") + extension);
    return filters;
}

QString FileUrls::formatList(const QStringList &extensions)
{
    // Spellings of one format that the line names once, under its usual name.
    static const QHash<QString, QString> usual{
        {QStringLiteral("jpeg"), QStringLiteral("jpg")},
        {QStringLiteral("jfif"), QStringLiteral("jpg")},
        {QStringLiteral("tif"), QStringLiteral("tiff")},
        {QStringLiteral("heif"), QStringLiteral("heic")},
    };
    QStringList names;
    for (const QString &extension : extensions) {
        const QString lower = extension.toLower();
        const QString format = usual.value(lower, lower);
        const QString name =
            format == QLatin1String("webp") ? QStringLiteral("WebP") : format.toUpper();
        if (!names.contains(name))
            names.append(name);
    }
    return names.join(QStringLiteral(" \u00b7 "));
}

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

QString FileUrls::pathText(const QUrl &url)
{
    return url.isLocalFile() ? QDir::toNativeSeparators(QDir::cleanPath(url.toLocalFile()))
                             : url.toString();
}

QString FileUrls::parentName(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QString parent = QFileInfo(path).absolutePath();
    return parent == QStringLiteral("/") ? parent : parent.section(u'/', -1) + u'/';
}

QUrl FileUrls::typedFolder(const QString &text)
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

QUrl FileUrls::makeFolder(const QUrl &parent, const QString &name)
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

QString FileUrls::sizeText(qint64 bytes)
{
    return SizeText::kilobytes(bytes);
}

QString FileUrls::fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}
