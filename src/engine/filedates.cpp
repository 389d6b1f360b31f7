#include "filedates.h"

#include "systemerror.h"

#include <sys/stat.h>

namespace FileDates {

QString copyModificationTime(const QByteArray &fromPath, int fd)
{
    struct stat info
    {};
    if (::stat(fromPath.constData(), &info) != 0)
        return SystemError::text();
    const timespec times[2] = {{0, UTIME_OMIT}, info.st_mtim};
    if (::futimens(fd, times) != 0)
        return SystemError::text();
    return {};
}

} // namespace FileDates
