#include "imageconverter.h"
#include "preferences.h"
#include "presetlistmodel.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

/// The converter's list, selection, presets, stored settings, undo and the decisions it
/// publishes, its list model checked by QAbstractItemModelTester throughout; runs are in
/// tst_batchrun.
class TestImageConverter : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::optional<TemporaryPreferences> m_prefs;
    std::optional<ImageConverter> m_converter;
    std::optional<QAbstractItemModelTester> m_tester;

    ImageConverter &converter() { return *m_converter; }
    FileListModel *model() { return m_converter->fileModel(); }

    /// Adds `names` (created empty) and waits for them.
    void add(const QStringList &names)
    {
        QSignalSpy added(&converter(), &ImageConverter::filesAdded);
        converter().addFiles(touch(m_dir.path(), names));
        QVERIFY(added.wait());
    }

    /// The rows as the model shows them: "a.png" selected, "a.png-" not.
    QString rows()
    {
        QStringList result;
        for (int row = 0; row < model()->rowCount(); ++row) {
            const QModelIndex index = model()->index(row);
            result.append(index.data(FileListModel::FileNameRole).toString() +
                          (index.data(FileListModel::IsSelectedRole).toBool() ? u""_s : u"-"_s));
        }
        return result.join(u' ');
    }

    /// The selected, done and failed counts.
    QString counts()
    {
        return u"%1 %2 %3"_s.arg(converter().fileModel()->selectedCount())
            .arg(converter().fileModel()->doneCount())
            .arg(converter().fileModel()->errorCount());
    }

    /// Ticks exactly the rows listed, through the model as a row's checkbox does.
    void tick(const QString &ticked)
    {
        const QStringList listed = ticked.split(u' ');
        for (int row = 0; row < model()->rowCount(); ++row)
            QVERIFY(model()->setData(model()->index(row), listed.contains(QString::number(row)),
                                     FileListModel::IsSelectedRole));
    }

    void restart()
    {
        m_tester.reset();
        m_converter.emplace();
        m_tester.emplace(model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
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

    void listOperations_data()
    {
        addRowsFrom("list-operations.txt",
                    {"ticked", "operations", "after", "expectedCounts", "blocker", "undoText"});
    }

    void listOperations()
    {
        const auto [ticked, operations, after, expectedCounts, blocker, undoText] =
            fields("ticked", "operations", "after", "expectedCounts", "blocker", "undoText");
        add({u"a.png"_s, u"b.png"_s, u"c.png"_s, u"d.png"_s});
        QVERIFY(model()->setStatus(converter().files().at(1).id, ConversionStatus::done({}, 9)));
        QVERIFY(model()->setStatus(converter().files().at(2).id, ConversionStatus::error({})));
        tick(ticked);
        const QString beforeRows = rows();
        const QString before = beforeRows + counts();
        QSignalSpy changed(model(), &QAbstractItemModel::dataChanged);
        // Each operation belongs to the object whose state it changes.
        for (const QString &operation : operations.split(u' ')) {
            const QByteArray method = operation.toLatin1();
            QObject *owner = converter().metaObject()->indexOfMethod(method + "()") >= 0
                                 ? &converter()
                             : model()->metaObject()->indexOfMethod(method + "()") >= 0
                                 ? static_cast<QObject *>(model())
                                 : converter().settingsStore();
            QVERIFY(QMetaObject::invokeMethod(owner, method.constData()));
        }
        QCOMPARE(rows(), after);
        // Rows that stay but look different are announced, so that their views redraw.
        if (converter().fileModel()->fileCount() == 4 && after != beforeRows)
            QVERIFY(!changed.isEmpty());
        QCOMPARE(counts(), expectedCounts);
        const qint64 selected = converter().fileModel()->selectedCount();
        QCOMPARE(converter().convertBlocker(), blocker);
        QCOMPARE(converter().canConvert(), blocker.isEmpty());
        QCOMPARE(converter().canRemove(), selected > 0);
        QCOMPARE(converter().fileModel()->allSelected(),
                 selected > 0 && selected == converter().fileModel()->fileCount());
        QCOMPARE(converter().undoText(), undoText);
        QCOMPARE(converter().canUndo(), !undoText.isEmpty());
        converter().undo();
        QCOMPARE(rows() + counts(), undoText.isEmpty() ? after + expectedCounts : before);
        QVERIFY(!converter().canUndo());
    }

    /// What a row shows of its status, through the roles the views bind to.
    void rowRoles()
    {
        QLocale::setDefault(QLocale::German); // sizes keep a full stop all the same
        add({u"a.png"_s, u"b.png"_s});
        model()->setStatus(converter().files().at(0).id,
                           ConversionStatus::done(u"/o.webp"_s, 12595), 4096);
        model()->setStatus(converter().files().at(1).id,
                           ConversionStatus::error(u"bad"_s, u"why"_s));
        QStringList shown;
        for (int row = 0; row < 2; ++row) {
            for (const int role : {FileListModel::PathRole, FileListModel::StatusTextRole,
                                   FileListModel::DetailRole, FileListModel::InputSizeRole,
                                   FileListModel::OutputPathRole, FileListModel::OutputSizeRole})
                shown.append(model()->index(row).data(role).toString());
        }
        QCOMPARE(shown.join(u'|'), m_dir.filePath(u"a.png|12.3 KB||4096|/o.webp|12595|"_s) +
                                       m_dir.filePath(u"b.png|bad|why|-1||0"_s));
        QVERIFY(!model()->setData(model()->index(0), false, FileListModel::StatusTextRole));
        QLocale::setDefault(QLocale::c());
    }

    /// Many separate runs of removed rows, put back after a later addition; then one long run.
    void undoAfterFurtherAdditionsRestoresPlaces()
    {
        QStringList names;
        QStringList odd;
        QStringList expected;
        for (int i = 0; i < 100; ++i) {
            names.append(u"%1.png"_s.arg(i));
            odd.append(QString::number(i % 2 == 1 ? i : -1));
            expected.append(names.last() + (i % 2 == 1 ? u""_s : u"-"_s));
        }
        add(names);
        tick(odd.join(u' '));
        converter().removeSelected();
        add({u"late.png"_s});
        converter().undo();
        QCOMPARE(rows(), expected.join(u' ') + u" late.png"_s);
        QCOMPARE(converter().fileModel()->selectedCount(), 51);
        // A status still reaches its row by id after the list was rebuilt.
        QVERIFY(model()->setStatus(converter().files().last().id, ConversionStatus::error({})));
        QCOMPARE(converter().files().last().status.kind(), ConversionStatus::Kind::error);
        // One run of rows comes back as rows inserted, which keeps a view where it was.
        converter().clearAll();
        QSignalSpy reset(model(), &QAbstractItemModel::modelReset);
        converter().undo();
        QCOMPARE(reset.size(), 0);
        QVERIFY(model()->setStatus(converter().files().last().id, ConversionStatus::cancelled()));
        QCOMPARE(converter().files().last().status.kind(), ConversionStatus::Kind::cancelled);
    }

    /// Every preset operation is saved at once: a restarted converter sees the last state.
    void presetsSaveAndUndo()
    {
        converter().settingsStore()->addPreset(u"HD"_s, 1920, 1080);
        const QUuid hd = converter().selectedPreset()->id;
        converter().settingsStore()->selectOriginalPreset();
        converter().settingsStore()->selectOriginalPreset();
        restart();
        QCOMPARE(converter().settings().presets.size(), 2);
        QCOMPARE(converter().selectedPreset()->name, u"Original"_s);
        QVERIFY(converter().selectedPreset()->preserveOriginal);

        // The preset menu's models follow every change as rows inserted, removed or changed.
        QAbstractItemModelTester presetsTester(
            converter().settingsStore()->presets(),
            QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester removableTester(
            converter().settingsStore()->removablePresets(),
            QAbstractItemModelTester::FailureReportingMode::QtTest);
        const auto menu = [this] {
            QStringList entries;
            const QAbstractItemModel *presets = converter().settingsStore()->presets();
            for (int row = 0; row < presets->rowCount(); ++row) {
                const QModelIndex index = presets->index(row, 0);
                entries.append(
                    index.data(PresetListModel::EntryTextRole).toString() +
                    (index.data(PresetListModel::IsSelectedRole).toBool() ? u"*"_s : u""_s));
            }
            return entries.join(u", "_s) + u" / removable "_s +
                   QString::number(converter().settingsStore()->removablePresets()->rowCount());
        };
        QCOMPARE(menu(), u"HD  \u00B7  1920 \u00D7 1080, Original* / removable 1"_s);

        // Removing the selected preset hands the selection to the first one left.
        converter().removePreset(converter().selectedPreset()->id);
        QCOMPARE(menu(), u"HD  \u00B7  1920 \u00D7 1080* / removable 1"_s);
        QCOMPARE(converter().selectedPreset()->id, hd);
        QCOMPARE(converter().undoText(), u"Removed preset \u201cOriginal\u201d"_s);
        converter().undo();
        QVERIFY(converter().selectedPreset()->preserveOriginal);
        QCOMPARE(menu(), u"HD  \u00B7  1920 \u00D7 1080, Original* / removable 1"_s);

        converter().removePreset(hd);
        converter().removePreset(QUuid::createUuid()); // nothing to undo: the last undo stays
        converter().undo();
        restart();
        QCOMPARE(converter().settings().presets.first().id, hd);
        QVERIFY(converter().selectedPreset()->preserveOriginal);
        converter().removePreset(hd);
        converter().removePreset(converter().selectedPreset()->id);
        QVERIFY(!converter().selectedPreset().has_value());
    }

    /// Settings used for one session (the command line's) are not stored; every change is.
    void settingsAreStoredOnlyWhenChanged_data()
    {
        addRowsFrom("ppi-choices.txt", {"ppiOption", "effectivePPI"});
    }

    void settingsAreStoredOnlyWhenChanged()
    {
        const auto [ppiOption, ppi] = fields("ppiOption", "effectivePPI");
        const qint64 effectivePPI = ppi.toLongLong();
        ConverterSettings changed = converter().settings();
        changed.ppiOption = ppiOption;
        changed.customPPI = 240;
        converter().settingsStore()->use(changed);
        QCOMPARE(converter().settingsStore()->effectivePPI(), effectivePPI);
        QCOMPARE(ImageConverter().settingsStore()->effectivePPI(), 72);
        converter().settingsStore()->change([&](ConverterSettings &s) { s = changed; });
        QCOMPARE(ImageConverter().settingsStore()->effectivePPI(), effectivePPI);
    }

    /// Only a folder that exists is used; a stored one is never rewritten, a chosen one stored.
    void outputFolder_data() { addRowsFrom("output-folders.txt", {"how", "value", "used"}); }

    void outputFolder()
    {
        auto [how, value, used] = fields("how", "value", "used");
        QFile(m_dir.filePath(u"f.png"_s)).open(QIODevice::WriteOnly);
        value.replace(u"DIR"_s, m_dir.path());
        const QVariant stored = how == u"bytes" ? QVariant(value.toUtf8()) : QVariant(value);
        if (how == u"chosen") {
            converter().stop(); // Stop while idle changes nothing
            QVERIFY(!converter().run()->isCancelled());
            QSignalSpy asked(converter().outputFolder(), &OutputFolder::chooserRequested);
            converter().outputFolder()->choose();
            QCOMPARE(asked.size(), 1);
            converter().outputFolder()->setChosen(
                value.startsWith(u'/') ? QUrl::fromLocalFile(value) : QUrl(value));
        } else {
            m_prefs->setValue(QLatin1String(Preferences::outputFolderKey), stored);
            restart();
            QCOMPARE(m_prefs->value(QLatin1String(Preferences::outputFolderKey)), stored);
        }
        const QString folder = used == u"yes" ? m_dir.path() : QString();
        QCOMPARE(converter().outputFolder()->path(), folder);
        QCOMPARE(converter().outputFolder()->isSet(), used == u"yes");
        QCOMPARE(ImageConverter().outputFolder()->path(), folder);
    }
};

QTEST_GUILESS_MAIN(TestImageConverter)
#include "tst_imageconverter.moc"
