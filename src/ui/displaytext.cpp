#include "displaytext.h"

#include "sizetext.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

DisplayText::DisplayText(QObject *parent)
    : QObject(parent)
{}

QString DisplayText::formatList(const QStringList &extensions)
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

QString DisplayText::folderName(const QUrl &folder)
{
    const QString path = QDir::cleanPath(folder.toLocalFile());
    if (path == QStringLiteral("/"))
        return path;
    return path.section(u'/', -1);
}

QString DisplayText::pathText(const QUrl &url)
{
    return url.isLocalFile() ? QDir::toNativeSeparators(QDir::cleanPath(url.toLocalFile()))
                             : url.toString();
}

QString DisplayText::parentName(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QString parent = QFileInfo(path).absolutePath();
    return parent == QStringLiteral("/") ? parent : parent.section(u'/', -1) + u'/';
}

QString DisplayText::sizeText(qint64 bytes)
{
    return SizeText::kilobytes(bytes);
}

QString DisplayText::fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}
