#include "enginefixtures.h"
#include "fileconverter.h"
#include "fileintake.h"
#include "nativepath.h"
#include "outputreservation.h"
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

/// Output names: taken from the input, the next free one when taken, within the file system's
/// limits; names that trip up careless code convert too, and no name is ever run by a shell.
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
            found.size() == 1 ? FileConverter::convert(NativePath::of(found.first().toLocalFile()),
                                                       EngineFixtures::job(out.path()), RunFlags())
                              : ConversionStatus::cancelled();
        const QList<QByteArray> left = rawEntries(in.path());
        // QTemporaryDir cannot remove a name that is not UTF-8 itself.
        ::unlink(inPath.constData());
        QCOMPARE(found.size(), 1);
        QVERIFY2(status.kind() == ConversionStatus::Kind::done, qPrintable(status.message()));
        QCOMPARE(rawEntries(out.path()), QList<QByteArray>{output});
        QVERIFY(output.size() <= 255);
        QCOMPARE(WebpFile::checkFile(status.outputPath()), WebpFile::State::valid);
        // Nothing was run by a shell, here or in the working folder.
        QCOMPARE(left, QList<QByteArray>{name});
        QVERIFY(!QFile::exists(QStringLiteral("pwned")));
    }

    void baseName_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("base");
        QTest::newRow("last extension only")
            << QStringLiteral("holiday.beach.png") << QStringLiteral("holiday.beach");
        QTest::newRow("no extension") << QStringLiteral("README") << QStringLiteral("README");
        QTest::newRow("hidden name") << QStringLiteral(".png") << QStringLiteral(".png");
        QTest::newRow("upper case") << QStringLiteral("A.JPEG") << QStringLiteral("A");
        QTest::newRow("blanks kept")
            << QStringLiteral("my photo.webp") << QStringLiteral("my photo");
    }

    void baseName()
    {
        QFETCH(QString, input);
        QFETCH(QString, base);
        QCOMPARE(OutputReservation::baseName(input), base);
    }

    void firstFreeName_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        QTest::newRow("free") << QStringList{} << QStringLiteral("a.webp");
        QTest::newRow("a and a_1 taken")
            << QStringList{QStringLiteral("a.webp"), QStringLiteral("a_1.webp")}
            << QStringLiteral("a_2.webp");
        QTest::newRow("gap is reused")
            << QStringList{QStringLiteral("a.webp"), QStringLiteral("a_2.webp")}
            << QStringLiteral("a_1.webp");
        QTest::newRow("a folder counts")
            << QStringList{QStringLiteral("a.webp/")} << QStringLiteral("a_1.webp");
    }

    void firstFreeName()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        for (const QString &name : existing) {
            if (name.endsWith(QLatin1Char('/')))
                QVERIFY(QDir(dir.path()).mkdir(name));
            else
                EngineFixtures::writeBytes(dir.filePath(name), "old");
        }
        {
            OutputReservation reservation(dir.path(), QStringLiteral("a.png"));
            QVERIFY(reservation.isValid());
            QVERIFY(reservation.publish());
            QCOMPARE(reservation.path(), dir.filePath(expected));
            QVERIFY(QFileInfo(reservation.path()).isFile());
        }
        for (const QString &name : existing) {
            if (!name.endsWith(QLatin1Char('/')))
                QCOMPARE(QFileInfo(dir.filePath(name)).size(), 3);
        }
    }

    void publishedOutputStays()
    {
        QTemporaryDir dir;
        QString first;
        {
            OutputReservation reservation(dir.path(), QStringLiteral("a.png"));
            QVERIFY(reservation.publish());
            first = reservation.path();
        }
        QVERIFY(QFile::exists(first));
        OutputReservation second(dir.path(), QStringLiteral("a.jpg"));
        QVERIFY(second.publish());
        QCOMPARE(second.path(), dir.filePath(QStringLiteral("a_1.webp")));
    }

    void longNamesFit_data()
    {
        QTest::addColumn<QString>("base");
        QTest::newRow("ASCII") << QString(250, QLatin1Char('x'));
        QTest::newRow("two-byte characters") << QString(125, QChar(0x00e9));
        QTest::newRow("surrogate pairs") << QString::fromUcs4(U"\U0001F600").repeated(62);
    }

    void longNamesFit()
    {
        QFETCH(QString, base);
        QTemporaryDir dir;
        const QString input = base + QStringLiteral(".png");
        OutputReservation first(dir.path(), input);
        OutputReservation second(dir.path(), input);
        QVERIFY(first.publish());
        QVERIFY(second.publish());
        const QString name = QFileInfo(second.path()).fileName();
        QVERIFY(name.endsWith(QStringLiteral("_1.webp")));
        QVERIFY(name.toUtf8().size() <= 255);
        QVERIFY(base.startsWith(name.chopped(7)));
        QVERIFY(!name.chopped(7).back().isHighSurrogate());
    }
};

QTEST_GUILESS_MAIN(TestHostileNames)
#include "tst_hostilenames.moc"
