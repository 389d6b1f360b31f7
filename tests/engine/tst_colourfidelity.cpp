#include "enginefixtures.h"
#include "testsupport.h"
#include "vipsruntime.h"

#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using vips::VImage;

namespace {

/// Ghostscript's ICC profiles, from Debian's libgs-common.
const QString profileFolder = u"/usr/share/color/icc/ghostscript/"_s;

const QHash<QString, VipsInterpretation> spaces{{u"b-w"_s, VIPS_INTERPRETATION_B_W},
                                                {u"rgb16"_s, VIPS_INTERPRETATION_RGB16},
                                                {u"grey16"_s, VIPS_INTERPRETATION_GREY16},
                                                {u"cmyk"_s, VIPS_INTERPRETATION_CMYK}};

/// The bytes of the profile a row names: a file, or noise that no colour engine takes.
QByteArray profileBytes(const QString &profile)
{
    if (profile == u"damaged") {
        QByteArray noise(600, '\0');
        QRandomGenerator generator(7);
        generator.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        return noise;
    }
    QFile file(profileFolder + profile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

/// What reaches the WebP: flat images of known colour in every accepted format and in the
/// colour spaces photos come in, untagged or tagged with a profile, converted by the real
/// encoder at quality 100 and read back at the centre.
class TestColourFidelity : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

    void colours_data()
    {
        addRowsFrom("colour-fidelity.txt", {"saveAs", "space", "values", "profile", "expected"});
    }

    void colours()
    {
        const auto [saveAs, space, values, profile, expected] =
            fields("saveAs", "space", "values", "profile", "expected");
        const VipsInterpretation interpretation = spaces.value(space, VIPS_INTERPRETATION_sRGB);
        std::vector<double> input = EngineFixtures::numbers(values);
        if (interpretation == VIPS_INTERPRETATION_RGB16 ||
            interpretation == VIPS_INTERPRETATION_GREY16) {
            for (double &value : input)
                value *= 257;
        }
        VImage image = EngineFixtures::flat(32, 32, input, interpretation);
        if (!profile.isEmpty()) {
            const QByteArray bytes = profileBytes(profile);
            QVERIFY2(!bytes.isEmpty(), qPrintable(profile));
            image = image.copy();
            // The image owns a copy: it is read when the file is saved.
            const VipsCallbackFn release = [](void *data, void *) {
                g_free(data);
                return 0;
            };
            image.set(VIPS_META_ICC_NAME, release,
                      g_memdup2(bytes.constData(), gsize(bytes.size())), size_t(bytes.size()));
        }
        QTemporaryDir dir;
        const QString inputPath = dir.filePath(u"in"_s + saveAs.section(u'[', 0, 0));
        EngineFixtures::save(image, saveAs.toLatin1().constData(), inputPath);
        ConversionJob job = EngineFixtures::job(dir.path());
        job.quality = 100;
        const ConversionStatus status = EngineFixtures::convert(inputPath, job);
        QVERIFY2(status.kind() == ConversionStatus::Kind::done,
                 qPrintable(status.message() + u": "_s + status.detail()));

        const VImage out = EngineFixtures::readBack(status.outputPath());
        const std::vector<double> got = out.getpoint(16, 16);
        const std::vector<double> want = EngineFixtures::numbers(expected);
        QString gotText;
        for (const double value : got)
            gotText += QString::number(value) + u' ';
        QVERIFY2(got.size() == want.size(), qPrintable(gotText));
        for (size_t band = 0; band < want.size(); ++band)
            QVERIFY2(std::abs(got[band] - want[band]) <= 2, qPrintable(gotText));
    }
};

QTEST_GUILESS_MAIN(TestColourFidelity)
#include "tst_colourfidelity.moc"
