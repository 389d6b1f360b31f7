#include "fileintake.h"
#include "imageconverter.h"
#include "testsupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

/// Makes `entries` under `root`: "a/" a folder, "a->b" a link to b, anything else a file that
/// holds its own relative path, so that a path found can be told to lead to its own file.
void build(const QByteArray &root, const QByteArrayList &entries)
{
    for (const QByteArray &entry : entries) {
        const QByteArray path = root + '/' + entry;
        if (entry.contains("->")) {
            const QByteArrayList link = path.split('>');
            QCOMPARE(::symlink(link[1].constData(), link[0].chopped(1).constData()), 0);
        } else if (entry.endsWith('/')) {
            QCOMPARE(::mkdir(path.constData(), 0755), 0);
        } else {
            // Not through QFile: Qt cannot spell a name that is not UTF-8.
            std::ofstream(path.constData()) << entry.constData();
        }
    }
}

/// A file URL that carries the path's bytes exactly, as a file manager's drop does.
using FileIntake::urlOf;

} // namespace

class TestFileIntake : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void acceptedNames_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("accepted");
        for (const char *name : {"a.PNG", "c.JfIf", "x.tar.jpg", ".hidden.png", "h.HEIC", "k.avif"})
            QTest::newRow(name) << QByteArray(name) << true;
        for (const char *name : {"noext", "a.jpe", "a.svg", ".png", "a.png.", "a.png.txt", ""})
            QTest::addRow("no: %s", name) << QByteArray(name) << false;
    }

    void acceptedNames()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, accepted);
        QCOMPARE(FileIntake::isAccepted(name), accepted);
    }

    void walk_data()
    {
        QTest::addColumn<QByteArrayList>("entries");
        QTest::addColumn<QByteArrayList>("given");
        QTest::addColumn<QByteArray>("skip");
        QTest::addColumn<QByteArrayList>("found");
        QTest::newRow("files by name, folders walked, hidden and other types passed over")
            << QByteArrayList{"a.PNG",      "b.jpeg",          "c.txt",        "f/",
                              "f/d.tif",    "f/.e.png",        "f/sub/",       "f/sub/g.HEIC",
                              "f/.hidden/", "f/.hidden/h.png", "f/shots.png/", "f/shots.png/i.png",
                              ".j.png"}
            << QByteArrayList{"a.PNG", "b.jpeg", "c.txt", "f", ".j.png", "missing.png"}
            << QByteArray()
            << QByteArrayList{"a.PNG",        "b.jpeg", "f/d.tif",    "f/shots.png/i.png",
                              "f/sub/g.HEIC", ".j.png", "missing.png"};
        QTest::newRow("natural order, depth first")
            << QByteArrayList{"f/",           "f/x10.png",     "f/y01.png.png", "f/Zb.png",
                              "f/img_10.png", "f/b.png",       "f/img_2.png",   "f/IMG_3.png",
                              "f/img_1/",     "f/img_1/z.png", "f/aa.png",      "f/img_02.png",
                              "f/x.png.png",  "f/B.png",       "f/za.png",      "f/x9.png",
                              "f/Ab.png",     "f/y1.png",      "f/x.png",       "f/img_0.png",
                              "f/a.png"}
            << QByteArrayList{"f"} << QByteArray()
            << QByteArrayList{"f/a.png",       "f/aa.png",    "f/Ab.png",      "f/B.png",
                              "f/b.png",       "f/img_0.png", "f/img_1/z.png", "f/img_02.png",
                              "f/img_2.png",   "f/IMG_3.png", "f/img_10.png",  "f/x.png",
                              "f/x.png.png",   "f/x9.png",    "f/x10.png",     "f/y1.png",
                              "f/y01.png.png", "f/za.png",    "f/Zb.png"};
        QTest::newRow("links to folders not followed, links to files taken")
            << QByteArrayList{"f/",      "f/a.png",       "f/loop->..",         "o/",
                              "o/b.png", "f/other->../o", "f/c.png->../o/b.png"}
            << QByteArrayList{"f"} << QByteArray() << QByteArrayList{"f/a.png", "f/c.png"};
        QTest::newRow("names that are not UTF-8, each once")
            << QByteArrayList{"f/", "f/x\xff.png", "f/x\xfe.png", "y\xe9.png"}
            << QByteArrayList{"f", "y\xe9.png"} << QByteArray()
            << QByteArrayList{"f/x\xfe.png", "f/x\xff.png", "y\xe9.png"};
        QTest::newRow("output folder not entered, however spelt")
            << QByteArrayList{"f/", "f/a.png", "f/out/", "f/out/a.webp", "alias->f/out"}
            << QByteArrayList{"f"} << QByteArray("alias/.././out/") << QByteArrayList{"f/a.png"};
        QTest::newRow("output folder given directly is walked")
            << QByteArrayList{"out/", "out/a.webp"} << QByteArrayList{"out"} << QByteArray("out")
            << QByteArrayList{"out/a.webp"};
    }

    void walk()
    {
        QFETCH(QByteArrayList, entries);
        QFETCH(QByteArrayList, given);
        QFETCH(QByteArray, skip);
        QFETCH(QByteArrayList, found);
        QTemporaryDir dir;
        const QByteArray root = QFile::encodeName(dir.path());
        build(root, entries);
        QList<QUrl> locations;
        for (const QByteArray &path : given)
            locations.append(urlOf(root + '/' + path));
        const QList<QByteArray> paths =
            FileIntake::expand(locations, skip.isEmpty() ? skip : root + '/' + skip);

        QByteArrayList relative;
        for (const QByteArray &path : paths) {
            relative.append(path.sliced(root.size() + 1));
            std::string content;
            if (entries.contains(relative.last())) // its own file, not one of a similar name
                QCOMPARE(std::getline(std::ifstream(path.constData()), content) ? content : "",
                         relative.last().toStdString());
        }
        // QTemporaryDir cannot remove names that are not UTF-8.
        for (const QByteArray &entry : entries)
            ::unlink((root + '/' + entry).constData());
        QCOMPARE(relative, found);
    }

    void converterSkipsItsOutputFolderAndAppendsInCallOrder()
    {
        TemporaryPreferences prefs;
        QTemporaryDir dir;
        build(QFile::encodeName(dir.path()), {"in/", "in/a.png", "in/out/", "in/out/a.webp"});
        ImageConverter converter;
        converter.useOutputFolder(QUrl::fromLocalFile(dir.filePath(QStringLiteral("in/out"))));
        QSignalSpy changed(&converter, &ImageConverter::filesAdded);
        const QUrl single = QUrl::fromLocalFile(dir.filePath(QStringLiteral("one.jpg")));
        converter.addFiles({QUrl::fromLocalFile(dir.filePath(QStringLiteral("in")))});
        converter.addFiles({single, single});
        QVERIFY(converter.files().isEmpty()); // nothing changes before the GUI thread runs again
        QTRY_COMPARE(changed.size(), 2);
        QCOMPARE(converter.files().size(), 3);
        QCOMPARE(converter.files().at(0).fileName(), QStringLiteral("a.png"));
        QVERIFY(converter.files().at(1).id != converter.files().at(2).id);
    }
};

QTEST_GUILESS_MAIN(TestFileIntake)
#include "tst_fileintake.moc"
