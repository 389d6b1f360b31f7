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
        QVERIFY(w.isLoaded());
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
        QVERIFY(w.isLoaded());
        QVERIFY(w.addFiles({u"a.png"_s, u"b.png"_s, u"c.png"_s}));
        w.converter()->selectOriginalPreset();
        w.chooseOutputFolder();
        w.converter()->setEncoderLocator([] { return std::optional<QString>(u"/bin/true"_s); });

        // The run's results arrive through the event loop; pressing the button without running
        // the loop shows the run before any result.
        QMetaObject::invokeMethod(w.item(u"convertButton"_s), "clicked");
        QVERIFY(w.converter()->isConverting());
        QVERIFY(!w.item(u"convertButton"_s)->isVisible());
        QCOMPARE(w.item(u"progressFraction"_s)->property("text").toString(), u"0/3"_s);
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

    // The status bar counts the outcomes it has (d done, e failed, c cancelled) and offers to
    // open the output folder only when something has been written there.
    void statusBarCountsTheOutcomes_data()
    {
        QTest::addColumn<QString>("outcomes");
        QTest::addColumn<bool>("hasFolder");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<bool>("openFolder");
        QTest::newRow("nothing run") << u"--"_s << true << QList<int>{0, 0, 0} << false;
        QTest::newRow("all kinds") << u"ddeec-"_s << true << QList<int>{2, 2, 1} << true;
        QTest::newRow("no folder") << u"de"_s << false << QList<int>{1, 1, 0} << false;
        QTest::newRow("every file failed") << u"ee"_s << true << QList<int>{0, 2, 0} << false;
    }
    void statusBarCountsTheOutcomes()
    {
        QFETCH(QString, outcomes);
        QFETCH(bool, hasFolder);
        QFETCH(QList<int>, counts);
        QFETCH(bool, openFolder);
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QStringList names;
        for (int i = 0; i < outcomes.size(); ++i)
            names.append(u"%1.png"_s.arg(i));
        QVERIFY(w.addFiles(names));
        if (hasFolder)
            w.chooseOutputFolder();
        const QHash<QChar, ConversionStatus> kinds = {
            {u'd', ConversionStatus::done(u"/out/x.webp"_s, 100)},
            {u'e', ConversionStatus::error(u"Could not load image"_s)},
            {u'c', ConversionStatus::cancelled()},
            {u'-', ConversionStatus::queued()}};
        for (int i = 0; i < outcomes.size(); ++i)
            w.setStatus(i, kinds.value(outcomes.at(i)));
        const QString labels[] = {u"doneCount"_s, u"errorCount"_s, u"cancelledCount"_s};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(w.item(labels[i])->isVisible(), counts[i] > 0);
            QCOMPARE(w.item(labels[i])->property("count").toInt(), counts[i]);
        }
        QCOMPARE(w.item(u"openFolderButton"_s)->isVisible(), openFolder);
    }
};

QTEST_MAIN(TestRunControls)
#include "tst_runcontrols.moc"
