#include "filedates.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace FileDates {

QString copyModificationTime(const QByteArray &fromPath, int fd)
{
    struct stat info
    {};
    if (::stat(fromPath.constData(), &info) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    const timespec times[2] = {{0, UTIME_OMIT}, info.st_mtim};
    if (::futimens(fd, times) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    return {};
}

} // namespace FileDates
