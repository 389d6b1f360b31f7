#include "procfdpath.h"

#include <unistd.h>

namespace ProcFdPath {

QString of(int fd)
{
    return QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(fd);
}

} // namespace ProcFdPath
