#pragma once

#include "removedfiles.h"
#include "settingsstore.h"

#include <QString>

#include <deque>
#include <optional>
#include <variant>

/// What one removal took away: files of the list, or a preset.
using UndoStep = std::variant<RemovedFiles, SettingsStore::RemovedPreset>;

/// The removals that can be taken back, newest last, and those taken back that can be done
/// again. A new removal forgets what could be redone; past `maxSteps` the oldest step is
/// forgotten.
class UndoHistory
{
public:
    static constexpr std::size_t maxSteps = 50;

    [[nodiscard]] bool canUndo() const { return !m_undo.empty(); }
    [[nodiscard]] bool canRedo() const { return !m_redo.empty(); }
    /// "Removed 3 files", "Removed preset “Web”"; empty when there is nothing to undo or redo.
    [[nodiscard]] QString undoText() const;
    [[nodiscard]] QString redoText() const;

    /// A new removal.
    void record(UndoStep step);
    /// Puts back what the newest step took away; false when there was none.
    bool undo(FileListModel &files, SettingsStore &settings);
    /// Takes away again what the newest undone step took away, so that it can be undone again;
    /// what else could be redone stays. False when there was none.
    bool redo(FileListModel &files, SettingsStore &settings);

    /// Gives the removed files kept in any step `finished`'s result from a run that went on
    /// with them.
    void update(const FileItem &finished);

    /// "Removed 3 files" for `step`.
    [[nodiscard]] static QString describe(const UndoStep &step);

private:
    static std::optional<UndoStep> take(std::deque<UndoStep> &steps);
    static void push(std::deque<UndoStep> &steps, UndoStep step);

    std::deque<UndoStep> m_undo;
    std::deque<UndoStep> m_redo;
};
