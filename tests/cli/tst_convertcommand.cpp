#include "enginefixtures.h"
#include "preferences.h"
#include "testsupport.h"
#include "vipsruntime.h"
#include "webpfile.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

/// The live processes whose command line names a file that `pid` holds open: the encoders it
/// started, whoever their parent is now.
QStringList encodersOf(qint64 pid)
{
    const QByteArray mark = "/proc/" + QByteArray::number(pid) + "/fd/";
    QStringList found;
    for (const QString &entry : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        QFile cmdline(u"/proc/%1/cmdline"_s.arg(entry));
        if (entry.toLongLong() > 0 && cmdline.open(QIODevice::ReadOnly) &&
            cmdline.readAll().contains(mark))
            found << entry;
    }
    return found;
}

} // namespace

/// `tessel convert` as a user meets it: the real binary and encoder, its own settings and temp
/// folders, and stopped by a signal or killed mid-run, when nothing may be left half-made under
/// a final name.
class TestConvertCommand : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString hideEncoder =
        u"{ [ ! -d /usr/local/bin ] || mount -t tmpfs none /usr/local/bin; } "
        u"&& mount -t tmpfs none /usr/bin && exec \"$0\" \"$@\""_s;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    /// Starts `tessel convert` with `arguments`, IN and OUT standing for those folders.
    void start(QProcess &process, const QString &arguments, const QString &out) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_s, path(u"config"_s));
        env.insert(u"HOME"_s, path(u"home"_s));
        env.insert(u"TMPDIR"_s, path(u"tmp"_s));
        process.setProcessEnvironment(env);
        QStringList all = (u"convert "_s + arguments).split(u' ', Qt::SkipEmptyParts);
        all.replaceInStrings(u"IN"_s, path(u"in"_s)).replaceInStrings(u"OUT"_s, out);
        if (all.removeAll(u"NO-CWEBP"_s) == 0) {
            process.start(QStringLiteral(TESSEL_BINARY), all);
        } else { // in a mount namespace of its own, where the encoder's folders are empty
            process.start(u"unshare"_s, QStringList{u"-m"_s, u"sh"_s, u"-c"_s, hideEncoder,
                                                    QStringLiteral(TESSEL_BINARY)} +
                                            all);
        }
        QVERIFY(process.waitForStarted());
    }

    /// The stored preferences, as the program's own file.
    QByteArray stored() const
    {
        QFile settings(path(u"config/Tessel/Tessel.conf"_s));
        return settings.open(QIODevice::ReadOnly) ? settings.readAll() : QByteArray();
    }

    /// After every run: nothing stored, nothing left in the temp folder.
    void checkLeftovers(const QByteArray &storedBefore) const
    {
        QCOMPARE(stored(), storedBefore);
        QVERIFY(
            QDir(path(u"tmp"_s)).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(VipsRuntime::ensureStarted());
        for (const char *folder : {"config", "home", "tmp", "in/sub", "many", "slow"})
            QVERIFY(QDir().mkpath(path(QLatin1String(folder))));
        const vips::VImage picture = EngineFixtures::flat(40, 30, {0, 128, 128});
        EngineFixtures::save(picture, ".png", path(u"in/good.png"_s));
        EngineFixtures::save(picture, ".jpg", path(u"in/sub/also good.jpg"_s));
        EngineFixtures::writeBytes(path(u"in/broken.png"_s), "not an image");
        EngineFixtures::writeBytes(path(u"in/notes.txt"_s), "not an image either");
        for (int i = 0; i < 16; ++i)
            EngineFixtures::save(EngineFixtures::noise(200, 150, i), ".png",
                                 path(u"many/%1.png"_s.arg(i)));
        // Three quick files and four whose encodes outlast the wait after a kill by far, so
        // that an encoder left running then is seen.
        for (int i = 0; i < 7; ++i)
            EngineFixtures::save(EngineFixtures::noise(i < 3 ? 64 : 1200, i < 3 ? 64 : 1200, i),
                                 ".png[compression=1]", path(u"slow/%1.png"_s.arg(i)));
    }

    /// A run, or a refusal to run: its exit status, what it prints and the outputs it makes.
    void runs_data()
    {
        addRowsFrom("convertcommand-runs.txt",
                    {"arguments", "settings", "storedFolder", "exitCode", "printed", "outputs"});
    }

    void runs()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, settings);
        QFETCH(QString, storedFolder);
        QFETCH(QString, exitCode);
        QFETCH(QString, printed);
        QFETCH(QString, outputs);
        QTemporaryDir out;
        {
            QSettings preferences(path(u"config/Tessel/Tessel.conf"_s), QSettings::IniFormat);
            preferences.clear();
            if (!settings.isEmpty())
                preferences.setValue(QLatin1String(Preferences::settingsKey), settings.toUtf8());
            if (!storedFolder.isEmpty())
                preferences.setValue(QLatin1String(Preferences::outputFolderKey), out.path());
        }
        if (arguments.contains(u"NO-CWEBP"_s) &&
            QProcess::execute(u"unshare"_s, {u"-m"_s, u"sh"_s, u"-c"_s, hideEncoder,
                                             QStringLiteral(TESSEL_BINARY), u"--version"_s}) != 0)
            QSKIP("this process may not make a mount namespace of its own");
        const QByteArray storedBefore = stored();
        QProcess process;
        start(process, arguments, out.path());
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), exitCode.toInt());
        const QString said = QString::fromUtf8(process.readAllStandardOutput());
        const QString err = QString::fromUtf8(process.readAllStandardError());
        for (QString line : printed.split(u';', Qt::SkipEmptyParts)) {
            line = line.trimmed().replace(u"IN"_s, path(u"in"_s)).replace(u"OUT"_s, out.path());
            const bool onError = line.startsWith(u"2>"_s);
            const QStringList lines = (onError ? err : said).split(u'\n');
            QVERIFY2(lines.filter(line.mid(onError ? 2 : 0)).size() == 1,
                     qPrintable(line + u'\n' + lines.join(u'\n')));
        }
        QCOMPARE(err.contains(u"Usage:"_s), printed.contains(u"2>Usage:"_s));
        QVERIFY(!err.contains(QChar(0x1b))); // no progress line where standard error is no terminal
        if (arguments.startsWith(u"--json"_s))
            QVERIFY2(err.endsWith(u"1 done, 1 failed, 0 cancelled\n"_s), qPrintable(err));
        if (outputs.isEmpty() && arguments.contains(u"IN/"_s))
            QCOMPARE(err, u"tessel: no images to convert\n"_s);
        QStringList made;
        for (const QString &name : QDir(out.path()).entryList(QDir::Files, QDir::Name)) {
            const vips::VImage image = EngineFixtures::readBack(out.filePath(name));
            made.append(u"%1 %2x%3@%4"_s.arg(name)
                            .arg(image.width())
                            .arg(image.height())
                            .arg(EngineFixtures::exifPpi(image)));
        }
        QCOMPARE(made.join(u"; "_s), outputs);
        checkLeftovers(storedBefore);
    }

    /// Stopped by a signal once the first file is reported, while encoders run for others, or
    /// killed at any moment: no encoder outlives the program, and what is left is whole (no empty
    /// reservations, no cut files, nothing in the temp folder).
    void interrupted_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("outputsBefore"); // -1: the first report; 0: an encoder running
        QTest::addColumn<int>("exitCode");      // -1: killed
        const QString many = u"-o OUT -s 8 "_s + path(u"many"_s);
        const QString slow = u"-o OUT -p original "_s + path(u"slow"_s);
        QTest::newRow("SIGTERM") << many << int(SIGTERM) << -1 << 128 + SIGTERM;
        QTest::newRow("Ctrl+C") << many << int(SIGINT) << -1 << 130;
        QTest::newRow("killed, first encoder running") << slow << int(SIGKILL) << 0 << -1;
        QTest::newRow("killed after the first output") << slow << int(SIGKILL) << 1 << -1;
        QTest::newRow("killed after three outputs") << slow << int(SIGKILL) << 3 << -1;
    }

    void interrupted()
    {
        QFETCH(QString, arguments);
        QFETCH(int, signal);
        QFETCH(int, outputsBefore);
        QFETCH(int, exitCode);
        QTemporaryDir out;
        const QByteArray storedBefore = stored();
        QProcess process;
        start(process, arguments, out.path());
        const qint64 pid = process.processId();
        const auto outputs = [&] { return QDir(out.path()).entryList({u"*.webp"_s}).size(); };
        if (outputsBefore < 0)
            QTRY_VERIFY_WITH_TIMEOUT(
                process.bytesAvailable() > 0 || process.state() != QProcess::Running, 120000);
        else if (outputsBefore == 0)
            QTRY_VERIFY_WITH_TIMEOUT(!encodersOf(pid).isEmpty(), 120000);
        else
            QTRY_VERIFY_WITH_TIMEOUT(outputs() >= outputsBefore, 120000);
        QVERIFY2(process.state() == QProcess::Running && outputs() < 7, "the run ended first");
        ::kill(pid_t(pid), signal);
        QVERIFY(process.waitForFinished(60000));
        QTRY_COMPARE_WITH_TIMEOUT(encodersOf(pid), QStringList(), 3000);
        if (exitCode >= 0) {
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(process.exitCode(), exitCode);
            const QString report = QString::fromUtf8(process.readAllStandardOutput());
            QVERIFY2(report.contains(u"cancelled: "_s), qPrintable(report));
        }
        for (const QString &name :
             QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            QVERIFY2(name.endsWith(u".webp"_s) && !name.startsWith(u'.'), qPrintable(name));
            QCOMPARE(WebpFile::checkFile(out.filePath(name)), WebpFile::State::valid);
        }
        checkLeftovers(storedBefore);
    }
};

QTEST_GUILESS_MAIN(TestConvertCommand)
#include "tst_convertcommand.moc"
