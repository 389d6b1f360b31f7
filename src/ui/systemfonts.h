#pragma once

#include <QFont>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

/// The platform's fonts and the icon font, for the Theme.
class SystemFonts : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QFont general READ general CONSTANT)
    Q_PROPERTY(QFont fixed READ fixed CONSTANT)
    Q_PROPERTY(QString iconFamily READ iconFamily CONSTANT)
    /// The application font's size in pixels, however the desktop gives it (points are
    /// converted at the screen's resolution); it follows a change of the application font.
    Q_PROPERTY(int applicationPixelSize READ applicationPixelSize NOTIFY applicationFontChanged)

public:
    explicit SystemFonts(QObject *parent = nullptr);

    [[nodiscard]] static QFont general();
    [[nodiscard]] static QFont fixed();
    /// The family of the Material icon font, or empty when the font is not installed.
    [[nodiscard]] static QString iconFamily();
    [[nodiscard]] static int applicationPixelSize();

Q_SIGNALS:
    void applicationFontChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
