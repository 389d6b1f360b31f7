#pragma once

#include "fileitem.h"

#include <QAbstractListModel>
#include <QHash>

#include <array>
#include <functional>

/// The converter's file list: one row per `FileItem`, kept as plain values. It owns the counts
/// the views show, and a row's selection changes through `setData`. A change of one item
/// updates that row only; a batch of new items is one insertion.
class FileListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role
    {
        IdRole = Qt::UserRole + 1,
        FileNameRole,
        PathRole,
        IsSelectedRole,
        StatusKindRole,
        StatusTextRole,
        DetailRole,
        InputSizeRole,
        OutputPathRole,
        OutputSizeRole,
    };
    Q_ENUM(Role)

    /// Items taken out of the list with the rows they had, in ascending row order.
    using Removed = QList<std::pair<int, FileItem>>;

    explicit FileListModel(QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex &index) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] const QList<FileItem> &items() const { return m_items; }
    [[nodiscard]] qint64 selectedCount() const { return m_selected; }
    [[nodiscard]] qint64 count(ConversionStatus::Kind kind) const;

    void append(const QList<FileItem> &items);
    /// Takes out the items for which `remove` is true; the others keep their order.
    Removed removeIf(const std::function<bool(const FileItem &)> &remove);
    /// Puts items taken out by `removeIf` back at the rows they had.
    void restore(const Removed &removed);
    void setAllSelected(bool selected);
    /// Selects exactly the items for which `select` is true.
    void selectWhere(const std::function<bool(const FileItem &)> &select);
    /// Sets the status of the item with `id`; false when no such item is in the list any more.
    bool setStatus(const QUuid &id, const ConversionStatus &status, qint64 inputSize = -1);
    /// Sets the status of every item for which `change` is true, as one change.
    void setStatusWhere(const std::function<bool(const FileItem &)> &change,
                        const ConversionStatus &status);

Q_SIGNALS:
    /// The number of rows, the selection or a status count changed.
    void countsChanged();

private:
    void recount();
    void reindex();
    /// Replaces every row at once: cheaper than many scattered insertions or removals.
    void reset(QList<FileItem> items);

    QList<FileItem> m_items;
    QHash<QUuid, int> m_rows;
    qint64 m_selected = 0;
    std::array<qint64, 6> m_kinds{};
};
