#include "webpencoder.h"

#include "conversionjob.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace WebpEncoder {

std::optional<QString> locate()
{
    return locateIn(qEnvironmentVariable("TESSEL_CWEBP"),
                    {QStringLiteral("/opt/homebrew/bin/cwebp"),
                     QStringLiteral("/usr/local/bin/cwebp"), QStringLiteral("/usr/bin/cwebp")},
                    {});
}

std::optional<QString> locateIn(const QString &named, const QStringList &candidates,
                                const QStringList &searchPaths, const QString &program)
{
    if (!named.isEmpty()) {
        if (QFileInfo::exists(named))
            return named;
        return std::nullopt;
    }
    for (const QString &path : candidates) {
        // A folder or a file without execute permission here would fail every encode of a run,
        // so the search goes on past it.
        const QFileInfo info(path);
        if (info.isFile() && info.isExecutable())
            return path;
    }
    const QString found = QStandardPaths::findExecutable(program, searchPaths);
    if (found.isEmpty())
        return std::nullopt;
    return found;
}

QString notFoundMessage()
{
#ifdef Q_OS_MACOS
    return QStringLiteral("cwebp not found \u2014 run: brew install webp");
#else
    return QStringLiteral("cwebp not found \u2014 run: sudo apt install webp");
#endif
}

namespace {

/// The method and analysis passes of an effort (measured in the README). At a quality, further
/// passes only repeat the analysis, so balanced and fast leave them out; a size target's search
/// needs them, so it keeps them at every effort.
QStringList effortArguments(EncoderEffort effort, bool sizeLimitEnabled)
{
    const int method = effort == EncoderEffort::fast ? 3 : 6;
    QStringList args{QStringLiteral("-m"), QString::number(method)};
    if (effort == EncoderEffort::best || sizeLimitEnabled)
        args << QStringLiteral("-pass") << QStringLiteral("10");
    return args;
}

} // namespace

QStringList arguments(const QString &inputPng, const QString &outputPath, bool sizeLimitEnabled,
                      qint64 sizeLimitBytes, qint64 quality, bool hasAlpha, int alphaQuality,
                      EncoderEffort effort)
{
    QStringList args{inputPng, QStringLiteral("-o"), outputPath};
    if (sizeLimitEnabled)
        args << QStringLiteral("-size") << QString::number(sizeLimitBytes);
    else
        args << QStringLiteral("-q") << QString::number(quality);
    args << QStringLiteral("-metadata") << QStringLiteral("none") << QStringLiteral("-mt")
         << effortArguments(effort, sizeLimitEnabled);
    if (hasAlpha)
        args << QStringLiteral("-alpha_q") << QString::number(alphaQuality);
    return args;
}

namespace {

/// How much of the encoder's standard error is kept for the message; the rest is read and
/// dropped, so that a flood neither blocks the child nor fills memory.
constexpr qsizetype maxErrorBytes = 4096;

/// Appends what `process` has written to standard error to `kept`, up to the limit.
void collectErrors(QProcess &process, QByteArray &kept)
{
    const QByteArray chunk = process.readAllStandardError();
    if (kept.size() < maxErrorBytes)
        kept.append(chunk.left(maxErrorBytes - kept.size()));
}

/// Drops a character cut in two at the end of `bytes`, so that a cut text still decodes: the
/// decoder holds back an incomplete last character. Text that is not UTF-8 is left alone.
void trimPartialCharacter(QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder.decode(bytes);
    if (!decoder.hasError())
        bytes = text.toUtf8();
}

} // namespace

EncoderOutcome run(const QString &encoderPath, const QStringList &arguments, const RunFlags &flags)
{
    // How often a running child checks whether the app is quitting.
    constexpr int pollMilliseconds = 100;

    QProcess process;
    // The child dies with this process, however it ends: killed on its parent's death, and
    // gone at once if the parent died before that request was made.
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
    });
    process.setProgram(encoderPath);
    process.setArguments(arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setReadChannel(QProcess::StandardError);
    process.start();
    if (!process.waitForStarted(-1))
        return {EncoderOutcome::Kind::notLaunched, process.errorString(), 0, {}};

    // Standard error is read as it comes, so a chatty child never blocks on a full pipe. The
    // loop ends when the child exits, even if a grandchild still holds the pipe open.
    QByteArray errors;
    while (process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(pollMilliseconds);
        collectErrors(process, errors);
        if (flags.aborted) {
            process.kill();
            process.waitForFinished(-1);
            return {EncoderOutcome::Kind::aborted, {}, 0, {}};
        }
    }
    collectErrors(process, errors);
    if (errors.size() == maxErrorBytes)
        trimPartialCharacter(errors);
    int status = process.exitCode();
    if (process.exitStatus() == QProcess::CrashExit && status == 0)
        status = -1;
    return {EncoderOutcome::Kind::exited, {}, status, errors};
}

} // namespace WebpEncoder
