#include "enginefixtures.h"
#include "forgedimages.h"
#include "imageloader.h"
#include "jpegscans.h"
#include "testsupport.h"
#include "vipsruntime.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

using namespace Qt::StringLiterals;

using EngineFixtures::encode;
using EngineFixtures::flat;
using EngineFixtures::noise;
using vips::VImage;

namespace {

/// The bytes of a file that a row of hostile-inputs.txt describes.
QByteArray made(const QString &file)
{
    if (file.startsWith(u"half ")) {
        const QByteArray whole = made(file.mid(5));
        return whole.left(whole.size() / 2);
    }
    if (file.startsWith(u"endless "))
        return made(file.mid(8)).chopped(12);
    QStringList words = file.split(u' ');
    const QString kind = words.takeFirst();
    const auto number = [&](int i) { return words.value(i).toInt(); };
    QByteArray bytes;
    if (kind == u"text") {
        bytes = words.join(u' ').toUtf8();
    } else if (kind == u"hex") {
        bytes = QByteArray::fromHex(words.join(QString()).toLatin1());
    } else if (kind == u"png") {
        bytes = encode(noise(8, 8), ".png");
        bytes.back() = char(bytes.back() ^ 1);
    } else if (kind == u"jpeg") {
        VImage image = noise(number(0), number(1)).copy();
        if (words.size() > 2)
            image.set(VIPS_META_ORIENTATION, number(2));
        bytes = encode(image, ".jpg");
    } else if (kind == u"cmyk") {
        // Noise in four inks, which the loader turns into colours before it shrinks.
        const VImage rgb = noise(number(0), number(1));
        bytes = encode(rgb.bandjoin(rgb[0]).copy(
                           VImage::option()->set("interpretation", VIPS_INTERPRETATION_CMYK)),
                       ".jpg");
    } else if (kind == u"scans") {
        bytes = ForgedImages::jpegWithScans(number(0));
    } else if (kind == u"claiming") {
        bytes = ForgedImages::pngClaiming(number(0), number(1));
    } else if (kind == u"webp") {
        bytes = ForgedImages::losslessWebp(number(0), number(1));
    } else {
        bytes = encode(flat(8, 8, EngineFixtures::numbers(words.mid(1).join(u' '))),
                       words[0] == u"gif" ? ".gif" : ".png");
    }
    return bytes;
}

} // namespace

/// What the loader makes of odd and hostile inputs: the refusals decided by Tessel's own checks
/// (signature, checksums, scan count, pixel and side limits) and the redraw into upright 8-bit
/// sRGB with alpha only where the input can be transparent.
class TestHostileInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

    void load_data() { addRowsFrom("hostile-inputs.txt", {"file", "preset", "expected"}); }

    void load()
    {
        const auto [file, presetText, expected] = fields("file", "preset", "expected");
        const QSize preset = presetText.isEmpty() ? QSize()
                                                  : QSize(presetText.section(u'x', 0, 0).toInt(),
                                                          presetText.section(u'x', 1, 1).toInt());
        QTemporaryDir dir;
        QString path = dir.path();
        if (file != u"folder")
            EngineFixtures::writeBytes(path = dir.filePath(u"input"_s), made(file));
        const auto result = ImageLoader::load(QFile::encodeName(path), preset.width(),
                                              preset.height(), !preset.isValid());
        if (expected.isEmpty()) {
            QVERIFY2(result.error != ImageLoader::tooManyScansMessage(), "refused at the cap");
            return;
        }
        if (!result.ok()) {
            // A reason of Tessel's own is compared too; the decoder's words vary by build.
            const QString reported = result.error + u": "_s + result.detail;
            QVERIFY2((expected.contains(u": "_s) ? reported : result.error) == expected,
                     qPrintable(reported));
            // Tessel's own refusals need no reason; a file that does not load carries one, the
            // decoder's where none of Tessel's is expected.
            QCOMPARE(result.detail.isEmpty(),
                     !expected.startsWith(ImageLoader::loadFailedMessage()));
            QVERIFY(expected != ImageLoader::loadFailedMessage() ||
                    !result.detail.startsWith(u"not "_s));
            return;
        }
        const VImage &image = result.image;
        QCOMPARE(EngineFixtures::shape(image), expected);
        QCOMPARE(image.format(), VIPS_FORMAT_UCHAR);
    }

    void scanCount_data() { addRowsFrom("jpeg-scans.txt", {"bytes", "counted"}); }

    void scanCount()
    {
        const auto [bytes, counted] = fields("bytes", "counted");
        QTemporaryFile file;
        QVERIFY(file.open());
        QVERIFY(file.write(QByteArray::fromHex(bytes.toLatin1())) > 0 && file.flush());
        QCOMPARE(JpegScans::count(int(file.handle())), counted.toInt());
    }
};

QTEST_GUILESS_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
