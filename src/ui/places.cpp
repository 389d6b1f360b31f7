#include "places.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QThreadPool>

#include <utility>

namespace {

void addPlace(QList<Places::Place> &places, QStringList &seen, const QString &name,
              const QString &path, const QString &icon)
{
    const QString clean = QDir::cleanPath(path);
    if (path.isEmpty() || seen.contains(clean) || !QFileInfo(clean).isDir())
        return;
    seen.append(clean);
    places.append({name, QUrl::fromLocalFile(clean), icon});
}

QList<Places::Place> gather()
{
    QList<Places::Place> places;
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

} // namespace

Places::Places(QObject *parent)
    : QAbstractListModel(parent)
{
    refresh();
}

int Places::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_places.size());
}

QVariant Places::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Place &place = m_places.at(index.row());
    switch (role) {
    case NameRole:
    case Qt::DisplayRole:
        return place.name;
    case UrlRole:
        return place.url;
    case IconRole:
        return place.icon;
    default:
        return {};
    }
}

QHash<int, QByteArray> Places::roleNames() const
{
    return {{NameRole, "name"}, {UrlRole, "url"}, {IconRole, "icon"}};
}

QUrl Places::urlAt(int row) const
{
    return row >= 0 && row < m_places.size() ? m_places.at(row).url : QUrl();
}

void Places::refresh()
{
    const quint64 generation = ++m_generation;
    QPointer<Places> self(this);
    QThreadPool::globalInstance()->start([self, generation] {
        QList<Place> places = gather();
        // The application object outlives the model; `self` is looked at on its thread only.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, generation, places = std::move(places)]() mutable {
                if (self)
                    self->take(generation, std::move(places));
            },
            Qt::QueuedConnection);
    });
}

void Places::take(quint64 generation, QList<Place> places)
{
    // The same places again change nothing, so the keyboard keeps its place in the list.
    if (generation != m_generation || places == m_places)
        return;
    beginResetModel();
    m_places = std::move(places);
    endResetModel();
    Q_EMIT countChanged();
}
