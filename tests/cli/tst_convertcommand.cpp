#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
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
/// and stopped by a signal mid-run.
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
        for (const char *folder : {"config", "home", "tmp", "in/sub", "out", "many"})
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
        const auto row = [](const char *name, const QString &arguments, const char *message) {
            QTest::newRow(name) << arguments.split(QLatin1Char(' ')) << QString::fromUtf8(message);
        };
        row("output folder missing", QStringLiteral("-o /nonexistent/out x.png"), "does not exist");
        row("quality and size", QStringLiteral("-q 5 -s 5 x.png"), "not both");
        row("quality not a number", QStringLiteral("-q abc x.png"), "--quality wants a whole");
        row("no preset of that name", QStringLiteral("-o / -p nope x.png"), "No preset named");
        row("no paths", QStringLiteral("-o /"), "No files");
        // Each rule at its edges: the value in range gets as far as the missing output folder.
        const char *quality = "Quality must be from 1 to 100.";
        row("quality 0", QStringLiteral("-q 0 x.png"), quality);
        row("quality 100", QStringLiteral("-q 100 x.png"), "output folder");
        row("quality 101", QStringLiteral("-q 101 x.png"), quality);
        const char *size = "The size limit must be from 1 to 2097151 KB.";
        row("size 0 KB", QStringLiteral("-s 0 x.png"), size);
        row("size 2097151 KB", QStringLiteral("-s 2097151 x.png"), "output folder");
        row("size 2097152 KB", QStringLiteral("-s 2097152 x.png"), size);
        row("ppi 0", QStringLiteral("--ppi 0 x.png"), "PPI must be 1 or more.");
        row("preset 0 wide", QStringLiteral("-p 0x10 x.png"), "Width must be from 1 to 16383");
        row("preset 16383 high", QStringLiteral("-p 1x16383 x.png"), "output folder");
        row("preset 16384 high", QStringLiteral("-p 10x16384 x.png"),
            "Height must be from 1 to 16383");
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
};

QTEST_GUILESS_MAIN(TestConvertCommand)
#include "tst_convertcommand.moc"
