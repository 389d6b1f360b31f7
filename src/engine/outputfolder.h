#pragma once

#include <QObject>
#include <QUrl>

/// The folder that receives the outputs: the one last chosen, remembered across restarts, or
/// one given for this session only.
class OutputFolder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUrl url READ url NOTIFY changed)
    Q_PROPERTY(QString path READ path NOTIFY changed)
    Q_PROPERTY(bool isSet READ isSet NOTIFY changed)
    Q_PROPERTY(bool isThere READ isThere NOTIFY changed)

public:
    /// Starts with the remembered folder, if any.
    explicit OutputFolder(QObject *parent = nullptr);

    [[nodiscard]] QUrl url() const { return m_url; }
    [[nodiscard]] QString path() const { return m_url.toLocalFile(); }
    /// The file system's own bytes of the path.
    [[nodiscard]] QByteArray nativePath() const;
    [[nodiscard]] bool isSet() const { return !m_url.isEmpty(); }
    /// Whether it was a folder on disk when last looked at (`recheck`).
    [[nodiscard]] bool isThere() const { return m_isThere; }
    /// Looks at the disk again, e.g. when the window comes back to the front or a run ends.
    Q_INVOKABLE void recheck();

    /// Asks the window's folder chooser (`chooserRequested`).
    Q_INVOKABLE void choose() { Q_EMIT chooserRequested(); }
    /// The chooser's answer: uses `folder` from now on and remembers it. Anything but a local
    /// folder is ignored.
    Q_INVOKABLE void setChosen(const QUrl &folder);
    /// Uses `folder` for the next runs without remembering it.
    void use(const QUrl &folder);

Q_SIGNALS:
    void changed();
    /// The window should show its folder chooser and answer with `setChosen`.
    void chooserRequested();

private:
    QUrl m_url;
    bool m_isThere = false;
};
