#include "folderlisting.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QRegularExpression>
#include <QThreadPool>

#include <algorithm>

namespace {

// QCollator's numeric mode needs ICU and a real locale; under the C locale it compares
// "10" before "2". Runs of digits are compared by value here, everything else without case.
bool naturalLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            const qsizetype startA = i;
            const qsizetype startB = j;
            while (i < a.size() && a.at(i).isDigit())
                ++i;
            while (j < b.size() && b.at(j).isDigit())
                ++j;
            const QString numberA =
                a.mid(startA, i - startA).remove(QRegularExpression(QStringLiteral("^0+")));
            const QString numberB =
                b.mid(startB, j - startB).remove(QRegularExpression(QStringLiteral("^0+")));
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (const int order = numberA.compare(numberB); order != 0)
                return order < 0;
            continue;
        }
        const int order = QString::compare(a.mid(i, 1), b.mid(j, 1), Qt::CaseInsensitive);
        if (order != 0)
            return order < 0;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

} // namespace

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

void FolderListing::refresh()
{
    const quint64 generation = ++m_generation;
    const QString path = m_folder.toLocalFile();
    const bool showFiles = m_showFiles;
    const QStringList filters = m_nameFilters;
    QPointer<FolderListing> self(this);
    // A folder on a slow or network drive must not hold up the window.
    QThreadPool::globalInstance()->start([self, generation, path, showFiles, filters] {
        QList<Entry> entries;
        if (!path.isEmpty()) {
            QDir dir(path);
            for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                entries.append({name, true});
            if (showFiles) {
                dir.setNameFilters(filters);
                for (const QString &name : dir.entryList(QDir::Files))
                    entries.append({name, false});
            }
        }
        std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
            if (a.isDir != b.isDir)
                return a.isDir;
            return naturalLess(a.name, b.name);
        });
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
