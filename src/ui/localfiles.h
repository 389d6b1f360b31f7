#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QtQml/qqmlregistration.h>
#include <QUrl>

/// Where local files and folders are, for the views: the usual folders, dropped and typed
/// locations, name filters and new folders.
class LocalFiles : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QUrl homeFolder READ homeFolder CONSTANT)
    Q_PROPERTY(QUrl picturesFolder READ picturesFolder CONSTANT)

public:
    explicit LocalFiles(QObject *parent = nullptr);

    [[nodiscard]] static QUrl homeFolder();
    /// The user's Pictures folder, or the home folder when there is none.
    [[nodiscard]] static QUrl picturesFolder();
    /// Name patterns ("*.png", …) for these extensions.
    [[nodiscard]] Q_INVOKABLE static QStringList nameFilters(const QStringList &extensions);
    /// The local file locations among `urls`, in their order; web links and the like are left
    /// out.
    [[nodiscard]] Q_INVOKABLE static QList<QUrl> localFiles(const QList<QUrl> &urls);
    /// A typed folder path ("~/Pictures", "/mnt/photos/") as a URL, or an empty URL when it
    /// names no folder.
    [[nodiscard]] Q_INVOKABLE static QUrl typedFolder(const QString &text);
    /// Makes the folder `name` in `parent`; its URL, or an empty URL when it could not be made.
    [[nodiscard]] Q_INVOKABLE static QUrl makeFolder(const QUrl &parent, const QString &name);
};
