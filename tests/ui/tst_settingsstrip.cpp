#include "convertersettings.h"
#include "settingspanel.h"
#include "windowharness.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString settingsKey = QStringLiteral("converterSettingsV5");

ConverterSettings stored(WindowHarness &w)
{
    return ConverterSettings::fromJson(w.preferences().value(settingsKey).toByteArray())
        .value_or(ConverterSettings{});
}

} // namespace

class TestSettingsStrip : public QObject
{
    Q_OBJECT

    QObject *presetMenu(WindowHarness &w) { return w.find(QStringLiteral("presetMenu")); }

    QQuickItem *item(WindowHarness &w, const char *name)
    {
        return qobject_cast<QQuickItem *>(w.find(QString::fromLatin1(name)));
    }

    void choosePPI(WindowHarness &w, int index)
    {
        QObject *picker = w.find(QStringLiteral("ppiPicker"));
        QMetaObject::invokeMethod(picker, "activated", Q_ARG(int, index));
    }

private Q_SLOTS:
    void presetMenuFollowsThePresets()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QObject *menu = presetMenu(w);
        QVERIFY(menu);
        QMetaObject::invokeMethod(menu, "open");
        QTRY_VERIFY(menu->property("opened").toBool());
        QVERIFY(w.findVisible(QStringLiteral("noPresetLabel")));
        QCOMPARE(WindowHarness::menuEntries(menu),
                 QStringList(
                     {u"No presets yet"_s, u"---"_s, u"Original Size"_s, u"New Preset\u2026"_s}));
        QVERIFY(!WindowHarness::menuItem(menu, 0)->isEnabled());

        w.converter()->selectOriginalPreset();
        QCOMPARE(WindowHarness::menuEntries(menu),
                 QStringList({u"Original  \u00b7  Original"_s, u"---"_s, u"Original Size"_s,
                              u"New Preset\u2026"_s}));
        QCOMPARE(item(w, "presetNameLabel")->property("text").toString(), u"Original"_s);
        QCOMPARE(item(w, "presetSizeLabel")->property("text").toString(), u"Original"_s);
        QVERIFY(!item(w, "noPresetLabel")->isVisible());

        w.converter()->addPreset(QStringLiteral("Web"), 1200, 800);
        QCOMPARE(WindowHarness::menuEntries(menu),
                 QStringList({u"Original  \u00b7  Original"_s, u"Web  \u00b7  1200 \u00d7 800"_s,
                              u"---"_s, u"Original Size"_s, u"New Preset\u2026"_s, u"Remove >"_s}));
        QCOMPARE(item(w, "presetSizeLabel")->property("text").toString(), u"1200 \u00d7 800"_s);
        // The checkmark is on the selected preset's entry only.
        auto checkmark = [&](int index) {
            return WindowHarness::menuItem(menu, index)
                ->findChild<QQuickItem *>(u"presetCheckmark"_s)
                ->opacity();
        };
        QCOMPARE(checkmark(1), 0.0);
        QCOMPARE(checkmark(2), 1.0);
        // The checkmark keeps a column of its own: the longest title never reaches it.
        w.render();
        const QList<QQuickItem *> parts = WindowHarness::menuItem(menu, 2)
                                              ->property("contentItem")
                                              .value<QQuickItem *>()
                                              ->childItems();
        QVERIFY(parts.at(0)->x() + parts.at(0)->implicitWidth() < parts.at(1)->x());

        QObject *removeMenu = w.find(QStringLiteral("removePresetMenu"));
        QVERIFY(removeMenu);
        QMetaObject::invokeMethod(removeMenu, "open");
        QTRY_VERIFY(removeMenu->property("opened").toBool());
        QCOMPARE(WindowHarness::menuEntries(removeMenu), QStringList({u"Web"_s}));

        // Choosing an entry selects that preset, saves and closes the menu.
        QMetaObject::invokeMethod(WindowHarness::menuItem(menu, 1), "triggered");
        QCOMPARE(w.converter()->selectedPreset()->name, u"Original"_s);
        QCOMPARE(stored(w).selectedPresetID, w.converter()->selectedPreset()->id);
        QTRY_VERIFY(!menu->property("visible").toBool());

        // Removing the last removable preset closes the menus and takes the submenu away.
        QMetaObject::invokeMethod(WindowHarness::menuItem(removeMenu, 0), "triggered");
        QTRY_VERIFY(!removeMenu->property("visible").toBool());
        QTRY_VERIFY(!menu->property("visible").toBool());
        QMetaObject::invokeMethod(menu, "open");
        QTRY_VERIFY(menu->property("opened").toBool());
        QCOMPARE(w.converter()->settings().presets.size(), 1);
        QCOMPARE(WindowHarness::menuEntries(menu),
                 QStringList({u"Original  \u00b7  Original"_s, u"---"_s, u"Original Size"_s,
                              u"New Preset\u2026"_s}));
    }

    void menuActionsWork()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QObject *menu = presetMenu(w);
        QMetaObject::invokeMethod(menu, "open");
        QTRY_VERIFY(menu->property("opened").toBool());
        QQuickItem *originalSize = nullptr;
        QQuickItem *newPreset = nullptr;
        for (int i = 0; i < menu->property("count").toInt(); ++i) {
            QQuickItem *entry = WindowHarness::menuItem(menu, i);
            const QString text = entry->property("text").toString();
            if (text == QStringLiteral("Original Size"))
                originalSize = entry;
            else if (text == QStringLiteral("New Preset\u2026"))
                newPreset = entry;
        }
        QVERIFY(originalSize && originalSize->isEnabled());
        QVERIFY(newPreset && newPreset->isEnabled());
        w.click(newPreset);
        QTRY_VERIFY(w.contentView()->property("showAddPreset").toBool());
    }

    void customPPIFieldKeepsItsValue()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QQuickItem *field = item(w, "customPPIField");
        QVERIFY(!field->isVisible());

        choosePPI(w, 4);
        QCOMPARE(w.converter()->settings().ppiOption, u"Custom"_s);
        QCOMPARE(stored(w).ppiOption, u"Custom"_s);
        QVERIFY(field->isVisible());
        QCOMPARE(field->property("text").toString(), u"72"_s);

        w.typeInto(field, QStringLiteral("240"));
        w.pressKey(Qt::Key_Return);
        QCOMPARE(w.converter()->effectivePPI(), 240);
        QCOMPARE(stored(w).customPPI, 240);

        choosePPI(w, 3);
        QVERIFY(!field->isVisible());
        QCOMPARE(w.converter()->effectivePPI(), 300);
        QCOMPARE(w.converter()->settings().customPPI, 240);

        choosePPI(w, 4);
        QVERIFY(field->isVisible());
        QCOMPARE(field->property("text").toString(), u"240"_s);
    }

    void unknownPPIShowsNoEntry()
    {
        WindowHarness w([](TemporaryPreferences &prefs) {
            ConverterSettings settings;
            settings.ppiOption = QStringLiteral("600");
            settings.customPPI = 600;
            prefs.setValue(settingsKey, settings.toJson());
        });
        QVERIFY(w.isLoaded());
        QCOMPARE(w.find(QStringLiteral("ppiPicker"))->property("currentIndex").toInt(), -1);
        QVERIFY(!item(w, "customPPIField")->isVisible());
    }

    // Only a whole number inside the model's rule is stored; anything else stays in the field,
    // framed in red with the rule as its tooltip, until Escape puts the stored value back.
    void entryFieldsTakeOnlyAllowedNumbers_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint64>("kept");
        QTest::addColumn<QString>("error");
        const QString whole = u"Type a whole number."_s;
        const QString sizeRule = u"The size limit must be from 1 to 2097151 KB."_s;
        QTest::newRow("size: number")
            << "sizeLimitField"_ba << u"512"_s << qint64(512) << QString();
        QTest::newRow("size: largest")
            << "sizeLimitField"_ba << u"2097151"_s << qint64(2097151) << QString();
        QTest::newRow("size: letters") << "sizeLimitField"_ba << u"abc"_s << qint64(300) << whole;
        QTest::newRow("size: decimal") << "sizeLimitField"_ba << u"12.5"_s << qint64(300) << whole;
        QTest::newRow("size: zero") << "sizeLimitField"_ba << u"0"_s << qint64(300) << sizeRule;
        QTest::newRow("size: too big")
            << "sizeLimitField"_ba << u"2097152"_s << qint64(300) << sizeRule;
        QTest::newRow("ppi: number") << "customPPIField"_ba << u"240"_s << qint64(240) << QString();
        QTest::newRow("ppi: zero")
            << "customPPIField"_ba << u"0"_s << qint64(72) << u"PPI must be 1 or more."_s;
    }
    void entryFieldsTakeOnlyAllowedNumbers()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, typed);
        QFETCH(qint64, kept);
        QFETCH(QString, error);
        WindowHarness w;
        QVERIFY(w.isLoaded());
        const bool isPPI = field == "customPPIField";
        if (isPPI)
            choosePPI(w, 4);
        QQuickItem *input = item(w, field.constData());
        QVERIFY(input->isVisible());
        const QString before = input->property("text").toString();

        w.typeInto(input, typed);
        w.pressKey(Qt::Key_Return);
        const ConverterSettings now = w.converter()->settings();
        QCOMPARE(isPPI ? now.customPPI : now.fileSizeLimitKB, kept);
        QCOMPARE(input->property("error").toString(), error);
        QCOMPARE(input->property("text").toString(),
                 error.isEmpty() ? SettingsPanel::formatLocaleInteger(kept) : typed);
        if (error.isEmpty())
            QCOMPARE(isPPI ? stored(w).customPPI : stored(w).fileSizeLimitKB, kept);

        w.pressKey(Qt::Key_Escape);
        QCOMPARE(input->property("error").toString(), QString());
        QCOMPARE(input->property("text").toString(),
                 error.isEmpty() ? SettingsPanel::formatLocaleInteger(kept) : before);
    }

    void limitSwitchShowsQualityAndKeepsBothValues()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        QQuickItem *slider = item(w, "qualitySlider");
        QVERIFY(!slider->isVisible());
        w.click(item(w, "sizeLimitSwitch"));
        QCOMPARE(w.converter()->settings().fileSizeLimitEnabled, false);
        QCOMPARE(stored(w).fileSizeLimitEnabled, false);
        QVERIFY(slider->isVisible());
        QVERIFY(!item(w, "sizeLimitField")->isVisible());
        QCOMPARE(slider->property("value").toDouble(), 85.0);
        QCOMPARE(item(w, "qualityLabel")->property("text").toString(), u"85%"_s);

        w.click(item(w, "sizeLimitSwitch"));
        QVERIFY(item(w, "sizeLimitField")->isVisible());
        QCOMPARE(w.converter()->settings().fileSizeLimitKB, 300);
        QCOMPARE(w.converter()->settings().quality, 85);
    }

    void sliderSavesWhenReleased()
    {
        WindowHarness w;
        QVERIFY(w.isLoaded());
        w.click(item(w, "sizeLimitSwitch"));
        QQuickItem *slider = item(w, "qualitySlider");
        auto *handle = slider->property("handle").value<QQuickItem *>();
        QVERIFY(handle);
        w.render();

        QPointF at = handle->mapToScene(QPointF(handle->width() / 2, handle->height() / 2));
        QTest::mousePress(w.window(), Qt::LeftButton, {}, at.toPoint());
        for (int step = 0; step < 6; ++step) {
            at.rx() -= 4;
            QTest::mouseMove(w.window(), at.toPoint());
        }
        // The label follows the drag; the settings wait for the release.
        const int shown = int(slider->property("value").toDouble());
        QVERIFY(shown < 85);
        QCOMPARE(item(w, "qualityLabel")->property("text").toString(), u"%1%"_s.arg(shown));
        QCOMPARE(w.converter()->settings().quality, 85);
        QTest::mouseRelease(w.window(), Qt::LeftButton, {}, at.toPoint());
        QCOMPARE(w.converter()->settings().quality, shown);
        QCOMPARE(stored(w).quality, shown);
    }
};

QTEST_MAIN(TestSettingsStrip)
#include "tst_settingsstrip.moc"
