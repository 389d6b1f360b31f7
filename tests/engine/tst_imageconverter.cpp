#include "imageconverter.h"
#include "testsupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString settingsKey = QStringLiteral("converterSettingsV5");
const QString folderKey = QStringLiteral("lastOutputFolder");

QByteArray documentWith(const QString &ppiOption, qint64 customPPI, const QString &extra = {})
{
    return QStringLiteral(R"({"presets":[],"ppiOption":"%1","customPPI":%2,)"
                          R"("fileSizeLimitEnabled":true,"fileSizeLimitKB":300,"quality":85%3})")
        .arg(ppiOption)
        .arg(customPPI)
        .arg(extra)
        .toUtf8();
}

void setStatuses(ImageConverter &converter, const QList<ConversionStatus> &statuses)
{
    for (qsizetype i = 0; i < statuses.size(); ++i)
        converter.files().at(i)->setStatus(statuses.at(i));
}

} // namespace

class TestImageConverter : public QObject
{
    Q_OBJECT

private:
    /// Adds `count` made-up image locations and waits until they are in the list.
    static void addImages(ImageConverter &converter, int count)
    {
        QList<QUrl> urls;
        for (int i = 0; i < count; ++i)
            urls.append(QUrl::fromLocalFile(QStringLiteral("/nowhere/%1.png").arg(i)));
        const qsizetype before = converter.files().size();
        converter.addFiles(urls);
        QTRY_COMPARE(converter.files().size(), before + count);
    }

private Q_SLOTS:
    void firstStart()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        QVERIFY(converter.files().isEmpty());
        QVERIFY(converter.outputFolderURL().isEmpty());
        QVERIFY(!converter.selectedPreset());
        QVERIFY(!converter.hasSelectedPreset());
        QCOMPARE(converter.effectivePPI(), 72);
        QCOMPARE(converter.settings().fileSizeLimitEnabled, true);
        QCOMPARE(converter.settings().fileSizeLimitKB, 300);
        QCOMPARE(converter.settings().quality, 85);
        QVERIFY(converter.selectedFiles().isEmpty());
        QCOMPARE(converter.doneCount() + converter.errorCount() + converter.cancelledCount(), 0);
        QVERIFY(!converter.allSelected());
        QVERIFY(converter.noneSelected());
        QVERIFY(!prefs.value(settingsKey).isValid());
    }

    void effectivePPI_data()
    {
        QTest::addColumn<QString>("ppiOption");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("96") << QStringLiteral("96") << qint64(96);
        QTest::newRow("Custom") << QStringLiteral("Custom") << qint64(240);
        QTest::newRow("custom") << QStringLiteral("custom") << qint64(240);
        QTest::newRow("600") << QStringLiteral("600") << qint64(240);
    }

    void effectivePPI()
    {
        QFETCH(QString, ppiOption);
        QFETCH(qint64, expected);
        TemporaryPreferences prefs;
        prefs.setValue(settingsKey, documentWith(ppiOption, 240));
        ImageConverter converter;
        QCOMPARE(converter.settings().ppiOption, ppiOption);
        QCOMPARE(converter.effectivePPI(), expected);
    }

    void badDocumentKeepsFreshRecordAndStoredBytes_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("missing quality")
            << QVariant(documentWith(QStringLiteral("96"), 240).replace(R"(,"quality":85)", ""));
        QTest::newRow("not json") << QVariant(QByteArray("\x00\xff{", 3));
        QTest::newRow("a number") << QVariant(42);
    }

    void badDocumentKeepsFreshRecordAndStoredBytes()
    {
        QFETCH(QVariant, stored);
        TemporaryPreferences prefs;
        prefs.setValue(settingsKey, stored);
        {
            ImageConverter converter;
            QCOMPARE(converter.settings().quality, 85);
            QCOMPARE(converter.settings().ppiOption, QStringLiteral("72"));
            QVERIFY(converter.settings().presets.isEmpty());
        }
        QCOMPARE(prefs.value(settingsKey), stored);

        // The first save replaces it.
        ImageConverter converter;
        converter.saveSettings();
        QVERIFY(ConverterSettings::fromJson(prefs.value(settingsKey).toByteArray()));
    }

    void restartRestoresSettingsAndFolder()
    {
        TemporaryPreferences prefs;
        QTemporaryDir output;
        QUuid webID;
        {
            ImageConverter converter;
            converter.selectOriginalPreset();
            converter.addPreset(QStringLiteral("Web"), 1920, 1080);
            converter.addPreset(QStringLiteral("Thumb"), 200, 200);
            webID = converter.settings().presets.at(1).id;
            ConverterSettings changed = converter.settings();
            changed.selectedPresetID = webID;
            changed.ppiOption = QStringLiteral("Custom");
            changed.customPPI = 240;
            converter.setSettings(changed);
            converter.saveSettings();
            converter.setChosenOutputFolder(QUrl::fromLocalFile(output.path()));
        }
        ImageConverter restarted;
        const auto presets = restarted.settings().presets;
        QCOMPARE(presets.size(), 3);
        QCOMPARE(presets.at(0).name, QStringLiteral("Original"));
        QCOMPARE(presets.at(1).name, QStringLiteral("Web"));
        QCOMPARE(presets.at(2).name, QStringLiteral("Thumb"));
        QCOMPARE(restarted.selectedPreset()->id, webID);
        QCOMPARE(restarted.effectivePPI(), 240);
        QCOMPARE(restarted.outputFolderURL(), QUrl::fromLocalFile(output.path()));
    }

    void writingSettingsDoesNotSave()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        converter.saveSettings();
        const QVariant stored = prefs.value(settingsKey);
        QSignalSpy willChange(&converter, &ImageConverter::objectWillChange);
        ConverterSettings changed = converter.settings();
        changed.quality = 10;
        converter.setSettings(changed);
        QCOMPARE(willChange.size(), 1);
        QCOMPARE(prefs.value(settingsKey), stored);
    }

    void storedFolder_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("restored");
        QTest::newRow("existing folder") << QVariant(QStringLiteral("<dir>")) << true;
        QTest::newRow("empty") << QVariant(QString()) << false;
        QTest::newRow("gone") << QVariant(QStringLiteral("<dir>/gone")) << false;
        QTest::newRow("a file") << QVariant(QStringLiteral("<dir>/file")) << false;
        QTest::newRow("relative") << QVariant(QStringLiteral("relative/path")) << false;
        QTest::newRow("not text") << QVariant(QVariantList{1, 2}) << false;
    }

    void storedFolder()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, restored);
        TemporaryPreferences prefs;
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (stored.typeId() == QMetaType::QString)
            stored = stored.toString().replace(QStringLiteral("<dir>"), dir.path());
        prefs.setValue(folderKey, stored);

        ImageConverter converter;
        QCOMPARE(converter.outputFolderURL().isEmpty(), !restored);
        if (restored)
            QCOMPARE(converter.outputFolderURL().toLocalFile(), dir.path());
        QCOMPARE(prefs.value(folderKey), stored); // start-up never rewrites it
    }

    void derivedCounts()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        addImages(converter, 6);
        setStatuses(converter,
                    {ConversionStatus::done(QStringLiteral("/a.webp"), 1),
                     ConversionStatus::done(QStringLiteral("/b.webp"), 2),
                     ConversionStatus::error(QStringLiteral("x")), ConversionStatus::cancelled(),
                     ConversionStatus::queued(), ConversionStatus::converting()});
        QCOMPARE(converter.doneCount(), 2);
        QCOMPARE(converter.errorCount(), 1);
        QCOMPARE(converter.cancelledCount(), 1);

        converter.files().at(0)->setStatus(ConversionStatus::error(QStringLiteral("y")));
        QCOMPARE(converter.doneCount(), 1);
        QCOMPARE(converter.errorCount(), 2);

        QVERIFY(converter.allSelected());
        converter.files().at(1)->setSelected(false);
        QVERIFY(!converter.allSelected());
        QVERIFY(!converter.noneSelected());
        QCOMPARE(converter.selectedFiles().size(), 5);
        QCOMPARE(converter.selectedFiles().first(), converter.files().at(0));
        QCOMPARE(converter.selectedFiles().at(1), converter.files().at(2));

        // Removing the finished files makes their counts fall back.
        converter.deselectAll();
        converter.files().at(0)->setSelected(true);
        converter.files().at(2)->setSelected(true);
        converter.removeSelected();
        QCOMPARE(converter.files().size(), 4);
        QCOMPARE(converter.errorCount(), 0);
        QCOMPARE(converter.doneCount(), 1);
        QVERIFY(converter.noneSelected());
    }

    void selectAllNotifiesOnceAfterItems()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        QSignalSpy willChange(&converter, &ImageConverter::objectWillChange);
        converter.selectAll();
        QCOMPARE(willChange.size(), 1);
        QVERIFY(!converter.allSelected());
        QVERIFY(converter.noneSelected());

        addImages(converter, 3);
        converter.deselectAll();
        QVERIFY(converter.noneSelected());
        QVERIFY(!converter.allSelected());
        converter.selectAll();
        QVERIFY(converter.allSelected());
        QCOMPARE(converter.selectedCount(), 3);
    }

    void removeSelectedFromALongScatteredList()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        addImages(converter, 1000);
        const auto items = converter.files();
        for (qsizetype i = 0; i < items.size(); i += 3)
            items.at(i)->setSelected(false);
        converter.removeSelected();
        QCOMPARE(converter.files().size(), 334);
        for (qsizetype i = 0; i < converter.files().size(); ++i)
            QCOMPARE(converter.files().at(i), items.at(i * 3));
        // Rows still map to their items after the removal.
        converter.files().at(5)->setStatus(ConversionStatus::cancelled());
        QCOMPARE(converter.fileModel()->index(5).data(FileListModel::StatusNameRole).toString(),
                 QStringLiteral("cancelled"));

        // With nothing selected, removing changes nothing but still notifies once.
        converter.deselectAll();
        QSignalSpy willChange(&converter, &ImageConverter::objectWillChange);
        converter.removeSelected();
        QCOMPARE(willChange.size(), 1);
        QCOMPARE(converter.files().size(), 334);
    }

    void clearAllResetsCounters()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        addImages(converter, 2);
        QSignalSpy willChange(&converter, &ImageConverter::objectWillChange);
        converter.clearAll();
        QVERIFY(converter.files().isEmpty());
        QCOMPARE(converter.completedCount(), 0);
        QCOMPARE(converter.totalCount(), 0);
        QCOMPARE(willChange.size(), 3);
    }

    void presets()
    {
        TemporaryPreferences prefs;
        ImageConverter converter;
        QSignalSpy willChange(&converter, &ImageConverter::objectWillChange);

        converter.selectOriginalPreset();
        QCOMPARE(willChange.size(), 2);
        QCOMPARE(converter.settings().presets.size(), 1);
        const ResolutionPreset original = converter.settings().presets.first();
        QCOMPARE(original.name, QStringLiteral("Original"));
        QCOMPARE(original.width, 0);
        QCOMPARE(original.height, 0);
        QVERIFY(original.preserveOriginal);
        QCOMPARE(converter.selectedPreset(), original);

        converter.selectOriginalPreset();
        QCOMPARE(willChange.size(), 3);
        QCOMPARE(converter.settings().presets.size(), 1);

        converter.addPreset(QStringLiteral("A"), 1920, 1080);
        converter.addPreset(QStringLiteral("A"), 10, 10);
        converter.addPreset(QStringLiteral("B"), 0, -1);
        QCOMPARE(willChange.size(), 9);
        auto presets = converter.settings().presets;
        QCOMPARE(presets.size(), 4);
        QVERIFY(presets.at(1).id != presets.at(2).id);
        QCOMPARE(converter.selectedPreset()->name, QStringLiteral("B"));

        // Removing an unselected preset keeps the selection; removing the selected one hands
        // it to the first preset left.
        converter.removePreset(presets.at(1).id);
        QCOMPARE(converter.selectedPreset()->name, QStringLiteral("B"));
        converter.removePreset(presets.at(3).id);
        QCOMPARE(converter.selectedPreset()->id, original.id);

        willChange.clear();
        converter.removePreset(QUuid::createUuid());
        QCOMPARE(willChange.size(), 1);
        QCOMPARE(converter.settings().presets.size(), 2);

        converter.removePreset(original.id);
        converter.removePreset(presets.at(2).id);
        QVERIFY(converter.settings().presets.isEmpty());
        QVERIFY(!converter.selectedPreset());

        ImageConverter restarted;
        QVERIFY(restarted.settings().presets.isEmpty());
        QVERIFY(!restarted.settings().selectedPresetID);
    }

    void originalPresetReusesAnyPreserveOriginal()
    {
        TemporaryPreferences prefs;
        prefs.setValue(
            settingsKey,
            QByteArray(R"({"presets":[{"id":"3F2504E0-4F89-11D3-9A0C-0305E82C3301",)"
                       R"("name":"Full size","width":5,"height":5,"preserveOriginal":true},)"
                       R"({"id":"3F2504E0-4F89-11D3-9A0C-0305E82C3301","name":"Twin",)"
                       R"("width":1,"height":1}],"ppiOption":"72","customPPI":72,)"
                       R"("fileSizeLimitEnabled":true,"fileSizeLimitKB":300,"quality":85})"));
        ImageConverter converter;
        converter.selectOriginalPreset();
        QCOMPARE(converter.settings().presets.size(), 2);
        // Two presets share the id: the first in list order is the selected one.
        QCOMPARE(converter.selectedPreset()->name, QStringLiteral("Full size"));
    }

    void selectionNamingNoPresetIsNone()
    {
        TemporaryPreferences prefs;
        prefs.setValue(
            settingsKey,
            documentWith(
                QStringLiteral("72"), 72,
                QStringLiteral(R"(,"selectedPresetID":"3F2504E0-4F89-11D3-9A0C-0305E82C3301")")));
        ImageConverter converter;
        QVERIFY(converter.settings().selectedPresetID);
        QVERIFY(!converter.hasSelectedPreset());
    }

    void chooseOutputFolder()
    {
        TemporaryPreferences prefs;
        QTemporaryDir first;
        QTemporaryDir second;
        ImageConverter converter;
        QSignalSpy asked(&converter, &ImageConverter::outputFolderChooserRequested);
        converter.chooseOutputFolder();
        QCOMPARE(asked.size(), 1);
        QVERIFY(converter.outputFolderURL().isEmpty()); // cancelled: nothing changes
        QVERIFY(!prefs.value(folderKey).isValid());

        converter.setChosenOutputFolder(QUrl::fromLocalFile(first.path()));
        converter.setChosenOutputFolder(QUrl::fromLocalFile(second.path()));
        QCOMPARE(converter.outputFolderURL().toLocalFile(), second.path());
        QCOMPARE(ImageConverter().outputFolderURL().toLocalFile(), second.path());
    }
};

QTEST_GUILESS_MAIN(TestImageConverter)
#include "tst_imageconverter.moc"
