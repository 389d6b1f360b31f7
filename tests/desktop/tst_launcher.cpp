#include "fileintake.h"

#include <QFile>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QTest>

namespace {

QString text(const char *path)
{
    QFile file(QString::fromUtf8(path));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

/// The first capture of `pattern` in `text`.
QString find(const QString &text, const QString &pattern)
{
    return QRegularExpression(pattern, QRegularExpression::MultilineOption)
        .match(text)
        .captured(1)
        .trimmed();
}

QString canonical(QStringList types)
{
    for (QString &type : types)
        type = QMimeDatabase().mimeTypeForName(type).name();
    types.removeDuplicates();
    types.sort();
    return types.join(u';');
}

} // namespace

/// The launcher and the metainfo against the program: the file types it accepts, how it is
/// started and its names.
class TestLauncher : public QObject
{
    Q_OBJECT

    const QString m_launcher = text(TESSEL_LAUNCHER);
    const QString m_metainfo = text(TESSEL_METAINFO);

private Q_SLOTS:
    /// The names that tie the program, the launcher, its icon and the metainfo together, and
    /// exactly the accepted file types, each under its canonical name. shared-mime-info 2.2 has
    /// no glob for .jfif, which holds JPEG data.
    void namesAgree_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        QStringList accepted;
        for (const QString &extension : FileIntake::supportedExtensions()) {
            const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("a.") + extension,
                                                                   QMimeDatabase::MatchExtension);
            accepted.append(extension == u"jfif" ? QStringLiteral("image/jpeg") : type.name());
        }
        QTest::newRow("MimeType") << canonical(find(m_launcher, QStringLiteral("^MimeType=(.*)$"))
                                                   .split(u';', Qt::SkipEmptyParts))
                                  << canonical(accepted);
        const QString appId = QStringLiteral(TESSEL_APP_ID);
        QTest::newRow("Exec") << find(m_launcher, QStringLiteral("^Exec=(.*)$"))
                              << QStringLiteral("tessel %F");
        QTest::newRow("Icon") << find(m_launcher, QStringLiteral("^Icon=(.*)$")) << appId;
        const auto element = [this](const char *name) {
            return find(m_metainfo, QStringLiteral("<%1[^>]*>([^<]*)<").arg(QLatin1String(name)));
        };
        QTest::newRow("id") << element("id") << appId;
        QTest::newRow("launchable") << element("launchable") << appId + QStringLiteral(".desktop");
        QTest::newRow("binary") << element("binary") << QStringLiteral("tessel");
        QTest::newRow("newest release")
            << find(m_metainfo, QStringLiteral("<release[^>]* version=\"([^\"]*)\""))
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
