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
#include <QThread>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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

/// The files under `folder` as "name WIDTHxHEIGHT@PPI", sorted, names below a subfolder with
/// its name and a slash, each byte of a name that is not plain text as %XX. Read by their bytes:
/// Qt cannot spell a name that is not UTF-8.
QStringList madeIn(const QByteArray &folder)
{
    QStringList made;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(folder.constData())) {
        if (entry.is_directory())
            continue;
        const vips::VImage image = vips::VImage::new_from_file(entry.path().c_str()).copy_memory();
        const QByteArray name =
            QByteArray::fromStdString(entry.path().lexically_relative(folder.constData()).native());
        made.append(u"%1 %2x%3@%4"_s.arg(QString::fromLatin1(name.toPercentEncoding(" /")))
                        .arg(image.width())
                        .arg(image.height())
                        .arg(EngineFixtures::exifPpi(image)));
    }
    made.sort();
    return made;
}

} // namespace

/// `tessel convert` as a user meets it: the real binary and encoder, its own settings and temp
/// folders, and stopped by a signal or killed mid-run, when nothing may be left half-made under
/// a final name.
class TestConvertCommand : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    /// The modification time of the inputs in "tree": 2001-02-03 04:05:06.123456789 UTC.
    static constexpr timespec inputDate{981173106, 123456789};
    const QString hideEncoder =
        u"{ [ ! -d /usr/local/bin ] || mount -t tmpfs none /usr/local/bin; } "
        u"&& mount -t tmpfs none /usr/bin && exec \"$0\" \"$@\""_s;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    /// Starts `tessel convert` with `arguments`, IN and OUT standing for those folders and %XX
    /// for a byte, with `encoder` named by TESSEL_CWEBP when it is given.
    void start(QProcess &process, const QString &arguments, const QString &out,
               const QString &encoder = {}) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_s, path(u"config"_s));
        env.insert(u"HOME"_s, path(u"home"_s));
        env.insert(u"TMPDIR"_s, path(u"tmp"_s));
        env.remove(u"TESSEL_CWEBP"_s);
        env.remove(u"TESSEL_IMG2WEBP"_s);
        if (!encoder.isEmpty())
            env.insert(u"TESSEL_CWEBP"_s, encoder);
        process.setProcessEnvironment(env);
        QStringList all = (u"convert "_s + arguments).split(u' ', Qt::SkipEmptyParts);
        all.replaceInStrings(u"IN"_s, path(u"in"_s)).replaceInStrings(u"OUT"_s, out);
        // NO-CWEBP: in a mount namespace of its own, where the encoder's folders are empty.
        QStringList command{QStringLiteral(TESSEL_BINARY)};
        if (all.removeAll(u"NO-CWEBP"_s) != 0)
            command = QStringList{u"unshare"_s, u"-m"_s, u"sh"_s, u"-c"_s, hideEncoder} + command;
        // QProcess passes arguments as text; only a script spells bytes that are not UTF-8. The
        // script gives its process to the program.
        QByteArray line = "exec";
        for (const QString &argument : command + all)
            line += " '" +
                    QByteArray::fromPercentEncoding(argument.toUtf8()).replace("'", "'\\''") + '\'';
        EngineFixtures::writeBytes(path(u"launch.sh"_s), line + '\n');
        process.start(u"sh"_s, {path(u"launch.sh"_s)});
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

    /// Each of the `;`-separated parts of `printed` is in exactly one line of `said` (standard
    /// output), or of `err` when it starts with 2>; IN and OUT stand for those folders.
    /// Each ";"-separated part of `printed` is said once: on standard output, on standard error
    /// ("2>…"), or as the end of an encoder's arguments in `encoderLog` ("cwebp>…").
    void checkPrinted(const QString &said, const QString &err, const QString &printed,
                      const QString &out, const QString &encoderLog = {}) const
    {
        for (QString line : printed.split(u';', Qt::SkipEmptyParts)) {
            line = line.trimmed().replace(u"IN"_s, path(u"in"_s)).replace(u"OUT"_s, out);
            const bool onError = line.startsWith(u"2>"_s);
            const bool onEncoder = line.startsWith(u"cwebp>"_s);
            QFile log(encoderLog);
            const QString logged =
                log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
            const QStringList lines = (onError ? err : onEncoder ? logged : said).split(u'\n');
            const QString part = line.mid(onError ? 2 : onEncoder ? 6 : 0);
            // The encoder's arguments are matched at their end, so that none can follow.
            const qsizetype matching =
                onEncoder ? std::count_if(lines.cbegin(), lines.cend(),
                                          [&](const QString &l) { return l.endsWith(part); })
                          : lines.filter(part).size();
            QVERIFY2(matching == 1, qPrintable(line + u'\n' + lines.join(u'\n')));
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(VipsRuntime::ensureStarted());
        for (const char *folder : {"config", "home", "tmp", "in/sub", "in/empty", "many"})
            QVERIFY(QDir().mkpath(path(QLatin1String(folder))));
        const vips::VImage picture = EngineFixtures::flat(40, 30, {0, 128, 128});
        EngineFixtures::save(picture, ".png", path(u"in/good.png"_s));
        EngineFixtures::save(picture, ".png", path(u"in/.png"_s)); // hidden, no extension
        EngineFixtures::save(picture, ".jpg", path(u"in/sub/also good.jpg"_s));
        EngineFixtures::writeBytes(path(u"in/broken.png"_s), "not an image");
        EngineFixtures::writeBytes(path(u"in/notes.txt"_s), "not an image either");
        // An animation of three frames, beside the folders the other rows walk.
        QVERIFY(QDir().mkpath(path(u"anim"_s)));
        vips::VImage strip = vips::VImage::arrayjoin({EngineFixtures::flat(40, 30, {0, 128, 128}),
                                                      EngineFixtures::flat(40, 30, {128, 0, 0}),
                                                      EngineFixtures::flat(40, 30, {0, 0, 128})},
                                                     vips::VImage::option()->set("across", 1));
        strip.set("page-height", 30);
        strip.set("delay", std::vector<int>{50, 60, 70});
        EngineFixtures::save(strip, ".gif", path(u"anim/moving.gif"_s));
        // Two names that are not UTF-8 and read alike: a run that took one for the other would
        // see a repeat and make one output.
        QVERIFY(QDir().mkpath(path(u"odd"_s)));
        const QByteArray odd = QFile::encodeName(path(u"odd"_s));
        for (const char *name : {"x\xfe.png", "x\xff.png"}) {
            EngineFixtures::save(picture, ".png", path(u"odd/staging.png"_s));
            QCOMPARE(::rename(odd + "/staging.png", odd + '/' + name), 0);
        }
        // Folders to keep: a loose file, two photo.jpg in two folders and one in a folder whose
        // name is not UTF-8, each a size of its own, all dated inputDate.
        const QString tree = path(u"tree"_s);
        QVERIFY(QDir().mkpath(tree + u"/trip/day/inner"_s) && QDir().mkpath(tree + u"/more"_s));
        EngineFixtures::save(EngineFixtures::flat(10, 10, {9, 9, 9}), ".png",
                             tree + u"/loose.png"_s);
        EngineFixtures::save(EngineFixtures::flat(40, 30, {1, 2, 3}), ".jpg",
                             tree + u"/trip/photo.jpg"_s);
        EngineFixtures::save(EngineFixtures::flat(20, 10, {4, 5, 6}), ".jpg",
                             tree + u"/trip/day/photo.jpg"_s);
        EngineFixtures::save(EngineFixtures::flat(12, 12, {7, 8, 9}), ".png",
                             tree + u"/trip/day/inner/b.png"_s);
        EngineFixtures::save(EngineFixtures::flat(30, 20, {3, 2, 1}), ".jpg",
                             tree + u"/more/photo.jpg"_s);
        for (const char *file : {"loose.png", "trip/photo.jpg", "trip/day/photo.jpg",
                                 "trip/day/inner/b.png", "more/photo.jpg"}) {
            const timespec dates[2] = {inputDate, inputDate};
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(tree + u'/' + QLatin1String(file)),
                                 dates, 0),
                     0);
        }
        const QByteArray trip = QFile::encodeName(tree) + "/trip/day";
        QCOMPARE(::rename(trip.constData(), (trip + "\xff").constData()), 0);
        // A photo with details and a location, beside the input folder.
        EngineFixtures::save(picture, ".jpg", path(u"photo.jpg"_s));
        QCOMPARE(
            QProcess::execute(u"exiftool"_s, {u"-q"_s, u"-overwrite_original"_s, u"-Make=Tessa"_s,
                                              u"-XMP-dc:Subject=alpha"_s, u"-GPSLatitude=48.5"_s,
                                              u"-GPSLatitudeRef=N"_s, path(u"photo.jpg"_s)}),
            0);
        // More files than a run encodes at once, so that some are waiting when a run is stopped.
        for (int i = 0; i < std::max(16, QThread::idealThreadCount() + 4); ++i)
            EngineFixtures::save(EngineFixtures::noise(64, 48, i), ".png",
                                 path(u"many/%1.png"_s.arg(i)));
    }

    /// QTemporaryDir cannot spell a name that is not UTF-8.
    void cleanupTestCase()
    {
        for (const char *folder : {"tree", "odd"})
            std::filesystem::remove_all(QFile::encodeName(path(QLatin1String(folder))).constData());
    }

    /// A run, or a refusal to run: its exit status, what it prints and the outputs it makes.
    void runs_data()
    {
        addRowsFrom("convertcommand-runs.txt",
                    {"arguments", "settings", "storedFolder", "exitCode", "printed", "outputs"});
    }

    void runs()
    {
        const auto [arguments, settings, storedFolder, exitCode, printed, outputs] =
            fields("arguments", "settings", "storedFolder", "exitCode", "printed", "outputs");
        QTemporaryDir out;
        // A folder whose name is not UTF-8, for the rows that write there.
        const QByteArray notText = QFile::encodeName(out.path()) + "/out\xff";
        QCOMPARE(::mkdir(notText.constData(), 0755), 0);
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
        // LOG-CWEBP: the real encoder behind a stand-in that logs each run's arguments.
        QString given = arguments;
        QString encoder;
        const QString encoderLog = path(u"encoder-runs"_s);
        QFile::remove(encoderLog);
        if (given.contains(u"LOG-CWEBP "_s)) {
            given.remove(u"LOG-CWEBP "_s);
            QVERIFY(QDir().mkpath(path(u"logger"_s)));
            encoder = script(path(u"logger"_s), u"cwebp"_s,
                             u"echo \"$*\" >> '%1'\nexec %2 \"$@\""_s.arg(
                                 encoderLog, EngineFixtures::realEncoder));
        }
        const QByteArray storedBefore = stored();
        QProcess process;
        start(process, given, out.path(), encoder);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), exitCode.toInt());
        const QString said = QString::fromUtf8(process.readAllStandardOutput());
        const QString err = QString::fromUtf8(process.readAllStandardError());
        checkPrinted(said, err, printed, out.path(), encoderLog);
        QCOMPARE(err.contains(u"Usage:"_s), printed.contains(u"2>Usage:"_s));
        QVERIFY(!err.contains(QChar(0x1b))); // no progress line where standard error is no terminal
        if (arguments.startsWith(u"--json"_s))
            QVERIFY2(err.endsWith(u"1 done, 1 failed, 0 cancelled\n"_s), qPrintable(err));
        if (outputs.isEmpty() && exitCode == u"0" && arguments.contains(u"IN/"_s))
            QCOMPARE(err, u"tessel: no images to convert\n"_s);
        const QStringList made = madeIn(QFile::encodeName(out.path()));
        std::filesystem::remove_all(notText.constData()); // by its bytes
        QCOMPARE(made.join(u"; "_s), outputs);
        checkLeftovers(storedBefore);
    }

    /// Where outputs land, with some entries already in OUT: folders kept or not, a taken name
    /// numbered or skipped, a link or a file in the way of a folder, dates kept or not.
    void outputPlaces_data()
    {
        addRowsFrom("convertcommand-outputs.txt",
                    {"present", "arguments", "runs", "exitCode", "printed", "tree", "dated"});
    }

    void outputPlaces()
    {
        const auto [present, arguments, runs, exitCode, printed, tree, dated] =
            fields("present", "arguments", "runs", "exitCode", "printed", "tree", "dated");
        QSettings(path(u"config/Tessel/Tessel.conf"_s), QSettings::IniFormat).clear();
        QTemporaryDir out;
        const QByteArray root = QFile::encodeName(out.path());
        for (const QString &entry : present.split(u' ', Qt::SkipEmptyParts)) {
            const QByteArray made = root + '/' + QByteArray::fromPercentEncoding(entry.toUtf8());
            const qsizetype arrow = made.indexOf("->");
            if (arrow >= 0)
                QCOMPARE(::symlink(made.mid(arrow + 2).constData(), made.left(arrow).constData()),
                         0);
            else if (made.endsWith('/'))
                QCOMPARE(::mkdir(made.constData(), 0755), 0);
            else
                QCOMPARE(::close(::open(made.constData(), O_CREAT | O_WRONLY, 0644)), 0);
        }
        const QByteArray storedBefore = stored();
        QProcess process;
        for (int run = 0; run < runs.toInt(); ++run) {
            start(process, arguments, out.path());
            QVERIFY(process.waitForFinished(60000));
        }
        QCOMPARE(process.exitCode(), exitCode.toInt());
        checkPrinted(QString::fromUtf8(process.readAllStandardOutput()),
                     QString::fromUtf8(process.readAllStandardError()), printed, out.path());

        // Everything in OUT but folders: "name WxH" for an image, the name alone for an empty
        // file, "name->target" for a link; outputs dated as the row says.
        QStringList found;
        for (const auto &entry : std::filesystem::recursive_directory_iterator(root.constData())) {
            const QByteArray bytes = QByteArray::fromStdString(
                entry.path().lexically_relative(root.constData()).native());
            QString name = QString::fromLatin1(bytes.toPercentEncoding(" /"));
            struct stat info
            {};
            QCOMPARE(::lstat(entry.path().c_str(), &info), 0);
            if (S_ISLNK(info.st_mode)) {
                found.append(name + u"->"_s +
                             QString::fromStdString(std::filesystem::read_symlink(entry.path())));
                continue;
            }
            if (S_ISDIR(info.st_mode) || info.st_size == 0) {
                if (!S_ISDIR(info.st_mode))
                    found.append(name);
                continue;
            }
            const vips::VImage image = vips::VImage::new_from_file(entry.path().c_str());
            found.append(name + u" %1x%2"_s.arg(image.width()).arg(image.height()));
            const bool isInputDate = info.st_mtim.tv_sec == inputDate.tv_sec &&
                                     info.st_mtim.tv_nsec == inputDate.tv_nsec;
            QVERIFY2(isInputDate == (dated == u"yes"), qPrintable(name));
        }
        found.sort();
        std::filesystem::remove_all(root.constData()); // by its bytes
        QCOMPARE(found.join(u"; "_s), tree);
        checkLeftovers(storedBefore);
    }

    /// Stopped by a signal once the first file is reported, while an encoder runs for another,
    /// or killed while an encoder runs: no encoder outlives the program, and what is left is
    /// whole (no empty reservations, no cut files, nothing in the temp folder). The encoder is a
    /// stand-in that takes the next number, marks its start with it and waits for the go-ahead
    /// for that number (or for all) before it encodes, so that each state holds until the row
    /// has seen it.
    void interrupted_data()
    {
        addRowsFrom("convertcommand-interruptions.txt", {"signal", "goAhead", "exitCode"});
    }

    void interrupted()
    {
        const auto [signalName, goAheadText, exitCodeText] =
            fields("signal", "goAhead", "exitCode");
        const int signal = signalName == u"TERM"  ? SIGTERM
                           : signalName == u"INT" ? SIGINT
                                                  : SIGKILL;
        const int goAhead = goAheadText.toInt();
        const int exitCode = exitCodeText.toInt();
        QTemporaryDir out;
        QTemporaryDir gate;
        const QDir gates(gate.path());
        const QString encoder =
            script(gate.path(), u"cwebp"_s,
                   u"n=0\n"
                   u"while ! mkdir '%1/started-'$n 2>/dev/null; do n=$((n+1)); done\n"
                   u"while [ ! -e '%1/go-'$n ] && [ ! -e '%1/go' ]; do sleep 0.02; done\n"
                   u"exec %2 \"$@\""_s.arg(gate.path(), EngineFixtures::realEncoder));
        for (int n = 0; n < goAhead; ++n)
            EngineFixtures::writeBytes(gates.filePath(u"go-%1"_s.arg(n)), {});
        const QByteArray storedBefore = stored();
        QProcess process;
        start(process, u"-o OUT -p original -q 50 "_s + path(u"many"_s), out.path(), encoder);
        const qint64 pid = process.processId();
        QByteArray report;
        const auto reported = [&](const QByteArray &text) {
            report += process.readAllStandardOutput();
            return report.contains(text);
        };
        // The files let through are written, and reported when a signal follows; the next
        // encoder has started and waits.
        QTRY_VERIFY_WITH_TIMEOUT(process.state() != QProcess::Running ||
                                     (gates.exists(u"started-%1"_s.arg(goAhead)) &&
                                      QDir(out.path()).entryList({u"*.webp"_s}).size() == goAhead &&
                                      (exitCode < 0 || reported("done: "))),
                                 120000);
        QVERIFY2(process.state() == QProcess::Running, process.readAllStandardError().constData());
        ::kill(pid_t(pid), signal);
        if (exitCode >= 0) {
            // Files not started are cancelled at once; the running encoders are let finish.
            QTRY_VERIFY_WITH_TIMEOUT(reported("cancelled: "), 60000);
            EngineFixtures::writeBytes(gates.filePath(u"go"_s), {});
        }
        QVERIFY(process.waitForFinished(60000));
        QTRY_COMPARE_WITH_TIMEOUT(encodersOf(pid), QStringList(), 3000);
        if (exitCode >= 0) {
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(process.exitCode(), exitCode);
            QVERIFY2(reported("done: "), report.constData());
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
