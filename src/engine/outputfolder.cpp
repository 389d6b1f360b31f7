#include "outputfolder.h"

#include "fileintake.h"
#include "preferences.h"

OutputFolder::OutputFolder(QObject *parent)
    : QObject(parent)
{
    if (auto folder = Preferences::loadOutputFolder())
        m_url = *folder;
}

QByteArray OutputFolder::nativePath() const
{
    return FileIntake::pathOf(m_url);
}

bool OutputFolder::isThere() const
{
    return FileIntake::isFolder(nativePath());
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
    Q_EMIT changed();
}
