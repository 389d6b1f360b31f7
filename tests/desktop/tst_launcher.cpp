#include "fileintake.h"

#include <QFile>
#include <QHash>
#include <QMimeDatabase>
#include <QSet>
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
/// started and the names that tie launcher, icon and metainfo together.
class TestLauncher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listsEveryAcceptedType_data()
    {
        QTest::addColumn<QString>("extension");
        for (const QString &extension : FileIntake::supportedExtensions())
            QTest::newRow(qPrintable(extension)) << extension;
    }

    void listsEveryAcceptedType()
    {
        QFETCH(QString, extension);
        const QString type = mimeTypeOfExtension(extension);
        QVERIFY2(!type.isEmpty(), qPrintable(QStringLiteral("no MIME type for .") + extension));
        QVERIFY2(launcherMimeTypes().contains(type),
                 qPrintable(type + QStringLiteral(" missing from the launcher's MimeType")));
    }

    void listsOnlyAcceptedTypes()
    {
        QSet<QString> accepted;
        for (const QString &extension : FileIntake::supportedExtensions())
            accepted.insert(mimeTypeOfExtension(extension));

        const QStringList listed = launcherMimeTypes();
        QVERIFY(!listed.isEmpty());
        for (const QString &name : listed) {
            // Aliases such as image/pjpeg resolve to their canonical type.
            const QMimeType type = QMimeDatabase().mimeTypeForName(name);
            QVERIFY2(type.isValid(), qPrintable(name + QStringLiteral(" is not a known type")));
            QVERIFY2(accepted.contains(type.name()),
                     qPrintable(name + QStringLiteral(" is listed but not accepted")));
        }
    }

    void startsWithTheChosenFiles()
    {
        const QStringList exec = desktopEntry()
                                     .value(QStringLiteral("Exec"))
                                     .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(exec.value(0), QStringLiteral("tessel"));
        QCOMPARE(exec.mid(1), QStringList{QStringLiteral("%F")});
    }

    void namesAgree()
    {
        const QString appId = QStringLiteral(TESSEL_APP_ID);
        const QHash<QString, QString> entry = desktopEntry();
        QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
        QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Tessel"));
        QCOMPARE(entry.value(QStringLiteral("Icon")), appId);
        QVERIFY(entry.value(QStringLiteral("Categories"))
                    .split(QLatin1Char(';'))
                    .contains(QStringLiteral("Graphics")));

        QCOMPARE(metainfoValue(QStringLiteral("id")), appId);
        QCOMPARE(metainfoValue(QStringLiteral("launchable")), appId + QStringLiteral(".desktop"));
        QCOMPARE(metainfoValue(QStringLiteral("binary")), QStringLiteral("tessel"));
    }

    void newestReleaseIsThisVersion()
    {
        QCOMPARE(metainfoValue(QStringLiteral("release"), QStringLiteral("version")),
                 QStringLiteral(TESSEL_VERSION));
    }
};

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
