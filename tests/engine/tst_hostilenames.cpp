#include "enginefixtures.h"
#include "fileconverter.h"
#include "fileintake.h"
#include "vipsruntime.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <dirent.h>
#include <unistd.h>

namespace {

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

/// Converts the file at `path` as a run does.
ConversionStatus convert(const QByteArray &path, const ConversionJob &job)
{
    return FileConverter::convert(path, job, RunFlags());
}

} // namespace

/// Names that trip up careless code, from the folder walk to the output: each input converts
/// once, from its own file, to an output named after it within the file system's 255 bytes.
class TestHostileNames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(VipsRuntime::ensureStarted()); }

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
            const ConversionStatus status = convert(path, EngineFixtures::job(out.path()));
            QVERIFY2(status.kind() == ConversionStatus::Kind::done, qPrintable(status.message()));
            widths.insert(EngineFixtures::readBack(status.outputPath()).width());
        }
        for (const QByteArray &name : inputs) // QTemporaryDir cannot remove them itself
            ::unlink((folder + '/' + name).constData());

        QCOMPARE(found.size(), inputs.size());
        QCOMPARE(rawEntries(QFile::encodeName(out.path())), outputs);
        QCOMPARE(widths.size(), inputs.size());
    }
};

QTEST_GUILESS_MAIN(TestHostileNames)
#include "tst_hostilenames.moc"
