#include "enginefixtures.h"
#include "fileconverter.h"
#include "vipsruntime.h"
#include "webpfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using EngineFixtures::entries;
using EngineFixtures::noise;
using EngineFixtures::save;

/// Output folders that already hold our names, as files, folders and links: the next free
/// name is taken and nothing is written through a link.
class TestHostileOutput : public QObject
{
    Q_OBJECT

    [[nodiscard]] static ConversionStatus convert(const QString &input, const QString &output)
    {
        ConversionJob job;
        job.encoderPath = EngineFixtures::realEncoder;
        job.preserveOriginal = true;
        job.sizeLimitEnabled = false;
        job.outputFolder = output;
        const RunFlags flags;
        return FileConverter::convert(QUrl::fromLocalFile(input), job, flags);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

    void prefilledFolder()
    {
        QTemporaryDir in;
        QTemporaryDir out;
        QTemporaryDir elsewhere;
        const QString input = in.filePath(QStringLiteral("a.png"));
        save(noise(8, 8), ".png", input);
        const QString victim = elsewhere.filePath(QStringLiteral("precious.txt"));
        EngineFixtures::writeBytes(victim, "keep me");
        const QString missingTarget = elsewhere.filePath(QStringLiteral("created-through-link"));
        EngineFixtures::writeBytes(out.filePath(QStringLiteral("a.webp")), "older output");
        QVERIFY(QDir(out.path()).mkdir(QStringLiteral("a_1.webp")));
        QVERIFY(QFile::link(victim, out.filePath(QStringLiteral("a_2.webp"))));
        QVERIFY(QFile::link(missingTarget, out.filePath(QStringLiteral("a_3.webp"))));
        QVERIFY(QFile::link(elsewhere.path(), out.filePath(QStringLiteral("a_4.webp"))));

        for (const QString &expected : {QStringLiteral("a_5.webp"), QStringLiteral("a_6.webp")}) {
            const ConversionStatus status = convert(input, out.path());
            QCOMPARE(status.kind(), ConversionStatus::Kind::done);
            QCOMPARE(status.outputPath(), out.filePath(expected));
            QVERIFY(!QFileInfo(status.outputPath()).isSymLink());
            QCOMPARE(WebpFile::check(status.outputPath()), WebpFile::State::valid);
        }
        QFile older(out.filePath(QStringLiteral("a.webp")));
        QVERIFY(older.open(QIODevice::ReadOnly));
        QCOMPARE(older.readAll(), QByteArray("older output"));
        QFile kept(victim);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("keep me"));
        QVERIFY(!QFileInfo::exists(missingTarget));
        QCOMPARE(entries(elsewhere.path()), QStringList{QStringLiteral("precious.txt")});
        QCOMPARE(entries(out.path() + QStringLiteral("/a_1.webp")), QStringList());
    }

    /// A read-only output folder, made with a read-only mount since root writes anywhere.
    void readOnlyFolder()
    {
        QTemporaryDir in;
        QTemporaryDir out;
        const QString input = in.filePath(QStringLiteral("a.png"));
        save(noise(8, 8), ".png", input);
        if (QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("ro,size=64k"), QStringLiteral("tmpfs"),
                               out.path()}) != 0)
            QSKIP("cannot mount a read-only file system here");
        const ConversionStatus status = convert(input, out.path());
        const QStringList left = entries(out.path());
        QProcess::execute(QStringLiteral("umount"), {out.path()});
        QCOMPARE(status, ConversionStatus::error(QStringLiteral("Could not create output file")));
        QCOMPARE(left, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestHostileOutput)
#include "tst_hostileoutput.moc"
