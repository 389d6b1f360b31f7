#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QtQml/qqmlregistration.h>
#include <QUrl>

/// Small questions about files and folders, answered for the views.
class FileUrls : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QUrl homeFolder READ homeFolder CONSTANT)
    Q_PROPERTY(QUrl picturesFolder READ picturesFolder CONSTANT)

public:
    explicit FileUrls(QObject *parent = nullptr);

    [[nodiscard]] static QUrl homeFolder();
    /// The user's Pictures folder, or the home folder when there is none.
    [[nodiscard]] static QUrl picturesFolder();
    /// Name patterns ("*.png", …) for these extensions.
    [[nodiscard]] Q_INVOKABLE static QStringList nameFilters(const QStringList &extensions);
    /// The drop zone's format line: "PNG · JPG · …", one entry per distinct format.
    [[nodiscard]] Q_INVOKABLE static QString formatList(const QStringList &extensions);
    /// The local file locations among `urls`, in their order; web links and the like are left
    /// out.
    [[nodiscard]] Q_INVOKABLE static QList<QUrl> localFiles(const QList<QUrl> &urls);
    /// The last component of a folder's path ("Exports" for file:///home/me/Exports/).
    [[nodiscard]] Q_INVOKABLE static QString folderName(const QUrl &folder);
    /// The path of a local URL as the user reads it ("/home/me/Exports").
    [[nodiscard]] Q_INVOKABLE static QString pathText(const QUrl &url);
    /// The name of the folder that holds `path`, as "Holiday/", or empty.
    [[nodiscard]] Q_INVOKABLE static QString parentName(const QString &path);
    /// A typed folder path ("~/Pictures", "/mnt/photos/") as a URL, or an empty URL when it
    /// names no folder.
    [[nodiscard]] Q_INVOKABLE static QUrl typedFolder(const QString &text);
    /// Makes the folder `name` in `parent`; its URL, or an empty URL when it could not be made.
    [[nodiscard]] Q_INVOKABLE static QUrl makeFolder(const QUrl &parent, const QString &name);
    /// A file's size as the file rows show it, in the form of the output's size: "2897.1 KB".
    [[nodiscard]] Q_INVOKABLE static QString sizeText(qint64 bytes);
    /// The last component of a path ("a_1.webp" for "/out/a_1.webp").
    [[nodiscard]] Q_INVOKABLE static QString fileName(const QString &path);
};
