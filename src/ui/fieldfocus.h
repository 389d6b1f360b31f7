#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/qqmlregistration.h>

/// Lets a press anywhere outside the focused entry field take the focus out of it (the field
/// commits as on Tab), so that window keys such as Ctrl+A act on the window again. Qt Quick
/// hands a press only to the item under it; the filter sees every press.
class FieldFocus : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QQuickWindow *window READ window WRITE setWindow NOTIFY windowChanged)
    Q_PROPERTY(QQuickItem *home READ home WRITE setHome NOTIFY homeChanged)

public:
    explicit FieldFocus(QObject *parent = nullptr);

    [[nodiscard]] QQuickWindow *window() const { return m_window; }
    void setWindow(QQuickWindow *window);
    /// Where the focus goes when it leaves a field.
    [[nodiscard]] QQuickItem *home() const { return m_home; }
    void setHome(QQuickItem *home);

Q_SIGNALS:
    void windowChanged();
    void homeChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QQuickWindow> m_window;
    QPointer<QQuickItem> m_home;
};
