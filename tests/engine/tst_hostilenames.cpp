#include "enginefixtures.h"
#include "fileconverter.h"
#include "fileintake.h"
#include "vipsruntime.h"
#include "webpfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <dirent.h>

using EngineFixtures::noise;
using EngineFixtures::save;

namespace {

/// The raw names of the entries of `folder`, as the file system holds them.
QList<QByteArray> rawEntries(const QString &folder)
{
    QList<QByteArray> names;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    while (dir) {
        const dirent *entry = ::readdir(dir);
        if (!entry)
            break;
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    if (dir)
        ::closedir(dir);
    return names;
}

} // namespace

/// File names that trip up careless code: each input converts into an output named after it,
/// within the file system's limits, and no name is ever run by a shell.
class TestHostileNames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

    void names_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("leading dash") << QByteArray("-o.png") << QByteArray("-o.webp");
        QTest::newRow("double dash") << QByteArray("--help.png") << QByteArray("--help.webp");
        QTest::newRow("shell substitution") << QByteArray("$(touch pwned) `touch pwned2`.png")
                                            << QByteArray("$(touch pwned) `touch pwned2`.webp");
        QTest::newRow("shell operators") << QByteArray("a;b|c&d>e<f*g?h'i\"j\\k.png")
                                         << QByteArray("a;b|c&d>e<f*g?h'i\"j\\k.webp");
        QTest::newRow("newline and tab")
            << QByteArray("new\nline\ttab.png") << QByteArray("new\nline\ttab.webp");
        QTest::newRow("NFC") << QByteArray("caf\xC3\xA9.png") << QByteArray("caf\xC3\xA9.webp");
        QTest::newRow("NFD") << QByteArray("cafe\xCC\x81.png") << QByteArray("cafe\xCC\x81.webp");
        QTest::newRow("right-to-left override") << QByteArray("photo\xE2\x80\xAEgnp.exe.png")
                                                << QByteArray("photo\xE2\x80\xAEgnp.exe.webp");
        QTest::newRow("not UTF-8")
            << QByteArray("caf\xE9 \xFF.png") << QByteArray("caf\xEF\xBF\xBD \xEF\xBF\xBD.webp");
        QTest::newRow("250 ASCII bytes")
            << QByteArray(246, 'a') + ".png" << QByteArray(246, 'a') + ".webp";
        QTest::newRow("251 ASCII bytes, cut")
            << QByteArray(251, 'a') + ".png" << QByteArray(250, 'a') + ".webp";
        // Two-byte characters: the cut falls on a whole character.
        QByteArray twoByte;
        for (int i = 0; i < 125; ++i)
            twoByte += "\xC3\xA9";
        QTest::newRow("250 bytes of two-byte characters")
            << twoByte + ".png" << twoByte.left(250) + ".webp";
        // Four-byte characters (surrogate pairs in UTF-16).
        QByteArray fourByte("abc");
        for (int i = 0; i < 62; ++i)
            fourByte += "\xF0\x9F\x93\xB7";
        QTest::newRow("251 bytes ending in emoji, cut")
            << fourByte + ".png" << fourByte.chopped(4) + ".webp";
    }

    void names()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, output);
        QTemporaryDir in;
        QTemporaryDir out;
        const QByteArray inPath = QFile::encodeName(in.path()) + '/' + name;
        save(noise(8, 8), ".png", in.filePath(QStringLiteral("staging.png")));
        QCOMPARE(::rename(QFile::encodeName(in.filePath(QStringLiteral("staging.png"))).constData(),
                          inPath.constData()),
                 0);
        // As the intake finds it in a folder walk.
        const QList<QUrl> found = FileIntake::expand({QUrl::fromLocalFile(in.path())});
        const ConversionStatus status =
            found.size() == 1
                ? FileConverter::convert(found.first(), EngineFixtures::job(out.path()), RunFlags())
                : ConversionStatus::cancelled();
        const QList<QByteArray> left = rawEntries(in.path());
        // QTemporaryDir cannot remove a name that is not UTF-8 itself.
        ::unlink(inPath.constData());
        QCOMPARE(found.size(), 1);
        QVERIFY2(status.kind() == ConversionStatus::Kind::done, qPrintable(status.message()));
        QCOMPARE(rawEntries(out.path()), QList<QByteArray>{output});
        QVERIFY(output.size() <= 255);
        QCOMPARE(WebpFile::check(status.outputPath()), WebpFile::State::valid);
        // Nothing was run by a shell, here or in the working folder.
        QCOMPARE(left, QList<QByteArray>{name});
        QVERIFY(!QFile::exists(QStringLiteral("pwned")));
    }
};

QTEST_GUILESS_MAIN(TestHostileNames)
#include "tst_hostilenames.moc"
