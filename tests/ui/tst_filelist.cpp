#include "fileurls.h"
#include "windowharness.h"

#include <QDir>
#include <QMimeData>
#include <QTest>

using namespace Qt::StringLiterals;

class TestFileList : public QObject
{
    Q_OBJECT

    QQuickItem *item(WindowHarness &w, const char *name)
    {
        return qobject_cast<QQuickItem *>(w.find(QString::fromLatin1(name)));
    }

    /// The rows that the list has built.
    QList<QQuickItem *> rows(WindowHarness &w)
    {
        w.render();
        auto *list = w.find(QStringLiteral("fileList"));
        auto *content = list->property("contentItem").value<QQuickItem *>();
        QList<QQuickItem *> built;
        for (QQuickItem *child : content->childItems()) {
            if (child->objectName() == QStringLiteral("fileRow"))
                built.append(child);
        }
        return built;
    }

    QQuickItem *row(WindowHarness &w, const QString &fileName)
    {
        for (QQuickItem *candidate : rows(w)) {
            if (candidate->isVisible() && candidate->property("fileName").toString() == fileName)
                return candidate;
        }
        return nullptr;
    }

    /// Sends a drag carrying `mime` onto the middle of the main region, and drops it when
    /// `drop` is true; returns whether the window took the drag.
    bool drag(WindowHarness &w, QMimeData *mime, bool drop)
    {
        w.render();
        const QPoint at(w.window()->width() / 2, w.window()->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.window(), &enter);
        const bool accepted = enter.isAccepted();
        if (drop && accepted) {
            QDropEvent dropped(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(w.window(), &dropped);
        } else {
            QDragLeaveEvent leave;
            QCoreApplication::sendEvent(w.window(), &leave);
        }
        return accepted;
    }

private Q_SLOTS:
    void mainRegionSwitchesWithTheList()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QVERIFY(item(w, "dropRegion")->isVisible());
        QVERIFY(!item(w, "listRegion")->isVisible());

        QVERIFY(w.addFiles({QStringLiteral("a.png"), QStringLiteral("b.jpg")}));
        QVERIFY(!item(w, "dropRegion")->isVisible());
        QVERIFY(item(w, "listRegion")->isVisible());

        w.converter()->selectAll();
        w.click(item(w, "removeButton"));
        QCOMPARE(w.converter()->fileCount(), 0);
        QVERIFY(item(w, "dropRegion")->isVisible());

        QVERIFY(w.addFiles({QStringLiteral("c.png")}));
        w.click(item(w, "clearButton"));
        QVERIFY(item(w, "dropRegion")->isVisible());
    }

    void filesNamedOnTheCommandLineAreAdded()
    {
        QTemporaryDir folder;
        for (const char *name : {"a.png", "sub/b.jpg", "notes.txt"}) {
            QDir().mkpath(QFileInfo(folder.filePath(QLatin1String(name))).path());
            QFile file(folder.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        WindowHarness window({},
                             {QUrl::fromLocalFile(folder.filePath(QStringLiteral("a.png"))),
                              QUrl::fromLocalFile(folder.filePath(QStringLiteral("sub"))),
                              QUrl::fromLocalFile(folder.filePath(QStringLiteral("notes.txt")))});
        QVERIFY(window.isLoaded());
        QTRY_COMPARE(window.converter()->fileCount(), 2);
        QCOMPARE(window.rowValue(1, "fileName").toString(), QStringLiteral("b.jpg"));
    }

    void toolbarFollowsTheSelection()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QVERIFY(w.addFiles({QStringLiteral("a.png"), QStringLiteral("b.png")}));
        QQuickItem *count = item(w, "selectionCount");
        QQuickItem *selectAll = item(w, "selectAllButton");
        QQuickItem *remove = item(w, "removeButton");
        QCOMPARE(count->property("text").toString(), u"2/2"_s);
        QCOMPARE(selectAll->property("iconName").toString(), u"checkmark.circle.fill"_s);

        // Unchecking a row dims it and updates the toolbar at once.
        QQuickItem *b = row(w, QStringLiteral("b.png"));
        QVERIFY(b);
        w.click(b->findChild<QQuickItem *>(QStringLiteral("rowCheckbox")));
        QCOMPARE(w.rowValue(1, "isSelected").toBool(), false);
        QCOMPARE(count->property("text").toString(), u"1/2"_s);
        QCOMPARE(selectAll->property("iconName").toString(), u"circle"_s);
        QCOMPARE(b->findChild<QQuickItem *>(u"fileNameLabel"_s)->property("color"),
                 item(w, "versionLabel")->property("color"));

        w.click(selectAll);
        QCOMPARE(count->property("text").toString(), u"2/2"_s);
        QCOMPARE(selectAll->property("iconName").toString(), u"checkmark.circle.fill"_s);
        QVERIFY(remove->isEnabled());

        w.click(selectAll);
        QCOMPARE(count->property("text").toString(), u"0/2"_s);
        QVERIFY(!remove->isEnabled());
    }

    // The tooltip holds the full path and the whole error; two rows of one name show their
    // folders; the status text can be selected and copied.
    void rowsSayWhereAndWhat()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QVERIFY(QDir(w.folder()).mkpath(u"x"_s) && QDir(w.folder()).mkpath(u"y"_s));
        QVERIFY(w.addFiles({u"x/photo.jpg"_s, u"y/photo.jpg"_s}));
        w.setStatus(0, ConversionStatus::error(QStringLiteral("Could not load image")));
        const QList<QQuickItem *> built = rows(w);
        QCOMPARE(built.size(), 2);
        QStringList folders;
        for (QQuickItem *r : built)
            folders.append(
                r->findChild<QQuickItem *>(u"fileFolderLabel"_s)->property("text").toString());
        folders.sort();
        QCOMPARE(folders, QStringList({u"x/"_s, u"y/"_s}));

        QQuickItem *first = built.at(0)->property("index").toInt() == 0 ? built.at(0) : built.at(1);
        const QString tip = first->property("fullText").toString();
        QVERIFY2(tip.startsWith(w.folder() + u"/x/photo.jpg\n"_s), qPrintable(tip));
        QVERIFY(tip.contains(u"Could not load image"_s));
        auto *text = first->findChild<QQuickItem *>(QStringLiteral("statusTextField"));
        QVERIFY(text->property("readOnly").toBool() && text->property("selectByMouse").toBool());
        QMetaObject::invokeMethod(text, "selectAll");
        QCOMPARE(text->property("selectedText").toString(), u"Could not load image"_s);
    }

    // The list takes the keys of a list; its scrollbar shows whenever the rows overflow.
    void listKeys_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("current");
        QTest::newRow("down") << QList<int>{Qt::Key_Down, Qt::Key_Down} << 2;
        QTest::newRow("end") << QList<int>{Qt::Key_End} << 59;
        QTest::newRow("end, home") << QList<int>{Qt::Key_End, Qt::Key_Home} << 0;
        QTest::newRow("page down") << QList<int>{Qt::Key_PageDown} << -1;
        QTest::newRow("end, up") << QList<int>{Qt::Key_End, Qt::Key_Up} << 58;
    }
    void listKeys()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, current);
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QStringList names;
        for (int i = 0; i < 60; ++i)
            names.append(u"%1.png"_s.arg(i));
        QVERIFY(w.addFiles(names));
        QQuickItem *list = item(w, "fileList");
        list->forceActiveFocus();
        w.render();
        QCOMPARE(item(w, "fileListScrollBar")->property("policy").toInt(),
                 int(Qt::ScrollBarAlwaysOn));
        for (const int key : keys)
            w.pressKey(Qt::Key(key));
        const int pageRows = list->property("pageRows").toInt();
        QCOMPARE(list->property("currentIndex").toInt(), current >= 0 ? current : pageRows);

        // Space ticks the current row off and on.
        const int row = list->property("currentIndex").toInt();
        w.pressKey(Qt::Key_Space);
        QCOMPARE(w.rowValue(row, "isSelected").toBool(), false);
    }

    void takesOnlyDragsOfFiles_data()
    {
        QTest::addColumn<bool>("ontoList");
        QTest::newRow("drop zone") << false;
        QTest::newRow("list") << true;
    }
    void takesOnlyDragsOfFiles()
    {
        QFETCH(bool, ontoList);
        WindowHarness w;
        QVERIFY(w.isLoaded());
        if (ontoList)
            QVERIFY(w.addFiles({QStringLiteral("first.png")}));
        const qint64 before = w.converter()->fileCount();

        QMimeData text;
        text.setText(QStringLiteral("hello"));
        QVERIFY(!drag(w, &text, true));
        QMimeData link;
        link.setUrls({QUrl(QStringLiteral("https://example.org/a.png"))});
        QVERIFY(!drag(w, &link, true));
        QCOMPARE(w.contentView()->property("isDragOver").toBool(), false);

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(w.folder() + QStringLiteral("/dropped.png"))});
        QVERIFY(drag(w, &files, false));
        QVERIFY(drag(w, &files, true));
        QCOMPARE(w.contentView()->property("isDragOver").toBool(), false);
        QTRY_COMPARE(w.converter()->fileCount(), before + 1);
        QCOMPARE(w.rowValue(int(w.converter()->fileCount()) - 1, "fileName").toString(),
                 u"dropped.png"_s);
    }

    void dragHighlightsTheDropZone()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(w.folder() + QStringLiteral("/x.png"))});
        w.render();
        const QPoint at(w.window()->width() / 2, w.window()->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.window(), &enter);
        QVERIFY(w.contentView()->property("isDragOver").toBool());
        QCOMPARE(item(w, "dropZone")->property("lineWidth").toDouble(), 2.5);
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(w.window(), &leave);
        QVERIFY(!w.contentView()->property("isDragOver").toBool());
        QCOMPARE(item(w, "dropZone")->property("lineWidth").toDouble(), 1.5);
    }

    // The output chooser opens at the current output folder (Pictures before there is one)
    // and chooses the folder it shows, even an empty one; the button shows the folder's name
    // and has its full path as tooltip.
    void outputFolderButtonChoosesTheShownFolder()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QQuickItem *label = item(w, "outputFolderLabel");
        QCOMPARE(label->property("text").toString(), u"Set output folder"_s);
        QObject *chooser = w.find(u"fileChooser"_s);
        w.click(item(w, "outputFolderButton"));
        QTRY_VERIFY(chooser->property("opened").toBool());
        QCOMPARE(chooser->property("currentFolder").toUrl(), FileUrls::picturesFolder());

        const QString name = QStringLiteral("Exports for the spring catalogue of the year 2025");
        QVERIFY(QDir(w.folder()).mkpath(name));
        QMetaObject::invokeMethod(chooser, "openFolder",
                                  Q_ARG(QVariant, QUrl::fromLocalFile(w.folder() + u'/' + name)));
        w.click(item(w, "chooserAccept"));
        QCOMPARE(label->property("text").toString(), name);
        QCOMPARE(item(w, "outputFolderButton")->property("toolTip").toString(),
                 w.folder() + u'/' + name);
        w.render();
        QCOMPARE(label->width(), 160.0);
        QVERIFY(label->property("truncated").toBool());

        QTRY_VERIFY(!chooser->property("visible").toBool());
        w.click(item(w, "outputFolderButton"));
        QTRY_VERIFY(chooser->property("opened").toBool());
        QCOMPARE(chooser->property("currentFolder").toUrl(),
                 QUrl::fromLocalFile(w.folder() + u'/' + name));
    }

    void longListsBuildOnlyTheRowsInView()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QVERIFY(w.addFiles({QStringLiteral("first.png")}));
        w.appendMany(100000);
        w.render();
        QCOMPARE(item(w, "fileList")->property("count").toInt(), 100001);
        const qsizetype built = rows(w).size();
        QVERIFY(built > 0);
        QVERIFY(built < 100);
    }
};

QTEST_MAIN(TestFileList)
#include "tst_filelist.moc"
