#pragma once

#include "fileitem.h"

#include <QAbstractListModel>
#include <QHash>
#include <QSharedPointer>

/// The converter's file list as a list model: one row per item. A change of one item's status
/// or selection updates that row only; a batch of new items is one insertion.
class FileListModel : public QAbstractListModel, private FileItem::Observer
{
    Q_OBJECT

public:
    enum Role
    {
        ItemRole = Qt::UserRole + 1,
        FileNameRole,
        IsSelectedRole,
        StatusKindRole,
        StatusNameRole,
        StatusTextRole,
    };
    Q_ENUM(Role)

    explicit FileListModel(QObject *parent = nullptr);
    ~FileListModel() override;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] const QList<QSharedPointer<FileItem>> &items() const { return m_items; }
    void append(const QList<QSharedPointer<FileItem>> &items);
    /// Removes the items for which `remove` is true; the others keep their order.
    void removeIf(const std::function<bool(const FileItem &)> &remove);
    void clear();

Q_SIGNALS:
    /// An item's status was assigned; `previous` is the kind it had before.
    void itemStatusChanged(FileItem *item, ConversionStatus::Kind previous);
    /// An item's selection was assigned; `previous` is the value it had before.
    void itemSelectionChanged(FileItem *item, bool previous);

private:
    void statusAssigned(FileItem *item, ConversionStatus::Kind previous) override;
    void selectionAssigned(FileItem *item, bool previous) override;
    void reindex();
    void rowChanged(FileItem *item, const QList<int> &roles);

    QList<QSharedPointer<FileItem>> m_items;
    QHash<const FileItem *, int> m_rows;
};
