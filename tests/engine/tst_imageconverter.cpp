#include "imageconverter.h"
#include "preferences.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

/// The converter's list, selection, presets, stored settings, undo and the decisions it
/// publishes, with the list model checked by QAbstractItemModelTester throughout; runs are in
/// tst_batchrun.
class TestImageConverter : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::optional<TemporaryPreferences> m_prefs;
    std::optional<ImageConverter> m_converter;
    std::optional<QAbstractItemModelTester> m_tester;

    ImageConverter &converter() { return *m_converter; }

    /// Adds `names` (created empty) and waits for them.
    void add(const QStringList &names)
    {
        QList<QUrl> urls;
        for (const QString &name : names) {
            QFile file(m_dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            urls.append(QUrl::fromLocalFile(file.fileName()));
        }
        QSignalSpy added(&converter(), &ImageConverter::filesAdded);
        converter().addFiles(urls);
        QVERIFY(added.wait());
    }

    /// The rows as the model shows them: "a.png" selected, "a.png-" not.
    QString rows()
    {
        QStringList result;
        const FileListModel *model = converter().fileModel();
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row);
            result.append(index.data(FileListModel::FileNameRole).toString() +
                          (index.data(FileListModel::IsSelectedRole).toBool() ? u""_s : u"-"_s));
        }
        return result.join(u' ');
    }

    /// Ticks exactly the rows listed, through the model as a row's checkbox does.
    void tick(const QList<int> &ticked)
    {
        FileListModel *model = converter().fileModel();
        for (int row = 0; row < model->rowCount(); ++row)
            QVERIFY(model->setData(model->index(row), ticked.contains(row),
                                   FileListModel::IsSelectedRole));
    }

    void restart()
    {
        m_tester.reset();
        m_converter.emplace();
        m_tester.emplace(converter().fileModel(),
                         QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

private Q_SLOTS:
    void init()
    {
        m_prefs.emplace();
        restart();
    }

    void cleanup()
    {
        m_tester.reset();
        m_converter.reset();
        m_prefs.reset();
    }

    /// On a list of a, b (done), c (failed) and d, with some rows ticked.
    void listOperationsAndUndo_data()
    {
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("counts"); // selected, done, failed
        QTest::addColumn<QString>("undoText");
        QTest::newRow("remove first and third")
            << QList<int>{0, 2} << u"removeSelected"_s << u"b.png- d.png-"_s << u"0 1 0"_s
            << u"Removed 2 files"_s;
        QTest::newRow("remove a run") << QList<int>{1, 2} << u"removeSelected"_s
                                      << u"a.png- d.png-"_s << u"0 0 0"_s << u"Removed 2 files"_s;
        QTest::newRow("remove nothing") << QList<int>{} << u"removeSelected"_s
                                        << u"a.png- b.png- c.png- d.png-"_s << u"0 1 1"_s << u""_s;
        QTest::newRow("remove last")
            << QList<int>{3} << u"removeSelected"_s << u"a.png- b.png- c.png-"_s << u"0 1 1"_s
            << u"Removed 1 file"_s;
        QTest::newRow("clear") << QList<int>{1} << u"clearAll"_s << u""_s << u"0 0 0"_s
                               << u"Removed 4 files"_s;
        QTest::newRow("select all") << QList<int>{1} << u"selectAll"_s
                                    << u"a.png b.png c.png d.png"_s << u"4 1 1"_s << u""_s;
        QTest::newRow("deselect all") << QList<int>{1, 2} << u"deselectAll"_s
                                      << u"a.png- b.png- c.png- d.png-"_s << u"0 1 1"_s << u""_s;
        QTest::newRow("select unfinished") << QList<int>{1} << u"selectUnfinished"_s
                                           << u"a.png b.png- c.png d.png"_s << u"3 1 1"_s << u""_s;
    }

    void listOperationsAndUndo()
    {
        QFETCH(QList<int>, ticked);
        QFETCH(QString, operation);
        QFETCH(QString, after);
        QFETCH(QString, counts);
        QFETCH(QString, undoText);
        add({u"a.png"_s, u"b.png"_s, u"c.png"_s, u"d.png"_s});
        FileListModel *model = converter().fileModel();
        QVERIFY(model->setStatus(converter().files().at(1).id, ConversionStatus::done(u"/b"_s, 9)));
        QVERIFY(model->setStatus(converter().files().at(2).id, ConversionStatus::error(u"bad"_s)));
        tick(ticked);
        const QString before = rows();
        QVERIFY(QMetaObject::invokeMethod(&converter(), operation.toLatin1().constData()));
        QCOMPARE(rows(), after);
        QCOMPARE(u"%1 %2 %3"_s.arg(converter().selectedCount())
                     .arg(converter().doneCount())
                     .arg(converter().errorCount()),
                 counts);
        QCOMPARE(converter().undoText(), undoText);
        QCOMPARE(converter().canUndo(), !undoText.isEmpty());
        converter().undo();
        QCOMPARE(rows(), undoText.isEmpty() ? after : before);
        QVERIFY(!converter().canUndo());
        // A result for a row that is gone is dropped.
        QVERIFY(!model->setStatus(QUuid::createUuid(), ConversionStatus::cancelled()));
        QCOMPARE(converter().cancelledCount(), 0);
    }

    /// What a row shows of its status, through the roles the views bind to.
    void rowRoles()
    {
        add({u"a.png"_s, u"b.png"_s});
        FileListModel *model = converter().fileModel();
        model->setStatus(converter().files().at(0).id, ConversionStatus::done(u"/o.webp"_s, 2048),
                         4096);
        model->setStatus(converter().files().at(1).id, ConversionStatus::error(u"bad"_s, u"why"_s));
        QStringList shown;
        for (int row = 0; row < 2; ++row) {
            for (const int role : {FileListModel::PathRole, FileListModel::StatusTextRole,
                                   FileListModel::DetailRole, FileListModel::InputSizeRole,
                                   FileListModel::OutputPathRole, FileListModel::OutputSizeRole})
                shown.append(model->index(row).data(role).toString());
        }
        QCOMPARE(shown, (QStringList{m_dir.filePath(u"a.png"_s), u"2.0 KB"_s, u""_s, u"4096"_s,
                                     u"/o.webp"_s, u"2048"_s, m_dir.filePath(u"b.png"_s), u"bad"_s,
                                     u"why"_s, u"-1"_s, u""_s, u"0"_s}));
        QVERIFY(!model->setData(model->index(0), false, FileListModel::StatusTextRole));
        QVERIFY(!converter().hasUnfinished() || converter().doneCount() == 1);
    }

    /// Many separate runs of removed rows, put back after a later addition.
    void undoAfterFurtherAdditionsRestoresPlaces()
    {
        QStringList many;
        QList<int> odd;
        for (int i = 0; i < 100; ++i) {
            many.append(QStringLiteral("%1.png").arg(i));
            if (i % 2 == 1)
                odd.append(i);
        }
        add(many);
        tick(odd);
        converter().removeSelected();
        QCOMPARE(converter().fileCount(), 50);
        add({u"late.png"_s});
        converter().undo();
        QStringList expected;
        for (int i = 0; i < 100; ++i)
            expected.append(many.at(i) + (i % 2 == 1 ? u""_s : u"-"_s));
        QCOMPARE(rows(), expected.join(u' ') + u" late.png"_s);
        QCOMPARE(converter().selectedCount(), 51);
    }

    void decisions_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<bool>("preset");
        QTest::addColumn<QString>("blocker");
        QTest::newRow("empty list") << 0 << QList<int>{} << true << u"Add files"_s;
        QTest::newRow("nothing selected") << 2 << QList<int>{} << true << u"Select files"_s;
        QTest::newRow("no preset") << 2 << QList<int>{1} << false << u"Choose a preset"_s;
        QTest::newRow("ready") << 2 << QList<int>{0, 1} << true << u""_s;
    }

    void decisions()
    {
        QFETCH(int, files);
        QFETCH(QList<int>, ticked);
        QFETCH(bool, preset);
        QFETCH(QString, blocker);
        if (files > 0)
            add(QStringList{u"x.png"_s, u"y.png"_s}.mid(0, files));
        tick(ticked);
        if (preset)
            converter().selectOriginalPreset();
        QCOMPARE(converter().convertBlocker(), blocker);
        QCOMPARE(converter().canConvert(), blocker.isEmpty());
        QCOMPARE(converter().canRemove(), !ticked.isEmpty());
        QCOMPARE(converter().allSelected(), files > 0 && ticked.size() == files);
        QCOMPARE(converter().noneSelected(), ticked.isEmpty());
    }

    /// Every preset operation is saved at once: a restarted converter sees the last state.
    void presetsSaveAndUndo()
    {
        converter().addPreset(u"HD"_s, 1920, 1080);
        const QUuid hd = converter().selectedPreset()->id;
        converter().selectOriginalPreset();
        converter().selectOriginalPreset();
        restart();
        QCOMPARE(converter().settings().presets.size(), 2);
        QCOMPARE(converter().selectedPreset()->name, u"Original"_s);
        QVERIFY(converter().selectedPreset()->preserveOriginal);

        // Removing the selected preset hands the selection to the first one left.
        converter().removePreset(converter().selectedPreset()->id);
        QCOMPARE(converter().selectedPreset()->id, hd);
        QCOMPARE(converter().undoText(), u"Removed preset \u201cOriginal\u201d"_s);
        converter().undo();
        QVERIFY(converter().selectedPreset()->preserveOriginal);

        converter().removePreset(hd);
        converter().removePreset(QUuid::createUuid()); // nothing to undo: the last undo stays
        converter().undo();
        restart();
        QCOMPARE(converter().settings().presets.first().id, hd);
        QVERIFY(converter().selectedPreset()->preserveOriginal);
        converter().removePreset(hd);
        converter().removePreset(converter().selectedPreset()->id);
        QVERIFY(!converter().hasSelectedPreset());
    }

    /// Other settings are published at once but stored only by saveSettings.
    void settingsAreStoredOnlyWhenSaved_data()
    {
        QTest::addColumn<QString>("ppiOption");
        QTest::addColumn<qint64>("effectivePPI");
        QTest::newRow("fixed") << u"150"_s << qint64(150);
        QTest::newRow("custom") << u"Custom"_s << qint64(240);
        QTest::newRow("unknown") << u"bogus"_s << qint64(240);
    }

    void settingsAreStoredOnlyWhenSaved()
    {
        QFETCH(QString, ppiOption);
        QFETCH(qint64, effectivePPI);
        ConverterSettings changed = converter().settings();
        changed.ppiOption = ppiOption;
        changed.customPPI = 240;
        converter().setSettings(changed);
        QCOMPARE(converter().effectivePPI(), effectivePPI);
        QCOMPARE(ImageConverter().effectivePPI(), 72);
        converter().saveSettings();
        QCOMPARE(ImageConverter().effectivePPI(), effectivePPI);
    }

    void storedOutputFolder_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("used");
        QTest::newRow("existing folder") << QVariant(m_dir.path() + u"/./"_s) << true;
        QTest::newRow("as bytes") << QVariant(m_dir.path().toUtf8()) << true;
        QTest::newRow("a file") << QVariant(m_dir.filePath(u"f.png"_s)) << false;
        QTest::newRow("gone") << QVariant(m_dir.filePath(u"gone"_s)) << false;
        QTest::newRow("relative") << QVariant(u"relative/path"_s) << false;
        QTest::newRow("empty") << QVariant(u""_s) << false;
        QTest::newRow("not text") << QVariant(42) << false;
    }

    void storedOutputFolder()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, used);
        QFile(m_dir.filePath(u"f.png"_s)).open(QIODevice::WriteOnly);
        m_prefs->setValue(QLatin1String(Preferences::outputFolderKey), stored);
        restart();
        QCOMPARE(converter().hasOutputFolder(), used);
        QCOMPARE(converter().outputFolderPath(), used ? m_dir.path() : QString());
        // The stored value is never rewritten at start-up.
        QCOMPARE(m_prefs->value(QLatin1String(Preferences::outputFolderKey)), stored);
    }

    void chosenOutputFolderIsRemembered()
    {
        QSignalSpy asked(&converter(), &ImageConverter::outputFolderChooserRequested);
        converter().chooseOutputFolder();
        QCOMPARE(asked.size(), 1);
        converter().setChosenOutputFolder(QUrl());
        converter().setChosenOutputFolder(QUrl(u"https://example.org/x"_s));
        QVERIFY(!ImageConverter().hasOutputFolder());
        converter().setChosenOutputFolder(QUrl::fromLocalFile(m_dir.path()));
        QCOMPARE(converter().outputFolderPath(), m_dir.path());
        QCOMPARE(ImageConverter().outputFolderPath(), m_dir.path());
    }
};

QTEST_GUILESS_MAIN(TestImageConverter)
#include "tst_imageconverter.moc"
