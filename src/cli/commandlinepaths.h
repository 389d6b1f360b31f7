#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

/// The files and folders named on the command line as URLs that carry the arguments' own
/// bytes: a name that is not UTF-8 decodes lossily into a QString, so each parsed positional
/// argument is matched back to the raw argument it came from.
namespace CommandLinePaths {
/// `positionals` are the parser's positional arguments, in order, from `argv`; relative paths
/// are taken from the working directory.
[[nodiscard]] QList<QUrl> locations(const QStringList &positionals, int argc, char **argv);
} // namespace CommandLinePaths
