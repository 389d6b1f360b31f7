#include "enginefixtures.h"
#include "fileconverter.h"
#include "fileintake.h"
#include "outputreservation.h"
#include "resizemode.h"
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
#include <fcntl.h>
#include <filesystem>
#include <fstream>
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

/// `text` with each "c{N}" spelled out as N times the character c.
QString spelledOut(QString text)
{
    static const QRegularExpression repeat(u"(.)\\{(\\d+)\\}"_s);
    for (QRegularExpressionMatch m; (m = repeat.match(text)).hasMatch();)
        text.replace(m.capturedStart(), m.capturedLength(),
                     m.captured(1).repeated(m.captured(2).toInt()));
    return text;
}

/// The names in a field of output-names.txt, as bytes.
QByteArrayList nameBytes(const QString &field)
{
    QByteArrayList list;
    for (const QString &name : spelledOut(field).split(u' '))
        list.append(QByteArray::fromPercentEncoding(name.toUtf8()));
    return list;
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
    for (const auto &entry : std::filesystem::directory_iterator(folder.constData()))
        names.append(QByteArray::fromStdString(entry.path().filename().native()));
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

/// The image a row of conversions.txt describes; "alpha stripes" is grey with an alpha plane of
/// noise in stripes: the colour data is tiny, the alpha plane large.
VImage described(const QString &text)
{
    const QStringList words = text.split(u' ');
    const int side = words[2].toInt();
    const VImage stripes = (VImage::xyz(side, side)[0] & 8) * 31;
    return words[0] == u"noise" ? noise(words[1].toInt(), side)
           : words[0] == u"flat"
               ? flat(words[1].toInt(), side, EngineFixtures::numbers(words.mid(3).join(u' ')))
               : flat(side, side, {128, 128, 128})
                     .bandjoin((noise(side, side)[0] & stripes).cast(VIPS_FORMAT_UCHAR));
}

/// Red, green and blue upright bars, a quarter, a half and a quarter of the width.
VImage bars(int width, int height)
{
    const VImage x = VImage::xyz(width, height)[0];
    return (x < width / 4)
        .ifthenelse(
            flat(width, height, {255, 0, 0}),
            (x < width - width / 4)
                .ifthenelse(flat(width, height, {0, 255, 0}), flat(width, height, {0, 0, 255})))
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

/// "red", "green" or "blue" for a pixel close to that primary, else its values.
QString colourName(const std::vector<double> &pixel)
{
    const QList<std::pair<QString, std::vector<double>>> primaries{
        {u"red"_s, {255, 0, 0}}, {u"green"_s, {0, 255, 0}}, {u"blue"_s, {0, 0, 255}}};
    for (const auto &[name, values] : primaries) {
        if (std::equal(values.begin(), values.end(), pixel.begin(),
                       [](double a, double b) { return std::abs(a - b) < 48; }))
            return name;
    }
    QStringList values;
    for (double value : pixel)
        values << QString::number(value);
    return values.join(u',');
}

} // namespace

/// One file end to end with the real encoder, from names that trip up careless code, and in each
/// resize mode, read back by its pixels; the failures
/// only a stand-in encoder can produce, and output and temporary folders that are missing or
/// cannot hold unnamed files; the encoder's arguments and where it is found.
class TestFileConverter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

    void cleanup() { QCOMPARE(EngineFixtures::leftovers(), QStringList()); }

    void conversions_data()
    {
        addRowsFrom("conversions.txt", {"image", "preset", "ppi", "limitKB", "firstRunExtra",
                                        "interrupt", "alpha", "expected"});
    }

    void conversions()
    {
        const auto [image, preset, ppi, limitKB, firstRunExtra, interrupt, alphaQualities,
                    expected] = fields("image", "preset", "ppi", "limitKB", "firstRunExtra",
                                       "interrupt", "alpha", "expected");
        QTemporaryDir tools;
        QTemporaryDir dir;
        const QByteArray input = QFile::encodeName(tools.filePath(u"a.png"_s));
        save(described(image), ".png", tools.filePath(u"a.png"_s));
        // The encoder ignores the PNG's resolution, so the stand-in keeps a copy to read it from.
        // Each encode waits for the go-ahead, which a Stop follows and a quit never gets.
        ConversionJob values =
            job(dir.path(), loggingEncoder(tools.path(), firstRunExtra,
                                           u"cp \"$1\" seen.png; touch started\n"
                                           u"while [ ! -e go ]; do sleep 0.05; done"_s));
        values.preserveOriginal = preset.isEmpty();
        values.width = preset.section(u'x', 0, 0).toLongLong();
        values.height = preset.section(u'x', 1, 1).toLongLong();
        values.ppi = ppi.toLongLong();
        values.sizeLimitEnabled = !limitKB.isEmpty();
        values.sizeLimitBytes = limitKB.toLongLong() * 1024;
        RunFlags flags;
        if (interrupt.isEmpty())
            EngineFixtures::writeBytes(tools.filePath(u"go"_s), {});
        ConversionStatus status;
        std::thread worker([&] { status = FileConverter::convert(input, values, flags); });
        if (!interrupt.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(tools.filePath(u"started"_s)), 60000);
            (interrupt == u"quit" ? flags.aborted : flags.cancelled) = true;
            if (interrupt == u"stop")
                EngineFixtures::writeBytes(tools.filePath(u"go"_s), {});
        }
        worker.join();
        const QStringList log = runs(tools.path());
        if (!interrupt.isEmpty()) {
            // A file that the Stop or the quit reaches before it starts is not converted at all.
            QCOMPARE(FileConverter::convert(input, values, flags), ConversionStatus::cancelled());
            QCOMPARE(runs(tools.path()), log);
        }
        if (values.sizeLimitEnabled) {
            QStringList alpha;
            for (const QString &run : log) {
                const QString quality = run.section(u" -alpha_q "_s, 1, 1);
                alpha << (quality.isEmpty() ? u"-"_s : quality);
            }
            QCOMPARE(alpha.join(u' '), alphaQualities);
            QVERIFY(log.first().contains(u" -size %1 "_s.arg(values.sizeLimitBytes)));
            QVERIFY(status.kind() != ConversionStatus::Kind::done ||
                    status.fileSize() <= values.sizeLimitBytes);
        }
        const bool written = !expected.isEmpty() && expected != u"cancelled";
        QCOMPARE(entries(dir.path()), written ? QStringList{u"a.webp"_s} : QStringList());
        if (expected == u"cancelled")
            QCOMPARE(status, ConversionStatus::cancelled());
        const QRegularExpression overLimit(
            u"^Over the %1 KB limit \\(smallest: [0-9]+\\.[0-9] KB\\)$"_s.arg(limitKB));
        if (expected.isEmpty())
            QVERIFY2(overLimit.match(status.message()).hasMatch(), qPrintable(status.message()));
        if (!written)
            return;
        QCOMPARE(status.outputPath(), dir.filePath(u"a.webp"_s));
        QCOMPARE(status.fileSize(), QFileInfo(status.outputPath()).size());
        const VImage out = EngineFixtures::readBack(status.outputPath());
        const VImage seen = EngineFixtures::readBack(tools.filePath(u"seen.png"_s));
        QCOMPARE(u"%1, %2, %3"_s.arg(EngineFixtures::shape(out))
                     .arg(qRound64(seen.xres() * 25.4))
                     .arg(EngineFixtures::exifPpi(out)),
                 expected);
    }

    void resizes_data() { addRowsFrom("resize-modes.txt", {"image", "box", "size", "colours"}); }

    void resizes()
    {
        const auto [image, box, size, colours] = fields("image", "box", "size", "colours");
        QTemporaryDir dir;
        const QStringList words = image.split(u' ');
        const int width = words[1].toInt();
        const int height = words[2].toInt();
        VImage picture = words[0] == u"bars" ? bars(width, height) : flat(width, height, {9, 9, 9});
        const bool turned = words.contains(u"turned"_s);
        if (turned) {
            picture = picture.copy();
            picture.set(VIPS_META_ORIENTATION, 6);
        }
        save(picture, turned ? ".jpg" : ".png", dir.filePath(u"in"_s));
        QVERIFY(QDir(dir.path()).mkdir(u"out"_s));
        ConversionJob values = job(dir.filePath(u"out"_s));
        const QStringList how = box.split(u' ');
        values.preserveOriginal = false;
        values.width = how[0].section(u'x', 0, 0).toLongLong();
        values.height = how[0].section(u'x', 1, 1).toLongLong();
        values.resizeMode = *ResizeModes::fromRawValue(how.value(1, u"stretch"_s));
        values.shrinkOnly = how.contains(u"shrink-only"_s);
        const ConversionStatus status = EngineFixtures::convert(dir.filePath(u"in"_s), values);
        QVERIFY2(status.kind() == ConversionStatus::Kind::done, qPrintable(status.message()));
        const VImage out = EngineFixtures::readBack(status.outputPath());
        QCOMPARE(u"%1x%2"_s.arg(out.width()).arg(out.height()), size);
        if (colours.isEmpty())
            return;
        QStringList seen;
        for (const int x : {0, out.width() / 2, out.width() - 1})
            seen << colourName(out.getpoint(x, out.height() / 2));
        QCOMPARE(seen.join(u' '), colours);
    }

    void encoderFailures_data()
    {
        addRowsFrom("encoder-failures.txt", {"body", "message", "detail"});
    }

    void encoderFailures()
    {
        auto [body, message, detail] = fields("body", "message", "detail");
        QTemporaryDir tools;
        QTemporaryDir dir;
        save(noise(64, 64), ".png", tools.filePath(u"a.png"_s));
        body = spelledOut(body)
                   .replace(u"CWEBP"_s, EngineFixtures::realEncoder)
                   .replace(u"OUT"_s, dir.path());
        const QString encoder = body.isEmpty() ? tools.filePath(u"missing"_s)
                                               : script(tools.path(), u"enc"_s,
                                                        u"cd '%1'\n"_s.arg(tools.path()) + body);
        const ConversionStatus status =
            EngineFixtures::convert(tools.filePath(u"a.png"_s), job(dir.path(), encoder));
        QCOMPARE(status.message(), spelledOut(message.endsWith(u':') ? message + u' ' : message));
        QCOMPARE(status.detail(), spelledOut(detail));
        QCOMPARE(entries(dir.path()), QStringList());
    }

    void names_data() { addRowsFrom("output-names.txt", {"inputs", "outputs"}); }

    void names()
    {
        const QByteArrayList inputs = nameBytes(fields("inputs")[0]);
        const QByteArrayList outputs = nameBytes(fields("outputs")[0]);
        QTemporaryDir in;
        QTemporaryDir out;
        const QByteArray folder = QFile::encodeName(in.path());
        // Each input a different width, so that an output shows which file it came from.
        for (int i = 0; i < inputs.size(); ++i)
            std::ofstream((folder + '/' + inputs[i]).constData())
                << EngineFixtures::encode(noise(8 + i, 8), ".png").toStdString();
        const QList<QByteArray> found = FileIntake::expand({QUrl::fromLocalFile(in.path())}, {});
        QSet<int> widths;
        for (const QByteArray &path : found) {
            const ConversionStatus status =
                FileConverter::convert(path, EngineFixtures::job(out.path()), RunFlags());
            QVERIFY2(status.kind() == ConversionStatus::Kind::done, qPrintable(status.message()));
            widths.insert(EngineFixtures::readBack(status.outputPath()).width());
        }
        std::filesystem::remove_all(folder.constData()); // QTemporaryDir cannot spell the names

        QCOMPARE(found.size(), inputs.size());
        QCOMPARE(rawEntries(QFile::encodeName(out.path())), outputs);
        QCOMPARE(widths.size(), inputs.size());
    }
    void arguments_data()
    {
        addRowsFrom("encoder-arguments.txt",
                    {"sizeLimit", "alpha", "alphaQuality", "effort", "expected"});
    }

    void arguments()
    {
        const auto [sizeLimit, alpha, alphaQuality, effort, expected] =
            fields("sizeLimit", "alpha", "alphaQuality", "effort", "expected");
        const QString in = u"/tmp/in put.png"_s;
        const QString out = u"/out dir/a.webp"_s;
        QStringList arguments = expected.split(u' ');
        std::replace(arguments.begin(), arguments.end(), u"IN"_s, in);
        std::replace(arguments.begin(), arguments.end(), u"OUT"_s, out);
        const QStringList made =
            effort.isEmpty() ? WebpEncoder::arguments(in, out, sizeLimit == u"yes", 300 * 1024, 85,
                                                      alpha == u"yes", alphaQuality.toInt())
                             : WebpEncoder::arguments(in, out, sizeLimit == u"yes", 300 * 1024, 85,
                                                      alpha == u"yes", alphaQuality.toInt(),
                                                      *EncoderEfforts::fromRawValue(effort));
        QCOMPARE(made, arguments);
    }

    void locate_data()
    {
        addRowsFrom("encoder-places.txt", {"named", "present", "onSearchPath", "found"});
    }

    void locate()
    {
        const auto [named, present, onSearchPath, found] =
            fields("named", "present", "onSearchPath", "found");
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
        auto [leftAge, leftLocked, outcome, expected] =
            fields("leftAge", "leftLocked", "outcome", "expected");
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
        const auto [outputFolder, tempFolder, message, detail] =
            fields("outputFolder", "tempFolder", "message", "detail");
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
