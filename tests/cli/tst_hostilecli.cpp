#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>

#include <csignal>

namespace {

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

/// `tessel convert` under pressure: signals mid-run, a second process writing into the same
/// folder, and a small address space.
class TestHostileCli : public QObject
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

    QStringList outputs(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QStringList tempEntries() const { return outputs(path(QStringLiteral("tmp"))); }

private Q_SLOTS:
    void initTestCase()
    {
        for (const char *folder : {"config", "home", "tmp", "many", "one", "two"})
            QVERIFY(QDir().mkpath(path(QLatin1String(folder))));
        for (int i = 0; i < 16; ++i)
            writeNoise(path(QStringLiteral("many/%1.png").arg(i)), 500, 400, quint32(i));
        for (int i = 0; i < 4; ++i) {
            writeNoise(path(QStringLiteral("one/%1.png").arg(i)), 64, 48, quint32(i));
            writeNoise(path(QStringLiteral("two/%1.png").arg(i)), 64, 48, quint32(i + 10));
        }
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
        QCOMPARE(tempEntries(), QStringList());
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

QTEST_GUILESS_MAIN(TestHostileCli)
#include "tst_hostilecli.moc"
