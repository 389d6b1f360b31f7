#include "fileintake.h"
#include "testsupport.h"

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
    /// exactly the accepted file types. shared-mime-info 2.2 has no glob for .jfif, which holds
    /// JPEG data.
    void namesAgree_data() { addRowsFrom("launcher-fields.txt", {"file", "pattern", "expected"}); }

    void namesAgree()
    {
        auto [file, pattern, expected] = fields("file", "pattern", "expected");
        const QString actual = find(file == u"launcher" ? m_launcher : m_metainfo, pattern);
        if (expected != u"ACCEPTED") {
            QCOMPARE(actual,
                     expected.replace(QStringLiteral("APP_ID"), QStringLiteral(TESSEL_APP_ID))
                         .replace(QStringLiteral("VERSION"), QStringLiteral(TESSEL_VERSION)));
            return;
        }
        QStringList accepted;
        for (const QString &extension : FileIntake::supportedExtensions()) {
            const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("a.") + extension,
                                                                   QMimeDatabase::MatchExtension);
            accepted.append(extension == u"jfif" ? QStringLiteral("image/jpeg") : type.name());
        }
        QCOMPARE(canonical(actual.split(u';', Qt::SkipEmptyParts)), canonical(accepted));
    }
};

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
