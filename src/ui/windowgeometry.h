#pragma once

#include <QObject>
#include <QPointer>
#include <QQmlParserStatus>
#include <QTimer>
#include <QtQml/qqmlregistration.h>
#include <QWindow>

/// Remembers a window's size, position and maximised state in the preferences under its own
/// key, and gives them back when the window is set, as long as the place is still on a screen.
class WindowGeometry : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    QML_ELEMENT
    Q_PROPERTY(QWindow *window READ window WRITE setWindow NOTIFY windowChanged)

public:
    static constexpr auto settingsKey = "windowGeometry";

    explicit WindowGeometry(QObject *parent = nullptr);
    ~WindowGeometry() override;

    [[nodiscard]] QWindow *window() const { return m_window; }
    void setWindow(QWindow *window);

    void classBegin() override {}
    /// Restores once the window's own size bindings have been applied.
    void componentComplete() override;

Q_SIGNALS:
    void windowChanged();

private:
    void restore();
    void save() const;

    QPointer<QWindow> m_window;
    QTimer m_saveLater;
    bool m_complete = false;
};
