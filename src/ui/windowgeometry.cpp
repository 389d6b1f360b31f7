#include "windowgeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

WindowGeometry::WindowGeometry(QObject *parent)
    : QObject(parent)
{
    // Moving or resizing sends many events; the place is written once it settles.
    m_saveLater.setSingleShot(true);
    m_saveLater.setInterval(500);
    connect(&m_saveLater, &QTimer::timeout, this, &WindowGeometry::save);
}

WindowGeometry::~WindowGeometry()
{
    if (m_saveLater.isActive())
        save();
}

void WindowGeometry::setWindow(QWindow *window)
{
    if (m_window == window)
        return;
    if (m_window)
        m_window->disconnect(this);
    m_window = window;
    if (m_window) {
        if (m_complete)
            restore();
        for (const auto signal : {&QWindow::xChanged, &QWindow::yChanged, &QWindow::widthChanged,
                                  &QWindow::heightChanged})
            connect(m_window, signal, &m_saveLater, qOverload<>(&QTimer::start));
        connect(m_window, &QWindow::windowStateChanged, &m_saveLater, qOverload<>(&QTimer::start));
    }
    Q_EMIT windowChanged();
}

void WindowGeometry::componentComplete()
{
    m_complete = true;
    if (m_window)
        restore();
}

void WindowGeometry::restore()
{
    const QVariantMap stored = QSettings().value(QLatin1String(settingsKey)).toMap();
    const QRect rect = stored.value(QStringLiteral("rect")).toRect();
    if (!rect.isValid())
        return;
    const QSize size = rect.size().expandedTo(m_window->minimumSize());
    bool onScreen = false;
    for (const QScreen *screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(QRect(rect.topLeft(), size));
    if (onScreen)
        m_window->setGeometry(QRect(rect.topLeft(), size));
    else
        m_window->resize(size);
    if (stored.value(QStringLiteral("maximized")).toBool())
        m_window->setWindowStates(Qt::WindowMaximized);
}

void WindowGeometry::save() const
{
    if (!m_window)
        return;
    const bool maximized = m_window->windowStates() & Qt::WindowMaximized;
    QVariantMap stored = QSettings().value(QLatin1String(settingsKey)).toMap();
    // A maximised window keeps the place it had before, to return to.
    if (!maximized && !(m_window->windowStates() & Qt::WindowFullScreen))
        stored.insert(QStringLiteral("rect"), m_window->geometry());
    stored.insert(QStringLiteral("maximized"), maximized);
    QSettings().setValue(QLatin1String(settingsKey), stored);
}
