#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>
#include <QVariantList>

/// The places the chooser offers on its side: the user's standard folders, the GTK bookmarks
/// that the desktop's own file dialogs share, and mounted drives.
class Places : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit Places(QObject *parent = nullptr);

    /// One map per place, in order: name, url, icon (a Theme icon name).
    [[nodiscard]] Q_INVOKABLE static QVariantList list();
};
