#include "nativepath.h"

#include <QFile>
#include <QStringList>

#include <dirent.h>
#include <sys/stat.h>

namespace NativePath {

namespace {

bool exists(const QByteArray &path)
{
    struct stat info
    {};
    return ::lstat(path.constData(), &info) == 0;
}

/// The raw name of the entry of `folder` that decodes to `name`, or its plain encoding.
QByteArray entryNamed(const QByteArray &folder, const QString &name)
{
    QByteArray found = QFile::encodeName(name);
    DIR *dir = ::opendir(folder.isEmpty() ? "/" : folder.constData());
    if (!dir)
        return found;
    while (const dirent *entry = ::readdir(dir)) {
        if (QFile::decodeName(entry->d_name) == name) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

QByteArray of(const QString &path)
{
    const QByteArray direct = QFile::encodeName(path);
    if (!path.contains(QChar::ReplacementCharacter) || exists(direct))
        return direct;
    const QStringList parts = path.split(QLatin1Char('/'));
    QByteArray resolved = QFile::encodeName(parts.first());
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray next = resolved + '/' + QFile::encodeName(parts[i]);
        resolved = !parts[i].contains(QChar::ReplacementCharacter) || exists(next)
                       ? next
                       : resolved + '/' + entryNamed(resolved, parts[i]);
    }
    return resolved;
}

} // namespace NativePath
