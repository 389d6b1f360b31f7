#include "fileintake.h"
#include "imageconverter.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QStringList names(const QList<QUrl> &urls, const QString &root)
{
    QStringList result;
    for (const QUrl &url : urls)
        result.append(QDir(root).relativeFilePath(url.toLocalFile()));
    return result;
}

} // namespace

class TestFileIntake : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void acceptedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        const QStringList yes{
            QStringLiteral("a.png"),     QStringLiteral("a.PNG"),      QStringLiteral("b.jpeg"),
            QStringLiteral("c.JfIf"),    QStringLiteral("d.tif"),      QStringLiteral("e.tiff"),
            QStringLiteral("f.webp"),    QStringLiteral("g.bmp"),      QStringLiteral("h.HEIC"),
            QStringLiteral("i.heif"),    QStringLiteral("j.gif"),      QStringLiteral("k.avif"),
            QStringLiteral("x.tar.jpg"), QStringLiteral(".hidden.png")};
        for (const QString &name : yes)
            QTest::newRow(qPrintable(name)) << name << true;
        const QStringList no{
            QStringLiteral("noext"),     QStringLiteral("a.jpe"),  QStringLiteral("a.jp2"),
            QStringLiteral("a.svg"),     QStringLiteral(".png"),   QStringLiteral("a.png."),
            QStringLiteral("a.png.txt"), QStringLiteral("a. png"), QString()};
        for (const QString &name : no)
            QTest::newRow(qPrintable(QStringLiteral("no: ") + name)) << name << false;
    }

    void acceptedNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QCOMPARE(FileIntake::isAccepted(name), accepted);
    }

    void mixedLocations()
    {
        QTemporaryDir root;
        const QString r = root.path();
        for (const char *name :
             {"a.PNG", "b.jpeg", "c.txt", "folder/d.tif", "folder/.e.png", "folder/sub/f.HEIC",
              "folder/.hidden/g.png", "folder/h.txt", "folder/shots.png/i.png", ".j.png"})
            touch(r + QLatin1Char('/') + QLatin1String(name));
        // A link loop and a link to another folder are not followed.
        QVERIFY(QFile::link(r + QStringLiteral("/folder"), r + QStringLiteral("/folder/sub/loop")));
        touch(r + QStringLiteral("/elsewhere/k.png"));
        QVERIFY(
            QFile::link(r + QStringLiteral("/elsewhere"), r + QStringLiteral("/folder/linked")));

        const QList<QUrl> given{QUrl::fromLocalFile(r + QStringLiteral("/a.PNG")),
                                QUrl::fromLocalFile(r + QStringLiteral("/b.jpeg")),
                                QUrl::fromLocalFile(r + QStringLiteral("/c.txt")),
                                QUrl::fromLocalFile(r + QStringLiteral("/folder")),
                                QUrl::fromLocalFile(r + QStringLiteral("/.j.png")),
                                QUrl::fromLocalFile(r + QStringLiteral("/missing.png")),
                                QUrl(QStringLiteral("https://example.org/remote.png"))};
        const QStringList found = names(FileIntake::expand(given), r);

        QCOMPARE(found.mid(0, 2), (QStringList{QStringLiteral("a.PNG"), QStringLiteral("b.jpeg")}));
        QCOMPARE(found.mid(found.size() - 2),
                 (QStringList{QStringLiteral(".j.png"), QStringLiteral("missing.png")}));
        QStringList walked = found.mid(2, found.size() - 4);
        walked.sort();
        QCOMPARE(walked, (QStringList{QStringLiteral("folder/d.tif"),
                                      QStringLiteral("folder/shots.png/i.png"),
                                      QStringLiteral("folder/sub/f.HEIC")}));
    }

    void converterAppendsInCallOrderOnceEach()
    {
        TemporaryPreferences prefs;
        QTemporaryDir root;
        for (int i = 0; i < 300; ++i)
            touch(root.filePath(QStringLiteral("big/%1.png").arg(i)));
        ImageConverter converter;
        QSignalSpy changed(&converter, &ImageConverter::filesAdded);
        const QUrl single = QUrl::fromLocalFile(root.filePath(QStringLiteral("one.jpg")));
        converter.addFiles({QUrl::fromLocalFile(root.filePath(QStringLiteral("big")))});
        converter.addFiles({single, single});
        converter.addFiles({});
        QVERIFY(converter.files().isEmpty()); // nothing changes before the GUI thread runs again
        QTRY_COMPARE(changed.size(), 3);
        QCOMPARE(converter.files().size(), 302);
        QCOMPARE(converter.files().at(300).displayPath(), single.toLocalFile());
        QVERIFY(converter.files().at(300).id != converter.files().at(301).id);
        QVERIFY(converter.allSelected());
    }
};

QTEST_GUILESS_MAIN(TestFileIntake)
#include "tst_fileintake.moc"
