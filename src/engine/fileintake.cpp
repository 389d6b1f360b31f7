#include "fileintake.h"

#include <QFile>
#include <QSet>

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace FileIntake {

namespace {

/// A folder as the file system knows it, whatever path leads to it.
struct FolderId
{
    dev_t device = 0;
    ino_t inode = 0;
    friend bool operator==(const FolderId &, const FolderId &) = default;
};

struct Entry
{
    QByteArray name;
    bool isFolder = false;
    FolderId id;
};

char folded(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool stopped(const std::atomic<bool> *stop)
{
    return stop && stop->load(std::memory_order_relaxed);
}

/// The folders and accepted files in `folder`, hidden ones left out, in natural order; empty
/// when the folder cannot be read or `stop` becomes true while it is read.
std::vector<Entry> entriesOf(const QByteArray &folder, const std::atomic<bool> *stop)
{
    std::vector<Entry> entries;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return entries;
    while (const dirent *found = ::readdir(dir)) {
        if (stopped(stop)) {
            ::closedir(dir);
            return {};
        }
        const QByteArray name(found->d_name);
        if (name.startsWith('.'))
            continue;
        struct stat info
        {};
        // Without following links first: a link to a folder is not entered, a link to a file
        // is taken like the file.
        if (::fstatat(::dirfd(dir), found->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(info.st_mode)) {
            entries.push_back({name, true, {info.st_dev, info.st_ino}});
            continue;
        }
        if (S_ISLNK(info.st_mode) && ::fstatat(::dirfd(dir), found->d_name, &info, 0) != 0)
            continue;
        if (S_ISREG(info.st_mode) && isAccepted(name))
            entries.push_back({name, false, {}});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return naturalLess(a.name, b.name); });
    return entries;
}

struct Walk
{
    std::optional<FolderId> skip;
    const std::atomic<bool> *stop = nullptr;
    QList<Found> *images = nullptr;
    /// The folders from the given one down to the current one: a bind mount that leads back
    /// into one of them is not entered again.
    std::vector<FolderId> trail;

    /// Walks `folder`, whose images are found in `subfolder`.
    void enter(const QByteArray &folder, const QByteArray &subfolder)
    {
        const QByteArray prefix = folder.endsWith('/') ? folder : folder + '/';
        for (const Entry &entry : entriesOf(folder, stop)) {
            if (stopped(stop))
                return;
            if (!entry.isFolder) {
                images->append({prefix + entry.name, subfolder});
                continue;
            }
            if (entry.id == skip ||
                std::find(trail.cbegin(), trail.cend(), entry.id) != trail.cend())
                continue;
            trail.push_back(entry.id);
            enter(prefix + entry.name,
                  subfolder.isEmpty() ? entry.name : subfolder + '/' + entry.name);
            trail.pop_back();
        }
    }
};

/// The last component of the folder at `path` as the file system resolves it, so that "." or
/// "trip/.." name the folder itself; empty for the root.
QByteArray folderName(const QByteArray &path)
{
    char *resolved = ::realpath(path.constData(), nullptr);
    const QByteArray real = resolved ? QByteArray(resolved) : path;
    ::free(resolved);
    const QByteArray name = real.sliced(real.lastIndexOf('/') + 1);
    return name == "." || name == ".." ? QByteArray() : name;
}

std::optional<FolderId> folderId(const QByteArray &path)
{
    struct stat info
    {};
    if (path.isEmpty() || ::stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::nullopt;
    return FolderId{info.st_dev, info.st_ino};
}

} // namespace

// Hand-written rather than QCollator: a collator's order depends on the locale and the ICU build,
// and it takes text, which a name that is not UTF-8 is not.
bool naturalLess(const QByteArray &a, const QByteArray &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            while (i < a.size() - 1 && a[i] == '0' && isDigit(a[i + 1]))
                ++i;
            while (j < b.size() - 1 && b[j] == '0' && isDigit(b[j + 1]))
                ++j;
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && isDigit(a[endA]))
                ++endA;
            while (endB < b.size() && isDigit(b[endB]))
                ++endB;
            if (endA - i != endB - j)
                return endA - i < endB - j;
            if (const int c = a.sliced(i, endA - i).compare(b.sliced(j, endB - j)); c != 0)
                return c < 0;
            i = endA;
            j = endB;
            continue;
        }
        const auto ca = static_cast<unsigned char>(folded(a[i]));
        const auto cb = static_cast<unsigned char>(folded(b[j]));
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return j < b.size();
    return a < b;
}

const QList<QString> &supportedExtensions()
{
    static const QList<QString> extensions{
        QStringLiteral("png"),  QStringLiteral("jpg"),  QStringLiteral("jpeg"),
        QStringLiteral("jfif"), QStringLiteral("tiff"), QStringLiteral("tif"),
        QStringLiteral("webp"), QStringLiteral("bmp"),  QStringLiteral("heic"),
        QStringLiteral("heif"), QStringLiteral("gif"),  QStringLiteral("avif")};
    return extensions;
}

bool isAccepted(QByteArrayView fileName)
{
    static const QSet<QByteArray> accepted = [] {
        QSet<QByteArray> set;
        for (const QString &extension : supportedExtensions())
            set.insert(extension.toLatin1());
        return set;
    }();
    const qsizetype dot = fileName.lastIndexOf('.');
    if (dot <= 0 || dot == fileName.size() - 1)
        return false;
    return accepted.contains(fileName.sliced(dot + 1).toByteArray().toLower());
}

QByteArray pathOf(const QUrl &location)
{
    if (!location.isLocalFile())
        return {};
    const QByteArray path =
        QByteArray::fromPercentEncoding(location.path(QUrl::FullyEncoded).toLatin1());
    const QString host = location.host();
    if (host.isEmpty() || host == QLatin1String("localhost"))
        return path;
    return "//" + host.toUtf8() + path;
}

QUrl urlOf(const QByteArray &path)
{
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/"));
}

bool isFolder(const QByteArray &path)
{
    return folderId(path).has_value();
}

QList<Found> expand(const QList<QUrl> &locations, const QByteArray &skipFolder,
                    const std::atomic<bool> *stop)
{
    QList<Found> images;
    Walk walk{folderId(skipFolder), stop, &images, {}};
    for (const QUrl &location : locations) {
        if (stopped(stop))
            break;
        const QByteArray path = pathOf(location);
        if (path.isEmpty())
            continue;
        // A folder given directly is walked even when it is the skipped one: the user chose it.
        if (const std::optional<FolderId> folder = folderId(path)) {
            walk.trail = {*folder};
            walk.enter(path, folderName(path));
        } else if (isAccepted(path.sliced(path.lastIndexOf('/') + 1))) {
            images.append({path, {}});
        }
    }
    return images;
}

} // namespace FileIntake
