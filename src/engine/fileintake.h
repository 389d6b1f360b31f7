#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <atomic>

/// Which names the converter takes as images, and the walk that turns dropped or picked
/// locations into the image files to add. Paths are the file system's own bytes, so that a name
/// that is not valid UTF-8 reaches the decoder as it is, and two such names stay two files.
namespace FileIntake {
/// The order a file manager shows names in: runs of digits compare by their value (img_2 before
/// img_10), letters without regard to case; names equal that way fall back to their bytes, so the
/// order is total. The walk and the chooser both sort with it.
[[nodiscard]] bool naturalLess(const QByteArray &a, const QByteArray &b);
/// The accepted lower-case extensions, in their listed order.
[[nodiscard]] const QList<QString> &supportedExtensions();
/// True when the extension of `fileName` (bytes after its last full stop, not a leading one),
/// lower-cased, is a supported extension.
[[nodiscard]] bool isAccepted(QByteArrayView fileName);
/// The path bytes of a local file URL, percent-decoded without any text decoding; empty for a
/// URL that is not a local file.
[[nodiscard]] QByteArray pathOf(const QUrl &location);
/// A local file URL for path bytes, the inverse of `pathOf`.
[[nodiscard]] QUrl urlOf(const QByteArray &path);
/// Whether `path` (the file system's own bytes) is a folder, after following links.
[[nodiscard]] bool isFolder(const QByteArray &path);

/// An image found by `expand`.
struct Found
{
    QByteArray path;
    /// The name of the given folder it was found in and its path below it ("trip/day 1");
    /// empty for a file given on its own.
    QByteArray subfolder;
    friend bool operator==(const Found &, const Found &) = default;
};

/// The accepted images among `locations`, in order. A given file is taken by its name alone, a
/// given folder is walked to the bottom: depth first, each folder's entries in natural order
/// (img_2 before img_10), hidden entries skipped, links to folders not followed, unreadable
/// entries passed over, and `skipFolder` (the same folder by device and inode, however it is
/// spelt) never entered. Stops early, with what it has, when `stop` becomes true.
[[nodiscard]] QList<Found> expand(const QList<QUrl> &locations, const QByteArray &skipFolder,
                                  const std::atomic<bool> *stop = nullptr);
} // namespace FileIntake
