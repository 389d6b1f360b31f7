#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

void writeNoise(const QString &path, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    auto *random = QRandomGenerator::global();
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<quint32 *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = 0xff000000u | (random->generate() & 0xffffffu);
    }
    picture.save(path, "PNG");
}

} // namespace

/// `tessel convert` as a user meets it: real binary, real encoder, its own settings and temp.
class TestConvertCommand : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        env.insert(QStringLiteral("TMPDIR"), path(QStringLiteral("tmp")));
        return env;
    }

    void start(QProcess &process, const QStringList &arguments) const
    {
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral(TESSEL_BINARY),
                      QStringList{QStringLiteral("convert")} + arguments);
    }

    Result run(const QStringList &arguments) const
    {
        QProcess process;
        start(process, arguments);
        process.waitForFinished(60000);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QStringList tempEntries() const
    {
        return QDir(path(QStringLiteral("tmp")))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const char *folder : {"config", "home", "tmp", "in/sub", "out", "empty"})
            QVERIFY(QDir().mkpath(path(QLatin1String(folder))));
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(path(QStringLiteral("in/good.png"))));
        QVERIFY(picture.save(path(QStringLiteral("in/sub/also good.jpg"))));
        QFile broken(path(QStringLiteral("in/broken.png")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not an image");
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

    void interruptStopsCleanly()
    {
        const QString folder = path(QStringLiteral("many"));
        QVERIFY(QDir().mkpath(folder));
        for (int i = 0; i < 24; ++i)
            writeNoise(folder + QStringLiteral("/%1.png").arg(i), 600, 400);
        QDir().mkpath(path(QStringLiteral("out-many")));

        QFile settings(path(QStringLiteral("config/Tessel/Tessel.conf")));
        const QByteArray before =
            settings.open(QIODevice::ReadOnly) ? settings.readAll() : QByteArray();
        settings.close();

        QProcess process;
        start(process, {QStringLiteral("-o"), path(QStringLiteral("out-many")),
                        QStringLiteral("-s"), QStringLiteral("20"), folder});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            process.bytesAvailable() > 0 || process.state() != QProcess::Running, 60000);
        QVERIFY(process.state() == QProcess::Running);
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 130);
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("cancelled: ")), qPrintable(out));
        QVERIFY(tempEntries().isEmpty());

        QByteArray after;
        if (settings.open(QIODevice::ReadOnly))
            after = settings.readAll();
        QCOMPARE(after, before);
    }

    void version()
    {
        const Result result = run({QStringLiteral("--version")});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.contains(QStringLiteral("1.1.0")));
    }
};

QTEST_GUILESS_MAIN(TestConvertCommand)
#include "tst_convertcommand.moc"
