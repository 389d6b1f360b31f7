#include "outputreservation.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qsizetype maxNameBytes = 255;

enum class Claim
{
    taken,
    claimed,
    failed
};

/// Creates `path` only if no entry of any kind is there; a symbolic link, even a dangling one,
/// counts as taken and is not followed.
Claim claim(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    int fd = -1;
    do {
        fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
        ::close(fd);
        return Claim::claimed;
    }
    return errno == EEXIST ? Claim::taken : Claim::failed;
}

} // namespace

OutputReservation::OutputReservation(const QString &folder, const QString &inputFileName)
{
    const QDir dir(folder);
    const QString base = baseName(inputFileName);
    for (qint64 n = 0;; ++n) {
        const QString candidate = dir.absoluteFilePath(candidateName(base, n));
        const Claim result = claim(candidate);
        if (result == Claim::claimed)
            m_path = candidate;
        if (result != Claim::taken)
            return;
    }
}

OutputReservation::~OutputReservation()
{
    if (!m_kept && isValid())
        QFile::remove(m_path);
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
