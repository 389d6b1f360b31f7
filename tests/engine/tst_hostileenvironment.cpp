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

using EngineFixtures::entries;
using EngineFixtures::noise;
using EngineFixtures::save;
using EngineFixtures::script;

namespace {

/// Mounts a small tmpfs on `folder`; false where this process may not mount.
bool mountSmallTmpfs(const QString &folder, const QString &options)
{
    return QProcess::execute(QStringLiteral("mount"),
                             {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                              options, QStringLiteral("tmpfs"), folder}) == 0;
}

void unmount(const QString &folder)
{
    QProcess::execute(QStringLiteral("umount"), {folder});
}

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

    [[nodiscard]] static ConversionJob job(const QString &output,
                                           const QString &encoder = EngineFixtures::realEncoder)
    {
        ConversionJob values;
        values.encoderPath = encoder;
        values.preserveOriginal = true;
        values.sizeLimitEnabled = false;
        values.outputFolder = output;
        return values;
    }

    [[nodiscard]] static ConversionStatus convert(const QString &input, const ConversionJob &values)
    {
        const RunFlags flags;
        return FileConverter::convert(QUrl::fromLocalFile(input), values, flags);
    }

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
        QTest::newRow("exit 1, stderr not UTF-8")
            << QStringLiteral("printf 'bad \\377\\376 bytes' >&2; exit 1")
            << QStringLiteral("cwebp [1]: Unknown");
        QTest::newRow("floods 64 MiB on stdout and stderr, then fails")
            << QStringLiteral("head -c 67108864 /dev/zero | tr '\\0' x; "
                              "head -c 67108864 /dev/zero | tr '\\0' y >&2; exit 3")
            << QStringLiteral("cwebp [3]: ") + QString(4096, QLatin1Char('y'));
        QTest::newRow("floods, then succeeds")
            << QStringLiteral("head -c 67108864 /dev/zero >&2; exec %1 -quiet \"$@\"").arg(real)
            << QString();
        QTest::newRow("exit 0, no output")
            << QStringLiteral("exit 0") << QStringLiteral("Output file not found");
        QTest::newRow("exit 0, garbage") << QStringLiteral("head -c 5000 /dev/urandom > \"$3\"")
                                         << QStringLiteral("cwebp wrote an invalid file");
        QTest::newRow("exit 0, empty file")
            << QStringLiteral(": > \"$3\"") << QStringLiteral("Output file not found");
        QTest::newRow("crashes") << QStringLiteral("kill -SEGV $$")
                                 << QStringLiteral("cwebp [11]: ");
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
        QVERIFY2(status.message().startsWith(QStringLiteral("cwebp failed: ")),
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
            mounted = mountSmallTmpfs(temp, kind == QStringLiteral("read-only")
                                                ? QStringLiteral("ro,size=64k")
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

    /// cwebp may exit 0 and leave an empty or cut file when the disk fills up.
    void outputFolderFull()
    {
        const QString out = m_dir.filePath(QStringLiteral("full-out"));
        QVERIFY(QDir().mkpath(out));
        if (!mountSmallTmpfs(out, QStringLiteral("size=16k")))
            QSKIP("cannot mount a small file system here");
        const QString source = input(400);
        const ConversionStatus status = convert(source, job(out));
        const QStringList left = entries(out);
        unmount(out);
        QCOMPARE(status.kind(), ConversionStatus::Kind::error);
        QCOMPARE(left, QStringList());
    }

    void outputFolderMissing()
    {
        const ConversionStatus status =
            convert(input(), job(m_dir.filePath(QStringLiteral("no-such-folder"))));
        QCOMPARE(status, ConversionStatus::error(QStringLiteral("Could not create output file")));
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
            QVERIFY2(expected.contains(item->status().message()),
                     qPrintable(item->status().message()));
        QVERIFY(!QFileInfo::exists(out));
    }
};

QTEST_GUILESS_MAIN(TestHostileEnvironment)
#include "tst_hostileenvironment.moc"
