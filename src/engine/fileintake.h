#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>

/// Which names the converter takes as images, and the walk that turns dropped or picked
/// locations into the list of image files to add.
namespace FileIntake {
/// The accepted lower-case extensions, in their listed order.
[[nodiscard]] const QList<QString> &supportedExtensions();
/// True when the extension of `fileName` (text after its last full stop, not a leading one),
/// lower-cased, is a supported extension.
[[nodiscard]] bool isAccepted(const QString &fileName);
/// The accepted images among `locations`, in order: folders are walked to the bottom, skipping
/// hidden entries and not following links to folders; other locations are taken by name alone.
/// Stops early, with what it has, when `stop` becomes true.
[[nodiscard]] QList<QUrl> expand(const QList<QUrl> &locations,
                                 const std::atomic<bool> *stop = nullptr);
} // namespace FileIntake
