#include "filelistmodel.h"

FileListModel::FileListModel(QObject *parent)
    : QAbstractListModel(parent)
{}

FileListModel::~FileListModel()
{
    // Items can outlive the list (a running conversion still holds them).
    for (const auto &item : std::as_const(m_items))
        item->setObserver(nullptr);
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const FileItem *item = m_items.at(index.row()).data();
    switch (role) {
    case ItemRole:
        return QVariant::fromValue(const_cast<FileItem *>(item));
    case Qt::DisplayRole:
    case FileNameRole:
        return item->fileName();
    case IsSelectedRole:
        return item->isSelected();
    case StatusKindRole:
        return QVariant::fromValue(item->statusKind());
    case StatusNameRole:
        return item->statusName();
    case StatusTextRole:
        return item->statusText();
    default:
        return {};
    }
}

QHash<int, QByteArray> FileListModel::roleNames() const
{
    return {
        {ItemRole, "item"},
        {FileNameRole, "fileName"},
        {IsSelectedRole, "isSelected"},
        {StatusKindRole, "statusKind"},
        {StatusNameRole, "statusName"},
        {StatusTextRole, "statusText"},
    };
}

void FileListModel::append(const QList<QSharedPointer<FileItem>> &items)
{
    if (items.isEmpty())
        return;
    const int first = static_cast<int>(m_items.size());
    beginInsertRows({}, first, first + static_cast<int>(items.size()) - 1);
    m_items.reserve(m_items.size() + items.size());
    for (const auto &item : items) {
        m_rows.insert(item.data(), static_cast<int>(m_items.size()));
        m_items.append(item);
        item->setObserver(this);
    }
    endInsertRows();
}

void FileListModel::removeIf(const std::function<bool(const FileItem &)> &remove)
{
    // Runs of removed rows, from the back, so that earlier row numbers stay valid.
    QList<std::pair<qsizetype, qsizetype>> runs;
    for (qsizetype row = m_items.size() - 1; row >= 0; --row) {
        if (!remove(*m_items.at(row)))
            continue;
        if (!runs.isEmpty() && runs.last().first == row + 1)
            runs.last().first = row;
        else
            runs.append({row, row});
    }
    if (runs.isEmpty())
        return;

    // Many scattered runs would cost a shift of the list each; one reset is cheaper then.
    constexpr qsizetype maxSeparateRemovals = 32;
    if (runs.size() > maxSeparateRemovals) {
        beginResetModel();
        QList<QSharedPointer<FileItem>> kept;
        kept.reserve(m_items.size());
        for (const auto &item : std::as_const(m_items)) {
            if (remove(*item))
                item->setObserver(nullptr);
            else
                kept.append(item);
        }
        m_items = std::move(kept);
        reindex();
        endResetModel();
        return;
    }
    for (const auto &[first, last] : std::as_const(runs)) {
        beginRemoveRows({}, static_cast<int>(first), static_cast<int>(last));
        for (qsizetype i = first; i <= last; ++i)
            m_items.at(i)->setObserver(nullptr);
        m_items.remove(first, last - first + 1);
        endRemoveRows();
    }
    reindex();
}

void FileListModel::clear()
{
    if (m_items.isEmpty())
        return;
    beginResetModel();
    for (const auto &item : std::as_const(m_items))
        item->setObserver(nullptr);
    m_items.clear();
    m_rows.clear();
    endResetModel();
}

void FileListModel::statusAssigned(FileItem *item, ConversionStatus::Kind previous)
{
    rowChanged(item, {StatusKindRole, StatusNameRole, StatusTextRole});
    Q_EMIT itemStatusChanged(item, previous);
}

void FileListModel::selectionAssigned(FileItem *item, bool previous)
{
    rowChanged(item, {IsSelectedRole});
    Q_EMIT itemSelectionChanged(item, previous);
}

void FileListModel::reindex()
{
    m_rows.clear();
    m_rows.reserve(m_items.size());
    for (qsizetype row = 0; row < m_items.size(); ++row)
        m_rows.insert(m_items.at(row).data(), static_cast<int>(row));
}

void FileListModel::rowChanged(FileItem *item, const QList<int> &roles)
{
    const auto found = m_rows.constFind(item);
    if (found == m_rows.constEnd())
        return;
    const QModelIndex changed = index(*found);
    Q_EMIT dataChanged(changed, changed, roles);
}
