#include "imageconverter.h"

#include "fileintake.h"
#include "ppioption.h"
#include "preferences.h"
#include "settingrules.h"
#include "webpencoder.h"

#include <QFileInfo>

#include <algorithm>

ImageConverter::ImageConverter(QObject *parent)
    : QObject(parent)
    , m_locateEncoder(&WebpEncoder::locate)
{
    // One walker: walks run one after another, so their items arrive in the order of the calls.
    m_walkPool.setMaxThreadCount(1);
    if (auto folder = Preferences::loadOutputFolder())
        m_outputFolderURL = *folder;

    connect(&m_files, &FileListModel::countsChanged, this, &ImageConverter::filesChanged);
    connect(&m_run, &BatchRun::changed, this, &ImageConverter::runChanged);
    connect(&m_settings, &SettingsStore::changed, this, &ImageConverter::settingsChanged);
    for (auto notify : {&ImageConverter::filesChanged, &ImageConverter::addingChanged,
                        &ImageConverter::runChanged, &ImageConverter::settingsChanged})
        connect(this, notify, this, &ImageConverter::decisionsChanged);
    connect(&m_run, &BatchRun::fileFinished, this, &ImageConverter::finish);
    connect(&m_run, &BatchRun::finished, this, &ImageConverter::runFinished);
}

ImageConverter::~ImageConverter()
{
    // A walk notices at its next entry, so closing the window does not wait for a large tree.
    *m_stopWalks = true;
    m_walkPool.clear();
    m_walkPool.waitForDone();
}

QStringList ImageConverter::acceptedExtensions()
{
    return FileIntake::supportedExtensions();
}

QList<FileItem> ImageConverter::selectedFiles() const
{
    QList<FileItem> selected;
    selected.reserve(selectedCount());
    for (const FileItem &item : files()) {
        if (item.isSelected)
            selected.append(item);
    }
    return selected;
}

void ImageConverter::setCancelled(bool cancelled)
{
    if (!cancelled)
        return;
    stopAdding();
    m_run.stop();
}

QString ImageConverter::convertBlocker() const
{
    if (isConverting())
        return QStringLiteral("Converting\u2026");
    if (isAdding())
        return QStringLiteral("Adding files\u2026");
    if (fileCount() == 0)
        return QStringLiteral("Add files");
    if (noneSelected())
        return QStringLiteral("Select files");
    if (!hasSelectedPreset())
        return QStringLiteral("Choose a preset");
    return settingsBlocker();
}

QString ImageConverter::settingsBlocker() const
{
    const ConverterSettings &s = settings();
    if (s.fileSizeLimitEnabled &&
        (m_sizeLimitRefused || !SettingRules::sizeLimitError(s.fileSizeLimitKB).isEmpty()))
        return QStringLiteral("Size limit must be %1\u2013%2 KB")
            .arg(SettingRules::minSizeLimitKB)
            .arg(SettingRules::maxSizeLimitKB);
    const auto option = PPIOptions::fromRawValue(s.ppiOption);
    const bool customPPI = !option || !PPIOptions::fixedValue(*option);
    if ((customPPI && m_ppiRefused) || !SettingRules::ppiError(effectivePPI()).isEmpty())
        return QStringLiteral("PPI must be %1\u2013%2")
            .arg(SettingRules::minPPI)
            .arg(SettingRules::maxPPI);
    return {};
}

void ImageConverter::setRefusedEntries(bool sizeLimit, bool ppi)
{
    if (m_sizeLimitRefused == sizeLimit && m_ppiRefused == ppi)
        return;
    m_sizeLimitRefused = sizeLimit;
    m_ppiRefused = ppi;
    Q_EMIT decisionsChanged();
}

void ImageConverter::remember(UndoStep step)
{
    const QString text = UndoHistory::describe(step);
    m_history.record(std::move(step));
    Q_EMIT undoChanged();
    Q_EMIT removalRecorded(text);
}

void ImageConverter::finish(const FileItem &item)
{
    // Files kept for undo are out of the list, so the run could not show this result there.
    m_history.update(item);
    Q_EMIT fileFinished(item.path, item.status);
}

void ImageConverter::addPreset(const QString &name, qint64 width, qint64 height)
{
    m_settings.addPreset(name, width, height);
}

void ImageConverter::selectOriginalPreset()
{
    m_settings.selectOriginalPreset();
}

void ImageConverter::removePreset(const QUuid &id)
{
    if (auto removed = m_settings.removePreset(id))
        remember(std::move(*removed));
}

void ImageConverter::addFiles(const QList<QUrl> &locations)
{
    const QByteArray skip = FileIntake::pathOf(m_outputFolderURL);
    const std::shared_ptr<std::atomic<bool>> stop = m_stopWalks;
    if (m_walks++ == 0)
        Q_EMIT addingChanged();
    // Posted back as one queued call; the destructor waits for the walker first.
    m_walkPool.start([this, locations, skip, stop] {
        // A path given twice (a file and its folder) is listed once; repeats within the walk
        // are found here, off the GUI thread.
        QList<FileItem> items;
        QSet<QByteArray> walked;
        qsizetype repeated = 0;
        for (const QByteArray &path : FileIntake::expand(locations, skip, stop.get())) {
            const qsizetype before = walked.size();
            walked.insert(path);
            if (walked.size() == before)
                ++repeated;
            else
                items.append(FileItem::make(path));
        }
        QMetaObject::invokeMethod(
            this,
            [this, items, repeated] {
                --m_walks;
                appendNew(items, repeated);
                if (m_walks == 0)
                    Q_EMIT addingChanged();
            },
            Qt::QueuedConnection);
    });
}

void ImageConverter::stopAdding()
{
    if (!isAdding())
        return;
    *m_stopWalks = true;
    m_stopWalks = std::make_shared<std::atomic<bool>>(false);
}

void ImageConverter::appendNew(const QList<FileItem> &items, qsizetype repeated)
{
    QList<FileItem> fresh = items;
    if (fileCount() > 0) {
        QSet<QByteArray> listed;
        listed.reserve(fileCount());
        for (const FileItem &item : files())
            listed.insert(item.path);
        fresh.removeIf([&listed](const FileItem &item) { return listed.contains(item.path); });
        repeated += items.size() - fresh.size();
    }
    m_files.append(fresh);
    if (isConverting()) {
        for (const FileItem &item : std::as_const(fresh))
            m_lastRun.insert(item.id);
    }
    m_run.join(fresh);
    Q_EMIT filesAdded(fresh.size());
    if (repeated > 0)
        Q_EMIT noticeRequested(
            repeated == 1 ? QStringLiteral("1 file was already in the list")
                          : QStringLiteral("%1 files were already in the list").arg(repeated));
}

void ImageConverter::selectUnfinished()
{
    m_files.selectWhere(
        [](const FileItem &item) { return item.status.kind() != ConversionStatus::Kind::done; });
}

void ImageConverter::removeFiles(const std::function<bool(const FileItem &)> &remove)
{
    FileListModel::Removed removed = m_files.removeIf(remove);
    if (removed.isEmpty())
        return;
    remember(RemovedFiles(std::move(removed)));
    updateSummary();
}

void ImageConverter::removeSelected()
{
    removeFiles([](const FileItem &item) { return item.isSelected; });
}

void ImageConverter::removeRow(int row)
{
    if (isConverting() || row < 0 || row >= fileCount())
        return;
    const QUuid id = files().at(row).id;
    removeFiles([&id](const FileItem &item) { return item.id == id; });
}

void ImageConverter::clearAll()
{
    m_run.resetCounts();
    removeFiles([](const FileItem &) { return true; });
}

void ImageConverter::undo()
{
    if (m_history.undo(m_files, m_settings)) {
        updateSummary();
        Q_EMIT undoChanged();
    }
}

void ImageConverter::redo()
{
    // Nothing is removed during a run, redone or not.
    if (isConverting())
        return;
    if (m_history.redo(m_files, m_settings)) {
        updateSummary();
        Q_EMIT undoChanged();
    }
}

void ImageConverter::updateSummary()
{
    const bool shown = std::any_of(files().cbegin(), files().cend(), [this](const FileItem &item) {
        return m_lastRun.contains(item.id);
    });
    if (shown == m_summaryShown)
        return;
    m_summaryShown = shown;
    Q_EMIT runChanged();
}

void ImageConverter::setChosenOutputFolder(const QUrl &folder)
{
    // Only a local folder can take outputs; anything else (whose local path is empty) would
    // leave the run without one.
    if (folder.toLocalFile().isEmpty())
        return;
    useOutputFolder(folder);
    Preferences::saveOutputFolder(folder);
}

void ImageConverter::useOutputFolder(const QUrl &folder)
{
    m_outputFolderURL = folder;
    Q_EMIT outputFolderChanged();
}

void ImageConverter::convertAll()
{
    if (isConverting() || noneSelected())
        return;
    const std::optional<ResolutionPreset> preset = selectedPreset();
    if (!preset)
        return;
    const QList<FileItem> selected = selectedFiles();

    const std::optional<QString> encoder = m_locateEncoder ? m_locateEncoder() : std::nullopt;
    if (!encoder) {
        const ConversionStatus missing = ConversionStatus::error(WebpEncoder::notFoundMessage());
        m_files.setStatusWhere([](const FileItem &item) { return item.isSelected; }, missing);
        for (const FileItem &item : selected)
            Q_EMIT fileFinished(item.path, missing);
        Q_EMIT runFinished();
        return;
    }
    if (!hasOutputFolder()) {
        chooseOutputFolder();
        return;
    }
    if (!FileIntake::isFolder(FileIntake::pathOf(m_outputFolderURL))) {
        Q_EMIT noticeRequested(
            QStringLiteral("The output folder \u201c%1\u201d is not there any more. Choose "
                           "another one, or make it again.")
                .arg(QFileInfo(outputFolderPath()).fileName()));
        return;
    }
    if (!settingsBlocker().isEmpty())
        return;

    const ConverterSettings &s = settings();
    ConversionJob job;
    job.encoderPath = *encoder;
    job.width = preset->width;
    job.height = preset->height;
    job.preserveOriginal = preset->preserveOriginal;
    job.resizeMode = preset->resizeMode;
    job.shrinkOnly = preset->shrinkOnly;
    job.ppi = effectivePPI();
    job.sizeLimitEnabled = s.fileSizeLimitEnabled;
    job.sizeLimitBytes = SettingRules::usableSizeLimitKB(s.fileSizeLimitKB) * 1024;
    job.quality = SettingRules::usableQuality(s.quality);
    job.effort = s.effort;
    job.outputFolder = FileIntake::pathOf(m_outputFolderURL);
    m_lastRun.clear();
    for (const FileItem &item : selected)
        m_lastRun.insert(item.id);
    m_summaryShown = true;
    m_run.start(selected, job);
}
