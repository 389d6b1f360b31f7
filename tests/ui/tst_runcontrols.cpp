#include "windowharness.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestRunControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A disabled Convert says why beside it; without an encoder it marks the files and starts
    // no run.
    void convertSaysWhyItCannotRun()
    {
        WindowHarness w;
        QVERIFY(w.addFiles({u"a.png"_s, u"b.png"_s}));
        QQuickItem *convert = w.item(u"convertButton"_s);
        QQuickItem *blocker = w.item(u"convertBlocker"_s);
        QVERIFY(!convert->isEnabled() && blocker->isVisible());
        QCOMPARE(blocker->property("text").toString(), u"Choose a preset"_s);
        w.converter()->selectOriginalPreset();
        QVERIFY(convert->isEnabled() && !blocker->isVisible());
        w.converter()->deselectAll();
        QVERIFY(!convert->isEnabled() && blocker->isVisible());
        QCOMPARE(blocker->property("text").toString(), u"Select files"_s);
        w.setSelected(0, true);
        QVERIFY(convert->isEnabled());

        w.converter()->setEncoderLocator([] { return std::optional<QString>(); });
        w.click(convert);
        QVERIFY(!w.converter()->isConverting() && convert->isVisible());
        QVERIFY(w.item(u"errorCount"_s)->isVisible());
        QCOMPARE(w.item(u"errorCount"_s)->property("count").toInt(), 1);
    }

    // During a run Stop replaces Convert, the progress shows and the list cannot be changed.
    void stopReplacesConvertDuringARun()
    {
        WindowHarness w;
        QVERIFY(w.addFiles({u"a.png"_s, u"b.png"_s, u"c.png"_s}));
        w.converter()->selectOriginalPreset();
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
        QVERIFY(w.converter()->isCancelled());
        QTRY_VERIFY(!w.converter()->isConverting());
        QVERIFY(w.item(u"convertButton"_s)->isVisible());
        QVERIFY(!w.item(u"stopButton"_s)->isVisible() && !w.item(u"progressBar"_s)->isVisible());
    }

    // The status bar offers to open the output folder only when something has been written
    // there; it counts each kind of outcome.
    void openFolderOnlyAfterAFileIsDone_data()
    {
        QTest::addColumn<bool>("hasFolder");
        QTest::addColumn<bool>("oneDone");
        QTest::addColumn<bool>("shown");
        QTest::newRow("folder and a done file") << true << true << true;
        QTest::newRow("no folder") << false << true << false;
        QTest::newRow("every file failed") << true << false << false;
    }
    void openFolderOnlyAfterAFileIsDone()
    {
        QFETCH(bool, hasFolder);
        QFETCH(bool, oneDone);
        QFETCH(bool, shown);
        WindowHarness w;
        QVERIFY(w.addFiles({u"a.png"_s, u"b.png"_s, u"c.png"_s}));
        if (hasFolder)
            w.chooseOutputFolder();
        const auto failed = ConversionStatus::error(u"Could not load image"_s);
        w.setStatus(0, oneDone ? ConversionStatus::done(u"/out/a.webp"_s, 10) : failed);
        w.setStatus(1, failed);
        w.setStatus(2, ConversionStatus::cancelled());
        QCOMPARE(w.item(u"openFolderButton"_s)->isVisible(), shown);
        QCOMPARE(w.item(u"doneCount"_s)->isVisible(), oneDone);
        QCOMPARE(w.item(u"errorCount"_s)->property("count").toInt(), oneDone ? 1 : 2);
        QCOMPARE(w.item(u"cancelledCount"_s)->property("count").toInt(), 1);
    }
};

QTEST_MAIN(TestRunControls)
#include "tst_runcontrols.moc"
