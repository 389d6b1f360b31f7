#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

/// The files and folders named on the command line as URLs that carry the arguments' own
/// bytes: a name that is not UTF-8 decodes lossily into a QString, so each parsed argument is
/// matched back to the raw argument it came from.
namespace CommandLinePaths {
/// `positionals` are the parser's positional arguments, in order, from `argv`; relative paths
/// are taken from the working directory.
[[nodiscard]] QList<QUrl> locations(const QStringList &positionals, int argc, char **argv);
/// The folder given as `value` to the option called `shortName` or `longName` ("-o DIR",
/// "-oDIR", "--output DIR", "--output=DIR"), from the working directory, with "." and ".."
/// taken out; empty for an empty value.
[[nodiscard]] QUrl optionFolder(const QString &value, const QByteArray &shortName,
                                const QByteArray &longName, int argc, char **argv);

/// Why `path` cannot be converted as given: it does not exist, or it is neither a folder nor a
/// file with an accepted extension; none when it can.
[[nodiscard]] std::optional<QString> problemWith(const QByteArray &path);
} // namespace CommandLinePaths
