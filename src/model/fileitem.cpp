#include "fileitem.h"

#include <QMetaEnum>

FileItem::FileItem(const QUrl &url, QObject *parent)
    : QObject(parent)
    , m_id(QUuid::createUuid())
    , m_url(url)
    , m_fileName(url.fileName())
{}

void FileItem::setStatus(const ConversionStatus &status)
{
    const auto previous = m_status.kind();
    m_status = status;
    if (m_observer)
        m_observer->statusAssigned(this, previous);
    Q_EMIT statusChanged(previous);
}

void FileItem::setSelected(bool selected)
{
    const bool previous = m_selected;
    m_selected = selected;
    if (m_observer)
        m_observer->selectionAssigned(this, previous);
    Q_EMIT isSelectedChanged(previous);
}

QString FileItem::statusName() const
{
    return QString::fromLatin1(
        QMetaEnum::fromType<ConversionStatus::Kind>().valueToKey(static_cast<int>(statusKind())));
}
