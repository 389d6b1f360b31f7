#include "convertersettings.h"
#include "displaytext.h"
#include "localfiles.h"
#include "places.h"
#include "status.h"
#include "windowharness.h"

#include <QGuiApplication>
#include <QImage>
#include <QJSValue>
#include <QKeySequence>
#include <QQmlExpression>
#include <QScopeGuard>
#include <QTest>

#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// WCAG 2 contrast, computed here independently of the window's own helper.
double contrast(const QColor &text, const QColor &back)
{
    // The text's alpha blends it over the background first.
    auto channel = [a = text.alphaF()](double t, double b) {
        const double v = t * a + b * (1 - a);
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const double x = 0.2126 * channel(text.redF(), back.redF()) +
                     0.7152 * channel(text.greenF(), back.greenF()) +
                     0.0722 * channel(text.blueF(), back.blueF());
    const double y = 0.2126 * channel(back.redF(), back.redF()) +
                     0.7152 * channel(back.greenF(), back.greenF()) +
                     0.0722 * channel(back.blueF(), back.blueF());
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

    /// One file listed, a preset and a folder chosen, and a stand-in encoder that touches
    /// "<go>.started" and then waits for the go-ahead file `go` (returned; empty when the file did
    /// not arrive in the list) before it fails.
    static QString prepareHeldRun(WindowHarness &w)
    {
        const QString go = w.folder() + u"/go"_s;
        QImage(8, 8, QImage::Format_RGB32).save(w.folder() + u"/a.png"_s);
        const QString encoder = script(
            w.folder(), u"cwebp"_s,
            u"touch '%1.started'\nwhile [ ! -e '%1' ]; do sleep 0.02; done\nexit 1"_s.arg(go));
        w.converter()->addFiles({QUrl::fromLocalFile(w.folder() + u"/a.png"_s)});
        if (!QTest::qWaitFor([&] { return w.converter()->fileModel()->fileCount() == 1; }))
            return {};
        w.converter()->settingsStore()->selectOriginalPreset();
        w.chooseOutputFolder();
        w.converter()->setEncoderLocator([encoder] { return std::optional<QString>(encoder); });
        return go;
    }

private Q_SLOTS:
    // Every text the window draws, in the Theme's colours or the style's, reaches WCAG AA on
    // the surface under it, in a light and a dark palette.
    void textsAreReadable_data()
    {
        addRowsFrom("window-contrast.txt", {"object", "set", "text", "background"});
    }
    void textsAreReadable()
    {
        const auto [object, set, text, background] = fields("object", "set", "text", "background");
        const QPalette light = QGuiApplication::palette();
        const auto restore = qScopeGuard([&] { QGuiApplication::setPalette(light); });
        for (const QPalette &palette : {light, WindowHarness::darkPalette()}) {
            QGuiApplication::setPalette(palette);
            WindowHarness w;
            w.converter()->settingsStore()->addPreset(u"HD"_s, 1920, 1080);
            QVERIFY(!touch(w.folder(), {u"a.png"_s}).isEmpty());
            QObject *chooser = w.find(u"fileChooser"_s);
            QMetaObject::invokeMethod(chooser, "openFor", Q_ARG(QVariant, 0),
                                      Q_ARG(QVariant, QUrl::fromLocalFile(w.folder())));
            QQuickItem *entries = w.item(u"fileChooserEntries"_s);
            QQuickItem *places = w.item(u"chooserPlaces"_s);
            QTRY_COMPARE(entries->property("count").toInt(), 1);
            QTRY_VERIFY(places->property("count").toInt() > 0);
            w.render();
            QObject *scope =
                object == u"chooserRow"     ? WindowHarness::itemAt(entries, 0, "itemAtIndex")
                : object == u"chooserPlace" ? WindowHarness::itemAt(places, 0, "itemAtIndex")
                                            : w.find(object);
            QVERIFY(scope);
            if (QObject *popup = set.isEmpty() ? nullptr : w.find(set))
                QVERIFY(w.open(popup));
            else if (!set.isEmpty())
                scope->setProperty(set.toLatin1(), true);
            auto colour = [&](const QString &expression) {
                QQmlExpression read(qmlContext(scope), scope, expression);
                return read.evaluate().value<QColor>();
            };
            const QColor fore = colour(text);
            const QColor back = colour(background);
            QVERIFY(fore.isValid() && back.isValid());
            const double ratio = contrast(fore, back);
            QVERIFY2(ratio >= 4.5,
                     qPrintable(QString::asprintf("%s on %s in %s: %.2f", qPrintable(fore.name()),
                                                  qPrintable(back.name()),
                                                  palette == light ? "light" : "dark", ratio)));
        }
    }

    // The window opens where it was left, with the image files named on the command line (a
    // folder's included), and remembers where it is.
    void startsAsLeftWithTheNamedFiles()
    {
        QTemporaryDir folder;
        QList<QUrl> named = touch(folder.path(), {u"a.png"_s, u"sub/b.jpg"_s, u"notes.txt"_s});
        QCOMPARE(named.size(), 3);
        named[1] = QUrl::fromLocalFile(folder.filePath(u"sub"_s)); // the folder, not its file
        const QVariantMap geometry{{u"rect"_s, QRect(40, 30, 900, 700)}, {u"maximized"_s, false}};
        WindowHarness w({{u"windowGeometry"_s, geometry}}, named);
        QCOMPARE(w.window()->size(), QSize(900, 700));
        QTRY_COMPARE(w.converter()->fileModel()->fileCount(), 2);
        QCOMPARE(w.rowValue(1, "fileName").toString(), u"b.jpg"_s);
        w.window()->resize(800, 600);
        QTRY_COMPARE(
            w.preferences().value(u"windowGeometry"_s).toMap().value(u"rect"_s).toRect().size(),
            QSize(800, 600));
        // The converter's own keys are left as they are.
        QVERIFY(!w.preferences().value(u"converterSettingsV5"_s).isValid());
    }

    // Delete and Backspace remove the focused row, "−" the checked rows; each removal, of
    // files or of a preset, is a step that Ctrl+Z or the notice's Undo takes back, newest
    // first, and Ctrl+Shift+Z or Ctrl+Y does again. The last run's summary shows while one of
    // its files is in the list. A click on empty space or Escape leaves an entry field, so that
    // Ctrl+A then selects the files.
    void removalsCanBeUndone_data()
    {
        addRowsFrom("window-removals.txt", {"steps", "rows", "presets", "notice", "summary"});
    }
    void removalsCanBeUndone()
    {
        const auto [steps, rows, presets, notice, summary] =
            fields("steps", "rows", "presets", "notice", "summary");
        WindowHarness w;
        QVERIFY(w.addFiles({u"a.png"_s, u"b.png"_s, u"c.png"_s, u"d.png"_s}));
        w.setSelected(1, false);
        w.converter()->settingsStore()->addPreset(u"HD"_s, 1920, 1080);
        w.converter()->settingsStore()->addPreset(u"Web"_s, 1200, 800);
        w.chooseOutputFolder();
        w.converter()->setEncoderLocator([] { return std::optional<QString>(u"/bin/true"_s); });
        w.converter()->convertAll(); // the empty files fail at once
        QTRY_VERIFY(!w.converter()->isConverting());
        QVERIFY(w.item(u"summaryLabel"_s)->isVisible());
        for (const QString &step : steps.split(u' ')) {
            if (step.startsWith(u"row:"_s)) {
                w.click(w.row(step.mid(4).toInt(), u"fileNameLabel"_s));
            } else if (step == u"blank") {
                QTest::mouseClick(w.window(), Qt::LeftButton, {},
                                  QPoint(w.window()->width() / 2, w.window()->height() - 80));
            } else if (step == u"preset") {
                w.converter()->removePreset(w.converter()->settings().presets.first().id);
            } else if (w.item(step)) {
                w.click(w.item(step));
            } else {
                const QKeyCombination key = QKeySequence::fromString(step)[0];
                w.pressKey(key.key(), key.keyboardModifiers());
            }
        }
        QStringList shown;
        for (const FileItem &item : w.converter()->files())
            shown.append(item.fileName().chopped(4) + (item.isSelected ? u""_s : u"-"_s));
        QCOMPARE(shown.join(u' '), rows);
        QCOMPARE(w.converter()->settings().presets.size(), presets.toInt());
        QCOMPARE(w.notice(), notice);
        QCOMPARE(w.item(u"summaryLabel"_s)->isVisible(), summary == u"yes");
    }

    // The output chooser opens at the current output folder (Pictures before there is one),
    // takes a typed path, makes a new folder and chooses the folder it shows, even an empty
    // one; the button then shows the folder's name with its full path as tooltip.
    void choosersWork()
    {
        WindowHarness w;
        QVERIFY(
            !touch(w.folder(), {u"Album 1/x.png"_s, u"img10.png"_s, u"img2.png"_s, u"notes.txt"_s})
                 .isEmpty());
        QObject *chooser = w.find(u"fileChooser"_s);
        QQuickItem *button = w.item(u"outputFolderButton"_s);
        const QUrl webp = QUrl::fromLocalFile(w.folder() + u"/Album 1/WebP"_s);
        w.click(button);
        QTRY_VERIFY(chooser->property("opened").toBool());
        QCOMPARE(chooser->property("currentFolder").toUrl(), LocalFiles::picturesFolder());
        w.typeInto(w.item(u"fileChooserPath"_s), w.folder() + u"/Album 1"_s);
        w.pressKey(Qt::Key_Return);
        QCOMPARE(chooser->property("currentFolder").toUrl(),
                 webp.adjusted(QUrl::RemoveFilename | QUrl::StripTrailingSlash));
        w.click(w.item(u"newFolderButton"_s));
        w.typeInto(w.item(u"newFolderName"_s), u"WebP"_s);
        w.pressKey(Qt::Key_Return);
        QCOMPARE(chooser->property("currentFolder").toUrl(), webp);
        w.click(w.item(u"chooserAccept"_s));
        QCOMPARE(w.converter()->outputFolder()->url(), webp);
        QCOMPARE(w.text(u"outputFolderLabel"_s), u"WebP"_s);
        QCOMPARE(button->property("toolTip").toString(), webp.toLocalFile());
        QTRY_VERIFY(!chooser->property("visible").toBool());
        w.click(button);
        QTRY_VERIFY(chooser->property("opened").toBool());
        QCOMPARE(chooser->property("currentFolder").toUrl(), webp);
        QMetaObject::invokeMethod(chooser, "close");
    }

    // The input chooser's keys are a desktop chooser's: rows move, the selection extends and
    // toggles, Return and Enter open or add, buttons take Return, Enter and Space, typing goes
    // to a name, Ctrl+L types a path. Every focus ring shows whole, none cut off by a list.
    void chooserKeys_data()
    {
        addRowsFrom("window-chooser-keys.txt",
                    {"steps", "folder", "current", "selected", "added", "open"});
    }
    void chooserKeys()
    {
        const auto [steps, folder, current, selected, added, open] =
            fields("steps", "folder", "current", "selected", "added", "open");
        WindowHarness w;
        QVERIFY(!touch(w.folder(), {u"Album 1/x.png"_s, u"Beach/.keep"_s, u"apple.png"_s,
                                    u"img2.png"_s, u"img10.png"_s, u"notes.txt"_s})
                     .isEmpty());
        QObject *chooser = w.find(u"fileChooser"_s);
        QMetaObject::invokeMethod(chooser, "openFor", Q_ARG(QVariant, 0),
                                  Q_ARG(QVariant, QUrl::fromLocalFile(w.folder())));
        QQuickItem *entries = w.item(u"fileChooserEntries"_s);
        QTRY_COMPARE(entries->property("count").toInt(), 5);
        QTRY_VERIFY(chooser->property("opened").toBool());
        QVERIFY(entries->hasActiveFocus());
        // Places are read on a worker thread; a step on them waits until they are there.
        QTRY_VERIFY(w.item(u"chooserPlaces"_s)->property("count").toInt() > 0);
        auto *listing = entries->property("model").value<QAbstractItemModel *>();
        for (const QString &step : steps.split(u' ')) {
            if (step.startsWith(u"type:"_s)) {
                const QString text = step.mid(5).replace(u'@', w.folder());
                for (const QChar ch : text)
                    QTest::sendKeyEvent(QTest::Click, w.window(), Qt::Key_unknown, QString(ch), {});
            } else if (step.startsWith(u"focus:"_s)) {
                w.item(step.mid(6))->forceActiveFocus(Qt::TabFocusReason);
            } else {
                const QKeyCombination key = QKeySequence::fromString(step)[0];
                w.pressKey(key.key(), key.keyboardModifiers());
            }
        }

        QTRY_COMPARE(chooser->property("visible").toBool(), open == u"yes");
        const QString shown = folder == u"~"   ? QDir::homePath()
                              : folder == u"." ? w.folder()
                                               : w.folder() + u'/' + folder;
        QCOMPARE(chooser->property("currentFolder").toUrl(), QUrl::fromLocalFile(shown));
        QStringList addedNames;
        auto names = [&] {
            addedNames.clear();
            for (const FileItem &item : w.converter()->files())
                addedNames.append(item.fileName());
            return addedNames.join(u',');
        };
        QTRY_COMPARE(names(), added);
        if (open != u"yes")
            return;
        // A folder opened is read on a worker thread; its rows arrive later.
        auto currentName = [&] {
            const int row = entries->property("currentIndex").toInt();
            return row < 0 ? QString() : listing->data(listing->index(row, 0)).toString();
        };
        QTRY_COMPARE(currentName(), current);
        QVariant urls;
        QMetaObject::invokeMethod(chooser, "selectedUrls", Q_RETURN_ARG(QVariant, urls));
        QStringList selectedNames;
        for (const QVariant &url : urls.value<QJSValue>().toVariant().toList())
            selectedNames.append(url.toUrl().fileName());
        QCOMPARE(selectedNames.join(u','), selected);

        // A ring that shows lies inside every item that clips it.
        w.render();
        int rings = 0;
        std::function<void(QQuickItem *)> look = [&](QQuickItem *item) {
            if (!item->isVisible())
                return;
            if (item->objectName() == u"focusRing") {
                ++rings;
                const QRectF area = item->mapRectToScene(item->boundingRect());
                for (QQuickItem *up = item->parentItem(); up; up = up->parentItem()) {
                    if (up->clip())
                        QVERIFY2(up->mapRectToScene(up->boundingRect()).contains(area),
                                 qPrintable(up->objectName()));
                }
            }
            for (QQuickItem *child : item->childItems())
                look(child);
        };
        look(w.window()->contentItem());
        // A list with the keyboard shows where it is, unless it is empty.
        QQuickItem *focused = w.window()->activeFocusItem();
        while (focused && !focused->inherits("QQuickItemView"))
            focused = focused->parentItem();
        QVERIFY(rings > 0 || !focused || focused->property("count").toInt() == 0);
    }

    // The chooser shows a folder's folders first, then its images in the order the walk adds
    // them (the rows of the walk's table without links, skips or names that are not UTF-8).
    void chooserOrderIsTheWalks_data()
    {
        addRowsFrom("intake-walks.txt", {"entries", "given", "skip", "found"});
    }
    void chooserOrderIsTheWalks()
    {
        const auto [entries, given, skip, found] = fields("entries", "given", "skip", "found");
        if (given != u"f" || !skip.isEmpty() || entries.contains(u"->"_s) || entries.contains(u'%'))
            QSKIP("Not a listing of one folder");
        WindowHarness w;
        QStringList files;
        for (const QString &entry : entries.split(u' ')) {
            if (!entry.endsWith(u'/'))
                files.append(entry);
        }
        QVERIFY(!touch(w.folder(), files).isEmpty());
        QStringList folders;
        QStringList images;
        for (const QString &path : found.split(u' ')) {
            const QStringList parts = path.split(u'/');
            if (parts.size() == 2)
                images.append(parts[1]);
            else if (!folders.contains(parts[1]))
                folders.append(parts[1]);
        }
        QObject *chooser = w.find(u"fileChooser"_s);
        QMetaObject::invokeMethod(chooser, "openFor", Q_ARG(QVariant, 0),
                                  Q_ARG(QVariant, QUrl::fromLocalFile(w.folder() + u"/f"_s)));
        auto *listing =
            w.item(u"fileChooserEntries"_s)->property("model").value<QAbstractItemModel *>();
        QTRY_COMPARE(listing->rowCount(), int(folders.size() + images.size()));
        QStringList shown;
        for (int row = 0; row < listing->rowCount(); ++row)
            shown.append(listing->data(listing->index(row, 0)).toString());
        QCOMPARE(shown, folders + images);
    }

    // The places are looked at on a worker thread: the list gets its rows through the event
    // loop, home first, a GTK bookmark by its name and one to a missing folder not at all.
    void placesArriveLater()
    {
        QTemporaryDir home;
        const QByteArray realHome = qgetenv("HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        QVERIFY(!touch(home.path(), {u"Trips/.keep"_s, u".config/gtk-3.0/bookmarks"_s}).isEmpty());
        QFile bookmarks(home.filePath(u".config/gtk-3.0/bookmarks"_s));
        QVERIFY(bookmarks.open(QIODevice::WriteOnly));
        bookmarks.write(QUrl::fromLocalFile(home.filePath(u"Trips"_s)).toEncoded() +
                        " Holidays\nfile:///nowhere/at/all\n");
        bookmarks.close();
        {
            Places places;
            QAbstractItemModelTester tester(&places,
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
            QCOMPARE(places.rowCount(), 0);
            QTRY_VERIFY(places.rowCount() > 0);
            QCOMPARE(places.urlAt(0), QUrl::fromLocalFile(home.path()));
            QStringList names;
            for (int row = 0; row < places.rowCount(); ++row)
                names.append(places.index(row).data().toString());
            const auto trips = names.indexOf(u"Holidays"_s);
            QVERIFY(trips > 0);
            QCOMPARE(places.urlAt(int(trips)), QUrl::fromLocalFile(home.filePath(u"Trips"_s)));
            QCOMPARE(places.rowCount(), names.size());
            for (int row = 0; row < places.rowCount(); ++row)
                QVERIFY(places.urlAt(row).toLocalFile() != u"/nowhere/at/all"_s);
        }
        qputenv("HOME", realHome);
    }

    // A disabled Convert says why beside it; without an encoder it marks the files and starts
    // no run. While files are added, and during a run, Stop replaces Convert; during a run the
    // progress shows and the list cannot be changed.
    void runControls()
    {
        WindowHarness w;
        // The walk's result arrives through the event loop, so the walk is seen under way: the
        // list shows, empty, with Stop.
        w.converter()->addFiles({QUrl::fromLocalFile(w.folder())});
        QVERIFY(w.item(u"stopButton"_s)->isVisible() && !w.item(u"convertButton"_s)->isVisible());
        QCOMPARE(w.blocker(), u"Adding files\u2026"_s);
        QMetaObject::invokeMethod(w.item(u"stopButton"_s), "clicked");
        QTRY_VERIFY(!w.converter()->isAdding());
        QVERIFY(!w.item(u"stopButton"_s)->isVisible() && w.item(u"dropRegion"_s)->isVisible());

        QVERIFY(w.addFiles({u"a.png"_s, u"b.png"_s, u"c.png"_s}));
        QQuickItem *convert = w.item(u"convertButton"_s);
        QVERIFY(!convert->isEnabled());
        QCOMPARE(w.blocker(), u"Choose a preset"_s);
        // The reason has a place of its own: no button moves when it goes.
        const QList<QQuickItem *> buttons = {w.item(u"addButton"_s), w.item(u"removeButton"_s),
                                             w.item(u"clearButton"_s), convert};
        auto positions = [&] {
            w.render();
            QList<QPointF> at;
            for (QQuickItem *button : buttons)
                at.append(button->mapToScene({0, 0}));
            return at;
        };
        const QList<QPointF> before = positions();
        w.converter()->settingsStore()->selectOriginalPreset();
        QVERIFY(convert->isEnabled() && w.blocker().isEmpty());
        QCOMPARE(positions(), before);
        w.converter()->fileModel()->deselectAll();
        QVERIFY(!convert->isEnabled());
        QCOMPARE(w.blocker(), u"Select files"_s);
        w.setSelected(0, true);
        QVERIFY(convert->isEnabled());

        w.converter()->setEncoderLocator([] { return std::optional<QString>(); });
        w.click(convert);
        QVERIFY(!w.converter()->isConverting() && convert->isVisible());
        QVERIFY(w.item(u"errorCount"_s)->isVisible());
        QCOMPARE(w.item(u"errorCount"_s)->property("count").toInt(), 1);

        w.converter()->fileModel()->selectAll();
        w.chooseOutputFolder();
        w.converter()->setEncoderLocator([] { return std::optional<QString>(u"/bin/true"_s); });

        // The run's results arrive through the event loop; pressing the button without running
        // the loop shows the run before any result.
        QMetaObject::invokeMethod(w.item(u"convertButton"_s), "clicked");
        QVERIFY(w.converter()->isConverting());
        QVERIFY(!w.item(u"convertButton"_s)->isVisible());
        QCOMPARE(w.text(u"progressFraction"_s), u"0/3"_s);
        for (const QString &name : {u"progressBar"_s, u"stopButton"_s, u"progressFraction"_s})
            QVERIFY2(w.item(name)->isVisible(), qPrintable(name));
        for (const QString &name :
             {u"selectAllButton"_s, u"addButton"_s, u"removeButton"_s, u"clearButton"_s})
            QVERIFY2(!w.item(name)->isEnabled(), qPrintable(name));

        QMetaObject::invokeMethod(w.item(u"stopButton"_s), "clicked");
        QVERIFY(w.converter()->run()->isCancelled());
        QTRY_VERIFY(!w.converter()->isConverting());
        QVERIFY(w.item(u"convertButton"_s)->isVisible());
        QVERIFY(!w.item(u"stopButton"_s)->isVisible() && !w.item(u"progressBar"_s)->isVisible());
    }

    // Convert asks before it converts files that are done already, and checks its settings
    // and the output folder before it starts: what is wrong is said once, and the rows keep
    // their states.
    void convertChecksFirst_data()
    {
        addRowsFrom("window-convert-checks.txt", {"wrong", "blocker", "notice", "answer", "taken"});
    }
    void convertChecksFirst()
    {
        const auto [wrong, blocker, notice, answer] =
            fields("wrong", "blocker", "notice", "answer");
        ConverterSettings settings;
        settings.ppiOption = u"Custom"_s;
        if (wrong == u"fileSizeLimitKB 0")
            settings.fileSizeLimitKB = 0;
        if (wrong == u"customPPI 0")
            settings.customPPI = 0;
        WindowHarness w({{u"converterSettingsV5"_s, settings.toJson()}});
        QVERIFY(w.addFiles({u"a.png"_s, u"b.png"_s}));
        w.converter()->settingsStore()->selectOriginalPreset();
        w.chooseOutputFolder();
        w.converter()->setEncoderLocator([] { return std::optional<QString>(u"/bin/true"_s); });
        const ConversionStatus done = ConversionStatus::done(w.folder() + u"/out/a.webp"_s, 10);
        w.setStatus(0, done);
        if (wrong == u"folder")
            QVERIFY(QDir(w.folder() + u"/out"_s).removeRecursively());
        QQuickItem *convert = w.item(u"convertButton"_s);
        QCOMPARE(w.blocker(), blocker);
        QCOMPARE(convert->isEnabled(), blocker.isEmpty());
        if (!blocker.isEmpty())
            return;
        QMetaObject::invokeMethod(convert, "clicked");
        QObject *dialog = w.find(u"reconvertDialog"_s);
        QTRY_VERIFY(dialog->property("opened").toBool());
        QCOMPARE(dialog->property("title").toString(),
                 u"1 of these files is already converted. Convert it again?"_s);
        QVERIFY(!w.converter()->isConverting());
        QMetaObject::invokeMethod(w.find(answer), "clicked");
        QCOMPARE(w.notice(), notice);
        QTRY_VERIFY(!w.converter()->isConverting());
        // The encoder stand-in writes nothing, so each file the run took ends in an error.
        QStringList taken;
        for (const FileItem &item : w.converter()->files()) {
            if (item.status.kind() == ConversionStatus::Kind::error)
                taken.append(item.fileName().chopped(4));
        }
        QCOMPARE(taken.join(u' '), fields("taken")[0]);
        if (!taken.contains(u"a"_s))
            QCOMPARE(w.converter()->files().at(0).status, done);
        QCOMPARE(w.converter()->fileModel()->selectedCount(), 2);
    }

    // Closing the window asks first while a run is under way; a yes stops the run as Stop does.
    // The stand-in encoder waits for a go-ahead that comes only at the end.
    void closingAsksDuringARun_data()
    {
        addRowsFrom("window-closing.txt", {"how", "running", "answer", "closes"});
    }
    void closingAsksDuringARun()
    {
        const auto [how, running, answer, closes] = fields("how", "running", "answer", "closes");
        WindowHarness w;
        const QString go = prepareHeldRun(w);
        QVERIFY(!go.isEmpty());
        QObject *options = w.find(u"optionsPopup"_s);
        QVERIFY(w.open(options));
        // The window is closed while the encoder runs, not while the file is still being read,
        // which a Stop would end at once.
        if (running == u"yes") {
            w.converter()->convertAll();
            QTRY_VERIFY(QFile::exists(go + u".started"_s));
        }
        // A run keeps the settings it started with: they cannot be changed meanwhile, and
        // options left open close.
        for (const char *name : {"presetMenuButton", "ppiPicker", "sizeLimitSwitch",
                                 "optionsButton", "keepFoldersCheck"})
            QCOMPARE(w.item(QLatin1String(name))->isEnabled(), running != u"yes");
        QTRY_COMPARE(options->property("visible").toBool(), running != u"yes");
        w.pressKey(Qt::Key_Escape); // an open popup holds the window's shortcuts back
        QTRY_VERIFY(!options->property("visible").toBool());

        if (how == u"close") {
            w.window()->close();
        } else {
            const QKeyCombination key = QKeySequence::fromString(how)[0];
            w.pressKey(key.key(), key.keyboardModifiers());
        }
        QObject *dialog = w.find(u"quitDialog"_s);
        QCOMPARE(dialog->property("visible").toBool(), running == u"yes");
        if (answer == u"Escape") {
            w.pressKey(Qt::Key_Escape);
        } else if (!answer.isEmpty()) {
            // The dialog's buttons sit in the window's overlay, among its items.
            QQuickItem *button = nullptr;
            std::function<void(QQuickItem *)> look = [&](QQuickItem *item) {
                if (item->isVisible() && item->inherits("QQuickAbstractButton") &&
                    item->property("text").toString() == answer)
                    button = item;
                for (QQuickItem *child : item->childItems())
                    look(child);
            };
            look(w.window()->contentItem());
            QVERIFY(button);
            w.click(button);
        }
        QTRY_VERIFY(!dialog->property("visible").toBool());
        QCOMPARE(w.window()->isVisible(), closes == u"no");
        if (running == u"yes")
            QCOMPARE(w.converter()->run()->isCancelled(), closes == u"yes");
        QVERIFY(!touch(w.folder(), {u"go"_s}).isEmpty());
        QTRY_VERIFY(!w.converter()->isConverting());
    }

    // Stop says that files are still finishing and turns into Stop Now, which ends their
    // encoders at once; nothing is left in the output folder either way.
    void stopping_data() { addRowsFrom("window-stopping.txt", {"presses", "go", "final"}); }
    void stopping()
    {
        const auto [presses, go, final] = fields("presses", "go", "final");
        WindowHarness w;
        const QString goAhead = prepareHeldRun(w);
        QVERIFY(!goAhead.isEmpty());
        w.converter()->convertAll();
        QTRY_VERIFY(QFile::exists(goAhead + u".started"_s));
        QQuickItem *stop = w.item(u"stopButton"_s);
        QCOMPARE(stop->property("text").toString(), u"Stop"_s);
        for (int i = 0; i < presses.toInt(); ++i) {
            w.click(stop);
            if (i == 0) {
                QVERIFY(w.converter()->run()->isStopping());
                QCOMPARE(stop->property("text").toString(), u"Stop Now"_s);
                QCOMPARE(w.text(u"convertBlocker"_s), u"Stopping\u2026 1 still converting"_s);
            }
        }
        if (!go.isEmpty())
            QVERIFY(!touch(w.folder(), {u"go"_s}).isEmpty());
        QTRY_VERIFY(!w.converter()->isConverting());
        QCOMPARE(w.rowValue(0, "statusKind").toInt(),
                 int(final == u"error" ? Status::Error : Status::Cancelled));
        QCOMPARE(QDir(w.folder() + u"/out"_s).entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(w.item(u"convertButton"_s)->isVisible());
    }

    // The status bar offers to open the output folder only when something has been written
    // there; it counts each kind of outcome.
    void openFolderOnlyAfterAFileIsDone_data()
    {
        addRowsFrom("window-open-folder.txt", {"hasFolder", "firstDone", "shown"});
    }
    void openFolderOnlyAfterAFileIsDone()
    {
        const auto [hasFolder, firstDone, shown] = fields("hasFolder", "firstDone", "shown");
        const bool oneDone = firstDone == u"yes";
        WindowHarness w;
        QVERIFY(w.addFiles({u"a.png"_s, u"b.png"_s, u"c.png"_s}));
        if (hasFolder == u"yes")
            w.chooseOutputFolder();
        const auto failed = ConversionStatus::error(u"Could not load image"_s);
        w.setStatus(0, oneDone ? ConversionStatus::done(u"/out/a.webp"_s, 10) : failed);
        w.setStatus(1, failed);
        w.setStatus(2, ConversionStatus::cancelled());
        QCOMPARE(w.item(u"openFolderButton"_s)->isVisible(), shown == u"yes");
        QCOMPARE(w.item(u"doneCount"_s)->isVisible(), oneDone);
        QCOMPARE(w.item(u"errorCount"_s)->property("count").toInt(), oneDone ? 1 : 2);
        QCOMPARE(w.item(u"cancelledCount"_s)->property("count").toInt(), 1);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
