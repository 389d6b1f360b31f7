#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QtQml/qqmlregistration.h>
#include <QUrl>

/// How files, folders and sizes read in the views: names, paths, sizes and the list of formats.
class DisplayText : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit DisplayText(QObject *parent = nullptr);

    /// The drop zone's format line: "PNG · JPG · …", one entry per distinct format.
    [[nodiscard]] Q_INVOKABLE static QString formatList(const QStringList &extensions);
    /// The last component of a folder's path ("Exports" for file:///home/me/Exports/).
    [[nodiscard]] Q_INVOKABLE static QString folderName(const QUrl &folder);
    /// The path of a local URL as the user reads it ("/home/me/Exports").
    [[nodiscard]] Q_INVOKABLE static QString pathText(const QUrl &url);
    /// The name of the folder that holds `path`, as "Holiday/", or empty.
    [[nodiscard]] Q_INVOKABLE static QString parentName(const QString &path);
    /// A file's size as the file rows show it, in the form of the output's size: "2897.1 KB".
    [[nodiscard]] Q_INVOKABLE static QString sizeText(qint64 bytes);
    /// The last component of a path ("a_1.webp" for "/out/a_1.webp").
    [[nodiscard]] Q_INVOKABLE static QString fileName(const QString &path);
};
