#include "imageconverter.h"

#include "fileconverter.h"
#include "fileintake.h"
#include "ppioption.h"
#include "preferences.h"
#include "webpencoder.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QPointer>
#include <QThread>

ImageConverter::ImageConverter(QObject *parent)
    : QObject(parent)
    , m_locateEncoder(&WebpEncoder::locate)
{
    // One walker: walks run one after another, so their items arrive in the order of the calls.
    m_walkPool.setMaxThreadCount(1);

    if (auto folder = Preferences::loadOutputFolder())
        m_outputFolderURL = *folder;
    if (auto stored = Preferences::loadSettings())
        m_settings = std::move(*stored);

    connect(&m_files, &FileListModel::itemStatusChanged, this,
            [this](FileItem *item, ConversionStatus::Kind previous) {
                countStatus(previous, -1);
                countStatus(item->statusKind(), +1);
                Q_EMIT countsChanged();
            });
    connect(&m_files, &FileListModel::itemSelectionChanged, this,
            [this](FileItem *item, bool previous) {
                m_selectedCount += (item->isSelected() ? 1 : 0) - (previous ? 1 : 0);
                Q_EMIT countsChanged();
            });
}

ImageConverter::~ImageConverter()
{
    // Running tasks see this, kill their encoders and remove what they had begun to write.
    m_flags->aborted = true;
    m_flags->cancelled = true;
    m_walkPool.clear();
    m_walkPool.waitForDone();
}

const QList<QSharedPointer<FileItem>> &ImageConverter::files() const
{
    return m_files.items();
}

bool ImageConverter::isCancelled() const
{
    return m_flags->cancelled.load();
}

void ImageConverter::setCancelled(bool cancelled)
{
    Q_EMIT objectWillChange();
    m_flags->cancelled = cancelled;
    Q_EMIT isCancelledChanged();
}

void ImageConverter::setSettings(const ConverterSettings &settings)
{
    Q_EMIT objectWillChange();
    m_settings = settings;
    Q_EMIT settingsChanged();
}

void ImageConverter::writeSettings(const std::function<void(ConverterSettings &)> &change)
{
    ConverterSettings changed = m_settings;
    change(changed);
    setSettings(changed);
}

std::optional<ResolutionPreset> ImageConverter::selectedPreset() const
{
    if (!m_settings.selectedPresetID)
        return std::nullopt;
    for (const ResolutionPreset &preset : m_settings.presets) {
        if (preset.id == *m_settings.selectedPresetID)
            return preset;
    }
    return std::nullopt;
}

qint64 ImageConverter::effectivePPI() const
{
    if (const auto option = PPIOptions::fromRawValue(m_settings.ppiOption)) {
        if (const auto value = PPIOptions::fixedValue(*option))
            return *value;
    }
    return m_settings.customPPI;
}

QList<QSharedPointer<FileItem>> ImageConverter::selectedFiles() const
{
    QList<QSharedPointer<FileItem>> selected;
    selected.reserve(m_selectedCount);
    for (const auto &item : files()) {
        if (item->isSelected())
            selected.append(item);
    }
    return selected;
}

bool ImageConverter::allSelected() const
{
    return !files().isEmpty() && m_selectedCount == files().size();
}

void ImageConverter::saveSettings()
{
    Preferences::saveSettings(m_settings);
}

void ImageConverter::addPreset(const QString &name, qint64 width, qint64 height)
{
    const ResolutionPreset preset = ResolutionPreset::make(name, width, height, false);
    writeSettings([&](ConverterSettings &s) { s.presets.append(preset); });
    writeSettings([&](ConverterSettings &s) { s.selectedPresetID = preset.id; });
    saveSettings();
}

void ImageConverter::selectOriginalPreset()
{
    const auto existing = std::find_if(m_settings.presets.cbegin(), m_settings.presets.cend(),
                                       [](const auto &p) { return p.preserveOriginal; });
    if (existing != m_settings.presets.cend()) {
        const QUuid id = existing->id;
        writeSettings([&](ConverterSettings &s) { s.selectedPresetID = id; });
    } else {
        const auto original = ResolutionPreset::make(QStringLiteral("Original"), 0, 0, true);
        writeSettings([&](ConverterSettings &s) { s.presets.append(original); });
        writeSettings([&](ConverterSettings &s) { s.selectedPresetID = original.id; });
    }
    saveSettings();
}

void ImageConverter::removePreset(const QUuid &id)
{
    writeSettings([&](ConverterSettings &s) {
        s.presets.removeIf([&](const ResolutionPreset &p) { return p.id == id; });
    });
    if (m_settings.selectedPresetID == id) {
        writeSettings([](ConverterSettings &s) {
            s.selectedPresetID =
                s.presets.isEmpty() ? std::nullopt : std::optional<QUuid>(s.presets.first().id);
        });
    }
    saveSettings();
}

void ImageConverter::selectAll()
{
    for (const auto &item : files())
        item->setSelected(true);
    Q_EMIT objectWillChange();
}

void ImageConverter::deselectAll()
{
    for (const auto &item : files())
        item->setSelected(false);
    Q_EMIT objectWillChange();
}

void ImageConverter::addFiles(const QList<QUrl> &locations)
{
    QPointer<ImageConverter> self(this);
    QThread *home = thread();
    std::shared_ptr<RunFlags> flags = m_flags;
    const QByteArray skipFolder = FileIntake::pathOf(m_outputFolderURL);
    m_walkPool.start([self, home, flags, locations, skipFolder] {
        QList<QSharedPointer<FileItem>> items;
        for (const QByteArray &path : FileIntake::expand(locations, skipFolder, &flags->aborted)) {
            auto *item = new FileItem(QUrl::fromLocalFile(QFile::decodeName(path)));
            item->moveToThread(home);
            items.append(QSharedPointer<FileItem>(item, &QObject::deleteLater));
        }
        // Posted through the application object, which outlives every converter; the converter
        // itself is only looked at on its own thread.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, items] {
                if (self)
                    self->appendFiles(items);
            },
            Qt::QueuedConnection);
    });
}

void ImageConverter::appendFiles(const QList<QSharedPointer<FileItem>> &items)
{
    Q_EMIT objectWillChange();
    m_files.append(items);
    recount();
    Q_EMIT filesChanged();
}

void ImageConverter::removeSelected()
{
    Q_EMIT objectWillChange();
    m_files.removeIf([](const FileItem &item) { return item.isSelected(); });
    recount();
    Q_EMIT filesChanged();
}

void ImageConverter::clearAll()
{
    Q_EMIT objectWillChange();
    m_files.clear();
    recount();
    Q_EMIT filesChanged();
    Q_EMIT objectWillChange();
    m_completedCount = 0;
    Q_EMIT completedCountChanged();
    Q_EMIT objectWillChange();
    m_totalCount = 0;
    Q_EMIT totalCountChanged();
}

void ImageConverter::recount()
{
    m_selectedCount = m_doneCount = m_errorCount = m_cancelledCount = 0;
    for (const auto &item : files()) {
        m_selectedCount += item->isSelected() ? 1 : 0;
        countStatus(item->statusKind(), +1);
    }
    Q_EMIT countsChanged();
}

void ImageConverter::countStatus(ConversionStatus::Kind kind, int delta)
{
    switch (kind) {
    case ConversionStatus::Kind::done:
        m_doneCount += delta;
        break;
    case ConversionStatus::Kind::error:
        m_errorCount += delta;
        break;
    case ConversionStatus::Kind::cancelled:
        m_cancelledCount += delta;
        break;
    case ConversionStatus::Kind::queued:
    case ConversionStatus::Kind::converting:
        break;
    }
}

void ImageConverter::chooseOutputFolder()
{
    Q_EMIT outputFolderChooserRequested();
}

void ImageConverter::setChosenOutputFolder(const QUrl &folder)
{
    if (!folder.isValid() || folder.isEmpty())
        return;
    useOutputFolder(folder);
    Preferences::saveOutputFolder(folder);
}

void ImageConverter::useOutputFolder(const QUrl &folder)
{
    Q_EMIT objectWillChange();
    m_outputFolderURL = folder;
    Q_EMIT outputFolderURLChanged();
}

void ImageConverter::openOutputFolder()
{
    if (m_outputFolderURL.isEmpty())
        return;
    QDesktopServices::openUrl(m_outputFolderURL);
}

void ImageConverter::setEncoderLocator(EncoderLocator locator)
{
    m_locateEncoder = std::move(locator);
}
