// Helpers for `make bench`: makes test images, and measures what a shell script cannot —
// intake of a large tree and the cost of one status change in a long list.

#include "fileconverter.h"
#include "imageconverter.h"
#include "imageloader.h"
#include "temporarypng.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThreadPool>
#include <QTimer>

#include <vips/vips8>

#include <cstdio>
#include <ctime>

using vips::VImage;

namespace {

QTextStream out(stdout);

/// A photo-like picture: smooth large-scale colour shapes with fine grain on top. The same
/// `seed` gives the same picture, so that two bench runs encode the same work.
VImage photoLike(int width, int height, int seed)
{
    const int coarseWidth = std::max(4, width / 48);
    const int coarseHeight = std::max(4, height / 48);
    std::vector<VImage> bands;
    for (int band = 0; band < 3; ++band)
        bands.push_back(VImage::gaussnoise(coarseWidth, coarseHeight,
                                           VImage::option()
                                               ->set("sigma", 50.0)
                                               ->set("mean", 100.0 + 20 * band + seed % 30)
                                               ->set("seed", seed * 3 + band)));
    const VImage coarse = VImage::bandjoin(bands);
    const VImage smooth = coarse.resize(double(width) / coarseWidth,
                                        VImage::option()
                                            ->set("vscale", double(height) / coarseHeight)
                                            ->set("kernel", VIPS_KERNEL_CUBIC));
    // Sensor-like grain: faint and slightly soft, as in a real photo at this size.
    const VImage grain = VImage::gaussnoise(width, height,
                                            VImage::option()
                                                ->set("sigma", 4.0 + 2.0 * (seed % 4))
                                                ->set("mean", 0.0)
                                                ->set("seed", seed))
                             .gaussblur(0.7);
    return (smooth + grain)
        .cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

/// A flat grey picture whose alpha plane is grain in stripes: small colour data, and an alpha
/// plane that alone can keep a file over a size limit.
VImage alphaStripes(int width, int height, int seed)
{
    const VImage grey = VImage::black(width, height, VImage::option()->set("bands", 3)) + 128;
    const VImage stripes = (VImage::xyz(width, height)[0] & 32) * 7;
    const VImage grain = VImage::gaussnoise(
        width, height, VImage::option()->set("sigma", 40.0)->set("mean", 128.0)->set("seed", seed));
    return grey.bandjoin(grain.cast(VIPS_FORMAT_UCHAR) & stripes)
        .cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

int makeImages(const QStringList &args)
{
    // images DIR WIDTH HEIGHT COUNT FORMAT...
    if (args.size() < 5)
        return 2;
    const QString dir = args.at(0);
    const int width = args.at(1).toInt();
    const int height = args.at(2).toInt();
    const int count = args.at(3).toInt();
    QDir().mkpath(dir);
    int seed = 0;
    for (const QString &format : args.mid(4)) {
        for (int i = 0; i < count; ++i) {
            const QString path = QStringLiteral("%1/%2-%3.%4").arg(dir, format).arg(i).arg(format);
            VImage picture = format == QLatin1String("alpha") ? alphaStripes(width, height, ++seed)
                                                              : photoLike(width, height, ++seed);
            const QByteArray file = path.toUtf8();
            if (format == QLatin1String("jpg"))
                picture.jpegsave(file.constData(), VImage::option()->set("Q", 90));
            else if (format == QLatin1String("heic"))
                picture.heifsave(file.constData(),
                                 VImage::option()->set("Q", 80)->set(
                                     "compression", VIPS_FOREIGN_HEIF_COMPRESSION_HEVC));
            else if (format == QLatin1String("avif"))
                picture.heifsave(file.constData(),
                                 VImage::option()
                                     ->set("Q", 70)
                                     ->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_AV1)
                                     ->set("effort", 0));
            else if (format == QLatin1String("alpha"))
                picture.pngsave(file.chopped(5).append("png").constData());
            else
                picture.write_to_file(file.constData());
        }
    }
    return 0;
}

/// Images far larger on decoding than on disk, in the formats that cannot shrink while they
/// load: a PNG, a deflate-tiled TIFF and a lossless WebP, each SIDE × SIDE of one colour.
int makeHugeImages(const QStringList &args)
{
    // huge DIR SIDE
    if (args.size() < 2)
        return 2;
    const QString dir = args.at(0);
    const int side = args.at(1).toInt();
    QDir().mkpath(dir);
    const VImage flat =
        (VImage::black(side, side, VImage::option()->set("bands", 3)) +
         std::vector<double>{40, 80, 120})
            .cast(VIPS_FORMAT_UCHAR)
            .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    const auto path = [&](const char *name) {
        return (dir + QLatin1Char('/') + QLatin1String(name)).toUtf8();
    };
    flat.pngsave(path("huge.png").constData(), VImage::option()->set("compression", 9));
    flat.tiffsave(path("huge-tiled.tif").constData(),
                  VImage::option()
                      ->set("tile", true)
                      ->set("compression", VIPS_FOREIGN_TIFF_COMPRESSION_DEFLATE));
    flat.webpsave(path("huge-lossless.webp").constData(),
                  VImage::option()->set("lossless", true)->set("effort", 0));
    return 0;
}

/// The encoder's inputs as Tessel hands them over: the same load, redraw and temporary PNG, so
/// that the floor encodes the very pixels Tessel's encoder sees.
int preparePngs(const QStringList &args)
{
    // pngs OUTDIR WIDTH HEIGHT FILE...
    const QString dir = args.at(0);
    QDir().mkpath(dir);
    for (const QString &input : args.mid(3)) {
        const auto loaded = ImageLoader::load(QFile::encodeName(input), args.at(1).toLongLong(),
                                              args.at(2).toLongLong(), false);
        TemporaryPng png;
        QString detail;
        if (!loaded.ok() || !png.write(loaded.image, 72, detail).isEmpty())
            return 1;
        const QString name =
            QFileInfo(input).completeBaseName() + QLatin1Char('-') + QFileInfo(input).suffix();
        if (!QFile::copy(png.path(), dir + QLatin1Char('/') + name + QStringLiteral(".png")))
            return 1;
    }
    return 0;
}

int intake(const QStringList &args)
{
    // intake COUNT: a tree of COUNT empty image files, added in one call.
    const int count = args.value(0, QStringLiteral("100000")).toInt();
    QTemporaryDir root;
    for (int i = 0; i < count; ++i) {
        const QString folder = root.filePath(QStringLiteral("d%1").arg(i / 1000));
        if (i % 1000 == 0)
            QDir().mkpath(folder);
        QFile(folder + QStringLiteral("/img%1.png").arg(i)).open(QIODevice::WriteOnly);
    }

    ImageConverter converter;
    // The longest time the event loop was kept from running a 1 ms timer.
    QElapsedTimer sinceTick;
    qint64 longestBusy = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestBusy = std::max(longestBusy, sinceTick.restart()); });
    QSignalSpy filled(converter.fileModel(), &FileListModel::countsChanged);
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start();
    converter.addFiles({QUrl::fromLocalFile(root.path())});
    filled.wait(600000);
    const qint64 fillMs = clock.elapsed();
    QCoreApplication::processEvents();
    ticker.stop();
    out << "intake_files " << converter.files().size() << "\n";
    out << "intake_ms " << fillMs << "\n";
    out << "intake_gui_busy_ms " << longestBusy << "\n";

    // One status change in the long list against the same in a list of ten.
    auto perChange = [](ImageConverter &c) {
        const auto &files = c.files();
        QElapsedTimer t;
        t.start();
        constexpr int changes = 20000;
        for (int i = 0; i < changes; ++i)
            c.fileModel()->setStatus(files.at(i % files.size()).id,
                                     i % 2 ? ConversionStatus::converting()
                                           : ConversionStatus::done({}, i));
        return double(t.nsecsElapsed()) / changes;
    };
    ImageConverter small;
    QSignalSpy smallFilled(small.fileModel(), &FileListModel::countsChanged);
    QList<QUrl> ten;
    for (const auto &item : converter.files().mid(0, 10))
        ten.append(QUrl::fromLocalFile(item.displayPath()));
    small.addFiles(ten);
    smallFilled.wait(10000);
    const double large = perChange(converter);
    const double tiny = perChange(small);
    out << "status_change_ns_large " << qRound64(large) << "\n";
    out << "status_change_ns_small " << qRound64(tiny) << "\n";
    out.flush();
    return 0;
}

/// The size limit's cost: every photo converted with the retries and with one encode only,
/// through a wrapper that logs each encoder run.
int sizeLimit(const QStringList &args)
{
    // sizelimit WORKDIR LIMIT_KB WIDTH HEIGHT FILE...
    const QString work = args.at(0);
    const qint64 limit = args.at(1).toLongLong() * 1024;
    const QString log = work + QStringLiteral("/encodes.log");
    const QString wrapper = work + QStringLiteral("/counting-cwebp");
    QFile script(wrapper);
    if (!script.open(QIODevice::WriteOnly))
        return 1;
    // One line per encode: the size aimed at and the size written. A file's first encode aims
    // at the limit itself, each further one lower.
    script.write(
        "#!/bin/sh\n/usr/bin/cwebp \"$@\"\nstatus=$?\necho \"$5 $(stat -L -c %s \"$3\")\" >> '" +
        log.toUtf8() + "'\nexit $status\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);

    for (const int extra : {2, 0}) {
        const QString folder = work + QStringLiteral("/out-%1").arg(extra);
        QDir().mkpath(folder);
        QFile::remove(log);
        ConversionJob job;
        job.encoderPath = wrapper;
        job.width = args.at(2).toLongLong();
        job.height = args.at(3).toLongLong();
        job.sizeLimitBytes = limit;
        job.outputFolder = QFile::encodeName(folder);
        job.extraEncodesForSizeLimit = extra;
        RunFlags flags;
        QAtomicInt over = 0;
        QElapsedTimer clock;
        clock.start();
        QThreadPool pool;
        for (const QString &file : args.mid(4)) {
            pool.start([&, file] {
                const auto status = FileConverter::convert(QFile::encodeName(file), job, flags);
                if (status.kind() == ConversionStatus::Kind::error)
                    over.fetchAndAddRelaxed(1);
            });
        }
        pool.waitForDone();
        const qint64 ms = clock.elapsed();
        QFile logFile(log);
        qint64 encodes = 0;
        qint64 retries = 0;
        if (logFile.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : logFile.readAll().split('\n')) {
                if (line.isEmpty())
                    continue;
                ++encodes;
                if (line.split(' ').value(0).toLongLong() != limit)
                    ++retries;
            }
        }
        const QString mode = extra > 0 ? QStringLiteral("retry") : QStringLiteral("single");
        out << "sizelimit_" << mode << "_ms " << ms << "\n";
        out << "sizelimit_" << mode << "_encodes " << encodes << "\n";
        out << "sizelimit_" << mode << "_retries " << retries << "\n";
        out << "sizelimit_" << mode << "_over " << over.loadRelaxed() << "\n";
    }
    out.flush();
    return 0;
}

/// CPU milliseconds of the whole process so far, the decoders' own threads included.
qint64 processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

/// Where one conversion's time goes before the encoder: decode and redraw, then the PNG, in
/// wall and CPU milliseconds (the CPU figures hold whatever else the machine is doing).
int phases(const QStringList &args)
{
    // phases WIDTH HEIGHT FILE...
    qint64 totalCpu = 0;
    for (const QString &file : args.mid(2)) {
        QElapsedTimer clock;
        clock.start();
        const qint64 cpuAtStart = processCpuMs();
        const auto loaded = ImageLoader::load(QFile::encodeName(file), args.at(0).toLongLong(),
                                              args.at(1).toLongLong(), false);
        const qint64 loadMs = clock.restart();
        const qint64 cpuAfterLoad = processCpuMs();
        TemporaryPng png;
        QString detail;
        const QString failure = loaded.ok() ? png.write(loaded.image, 72, detail) : loaded.error;
        const qint64 pngMs = clock.elapsed();
        const qint64 cpuAfterPng = processCpuMs();
        totalCpu += cpuAfterPng - cpuAtStart;
        out << QFileInfo(file).fileName() << " load_ms " << loadMs << " load_cpu_ms "
            << cpuAfterLoad - cpuAtStart << " png_ms " << pngMs << " png_cpu_ms "
            << cpuAfterPng - cpuAfterLoad
            << (failure.isEmpty() ? QString() : QStringLiteral(" ") + failure) << "\n";
    }
    out << "phases_cpu_ms " << totalCpu << "\n";
    out.flush();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("TesselBench"));
    QCoreApplication::setApplicationName(QStringLiteral("TesselBench"));
    if (VIPS_INIT(argv[0]) != 0)
        return 1;
    const QStringList args = QCoreApplication::arguments().mid(2);
    const QString command = QCoreApplication::arguments().value(1);
    if (command == QLatin1String("images"))
        return makeImages(args);
    if (command == QLatin1String("huge"))
        return makeHugeImages(args);
    if (command == QLatin1String("pngs"))
        return preparePngs(args);
    if (command == QLatin1String("phases"))
        return phases(args);
    if (command == QLatin1String("sizelimit"))
        return sizeLimit(args);
    if (command == QLatin1String("intake"))
        return intake(args);
    fprintf(stderr, "usage: tessel_bench images|pngs|intake ...\n");
    return 2;
}
