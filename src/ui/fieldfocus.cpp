#include "fieldfocus.h"

#include <QMouseEvent>

namespace {

// Fields of a popup (a sheet, the chooser) keep their focus: the popup handles its own keys.
bool inPopup(const QQuickItem *item)
{
    for (; item; item = item->parentItem()) {
        if (item->inherits("QQuickPopupItem"))
            return true;
    }
    return false;
}

} // namespace

FieldFocus::FieldFocus(QObject *parent)
    : QObject(parent)
{}

void FieldFocus::setWindow(QQuickWindow *window)
{
    if (m_window == window)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window;
    if (m_window)
        m_window->installEventFilter(this);
    Q_EMIT windowChanged();
}

void FieldFocus::setHome(QQuickItem *home)
{
    if (m_home == home)
        return;
    m_home = home;
    Q_EMIT homeChanged();
}

bool FieldFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress || !m_window || !m_home)
        return QObject::eventFilter(watched, event);
    QQuickItem *focused = m_window->activeFocusItem();
    if (focused && focused->inherits("QQuickTextInput") &&
        !focused->property("readOnly").toBool() && !inPopup(focused)) {
        const QPointF at =
            focused->mapFromScene(static_cast<QMouseEvent *>(event)->scenePosition());
        if (!focused->contains(at))
            m_home->forceActiveFocus(Qt::MouseFocusReason);
    }
    return QObject::eventFilter(watched, event);
}
