#pragma once

#include <QByteArray>
#include <QString>

/// What one run of the encoder came to: it could not be started, it exited (with its status
/// and everything it wrote to standard error), or it was killed because the app is quitting.
struct EncoderOutcome
{
    enum class Kind
    {
        notLaunched,
        exited,
        aborted
    };

    Kind kind = Kind::notLaunched;
    /// The system's description of the launch failure (`notLaunched` only).
    QString launchError;
    /// The exit status, or the signal number when the child crashed (`exited` only).
    int exitStatus = 0;
    QByteArray standardError;

    [[nodiscard]] bool succeeded() const { return kind == Kind::exited && exitStatus == 0; }

    /// The file's error message for a failed run of `program`: "cwebp failed: …" or
    /// "cwebp [N]: …".
    [[nodiscard]] QString message(const QString &program = QStringLiteral("cwebp")) const;
    /// The reason behind `message`: the launch error, or the standard error text, trimmed.
    [[nodiscard]] QString detail() const;
};
