#pragma once

#include "batchrun.h"
#include "filelistmodel.h"
#include "outputfolder.h"
#include "removedfiles.h"
#include "settingsstore.h"
#include "undohistory.h"

#include <QObject>
#include <QThreadPool>
#include <QUrl>

#include <functional>
#include <optional>

/// The converter behind the window: it owns the file list, the settings, the output folder
/// and the run, and does what spans them (adding files, removing them with undo, starting a
/// run). The views bind to those objects for their state. All of its state changes on the
/// thread that created it (the GUI thread).
class ImageConverter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(FileListModel *fileList READ fileModel CONSTANT)
    Q_PROPERTY(BatchRun *run READ run CONSTANT)
    Q_PROPERTY(SettingsStore *settingsStore READ settingsStore CONSTANT)
    Q_PROPERTY(OutputFolder *outputFolder READ outputFolder CONSTANT)
    Q_PROPERTY(QStringList acceptedExtensions READ acceptedExtensions CONSTANT)
    Q_PROPERTY(bool isAdding READ isAdding NOTIFY addingChanged)
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
    [[nodiscard]] BatchRun *run() { return &m_run; }
    [[nodiscard]] SettingsStore *settingsStore() { return &m_settings; }
    [[nodiscard]] OutputFolder *outputFolder() { return &m_outputFolder; }
    [[nodiscard]] const QList<FileItem> &files() const { return m_files.items(); }
    [[nodiscard]] static QStringList acceptedExtensions();
    [[nodiscard]] const ConverterSettings &settings() const { return m_settings.settings(); }
    [[nodiscard]] std::optional<ResolutionPreset> selectedPreset() const
    {
        return m_settings.selectedPreset();
    }
    [[nodiscard]] bool isConverting() const { return m_run.isConverting(); }

    /// True while folders given to `addFiles` are being walked.
    [[nodiscard]] bool isAdding() const { return m_walks > 0; }

    [[nodiscard]] bool canConvert() const { return convertBlocker().isEmpty(); }
    /// Why Convert cannot run now ("Adding files…", "Add files", "Select files", "Choose a
    /// preset", a setting outside its rule), or empty.
    [[nodiscard]] QString convertBlocker() const;
    /// The settings strip holds an entry that was refused, so the stored value is not what the
    /// user sees; Convert waits until it is corrected or dismissed.
    void setRefusedEntries(bool sizeLimit, bool ppi);
    [[nodiscard]] bool canRemove() const { return !isConverting() && m_files.selectedCount() > 0; }
    [[nodiscard]] bool canUndo() const { return m_history.canUndo(); }
    /// What `undo` would put back, e.g. "Removed 3 files".
    [[nodiscard]] QString undoText() const { return m_history.undoText(); }
    [[nodiscard]] bool canRedo() const { return m_history.canRedo(); }
    /// What `redo` would take away again.
    [[nodiscard]] QString redoText() const { return m_history.redoText(); }

    /// Removes the presets with `id`, so that undo can put it back.
    void removePreset(const QUuid &id);

    // The list.
    /// Walks folders off the GUI thread; the items are appended later, in one change per call,
    /// in the order of the calls. The output folder is never walked into. New items are
    /// selected, so those that arrive while a run is under way join it.
    Q_INVOKABLE void addFiles(const QList<QUrl> &locations);
    /// Ends the walks under way and those waiting to start: each appends what it has found so
    /// far, soon. Later calls to `addFiles` walk as usual.
    Q_INVOKABLE void stopAdding();
    /// Removes the checked files.
    Q_INVOKABLE void removeSelected();
    /// Removes the file in `row`, checked or not.
    Q_INVOKABLE void removeRow(int row);
    Q_INVOKABLE void clearAll();
    /// Puts back what the newest removal of files or of a preset took away.
    Q_INVOKABLE void undo();
    /// Does the newest undone removal again; not during a run.
    Q_INVOKABLE void redo();

    // Conversion.
    /// Converts the selected files.
    Q_INVOKABLE void convertAll();
    /// Converts the selected files that are not done yet; the selection stays as it is.
    Q_INVOKABLE void convertUnfinished();
    /// Stop: ends the walks of `addFiles` under way (`stopAdding`) and stops the run.
    Q_INVOKABLE void stop();
    void setEncoderLocator(EncoderLocator locator) { m_locateEncoder = std::move(locator); }

Q_SIGNALS:
    void addingChanged();
    void decisionsChanged();
    void undoChanged();
    /// Something was removed and can be undone; `text` says what.
    void removalRecorded(const QString &text);
    /// Something the user should read once, e.g. that a run could not start.
    void noticeRequested(const QString &text);
    /// One `addFiles` call has appended what it found (possibly nothing).
    void filesAdded(qint64 count);
    /// A file has its final status from a run, or from a run that could not start.
    void fileFinished(const QByteArray &path, const ConversionStatus &status);
    /// A run ended, or `convertAll` found no encoder and marked the selected files.
    void runFinished();

private:
    void remember(UndoStep step);
    void removeFiles(const std::function<bool(const FileItem &)> &remove);
    void start(const QList<FileItem> &items);
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
    OutputFolder m_outputFolder;
    EncoderLocator m_locateEncoder;
    UndoHistory m_history;
    bool m_sizeLimitRefused = false;
    bool m_ppiRefused = false;
    QThreadPool m_walkPool;
    /// Walks started and not yet appended.
    int m_walks = 0;
    /// Stops the walks started since the last `stopAdding`.
    std::shared_ptr<std::atomic<bool>> m_stopWalks = std::make_shared<std::atomic<bool>>(false);
};
