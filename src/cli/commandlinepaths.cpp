#include "commandlinepaths.h"

#include "fileintake.h"
#include "systemerror.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace CommandLinePaths {

namespace {

QByteArray workingDirectory()
{
    QByteArray buffer(4096, '\0');
    if (::getcwd(buffer.data(), static_cast<size_t>(buffer.size())) != nullptr)
        return QByteArray(buffer.constData());
    return QFile::encodeName(QDir::currentPath());
}

QByteArray absolute(const QByteArray &raw)
{
    return raw.startsWith('/') ? raw : workingDirectory() + '/' + raw;
}

/// `path` without empty and "." parts, each ".." taking away the part before it, as
/// QDir::cleanPath does with text.
QByteArray cleaned(const QByteArray &path)
{
    QList<QByteArray> kept;
    for (const QByteArray &part : path.split('/')) {
        if (part == "..") {
            if (!kept.isEmpty())
                kept.removeLast();
        } else if (!part.isEmpty() && part != ".") {
            kept.append(part);
        }
    }
    return '/' + kept.join('/');
}

/// What follows `name` in the argument `at` of `argv`: the next argument after the name alone,
/// else the rest of an argument that starts with it ("-oDIR", "--output=DIR").
std::optional<QByteArray> valueAfter(const QByteArray &name, int at, int argc, char **argv)
{
    const QByteArray argument(argv[at]);
    if (argument == name)
        return at + 1 < argc ? std::optional<QByteArray>(argv[at + 1]) : std::nullopt;
    const QByteArray prefix = name.startsWith("--") ? name + '=' : name;
    if (argument.startsWith(prefix))
        return argument.mid(prefix.size());
    return std::nullopt;
}

} // namespace

QList<QUrl> locations(const QStringList &positionals, int argc, char **argv)
{
    QList<QUrl> urls;
    int next = 1;
    for (const QString &positional : positionals) {
        QByteArray raw = QFile::encodeName(positional);
        for (int i = next; i < argc; ++i) {
            if (QString::fromLocal8Bit(argv[i]) == positional) {
                raw = argv[i];
                next = i + 1;
                break;
            }
        }
        urls.append(FileIntake::urlOf(absolute(raw)));
    }
    return urls;
}

QUrl optionFolder(const QString &value, const QByteArray &shortName, const QByteArray &longName,
                  int argc, char **argv)
{
    if (value.isEmpty())
        return {};
    const QByteArray raw = [&] {
        for (int i = 1; i < argc; ++i) {
            for (const QByteArray &name : {shortName, longName}) {
                const std::optional<QByteArray> given = valueAfter(name, i, argc, argv);
                if (given && QString::fromLocal8Bit(*given) == value)
                    return *given;
            }
        }
        return QFile::encodeName(value);
    }();
    return FileIntake::urlOf(cleaned(absolute(raw)));
}

std::optional<QString> problemWith(const QByteArray &path)
{
    const QString shown = QFile::decodeName(path);
    struct stat info
    {};
    if (::stat(path.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return QStringLiteral("No such file or folder: %1").arg(shown);
        return QStringLiteral("%1: %2").arg(shown, SystemError::text());
    }
    if (S_ISDIR(info.st_mode) ||
        (S_ISREG(info.st_mode) && FileIntake::isAccepted(path.sliced(path.lastIndexOf('/') + 1))))
        return std::nullopt;
    return QStringLiteral("Not a folder or an image Tessel converts: %1").arg(shown);
}

} // namespace CommandLinePaths
