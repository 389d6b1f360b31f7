#include "runreporter.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QGuiApplication>
#include <QVariantMap>

RunReporter::RunReporter(QObject *parent)
    : QObject(parent)
{
    m_ticker.setInterval(1000);
    connect(&m_ticker, &QTimer::timeout, this, &RunReporter::tick);
}

void RunReporter::setRun(BatchRun *run)
{
    if (m_run == run)
        return;
    if (m_run)
        m_run->disconnect(this);
    m_run = run;
    if (m_run) {
        connect(m_run, &BatchRun::changed, this, &RunReporter::runChanged);
    }
    Q_EMIT runObjectChanged();
}

void RunReporter::setWindow(QWindow *window)
{
    if (m_window == window)
        return;
    m_window = window;
    Q_EMIT windowChanged();
}

QString RunReporter::durationText(qint64 ms)
{
    const qint64 seconds = std::max<qint64>(0, ms) / 1000;
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

qint64 RunReporter::remainingMs() const
{
    if (!m_run || !m_elapsed.isValid())
        return -1;
    return m_run->remainingMs();
}

void RunReporter::runChanged()
{
    if (m_run->isConverting() == m_running) {
        progressed();
        return;
    }
    m_running = m_run->isConverting();
    if (m_running) {
        m_elapsed.start();
        m_ticker.start();
        tick();
        m_lastProgress = 0;
        sendLauncherUpdate(0, true);
        return;
    }
    m_ticker.stop();
    const qint64 elapsed = m_elapsed.isValid() ? m_elapsed.elapsed() : 0;
    m_elapsed.invalidate();
    m_timeText.clear();
    Q_EMIT timeTextChanged();
    sendLauncherUpdate(0, false);
    runEnded(elapsed);
}

void RunReporter::progressed()
{
    if (!m_run->isConverting() || m_run->totalCount() < 1)
        return;
    // A signal per hundredth at most, however many files the run has.
    const double progress = double(m_run->completedCount()) / double(m_run->totalCount());
    if (int(progress * 100) == int(m_lastProgress * 100))
        return;
    m_lastProgress = progress;
    sendLauncherUpdate(progress, true);
}

void RunReporter::tick()
{
    QString text = durationText(m_elapsed.elapsed()) + QStringLiteral(" elapsed");
    const qint64 left = remainingMs();
    if (left >= 0)
        text += QStringLiteral(" \u00b7 about %1 left").arg(durationText(left + 999));
    if (text == m_timeText)
        return;
    m_timeText = text;
    Q_EMIT timeTextChanged();
}

void RunReporter::runEnded(qint64 elapsedMs)
{
    if (elapsedMs < notifyAfterMs || (m_window && m_window->isActive()))
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    const QString body = m_run->summaryText();
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    notify << QCoreApplication::applicationName() << uint(0) << QGuiApplication::desktopFileName()
           << QStringLiteral("Conversion finished") << body << QStringList()
           << QVariantMap{{QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName()}}
           << int(-1);
    bus.asyncCall(notify);
}

void RunReporter::sendLauncherUpdate(double progress, bool visible) const
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString app = QGuiApplication::desktopFileName();
    if (!bus.isConnected() || app.isEmpty())
        return;
    QDBusMessage update = QDBusMessage::createSignal(
        QStringLiteral("/com/canonical/unity/launcherentry/%1").arg(qHash(app)),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    update << QStringLiteral("application://%1.desktop").arg(app)
           << QVariantMap{{QStringLiteral("progress"), progress},
                          {QStringLiteral("progress-visible"), visible}};
    bus.send(update);
}
