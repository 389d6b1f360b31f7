#include "imageconverter.h"

#include "animationencoder.h"
#include "fileintake.h"
#include "ppioption.h"
#include "settingrules.h"
#include "webpencoder.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>

ImageConverter::ImageConverter(QObject *parent)
    : QObject(parent)
    , m_locateEncoder(&WebpEncoder::locate)
{
    // One walker: walks run one after another, so their items arrive in the order of the calls.
    m_walkPool.setMaxThreadCount(1);

    connect(&m_files, &FileListModel::countsChanged, this, &ImageConverter::decisionsChanged);
    connect(&m_run, &BatchRun::changed, this, &ImageConverter::decisionsChanged);
    connect(&m_settings, &SettingsStore::changed, this, &ImageConverter::decisionsChanged);
    connect(this, &ImageConverter::addingChanged, this, &ImageConverter::decisionsChanged);
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

void ImageConverter::stop()
{
    stopAdding();
    m_run.stop();
}

QString ImageConverter::convertBlocker() const
{
    if (isConverting())
        return QStringLiteral("Converting\u2026");
    if (isAdding())
        return QStringLiteral("Adding files\u2026");
    if (m_files.fileCount() == 0)
        return QStringLiteral("Add files");
    if (m_files.selectedCount() == 0)
        return QStringLiteral("Select files");
    if (!selectedPreset())
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
    if ((customPPI && m_ppiRefused) || !SettingRules::ppiError(m_settings.effectivePPI()).isEmpty())
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

void ImageConverter::removePreset(const QUuid &id)
{
    if (auto removed = m_settings.removePreset(id))
        remember(std::move(*removed));
}

void ImageConverter::addFiles(const QList<QUrl> &locations)
{
    const QByteArray skip = m_outputFolder.nativePath();
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
        for (const FileIntake::Found &found : FileIntake::expand(locations, skip, stop.get())) {
            const qsizetype before = walked.size();
            walked.insert(found.path);
            if (walked.size() == before)
                ++repeated;
            else
                items.append(FileItem::make(found.path, found.subfolder));
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
    if (m_files.fileCount() > 0) {
        QSet<QByteArray> listed;
        listed.reserve(m_files.fileCount());
        for (const FileItem &item : files())
            listed.insert(item.path);
        fresh.removeIf([&listed](const FileItem &item) { return listed.contains(item.path); });
        repeated += items.size() - fresh.size();
    }
    m_files.append(fresh);
    m_run.join(fresh);
    Q_EMIT filesAdded(fresh.size());
    if (repeated > 0)
        Q_EMIT noticeRequested(
            repeated == 1 ? QStringLiteral("1 file was already in the list")
                          : QStringLiteral("%1 files were already in the list").arg(repeated));
}

void ImageConverter::removeFiles(const std::function<bool(const FileItem &)> &remove)
{
    FileListModel::Removed removed = m_files.removeIf(remove);
    if (removed.isEmpty())
        return;
    remember(RemovedFiles(std::move(removed)));
}

void ImageConverter::removeSelected()
{
    removeFiles([](const FileItem &item) { return item.isSelected; });
}

void ImageConverter::removeRow(int row)
{
    if (isConverting() || row < 0 || row >= m_files.fileCount())
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
    if (m_history.undo(m_files, m_settings))
        Q_EMIT undoChanged();
}

void ImageConverter::redo()
{
    // Nothing is removed during a run, redone or not.
    if (isConverting())
        return;
    if (m_history.redo(m_files, m_settings))
        Q_EMIT undoChanged();
}

void ImageConverter::convertAll()
{
    start(m_files.selectedItems());
}

void ImageConverter::convertUnfinished()
{
    QList<FileItem> items = m_files.selectedItems();
    items.removeIf(
        [](const FileItem &item) { return item.status.kind() == ConversionStatus::Kind::done; });
    start(items);
}

void ImageConverter::start(const QList<FileItem> &selected)
{
    if (isConverting() || selected.isEmpty())
        return;
    const std::optional<ResolutionPreset> preset = selectedPreset();
    if (!preset)
        return;

    const std::optional<QString> encoder = m_locateEncoder ? m_locateEncoder() : std::nullopt;
    if (!encoder) {
        const ConversionStatus missing = ConversionStatus::error(WebpEncoder::notFoundMessage());
        QSet<QUuid> ids;
        for (const FileItem &item : selected)
            ids.insert(item.id);
        m_files.setStatusWhere([&ids](const FileItem &item) { return ids.contains(item.id); },
                               missing);
        for (const FileItem &item : selected)
            Q_EMIT fileFinished(item.path, missing);
        Q_EMIT runFinished();
        return;
    }
    if (!m_outputFolder.isSet()) {
        m_outputFolder.choose();
        return;
    }
    if (!m_outputFolder.isThere()) {
        Q_EMIT noticeRequested(
            QStringLiteral("The output folder \u201c%1\u201d is not there any more. Choose "
                           "another one, or make it again.")
                .arg(QFileInfo(m_outputFolder.path()).fileName()));
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
    job.ppi = m_settings.effectivePPI();
    job.sizeLimitEnabled = s.fileSizeLimitEnabled;
    job.sizeLimitBytes = SettingRules::usableSizeLimitKB(s.fileSizeLimitKB) * 1024;
    job.quality = SettingRules::usableQuality(s.quality);
    job.outputFolder = m_outputFolder.nativePath();
    job.output = s.output;
    job.firstFrameOnly = s.firstFrameOnly;
    job.animationEncoderPath = AnimationEncoder::locate().value_or(QString());
    job.keepPhotoDetails = s.keepPhotoDetails;
    job.keepLocation = s.keepLocation;
    job.effort = s.effort;
    m_run.start(selected, job);
}
