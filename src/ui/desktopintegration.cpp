#include "desktopintegration.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>

DesktopIntegration::DesktopIntegration(QObject *parent)
    : QObject(parent)
{}

bool DesktopIntegration::hasNativeDialogs()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return false;
    // Qt's unix platform theme choice: the environment first, then the desktop's own.
    QString theme = qEnvironmentVariable("QT_QPA_PLATFORMTHEME").section(u':', 0, 0).toLower();
    if (theme.isEmpty()) {
        const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toUpper();
        if (desktop.contains(QLatin1String("KDE")))
            theme = QStringLiteral("kde");
        else if (!desktop.isEmpty())
            theme = QStringLiteral("gtk3");
    }
    if (qEnvironmentVariableIsSet("FLATPAK_ID") || qEnvironmentVariableIsSet("SNAP"))
        theme = QStringLiteral("xdgdesktopportal");
    if (theme.isEmpty())
        return false;
    const QDir plugins(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                       QStringLiteral("/platformthemes"));
    return !plugins.entryList({QStringLiteral("*%1*").arg(theme)}, QDir::Files).isEmpty();
}

bool DesktopIntegration::openFolder(const QUrl &folder)
{
    if (QDesktopServices::openUrl(folder))
        return true;
    Q_EMIT problem(QStringLiteral("Could not open %1: no file manager answered.")
                       .arg(QDir::toNativeSeparators(folder.toLocalFile())));
    return false;
}

void DesktopIntegration::showInFileManager(const QString &path)
{
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(path).absolutePath());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, folder] {
        if (watcher->isError())
            openFolder(folder);
        watcher->deleteLater();
    });
}
