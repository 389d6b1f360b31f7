#include "folderlisting.h"

#include "fileintake.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QThreadPool>

#include <algorithm>
#include <utility>
#include <vector>

FolderListing::FolderListing(QObject *parent)
    : QAbstractListModel(parent)
{}

int FolderListing::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant FolderListing::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry &entry = m_entries.at(index.row());
    switch (role) {
    case FileNameRole:
    case Qt::DisplayRole:
        return entry.name;
    case FileUrlRole:
        return urlAt(index.row());
    case FileIsDirRole:
        return entry.isDir;
    default:
        return {};
    }
}

QHash<int, QByteArray> FolderListing::roleNames() const
{
    return {{FileNameRole, "fileName"}, {FileUrlRole, "fileUrl"}, {FileIsDirRole, "fileIsDir"}};
}

void FolderListing::setFolder(const QUrl &folder)
{
    if (m_folder == folder)
        return;
    m_folder = folder;
    Q_EMIT folderChanged();
    refresh();
}

QUrl FolderListing::parentFolder() const
{
    QDir dir(m_folder.toLocalFile());
    return dir.cdUp() ? QUrl::fromLocalFile(dir.absolutePath()) : m_folder;
}

void FolderListing::setShowFiles(bool showFiles)
{
    if (m_showFiles == showFiles)
        return;
    m_showFiles = showFiles;
    Q_EMIT showFilesChanged();
    refresh();
}

void FolderListing::setNameFilters(const QStringList &filters)
{
    if (m_nameFilters == filters)
        return;
    m_nameFilters = filters;
    Q_EMIT nameFiltersChanged();
    refresh();
}

QUrl FolderListing::urlAt(int row) const
{
    if (row < 0 || row >= m_entries.size())
        return {};
    return QUrl::fromLocalFile(QDir(m_folder.toLocalFile()).filePath(m_entries.at(row).name));
}

bool FolderListing::isDirAt(int row) const
{
    return row >= 0 && row < m_entries.size() && m_entries.at(row).isDir;
}

int FolderListing::rowOf(const QString &name) const
{
    const auto found = std::find_if(m_entries.cbegin(), m_entries.cend(),
                                    [&](const Entry &entry) { return entry.name == name; });
    return found == m_entries.cend() ? -1 : int(found - m_entries.cbegin());
}

int FolderListing::rowStartingWith(const QString &prefix) const
{
    if (prefix.isEmpty())
        return -1;
    const auto found = std::find_if(m_entries.cbegin(), m_entries.cend(), [&](const Entry &entry) {
        return entry.name.startsWith(prefix, Qt::CaseInsensitive);
    });
    return found == m_entries.cend() ? -1 : int(found - m_entries.cbegin());
}

void FolderListing::refresh()
{
    const quint64 generation = ++m_generation;
    const QString path = m_folder.toLocalFile();
    const bool showFiles = m_showFiles;
    const QStringList filters = m_nameFilters;
    QPointer<FolderListing> self(this);
    // A folder on a slow or network drive must not hold up the window.
    QThreadPool::globalInstance()->start([self, generation, path, showFiles, filters] {
        // Each name's bytes are taken once, not at every comparison.
        std::vector<std::pair<QByteArray, Entry>> found;
        if (!path.isEmpty()) {
            QDir dir(path);
            for (const QString &name :
                 dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted))
                found.emplace_back(QFile::encodeName(name), Entry{name, true});
            if (showFiles) {
                dir.setNameFilters(filters);
                for (const QString &name : dir.entryList(QDir::Files, QDir::Unsorted))
                    found.emplace_back(QFile::encodeName(name), Entry{name, false});
            }
        }
        std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) {
            if (a.second.isDir != b.second.isDir)
                return a.second.isDir;
            return FileIntake::naturalLess(a.first, b.first);
        });
        QList<Entry> entries;
        entries.reserve(qsizetype(found.size()));
        for (auto &item : found)
            entries.append(std::move(item.second));
        // The application object outlives the listing; `self` is looked at on its thread only.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, generation, entries = std::move(entries)]() mutable {
                if (self)
                    self->take(generation, std::move(entries));
            },
            Qt::QueuedConnection);
    });
}

void FolderListing::take(quint64 generation, QList<Entry> entries)
{
    if (generation != m_generation)
        return;
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
    Q_EMIT countChanged();
}
