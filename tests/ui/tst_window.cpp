#include "windowharness.h"

#include <QDir>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// WCAG 2 contrast, computed here independently of the window's own helper.
double contrast(QColor text, const QColor &background)
{
    const double a = text.alphaF();
    text = QColor::fromRgbF(float(text.redF() * a + background.redF() * (1 - a)),
                            float(text.greenF() * a + background.greenF() * (1 - a)),
                            float(text.blueF() * a + background.blueF() * (1 - a)));
    auto luminance = [](const QColor &c) {
        auto channel = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double x = luminance(text);
    const double y = luminance(background);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

    QQuickItem *item(WindowHarness &w, const char *name)
    {
        return qobject_cast<QQuickItem *>(w.find(QString::fromLatin1(name)));
    }

private Q_SLOTS:
    // Every text colour of the Theme reaches WCAG AA on the surfaces it is drawn on, in a
    // light and a dark palette.
    void textsAreReadable_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }
    void textsAreReadable()
    {
        QFETCH(bool, dark);
        const QPalette before = QGuiApplication::palette();
        if (dark)
            QGuiApplication::setPalette(WindowHarness::darkPalette());
        WindowHarness w;
        QVERIFY(w.isLoaded());
        // The Theme's colours, read through QML as the views read them.
        const QStringList names = {u"primary"_s,    u"secondary"_s, u"link"_s,   u"red"_s,
                                   u"green"_s,      u"orange"_s,    u"window"_s, u"strip"_s,
                                   u"accentFill"_s, u"accentText"_s};
        QString source = u"import QtQuick\nimport Tessel\nQtObject {\n"_s;
        for (const QString &name : names)
            source += u"property color %1: Theme.%1\n"_s.arg(name);
        QQmlComponent reader(qmlEngine(w.contentView()));
        reader.setData((source + u"}"_s).toUtf8(), QUrl(u"qrc:/qt/qml/Tessel/ThemeProbe.qml"_s));
        std::unique_ptr<QObject> theme(reader.create());
        QVERIFY2(theme, qPrintable(reader.errorString()));
        auto colour = [&](const char *name) { return theme->property(name).value<QColor>(); };
        const struct
        {
            const char *text;
            const char *background;
        } pairs[] = {{"primary", "window"}, {"secondary", "window"}, {"secondary", "strip"},
                     {"link", "strip"},     {"red", "window"},       {"red", "strip"},
                     {"green", "window"},   {"orange", "window"},    {"accentText", "accentFill"},
                     {"window", "primary"}};
        for (const auto &pair : pairs) {
            const double ratio = contrast(colour(pair.text), colour(pair.background));
            qInfo("%s %s on %s %s: %.2f", pair.text, qPrintable(colour(pair.text).name()),
                  pair.background, qPrintable(colour(pair.background).name()), ratio);
            QVERIFY2(ratio >= 4.5, pair.text);
        }
        QGuiApplication::setPalette(before);
    }

    void windowRemembersItsPlace()
    {
        WindowHarness w([](TemporaryPreferences &prefs) {
            prefs.setValue(u"windowGeometry"_s, QVariantMap{{u"rect"_s, QRect(40, 30, 900, 700)},
                                                            {u"maximized"_s, false}});
        });
        QVERIFY(w.isLoaded());
        QCOMPARE(w.window()->size(), QSize(900, 700));
        w.window()->resize(800, 600);
        QTRY_COMPARE(
            w.preferences().value(u"windowGeometry"_s).toMap().value(u"rect"_s).toRect().size(),
            QSize(800, 600));
        // The converter's own keys are left as they are.
        QVERIFY(!w.preferences().value(u"converterSettingsV5"_s).isValid());
    }

    // A click on empty space leaves an entry field, so that Ctrl+A selects the files again.
    void clickOnEmptySpaceLeavesAField()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QVERIFY(w.addFiles({u"a.png"_s, u"b.png"_s}));
        w.converter()->deselectAll();
        QQuickItem *field = item(w, "sizeLimitField");
        w.click(field);
        QVERIFY(field->hasActiveFocus());
        QTest::mouseClick(w.window(), Qt::LeftButton, {},
                          QPoint(w.window()->width() / 2, w.window()->height() - 80));
        QVERIFY(!field->hasActiveFocus());
        w.pressKey(Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(w.converter()->selectedCount(), 2);
    }

    // Nothing a single click or key removes is lost: each removal is offered for undoing.
    void removalsCanBeUndone_data()
    {
        QTest::addColumn<QByteArray>("how");
        QTest::newRow("Delete key") << "delete"_ba;
        QTest::newRow("remove button") << "removeButton"_ba;
        QTest::newRow("clear button") << "clearButton"_ba;
        QTest::newRow("preset") << "preset"_ba;
    }
    void removalsCanBeUndone()
    {
        QFETCH(QByteArray, how);
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QVERIFY(w.addFiles({u"a.png"_s, u"b.png"_s, u"c.png"_s}));
        w.setSelected(1, false);
        if (how == "preset") {
            w.converter()->addPreset(u"HD"_s, 1920, 1080);
            w.converter()->removePreset(w.converter()->settings().presets.first().id);
            QVERIFY(w.converter()->settings().presets.isEmpty());
        } else if (how == "delete")
            w.pressKey(Qt::Key_Delete);
        else
            w.click(item(w, how.constData()));
        QVERIFY(how == "preset" || w.converter()->fileCount() < 3);
        QQuickItem *notice = item(w, "notice");
        QVERIFY(notice->isVisible());
        QCOMPARE(item(w, "noticeMessage")->property("text"), w.converter()->property("undoText"));
        w.pressKey(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.converter()->settings().presets.size(), how == "preset" ? 1 : 0);
        QCOMPARE(w.converter()->fileCount(), 3);
        QCOMPARE(w.rowValue(0, "fileName").toString(), u"a.png"_s);
        QCOMPARE(w.rowValue(1, "fileName").toString(), u"b.png"_s);
        QVERIFY(!notice->isVisible());
    }

    // The own chooser: natural order, keys, a typed path and a new folder.
    void chooserWorksByKeyboard()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        const QDir folder(w.folder());
        QVERIFY(folder.mkpath(u"Album 1"_s));
        for (const QString &name : {u"img10.png"_s, u"img2.png"_s, u"notes.txt"_s}) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QObject *chooser = w.find(u"fileChooser"_s);
        QMetaObject::invokeMethod(chooser, "openFor", Q_ARG(QVariant, 0),
                                  Q_ARG(QVariant, QUrl::fromLocalFile(w.folder())));
        QTRY_VERIFY(chooser->property("opened").toBool());
        QQuickItem *entries = item(w, "fileChooserEntries");
        QTRY_COMPARE(entries->property("count").toInt(), 3);
        QVERIFY(entries->hasActiveFocus());
        QStringList names(3);
        QObject *listing = entries->property("model").value<QObject *>();
        for (int row = 0; row < 3; ++row) {
            QUrl url;
            QMetaObject::invokeMethod(listing, "urlAt", Q_RETURN_ARG(QUrl, url), Q_ARG(int, row));
            names[row] = url.fileName();
        }
        QCOMPARE(names, QStringList({u"Album 1"_s, u"img2.png"_s, u"img10.png"_s}));

        // End, Space, Return: the last file is added.
        const qint64 before = w.converter()->fileCount();
        w.pressKey(Qt::Key_End);
        w.pressKey(Qt::Key_Space);
        w.pressKey(Qt::Key_Return);
        QTRY_COMPARE(w.converter()->fileCount(), before + 1);

        // A typed path opens its folder; in the output chooser a new folder is made and shown.
        QMetaObject::invokeMethod(chooser, "openFor", Q_ARG(QVariant, 1),
                                  Q_ARG(QVariant, QUrl::fromLocalFile(u"/"_s)));
        QTRY_VERIFY(chooser->property("opened").toBool());
        w.typeInto(item(w, "fileChooserPath"), w.folder() + u"/Album 1"_s);
        w.pressKey(Qt::Key_Return);
        QCOMPARE(chooser->property("currentFolder").toUrl(),
                 QUrl::fromLocalFile(w.folder() + u"/Album 1"_s));
        w.click(item(w, "newFolderButton"));
        w.typeInto(item(w, "newFolderName"), u"WebP"_s);
        w.pressKey(Qt::Key_Return);
        QVERIFY(QFileInfo(w.folder() + u"/Album 1/WebP"_s).isDir());
        w.click(item(w, "chooserAccept"));
        QCOMPARE(w.converter()->outputFolderURL(),
                 QUrl::fromLocalFile(w.folder() + u"/Album 1/WebP"_s));
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
