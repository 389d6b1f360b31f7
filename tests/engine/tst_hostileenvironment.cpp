#include "enginefixtures.h"
#include "fileconverter.h"
#include "imageconverter.h"
#include "testsupport.h"
#include "vipsruntime.h"
#include "webpfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using EngineFixtures::convert;
using EngineFixtures::entries;
using EngineFixtures::job;
using EngineFixtures::mountTmpfs;
using EngineFixtures::noise;
using EngineFixtures::save;
using EngineFixtures::script;
using EngineFixtures::unmount;

namespace {

/// Points the temporary folder elsewhere for the life of the object.
class TemporaryFolder
{
public:
    explicit TemporaryFolder(const QString &path)
        : m_previous(qgetenv("TMPDIR"))
    {
        qputenv("TMPDIR", QFile::encodeName(path));
    }
    ~TemporaryFolder() { qputenv("TMPDIR", m_previous); }
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;

private:
    QByteArray m_previous;
};

} // namespace

/// A hostile machine: encoders that misbehave, temporary and output folders that are missing,
/// full or on other file systems. Every failure stays with its file and nothing hangs.
class TestHostileEnvironment : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString input(int size = 16)
    {
        const QString path = m_dir.filePath(QStringLiteral("in.png"));
        save(noise(size, size), ".png", path);
        return path;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

    void cleanup() { QCOMPARE(EngineFixtures::temporaryPngs(), QStringList()); }

    void encoders_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("message");
        const QString real = EngineFixtures::realEncoder;
        QTest::newRow("exit 1 after a partial write")
            << QStringLiteral("printf RIFF > \"$3\"; echo 'Error! out of memory' >&2; exit 1")
            << QStringLiteral("cwebp [1]: Error! out of memory");
        QTest::newRow("floods 64 MiB on stdout and stderr, then fails")
            << QStringLiteral("head -c 67108864 /dev/zero | tr '\\0' x; "
                              "head -c 67108864 /dev/zero | tr '\\0' y >&2; exit 3")
            << QStringLiteral("cwebp [3]: ") + QString(4096, QLatin1Char('y'));
        QTest::newRow("floods, then succeeds")
            << QStringLiteral("head -c 67108864 /dev/zero >&2; exec %1 -quiet \"$@\"").arg(real)
            << QString();
        QTest::newRow("exit 0, no output")
            << QStringLiteral("exit 0") << QStringLiteral("Output file not found");
        QTest::newRow("exit 0, output removed")
            << QStringLiteral("rm -f \"$3\"") << QStringLiteral("Output file not found");
        QTest::newRow("exit 0, garbage") << QStringLiteral("head -c 5000 /dev/urandom > \"$3\"")
                                         << QStringLiteral("cwebp wrote an invalid file");
        QTest::newRow("exit 0, truncated WebP")
            << QStringLiteral("%1 -quiet \"$@\" && truncate -s -10 \"$3\"").arg(real)
            << QStringLiteral("cwebp wrote an invalid file");
        QTest::newRow("exit 0, empty file")
            << QStringLiteral(": > \"$3\"") << QStringLiteral("Output file not found");
        QTest::newRow("grandchild keeps the pipes open")
            << QStringLiteral("%1 -quiet \"$@\"; sleep 60 & exit 0").arg(real) << QString();
        QTest::newRow("grandchild keeps the pipes open, then fails")
            << QStringLiteral("sleep 60 & echo broken >&2; exit 4")
            << QStringLiteral("cwebp [4]: broken");
    }

    void encoders()
    {
        QFETCH(QString, body);
        QFETCH(QString, message);
        QTemporaryDir out;
        const QString encoder = script(m_dir.path(), QStringLiteral("enc"), body);
        const ConversionStatus status = convert(input(), job(out.path(), encoder));
        if (message.isEmpty()) {
            QCOMPARE(status.kind(), ConversionStatus::Kind::done);
            QCOMPARE(WebpFile::check(status.outputPath()), WebpFile::State::valid);
            return;
        }
        QCOMPARE(status, ConversionStatus::error(message));
        QCOMPARE(entries(out.path()), QStringList());
    }

    void encoderNotRunnable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << QStringLiteral("missing");
        QTest::newRow("not executable") << QStringLiteral("plain");
        QTest::newRow("a folder") << QStringLiteral("folder");
    }

    void encoderNotRunnable()
    {
        QFETCH(QString, kind);
        QTemporaryDir tools;
        QTemporaryDir out;
        const QString encoder = tools.filePath(QStringLiteral("cwebp"));
        if (kind == QStringLiteral("plain"))
            EngineFixtures::writeBytes(encoder, "#!/bin/sh\nexit 0\n");
        else if (kind == QStringLiteral("folder"))
            QVERIFY(QDir().mkdir(encoder));
        const ConversionStatus status = convert(input(), job(out.path(), encoder));
        QCOMPARE(status.kind(), ConversionStatus::Kind::error);
        QVERIFY2(status.message().startsWith(QStringLiteral("cwebp failed: ")) &&
                     status.message().size() > QStringLiteral("cwebp failed: ").size(),
                 qPrintable(status.message()));
        QCOMPARE(entries(out.path()), QStringList());
    }

    void temporaryFolder_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        // Qt falls back to /tmp when the folder named by TMPDIR does not exist.
        QTest::newRow("missing") << QStringLiteral("missing") << QString();
        QTest::newRow("read-only")
            << QStringLiteral("read-only") << QStringLiteral("Could not create temp file");
        QTest::newRow("a file") << QStringLiteral("file")
                                << QStringLiteral("Could not create temp file");
        QTest::newRow("full") << QStringLiteral("full")
                              << QStringLiteral("Could not write temp PNG");
        QTest::newRow("another file system") << QStringLiteral("other") << QString();
    }

    void temporaryFolder()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QTemporaryDir out;
        const QString source = input(kind == QStringLiteral("full") ? 512 : 16);
        QString temp = m_dir.filePath(QStringLiteral("temp-") + kind);
        if (kind == QStringLiteral("file"))
            EngineFixtures::writeBytes(temp, "x");
        bool mounted = false;
        if (kind == QStringLiteral("full") || kind == QStringLiteral("other") ||
            kind == QStringLiteral("read-only")) {
            QVERIFY(QDir().mkpath(temp));
            mounted =
                mountTmpfs(temp, kind == QStringLiteral("read-only") ? QStringLiteral("ro,size=64k")
                                                                     : QStringLiteral("size=64k"));
            if (!mounted && kind != QStringLiteral("other"))
                QSKIP("cannot mount a small file system here");
            if (!mounted)
                temp = QStringLiteral("/dev/shm");
        }
        ConversionStatus status;
        QStringList left;
        {
            const TemporaryFolder folder(temp);
            status = convert(source, job(out.path()));
            left = entries(temp);
        }
        if (mounted)
            unmount(temp);
        if (message.isEmpty()) {
            QCOMPARE(status.kind(), ConversionStatus::Kind::done);
        } else {
            QVERIFY2(status == ConversionStatus::error(message), qPrintable(status.statusText()));
            QCOMPARE(entries(out.path()), QStringList());
        }
        QCOMPARE(left.filter(QStringLiteral(".png")), QStringList());
    }

    /// cwebp may exit 0 and leave an empty or cut file when the disk fills up; a read-only
    /// folder is made with a read-only mount, since root writes anywhere.
    void outputFolder_data()
    {
        QTest::addColumn<QString>("mountOptions");
        QTest::addColumn<QString>("message");
        const QString create = QStringLiteral("Could not create output file");
        QTest::newRow("missing") << QString() << create;
        QTest::newRow("read-only") << QStringLiteral("ro,size=64k") << create;
        QTest::newRow("full") << QStringLiteral("size=16k") << QString();
    }

    void outputFolder()
    {
        QFETCH(QString, mountOptions);
        QFETCH(QString, message);
        const QString out =
            m_dir.filePath(QStringLiteral("out-") + QLatin1String(QTest::currentDataTag()));
        if (!mountOptions.isEmpty()) {
            QVERIFY(QDir().mkpath(out));
            if (!mountTmpfs(out, mountOptions))
                QSKIP("cannot mount a small file system here");
        }
        const ConversionStatus status = convert(input(400), job(out));
        const QStringList left = entries(out);
        if (!mountOptions.isEmpty())
            unmount(out);
        QCOMPARE(status.kind(), ConversionStatus::Kind::error);
        if (!message.isEmpty())
            QCOMPARE(status.message(), message);
        QCOMPARE(left, QStringList());
    }

    /// An output folder that already holds our names, as files, folders and links: the next
    /// free name is taken and nothing is written through a link.
    void prefilledOutputFolder()
    {
        QTemporaryDir out;
        QTemporaryDir elsewhere;
        const QString source = input(8);
        const QString victim = elsewhere.filePath(QStringLiteral("precious.txt"));
        EngineFixtures::writeBytes(victim, "keep me");
        const QString missingTarget = elsewhere.filePath(QStringLiteral("created-through-link"));
        EngineFixtures::writeBytes(out.filePath(QStringLiteral("in.webp")), "older output");
        QVERIFY(QDir(out.path()).mkdir(QStringLiteral("in_1.webp")));
        QVERIFY(QFile::link(victim, out.filePath(QStringLiteral("in_2.webp"))));
        QVERIFY(QFile::link(missingTarget, out.filePath(QStringLiteral("in_3.webp"))));
        QVERIFY(QFile::link(elsewhere.path(), out.filePath(QStringLiteral("in_4.webp"))));
        for (const QString &expected : {QStringLiteral("in_5.webp"), QStringLiteral("in_6.webp")}) {
            const ConversionStatus status = convert(source, job(out.path()));
            QCOMPARE(status.outputPath(), out.filePath(expected));
            QVERIFY(!QFileInfo(status.outputPath()).isSymLink());
            QCOMPARE(WebpFile::check(status.outputPath()), WebpFile::State::valid);
        }
        QFile older(out.filePath(QStringLiteral("in.webp")));
        QVERIFY(older.open(QIODevice::ReadOnly));
        QCOMPARE(older.readAll(), QByteArray("older output"));
        QFile kept(victim);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("keep me"));
        QCOMPARE(entries(elsewhere.path()), QStringList{QStringLiteral("precious.txt")});
        QCOMPARE(entries(out.path() + QStringLiteral("/in_1.webp")), QStringList());
    }

    /// The first encode removes the output folder and, for good measure, the inputs not yet
    /// converted: the rest fail one by one and the run ends as usual.
    void folderAndInputsVanishDuringTheRun()
    {
        TemporaryPreferences prefs;
        QTemporaryDir in;
        const QString out = m_dir.filePath(QStringLiteral("vanishing"));
        QVERIFY(QDir().mkpath(out));
        QList<QUrl> files;
        for (int i = 0; i < 6; ++i) {
            const QString path = in.filePath(QStringLiteral("%1.png").arg(i));
            save(noise(16, 16, i), ".png", path);
            files.append(QUrl::fromLocalFile(path));
        }
        const QString encoder =
            script(m_dir.path(), QStringLiteral("vanishing-cwebp"),
                   QStringLiteral("rm -rf '%1' '%2'/*.png; exit 0").arg(out, in.path()));
        ImageConverter converter;
        converter.addPreset(QStringLiteral("Small"), 8, 8);
        converter.setChosenOutputFolder(QUrl::fromLocalFile(out));
        converter.setEncoderLocator([encoder] { return std::optional<QString>(encoder); });
        converter.addFiles(files);
        QTRY_COMPARE(converter.files().size(), files.size());
        QSignalSpy finished(&converter, &ImageConverter::runFinished);
        converter.convertAll();
        QVERIFY(finished.wait(30000));
        QCOMPARE(converter.completedCount(), 6);
        QCOMPARE(converter.errorCount(), 6);
        const QStringList expected{QStringLiteral("Output file not found"),
                                   QStringLiteral("Could not load image"),
                                   QStringLiteral("Could not create output file")};
        for (const auto &item : converter.files())
            QVERIFY2(expected.contains(item.status.message()),
                     qPrintable(item.status.message()));
        QVERIFY(!QFileInfo::exists(out));
    }
};

QTEST_GUILESS_MAIN(TestHostileEnvironment)
#include "tst_hostileenvironment.moc"
