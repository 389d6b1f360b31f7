#pragma once

#include <QByteArray>
#include <QString>

/// A folder below the output folder, reached one name at a time from the output folder's
/// descriptor and never through a symbolic link, so that a link planted in the tree cannot
/// send an output elsewhere.
namespace OutputSubfolder {
/// A descriptor (O_PATH) of the folder `relative` ("trip/day 1", the file system's bytes)
/// below the folder open at `baseFd`, making missing folders when `make` is set; -1 when a
/// name is missing (errno ENOENT, `error` left alone), or when a link, a file or anything but
/// a folder is in the way, or a folder could not be made (`error` names the place and why).
/// Empty names are passed over; "." and ".." are refused.
[[nodiscard]] int open(int baseFd, const QByteArray &relative, bool make, QString *error);
} // namespace OutputSubfolder
