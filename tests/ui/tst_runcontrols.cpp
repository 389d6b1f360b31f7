#include "windowharness.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestRunControls : public QObject
{
    Q_OBJECT

    QQuickItem *item(WindowHarness &w, const char *name)
    {
        return qobject_cast<QQuickItem *>(w.find(QString::fromLatin1(name)));
    }

    static void useStandInEncoder(ImageConverter *converter)
    {
        converter->setEncoderLocator(
            [] { return std::optional<QString>(QStringLiteral("/bin/true")); });
    }

private Q_SLOTS:
    // A disabled Convert says why beside it.
    void convertSaysWhyItCannotRun()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QVERIFY(w.addFiles({QStringLiteral("a.png"), QStringLiteral("b.png")}));
        QQuickItem *convert = item(w, "convertButton");
        QQuickItem *blocker = item(w, "convertBlocker");
        QVERIFY(convert->isVisible());
        QVERIFY(!convert->isEnabled());
        QVERIFY(blocker->isVisible());
        QCOMPARE(blocker->property("text").toString(), u"Choose a preset"_s);

        w.converter()->selectOriginalPreset();
        QVERIFY(convert->isEnabled());
        QVERIFY(!blocker->isVisible());
        w.converter()->deselectAll();
        QVERIFY(!convert->isEnabled());
        QCOMPARE(blocker->property("text").toString(), u"Select files"_s);
        w.setSelected(0, true);
        QVERIFY(convert->isEnabled());
    }

    void stopReplacesConvertDuringARun()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QVERIFY(w.addFiles(
            {QStringLiteral("a.png"), QStringLiteral("b.png"), QStringLiteral("c.png")}));
        w.converter()->selectOriginalPreset();
        w.chooseOutputFolder();
        useStandInEncoder(w.converter());

        // The run's results arrive through the event loop; pressing the button without running
        // the loop shows the run before any result.
        QMetaObject::invokeMethod(item(w, "convertButton"), "clicked");
        QVERIFY(w.converter()->isConverting());
        QVERIFY(!item(w, "convertButton")->isVisible());
        QQuickItem *stop = item(w, "stopButton");
        QVERIFY(stop->isVisible());
        QVERIFY(item(w, "progressBar")->isVisible());
        QCOMPARE(item(w, "progressFraction")->property("text").toString(), u"0/3"_s);
        QVERIFY(item(w, "progressFraction")->isVisible());
        QVERIFY(!item(w, "openFolderButton")->isVisible());
        for (const char *name : {"selectAllButton", "addButton", "removeButton", "clearButton"})
            QVERIFY2(!item(w, name)->isEnabled(), name);

        QMetaObject::invokeMethod(stop, "clicked");
        QVERIFY(w.converter()->isCancelled());
        QTRY_VERIFY(!w.converter()->isConverting());
        QVERIFY(item(w, "convertButton")->isVisible());
        QVERIFY(!stop->isVisible());
        QVERIFY(!item(w, "progressBar")->isVisible());
        QVERIFY(!item(w, "progressFraction")->isVisible());
    }

    void missingEncoderMarksTheFilesAndStartsNoRun()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QVERIFY(w.addFiles({QStringLiteral("a.png"), QStringLiteral("b.png")}));
        w.converter()->selectOriginalPreset();
        w.converter()->setEncoderLocator([] { return std::optional<QString>(); });
        w.click(item(w, "convertButton"));
        QVERIFY(!w.converter()->isConverting());
        QVERIFY(item(w, "convertButton")->isVisible());
        QVERIFY(item(w, "errorCount")->isVisible());
        QCOMPARE(item(w, "errorCount")->property("count").toInt(), 2);
    }

    void statusCountsInOrder()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QStringList names;
        for (int i = 0; i < 10; ++i)
            names.append(QStringLiteral("%1.png").arg(i));
        QVERIFY(w.addFiles(names));
        QQuickItem *done = item(w, "doneCount");
        QQuickItem *errors = item(w, "errorCount");
        QQuickItem *cancelled = item(w, "cancelledCount");
        QVERIFY(!done->isVisible() && !errors->isVisible() && !cancelled->isVisible());
        QVERIFY(item(w, "versionLabel")->isVisible());
        QCOMPARE(item(w, "versionLabel")->property("text").toString(), u"v1.1.0"_s);

        for (int i = 0; i < 7; ++i)
            w.setStatus(i, ConversionStatus::done(QStringLiteral("/out/x.webp"), 100));
        w.setStatus(7, ConversionStatus::error(QStringLiteral("Could not load image")));
        w.setStatus(8, ConversionStatus::error(QStringLiteral("Could not load image")));
        w.setStatus(9, ConversionStatus::cancelled());
        w.render();
        QCOMPARE(done->property("count").toInt(), 7);
        QCOMPARE(errors->property("count").toInt(), 2);
        QCOMPARE(cancelled->property("count").toInt(), 1);
        QVERIFY(done->x() < errors->x() && errors->x() < cancelled->x());

        // Removing the finished files hides their count.
        for (int i = 0; i < 10; ++i)
            w.setSelected(i, i < 7);
        w.converter()->removeSelected();
        QVERIFY(!done->isVisible());
        QVERIFY(errors->isVisible());
    }

    void openFolderConditions_data()
    {
        QTest::addColumn<bool>("hasFolder");
        QTest::addColumn<bool>("oneDone");
        QTest::addColumn<bool>("shown");
        QTest::newRow("folder and a done file") << true << true << true;
        QTest::newRow("no folder") << false << true << false;
        QTest::newRow("every file failed") << true << false << false;
    }
    void openFolderConditions()
    {
        QFETCH(bool, hasFolder);
        QFETCH(bool, oneDone);
        QFETCH(bool, shown);
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QVERIFY(w.addFiles({QStringLiteral("a.png"), QStringLiteral("b.png")}));
        if (hasFolder)
            w.chooseOutputFolder();
        w.setStatus(0, oneDone ? ConversionStatus::done(QStringLiteral("/out/a.webp"), 10)
                               : ConversionStatus::error(QStringLiteral("Could not load image")));
        w.setStatus(1, ConversionStatus::error(QStringLiteral("Could not load image")));
        QCOMPARE(item(w, "openFolderButton")->isVisible(), shown);
    }
};

QTEST_MAIN(TestRunControls)
#include "tst_runcontrols.moc"
