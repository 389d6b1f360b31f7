#pragma once

#include "batchrun.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QtQml/qqmlregistration.h>
#include <QWindow>

/// Tells the user how a run goes when they are not looking at the list: the elapsed time and
/// an estimate of the time left for the status bar, progress on the launcher icon (the Unity
/// LauncherEntry signal that docks and the Plasma task manager read), and a desktop
/// notification when a long run ends while the window is in the background.
class RunReporter : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(BatchRun *run READ run WRITE setRun NOTIFY runObjectChanged)
    Q_PROPERTY(QWindow *window READ window WRITE setWindow NOTIFY windowChanged)
    Q_PROPERTY(QString timeText READ timeText NOTIFY timeTextChanged)

public:
    /// Runs shorter than this end without a notification.
    static constexpr qint64 notifyAfterMs = 10'000;

    explicit RunReporter(QObject *parent = nullptr);

    [[nodiscard]] BatchRun *run() const { return m_run; }
    void setRun(BatchRun *run);
    [[nodiscard]] QWindow *window() const { return m_window; }
    void setWindow(QWindow *window);
    /// "0:42 elapsed · about 1:10 left" during a run, empty otherwise.
    [[nodiscard]] QString timeText() const { return m_timeText; }

    /// "m:ss" (or "h:mm:ss") for a duration.
    [[nodiscard]] static QString durationText(qint64 ms);
    /// The engine's estimate of the time the run still needs; -1 when not known yet.
    [[nodiscard]] qint64 remainingMs() const;

Q_SIGNALS:
    void runObjectChanged();
    void windowChanged();
    void timeTextChanged();

private:
    void runChanged();
    void progressed();
    void tick();
    void runEnded(qint64 elapsedMs);
    void sendLauncherUpdate(double progress, bool visible) const;

    QPointer<BatchRun> m_run;
    QPointer<QWindow> m_window;
    QElapsedTimer m_elapsed;
    QTimer m_ticker;
    QString m_timeText;
    bool m_running = false;
    double m_lastProgress = 0;
};
