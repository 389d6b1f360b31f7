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
        QCOMPARE(window.converter()->files().at(1).fileName(), QStringLiteral("b.jpg"));
    }

    void fileChooserShowsTheFolderItOpens()
    {
        WindowHarness window;
        QVERIFY(window.isLoaded());
        QVERIFY(QDir(window.folder()).mkpath(QStringLiteral("holiday")));
        QObject *chooser = window.find(QStringLiteral("fileChooser"));
        QVERIFY(chooser);
        const QUrl folder = QUrl::fromLocalFile(window.folder() + QStringLiteral("/holiday"));
        QMetaObject::invokeMethod(chooser, "openFolder", Q_ARG(QVariant, QVariant(folder)));
        QCOMPARE(window.find(QStringLiteral("fileChooserPath"))->property("text").toString(),
                 folder.toLocalFile());
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
        QCOMPARE(w.converter()->files().at(1).isSelected, false);
        QCOMPARE(count->property("text").toString(), u"1/2"_s);
        QCOMPARE(selectAll->property("iconName").toString(), u"circle"_s);
        QCOMPARE(b->opacity(), 0.45);
        QCOMPARE(row(w, QStringLiteral("a.png"))->opacity(), 1.0);

        w.click(selectAll);
        QCOMPARE(count->property("text").toString(), u"2/2"_s);
        QCOMPARE(selectAll->property("iconName").toString(), u"checkmark.circle.fill"_s);
        QCOMPARE(b->opacity(), 1.0);
        QVERIFY(remove->isEnabled());

        w.click(selectAll);
        QCOMPARE(count->property("text").toString(), u"0/2"_s);
        QVERIFY(!remove->isEnabled());
    }

    void statusTextIsSelectable()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QVERIFY(w.addFiles({QStringLiteral("a.png")}));
        w.converter()->fileModel()->setStatus(
            w.converter()->files().at(0).id,
            ConversionStatus::error(QStringLiteral("Could not load image")));
        QQuickItem *a = row(w, QStringLiteral("a.png"));
        QVERIFY(a);
        auto *text = a->findChild<QQuickItem *>(QStringLiteral("statusTextField"));
        QVERIFY(text);
        QCOMPARE(text->property("text").toString(), u"Could not load image"_s);
        QVERIFY(text->property("readOnly").toBool());
        QVERIFY(text->property("selectByMouse").toBool());
        QMetaObject::invokeMethod(text, "selectAll");
        QCOMPARE(text->property("selectedText").toString(), u"Could not load image"_s);
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
        QCOMPARE(w.converter()->files().last().fileName(), u"dropped.png"_s);
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

    void outputFolderButtonShowsTheFolderName()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QQuickItem *label = item(w, "outputFolderLabel");
        QCOMPARE(label->property("text").toString(), u"Set output folder"_s);

        // The folder chooser is stood in for by answering its request.
        const QString name = QStringLiteral("Exports for the spring catalogue of the year 2025");
        QObject::connect(
            w.converter(), &ImageConverter::outputFolderChooserRequested, w.converter(), [&] {
                w.converter()->setChosenOutputFolder(QUrl::fromLocalFile(w.folder() + u'/' + name));
            });
        w.click(item(w, "outputFolderButton"));
        QCOMPARE(label->property("text").toString(), name);
        w.render();
        QCOMPARE(label->width(), 160.0);
        QVERIFY(label->property("truncated").toBool());
    }

    void longListsBuildOnlyTheRowsInView()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QVERIFY(w.addFiles({QStringLiteral("first.png")}));
        QList<FileItem> many;
        many.reserve(100000);
        for (int i = 0; i < 100000; ++i)
            many.append(FileItem::make("/images/" + QByteArray::number(i) + ".png"));
        w.converter()->fileModel()->append(many);
        w.render();
        QCOMPARE(item(w, "fileList")->property("count").toInt(), 100001);
        const qsizetype built = rows(w).size();
        QVERIFY(built > 0);
        QVERIFY(built < 100);
    }
};

QTEST_MAIN(TestFileList)
#include "tst_filelist.moc"
