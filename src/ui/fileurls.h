#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QtQml/qqmlregistration.h>
#include <QUrl>

/// Small questions about dropped or chosen locations, answered for the views.
class FileUrls : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QStringList imageNameFilters READ imageNameFilters CONSTANT)
    Q_PROPERTY(QUrl homeFolder READ homeFolder CONSTANT)

public:
    explicit FileUrls(QObject *parent = nullptr);

    /// Name patterns ("*.png", …) of the files the converter takes.
    [[nodiscard]] static QStringList imageNameFilters();
    /// Where the file chooser starts: the user's home folder.
    [[nodiscard]] static QUrl homeFolder();
    /// The local file locations among `urls`, in their order; web links and the like are left
    /// out.
    [[nodiscard]] Q_INVOKABLE static QList<QUrl> localFiles(const QList<QUrl> &urls);
    /// The last component of a folder's path ("Exports" for file:///home/me/Exports/).
    [[nodiscard]] Q_INVOKABLE static QString folderName(const QUrl &folder);
};
