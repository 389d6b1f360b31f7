#include "enginefixtures.h"
#include "exifresolution.h"
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

/// `tessel convert` as a user meets it: the real binary and encoder, its own settings and temp
/// folders, and stopped by a signal mid-run.
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
        QCOMPARE(
            QDir(path(u"tmp"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(VipsRuntime::ensureStarted());
        for (const char *folder : {"config", "home", "tmp", "in/sub", "many"})
            QVERIFY(QDir().mkpath(path(QLatin1String(folder))));
        const vips::VImage picture = EngineFixtures::flat(40, 30, {0, 128, 128});
        EngineFixtures::save(picture, ".png", path(u"in/good.png"_s));
        EngineFixtures::save(picture, ".jpg", path(u"in/sub/also good.jpg"_s));
        EngineFixtures::writeBytes(path(u"in/broken.png"_s), "not an image");
        EngineFixtures::writeBytes(path(u"in/notes.txt"_s), "not an image either");
        for (int i = 0; i < 16; ++i)
            EngineFixtures::save(EngineFixtures::noise(200, 150, i), ".png",
                                 path(u"many/%1.png"_s.arg(i)));
    }

    /// A run: its exit status, what it prints and the outputs it makes.
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
        const QByteArray storedBefore = stored();
        QProcess process;
        start(process, arguments, out.path());
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), exitCode.toInt());
        const QStringList said = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
        for (QString line : printed.split(u';', Qt::SkipEmptyParts)) {
            line = line.trimmed().replace(u"IN"_s, path(u"in"_s)).replace(u"OUT"_s, out.path());
            QVERIFY2(said.filter(line).size() == 1, qPrintable(line + u'\n' + said.join(u'\n')));
        }
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY(!err.contains(QChar(0x1b))); // no progress line where standard error is no terminal
        if (arguments.startsWith(u"--json"_s))
            QVERIFY2(err.endsWith(u"1 done, 1 failed, 0 cancelled\n"_s), qPrintable(err));
        if (outputs.isEmpty() && arguments.contains(u"IN/"_s))
            QCOMPARE(err, u"tessel: no images to convert\n"_s);
        QStringList made;
        for (const QString &name : QDir(out.path()).entryList(QDir::Files, QDir::Name)) {
            const vips::VImage image = EngineFixtures::readBack(out.filePath(name));
            QFile file(out.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            quint32 ppi = 0;
            for (const quint32 each : {72, 150, 200, 300})
                ppi = bytes.contains(ExifResolution::block(each)) ? each : ppi;
            made.append(u"%1 %2x%3@%4"_s.arg(name).arg(image.width()).arg(image.height()).arg(ppi));
        }
        QCOMPARE(made.join(u"; "_s), outputs);
        checkLeftovers(storedBefore);
    }

    void usageErrors_data() { addRowsFrom("convertcommand-usage.txt", {"arguments", "message"}); }

    void usageErrors()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, message);
        QFile::remove(path(u"config/Tessel/Tessel.conf"_s));
        if (arguments.contains(u"NO-CWEBP"_s) &&
            QProcess::execute(u"unshare"_s, {u"-m"_s, u"sh"_s, u"-c"_s, hideEncoder,
                                             QStringLiteral(TESSEL_BINARY), u"--version"_s}) != 0)
            QSKIP("this process may not make a mount namespace of its own");
        QProcess process;
        start(process, arguments, {});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 2);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(err.section(u'\n', 0, 0), message);
        QCOMPARE(err.contains(u"\nUsage: tessel convert"_s), !arguments.contains(u"NO-CWEBP"_s));
    }

    /// Stopped once the first file is reported, while encoders run for others: what is left
    /// is whole (no empty reservations, no cut files).
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
        const QByteArray storedBefore = stored();
        QProcess process;
        start(process, u"-o OUT -s 8 "_s + path(u"many"_s), out.path());
        QTRY_VERIFY_WITH_TIMEOUT(
            process.bytesAvailable() > 0 || process.state() != QProcess::Running, 60000);
        QVERIFY(process.state() == QProcess::Running);
        ::kill(static_cast<pid_t>(process.processId()), signal);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        const QString report = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(report.contains(u"cancelled: "_s), qPrintable(report));
        for (const QString &name : QDir(out.path()).entryList(QDir::Files))
            QCOMPARE(WebpFile::checkFile(out.filePath(name)), WebpFile::State::valid);
        checkLeftovers(storedBefore);
    }
};

QTEST_GUILESS_MAIN(TestConvertCommand)
#include "tst_convertcommand.moc"
