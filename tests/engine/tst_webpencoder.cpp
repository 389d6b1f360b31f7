#include "conversionjob.h"
#include "enginefixtures.h"
#include "webpencoder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using EngineFixtures::script;

class TestWebpEncoder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void arguments_data()
    {
        QTest::addColumn<bool>("sizeLimitEnabled");
        QTest::addColumn<bool>("hasAlpha");
        QTest::addColumn<QStringList>("expected");
        const QStringList common{QStringLiteral("-metadata"), QStringLiteral("none"),
                                 QStringLiteral("-mt"),       QStringLiteral("-m"),
                                 QStringLiteral("6"),         QStringLiteral("-pass"),
                                 QStringLiteral("10")};
        const QStringList head{QStringLiteral("/tmp/in put.png"), QStringLiteral("-o"),
                               QStringLiteral("/out dir/a.webp")};
        const QStringList size{QStringLiteral("-size"), QStringLiteral("307200")};
        const QStringList quality{QStringLiteral("-q"), QStringLiteral("85")};
        const QStringList alpha{QStringLiteral("-alpha_q"), QStringLiteral("85")};
        QTest::newRow("size limit, alpha") << true << true << head + size + common + alpha;
        QTest::newRow("size limit, opaque") << true << false << head + size + common;
        QTest::newRow("quality, alpha") << false << true << head + quality + common + alpha;
        QTest::newRow("quality, opaque") << false << false << head + quality + common;
    }

    void arguments()
    {
        QFETCH(bool, sizeLimitEnabled);
        QFETCH(bool, hasAlpha);
        QFETCH(QStringList, expected);
        QCOMPARE(WebpEncoder::arguments(QStringLiteral("/tmp/in put.png"),
                                        QStringLiteral("/out dir/a.webp"), sizeLimitEnabled,
                                        300 * 1024, 85, hasAlpha),
                 expected);
    }

    void locate_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("whichBody");
        QTest::addColumn<QString>("expected");
        const QString silent = QStringLiteral("exit 0");
        QTest::newRow("second of three wins over which")
            << QStringList{QStringLiteral("b"), QStringLiteral("c")}
            << QStringLiteral("echo /elsewhere/cwebp") << QStringLiteral("b");
        QTest::newRow("a directory counts")
            << QStringList{QStringLiteral("a/")} << silent << QStringLiteral("a");
        QTest::newRow("which path, newline trimmed")
            << QStringList{} << QStringLiteral("printf '/opt/x y/cwebp\\n'")
            << QStringLiteral("/opt/x y/cwebp");
        QTest::newRow("which prints nothing") << QStringList{} << silent << QString();
        QTest::newRow("which prints blanks")
            << QStringList{} << QStringLiteral("printf ' \\n\\t'") << QString();
        QTest::newRow("which prints invalid UTF-8")
            << QStringList{} << QStringLiteral("printf '/usr/bin/\\377\\n'") << QString();
        QTest::newRow("which exit status ignored")
            << QStringList{} << QStringLiteral("echo /bin/cwebp; exit 1")
            << QStringLiteral("/bin/cwebp");
        QTest::newRow("no which at all") << QStringList{} << QString() << QString();
    }

    void locate()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, whichBody);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        for (const QString &entry : present) {
            if (entry.endsWith(QLatin1Char('/')))
                QVERIFY(QDir(dir.path()).mkdir(entry));
            else
                EngineFixtures::writeBytes(dir.filePath(entry), "x");
        }
        const QStringList candidates{dir.filePath(QStringLiteral("a")),
                                     dir.filePath(QStringLiteral("b")),
                                     dir.filePath(QStringLiteral("c"))};
        const QString which = whichBody.isNull()
                                  ? dir.filePath(QStringLiteral("no-which"))
                                  : script(dir.path(), QStringLiteral("which"), whichBody);
        const std::optional<QString> found = WebpEncoder::locateIn(candidates, which);
        if (expected.isEmpty())
            QCOMPARE(found, std::nullopt);
        else
            QCOMPARE(found.value_or(QString()),
                     expected.startsWith(QLatin1Char('/')) ? expected : dir.filePath(expected));
    }

    void failedRuns_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("message");
        QTest::newRow("exit 2, nothing on stderr")
            << QStringLiteral("exit 2") << QStringLiteral("cwebp [2]: ");
        QTest::newRow("stderr trimmed") << QStringLiteral("printf '\\n  bad input \\n' >&2; exit 3")
                                        << QStringLiteral("cwebp [3]: bad input");
        QTest::newRow("stderr not UTF-8") << QStringLiteral("printf 'a\\377b' >&2; exit 1")
                                          << QStringLiteral("cwebp [1]: Unknown");
        QTest::newRow("stderr UTF-8") << QStringLiteral("printf 'caf\\303\\251' >&2; exit 1")
                                      << QStringLiteral("cwebp [1]: caf\u00e9");
        QTest::newRow("a character cut at 4 KiB is dropped")
            << QStringLiteral(
                   "head -c 4095 /dev/zero | tr '\\0' x >&2; printf '\\303\\251' >&2; exit 1")
            << QStringLiteral("cwebp [1]: ") + QString(4095, QLatin1Char('x'));
        QTest::newRow("crash") << QStringLiteral("kill -SEGV $$") << QStringLiteral("cwebp [11]: ");
    }

    void failedRuns()
    {
        QFETCH(QString, body);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const RunFlags flags;
        const EncoderOutcome outcome = WebpEncoder::run(
            script(dir.path(), QStringLiteral("enc"), body), {QStringLiteral("x")}, flags);
        QCOMPARE(outcome.kind, EncoderOutcome::Kind::exited);
        QVERIFY(!outcome.succeeded());
        QCOMPARE(outcome.message(), message);
    }

    void argumentsArriveVerbatim()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("args"));
        const QString encoder =
            script(dir.path(), QStringLiteral("enc"),
                   QStringLiteral("for a in \"$@\"; do echo \"[$a]\"; done > '%1'").arg(log));
        const RunFlags flags;
        const EncoderOutcome outcome = WebpEncoder::run(
            encoder, {QStringLiteral("a b"), QStringLiteral("*"), QStringLiteral("$HOME")}, flags);
        QVERIFY(outcome.succeeded());
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[a b]\n[*]\n[$HOME]\n"));
    }
};

QTEST_GUILESS_MAIN(TestWebpEncoder)
#include "tst_webpencoder.moc"
