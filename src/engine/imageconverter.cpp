#include "imageconverter.h"

#include "fileintake.h"
#include "preferences.h"
#include "settingrules.h"
#include "webpencoder.h"

#include <QFile>

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
    return {};
}

QString ImageConverter::undoText() const
{
    if (const auto *files = std::get_if<RemovedFiles>(&m_undo)) {
        return files->size() == 1 ? QStringLiteral("Removed 1 file")
                                  : QStringLiteral("Removed %1 files").arg(files->size());
    }
    if (const auto *preset = std::get_if<SettingsStore::RemovedPreset>(&m_undo))
        return QStringLiteral("Removed preset \u201c%1\u201d").arg(preset->preset.name);
    return {};
}

void ImageConverter::remember(
    std::variant<std::monostate, RemovedFiles, SettingsStore::RemovedPreset> undo)
{
    m_undo = std::move(undo);
    Q_EMIT undoChanged();
}

void ImageConverter::finish(const FileItem &item)
{
    // Files kept for undo are out of the list, so the run could not show this result there.
    if (auto *removed = std::get_if<RemovedFiles>(&m_undo))
        removed->update(item);
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
        QList<FileItem> items;
        for (const QByteArray &path : FileIntake::expand(locations, skip, stop.get()))
            items.append(FileItem::make(path));
        QMetaObject::invokeMethod(
            this,
            [this, items] {
                --m_walks;
                m_files.append(items);
                m_run.join(items);
                if (m_walks == 0)
                    Q_EMIT addingChanged();
                Q_EMIT filesAdded(items.size());
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

void ImageConverter::selectUnfinished()
{
    m_files.selectWhere(
        [](const FileItem &item) { return item.status.kind() != ConversionStatus::Kind::done; });
}

void ImageConverter::removeSelected()
{
    FileListModel::Removed removed =
        m_files.removeIf([](const FileItem &item) { return item.isSelected; });
    if (!removed.isEmpty())
        remember(RemovedFiles(std::move(removed)));
}

void ImageConverter::clearAll()
{
    FileListModel::Removed removed = m_files.removeIf([](const FileItem &) { return true; });
    m_run.resetCounts();
    if (!removed.isEmpty())
        remember(RemovedFiles(std::move(removed)));
}

void ImageConverter::undo()
{
    if (const auto *files = std::get_if<RemovedFiles>(&m_undo))
        m_files.restore(files->rows());
    else if (const auto *preset = std::get_if<SettingsStore::RemovedPreset>(&m_undo))
        m_settings.restorePreset(*preset);
    remember(std::monostate{});
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

    const ConverterSettings &s = settings();
    ConversionJob job;
    job.encoderPath = *encoder;
    job.width = preset->width;
    job.height = preset->height;
    job.preserveOriginal = preset->preserveOriginal;
    job.ppi = effectivePPI();
    job.sizeLimitEnabled = s.fileSizeLimitEnabled;
    job.sizeLimitBytes = SettingRules::usableSizeLimitKB(s.fileSizeLimitKB) * 1024;
    job.quality = SettingRules::usableQuality(s.quality);
    job.outputFolder = FileIntake::pathOf(m_outputFolderURL);
    m_run.start(selected, job);
}
