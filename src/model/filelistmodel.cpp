#include "filelistmodel.h"

#include <algorithm>

FileListModel::FileListModel(QObject *parent)
    : QAbstractListModel(parent)
{}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const FileItem &item = m_items.at(index.row());
    const bool done = item.status.kind() == ConversionStatus::Kind::done;
    switch (role) {
    case IdRole:
        return item.id;
    case Qt::DisplayRole:
    case FileNameRole:
        return item.fileName();
    case PathRole:
        return item.displayPath();
    case IsSelectedRole:
        return item.isSelected;
    case StatusKindRole:
        return static_cast<int>(item.status.kind());
    case StatusTextRole:
        return item.status.statusText();
    case DetailRole:
        return item.status.detail();
    case InputSizeRole:
        return item.inputSize;
    case OutputPathRole:
        // A skipped file's output is the one that was there already.
        return done || item.status.kind() == ConversionStatus::Kind::skipped
                   ? item.status.outputPath()
                   : QString();
    case OutputSizeRole:
        return done ? item.status.fileSize() : qint64(0);
    default:
        return {};
    }
}

bool FileListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != IsSelectedRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    FileItem &item = m_items[index.row()];
    const bool selected = value.toBool();
    if (item.isSelected != selected) {
        item.isSelected = selected;
        m_selected += selected ? 1 : -1;
        Q_EMIT dataChanged(index, index, {IsSelectedRole});
        Q_EMIT countsChanged();
    }
    return true;
}

Qt::ItemFlags FileListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return QAbstractListModel::flags(index);
    return QAbstractListModel::flags(index) | Qt::ItemIsUserCheckable | Qt::ItemIsEditable;
}

QHash<int, QByteArray> FileListModel::roleNames() const
{
    return {
        {IdRole, "id"},
        {FileNameRole, "fileName"},
        {PathRole, "path"},
        {IsSelectedRole, "isSelected"},
        {StatusKindRole, "statusKind"},
        {StatusTextRole, "statusText"},
        {DetailRole, "detail"},
        {InputSizeRole, "inputSize"},
        {OutputPathRole, "outputPath"},
        {OutputSizeRole, "outputSize"},
    };
}

namespace {

/// More separate runs of rows than this are changed by one reset instead.
constexpr qsizetype maxSeparateRuns = 32;

/// The number of runs of consecutive rows in `removed`.
qsizetype runCount(const FileListModel::Removed &removed)
{
    qsizetype runs = 0;
    for (qsizetype i = 0; i < removed.size(); ++i)
        runs += (i == 0 || removed.at(i - 1).first + 1 != removed.at(i).first) ? 1 : 0;
    return runs;
}

} // namespace

qint64 FileListModel::count(ConversionStatus::Kind kind) const
{
    return m_kinds.at(static_cast<size_t>(kind));
}

void FileListModel::append(const QList<FileItem> &items)
{
    if (items.isEmpty())
        return;
    const int first = static_cast<int>(m_items.size());
    beginInsertRows({}, first, first + static_cast<int>(items.size()) - 1);
    m_items.append(items);
    for (int row = first; row < m_items.size(); ++row) {
        const FileItem &item = m_items.at(row);
        m_rows.insert(item.id, row);
        m_selected += item.isSelected ? 1 : 0;
        m_kinds.at(static_cast<size_t>(item.status.kind())) += 1;
    }
    endInsertRows();
    Q_EMIT countsChanged();
}

FileListModel::Removed FileListModel::removeIf(const std::function<bool(const FileItem &)> &remove)
{
    Removed removed;
    for (int row = 0; row < m_items.size(); ++row) {
        if (remove(m_items.at(row)))
            removed.append({row, m_items.at(row)});
    }
    if (removed.isEmpty())
        return removed;
    if (runCount(removed) > maxSeparateRuns) {
        QList<FileItem> kept;
        kept.reserve(m_items.size() - removed.size());
        for (const FileItem &item : std::as_const(m_items)) {
            if (!remove(item))
                kept.append(item);
        }
        reset(std::move(kept));
        return removed;
    }
    // Contiguous runs, from the back, so that earlier row numbers stay valid.
    for (qsizetype end = removed.size(); end > 0;) {
        qsizetype start = end - 1;
        while (start > 0 && removed.at(start - 1).first == removed.at(start).first - 1)
            --start;
        const int first = removed.at(start).first;
        const int last = removed.at(end - 1).first;
        beginRemoveRows({}, first, last);
        m_items.remove(first, last - first + 1);
        endRemoveRows();
        end = start;
    }
    reindex();
    recount();
    return removed;
}

void FileListModel::restore(const Removed &removed)
{
    // Ascending rows: each item goes back in front of what followed it.
    if (runCount(removed) > maxSeparateRuns) {
        const qsizetype total = m_items.size() + removed.size();
        QList<FileItem> merged;
        merged.reserve(total);
        qsizetype next = 0;
        qsizetype kept = 0;
        while (merged.size() < total) {
            const bool back = next < removed.size() &&
                              (removed.at(next).first <= merged.size() || kept == m_items.size());
            merged.append(back ? removed.at(next++).second : m_items.at(kept++));
        }
        reset(std::move(merged));
        return;
    }
    for (qsizetype start = 0; start < removed.size();) {
        qsizetype end = start + 1;
        while (end < removed.size() && removed.at(end).first == removed.at(end - 1).first + 1)
            ++end;
        const int at = std::min(removed.at(start).first, static_cast<int>(m_items.size()));
        beginInsertRows({}, at, at + static_cast<int>(end - start) - 1);
        for (qsizetype i = start; i < end; ++i)
            m_items.insert(at + (i - start), removed.at(i).second);
        endInsertRows();
        start = end;
    }
    reindex();
    recount();
}

void FileListModel::setAllSelected(bool selected)
{
    selectWhere([selected](const FileItem &) { return selected; });
}

void FileListModel::selectWhere(const std::function<bool(const FileItem &)> &select)
{
    for (FileItem &item : m_items)
        item.isSelected = select(item);
    if (!m_items.isEmpty())
        Q_EMIT dataChanged(index(0), index(static_cast<int>(m_items.size()) - 1), {IsSelectedRole});
    recount();
}

bool FileListModel::setStatus(const QUuid &id, const ConversionStatus &status, qint64 inputSize)
{
    const auto found = m_rows.constFind(id);
    if (found == m_rows.constEnd())
        return false;
    FileItem &item = m_items[*found];
    m_kinds.at(static_cast<size_t>(item.status.kind())) -= 1;
    m_kinds.at(static_cast<size_t>(status.kind())) += 1;
    item.status = status;
    if (inputSize >= 0)
        item.inputSize = inputSize;
    const QModelIndex changed = index(*found);
    Q_EMIT dataChanged(changed, changed,
                       {StatusKindRole, StatusTextRole, DetailRole, InputSizeRole, OutputPathRole,
                        OutputSizeRole});
    Q_EMIT countsChanged();
    return true;
}

void FileListModel::setStatusWhere(const std::function<bool(const FileItem &)> &change,
                                   const ConversionStatus &status)
{
    for (FileItem &item : m_items) {
        if (change(item))
            item.status = status;
    }
    if (!m_items.isEmpty())
        Q_EMIT dataChanged(
            index(0), index(static_cast<int>(m_items.size()) - 1),
            {StatusKindRole, StatusTextRole, DetailRole, OutputPathRole, OutputSizeRole});
    recount();
}

void FileListModel::recount()
{
    m_selected = 0;
    m_kinds.fill(0);
    for (const FileItem &item : std::as_const(m_items)) {
        m_selected += item.isSelected ? 1 : 0;
        m_kinds.at(static_cast<size_t>(item.status.kind())) += 1;
    }
    Q_EMIT countsChanged();
}

void FileListModel::reindex()
{
    m_rows.clear();
    m_rows.reserve(m_items.size());
    for (int row = 0; row < m_items.size(); ++row)
        m_rows.insert(m_items.at(row).id, row);
}

void FileListModel::reset(QList<FileItem> items)
{
    beginResetModel();
    m_items = std::move(items);
    reindex();
    endResetModel();
    recount();
}

QList<FileItem> FileListModel::selectedItems() const
{
    QList<FileItem> selected;
    selected.reserve(m_selected);
    for (const FileItem &item : m_items) {
        if (item.isSelected)
            selected.append(item);
    }
    return selected;
}

qint64 FileListModel::selectedDoneCount() const
{
    return std::count_if(m_items.cbegin(), m_items.cend(), [](const FileItem &item) {
        return item.isSelected && item.status.kind() == ConversionStatus::Kind::done;
    });
}

void FileListModel::selectUnfinished()
{
    // A skipped file is finished too: its output is there already.
    selectWhere([](const FileItem &item) {
        return item.status.kind() != ConversionStatus::Kind::done &&
               item.status.kind() != ConversionStatus::Kind::skipped;
    });
}
