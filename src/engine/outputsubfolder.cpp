#include "outputsubfolder.h"

#include "systemerror.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace OutputSubfolder {

namespace {

/// Why `name` in the folder open at `fd` could not be opened as a folder.
QString reasonFor(int fd, const QByteArray &name, int openError)
{
    struct stat info
    {};
    if (::fstatat(fd, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(info.st_mode))
            return QStringLiteral("a symbolic link is in the way");
        if (!S_ISDIR(info.st_mode))
            return QStringLiteral("a file is in the way");
    }
    return SystemError::text(openError);
}

} // namespace

int open(int baseFd, const QByteArray &relative, bool make, QString *error)
{
    int fd = ::dup(baseFd);
    if (fd < 0) {
        *error = SystemError::text();
        return -1;
    }
    QByteArray reached;
    for (const QByteArray &name : relative.split('/')) {
        if (name.isEmpty())
            continue;
        reached += reached.isEmpty() ? name : '/' + name;
        const auto fail = [&](const QString &reason) {
            const int code = errno;
            ::close(fd);
            *error = QFile::decodeName(reached) + QStringLiteral(": ") + reason;
            errno = code;
            return -1;
        };
        if (name == "." || name == "..") {
            errno = EINVAL;
            return fail(QStringLiteral("not a folder name"));
        }
        const int flags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        int next = ::openat(fd, name.constData(), flags);
        if (next < 0 && errno == ENOENT && make) {
            // Another conversion may make the same folder at the same moment.
            if (::mkdirat(fd, name.constData(), 0777) != 0 && errno != EEXIST)
                return fail(SystemError::text());
            next = ::openat(fd, name.constData(), flags);
        }
        if (next < 0) {
            if (errno == ENOENT && !make) {
                ::close(fd);
                errno = ENOENT;
                return -1;
            }
            const int code = errno;
            return fail(reasonFor(fd, name, code));
        }
        ::close(fd);
        fd = next;
    }
    return fd;
}

} // namespace OutputSubfolder
