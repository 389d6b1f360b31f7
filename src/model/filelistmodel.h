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
    Q_PROPERTY(qint64 fileCount READ fileCount NOTIFY countsChanged)
    Q_PROPERTY(qint64 selectedCount READ selectedCount NOTIFY countsChanged)
    Q_PROPERTY(qint64 doneCount READ doneCount NOTIFY countsChanged)
    Q_PROPERTY(qint64 errorCount READ errorCount NOTIFY countsChanged)
    Q_PROPERTY(qint64 cancelledCount READ cancelledCount NOTIFY countsChanged)
    Q_PROPERTY(bool allSelected READ allSelected NOTIFY countsChanged)
    Q_PROPERTY(qint64 skippedCount READ skippedCount NOTIFY countsChanged)
    Q_PROPERTY(bool hasUnfinished READ hasUnfinished NOTIFY countsChanged)

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
    [[nodiscard]] qint64 fileCount() const { return m_items.size(); }
    [[nodiscard]] qint64 selectedCount() const { return m_selected; }
    [[nodiscard]] qint64 count(ConversionStatus::Kind kind) const;
    [[nodiscard]] qint64 doneCount() const { return count(ConversionStatus::Kind::done); }
    [[nodiscard]] qint64 errorCount() const { return count(ConversionStatus::Kind::error); }
    [[nodiscard]] qint64 cancelledCount() const { return count(ConversionStatus::Kind::cancelled); }
    [[nodiscard]] bool allSelected() const { return fileCount() > 0 && m_selected == fileCount(); }
    [[nodiscard]] qint64 skippedCount() const { return count(ConversionStatus::Kind::skipped); }
    /// A skipped file is finished: its output is there already.
    [[nodiscard]] bool hasUnfinished() const { return doneCount() + skippedCount() < fileCount(); }
    /// The selected files, in list order.
    [[nodiscard]] QList<FileItem> selectedItems() const;
    /// How many selected files are done.
    Q_INVOKABLE [[nodiscard]] qint64 selectedDoneCount() const;

    Q_INVOKABLE void selectAll() { setAllSelected(true); }
    Q_INVOKABLE void deselectAll() { setAllSelected(false); }
    /// Selects exactly the files that are not done, so that Convert finishes an interrupted run.
    Q_INVOKABLE void selectUnfinished();

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
