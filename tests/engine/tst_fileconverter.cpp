#include "enginefixtures.h"
#include "fileconverter.h"
#include "fileintake.h"
#include "outputreservation.h"
#include "testsupport.h"
#include "vipsruntime.h"
#include "webpencoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <utime.h>

using namespace Qt::StringLiterals;
using EngineFixtures::entries;
using EngineFixtures::flat;
using EngineFixtures::job;
using EngineFixtures::noise;
using EngineFixtures::save;
using vips::VImage;

namespace {

/// A stand-in that logs each run's arguments as a line of `folder`/runs, runs `before`, then
/// the real encoder with `extraOnFirstRun` added to the first run only.
QString loggingEncoder(const QString &folder, const QString &extraOnFirstRun = {},
                       const QString &before = {})
{
    return script(folder, u"logging-cwebp"_s, uR"sh(cd '%1'; echo "$*" >> runs; %4
if [ "$(wc -l < runs)" -eq 1 ]; then exec %2 "$@" %3; fi
exec %2 "$@")sh"_s.arg(folder, EngineFixtures::realEncoder, extraOnFirstRun, before));
}

QStringList runs(const QString &folder)
{
    QFile file(folder + u"/runs"_s);
    return file.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
               : QStringList();
}

/// The raw names in `folder`, sorted bytewise.
QByteArrayList rawEntries(const QByteArray &folder)
{
    QByteArrayList names;
    if (DIR *dir = ::opendir(folder.constData())) {
        while (const dirent *entry = ::readdir(dir)) {
            if (entry->d_name[0] != '.')
                names.append(entry->d_name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

/// Runs `work` on a thread of its own on which every flock fails with ENOLCK, as on a network
/// mount whose lock service does not answer. False when the kernel refused the filter.
bool withoutFileLocks(const std::function<void()> &work)
{
    bool filtered = false;
    std::thread thread([&] {
        sock_filter rules[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_flock, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOLCK),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        const sock_fprog program{std::size(rules), rules};
        filtered = ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
                   ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
        if (filtered)
            work();
    });
    thread.join();
    return filtered;
}

/// A grey image whose alpha plane is noise in stripes: the colour data is tiny, the alpha plane
/// large.
VImage alphaStripes(int side)
{
    const VImage stripes = (VImage::xyz(side, side)[0] & 8) * 31;
    return flat(side, side, {128, 128, 128})
        .bandjoin((noise(side, side)[0] & stripes).cast(VIPS_FORMAT_UCHAR));
}

} // namespace

/// One file end to end with the real encoder, from names that trip up careless code; the failures
/// only a stand-in encoder can produce, and output and temporary folders that are missing or
/// cannot hold unnamed files; the encoder's arguments and where it is found.
class TestFileConverter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

    void cleanup() { QCOMPARE(EngineFixtures::leftovers(), QStringList()); }

    void outputs_data()
    {
        QTest::addColumn<VImage>("image");
        QTest::addColumn<QSize>("preset"); // empty: the image's own size
        QTest::addColumn<qint64>("ppi");
        QTest::addColumn<QString>("expected"); // "W×H bands, the temporary PNG's PPI, EXIF's"
        QTest::newRow("stretched")
            << noise(400, 300) << QSize(192, 108) << qint64(300) << u"192x108 3, 300, 300"_s;
        QTest::newRow("original, no resolution")
            << noise(37, 21) << QSize() << qint64(0) << u"37x21 3, 72, none"_s;
        QTest::newRow("alpha kept, resolution past the PNG's field")
            << flat(16, 16, {9, 9, 9, 128}) << QSize() << qint64(5'000'000)
            << u"16x16 4, 1000000, 5000000"_s;
    }

    void outputs()
    {
        QFETCH(VImage, image);
        QFETCH(QSize, preset);
        QFETCH(qint64, ppi);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        save(image, ".png", dir.filePath(u"a.png"_s));
        // The encoder ignores the PNG's resolution, so the stand-in keeps a copy to read it from.
        ConversionJob values =
            job(dir.path(), loggingEncoder(dir.path(), {}, u"cp \"$1\" seen.png"_s));
        values.preserveOriginal = preset.isEmpty();
        values.width = preset.width();
        values.height = preset.height();
        values.ppi = ppi;
        const ConversionStatus status = EngineFixtures::convert(dir.filePath(u"a.png"_s), values);
        QCOMPARE(status.outputPath(), dir.filePath(u"a.webp"_s));
        QCOMPARE(status.fileSize(), QFileInfo(status.outputPath()).size());
        const VImage out = EngineFixtures::readBack(status.outputPath());
        const VImage seen = EngineFixtures::readBack(dir.filePath(u"seen.png"_s));
        QCOMPARE(u"%1, %2, %3"_s.arg(EngineFixtures::shape(out))
                     .arg(qRound64(seen.xres() * 25.4))
                     .arg(EngineFixtures::exifPpi(out)),
                 expected);
    }

    void encoderFailures_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("detail");
        QTest::newRow("exit 1 after a partial write")
            << u"head -c 100 /dev/zero > \"$3\"; echo bad >&2; exit 1"_s << u"cwebp [1]: bad"_s
            << u"bad"_s;
        QTest::newRow("exit 0, no output")
            << u"exit 0"_s << u"Output file not found"_s << QString();
        QTest::newRow("exit 0, garbage") << u"head -c 5000 /dev/urandom > \"$3\""_s
                                         << u"cwebp wrote an invalid file"_s << QString();
        QTest::newRow("exit 0, cut WebP")
            << u"%1 \"$@\" && head -c 60 \"$3\" > cut && cat cut > \"$3\""_s.arg(
                   EngineFixtures::realEncoder)
            << u"cwebp wrote an invalid file"_s << QString();
        QTest::newRow("exit 2, nothing on stderr") << u"exit 2"_s << u"cwebp [2]: "_s << u""_s;
        QTest::newRow("stderr trimmed") << u"printf '\\n  bad input \\n' >&2; exit 3"_s
                                        << u"cwebp [3]: bad input"_s << u"bad input"_s;
        QTest::newRow("stderr not UTF-8")
            << u"printf 'a\\377b' >&2; exit 1"_s << u"cwebp [1]: Unknown"_s << u"Unknown"_s;
        const QString xs(4095, QLatin1Char('x'));
        QTest::newRow("flood cut at 4 KiB, before a split character")
            << u"head -c 4095 /dev/zero | tr '\\0' x >&2; printf '\\303\\251' >&2;"
               u"head -c 8000000 /dev/zero >&2; exit 1"_s
            << u"cwebp [1]: "_s + xs << xs;
        const QString x4094(4094, QLatin1Char('x'));
        QTest::newRow("flood cut inside a three-byte character")
            << u"head -c 4094 /dev/zero | tr '\\0' x >&2; printf '\\342\\202\\254' >&2; exit 1"_s
            << u"cwebp [1]: "_s + x4094 << x4094;
        const QString x4096(4096, QLatin1Char('x'));
        QTest::newRow("flood of plain text kept to the byte")
            << u"head -c 9000 /dev/zero | tr '\\0' x >&2; exit 1"_s << u"cwebp [1]: "_s + x4096
            << x4096;
        QTest::newRow("output folder gone before the output is named")
            << u"%1 \"$@\" && rmdir '@out@'"_s.arg(EngineFixtures::realEncoder)
            << u"Could not create output file"_s << u"No such file or directory"_s;
        QTest::newRow("crash") << u"kill -SEGV $$"_s << u"cwebp [11]: "_s << u""_s;
        QTest::newRow("not launched")
            << u""_s << u"cwebp failed: execvp: No such file or directory"_s
            << u"execvp: No such file or directory"_s;
    }

    void encoderFailures()
    {
        QFETCH(QString, body);
        QFETCH(QString, message);
        QFETCH(QString, detail);
        QTemporaryDir tools;
        QTemporaryDir dir;
        save(noise(64, 64), ".png", tools.filePath(u"a.png"_s));
        const QString encoder =
            body.isEmpty()
                ? tools.filePath(u"missing"_s)
                : script(tools.path(), u"enc"_s,
                         u"cd '%1'\n"_s.arg(tools.path()) + body.replace(u"@out@"_s, dir.path()));
        const ConversionStatus status =
            EngineFixtures::convert(tools.filePath(u"a.png"_s), job(dir.path(), encoder));
        QCOMPARE(status.message(), message);
        QCOMPARE(status.detail(), detail);
        QCOMPARE(entries(dir.path()), QStringList());
    }

    void sizeLimit_data()
    {
        QTest::addColumn<VImage>("image");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QString>("firstRunExtra");
        QTest::addColumn<QStringList>("alphaQualities"); // one per encode, "" when opaque
        QTest::addColumn<bool>("fits");
        QTest::newRow("met at once")
            << noise(64, 64) << qint64(300 * 1024) << QString() << QStringList{QString()} << true;
        QTest::newRow("first encode overshoots")
            << noise(320, 240) << qint64(20 * 1024) << u"-size 100000000"_s
            << QStringList{QString(), QString()} << true;
        QTest::newRow("alpha plane keeps it over")
            << alphaStripes(256) << qint64(12 * 1024) << QString()
            << QStringList{u"85"_s, u"50"_s, u"0"_s} << true;
        QTest::newRow("unreachable") << noise(256, 256) << qint64(1024) << QString()
                                     << QStringList{QString(), QString(), QString()} << false;
    }

    void sizeLimit()
    {
        QFETCH(VImage, image);
        QFETCH(qint64, limit);
        QFETCH(QString, firstRunExtra);
        QFETCH(QStringList, alphaQualities);
        QFETCH(bool, fits);
        QTemporaryDir tools;
        QTemporaryDir dir;
        save(image, ".png", tools.filePath(u"a.png"_s));
        ConversionJob values = job(dir.path(), loggingEncoder(tools.path(), firstRunExtra));
        values.sizeLimitEnabled = true;
        values.sizeLimitBytes = limit;
        const ConversionStatus status = EngineFixtures::convert(tools.filePath(u"a.png"_s), values);
        const QStringList log = runs(tools.path());
        QStringList alpha;
        for (const QString &run : log)
            alpha << run.section(u" -alpha_q "_s, 1, 1);
        QCOMPARE(alpha, alphaQualities);
        QVERIFY(log.first().contains(u" -size %1 "_s.arg(limit)));
        if (fits) {
            QCOMPARE(status.kind(), ConversionStatus::Kind::done);
            QVERIFY(status.fileSize() <= limit);
            QCOMPARE(entries(dir.path()), QStringList{u"a.webp"_s});
        } else {
            const QRegularExpression message(
                u"^Over the %1 KB limit \\(smallest: [0-9]+\\.[0-9] KB\\)$"_s.arg(limit / 1024));
            QVERIFY2(message.match(status.message()).hasMatch(), qPrintable(status.message()));
            QCOMPARE(entries(dir.path()), QStringList());
        }
    }

    void stopAndQuit_data()
    {
        QTest::addColumn<bool>("quit");
        QTest::newRow("Stop: the file finishes, retries included") << false;
        QTest::newRow("quit: the encoder is killed") << true;
    }

    void stopAndQuit()
    {
        QFETCH(bool, quit);
        QTemporaryDir tools;
        QTemporaryDir dir;
        save(noise(320, 240), ".png", tools.filePath(u"a.png"_s));
        // The first encode waits for the test's Stop or quit, then overshoots the limit.
        const QString encoder =
            loggingEncoder(tools.path(), u"-size 100000000"_s,
                           u"touch started; while [ ! -e go ]; do sleep 0.05; done"_s);
        ConversionJob values = job(dir.path(), encoder);
        values.sizeLimitEnabled = true;
        values.sizeLimitBytes = 20 * 1024;
        RunFlags flags;
        ConversionStatus status;
        std::thread worker([&] {
            status = FileConverter::convert(QFile::encodeName(tools.filePath(u"a.png"_s)), values,
                                            flags);
        });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(tools.filePath(u"started"_s)), 60000);
        (quit ? flags.aborted : flags.cancelled) = true;
        if (!quit)
            EngineFixtures::writeBytes(tools.filePath(u"go"_s), {});
        worker.join();
        // A file that the Stop or the quit reaches before it starts is not converted at all.
        const qsizetype encodes = runs(tools.path()).size();
        QCOMPARE(
            FileConverter::convert(QFile::encodeName(tools.filePath(u"a.png"_s)), values, flags),
            ConversionStatus::cancelled());
        QCOMPARE(runs(tools.path()).size(), encodes);
        if (quit) {
            QCOMPARE(status, ConversionStatus::cancelled());
            QCOMPARE(runs(tools.path()).size(), 1);
            QCOMPARE(entries(dir.path()), QStringList());
            return;
        }
        // The overshoot is encoded again; the file ends done or over the limit, never cancelled.
        QVERIFY(runs(tools.path()).size() > 1);
        if (status.kind() == ConversionStatus::Kind::done) {
            QVERIFY(status.fileSize() <= values.sizeLimitBytes);
            QCOMPARE(entries(dir.path()), QStringList{u"a.webp"_s});
        } else {
            QVERIFY2(status.message().startsWith(u"Over the 20 KB limit"_s),
                     qPrintable(status.message()));
            QCOMPARE(entries(dir.path()), QStringList());
        }
    }
    void names_data()
    {
        QTest::addColumn<QByteArrayList>("inputs");
        QTest::addColumn<QByteArrayList>("outputs");
        QTest::newRow("leading dash, not an encoder option")
            << QByteArrayList{"-o.png"} << QByteArrayList{"-o.webp"};
        QTest::newRow("newline") << QByteArrayList{"new\nline.png"}
                                 << QByteArrayList{"new\nline.webp"};
        QTest::newRow("two names that are not UTF-8 and decode alike")
            << QByteArrayList{"x\xfe.png", "x\xff.png"}
            << QByteArrayList{"x\xef\xbf\xbd.webp", "x\xef\xbf\xbd_1.webp"};
        QTest::newRow("251 ASCII bytes, cut to 255")
            << QByteArrayList{QByteArray(251, 'a') + ".png"}
            << QByteArrayList{QByteArray(250, 'a') + ".webp"};
        QByteArray emoji("abc");
        for (int i = 0; i < 62; ++i)
            emoji += "\xF0\x9F\x93\xB7";
        QTest::newRow("251 bytes ending in emoji, cut on a whole character")
            << QByteArrayList{emoji + ".png"} << QByteArrayList{emoji.chopped(4) + ".webp"};
    }

    void names()
    {
        QFETCH(QByteArrayList, inputs);
        QFETCH(QByteArrayList, outputs);
        QTemporaryDir in;
        QTemporaryDir out;
        const QByteArray folder = QFile::encodeName(in.path());
        // Each input a different width, so that an output shows which file it came from.
        for (int i = 0; i < inputs.size(); ++i) {
            EngineFixtures::save(EngineFixtures::noise(8 + i, 8), ".png",
                                 in.filePath(QStringLiteral("staging.png")));
            QCOMPARE(::rename((folder + "/staging.png").constData(),
                              (folder + '/' + inputs[i]).constData()),
                     0);
        }
        const QList<QByteArray> found = FileIntake::expand({QUrl::fromLocalFile(in.path())}, {});
        QSet<int> widths;
        for (const QByteArray &path : found) {
            const ConversionStatus status =
                FileConverter::convert(path, EngineFixtures::job(out.path()), RunFlags());
            QVERIFY2(status.kind() == ConversionStatus::Kind::done, qPrintable(status.message()));
            widths.insert(EngineFixtures::readBack(status.outputPath()).width());
        }
        for (const QByteArray &name : inputs) // QTemporaryDir cannot remove them itself
            ::unlink((folder + '/' + name).constData());

        QCOMPARE(found.size(), inputs.size());
        QCOMPARE(rawEntries(QFile::encodeName(out.path())), outputs);
        QCOMPARE(widths.size(), inputs.size());
    }
    void arguments_data()
    {
        addRowsFrom("encoder-arguments.txt", {"sizeLimit", "alpha", "alphaQuality", "expected"});
    }

    void arguments()
    {
        QFETCH(QString, sizeLimit);
        QFETCH(QString, alpha);
        QFETCH(QString, alphaQuality);
        QFETCH(QString, expected);
        const QString in = u"/tmp/in put.png"_s;
        const QString out = u"/out dir/a.webp"_s;
        QStringList arguments = expected.split(u' ');
        std::replace(arguments.begin(), arguments.end(), u"IN"_s, in);
        std::replace(arguments.begin(), arguments.end(), u"OUT"_s, out);
        QCOMPARE(WebpEncoder::arguments(in, out, sizeLimit == u"yes", 300 * 1024, 85,
                                        alpha == u"yes", alphaQuality.toInt()),
                 arguments);
    }

    void locate_data()
    {
        addRowsFrom("encoder-places.txt", {"named", "present", "onSearchPath", "found"});
    }

    void locate()
    {
        QFETCH(QString, named);
        QFETCH(QString, present);
        QFETCH(QString, onSearchPath);
        QFETCH(QString, found);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(u"path"_s);
        for (const QString &name : present.split(u' ', Qt::SkipEmptyParts)) {
            if (name.endsWith(u'/')) {
                QDir(dir.path()).mkdir(name);
                continue;
            }
            const QString path = script(dir.path(), name.chopped(name.endsWith(u'-') ? 1 : 0), {});
            if (name.endsWith(u'-'))
                QFile::setPermissions(path, QFile::ReadOwner);
        }
        if (!onSearchPath.isEmpty()) {
            const QString path = script(dir.filePath(u"path"_s), u"cwebp"_s, {});
            if (onSearchPath.endsWith(u'-'))
                QFile::setPermissions(path, QFile::ReadOwner);
        }
        const auto located = WebpEncoder::locateIn(
            named.isEmpty() ? QString() : dir.filePath(named),
            {dir.filePath(u"a"_s), dir.filePath(u"b"_s), dir.filePath(u"c"_s)},
            {dir.filePath(u"path"_s)});
        QCOMPARE(located.value_or(QString()), found.isEmpty() ? QString() : dir.filePath(found));
    }

    void partFile_data()
    {
        addRowsFrom("reservation-parts.txt", {"leftAge", "leftLocked", "outcome", "expected"});
    }

    void partFile()
    {
        QFETCH(QString, leftAge);
        QFETCH(QString, leftLocked);
        QFETCH(QString, outcome);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QByteArray left = QFile::encodeName(dir.filePath(u".tessel-00000000000000aa.part"_s));
        const int leftFd =
            leftAge.isEmpty() ? -1 : ::open(left.constData(), O_CREAT | O_RDWR, 0666);
        if (leftFd >= 0) {
            const utimbuf times{::time(nullptr) - leftAge.toInt(),
                                ::time(nullptr) - leftAge.toInt()};
            QCOMPARE(::utime(left.constData(), &times), 0);
            if (leftLocked == u"yes")
                QCOMPARE(::flock(leftFd, LOCK_EX), 0);
        }
        if (outcome == u"refused") {
            QString error = u"not run"_s;
            QVERIFY(withoutFileLocks([&] {
                const OutputReservation output(QFile::encodeName(dir.path()), u"a.png"_s,
                                               OutputReservation::Kind::partFile);
                error = output.isValid() ? QString() : output.error();
            }));
            QCOMPARE(error, QString::fromLocal8Bit(std::strerror(ENOLCK)));
        } else {
            OutputReservation output(QFile::encodeName(dir.path()), u"a.png"_s,
                                     OutputReservation::Kind::partFile);
            QVERIFY(QFile(output.writePath()).open(QIODevice::WriteOnly));
            if (outcome == u"published") {
                QVERIFY(output.publish());
                QCOMPARE(output.path(), dir.filePath(u"a.webp"_s));
            }
        }
        if (leftFd >= 0)
            ::close(leftFd);
        QCOMPARE(entries(dir.path()).join(u' '),
                 expected.replace(u"LEFT"_s, u".tessel-00000000000000aa.part"_s));
        // A folder that takes no files, like a write-protected stick: refused, not retried.
        QVERIFY(!OutputReservation("/proc", {}, OutputReservation::Kind::partFile).isValid());
    }

    void folders_data()
    {
        addRowsFrom("missing-folders.txt", {"outputFolder", "tempFolder", "message", "detail"});
    }

    void folders()
    {
        QFETCH(QString, outputFolder);
        QFETCH(QString, tempFolder);
        QFETCH(QString, message);
        QFETCH(QString, detail);
        QTemporaryDir dir;
        const QString input = dir.filePath(u"a.png"_s);
        EngineFixtures::save(EngineFixtures::noise(8, 8), ".png", input);
        const QByteArray previous = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(dir.filePath(tempFolder)));
        const ConversionStatus status =
            EngineFixtures::convert(input, EngineFixtures::job(dir.filePath(outputFolder)));
        qputenv("TMPDIR", previous);
        QCOMPARE(status.message(), message);
        QCOMPARE(status.detail(), detail);
        QCOMPARE(entries(dir.path()), QStringList{u"a.png"_s});
    }
};

QTEST_GUILESS_MAIN(TestFileConverter)
#include "tst_fileconverter.moc"
