#include "enginefixtures.h"
#include "forgedimages.h"
#include "imageloader.h"
#include "vipsruntime.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using EngineFixtures::noise;
using ForgedImages::encode;
using vips::VImage;

namespace {

/// What the load probe made of one file.
struct Probe
{
    bool finished = false;
    bool crashed = false;
    int exitCode = -1;
    QString output;
};

/// Loads `path` in the probe process, with its address space limited to `maxMemoryMiB`.
/// `prefix` runs the probe through another program (to drop privileges, say).
Probe probe(const QString &path, int maxMemoryMiB = 1024, const QStringList &prefix = {})
{
    QStringList arguments = prefix;
    arguments << QStringLiteral(LOADPROBE) << QStringLiteral("--max-memory")
              << QString::number(maxMemoryMiB) << path;
    QProcess process;
    // The library's warnings go to standard error; the verdict is on standard output.
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(arguments.takeFirst(), arguments);
    Probe result;
    // Generous: a healthy load of these files takes milliseconds.
    result.finished = process.waitForFinished(30000);
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.output = QString::fromUtf8(process.readAll()).trimmed();
    return result;
}

/// One small valid file of each accepted format.
const QList<std::pair<QByteArray, QByteArray>> &samples()
{
    static const VImage rgb = noise(48, 32);
    static const QList<std::pair<QByteArray, QByteArray>> all{
        {"jpeg", encode(rgb, ".jpg")},
        {"progressive jpeg", encode(rgb, ".jpg[interlace=true]")},
        {"png", encode(rgb, ".png")},
        {"interlaced png", encode(rgb, ".png[interlace=true]")},
        {"gif", encode(rgb, ".gif")},
        {"lossy webp", encode(rgb, ".webp")},
        {"lossless webp", encode(rgb, ".webp[lossless=true]")},
        {"tiff", encode(rgb, ".tif")},
        {"deflate tiff", encode(rgb, ".tif[compression=deflate]")},
        {"heic", encode(rgb, ".heic[compression=hevc]")},
        {"avif", encode(rgb, ".avif[compression=av1]")},
        {"bmp", encode(rgb, ".bmp")}};
    return all;
}

/// libvips' own format, which it writes only to files.
QByteArray vipsFormat(const VImage &image)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("image.v"));
    image.write_to_file(QFile::encodeName(path).constData());
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

/// Binds a listening Unix socket at `path`; returns its descriptor, or -1.
int bindSocket(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(native.size()) >= sizeof(address.sun_path))
        return -1;
    std::copy(native.cbegin(), native.cend(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0 ||
        ::listen(fd, 1) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

/// Makes `depth` nested folders of 200-byte names under `root`, one at a time (a single call
/// cannot take a path that long), and returns the deepest one's path.
QString deepFolder(const QString &root, int depth)
{
    QString path = root;
    int fd = ::open(QFile::encodeName(root).constData(), O_DIRECTORY | O_RDONLY);
    const QByteArray name(200, 'd');
    for (int i = 0; i < depth && fd >= 0; ++i) {
        ::mkdirat(fd, name.constData(), 0755);
        const int next = ::openat(fd, name.constData(), O_DIRECTORY | O_RDONLY);
        ::close(fd);
        fd = next;
        path += QLatin1Char('/') + QString::fromLatin1(name);
    }
    if (fd >= 0)
        ::close(fd);
    return path;
}

/// Removes what `deepFolder` made, from the bottom up.
void removeDeepFolder(const QString &root, int depth)
{
    const QByteArray name(200, 'd');
    std::vector<int> folders{::open(QFile::encodeName(root).constData(), O_DIRECTORY | O_RDONLY)};
    for (int i = 0; i < depth && folders.back() >= 0; ++i)
        folders.push_back(::openat(folders.back(), name.constData(), O_DIRECTORY | O_RDONLY));
    for (auto fd = folders.rbegin(); fd != folders.rend(); ++fd) {
        if (*fd < 0)
            continue;
        if (fd + 1 != folders.rend())
            ::unlinkat(*(fd + 1), name.constData(), AT_REMOVEDIR);
        ::close(*fd);
    }
}

} // namespace

/// Damaged, disguised and malicious input files: each one a clear per-file error, loaded in a
/// process of its own so that a crash or a hang is seen as such.
class TestHostileInput : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        EngineFixtures::writeBytes(path, bytes);
        return path;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

    void intactSamplesLoad()
    {
        for (const auto &[name, bytes] : samples()) {
            const ImageLoader::Result result =
                ImageLoader::load(write(QStringLiteral("intact.png"), bytes), 0, 0, true);
            QVERIFY2(result.ok(), name.constData());
            QCOMPARE(result.image.width(), 48);
        }
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        for (const auto &[name, bytes] : samples()) {
            const qsizetype half = bytes.size() / 2;
            QTest::addRow("%s cut in half", name.constData()) << bytes.left(half);
            QTest::addRow("%s header only", name.constData()) << bytes.left(40);
            QByteArray zeroed = bytes;
            zeroed.replace(0, 16, QByteArray(16, '\0'));
            QTest::addRow("%s zeroed header", name.constData()) << zeroed;
            QByteArray scrambled = bytes;
            scrambled.replace(4, 40, randomBytes(40, 7));
            QTest::addRow("%s scrambled header", name.constData()) << scrambled;
        }
        QTest::newRow("random bytes") << randomBytes(4096, 1);
        QTest::newRow("zero bytes") << QByteArray();
        QTest::newRow("one zero byte") << QByteArray(1, '\0');
        QTest::newRow("text") << QByteArray("Just some notes.\n");
        QTest::newRow("html") << QByteArray(
            "<!DOCTYPE html><html><body><img src=x.png></body></html>");
    }

    void damagedFiles()
    {
        QFETCH(QByteArray, bytes);
        for (const QString &name : {QStringLiteral("damaged.png"), QStringLiteral("damaged.jpg")})
            QCOMPARE(ImageLoader::load(write(name, bytes), 0, 0, true).error,
                     ImageLoader::loadFailedMessage());
    }

    /// A damaged middle cannot always be seen (uncompressed pixels are just other pixels), but
    /// it never crashes or hangs, and a format with checksums refuses it.
    void corruptedMiddle()
    {
        for (const auto &[name, bytes] : samples()) {
            QByteArray corrupted = bytes;
            const qsizetype middle = bytes.size() / 2;
            corrupted.replace(middle - 32, 64, randomBytes(64, 3));
            const ImageLoader::Result result =
                ImageLoader::load(write(QStringLiteral("middle.img"), corrupted), 0, 0, true);
            if (name.contains("png"))
                QVERIFY2(!result.ok(), name.constData());
            else if (result.ok())
                QCOMPARE(result.image.width(), 48);
        }
    }

    void unacceptedFormats_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const VImage rgb = noise(8, 8);
        QTest::newRow("svg") << QStringLiteral("s.png")
                             << QByteArray(
                                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" "
                                    "height=\"10\"><rect width=\"10\" height=\"10\"/></svg>");
        QTest::newRow("ppm") << QStringLiteral("p.jpg") << encode(rgb, ".ppm");
        QTest::newRow("pfm") << QStringLiteral("p.tif")
                             << encode(rgb.cast(VIPS_FORMAT_FLOAT), ".pfm");
        QTest::newRow("vips format") << QStringLiteral("v.png") << vipsFormat(rgb);
        QTest::newRow("matrix text") << QStringLiteral("m.tif") << QByteArray("2 2\n1 2\n3 4\n");
        QTest::newRow("csv") << QStringLiteral("c.png") << QByteArray("1,2,3\n4,5,6\n");
        QTest::newRow("pdf") << QStringLiteral("d.jpg")
                             << QByteArray("%PDF-1.4\n1 0 obj<<>>endobj\ntrailer<<>>\n%%EOF\n");
        QTest::newRow("fits") << QStringLiteral("f.png")
                              << QByteArray("SIMPLE  =                    T").leftJustified(2880);
        QTest::newRow("mp4 brand") << QStringLiteral("v.heic")
                                   << QByteArray("\0\0\0\x18"
                                                 "ftypisom\0\0\0\0isommp41",
                                                 24)
                                          .append(64, '\0');
    }

    void unacceptedFormats()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QCOMPARE(ImageLoader::load(write(name, bytes), 0, 0, true).error,
                 ImageLoader::loadFailedMessage());
    }

    void hostilePaths_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("fifo") << QStringLiteral("fifo");
        QTest::newRow("link to /dev/zero") << QStringLiteral("device");
        QTest::newRow("dangling link") << QStringLiteral("dangling");
        QTest::newRow("missing") << QStringLiteral("missing");
        QTest::newRow("socket") << QStringLiteral("socket");
        QTest::newRow("link to itself") << QStringLiteral("self link");
        QTest::newRow("links in a loop") << QStringLiteral("loop");
        QTest::newRow("path longer than the system allows") << QStringLiteral("long");
    }

    void hostilePaths()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("x.png"));
        int socket = -1;
        if (kind == QStringLiteral("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("x.png")));
        } else if (kind == QStringLiteral("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QStringLiteral("device")) {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        } else if (kind == QStringLiteral("dangling")) {
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone.png")), path));
        } else if (kind == QStringLiteral("socket")) {
            socket = bindSocket(path);
            if (socket < 0)
                QSKIP("the temporary folder's path is too long for a socket address");
        } else if (kind == QStringLiteral("self link")) {
            QVERIFY(QFile::link(path, path));
        } else if (kind == QStringLiteral("loop")) {
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("y.png")), path));
            QVERIFY(QFile::link(path, dir.filePath(QStringLiteral("y.png"))));
        } else if (kind == QStringLiteral("long")) {
            path = deepFolder(dir.path(), 25) + QStringLiteral("/x.png");
            QVERIFY(path.size() > PATH_MAX);
        }
        // Would block forever on the FIFO or read /dev/zero without end if it opened them.
        const QString error = ImageLoader::load(path, 10, 10, false).error;
        if (socket >= 0)
            ::close(socket);
        if (kind == QStringLiteral("long"))
            removeDeepFolder(dir.path(), 25);
        QCOMPARE(error, ImageLoader::loadFailedMessage());
    }

    /// Files and folders that the user cannot read. Root reads everything, so as root the probe
    /// runs without any capability: still root, so it reaches the build tree wherever that is,
    /// but bound by permission bits like any user.
    void unreadable_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("file") << false;
        QTest::newRow("folder") << true;
    }

    void unreadable()
    {
        QFETCH(bool, folder);
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::ExeOther);
        const QString inner = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkdir(inner));
        const QString path = inner + QStringLiteral("/x.png");
        EngineFixtures::save(noise(8, 8), ".png", path);
        QFile::setPermissions(folder ? inner : path, QFile::Permissions());
        QFile::setPermissions(folder ? path : inner, QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther);
        const QStringList unprivileged =
            ::geteuid() != 0
                ? QStringList()
                : QStringList{QStringLiteral("setpriv"), QStringLiteral("--inh-caps=-all"),
                              QStringLiteral("--bounding-set=-all")};
        // The lock has to bind the probe, or the rows below prove nothing.
        const QStringList read =
            unprivileged + QStringList{QStringLiteral("head"), QStringLiteral("-c1"), path};
        QProcess reader;
        reader.start(read.first(), read.mid(1));
        if (!reader.waitForFinished() || reader.exitCode() == 0)
            QSKIP("permission bits do not bind a process here (capabilities cannot be dropped)");
        QCOMPARE(probe(path, 1024, unprivileged).output, ImageLoader::loadFailedMessage());
        // The same file, readable again, loads: the refusal was about the permission.
        QFile::setPermissions(inner, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadOther | QFile::ExeOther);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther);
        QCOMPARE(probe(path, 1024, unprivileged).output, QStringLiteral("ok 8 8 3"));
    }

    void bombs_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QString tooMany = ImageLoader::tooManyPixelsMessage();
        const QString load = ImageLoader::loadFailedMessage();
        for (const quint32 side : {50000u, 1000000u}) {
            QTest::addRow("png %u squared", side)
                << ForgedImages::pngClaiming(side, side) << tooMany;
            QTest::addRow("tiff %u squared", side)
                << ForgedImages::tiffClaiming(side, side) << tooMany;
            // These decoders refuse such headers themselves, before we see the size.
            QTest::addRow("bmp %u squared", side)
                << ForgedImages::bmpClaiming(qint32(side), qint32(side)) << load;
            QTest::addRow("heic %u squared", side)
                << ForgedImages::heifClaiming(".heic[compression=hevc]", side, side) << load;
            QTest::addRow("avif %u squared", side)
                << ForgedImages::heifClaiming(".avif[compression=av1]", side, side) << load;
        }
        QTest::newRow("jpeg 65500 squared") << ForgedImages::jpegClaiming(65500, 65500) << tooMany;
        QTest::newRow("progressive jpeg 65500 squared")
            << ForgedImages::jpegClaiming(65500, 65500, true) << tooMany;
        QTest::newRow("gif 65535 squared")
            << ForgedImages::gifClaiming(65535, 65535, true) << tooMany;
        // The decoder sizes the canvas by its frames, so an empty screen costs nothing.
        QTest::newRow("gif screen 65535 squared, small frame")
            << ForgedImages::gifClaiming(65535, 65535, false) << QStringLiteral("ok 8 8 3");
        QTest::newRow("webp canvas 65536 x 65535")
            << ForgedImages::webpClaiming(65536, 65535) << load;
        QTest::newRow("webp canvas 16000 squared")
            << ForgedImages::webpClaiming(16000, 16000) << load;
        // Within the pixel limit, but far more memory than the probe has: tiny files that
        // would decode to huge canvases.
        QTest::newRow("png 16000 squared, few bytes")
            << ForgedImages::pngClaiming(16000, 16000) << load;
        QTest::newRow("jpeg 16000 squared, few bytes")
            << ForgedImages::jpegClaiming(16000, 16000) << load;
        QTest::newRow("progressive jpeg 16000 squared, few bytes")
            << ForgedImages::jpegClaiming(16000, 16000, true) << load;
        QTest::newRow("gif 16000 squared, few bytes")
            << ForgedImages::gifClaiming(16000, 16000, true) << load;
        QTest::newRow("tiff 16000 squared, few bytes")
            << ForgedImages::tiffClaiming(16000, 16000) << load;
        QTest::newRow("bmp 16000 squared, few bytes")
            << ForgedImages::bmpClaiming(16000, 16000) << load;
        QTest::newRow("heic 16000 squared, few bytes")
            << ForgedImages::heifClaiming(".heic[compression=hevc]", 16000, 16000) << load;
        QTest::newRow("thousands of progressive scans")
            << ForgedImages::jpegWithScans(5000) << load;
        // Metadata is inflated only so far, so the image itself loads within the limit.
        QTest::newRow("1 GiB of zeros in a text chunk")
            << ForgedImages::pngWithChunk("zTXt", ForgedImages::compressedText(qint64(1) << 30))
            << QStringLiteral("ok 16 16 3");
        QTest::newRow("1 GiB of zeros in a profile")
            << ForgedImages::pngWithChunk("iCCP", ForgedImages::compressedText(qint64(1) << 30))
            << QStringLiteral("ok 16 16 3");
    }

    void bombs()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        // Far less memory than any of these claims to need.
        const Probe result = probe(write(QStringLiteral("bomb.png"), bytes), 768);
        QVERIFY2(result.finished, "the load hung");
        QVERIFY2(!result.crashed, "the load crashed");
        QCOMPARE(result.output, expected);
    }
};

QTEST_GUILESS_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
