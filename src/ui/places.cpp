#include "places.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>

namespace {

void addPlace(QVariantList &places, QStringList &seen, const QString &name, const QString &path,
              const QString &icon)
{
    const QString clean = QDir::cleanPath(path);
    if (path.isEmpty() || seen.contains(clean) || !QFileInfo(clean).isDir())
        return;
    seen.append(clean);
    places.append(QVariantMap{{QStringLiteral("name"), name},
                              {QStringLiteral("url"), QUrl::fromLocalFile(clean)},
                              {QStringLiteral("icon"), icon}});
}

} // namespace

Places::Places(QObject *parent)
    : QObject(parent)
{}

QVariantList Places::list()
{
    QVariantList places;
    QStringList seen;
    const auto folder = QStringLiteral("folder");
    addPlace(places, seen, QStringLiteral("Home"), QDir::homePath(), QStringLiteral("house"));
    for (const auto location :
         {QStandardPaths::DesktopLocation, QStandardPaths::PicturesLocation,
          QStandardPaths::DocumentsLocation, QStandardPaths::DownloadLocation}) {
        addPlace(places, seen, QStandardPaths::displayName(location),
                 QStandardPaths::writableLocation(location), folder);
    }
    // Lines of "file:///path Optional name".
    QFile bookmarks(QDir::homePath() + QStringLiteral("/.config/gtk-3.0/bookmarks"));
    if (bookmarks.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!bookmarks.atEnd()) {
            const QString line = QString::fromUtf8(bookmarks.readLine()).trimmed();
            const QUrl url(line.section(u' ', 0, 0));
            if (!url.isLocalFile())
                continue;
            const QString name = line.section(u' ', 1).trimmed();
            const QString path = url.toLocalFile();
            addPlace(places, seen, name.isEmpty() ? QFileInfo(path).fileName() : name, path,
                     folder);
        }
    }
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (!volume.isReady() || !(root.startsWith(QLatin1String("/media/")) ||
                                   root.startsWith(QLatin1String("/run/media/")) ||
                                   root.startsWith(QLatin1String("/mnt/"))))
            continue;
        const QString name = volume.displayName();
        addPlace(places, seen, name.isEmpty() ? QFileInfo(root).fileName() : name, root,
                 QStringLiteral("drive"));
    }
    return places;
}
