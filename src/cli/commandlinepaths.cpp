#include "commandlinepaths.h"

#include "fileintake.h"

#include <QDir>
#include <QFile>

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
        if (!raw.startsWith('/'))
            raw = workingDirectory() + '/' + raw;
        urls.append(FileIntake::urlOf(raw));
    }
    return urls;
}

} // namespace CommandLinePaths
