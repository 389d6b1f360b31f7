#include "imageconverter.h"
#include "preferences.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

/// The converter's list, selection, presets, stored settings, undo and the decisions it
/// publishes; runs are in tst_batchrun.
class TestImageConverter : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    /// Adds `names` (created empty in a folder of their own) and waits for them.
    static void add(ImageConverter &converter, const QStringList &names, const QString &folder)
    {
        QList<QUrl> urls;
        for (const QString &name : names) {
            QFile file(folder + QLatin1Char('/') + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            urls.append(QUrl::fromLocalFile(file.fileName()));
        }
        QSignalSpy added(&converter, &ImageConverter::filesAdded);
        converter.addFiles(urls);
        QVERIFY(added.wait());
    }

    static QStringList names(const ImageConverter &converter)
    {
        QStringList result;
        for (const FileItem &item : converter.files())
            result.append(item.fileName() + (item.isSelected ? QString() : QStringLiteral("-")));
        return result;
    }

    /// Ticks exactly the rows listed, through the model as a row's checkbox does.
    static void tick(ImageConverter &converter, const QList<int> &rows)
    {
        FileListModel *model = converter.fileModel();
        for (int row = 0; row < model->rowCount(); ++row)
            model->setData(model->index(row), rows.contains(row), FileListModel::IsSelectedRole);
    }

private Q_SLOTS:
    void listOperationsAndUndo_data()
    {
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("undoText");

        const QStringList none;
        QTest::newRow("remove first and third")
            << QList<int>{0, 2} << u"removeSelected"_s << QStringList{u"b.png-"_s, u"d.png-"_s}
            << u"Removed 2 files"_s;
        QTest::newRow("remove nothing keeps all, offers no undo")
            << QList<int>{} << u"removeSelected"_s
            << QStringList{u"a.png-"_s, u"b.png-"_s, u"c.png-"_s, u"d.png-"_s} << u""_s;
        QTest::newRow("remove one")
            << QList<int>{3} << u"removeSelected"_s
            << QStringList{u"a.png-"_s, u"b.png-"_s, u"c.png-"_s} << u"Removed 1 file"_s;
        QTest::newRow("clear") << QList<int>{1} << u"clearAll"_s << none << u"Removed 4 files"_s;
        QTest::newRow("select all")
            << QList<int>{1} << u"selectAll"_s
            << QStringList{u"a.png"_s, u"b.png"_s, u"c.png"_s, u"d.png"_s} << u""_s;
        QTest::newRow("deselect all")
            << QList<int>{1, 2} << u"deselectAll"_s
            << QStringList{u"a.png-"_s, u"b.png-"_s, u"c.png-"_s, u"d.png-"_s} << u""_s;
    }

    void listOperationsAndUndo()
    {
        QFETCH(QList<int>, ticked);
        QFETCH(QString, operation);
        QFETCH(QStringList, after);
        QFETCH(QString, undoText);

        TemporaryPreferences prefs;
        ImageConverter converter;
        QAbstractItemModelTester tester(converter.fileModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        add(converter, {u"a.png"_s, u"b.png"_s, u"c.png"_s, u"d.png"_s}, m_dir.path());
        tick(converter, ticked);
        const QStringList before = names(converter);
        QVERIFY(QMetaObject::invokeMethod(&converter, operation.toLatin1().constData()));
        QCOMPARE(names(converter), after);
        QCOMPARE(converter.selectedCount(),
                 qint64(after.filter(QRegularExpression(u"g$"_s)).size()));
        QCOMPARE(converter.canUndo(), !undoText.isEmpty());
        QCOMPARE(converter.undoText(), undoText);
        if (converter.canUndo()) {
            converter.undo();
            QCOMPARE(names(converter), before);
            QVERIFY(!converter.canUndo());
        }
    }

    void undoAfterFurtherAdditionsRestoresPlaces()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        QAbstractItemModelTester tester(converter.fileModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QStringList many;
        for (int i = 0; i < 100; ++i)
            many.append(QStringLiteral("%1.png").arg(i));
        add(converter, many, m_dir.path());
        QList<int> odd;
        for (int i = 1; i < 100; i += 2)
            odd.append(i);
        tick(converter, odd);
        converter.removeSelected();
        QCOMPARE(converter.fileCount(), 50);
        add(converter, {u"late.png"_s}, m_dir.path());
        converter.undo();
        QCOMPARE(converter.fileCount(), 101);
        for (int i = 0; i < 100; ++i)
            QCOMPARE(converter.files().at(i).fileName(), many.at(i));
        QCOMPARE(converter.files().last().fileName(), QStringLiteral("late.png"));
        QCOMPARE(converter.selectedCount(), 51);
    }

    void decisions_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<bool>("preset");
        QTest::addColumn<QString>("blocker");
        QTest::addColumn<bool>("canRemove");

        QTest::newRow("empty list") << 0 << QList<int>{} << true << u"Add files"_s << false;
        QTest::newRow("nothing selected")
            << 2 << QList<int>{} << true << u"Select files"_s << false;
        QTest::newRow("no preset") << 2 << QList<int>{1} << false << u"Choose a preset"_s << true;
        QTest::newRow("ready") << 2 << QList<int>{0, 1} << true << u""_s << true;
    }

    void decisions()
    {
        QFETCH(int, files);
        QFETCH(QList<int>, ticked);
        QFETCH(bool, preset);
        QFETCH(QString, blocker);
        QFETCH(bool, canRemove);

        TemporaryPreferences prefs;
        ImageConverter converter;
        if (files > 0)
            add(converter, QStringList{u"x.png"_s, u"y.png"_s}.mid(0, files), m_dir.path());
        tick(converter, ticked);
        if (preset)
            converter.selectOriginalPreset();
        QCOMPARE(converter.convertBlocker(), blocker);
        QCOMPARE(converter.canConvert(), blocker.isEmpty());
        QCOMPARE(converter.canRemove(), canRemove);
        QCOMPARE(converter.allSelected(), files > 0 && ticked.size() == files);
        QCOMPARE(converter.noneSelected(), ticked.isEmpty());
    }

    void presetsSaveAndUndo()
    {
        TemporaryPreferences prefs;
        {
            ImageConverter converter;
            converter.addPreset(QStringLiteral("HD"), 1920, 1080);
            const QUuid hd = converter.selectedPreset()->id;
            converter.selectOriginalPreset();
            converter.selectOriginalPreset();
            QCOMPARE(converter.settings().presets.size(), 2);
            QVERIFY(converter.selectedPreset()->preserveOriginal);
            QCOMPARE(converter.selectedPreset()->name, QStringLiteral("Original"));

            // Removing the selected preset hands the selection to the first one left.
            converter.removePreset(converter.selectedPreset()->id);
            QCOMPARE(converter.selectedPreset()->id, hd);
            QCOMPARE(converter.undoText(), QStringLiteral("Removed preset \u201cOriginal\u201d"));
            converter.undo();
            QCOMPARE(converter.settings().presets.size(), 2);
            QVERIFY(converter.selectedPreset()->preserveOriginal);

            converter.removePreset(hd);
            converter.removePreset(QUuid::createUuid());
            QVERIFY(converter.canUndo());
            converter.undo();
            QCOMPARE(converter.settings().presets.first().id, hd);
        }
        // Every preset operation saved: a new converter sees the last state.
        ImageConverter restarted;
        QCOMPARE(restarted.settings().presets.size(), 2);
        QCOMPARE(restarted.settings().presets.first().name, QStringLiteral("HD"));
        QVERIFY(restarted.selectedPreset()->preserveOriginal);
    }

    void settingsAreStoredOnlyWhenSaved()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        ConverterSettings changed = converter.settings();
        changed.quality = 42;
        converter.setSettings(changed);
        QCOMPARE(ImageConverter().settings().quality, 85);
        converter.saveSettings();
        QCOMPARE(ImageConverter().settings().quality, 42);
    }

    void storedOutputFolder_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("used");
        QTest::newRow("existing folder") << QVariant(m_dir.path()) << true;
        QTest::newRow("gone") << QVariant(m_dir.filePath(u"gone"_s)) << false;
        QTest::newRow("relative") << QVariant(QStringLiteral("relative/path")) << false;
        QTest::newRow("not text") << QVariant(42) << false;
    }

    void storedOutputFolder()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, used);
        TemporaryPreferences prefs;
        prefs.setValue(QLatin1String(Preferences::outputFolderKey), stored);
        ImageConverter converter;
        QCOMPARE(converter.hasOutputFolder(), used);
        QCOMPARE(converter.outputFolderPath(), used ? stored.toString() : QString());
        // The stored value is never rewritten at start-up.
        QCOMPARE(prefs.value(QLatin1String(Preferences::outputFolderKey)), stored);
    }

    void chosenOutputFolderIsRemembered()
    {
        TemporaryPreferences prefs;
        {
            ImageConverter converter;
            QSignalSpy asked(&converter, &ImageConverter::outputFolderChooserRequested);
            converter.chooseOutputFolder();
            QCOMPARE(asked.size(), 1);
            converter.setChosenOutputFolder(QUrl());
            QVERIFY(!converter.hasOutputFolder());
            converter.setChosenOutputFolder(QUrl::fromLocalFile(m_dir.path()));
        }
        QCOMPARE(ImageConverter().outputFolderPath(), m_dir.path());
    }

    void selectUnfinishedTicksAllButDone()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        add(converter, {u"a.png"_s, u"b.png"_s, u"c.png"_s}, m_dir.path());
        FileListModel *model = converter.fileModel();
        model->setStatus(converter.files().at(1).id, ConversionStatus::done(u"/x.webp"_s, 10));
        model->setStatus(converter.files().at(2).id, ConversionStatus::error(u"bad"_s));
        converter.deselectAll();
        QVERIFY(converter.hasUnfinished());
        converter.selectUnfinished();
        QCOMPARE(names(converter), (QStringList{u"a.png"_s, u"b.png-"_s, u"c.png"_s}));
        QCOMPARE(converter.doneCount(), 1);
        QCOMPARE(converter.errorCount(), 1);
        // A result for a row that is gone is dropped.
        QVERIFY(!model->setStatus(QUuid::createUuid(), ConversionStatus::cancelled()));
        QCOMPARE(converter.cancelledCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestImageConverter)
#include "tst_imageconverter.moc"
