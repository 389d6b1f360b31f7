#include "undohistory.h"

#include <QSet>

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

bool UndoHistory::undo(FileListModel &files, SettingsStore &settings)
{
    std::optional<UndoStep> step = take(m_undo);
    if (!step)
        return false;
    if (const auto *removed = std::get_if<RemovedFiles>(&*step))
        files.restore(removed->rows());
    else
        settings.restorePreset(std::get<SettingsStore::RemovedPreset>(*step));
    push(m_redo, std::move(*step));
    return true;
}

bool UndoHistory::redo(FileListModel &files, SettingsStore &settings)
{
    std::optional<UndoStep> step = take(m_redo);
    if (!step)
        return false;
    if (const auto *removed = std::get_if<RemovedFiles>(&*step)) {
        // The files are found by id: rows may have moved since.
        QSet<QUuid> ids;
        for (const auto &[row, item] : removed->rows())
            ids.insert(item.id);
        FileListModel::Removed again =
            files.removeIf([&ids](const FileItem &item) { return ids.contains(item.id); });
        if (!again.isEmpty())
            push(m_undo, RemovedFiles(std::move(again)));
    } else {
        const auto &preset = std::get<SettingsStore::RemovedPreset>(*step);
        push(m_undo, settings.removePreset(preset.preset.id).value_or(preset));
    }
    return true;
}

void UndoHistory::update(const FileItem &finished)
{
    for (std::deque<UndoStep> *steps : {&m_undo, &m_redo}) {
        for (UndoStep &step : *steps) {
            if (auto *removed = std::get_if<RemovedFiles>(&step))
                removed->update(finished);
        }
    }
}

QString UndoHistory::describe(const UndoStep &step)
{
    if (const auto *files = std::get_if<RemovedFiles>(&step)) {
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
