#include "outputfolder.h"

#include "fileintake.h"
#include "preferences.h"

OutputFolder::OutputFolder(QObject *parent)
    : QObject(parent)
{
    if (auto folder = Preferences::loadOutputFolder())
        m_url = *folder;
    m_isThere = isSet() && FileIntake::isFolder(nativePath());
}

QByteArray OutputFolder::nativePath() const
{
    return FileIntake::pathOf(m_url);
}

void OutputFolder::recheck()
{
    const bool there = isSet() && FileIntake::isFolder(nativePath());
    if (there == m_isThere)
        return;
    m_isThere = there;
    Q_EMIT changed();
}

void OutputFolder::setChosen(const QUrl &folder)
{
    // Only a local folder can take outputs; anything else (whose local path is empty) would
    // leave the run without one.
    if (folder.toLocalFile().isEmpty())
        return;
    use(folder);
    Preferences::saveOutputFolder(folder);
}

void OutputFolder::use(const QUrl &folder)
{
    m_url = folder;
    m_isThere = isSet() && FileIntake::isFolder(nativePath());
    Q_EMIT changed();
}
