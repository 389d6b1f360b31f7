#include "preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace Preferences {

std::optional<ConverterSettings> loadSettings()
{
    const QVariant stored = QSettings().value(QLatin1String(settingsKey));
    if (!stored.isValid() || !stored.canConvert<QByteArray>())
        return std::nullopt;
    return ConverterSettings::fromJson(stored.toByteArray());
}

void saveSettings(const ConverterSettings &settings)
{
    QSettings store;
    store.setValue(QLatin1String(settingsKey), settings.toJson());
    store.sync();
}

std::optional<QUrl> loadOutputFolder()
{
    const QVariant stored = QSettings().value(QLatin1String(outputFolderKey));
    if (stored.typeId() != QMetaType::QString && stored.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    const QString path = stored.toString();
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return std::nullopt;
    // A folder that is gone (or is no folder any more) is stale.
    if (!QFileInfo(path).isDir())
        return std::nullopt;
    return QUrl::fromLocalFile(QDir::cleanPath(path));
}

bool saveOutputFolder(const QUrl &folder)
{
    if (!folder.isLocalFile())
        return false;
    QSettings store;
    store.setValue(QLatin1String(outputFolderKey),
                   QFileInfo(folder.toLocalFile()).absoluteFilePath());
    store.sync();
    return store.status() == QSettings::NoError;
}

} // namespace Preferences
