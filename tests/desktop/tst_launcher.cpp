#include "fileintake.h"

#include <QFile>
#include <QHash>
#include <QMimeDatabase>
#include <QTest>
#include <QXmlStreamReader>

namespace {

/// The keys of the launcher's [Desktop Entry] group.
QHash<QString, QString> desktopEntry()
{
    QFile file(QStringLiteral(TESSEL_LAUNCHER));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QHash<QString, QString> keys;
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inEntry && equals > 0)
            keys.insert(line.left(equals).trimmed(), line.sliced(equals + 1).trimmed());
    }
    return keys;
}

QStringList launcherMimeTypes()
{
    return desktopEntry()
        .value(QStringLiteral("MimeType"))
        .split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

/// The canonical MIME type of files with this extension. shared-mime-info 2.2 has no glob for
/// .jfif, which holds JPEG data.
QString mimeTypeOfExtension(const QString &extension)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("sample.") + extension,
                                                           QMimeDatabase::MatchExtension);
    if (!type.isDefault())
        return type.name();
    if (extension == QLatin1String("jfif"))
        return QStringLiteral("image/jpeg");
    return {};
}

/// The text of the first element called `name` in the metainfo, or its `attribute`.
QString metainfoValue(const QString &name, const QString &attribute = {})
{
    QFile file(QStringLiteral(TESSEL_METAINFO));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == name)
            return attribute.isEmpty() ? xml.readElementText().trimmed()
                                       : xml.attributes().value(attribute).toString();
    }
    return {};
}

} // namespace

/// The launcher and the metainfo against the program: the file types it accepts, how it is
/// started and its names.
class TestLauncher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    /// Exactly the accepted types, each under its canonical name.
    void listsTheAcceptedTypes()
    {
        QStringList accepted;
        for (const QString &extension : FileIntake::supportedExtensions())
            accepted.append(mimeTypeOfExtension(extension));
        QStringList listed;
        for (const QString &name : launcherMimeTypes())
            listed.append(QMimeDatabase().mimeTypeForName(name).name());
        accepted.removeDuplicates();
        accepted.sort();
        listed.removeDuplicates();
        listed.sort();
        QCOMPARE(listed, accepted);
    }

    /// The names that tie the program, the launcher, its icon and the metainfo together.
    void namesAgree_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        const QString appId = QStringLiteral(TESSEL_APP_ID);
        const QHash<QString, QString> entry = desktopEntry();
        QTest::newRow("Exec") << entry.value(QStringLiteral("Exec")) << QStringLiteral("tessel %F");
        QTest::newRow("Icon") << entry.value(QStringLiteral("Icon")) << appId;
        QTest::newRow("id") << metainfoValue(QStringLiteral("id")) << appId;
        QTest::newRow("launchable")
            << metainfoValue(QStringLiteral("launchable")) << appId + QStringLiteral(".desktop");
        QTest::newRow("binary") << metainfoValue(QStringLiteral("binary"))
                                << QStringLiteral("tessel");
        QTest::newRow("newest release")
            << metainfoValue(QStringLiteral("release"), QStringLiteral("version"))
            << QStringLiteral(TESSEL_VERSION);
    }

    void namesAgree()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }
};

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
