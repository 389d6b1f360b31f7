#include "conversionjob.h"
#include "enginefixtures.h"
#include "webpencoder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using EngineFixtures::script;

class TestWebpEncoder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void arguments_data()
    {
        QTest::addColumn<bool>("sizeLimitEnabled");
        QTest::addColumn<bool>("hasAlpha");
        QTest::addColumn<int>("alphaQuality");
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
        QTest::newRow("size limit, alpha") << true << true << 85 << head + size + common + alpha;
        QTest::newRow("size limit, opaque") << true << false << 85 << head + size + common;
        QTest::newRow("quality, alpha") << false << true << 85 << head + quality + common + alpha;
        QTest::newRow("quality, opaque") << false << false << 85 << head + quality + common;
        QTest::newRow("retry, lower alpha quality")
            << true << true << 0 << head + size + common + QStringList{u"-alpha_q"_s, u"0"_s};
    }

    void arguments()
    {
        QFETCH(bool, sizeLimitEnabled);
        QFETCH(bool, hasAlpha);
        QFETCH(int, alphaQuality);
        QFETCH(QStringList, expected);
        QCOMPARE(WebpEncoder::arguments(QStringLiteral("/tmp/in put.png"),
                                        QStringLiteral("/out dir/a.webp"), sizeLimitEnabled,
                                        300 * 1024, 85, hasAlpha, alphaQuality),
                 expected);
    }

    void locate_data()
    {
        QTest::addColumn<QStringList>("present"); // under the fixed places a, b, c
        QTest::addColumn<QStringList>("onSearchPath");
        QTest::addColumn<QString>("expected");
        QTest::newRow("second fixed place wins over the search path")
            << QStringList{u"b"_s, u"c"_s} << QStringList{u"cwebp"_s} << u"b"_s;
        QTest::newRow("a directory counts") << QStringList{u"a/"_s} << QStringList{} << u"a"_s;
        QTest::newRow("search path") << QStringList{} << QStringList{u"cwebp"_s} << u"path/cwebp"_s;
        QTest::newRow("not executable on the search path")
            << QStringList{} << QStringList{u"cwebp-"_s} << QString();
        QTest::newRow("nowhere") << QStringList{} << QStringList{} << QString();
    }

    void locate()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, onSearchPath);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("path"));
        for (const QString &name : present) {
            if (name.endsWith(QLatin1Char('/')))
                QDir(dir.path()).mkdir(name);
            else
                (void)script(dir.path(), name, {});
        }
        for (const QString &name : onSearchPath) {
            const QString path = script(dir.filePath(QStringLiteral("path")), u"cwebp"_s, {});
            if (name.endsWith(QLatin1Char('-')))
                QFile::setPermissions(path, QFile::ReadOwner);
        }
        const auto found = WebpEncoder::locateIn(
            {dir.filePath(u"a"_s), dir.filePath(u"b"_s), dir.filePath(u"c"_s)},
            {dir.filePath(u"path"_s)});
        QCOMPARE(found.value_or(QString()),
                 expected.isEmpty() ? QString() : dir.filePath(expected));
    }

    void failedRuns_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("detail");
        QTest::newRow("exit 2, nothing on stderr") << u"exit 2"_s << u"cwebp [2]: "_s << u""_s;
        QTest::newRow("stderr trimmed") << u"printf '\\n  bad input \\n' >&2; exit 3"_s
                                        << u"cwebp [3]: bad input"_s << u"bad input"_s;
        QTest::newRow("stderr not UTF-8")
            << u"printf 'a\\377b' >&2; exit 1"_s << u"cwebp [1]: Unknown"_s << u"Unknown"_s;
        const QString xs(4095, QLatin1Char('x'));
        QTest::newRow("flood cut at 4 KiB, before a split character")
            << u"head -c 4095 /dev/zero | tr '\\0' x >&2; printf '\\303\\251' >&2;"
               u"head -c 8000000 /dev/zero >&2; exit 1"_s
            << u"cwebp [1]: "_s + xs << xs;
        const QString x4094(4094, QLatin1Char('x'));
        QTest::newRow("flood cut inside a three-byte character")
            << u"head -c 4094 /dev/zero | tr '\\0' x >&2; printf '\\342\\202\\254' >&2; exit 1"_s
            << u"cwebp [1]: "_s + x4094 << x4094;
        const QString x4096(4096, QLatin1Char('x'));
        QTest::newRow("flood of plain text kept to the byte")
            << u"head -c 9000 /dev/zero | tr '\\0' x >&2; exit 1"_s << u"cwebp [1]: "_s + x4096
            << x4096;
        QTest::newRow("crash") << u"kill -SEGV $$"_s << u"cwebp [11]: "_s << u""_s;
        QTest::newRow("not launched")
            << u""_s << u"cwebp failed: execvp: No such file or directory"_s
            << u"execvp: No such file or directory"_s;
    }

    void failedRuns()
    {
        QFETCH(QString, body);
        QFETCH(QString, message);
        QFETCH(QString, detail);
        QTemporaryDir dir;
        const RunFlags flags;
        const QString encoder =
            body.isEmpty() ? dir.filePath(u"missing"_s) : script(dir.path(), u"enc"_s, body);
        const EncoderOutcome outcome = WebpEncoder::run(encoder, {QStringLiteral("x")}, flags);
        QVERIFY(!outcome.succeeded());
        QCOMPARE(outcome.message(), message);
        QCOMPARE(outcome.detail(), detail);
    }
};

QTEST_GUILESS_MAIN(TestWebpEncoder)
#include "tst_webpencoder.moc"
