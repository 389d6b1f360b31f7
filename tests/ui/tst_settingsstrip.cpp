#include "convertersettings.h"
#include "presetform.h"
#include "settingspanel.h"
#include "windowharness.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QScopeGuard>
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
        addRowsFrom("window-preset-menu.txt",
                    {"pick", "selected", "sheetShown", "presets", "fontSize"});
    }
    void presetMenuPicks()
    {
        const auto [pick, selected, sheetShown, presets, fontSize] =
            fields("pick", "selected", "sheetShown", "presets", "fontSize");
        const QFont desktopFont = QGuiApplication::font();
        const auto restoreFont = qScopeGuard([&] { QGuiApplication::setFont(desktopFont); });
        if (!fontSize.isEmpty()) {
            QFont larger = desktopFont;
            larger.setPixelSize(fontSize.toInt());
            QGuiApplication::setFont(larger);
        }
        WindowHarness w;
        // The body text is drawn at the application font's size.
        QCOMPARE(w.item(u"sizeLimitSwitch"_s)->property("font").value<QFont>().pixelSize(),
                 QFontInfo(QGuiApplication::font()).pixelSize());
        QObject *menu = w.find(u"presetMenu"_s);
        const QStringList always = {u"---"_s, u"Original Size"_s, u"New Preset\u2026"_s};
        w.converter()->settingsStore()->selectOriginalPreset();
        w.converter()->settingsStore()->addPreset(u"Web pictures for the spring catalogue"_s, 1200,
                                                  800);
        QVERIFY(w.open(menu));
        const QStringList both = {
            u"Original  \u00b7  Original"_s,
            u"Web pictures for the spring catalogue  \u00b7  1200 \u00d7 800"_s};
        QCOMPARE(WindowHarness::menuEntries(menu), both + always + QStringList{u"Remove >"_s});
        QCOMPARE(w.text(u"presetSizeLabel"_s), u"1200 \u00d7 800"_s);
        // A long name is elided, so that at the window's smallest the quality slider and its
        // value stay in.
        ConverterSettings quality = w.converter()->settings();
        quality.fileSizeLimitEnabled = false;
        w.converter()->settingsStore()->use(quality);
        w.window()->resize(w.window()->minimumWidth(), w.window()->height());
        // The platform hands the new size to the window's content as an event.
        QTRY_COMPARE(w.contentView()->width(), qreal(w.window()->width()));
        w.render();
        QVERIFY(w.item(u"presetNameLabel"_s)->property("truncated").toBool());
        for (const QString &name : {u"qualityLabel"_s, u"outputFolderButton"_s}) {
            const QQuickItem *last = w.item(name);
            const QPointF corner = last->mapToScene({last->width(), last->height()});
            QVERIFY2(last->isVisible() && corner.x() <= w.window()->width() &&
                         corner.y() <= w.window()->height(),
                     qPrintable(name));
        }
        auto checkmark = [&](int index) {
            return WindowHarness::itemAt(menu, index)
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
        if (pick == u"button") // the menu's own button closes it
            w.click(w.item(u"presetMenuButton"_s));
        else
            w.click(WindowHarness::itemAt(from, index + (from == menu ? 1 : 0)));
        QVERIFY2(index >= 0 || pick == u"button", qPrintable(entry));
        QTRY_VERIFY(!menu->property("visible").toBool());
        QTRY_VERIFY(!w.find(u"removePresetMenu"_s)->property("visible").toBool());
        const auto chosen = w.converter()->selectedPreset();
        QCOMPARE(chosen ? chosen->name : QString(), selected);
        QCOMPARE(stored(w).selectedPresetID, chosen ? std::optional(chosen->id) : std::nullopt);
        QCOMPARE(w.contentView()->property("showAddPreset").toBool(), sheetShown == u"yes");
        QCOMPARE(w.converter()->settings().presets.size(), presets.toInt());
        if (presets == u"1") {
            QVERIFY(w.open(menu));
            QCOMPARE(WindowHarness::menuEntries(menu), both.mid(0, 1) + always);
        }
    }

    // The fields take digits only. Only a number inside the model's rule is stored; anything
    // else stays in the field, framed in red with the rule as its tooltip, and keeps Convert
    // disabled with the reason beside it, until Escape puts the stored value back. The
    // custom PPI field shows only for "Custom" and keeps its value while hidden; a stored PPI
    // that the picker does not offer selects no entry and shows no field.
    void entryFieldsTakeOnlyAllowedNumbers_data()
    {
        addRowsFrom("window-entry-fields.txt", {"field", "typed", "kept", "error", "shown"});
    }
    void entryFieldsTakeOnlyAllowedNumbers()
    {
        const auto [field, typed, error, kept, shown] =
            fields("field", "typed", "error", "kept", "shown");
        const qint64 value = kept.toLongLong();
        ConverterSettings settings;
        settings.ppiOption = u"600"_s;
        WindowHarness w({{settingsKey, settings.toJson()}});
        QVERIFY(w.addFiles({u"a.png"_s}));
        w.converter()->settingsStore()->selectOriginalPreset();
        QCOMPARE(w.find(u"ppiPicker"_s)->property("currentIndex").toInt(), -1);
        QVERIFY(!w.item(u"customPPIField"_s)->isVisible());
        QQuickItem *input = w.item(field);
        const bool isPPI = field == u"customPPIField";
        if (isPPI)
            choosePPI(w, 4);
        QVERIFY(input->isVisible());
        const QString before = input->property("text").toString();
        const QString keptText = SettingsPanel::formatLocaleInteger(value);

        w.typeInto(input, typed);
        w.pressKey(Qt::Key_Return);
        QCOMPARE(isPPI ? stored(w).customPPI : stored(w).fileSizeLimitKB, value);
        QCOMPARE(input->property("error").toString(), error);
        QCOMPARE(input->property("text").toString(), error.isEmpty() ? keptText : shown);
        const QString blocker =
            isPPI ? u"PPI must be 1\u201365535"_s : u"Size limit must be 1\u20132097151 KB"_s;
        QCOMPARE(w.blocker(), error.isEmpty() ? QString() : blocker);
        QCOMPARE(w.item(u"convertButton"_s)->isEnabled(), error.isEmpty());

        w.pressKey(Qt::Key_Escape);
        QCOMPARE(w.blocker(), QString());
        QCOMPARE(input->property("error").toString(), QString());
        QCOMPARE(input->property("text").toString(), error.isEmpty() ? keptText : before);
        if (isPPI) {
            QCOMPARE(w.converter()->settingsStore()->effectivePPI(), value);
            choosePPI(w, 3);
            QVERIFY(!input->isVisible());
            QCOMPARE(w.converter()->settingsStore()->effectivePPI(), 300);
            choosePPI(w, 4);
            QCOMPARE(input->property("text").toString(), keptText);
        }
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
        qWarning()
            << w.item(u"qualityLabel"_s)->mapToScene({w.item(u"qualityLabel"_s)->width(), 0}).x()
            << slider->mapToScene({slider->width(), 0}).x() << w.window()->width()
            << w.window()->minimumWidth();
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

    // The sheet that New Preset opens: each field says what is wrong with it and Add is enabled
    // exactly when none does. It opens empty with the cursor in Name; Tab goes Name, Width,
    // Height, Add. Return adds a valid preset; an invalid one stays until Escape or Cancel.
    void presetSheetFields_data()
    {
        addRowsFrom("window-preset-fields.txt",
                    {"name", "width", "height", "nameError", "sizeError", "closeBy"});
    }
    void presetSheetFields()
    {
        auto [name, width, height, nameError, sizeError, closeBy] =
            fields("name", "width", "height", "nameError", "sizeError", "closeBy");
        for (QString *field : {&name, &width})
            field->replace(u"\\s"_s, u" "_s);
        sizeError.replace(u"\\n"_s, u"\n"_s);
        const bool valid = nameError.isEmpty() && sizeError.isEmpty();
        WindowHarness w;
        QQuickItem *nameField = w.item(u"presetNameFieldInput"_s);
        QQuickItem *widthField = w.item(u"presetWidthFieldInput"_s);
        QQuickItem *heightField = w.item(u"presetHeightFieldInput"_s);
        QQuickItem *add = w.item(u"addPresetButton"_s);
        w.contentView()->setProperty("showAddPreset", true);
        QTRY_VERIFY(nameField->isVisible() && nameField->hasActiveFocus());
        w.typeInto(nameField, name);
        w.pressKey(Qt::Key_Tab);
        QVERIFY(widthField->hasActiveFocus());
        w.typeInto(widthField, width);
        w.typeInto(heightField, height);
        w.pressKey(Qt::Key_Tab);
        QCOMPARE(add->hasActiveFocus(), valid);
        QQuickItem *shownError =
            w.item(u"presetNameField"_s)->findChild<QQuickItem *>(u"fieldError"_s);
        QCOMPARE(shownError->isVisible() ? shownError->property("text").toString() : QString(),
                 nameError);
        QCOMPARE(w.text(u"sizeError"_s), sizeError);
        QCOMPARE(add->isEnabled(), valid);

        // Return presses Add too; it must do no more than the button.
        w.typeInto(heightField, height);
        w.pressKey(Qt::Key_Return);
        const auto presets = w.converter()->settings().presets;
        QCOMPARE(presets.size(), valid ? 1 : 0);
        QCOMPARE(w.contentView()->property("showAddPreset").toBool(), !valid);
        if (valid) {
            QCOMPARE(presets.first().name, name);
            QCOMPARE(presets.first().width, *PresetForm::parseInteger(width));
            QCOMPARE(presets.first().height, *PresetForm::parseInteger(height));
            QVERIFY(w.converter()->selectedPreset().has_value());
        } else {
            QCOMPARE(w.contentView()->property("newPresetName").toString(), name);
            if (closeBy == u"escape")
                w.pressKey(Qt::Key_Escape);
            else
                w.click(w.item(u"cancelPresetButton"_s));
            QCOMPARE(w.contentView()->property("showAddPreset").toBool(), false);
            QTRY_VERIFY(!w.find(u"addPresetSheet"_s)->property("visible").toBool());
            QVERIFY(w.converter()->settings().presets.isEmpty());
        }
        // It opens empty the next time.
        w.contentView()->setProperty("showAddPreset", true);
        QTRY_VERIFY(nameField->isVisible() && nameField->hasActiveFocus());
        QCOMPARE(nameField->property("text").toString(), QString());
        QCOMPARE(widthField->property("text").toString(), QString());
    }
};

QTEST_MAIN(TestSettingsStrip)
#include "tst_settingsstrip.moc"
