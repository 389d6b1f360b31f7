#include "removedfiles.h"

void RemovedFiles::update(const FileItem &finished)
{
    if (m_at.isEmpty()) {
        m_at.reserve(m_rows.size());
        for (qsizetype i = 0; i < m_rows.size(); ++i)
            m_at.insert(m_rows.at(i).second.id, i);
    }
    const auto found = m_at.constFind(finished.id);
    if (found == m_at.constEnd())
        return;
    FileItem &item = m_rows[*found].second;
    item.status = finished.status;
    item.inputSize = finished.inputSize;
}
