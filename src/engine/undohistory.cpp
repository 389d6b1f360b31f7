#include "undohistory.h"

QString UndoHistory::undoText() const
{
    return m_undo.empty() ? QString() : describe(m_undo.back());
}

QString UndoHistory::redoText() const
{
    return m_redo.empty() ? QString() : describe(m_redo.back());
}

void UndoHistory::record(UndoStep step)
{
    push(m_undo, std::move(step));
    m_redo.clear();
}

QString UndoHistory::describe(const UndoStep &step)
{
    if (const auto *files = std::get_if<FileListModel::Removed>(&step)) {
        return files->size() == 1 ? QStringLiteral("Removed 1 file")
                                  : QStringLiteral("Removed %1 files").arg(files->size());
    }
    const auto &preset = std::get<SettingsStore::RemovedPreset>(step);
    return QStringLiteral("Removed preset \u201c%1\u201d").arg(preset.preset.name);
}

std::optional<UndoStep> UndoHistory::take(std::deque<UndoStep> &steps)
{
    if (steps.empty())
        return std::nullopt;
    UndoStep step = std::move(steps.back());
    steps.pop_back();
    return step;
}

void UndoHistory::push(std::deque<UndoStep> &steps, UndoStep step)
{
    steps.push_back(std::move(step));
    if (steps.size() > maxSteps)
        steps.pop_front();
}
