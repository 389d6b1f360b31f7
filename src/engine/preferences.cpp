#include "preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace Preferences {

std::optional<ConverterSettings> loadSettings()
{
    // A missing or unconvertible value reads as no bytes, which no document decodes from.
    return ConverterSettings::fromJson(QSettings().value(QLatin1String(settingsKey)).toByteArray());
}

void saveSettings(const ConverterSettings &settings)
{
    // Written back when the store goes out of scope.
    QSettings().setValue(QLatin1String(settingsKey), settings.toJson());
}

std::optional<QUrl> loadOutputFolder()
{
    const QVariant stored = QSettings().value(QLatin1String(outputFolderKey));
    if (stored.typeId() != QMetaType::QString && stored.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    const QString path = stored.toString();
    if (!QDir::isAbsolutePath(path)) // nor is an empty one
        return std::nullopt;
    // A folder that is gone (or is no folder any more) is stale.
    if (!QFileInfo(path).isDir())
        return std::nullopt;
    return QUrl::fromLocalFile(QDir::cleanPath(path));
}

void saveOutputFolder(const QUrl &folder)
{
    QSettings().setValue(QLatin1String(outputFolderKey),
                         QFileInfo(folder.toLocalFile()).absoluteFilePath());
}

} // namespace Preferences
