#include "outputreservation.h"

#include "outputsubfolder.h"
#include "procfdpath.h"
#include "systemerror.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype maxNameBytes = 255;
/// How old an unlocked part file must be before another run removes it: longer than the moment
/// between its creation and its owner's lock.
constexpr time_t stalePartSeconds = 60;

bool isPartName(const char *name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\.tessel-[0-9a-f]{16}\\.part$"));
    return pattern.match(QLatin1String(name)).hasMatch();
}

/// `folder` made absolute, without a trailing slash.
QByteArray absoluteFolder(QByteArray folder)
{
    if (!folder.startsWith('/'))
        folder = QFile::encodeName(QDir::currentPath()) + '/' + folder;
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    return folder;
}

/// Removes the part files that crashed runs left in the folder open at `dirFd`: those nobody
/// holds locked that are older than a minute. Done once per folder and process.
void removeStaleParts(const QByteArray &folder, int dirFd)
{
    static QMutex mutex;
    static QSet<QByteArray> done;
    {
        const QMutexLocker lock(&mutex);
        if (done.contains(folder))
            return;
        done.insert(folder);
    }
    const int listFd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!dir) {
        if (listFd >= 0)
            ::close(listFd);
        return;
    }
    while (const dirent *entry = ::readdir(dir)) {
        if (!isPartName(entry->d_name))
            continue;
        const int fd =
            ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info
        {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            info.st_mtime + stalePartSeconds < ::time(nullptr) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

} // namespace

OutputReservation::OutputReservation(const QByteArray &folder, const QString &inputFileName,
                                     Kind kind, OutputPlacement placement)
    : m_folder(absoluteFolder(folder))
    , m_base(baseName(inputFileName))
    , m_placement(std::move(placement))
{
    m_dirFd = ::open(m_folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_dirFd < 0) {
        fail();
        return;
    }
    if (kind == Kind::automatic) {
        m_fd = ::openat(m_dirFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EOPNOTSUPP && errno != EISDIR) {
            fail();
            return;
        }
    }
    if (m_fd < 0 && !openPartFile())
        return;
    m_writePath = ProcFdPath::of(m_fd);
}

OutputReservation::~OutputReservation()
{
    if (!m_partName.isEmpty() && m_path.isEmpty())
        ::unlinkat(m_dirFd, m_partName.constData(), 0);
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_dirFd >= 0)
        ::close(m_dirFd);
}

bool OutputReservation::openPartFile()
{
    removeStaleParts(m_folder, m_dirFd);
    QByteArray name;
    do {
        name = ".tessel-" +
               QByteArray::number(QRandomGenerator::system()->generate64(), 16)
                   .rightJustified(16, '0') +
               ".part";
        m_fd = ::openat(m_dirFd, name.constData(),
                        O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    } while (m_fd < 0 && errno == EEXIST);
    if (m_fd < 0)
        return fail();
    // Held until the descriptor closes, so that no other run takes this file for a stale one.
    // Without it (a network mount whose lock service is not answering) another run could take
    // the file for a crash's leftover once it is a minute old and remove it while the encoder
    // still writes, so the file is not used at all.
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        const int lockError = errno;
        ::unlinkat(m_dirFd, name.constData(), 0);
        ::close(m_fd);
        m_fd = -1;
        errno = lockError;
        return fail();
    }
    m_partName = name;
    return true;
}

bool OutputReservation::fail()
{
    m_error = SystemError::text();
    m_failure = Failure::file;
    return false;
}

std::optional<QString> OutputReservation::takenName(const QByteArray &folder,
                                                    const QString &inputFileName,
                                                    const QByteArray &subfolder)
{
    const QByteArray absolute = absoluteFolder(folder);
    const int dirFd = ::open(absolute.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return std::nullopt;
    QString ignored;
    const int targetFd = OutputSubfolder::open(dirFd, subfolder, false, &ignored);
    ::close(dirFd);
    if (targetFd < 0)
        return std::nullopt;
    const QString name = candidateName(baseName(inputFileName), 0);
    struct stat info
    {};
    const bool taken =
        ::fstatat(targetFd, QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
    ::close(targetFd);
    if (!taken)
        return std::nullopt;
    const QByteArray place = subfolder.isEmpty() ? absolute : absolute + '/' + subfolder;
    return QFile::decodeName(place) + QLatin1Char('/') + name;
}

bool OutputReservation::publish()
{
    // The folders are made only now, so that a file that fails leaves none behind.
    int targetFd = m_dirFd;
    if (!m_placement.subfolder.isEmpty()) {
        targetFd = OutputSubfolder::open(m_dirFd, m_placement.subfolder, true, &m_error);
        if (targetFd < 0) {
            m_failure = Failure::folder;
            return false;
        }
    }
    const bool named = publishInto(targetFd);
    if (targetFd != m_dirFd)
        ::close(targetFd);
    return named;
}

bool OutputReservation::publishInto(int targetFd)
{
    const QByteArray self = QFile::encodeName(ProcFdPath::of(m_fd));
    for (qint64 n = 0;; ++n) {
        const QString name = candidateName(m_base, n);
        const QByteArray native = QFile::encodeName(name);
        int result = -1;
        if (m_partName.isEmpty()) {
            result = ::linkat(AT_FDCWD, self.constData(), targetFd, native.constData(),
                              AT_SYMLINK_FOLLOW);
        } else {
            result = ::renameat2(m_dirFd, m_partName.constData(), targetFd, native.constData(),
                                 RENAME_NOREPLACE);
            // A file system without an exclusive rename: a hard link, then the part goes.
            if (result < 0 && (errno == EINVAL || errno == ENOSYS)) {
                result = ::linkat(m_dirFd, m_partName.constData(), targetFd, native.constData(), 0);
                if (result == 0)
                    ::unlinkat(m_dirFd, m_partName.constData(), 0);
            }
        }
        if (result == 0) {
            const QByteArray &sub = m_placement.subfolder;
            m_path = QFile::decodeName(sub.isEmpty() ? m_folder : m_folder + '/' + sub) +
                     QLatin1Char('/') + name;
            return true;
        }
        if (errno != EEXIST)
            return fail();
        if (!m_placement.numbered) {
            m_failure = Failure::nameTaken;
            return false;
        }
    }
}

QString OutputReservation::baseName(const QString &inputFileName)
{
    // A leading dot starts a hidden name, not an extension.
    const qsizetype dot = inputFileName.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? inputFileName.left(dot) : inputFileName;
}

QString OutputReservation::candidateName(const QString &base, qint64 n)
{
    const QString suffix =
        (n == 0 ? QString() : QLatin1Char('_') + QString::number(n)) + QStringLiteral(".webp");
    QString kept = base;
    // Cut whole characters (never half a surrogate pair) until the name fits.
    while (!kept.isEmpty() && (kept + suffix).toUtf8().size() > maxNameBytes) {
        kept.chop(1);
        if (!kept.isEmpty() && kept.back().isHighSurrogate())
            kept.chop(1);
    }
    return kept + suffix;
}
