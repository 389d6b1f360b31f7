#include "convertersettings.h"
#include "settingspanel.h"
#include "windowharness.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString settingsKey = u"converterSettingsV5"_s;

ConverterSettings stored(WindowHarness &w)
{
    return ConverterSettings::fromJson(w.preferences().value(settingsKey).toByteArray())
        .value_or(ConverterSettings{});
}

void choosePPI(WindowHarness &w, int index)
{
    QMetaObject::invokeMethod(w.find(u"ppiPicker"_s), "activated", Q_ARG(int, index));
}

} // namespace

class TestSettingsStrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every pick closes the menu and does what it says; the Remove submenu is there only while
    // it has entries; the check mark marks the selected preset in a column of its own.
    void presetMenuPicks_data()
    {
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("sheetShown");
        QTest::addColumn<int>("presets");
        QTest::newRow("a preset") << u"Original  \u00b7  Original"_s << u"Original"_s << false << 2;
        QTest::newRow("Original Size") << u"Original Size"_s << u"Original"_s << false << 2;
        QTest::newRow("New Preset")
            << u"New Preset\u2026"_s << u"Web pictures for the spring catalogue"_s << true << 2;
        QTest::newRow("Remove the last one")
            << u"Remove > Web pictures for the spring catalogue"_s << u"Original"_s << false << 1;
    }
    void presetMenuPicks()
    {
        QFETCH(QString, pick);
        QFETCH(QString, selected);
        QFETCH(bool, sheetShown);
        QFETCH(int, presets);
        WindowHarness w;
        QObject *menu = w.find(u"presetMenu"_s);
        const QStringList always = {u"---"_s, u"Original Size"_s, u"New Preset\u2026"_s};
        w.converter()->selectOriginalPreset();
        w.converter()->addPreset(u"Web pictures for the spring catalogue"_s, 1200, 800);
        QVERIFY(w.open(menu));
        const QStringList both = {
            u"Original  \u00b7  Original"_s,
            u"Web pictures for the spring catalogue  \u00b7  1200 \u00d7 800"_s};
        QCOMPARE(WindowHarness::menuEntries(menu), both + always + QStringList{u"Remove >"_s});
        QCOMPARE(w.text(u"presetSizeLabel"_s), u"1200 \u00d7 800"_s);
        auto checkmark = [&](int index) {
            return WindowHarness::menuItem(menu, index)
                ->findChild<QQuickItem *>(u"presetCheckmark"_s);
        };
        QCOMPARE(checkmark(1)->opacity(), 0.0);
        QCOMPARE(checkmark(2)->opacity(), 1.0);
        w.render();
        for (const int index : {1, 2}) { // the check mark never reaches a title
            QQuickItem *title = checkmark(index)->parentItem()->childItems().at(0);
            QVERIFY(title->mapToScene({title->implicitWidth(), 0}).x() <
                    checkmark(index)->mapToScene({0, 0}).x());
        }
        QObject *from = menu;
        if (pick.startsWith(u"Remove > "_s)) {
            from = w.find(u"removePresetMenu"_s);
            QVERIFY(w.open(from));
            QCOMPARE(WindowHarness::menuEntries(from),
                     QStringList{u"Web pictures for the spring catalogue"_s});
        }
        const QString entry = pick.section(u" > "_s, -1);
        const int index = int(WindowHarness::menuEntries(from).indexOf(entry));
        QVERIFY2(index >= 0, qPrintable(entry));
        w.click(WindowHarness::menuItem(from, index + (from == menu ? 1 : 0)));
        QTRY_VERIFY(!menu->property("visible").toBool());
        QTRY_VERIFY(!w.find(u"removePresetMenu"_s)->property("visible").toBool());
        const auto chosen = w.converter()->selectedPreset();
        QCOMPARE(chosen ? chosen->name : QString(), selected);
        QCOMPARE(stored(w).selectedPresetID, chosen ? std::optional(chosen->id) : std::nullopt);
        QCOMPARE(w.contentView()->property("showAddPreset").toBool(), sheetShown);
        QCOMPARE(w.converter()->settings().presets.size(), presets);
        if (presets == 1) {
            QVERIFY(w.open(menu));
            QCOMPARE(WindowHarness::menuEntries(menu), both.mid(0, 1) + always);
        }
    }

    // Only a whole number inside the model's rule is stored; anything else stays in the field,
    // framed in red with the rule as its tooltip, until Escape puts the stored value back. The
    // custom PPI field shows only for "Custom" and keeps its value while hidden.
    void entryFieldsTakeOnlyAllowedNumbers_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint64>("kept");
        QTest::addColumn<QString>("error");
        const QString whole = u"Type a whole number."_s;
        const QString sizeRule = u"The size limit must be from 1 to 2097151 KB."_s;
        const QString size = u"sizeLimitField"_s;
        QTest::newRow("size: number") << size << u"512"_s << qint64(512) << QString();
        QTest::newRow("size: largest") << size << u"2097151"_s << qint64(2097151) << QString();
        QTest::newRow("size: letters") << size << u"abc"_s << qint64(300) << whole;
        QTest::newRow("size: decimal") << size << u"12.5"_s << qint64(300) << whole;
        QTest::newRow("size: zero") << size << u"0"_s << qint64(300) << sizeRule;
        QTest::newRow("size: too big") << size << u"2097152"_s << qint64(300) << sizeRule;
        QTest::newRow("ppi: number") << u"customPPIField"_s << u"240"_s << qint64(240) << QString();
        QTest::newRow("ppi: zero")
            << u"customPPIField"_s << u"0"_s << qint64(72) << u"PPI must be 1 or more."_s;
    }
    void entryFieldsTakeOnlyAllowedNumbers()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(qint64, kept);
        QFETCH(QString, error);
        WindowHarness w;
        QQuickItem *input = w.item(field);
        const bool isPPI = field == u"customPPIField";
        if (isPPI) {
            QVERIFY(!input->isVisible());
            choosePPI(w, 4);
            QCOMPARE(stored(w).ppiOption, u"Custom"_s);
        }
        QVERIFY(input->isVisible());
        const QString before = input->property("text").toString();
        const QString keptText = SettingsPanel::formatLocaleInteger(kept);

        w.typeInto(input, typed);
        w.pressKey(Qt::Key_Return);
        QCOMPARE(isPPI ? stored(w).customPPI : stored(w).fileSizeLimitKB, kept);
        QCOMPARE(input->property("error").toString(), error);
        QCOMPARE(input->property("text").toString(), error.isEmpty() ? keptText : typed);

        w.pressKey(Qt::Key_Escape);
        QCOMPARE(input->property("error").toString(), QString());
        QCOMPARE(input->property("text").toString(), error.isEmpty() ? keptText : before);
        if (isPPI) {
            QCOMPARE(w.converter()->effectivePPI(), kept);
            choosePPI(w, 3);
            QVERIFY(!input->isVisible());
            QCOMPARE(w.converter()->effectivePPI(), 300);
            choosePPI(w, 4);
            QCOMPARE(input->property("text").toString(), keptText);
        }
    }

    void unknownPPIShowsNoEntry()
    {
        WindowHarness w([](TemporaryPreferences &prefs) {
            ConverterSettings settings;
            settings.ppiOption = u"600"_s;
            prefs.setValue(settingsKey, settings.toJson());
        });
        QCOMPARE(w.find(u"ppiPicker"_s)->property("currentIndex").toInt(), -1);
        QVERIFY(!w.item(u"customPPIField"_s)->isVisible());
    }

    // The switch swaps the size limit for the quality slider and keeps both values; the slider's
    // label follows a drag, the settings take the value on release.
    void limitSwitchAndQualitySlider()
    {
        WindowHarness w;
        QQuickItem *slider = w.item(u"qualitySlider"_s);
        QVERIFY(!slider->isVisible());
        w.click(w.item(u"sizeLimitSwitch"_s));
        QCOMPARE(stored(w).fileSizeLimitEnabled, false);
        QVERIFY(slider->isVisible() && !w.item(u"sizeLimitField"_s)->isVisible());
        QCOMPARE(w.text(u"qualityLabel"_s), u"85%"_s);

        auto *handle = slider->property("handle").value<QQuickItem *>();
        w.render();
        QPointF at = handle->mapToScene(QPointF(handle->width() / 2, handle->height() / 2));
        QTest::mousePress(w.window(), Qt::LeftButton, {}, at.toPoint());
        for (int step = 0; step < 6; ++step) {
            at.rx() -= 4;
            QTest::mouseMove(w.window(), at.toPoint());
        }
        const int shown = int(slider->property("value").toDouble());
        QVERIFY(shown < 85);
        QCOMPARE(w.text(u"qualityLabel"_s), u"%1%"_s.arg(shown));
        QCOMPARE(w.converter()->settings().quality, 85);
        QTest::mouseRelease(w.window(), Qt::LeftButton, {}, at.toPoint());
        QCOMPARE(stored(w).quality, shown);

        w.click(w.item(u"sizeLimitSwitch"_s));
        QVERIFY(w.item(u"sizeLimitField"_s)->isVisible() && !slider->isVisible());
        QCOMPARE(stored(w).fileSizeLimitKB, 300);
        QCOMPARE(stored(w).quality, shown);
    }
};

QTEST_MAIN(TestSettingsStrip)
#include "tst_settingsstrip.moc"
