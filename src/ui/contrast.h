#pragma once

#include <QColor>
#include <QObject>
#include <QtQml/qqmlregistration.h>

/// Contrast of text against its background as WCAG 2 defines it, and the nearest colour that
/// reads well, so that the Theme can keep every text at the AA level under any palette.
class Contrast : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    /// WCAG AA for normal text.
    static constexpr double minimumRatio = 4.5;

    explicit Contrast(QObject *parent = nullptr);

    /// The contrast ratio of `foreground` drawn over `background` (1 to 21); a translucent
    /// foreground is blended over the background first.
    [[nodiscard]] Q_INVOKABLE static double ratio(const QColor &foreground,
                                                  const QColor &background);
    /// `foreground` itself when it reaches the AA ratio over `background`, otherwise the same
    /// hue made darker (on a light background) or lighter (on a dark one) until it does.
    [[nodiscard]] Q_INVOKABLE static QColor readable(const QColor &foreground,
                                                     const QColor &background);
};
