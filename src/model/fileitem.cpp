#include "fileitem.h"

#include <QFile>

FileItem FileItem::make(const QByteArray &path, const QByteArray &subfolder)
{
    FileItem item;
    item.id = QUuid::createUuid();
    item.path = path;
    item.subfolder = subfolder;
    return item;
}

QString FileItem::fileName() const
{
    return QFile::decodeName(path.mid(path.lastIndexOf('/') + 1));
}

QString FileItem::displayPath() const
{
    return QFile::decodeName(path);
}
