#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>

#include <csignal>

namespace {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

void writeNoise(const QString &path, int width, int height, quint32 seed)
{
    QImage picture(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<quint32 *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = 0xff000000u | (random.generate() & 0xffffffu);
    }
    QVERIFY(picture.save(path, "PNG"));
}

/// True when `path` holds a whole WebP file: its RIFF length matches its size.
bool isWholeWebp(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(12);
    return header.size() == 12 && header.startsWith("RIFF") && header.mid(8, 4) == "WEBP" &&
           qint64(qFromLittleEndian<quint32>(header.constData() + 4)) + 8 == file.size();
}

} // namespace

/// `tessel convert` as a user meets it: real binary, real encoder, its own settings and temp;
/// also under pressure: signals mid-run, a second process writing into the same folder, and a
/// small address space.
class TestConvertCommand : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    /// Starts `tessel convert` with `arguments`, run through `prefix` when one is given.
    void start(QProcess &process, const QStringList &arguments,
               const QStringList &prefix = {}) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        env.insert(QStringLiteral("TMPDIR"), path(QStringLiteral("tmp")));
        process.setProcessEnvironment(env);
        QStringList all = prefix +
                          QStringList{QStringLiteral(TESSEL_BINARY), QStringLiteral("convert")} +
                          arguments;
        process.start(all.takeFirst(), all);
    }

    Result run(const QStringList &arguments) const
    {
        QProcess process;
        start(process, arguments);
        process.waitForFinished(60000);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QStringList outputs(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QStringList tempEntries() const { return outputs(path(QStringLiteral("tmp"))); }

    QByteArray storedSettings() const
    {
        QFile settings(path(QStringLiteral("config/Tessel/Tessel.conf")));
        return settings.open(QIODevice::ReadOnly) ? settings.readAll() : QByteArray();
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const char *folder : {"config", "home", "tmp", "in/sub", "out", "many", "one", "two"})
            QVERIFY(QDir().mkpath(path(QLatin1String(folder))));
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(path(QStringLiteral("in/good.png"))));
        QVERIFY(picture.save(path(QStringLiteral("in/sub/also good.jpg"))));
        QFile broken(path(QStringLiteral("in/broken.png")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not an image");
        for (int i = 0; i < 16; ++i)
            writeNoise(path(QStringLiteral("many/%1.png").arg(i)), 500, 400, quint32(i));
        for (int i = 0; i < 4; ++i) {
            writeNoise(path(QStringLiteral("one/%1.png").arg(i)), 64, 48, quint32(i));
            writeNoise(path(QStringLiteral("two/%1.png").arg(i)), 64, 48, quint32(i + 10));
        }
    }

    void goodAndBrokenFiles()
    {
        const Result result =
            run({QStringLiteral("-o"), path(QStringLiteral("out")), QStringLiteral("-p"),
                 QStringLiteral("20x10"), path(QStringLiteral("in"))});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.out.contains(QStringLiteral("error: ") +
                                     path(QStringLiteral("in/broken.png")) +
                                     QStringLiteral(": Could not load image")),
                 qPrintable(result.out));
        QVERIFY(result.out.contains(QStringLiteral("done: ") + path(QStringLiteral("in/good.png")) +
                                    QStringLiteral(" -> ") +
                                    path(QStringLiteral("out/good.webp"))));
        QVERIFY(result.out.contains(path(QStringLiteral("out/also good.webp"))));
        QVERIFY(result.out.contains(QStringLiteral("2 done, 1 failed, 0 cancelled")));
        QVERIFY(tempEntries().isEmpty());
    }

    void jsonLinesParse()
    {
        const Result result =
            run({QStringLiteral("--json"), QStringLiteral("--output"), path(QStringLiteral("out")),
                 QStringLiteral("-q"), QStringLiteral("60"), path(QStringLiteral("in/good.png")),
                 path(QStringLiteral("in/broken.png"))});
        QCOMPARE(result.exitCode, 1);
        const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QStringList statuses;
        for (const QString &line : lines) {
            QJsonParseError error;
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8(), &error).object();
            QCOMPARE(error.error, QJsonParseError::NoError);
            statuses.append(object.value(QStringLiteral("status")).toString());
            if (statuses.last() == QStringLiteral("done")) {
                QVERIFY(QFile::exists(object.value(QStringLiteral("output")).toString()));
                QVERIFY(object.value(QStringLiteral("bytes")).toInteger() > 0);
            } else {
                QCOMPARE(object.value(QStringLiteral("message")).toString(),
                         QStringLiteral("Could not load image"));
            }
        }
        statuses.sort();
        QCOMPARE(statuses, (QStringList{QStringLiteral("done"), QStringLiteral("error")}));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--frobnicate"), QStringLiteral("x.png")}
            << QStringLiteral("Unknown option");
        QTest::newRow("no output folder")
            << QStringList{QStringLiteral("x.png")} << QStringLiteral("output folder");
        QTest::newRow("output folder missing")
            << QStringList{QStringLiteral("-o"), QStringLiteral("/nonexistent/out"),
                           QStringLiteral("x.png")}
            << QStringLiteral("does not exist");
        QTest::newRow("quality and size")
            << QStringList{QStringLiteral("-q"), QStringLiteral("5"), QStringLiteral("-s"),
                           QStringLiteral("5"), QStringLiteral("x.png")}
            << QStringLiteral("not both");
        QTest::newRow("bad quality")
            << QStringList{QStringLiteral("-q"), QStringLiteral("abc"), QStringLiteral("x.png")}
            << QStringLiteral("--quality");
        QTest::newRow("bad preset")
            << QStringList{QStringLiteral("-o"), QStringLiteral("/tmp"), QStringLiteral("-p"),
                           QStringLiteral("nope"), QStringLiteral("x.png")}
            << QStringLiteral("No preset named");
        QTest::newRow("no paths") << QStringList{QStringLiteral("-o"), QStringLiteral("/tmp")}
                                  << QStringLiteral("No files");
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Result result = run(arguments);
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.err.section(QLatin1Char('\n'), 0, 0).contains(message),
                 qPrintable(result.err));
        QVERIFY(result.err.contains(QStringLiteral("Usage: tessel convert")));
    }

    void version()
    {
        const Result result = run({QStringLiteral("--version")});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.contains(QStringLiteral("1.1.0")));
    }
    void signalMidRun_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("SIGTERM") << int(SIGTERM) << 128 + SIGTERM;
        QTest::newRow("Ctrl+C") << int(SIGINT) << 130;
    }

    void signalMidRun()
    {
        QFETCH(int, signal);
        QFETCH(int, exitCode);
        QTemporaryDir out;
        const QByteArray settingsBefore = storedSettings();
        QProcess process;
        start(process, {QStringLiteral("-o"), out.path(), QStringLiteral("-s"),
                        QStringLiteral("20"), path(QStringLiteral("many"))});
        QVERIFY(process.waitForStarted());
        // Once the first file is reported, encoders are running for others.
        QTRY_VERIFY_WITH_TIMEOUT(
            process.bytesAvailable() > 0 || process.state() != QProcess::Running, 60000);
        QVERIFY(process.state() == QProcess::Running);
        ::kill(static_cast<pid_t>(process.processId()), signal);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        const QString report = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(report.contains(QStringLiteral("cancelled: ")), qPrintable(report));
        QCOMPARE(tempEntries(), QStringList());
        QCOMPARE(storedSettings(), settingsBefore);
        // What is left is whole: no empty reservations, no cut files.
        for (const QString &name : outputs(out.path()))
            QVERIFY2(isWholeWebp(out.filePath(name)), qPrintable(name));
    }

    void twoProcessesIntoOneFolder()
    {
        QTemporaryDir out;
        QProcess first;
        QProcess second;
        const QStringList common{QStringLiteral("-o"), out.path(), QStringLiteral("-q"),
                                 QStringLiteral("50")};
        start(first, common + QStringList{path(QStringLiteral("one"))});
        start(second, common + QStringList{path(QStringLiteral("two"))});
        QVERIFY(first.waitForFinished(60000));
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
        const QStringList written = outputs(out.path());
        QCOMPARE(written.size(), 8);
        // Eight distinct files from eight distinct inputs: none overwrote another.
        QSet<QByteArray> contents;
        for (const QString &name : written) {
            QVERIFY2(isWholeWebp(out.filePath(name)), qPrintable(name));
            QFile file(out.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            contents.insert(file.readAll());
        }
        QCOMPARE(contents.size(), 8);
    }

    /// With the address space limited, a large image fails with an error (or converts); the
    /// program never crashes and reports every file.
    void smallAddressSpace()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("prlimit")).isEmpty())
            QSKIP("prlimit is not installed");
        const QString folder = path(QStringLiteral("large"));
        QVERIFY(QDir().mkpath(folder));
        writeNoise(folder + QStringLiteral("/small.png"), 64, 64, 1);
        // 16000 × 12000 RGB: about 550 MB decoded, more than half again to stretch.
        QImage large(16000, 12000, QImage::Format_RGB888);
        large.fill(Qt::darkCyan);
        QVERIFY(large.save(folder + QStringLiteral("/large.png"), "PNG"));
        large = QImage();
        QTemporaryDir out;
        QProcess process;
        start(process,
              {QStringLiteral("-o"), out.path(), QStringLiteral("-p"), QStringLiteral("original"),
               folder},
              {QStringLiteral("prlimit"), QStringLiteral("--as=1610612736")});
        QVERIFY(process.waitForFinished(120000));
        const QString report = QString::fromUtf8(process.readAllStandardOutput());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == 0 || process.exitCode() == 1,
                 qPrintable(QString::number(process.exitCode()) + QLatin1Char(' ') + report +
                            QString::fromUtf8(process.readAllStandardError())));
        QVERIFY2(report.contains(QStringLiteral("done: ") + folder + QStringLiteral("/small.png")),
                 qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("large.png")), qPrintable(report));
        QCOMPARE(tempEntries(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestConvertCommand)
#include "tst_convertcommand.moc"
