#include "webpencoder.h"

#include "conversionjob.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>

namespace WebpEncoder {

std::optional<QString> locate()
{
    return locateIn({QStringLiteral("/opt/homebrew/bin/cwebp"),
                     QStringLiteral("/usr/local/bin/cwebp"), QStringLiteral("/usr/bin/cwebp")},
                    QStringLiteral("/usr/bin/which"));
}

std::optional<QString> locateIn(const QStringList &candidates, const QString &whichProgram)
{
    for (const QString &path : candidates) {
        if (QFileInfo::exists(path))
            return path;
    }
    QProcess which;
    which.setStandardErrorFile(QProcess::nullDevice());
    which.start(whichProgram, {QStringLiteral("cwebp")});
    if (!which.waitForStarted(-1))
        return std::nullopt;
    which.waitForFinished(-1);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString path = QString(decoder.decode(which.readAllStandardOutput())).trimmed();
    if (decoder.hasError() || path.isEmpty())
        return std::nullopt;
    return path;
}

QString notFoundMessage()
{
#ifdef Q_OS_MACOS
    return QStringLiteral("cwebp not found \u2014 run: brew install webp");
#else
    return QStringLiteral("cwebp not found \u2014 run: sudo apt install webp");
#endif
}

QStringList arguments(const QString &inputPng, const QString &outputPath, bool sizeLimitEnabled,
                      qint64 sizeLimitBytes, qint64 quality, bool hasAlpha)
{
    QStringList args{inputPng, QStringLiteral("-o"), outputPath};
    if (sizeLimitEnabled)
        args << QStringLiteral("-size") << QString::number(sizeLimitBytes);
    else
        args << QStringLiteral("-q") << QString::number(quality);
    args << QStringLiteral("-metadata") << QStringLiteral("none") << QStringLiteral("-mt")
         << QStringLiteral("-m") << QStringLiteral("6") << QStringLiteral("-pass")
         << QStringLiteral("10");
    if (hasAlpha)
        args << QStringLiteral("-alpha_q") << QStringLiteral("85");
    return args;
}

EncoderOutcome run(const QString &encoderPath, const QStringList &arguments, const RunFlags &flags)
{
    // How often a running child checks whether the app is quitting.
    constexpr int pollMilliseconds = 100;

    QProcess process;
    process.setProgram(encoderPath);
    process.setArguments(arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(-1))
        return {EncoderOutcome::Kind::notLaunched, process.errorString(), 0, {}};

    // Each wait also moves whatever the child wrote to standard error into the process's
    // buffer, so a chatty child never blocks on a full pipe. The wait ends when the child
    // exits, even if a grandchild still holds the pipe open.
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(pollMilliseconds)) {
        if (flags.aborted) {
            process.kill();
            process.waitForFinished(-1);
            return {EncoderOutcome::Kind::aborted, {}, 0, {}};
        }
    }
    int status = process.exitCode();
    if (process.exitStatus() == QProcess::CrashExit && status == 0)
        status = -1;
    return {EncoderOutcome::Kind::exited, {}, status, process.readAllStandardError()};
}

} // namespace WebpEncoder
