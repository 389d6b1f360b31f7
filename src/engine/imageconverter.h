#pragma once

#include "batchrun.h"
#include "filelistmodel.h"
#include "removedfiles.h"
#include "settingsstore.h"
#include "undohistory.h"

#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <QUrl>

#include <functional>
#include <optional>

/// The window's converter: a thin façade over the file list, the settings, the output folder
/// and the batch run. Its properties carry the decisions the views show, so views only bind.
/// All of its state changes on the thread that created it (the GUI thread).
class ImageConverter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(FileListModel *fileModel READ fileModel CONSTANT)
    Q_PROPERTY(QStringList acceptedExtensions READ acceptedExtensions CONSTANT)
    // The list.
    Q_PROPERTY(qint64 fileCount READ fileCount NOTIFY filesChanged)
    Q_PROPERTY(qint64 selectedCount READ selectedCount NOTIFY filesChanged)
    Q_PROPERTY(qint64 doneCount READ doneCount NOTIFY filesChanged)
    Q_PROPERTY(qint64 errorCount READ errorCount NOTIFY filesChanged)
    Q_PROPERTY(qint64 cancelledCount READ cancelledCount NOTIFY filesChanged)
    Q_PROPERTY(qint64 skippedCount READ skippedCount NOTIFY filesChanged)
    Q_PROPERTY(bool allSelected READ allSelected NOTIFY filesChanged)
    Q_PROPERTY(bool noneSelected READ noneSelected NOTIFY filesChanged)
    Q_PROPERTY(bool hasUnfinished READ hasUnfinished NOTIFY filesChanged)
    Q_PROPERTY(bool isAdding READ isAdding NOTIFY addingChanged)
    // The run.
    Q_PROPERTY(bool isConverting READ isConverting NOTIFY runChanged)
    Q_PROPERTY(bool isCancelled READ isCancelled WRITE setCancelled NOTIFY runChanged)
    Q_PROPERTY(qint64 completedCount READ completedCount NOTIFY runChanged)
    Q_PROPERTY(qint64 totalCount READ totalCount NOTIFY runChanged)
    Q_PROPERTY(qint64 runStartedAt READ runStartedAt NOTIFY runChanged)
    Q_PROPERTY(qint64 remainingMs READ remainingMs NOTIFY runChanged)
    Q_PROPERTY(QString summaryText READ summaryText NOTIFY runChanged)
    // Settings and output folder.
    Q_PROPERTY(bool hasSelectedPreset READ hasSelectedPreset NOTIFY settingsChanged)
    Q_PROPERTY(qint64 effectivePPI READ effectivePPI NOTIFY settingsChanged)
    Q_PROPERTY(QUrl outputFolderURL READ outputFolderURL NOTIFY outputFolderChanged)
    Q_PROPERTY(QString outputFolderPath READ outputFolderPath NOTIFY outputFolderChanged)
    Q_PROPERTY(bool hasOutputFolder READ hasOutputFolder NOTIFY outputFolderChanged)
    // Decisions.
    Q_PROPERTY(bool canConvert READ canConvert NOTIFY decisionsChanged)
    Q_PROPERTY(QString convertBlocker READ convertBlocker NOTIFY decisionsChanged)
    Q_PROPERTY(bool canRemove READ canRemove NOTIFY decisionsChanged)
    Q_PROPERTY(bool canUndo READ canUndo NOTIFY undoChanged)
    Q_PROPERTY(QString undoText READ undoText NOTIFY undoChanged)
    Q_PROPERTY(bool canRedo READ canRedo NOTIFY undoChanged)
    Q_PROPERTY(QString redoText READ redoText NOTIFY undoChanged)

public:
    /// Finds the encoder for a run; tests put stand-ins here.
    using EncoderLocator = std::function<std::optional<QString>()>;

    explicit ImageConverter(QObject *parent = nullptr);
    ~ImageConverter() override;

    [[nodiscard]] FileListModel *fileModel() { return &m_files; }
    [[nodiscard]] const QList<FileItem> &files() const { return m_files.items(); }
    [[nodiscard]] QList<FileItem> selectedFiles() const;
    [[nodiscard]] static QStringList acceptedExtensions();

    [[nodiscard]] qint64 fileCount() const { return m_files.items().size(); }
    [[nodiscard]] qint64 selectedCount() const { return m_files.selectedCount(); }
    [[nodiscard]] qint64 doneCount() const { return m_files.count(ConversionStatus::Kind::done); }
    [[nodiscard]] qint64 errorCount() const { return m_files.count(ConversionStatus::Kind::error); }
    [[nodiscard]] qint64 cancelledCount() const
    {
        return m_files.count(ConversionStatus::Kind::cancelled);
    }
    [[nodiscard]] qint64 skippedCount() const
    {
        return m_files.count(ConversionStatus::Kind::skipped);
    }
    [[nodiscard]] bool allSelected() const
    {
        return fileCount() > 0 && selectedCount() == fileCount();
    }
    [[nodiscard]] bool noneSelected() const { return selectedCount() == 0; }
    /// A skipped file is finished: its output is there already.
    [[nodiscard]] bool hasUnfinished() const { return doneCount() + skippedCount() < fileCount(); }

    /// True while folders given to `addFiles` are being walked.
    [[nodiscard]] bool isAdding() const { return m_walks > 0; }

    [[nodiscard]] bool isConverting() const { return m_run.isConverting(); }
    [[nodiscard]] bool isCancelled() const { return m_run.isCancelled(); }
    /// Setting it is Stop: it stops the walks of `addFiles` under way (`stopAdding`) and the
    /// run; false changes nothing.
    void setCancelled(bool cancelled);
    [[nodiscard]] qint64 completedCount() const { return m_run.completedCount(); }
    [[nodiscard]] qint64 totalCount() const { return m_run.totalCount(); }
    [[nodiscard]] qint64 runStartedAt() const { return m_run.startedAt(); }
    [[nodiscard]] qint64 remainingMs() const { return m_run.remainingMs(); }
    /// The last run's summary while any of its files is still in the list.
    [[nodiscard]] QString summaryText() const
    {
        return m_summaryShown ? m_run.summaryText() : QString();
    }

    [[nodiscard]] const ConverterSettings &settings() const { return m_settings.settings(); }
    /// Publishes a changed record; it is stored only by `saveSettings`.
    void setSettings(const ConverterSettings &settings) { m_settings.setSettings(settings); }
    [[nodiscard]] std::optional<ResolutionPreset> selectedPreset() const
    {
        return m_settings.selectedPreset();
    }
    [[nodiscard]] bool hasSelectedPreset() const { return selectedPreset().has_value(); }
    [[nodiscard]] qint64 effectivePPI() const { return m_settings.effectivePPI(); }
    [[nodiscard]] QUrl outputFolderURL() const { return m_outputFolderURL; }
    [[nodiscard]] QString outputFolderPath() const { return m_outputFolderURL.toLocalFile(); }
    [[nodiscard]] bool hasOutputFolder() const { return !m_outputFolderURL.isEmpty(); }

    [[nodiscard]] bool canConvert() const { return convertBlocker().isEmpty(); }
    /// Why Convert cannot run now ("Adding files…", "Add files", "Select files", "Choose a
    /// preset", a setting outside its rule), or empty.
    [[nodiscard]] QString convertBlocker() const;
    /// The settings strip holds an entry that was refused, so the stored value is not what the
    /// user sees; Convert waits until it is corrected or dismissed.
    void setRefusedEntries(bool sizeLimit, bool ppi);
    [[nodiscard]] bool canRemove() const { return !isConverting() && selectedCount() > 0; }
    [[nodiscard]] bool canUndo() const { return m_history.canUndo(); }
    /// What `undo` would put back, e.g. "Removed 3 files".
    [[nodiscard]] QString undoText() const { return m_history.undoText(); }
    [[nodiscard]] bool canRedo() const { return m_history.canRedo(); }
    /// What `redo` would take away again.
    [[nodiscard]] QString redoText() const { return m_history.redoText(); }

    // Settings and presets.
    Q_INVOKABLE void saveSettings() { m_settings.save(); }
    Q_INVOKABLE void addPreset(const QString &name, qint64 width, qint64 height);
    Q_INVOKABLE void selectOriginalPreset();
    Q_INVOKABLE void removePreset(const QUuid &id);

    // The list.
    /// Walks folders off the GUI thread; the items are appended later, in one change per call,
    /// in the order of the calls. The output folder is never walked into. New items are
    /// selected, so those that arrive while a run is under way join it.
    Q_INVOKABLE void addFiles(const QList<QUrl> &locations);
    /// Ends the walks under way and those waiting to start: each appends what it has found so
    /// far, soon. Later calls to `addFiles` walk as usual.
    Q_INVOKABLE void stopAdding();
    Q_INVOKABLE void selectAll() { m_files.setAllSelected(true); }
    Q_INVOKABLE void deselectAll() { m_files.setAllSelected(false); }
    /// Selects exactly the files that are not done, so that Convert finishes an interrupted run.
    Q_INVOKABLE void selectUnfinished();
    /// Removes the checked files.
    Q_INVOKABLE void removeSelected();
    /// Removes the file in `row`, checked or not.
    Q_INVOKABLE void removeRow(int row);
    Q_INVOKABLE void clearAll();
    /// Puts back what the newest removal of files or of a preset took away.
    Q_INVOKABLE void undo();
    /// Does the newest undone removal again; not during a run.
    Q_INVOKABLE void redo();

    // Output folder.
    /// Asks the window's folder chooser (`outputFolderChooserRequested`).
    Q_INVOKABLE void chooseOutputFolder() { Q_EMIT outputFolderChooserRequested(); }
    /// The chooser's answer: uses `folder` from now on and remembers it.
    Q_INVOKABLE void setChosenOutputFolder(const QUrl &folder);
    /// Uses `folder` for the next runs without remembering it.
    void useOutputFolder(const QUrl &folder);

    // Conversion.
    Q_INVOKABLE void convertAll();
    void setEncoderLocator(EncoderLocator locator) { m_locateEncoder = std::move(locator); }

Q_SIGNALS:
    void filesChanged();
    void addingChanged();
    void runChanged();
    void settingsChanged();
    void outputFolderChanged();
    void decisionsChanged();
    void undoChanged();
    /// Something was removed and can be undone; `text` says what.
    void removalRecorded(const QString &text);
    /// Something the user should read once, e.g. that a run could not start.
    void noticeRequested(const QString &text);
    /// One `addFiles` call has appended what it found (possibly nothing).
    void filesAdded(qint64 count);
    /// The window should show its folder chooser and answer with `setChosenOutputFolder`.
    void outputFolderChooserRequested();
    /// A file has its final status from a run, or from a run that could not start.
    void fileFinished(const QByteArray &path, const ConversionStatus &status);
    /// A run ended, or `convertAll` found no encoder and marked the selected files.
    void runFinished();

private:
    void remember(UndoStep step);
    void removeFiles(const std::function<bool(const FileItem &)> &remove);
    /// Shows the last run's summary exactly while one of its files is in the list.
    void updateSummary();
    /// The setting that keeps Convert from running, or empty.
    [[nodiscard]] QString settingsBlocker() const;
    /// Appends the walked items that are not in the list yet; `repeated` paths were already
    /// dropped as repeats within the walk.
    void appendNew(const QList<FileItem> &items, qsizetype repeated);
    /// Passes on a file's final status from the run, also to the removed files kept for undo.
    void finish(const FileItem &item);

    FileListModel m_files;
    SettingsStore m_settings;
    BatchRun m_run{&m_files};
    QUrl m_outputFolderURL;
    EncoderLocator m_locateEncoder;
    UndoHistory m_history;
    QSet<QUuid> m_lastRun;
    bool m_summaryShown = false;
    bool m_sizeLimitRefused = false;
    bool m_ppiRefused = false;
    QThreadPool m_walkPool;
    /// Walks started and not yet appended.
    int m_walks = 0;
    /// Stops the walks started since the last `stopAdding`.
    std::shared_ptr<std::atomic<bool>> m_stopWalks = std::make_shared<std::atomic<bool>>(false);
};
