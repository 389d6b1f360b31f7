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

QByteArrayList bytesOf(const QString &field)
{
    QByteArrayList list;
    for (const QString &item : field.split(u' ', Qt::SkipEmptyParts))
        list.append(QByteArray::fromPercentEncoding(item.toUtf8()));
    return list;
}

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

} // namespace

class TestFileIntake : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void acceptedNames_data() { addRowsFrom("intake-names.txt", {"name", "accepted"}); }

    void acceptedNames()
    {
        const auto [name, accepted] = fields("name", "accepted");
        QCOMPARE(FileIntake::isAccepted(name.toUtf8()), accepted == u"yes");
    }

    void pathOfLocation_data() { addRowsFrom("intake-urls.txt", {"url", "path"}); }

    void pathOfLocation()
    {
        const auto [url, path] = fields("url", "path");
        const QByteArray bytes = QByteArray::fromPercentEncoding(path.toUtf8());
        QCOMPARE(FileIntake::pathOf(QUrl(url)), bytes);
        if (path.startsWith(u"/a"))
            QCOMPARE(FileIntake::pathOf(FileIntake::urlOf(bytes)), bytes);
    }

    void walk_data() { addRowsFrom("intake-walks.txt", {"entries", "given", "skip", "found"}); }

    void walk()
    {
        const auto [entries, given, skip, found] = fields("entries", "given", "skip", "found");
        const QByteArrayList made = bytesOf(entries);
        QTemporaryDir dir;
        const QByteArray root = QFile::encodeName(dir.path());
        build(root, made);
        QList<QUrl> locations;
        for (const QByteArray &path : bytesOf(given))
            locations.append(FileIntake::urlOf(root + '/' + path));
        const QList<FileIntake::Found> images = FileIntake::expand(
            locations, skip.isEmpty() ? QByteArray() : root + '/' + skip.toUtf8());

        // Each path below the root, followed by "[its sub-folder]" when that is not the path's
        // own folder.
        QByteArrayList relative;
        for (const auto &[path, subfolder] : images) {
            relative.append(path.sliced(root.size() + 1));
            std::string content;
            if (made.contains(relative.last())) // its own file, not one of a similar name
                QCOMPARE(std::getline(std::ifstream(path.constData()), content) ? content : "",
                         relative.last().toStdString());
            const qsizetype slash = relative.last().lastIndexOf('/');
            if (subfolder != relative.last().first(std::max<qsizetype>(slash, 0)))
                relative.last() += '[' + subfolder + ']';
        }
        // QTemporaryDir cannot remove names that are not UTF-8.
        for (auto entry = made.crbegin(); entry != made.crend(); ++entry)
            (entry->endsWith('/') ? ::rmdir : ::unlink)((root + '/' + *entry).constData());
        QCOMPARE(relative, bytesOf(found));
    }

    /// The converter's walks: its output folder skipped, appended in the order of the calls,
    /// stopped by Stop.
    void converterSkipsItsOutputFolderAndAppendsInCallOrder()
    {
        TemporaryPreferences prefs;
        QTemporaryDir dir;
        build(QFile::encodeName(dir.path()), {"in/", "in/a.png", "in/out/", "in/out/a.webp"});
        ImageConverter converter;
        converter.outputFolder()->use(QUrl::fromLocalFile(dir.filePath(QStringLiteral("in/out"))));
        QSignalSpy changed(&converter, &ImageConverter::filesAdded);
        const QUrl single = QUrl::fromLocalFile(dir.filePath(QStringLiteral("one.jpg")));
        converter.addFiles({QUrl::fromLocalFile(dir.filePath(QStringLiteral("in")))});
        converter.addFiles({single, single});
        QVERIFY(converter.files().isEmpty()); // nothing changes before the GUI thread runs again
        QTRY_COMPARE(changed.size(), 2);
        QCOMPARE(converter.files().size(), 2); // a file given twice is listed once
        QCOMPARE(converter.files().at(0).fileName(), QStringLiteral("a.png"));
        QCOMPARE(converter.files().at(1).fileName(), QStringLiteral("one.jpg"));
        // Where each was found survives a removal and its undo.
        converter.clearAll();
        converter.undo();
        QCOMPARE(converter.files().at(0).subfolder, QByteArray("in"));
        QCOMPARE(converter.files().at(1).subfolder, QByteArray());

        // Stop ends the walks under way or waiting, each appending what it found; the next walk
        // is not stopped.
        const std::atomic<bool> stop(true);
        QVERIFY(FileIntake::expand({QUrl::fromLocalFile(dir.path())}, {}, &stop).isEmpty());
        build(QFile::encodeName(dir.path()), {"more/", "more/b.png", "more/c.png"});
        const auto named = [&](const char *name) {
            return QUrl::fromLocalFile(dir.filePath(QLatin1String(name)));
        };
        QSignalSpy adding(&converter, &ImageConverter::addingChanged);
        converter.addFiles({named("more")});
        converter.addFiles({named("more")});
        QVERIFY(converter.isAdding() && !converter.canConvert());
        QCOMPARE(converter.convertBlocker(), QStringLiteral("Adding files\u2026"));
        converter.stop();
        QTRY_COMPARE(changed.size(), 4);
        QVERIFY(!converter.isAdding());
        QCOMPARE(adding.size(), 2);
        const qsizetype kept = converter.files().size();
        QVERIFY(kept <= 4);
        converter.addFiles({named("d.jpg")});
        QTRY_COMPARE(changed.size(), 5);
        QCOMPARE(converter.files().size(), kept + 1);
        converter.stopAdding(); // nothing to stop: the next walk is not stopped either
        converter.addFiles({named("e.jpg")});
        QTRY_COMPARE(changed.size(), 6);
        QCOMPARE(converter.files().size(), kept + 2);
    }
};

QTEST_GUILESS_MAIN(TestFileIntake)
#include "tst_fileintake.moc"
