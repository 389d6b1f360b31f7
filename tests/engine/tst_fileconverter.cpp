#include "animationencoder.h"
#include "enginefixtures.h"
#include "fileconverter.h"
#include "fileintake.h"
#include "forgedimages.h"
#include "outputreservation.h"
#include "resizemode.h"
#include "testsupport.h"
#include "vipsruntime.h"
#include "webpencoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
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
#include <webp/demux.h>

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

/// The animation a row of animations.txt describes, encoded as its format: "gif flat 40 30
/// delays 50 120 loop 0" is two frames of 40 × 30, red then green.
QByteArray describedAnimation(const QString &text)
{
    const QStringList words = text.split(u' ');
    const int width = words[2].toInt();
    const int height = words[3].toInt();
    const qsizetype loopAt = words.indexOf(u"loop"_s);
    std::vector<int> delays;
    for (const QString &delay : words.mid(5, loopAt - 5))
        delays.push_back(delay.toInt());
    const std::vector<std::vector<double>> colours{
        {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    std::vector<VImage> frames;
    for (size_t i = 0; i < delays.size(); ++i)
        frames.push_back(words[1] == u"noise" ? noise(width, height, int(i) + 1)
                                              : flat(width, height, colours[i % colours.size()]));
    VImage strip = VImage::arrayjoin(frames, VImage::option()->set("across", 1)).copy();
    strip.set("page-height", height);
    strip.set("delay", delays);
    strip.set("loop", words[loopAt + 1].toInt());
    return EngineFixtures::encode(strip, words[0] == u"gif" ? ".gif" : ".webp[lossless]");
}

/// What libwebp's animation decoder reads in the WebP file at `path`: "N frames WxH, delays
/// ms, loop L", or "still WxH" for a file without animation; and the colour at the centre of
/// each frame.
QString describedOutput(const QString &path, std::vector<std::vector<int>> &centres)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return u"unreadable"_s;
    const QByteArray bytes = file.readAll();
    const WebPData data{reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder *decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder)
        return u"not a WebP"_s;
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder, &info);
    const bool animated = (WebPDemuxGetI(WebPAnimDecoderGetDemuxer(decoder), WEBP_FF_FORMAT_FLAGS) &
                           ANIMATION_FLAG) != 0;
    QStringList delays;
    int previous = 0;
    uint8_t *pixels = nullptr;
    int timestamp = 0;
    while (WebPAnimDecoderGetNext(decoder, &pixels, &timestamp)) {
        delays << QString::number(timestamp - previous);
        previous = timestamp;
        const uint8_t *centre =
            pixels +
            (size_t(info.canvas_height / 2) * info.canvas_width + info.canvas_width / 2) * 4;
        centres.push_back({centre[0], centre[1], centre[2]});
    }
    WebPAnimDecoderDelete(decoder);
    const QString size = u"%1x%2"_s.arg(info.canvas_width).arg(info.canvas_height);
    if (!animated)
        return u"still "_s + size;
    return u"%1 frames %2, %3 ms, loop %4"_s.arg(info.frame_count)
        .arg(size, delays.join(u' '))
        .arg(info.loop_count);
}

/// Runs exiftool with `arguments`; its standard output, or a failed check.
QByteArray exiftool(const QStringList &arguments)
{
    QProcess process;
    process.start(u"exiftool"_s, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        qWarning() << "exiftool" << arguments << process.readAllStandardError();
    return process.readAllStandardOutput();
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

    /// Animated inputs become animated WebP files, read back by libwebp's own decoder.
    void animations_data()
    {
        addRowsFrom("animations.txt",
                    {"source", "preset", "firstFrame", "limit", "event", "expected", "colour"});
    }

    void animations()
    {
        const auto [source, preset, firstFrame, limit, event, expected, colour] =
            fields("source", "preset", "firstFrame", "limit", "event", "expected", "colour");
        QTemporaryDir tools;
        QTemporaryDir dir;
        const QString input = tools.filePath(u"a."_s + source.section(u' ', 0, 0));
        EngineFixtures::writeBytes(input, describedAnimation(source));
        ConversionJob values = job(dir.path());
        // Each encode waits for the go-ahead, which a quit never gets.
        values.animationEncoderPath = event == u"no encoder"_s
                                          ? QString()
                                          : script(tools.path(), u"logging-img2webp"_s,
                                                   uR"sh(cd '%1'; echo "$*" >> runs; touch started
while [ ! -e go ]; do sleep 0.05; done
exec %2 "$@")sh"_s.arg(tools.path(), *AnimationEncoder::locate()));
        values.preserveOriginal = preset.isEmpty();
        values.width = preset.section(u'x', 0, 0).toLongLong();
        values.height = preset.section(u'x', 1, 1).toLongLong();
        values.ppi = 150;
        values.firstFrameOnly = !firstFrame.isEmpty();
        if (event != u"quit")
            EngineFixtures::writeBytes(tools.filePath(u"go"_s), {});
        if (!limit.isEmpty()) {
            qint64 limitKB = limit.section(u' ', 0, 0).toLongLong();
            if (limit.endsWith(u'%')) {
                // A share of what the quality mode gives, so the first encode is over the limit.
                QTemporaryDir free;
                ConversionJob unlimited = values;
                unlimited.outputFolder = QFile::encodeName(free.path());
                const ConversionStatus full = EngineFixtures::convert(input, unlimited);
                QCOMPARE(full.kind(), ConversionStatus::Kind::done);
                limitKB = full.fileSize() * limit.chopped(1).toLongLong() / 100 / 1024;
                QVERIFY(QFile::remove(tools.filePath(u"runs"_s)));
            }
            values.sizeLimitEnabled = true;
            values.sizeLimitBytes = limitKB * 1024;
        }
        RunFlags flags;
        ConversionStatus status;
        std::thread worker(
            [&] { status = FileConverter::convert(QFile::encodeName(input), values, flags); });
        if (event == u"quit") {
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(tools.filePath(u"started"_s)), 60000);
            flags.aborted = true;
        }
        worker.join();
        if (values.sizeLimitEnabled) {
            // The quality starts at the job's and only goes down.
            QList<int> qualities;
            for (const QString &run : runs(tools.path()))
                qualities << run.section(u" -q "_s, 1, 1).section(u' ', 0, 0).toInt();
            QCOMPARE(qualities.value(0), int(values.quality));
            QVERIFY(qualities.size() > 1);
            QVERIFY(std::adjacent_find(qualities.cbegin(), qualities.cend(),
                                       std::less_equal<int>()) == qualities.cend());
        }
        const QRegularExpression overLimit(
            u"^Over the %1 KB limit \\(smallest: [0-9]+\\.[0-9] KB\\)$"_s.arg(
                values.sizeLimitBytes / 1024));
        if (expected.isEmpty())
            QVERIFY2(overLimit.match(status.message()).hasMatch(), qPrintable(status.message()));
        const bool written =
            !expected.startsWith(u"error") && expected != u"cancelled" && !expected.isEmpty();
        QCOMPARE(entries(dir.path()), written ? QStringList{u"a.webp"_s} : QStringList());
        if (expected == u"cancelled")
            QCOMPARE(status, ConversionStatus::cancelled());
        if (expected.startsWith(u"error: "))
            QCOMPARE(status.message(), expected.mid(7));
        if (!written)
            return;
        std::vector<std::vector<int>> centres;
        const QString output = describedOutput(status.outputPath(), centres);
        QCOMPARE(u"%1, %2 ppi"_s.arg(output, EngineFixtures::exifPpi(
                                                 EngineFixtures::readBack(status.outputPath()))),
                 expected);
        QVERIFY(!values.sizeLimitEnabled || status.fileSize() <= values.sizeLimitBytes);
        const qint64 frames = qint64(centres.size());
        QCOMPARE(status.frames(), frames);
        QCOMPARE(status.statusText().startsWith(u"%1 frames \u00b7 "_s.arg(frames)), frames > 1);
        if (colour.isEmpty())
            return;
        const size_t frame = colour.section(u':', 0, 0).toUInt() - 1;
        const std::vector<double> wanted = EngineFixtures::numbers(colour.section(u':', 1));
        QVERIFY(frame < centres.size());
        for (size_t band = 0; band < 3; ++band)
            QVERIFY2(std::abs(centres[frame][band] - wanted[band]) <= 6,
                     qPrintable(u"band %1: %2"_s.arg(band).arg(centres[frame][band])));
    }

    /// The photo's details come over only when asked for, made true of the output; the
    /// resolution is always there; the file still decodes.
    void photoDetails_data()
    {
        addRowsFrom("photo-details.txt",
                    {"format", "exiftoolExtra", "ppi", "keep", "kept", "expected"});
    }

    void photoDetails()
    {
        const auto [formatText, exiftoolExtra, ppi, keep, kept, expected] =
            fields("format", "exiftoolExtra", "ppi", "keep", "kept", "expected");
        const QString format = formatText.section(u' ', 0, 0);
        QTemporaryDir dir;
        const QString input = dir.filePath(u"in."_s + format);
        if (formatText.endsWith(u" other block"_s)) {
            // The XMP is followed by a block of another content type, as some cameras add.
            const QByteArray xmp = R"(<?xpacket begin="" id="W5M0MpCehiHzreSzNTczkc9d"?>
<x:xmpmeta xmlns:x="adobe:ns:meta/"/><?xpacket end="w"?>)";
            EngineFixtures::writeBytes(
                input, ForgedImages::heicWithBlocks(
                           40, 30,
                           {{"mime", "application/rdf+xml", xmp},
                            {"mime", "application/octet-stream", "not a description"}}));
        } else {
            save(noise(40, 30), qPrintable(u"."_s + format), input);
        }
        save(noise(16, 12), ".jpg", dir.filePath(u"thumb.jpg"_s));
        QStringList tagging =
            u"-q;-m;-n;-overwrite_original;-DateTimeOriginal=2021:06:05 10:11:12;-Make=Tessa;"
            u"-Model=T 1;-LensModel=L 50;-ExposureTime=0.004;-Artist=Ann;-Copyright=(c) Ann;"
            u"-XMP-dc:Subject=alpha;-XMP-dc:Subject=beta;-GPS:GPSLatitude=48.5;"
            u"-GPS:GPSLatitudeRef=N;-XMP-exif:GPSLatitude=48.5;-IFD0:Orientation=6;"
            u"-XMP-tiff:Orientation=6;-ExifImageWidth=40;-ExifImageHeight=30;-XResolution=300;"
            u"-YResolution=300;-ResolutionUnit=2"_s.split(u';');
        tagging << u"-ThumbnailImage<="_s + dir.filePath(u"thumb.jpg"_s)
                << exiftoolExtra.split(u';', Qt::SkipEmptyParts) << input;
        exiftool(tagging);
        if (formatText.endsWith(u" damaged"_s)) {
            // The EXIF block's TIFF header no longer says which byte order follows.
            QFile file(input);
            QVERIFY(file.open(QIODevice::ReadWrite));
            const qsizetype at = file.readAll().indexOf(QByteArray("Exif\0\0II", 8));
            QVERIFY(at > 0 && file.seek(at + 6) && file.write("XX") == 2);
        }

        ConversionJob values = job(dir.filePath(u"out"_s));
        QVERIFY(QDir(dir.path()).mkdir(u"out"_s));
        values.ppi = ppi.toLongLong();
        values.keepPhotoDetails = keep.contains(u"details"_s);
        values.keepLocation = keep.contains(u"location"_s);
        const ConversionStatus status = EngineFixtures::convert(input, values);
        if (kept == u"error") {
            QCOMPARE(status.message() + u": "_s + status.detail(), expected);
            QCOMPARE(entries(dir.filePath(u"out"_s)), QStringList());
            return;
        }
        QCOMPARE(status.kind(), ConversionStatus::Kind::done);
        QCOMPARE(status.keptMetadata().join(u' '), kept);

        const QJsonObject tags =
            QJsonDocument::fromJson(exiftool({u"-j"_s, u"-G1"_s, u"-n"_s, status.outputPath()}))
                .array()
                .at(0)
                .toObject();
        static const QString details =
            u"IFD0:Make=Tessa IFD0:Model=T_1 ExifIFD:LensModel=L_50 ExifIFD:ExposureTime=0.004 "
            u"IFD0:Artist=Ann IFD0:Copyright=(c)_Ann ExifIFD:DateTimeOriginal=2021:06:05_10:11:12 "
            u"XMP-dc:Subject=alpha,beta"_s;
        static const QStringList looked =
            u"IFD0:Make IFD0:Model ExifIFD:LensModel ExifIFD:ExposureTime IFD0:Artist "
            u"IFD0:Copyright ExifIFD:DateTimeOriginal XMP-dc:Subject GPS:GPSLatitude "
            u"XMP-exif:GPSLatitude IFD0:Orientation XMP-tiff:Orientation IFD1:ThumbnailLength "
            u"ExifIFD:ExifImageWidth ExifIFD:ExifImageHeight IFD0:XResolution IFD0:YResolution "
            u"IFD0:ResolutionUnit IFD0:ImageWidth IFD0:ImageHeight IFD0:StripOffsets "
            u"IFD0:Compression"_s.split(u' ');
        QStringList found;
        for (const QString &key : looked) {
            const QJsonValue value = tags.value(key);
            if (value.isUndefined())
                continue;
            QStringList parts;
            for (const QJsonValue &part : value.isArray() ? value.toArray() : QJsonArray{value})
                parts << part.toVariant().toString();
            found << key + u'=' + parts.join(u',').replace(u' ', u'_');
        }
        // The pixels are sRGB: no colour profile, in its own chunk or in the EXIF block.
        for (const QString &key : tags.keys())
            QVERIFY2(!key.startsWith(u"ICC"_s), qPrintable(key));
        QCOMPARE(found, QString(expected).replace(u"DETAILS"_s, details).split(u' '));
        QCOMPARE(tags.value(u"ExifTool:Warning"_s).toString(), QString());
        // libwebp's own tools and decoder take the file as it is.
        QCOMPARE(QProcess::execute(u"webpinfo"_s, {u"-quiet"_s, status.outputPath()}), 0);
        // The pixel size the tags give is the picture's own.
        const auto side = [&](const char *key) { return tags.value(QLatin1String(key)).toInt(); };
        if (tags.contains(u"ExifIFD:ExifImageWidth"_s))
            QCOMPARE(EngineFixtures::shape(EngineFixtures::readBack(status.outputPath())),
                     u"%1x%2 3"_s.arg(side("ExifIFD:ExifImageWidth"))
                         .arg(side("ExifIFD:ExifImageHeight")));
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
        // Each input a different width, so that an output shows which file it came from, and
        // with XMP, which is read from the input by its name too.
        const QByteArray xmp = R"(<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF )"
                               R"(xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">)"
                               R"(<rdf:Description xmlns:dc="http://purl.org/dc/elements/1.1/">)"
                               R"(<dc:format>image/png</dc:format></rdf:Description></rdf:RDF>)"
                               R"(</x:xmpmeta>)";
        for (int i = 0; i < inputs.size(); ++i) {
            VImage image = noise(8 + i, 8).copy();
            vips_image_set_blob_copy(image.get_image(), VIPS_META_XMP_NAME, xmp.constData(),
                                     size_t(xmp.size()));
            std::ofstream((folder + '/' + inputs[i]).constData())
                << EngineFixtures::encode(image, ".png").toStdString();
        }
        const QList<FileIntake::Found> found =
            FileIntake::expand({QUrl::fromLocalFile(in.path())}, {});
        QSet<int> widths;
        ConversionJob values = EngineFixtures::job(out.path());
        values.keepPhotoDetails = true;
        for (const auto &[path, subfolder] : found) {
            const ConversionStatus status = FileConverter::convert(path, values, RunFlags());
            QVERIFY2(status.kind() == ConversionStatus::Kind::done, qPrintable(status.message()));
            QCOMPARE(status.keptMetadata(), QStringList{u"xmp"_s});
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
        // The program looked for is the one the row puts on the search path.
        const QString program =
            onSearchPath.startsWith(u"img2webp"_s) ? AnimationEncoder::program() : u"cwebp"_s;
        if (!onSearchPath.isEmpty()) {
            const QString path = script(dir.filePath(u"path"_s), program, {});
            if (onSearchPath.endsWith(u'-'))
                QFile::setPermissions(path, QFile::ReadOwner);
        }
        const auto located = WebpEncoder::locateIn(
            named.isEmpty() ? QString() : dir.filePath(named),
            {dir.filePath(u"a"_s), dir.filePath(u"b"_s), dir.filePath(u"c"_s)},
            {dir.filePath(u"path"_s)}, program);
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
            // A taken name: the output is dropped when it may not take a number.
            if (outcome == u"taken")
                QVERIFY(QFile(dir.filePath(u"a.webp"_s)).open(QIODevice::WriteOnly));
            OutputReservation output(QFile::encodeName(dir.path()), u"a.png"_s,
                                     OutputReservation::Kind::partFile, {{}, outcome != u"taken"});
            QVERIFY(QFile(output.writePath()).open(QIODevice::WriteOnly));
            if (outcome == u"taken") {
                QVERIFY(!output.publish());
                QCOMPARE(output.failure(), OutputReservation::Failure::nameTaken);
            }
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
