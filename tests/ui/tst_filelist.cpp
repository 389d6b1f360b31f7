#include "windowharness.h"

#include <QKeySequence>
#include <QMimeData>
#include <QTest>

using namespace Qt::StringLiterals;

class TestFileList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The rows and the toolbar follow the list and its selection; unticked rows are dimmed.
    void listFollowsTheSelection()
    {
        WindowHarness w;
        QVERIFY(w.addFiles({u"x/photo.jpg"_s, u"y/photo.jpg"_s}));
        QVERIFY(!w.item(u"dropRegion"_s)->isVisible() && w.item(u"listRegion"_s)->isVisible());
        w.click(w.row(1, u"rowCheckbox"_s));
        QCOMPARE(w.text(u"selectionCount"_s), u"1/2"_s);
        QCOMPARE(w.row(1, u"fileNameLabel"_s)->property("color"),
                 w.item(u"versionLabel"_s)->property("color"));
        QQuickItem *selectAll = w.item(u"selectAllButton"_s);
        w.click(selectAll);
        QCOMPARE(w.converter()->fileModel()->selectedCount(), 2);
        w.click(selectAll);
        QCOMPARE(w.converter()->fileModel()->selectedCount(), 0);
        QVERIFY(!w.item(u"removeButton"_s)->isEnabled());
    }

    // A done row names its output and gives both sizes alike; a failed row keeps its message
    // and tells the reason in words in its tooltip, which holds its path too. Two rows of one
    // name show their folders; a status text cannot be edited.
    void rowTexts_data()
    {
        addRowsFrom("window-row-texts.txt",
                    {"kind", "text", "extra", "inputSize", "statusText", "outputName", "tip"});
    }
    void rowTexts()
    {
        const auto [kind, text, extra, inputSize, statusText, outputName, tip] =
            fields("kind", "text", "extra", "inputSize", "statusText", "outputName", "tip");
        WindowHarness w;
        QVERIFY(w.addFiles({u"x/photo.jpg"_s, u"y/photo.jpg"_s}));
        const ConversionStatus status = kind == u"done"
                                            ? ConversionStatus::done(text, extra.toLongLong())
                                            : ConversionStatus::error(text, extra);
        w.converter()->fileModel()->setStatus(w.converter()->files().at(0).id, status,
                                              inputSize.toLongLong());
        QCOMPARE(w.row(0, u"statusTextField"_s)->property("text").toString(), statusText);
        QVERIFY(w.row(0, u"statusTextField"_s)->property("readOnly").toBool());
        QCOMPARE(w.row(0, u"outputNameLabel"_s)->isVisible(), !outputName.isEmpty());
        QCOMPARE(w.row(0, u"outputNameLabel"_s)->property("text").toString(), outputName);
        QCOMPARE(w.row(0)->property("fullText").toString(), w.folder() + u"/x/photo.jpg\n"_s + tip);
        QCOMPARE(w.row(0, u"fileFolderLabel"_s)->property("text").toString(), u"x/"_s);
        QCOMPARE(w.row(1, u"fileFolderLabel"_s)->property("text").toString(), u"y/"_s);
    }

    // A path already in the list is not added again; the notice says how many were there.
    void addsEachFileOnce_data()
    {
        addRowsFrom("window-additions.txt", {"calls", "rows", "notice"});
    }
    void addsEachFileOnce()
    {
        const auto [calls, rows, notice] = fields("calls", "rows", "notice");
        WindowHarness w;
        QVERIFY(
            !touch(w.folder(), {u"sub/anim.gif"_s, u"sub/still.png"_s, u"last.png"_s}).isEmpty());
        // Walks end in the order of their calls: once the last call's file is in, all are.
        for (const QString &call : calls.split(u';') + QStringList{u"last.png"_s}) {
            QList<QUrl> urls;
            for (const QString &name : call.split(u' ', Qt::SkipEmptyParts))
                urls.append(QUrl::fromLocalFile(w.folder() + u'/' + name));
            w.converter()->addFiles(urls);
        }
        QTRY_VERIFY(!w.converter()->files().isEmpty() &&
                    w.converter()->files().last().fileName() == u"last.png"_s);
        w.converter()->fileModel()->removeIf(
            [](const FileItem &item) { return item.fileName() == u"last.png"_s; });
        QStringList names;
        for (const FileItem &item : w.converter()->files())
            names.append(item.fileName());
        QCOMPARE(names.join(u' '), rows);
        QCOMPARE(w.notice(), notice);
    }

    // The list takes the keys of a list; its scrollbar shows whenever the rows overflow.
    void listKeys_data() { addRowsFrom("window-list-keys.txt", {"keys", "current", "focus"}); }
    void listKeys()
    {
        const auto [keys, current, focus] = fields("keys", "current", "focus");
        WindowHarness w;
        QStringList names;
        for (int i = 0; i < 60; ++i)
            names.append(u"%1.png"_s.arg(i));
        QVERIFY(w.addFiles(names));
        auto *list = qobject_cast<QQuickItem *>(w.item(u"fileList"_s));
        list->forceActiveFocus(Qt::TabFocusReason);
        w.render();
        QCOMPARE(w.item(u"fileListScrollBar"_s)->property("policy").toInt(),
                 int(Qt::ScrollBarAlwaysOn));
        for (const QString &step : keys.split(u' ')) {
            const QStringList parts = step.split(u'*');
            const QKeyCombination key = QKeySequence::fromString(parts[0])[0];
            for (int i = 0; i < (parts.size() > 1 ? parts[1].toInt() : 1); ++i)
                w.pressKey(key.key(), key.keyboardModifiers());
        }
        const int row = current == u"page" ? list->property("pageRows").toInt() : current.toInt();
        QCOMPARE(list->property("currentIndex").toInt(), row);
        // The current row is scrolled into view.
        const auto *item = list->property("currentItem").value<QQuickItem *>();
        QVERIFY(item);
        const qreal top = list->property("contentY").toReal();
        QVERIFY2(
            item->y() >= top && item->y() + item->height() <= top + list->height(),
            qPrintable(u"row at %1, view %2 + %3"_s.arg(item->y()).arg(top).arg(list->height())));
        // No button in a row takes the keyboard from the list.
        const QQuickItem *focused = w.window()->activeFocusItem();
        const bool inList = focused == list || list->isAncestorOf(focused);
        QCOMPARE(inList, focus != u"left");
        QVERIFY(!inList || !focused->inherits("QQuickAbstractButton"));
        if (inList)
            w.pressKey(Qt::Key_Space);
        QCOMPARE(w.rowValue(row, "isSelected").toBool(), !inList);
    }

    // Only drags of local files are taken, on the drop zone and on the list alike; while one
    // is over the window the drop zone shows it.
    void takesOnlyDragsOfFiles_data() { addRowsFrom("window-drags.txt", {"kind", "onto"}); }
    void takesOnlyDragsOfFiles()
    {
        const auto [kind, onto] = fields("kind", "onto");
        WindowHarness w;
        if (onto == u"list")
            QVERIFY(w.addFiles({u"first.png"_s}));
        const qint64 before = w.converter()->fileModel()->fileCount();
        QMimeData mime;
        if (kind == u"text")
            mime.setText(u"hello"_s);
        else
            mime.setUrls({kind == u"link" ? QUrl(u"https://example.org/a.png"_s)
                                          : QUrl::fromLocalFile(w.folder() + u"/dropped.png"_s)});
        const bool file = kind == u"file";
        w.render();
        const QPoint at(w.window()->width() / 2, w.window()->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.window(), &enter);
        QCOMPARE(enter.isAccepted(), file);
        QCOMPARE(w.contentView()->property("isDragOver").toBool(), file);
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(w.window(), file ? static_cast<QEvent *>(&drop) : &leave);
        QCOMPARE(w.contentView()->property("isDragOver").toBool(), false);
        QTRY_COMPARE(w.converter()->fileModel()->fileCount(), before + (file ? 1 : 0));
        if (file)
            QCOMPARE(w.rowValue(int(before), "fileName").toString(), u"dropped.png"_s);
    }

    void longListsBuildOnlyTheRowsInView()
    {
        WindowHarness w;
        QList<FileItem> many;
        for (int i = 0; i < 100000; ++i)
            many.append(FileItem::make("/images/" + QByteArray::number(i) + ".png"));
        w.converter()->fileModel()->append(many);
        w.render();
        const auto built =
            w.item(u"fileList"_s)->property("contentItem").value<QQuickItem *>()->childItems();
        QVERIFY(!built.isEmpty() && built.size() < 100);
    }
};

QTEST_MAIN(TestFileList)
#include "tst_filelist.moc"
