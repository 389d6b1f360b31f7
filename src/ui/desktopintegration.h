#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <QUrl>

/// What the desktop around the window offers: its own file dialogs, a file manager that opens
/// a folder or shows a file. A failure is reported through `problem`, for the window to show.
class DesktopIntegration : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool hasNativeDialogs READ hasNativeDialogs CONSTANT)

public:
    explicit DesktopIntegration(QObject *parent = nullptr);

    /// Whether Qt will show the desktop's own file dialogs (through the XDG desktop portal or
    /// the GTK or KDE platform theme) rather than its built-in Qt Quick ones. Qt gives no public
    /// answer, so this follows Qt's own choice of platform theme and looks for its plugin.
    [[nodiscard]] static bool hasNativeDialogs();

    /// Opens `folder` in the file manager; false (and `problem`) when nothing could open it.
    Q_INVOKABLE bool openFolder(const QUrl &folder);
    /// Shows the file at `path` selected in its folder (the FileManager1 D-Bus service), or
    /// opens its folder when no file manager answers there.
    Q_INVOKABLE void showInFileManager(const QString &path);

Q_SIGNALS:
    void problem(const QString &message);
};
