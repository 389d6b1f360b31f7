#pragma once

#include <QObject>
#include <QSocketNotifier>

/// Turns SIGINT and SIGTERM into a Qt signal on the GUI thread (through a self-pipe, the only
/// safe way out of a signal handler).
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

Q_SIGNALS:
    void received(int signal);

private:
    QSocketNotifier *m_notifier = nullptr;
};
