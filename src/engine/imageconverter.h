#pragma once

#include "conversionjob.h"
#include "convertersettings.h"
#include "filelistmodel.h"

#include <QObject>
#include <QSharedPointer>
#include <QThreadPool>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

/// The window's converter: owns the file list, the settings, the output folder and the run
/// state; takes files in, keeps presets, persists settings and converts files concurrently.
///
/// Every write of a published field first emits `objectWillChange`, then the field's own
/// notification. All of its state changes on the thread that created it (the GUI thread).
class ImageConverter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(FileListModel *fileModel READ fileModel CONSTANT)
    Q_PROPERTY(qint64 fileCount READ fileCount NOTIFY filesChanged)
    Q_PROPERTY(bool isConverting READ isConverting NOTIFY isConvertingChanged)
    Q_PROPERTY(qint64 completedCount READ completedCount NOTIFY completedCountChanged)
    Q_PROPERTY(qint64 totalCount READ totalCount NOTIFY totalCountChanged)
    Q_PROPERTY(QUrl outputFolderURL READ outputFolderURL NOTIFY outputFolderURLChanged)
    Q_PROPERTY(bool isCancelled READ isCancelled WRITE setCancelled NOTIFY isCancelledChanged)
    Q_PROPERTY(bool hasSelectedPreset READ hasSelectedPreset NOTIFY settingsChanged)
    Q_PROPERTY(qint64 effectivePPI READ effectivePPI NOTIFY settingsChanged)
    Q_PROPERTY(qint64 selectedCount READ selectedCount NOTIFY countsChanged)
    Q_PROPERTY(qint64 doneCount READ doneCount NOTIFY countsChanged)
    Q_PROPERTY(qint64 errorCount READ errorCount NOTIFY countsChanged)
    Q_PROPERTY(qint64 cancelledCount READ cancelledCount NOTIFY countsChanged)
    Q_PROPERTY(bool allSelected READ allSelected NOTIFY countsChanged)
    Q_PROPERTY(bool noneSelected READ noneSelected NOTIFY countsChanged)

public:
    using EncoderLocator = std::function<std::optional<QString>()>;

    explicit ImageConverter(QObject *parent = nullptr);
    ~ImageConverter() override;

    // Published state.
    [[nodiscard]] const QList<QSharedPointer<FileItem>> &files() const;
    [[nodiscard]] FileListModel *fileModel() { return &m_files; }
    [[nodiscard]] qint64 fileCount() const { return m_files.items().size(); }
    [[nodiscard]] bool isConverting() const { return m_isConverting; }
    [[nodiscard]] qint64 completedCount() const { return m_completedCount; }
    [[nodiscard]] qint64 totalCount() const { return m_totalCount; }
    [[nodiscard]] QUrl outputFolderURL() const { return m_outputFolderURL; }
    [[nodiscard]] bool isCancelled() const;
    void setCancelled(bool cancelled);
    [[nodiscard]] ConverterSettings settings() const { return m_settings; }
    /// Publishes a changed record; it is saved only by `saveSettings`.
    void setSettings(const ConverterSettings &settings);

    // Derived state.
    [[nodiscard]] std::optional<ResolutionPreset> selectedPreset() const;
    [[nodiscard]] bool hasSelectedPreset() const { return selectedPreset().has_value(); }
    [[nodiscard]] qint64 effectivePPI() const;
    [[nodiscard]] QList<QSharedPointer<FileItem>> selectedFiles() const;
    [[nodiscard]] qint64 selectedCount() const { return m_selectedCount; }
    [[nodiscard]] qint64 doneCount() const { return m_doneCount; }
    [[nodiscard]] qint64 errorCount() const { return m_errorCount; }
    [[nodiscard]] qint64 cancelledCount() const { return m_cancelledCount; }
    [[nodiscard]] bool allSelected() const;
    [[nodiscard]] bool noneSelected() const { return m_selectedCount == 0; }

    // Settings and presets.
    Q_INVOKABLE void saveSettings();
    Q_INVOKABLE void addPreset(const QString &name, qint64 width, qint64 height);
    Q_INVOKABLE void selectOriginalPreset();
    Q_INVOKABLE void removePreset(const QUuid &id);

    // Intake and selection.
    Q_INVOKABLE void selectAll();
    Q_INVOKABLE void deselectAll();
    /// Walks folders off the GUI thread; the items are appended later, in one write per call,
    /// in the order of the calls.
    Q_INVOKABLE void addFiles(const QList<QUrl> &locations);
    Q_INVOKABLE void removeSelected();
    Q_INVOKABLE void clearAll();
    /// Announces a change of derived state after items were changed directly.
    Q_INVOKABLE void announceChange() { Q_EMIT objectWillChange(); }

    // Output folder.
    /// Asks the window's folder chooser (`outputFolderChooserRequested`).
    Q_INVOKABLE void chooseOutputFolder();
    /// The chooser's answer: uses `folder` from now on and remembers it.
    Q_INVOKABLE void setChosenOutputFolder(const QUrl &folder);
    /// Uses `folder` for the next runs without remembering it.
    void useOutputFolder(const QUrl &folder);
    Q_INVOKABLE void openOutputFolder();

    // Conversion.
    Q_INVOKABLE void convertAll();
    /// Converts one file with a run's captured values; called on worker threads.
    [[nodiscard]] ConversionStatus convertFile(const QUrl &input, const ConversionJob &job) const;
    /// Replaces how a run finds the encoder (tests use stand-ins).
    void setEncoderLocator(EncoderLocator locator);

Q_SIGNALS:
    /// Just before any published field is written.
    void objectWillChange();
    void filesChanged();
    void isConvertingChanged();
    void completedCountChanged();
    void totalCountChanged();
    void outputFolderURLChanged();
    void isCancelledChanged();
    void settingsChanged();
    /// Selection or status counts changed.
    void countsChanged();
    /// The window should show its folder chooser and answer with `setChosenOutputFolder`.
    void outputFolderChooserRequested();
    /// Every item of a run has its final status and the run flags are cleared.
    void runFinished();

private:
    void writeSettings(const std::function<void(ConverterSettings &)> &change);
    void appendFiles(const QList<QSharedPointer<FileItem>> &items);
    void recount();
    void countStatus(ConversionStatus::Kind kind, int delta);
    void startTask(const QSharedPointer<FileItem> &item, const ConversionJob &job,
                   const std::shared_ptr<qint64> &remaining);
    void finishTask(const QSharedPointer<FileItem> &item, const ConversionStatus &result,
                    const std::shared_ptr<qint64> &remaining);
    void endRun();

    FileListModel m_files;
    bool m_isConverting = false;
    qint64 m_completedCount = 0;
    qint64 m_totalCount = 0;
    QUrl m_outputFolderURL;
    ConverterSettings m_settings;

    qint64 m_selectedCount = 0;
    qint64 m_doneCount = 0;
    qint64 m_errorCount = 0;
    qint64 m_cancelledCount = 0;

    std::shared_ptr<RunFlags> m_flags = std::make_shared<RunFlags>();
    EncoderLocator m_locateEncoder;
    QThreadPool m_walkPool;
};
