#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

/// A failed file's reason as the window tells it: a sentence rather than the decoder's or the
/// system's own words, which the command line's JSON keeps as they are.
class FailureText : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit FailureText(QObject *parent = nullptr);

    /// "Could not load image: The file ends early (truncated)." for a message and its raw
    /// detail; the message alone when there is no detail.
    [[nodiscard]] Q_INVOKABLE static QString describe(const QString &message,
                                                      const QString &detail);
    /// The raw detail as a sentence: known failures in plain words, any other with a capital
    /// and a full stop.
    [[nodiscard]] static QString sentence(const QString &detail);
};
