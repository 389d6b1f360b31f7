#pragma once

#include "filelistmodel.h"

#include <QHash>
#include <QUuid>

/// Files taken out of the list, kept so that undo can put them back. A run goes on with a
/// removed file it has already taken up, so the file's result can come while it is out of the
/// list; it is kept with the file, which comes back showing how it ended.
class RemovedFiles
{
public:
    explicit RemovedFiles(FileListModel::Removed rows)
        : m_rows(std::move(rows))
    {}

    /// The files with the rows they had, as `FileListModel::restore` takes them.
    [[nodiscard]] const FileListModel::Removed &rows() const { return m_rows; }
    [[nodiscard]] qsizetype size() const { return m_rows.size(); }
    /// Takes `finished`'s status and input size when it is one of the removed files.
    void update(const FileItem &finished);

private:
    FileListModel::Removed m_rows;
    /// Where each file is in `m_rows`; made when the first result comes.
    QHash<QUuid, qsizetype> m_at;
};
