#include "convertersettings.h"
#include "presetform.h"
#include "settingspanel.h"
#include "windowharness.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString settingsKey = u"converterSettingsV5"_s;

ConverterSettings stored(WindowHarness &w)
{
    return ConverterSettings::fromJson(w.preferences().value(settingsKey).toByteArray())
        .value_or(ConverterSettings{});
}

/// The keys of the run's options that a stored settings document holds as true, and
/// "encoderEffort=…" unless it is the default, sorted.
QStringList optionsOn(const QVariant &document)
{
    const QJsonObject object = QJsonDocument::fromJson(document.toByteArray()).object();
    QStringList on;
    if (const QString effort = object.value(u"encoderEffort"_s).toString(); effort != u"best")
        on.append(u"encoderEffort="_s + effort);
    for (const QString &key : {u"keepFolders"_s, u"skipExistingOutputs"_s, u"keepFileDates"_s,
                               u"keepPhotoDetails"_s, u"keepLocation"_s, u"firstFrameOnly"_s}) {
        if (object.value(key).toBool())
            on.append(key);
    }
    on.sort();
    return on;
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
        QCOMPARE(w.text(u"presetNameLabel"_s), u"Original"_s);
        QVERIFY(!w.item(u"presetSizeLabel"_s)->isVisible());
        w.converter()->settingsStore()->addPreset(u"Web pictures for the spring catalogue"_s, 1200,
                                                  800);
        QVERIFY(w.open(menu));
        const QStringList both = {
            u"Original"_s, u"Web pictures for the spring catalogue  \u00b7  1200 \u00d7 800"_s};
        QCOMPARE(WindowHarness::menuEntries(menu), both + always + QStringList{u"Remove >"_s});
        QCOMPARE(w.text(u"presetSizeLabel"_s), u"1200 \u00d7 800"_s);
        // A long name is elided, so that at the window's smallest the quality slider, its
        // value and the options stay within the strip's margins.
        ConverterSettings quality = w.converter()->settings();
        quality.fileSizeLimitEnabled = false;
        w.converter()->settingsStore()->use(quality);
        w.window()->resize(w.window()->minimumWidth(), w.window()->height());
        // The platform hands the new size to the window's content as an event.
        QTRY_COMPARE(w.contentView()->width(), qreal(w.window()->width()));
        w.render();
        QVERIFY(w.item(u"presetNameLabel"_s)->property("truncated").toBool());
        QQuickItem *row = w.item(u"optionsButton"_s)->parentItem();
        for (const QString &name :
             {u"qualityLabel"_s, u"optionsButton"_s, u"outputFolderButton"_s}) {
            const QQuickItem *last = w.item(name);
            const QPointF corner = last->mapToScene({last->width(), last->height()});
            // The strip's controls stay inside the strip too.
            const bool inStrip = name == u"outputFolderButton"_s ||
                                 last->mapToItem(row, {last->width(), 0}).x() <= row->width();
            QVERIFY2(last->isVisible() && inStrip && corner.x() <= w.window()->width() &&
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

    // Each option is stored the moment its control is worked, by the mouse or by the keys, and
    // shows again after a restart; "Keep location" can be ticked only while photo details are
    // kept. Escape closes the options and gives the focus back to their button.
    void optionsAreStored_data()
    {
        addRowsFrom("window-options.txt", {"control", "how", "before", "after", "ticked"});
    }
    void optionsAreStored()
    {
        const auto [control, how, before, after, ticked] =
            fields("control", "how", "before", "after", "ticked");
        QJsonObject document = QJsonDocument::fromJson(ConverterSettings{}.toJson()).object();
        for (const QString &entry : before.split(u' ', Qt::SkipEmptyParts)) {
            const QString key = entry.section(u'=', 0, 0);
            document[key] = entry.contains(u'=') ? QJsonValue(entry.section(u'=', 1)) : true;
        }
        auto w = std::make_unique<WindowHarness>(
            QVariantMap{{settingsKey, QJsonDocument(document).toJson(QJsonDocument::Compact)}});
        const bool inPopup = control != u"keepFoldersCheck";
        QObject *popup = w->find(u"optionsPopup"_s);
        QQuickItem *button = w->item(u"optionsButton"_s);
        if (how != u"click") {
            button->forceActiveFocus();
            w->pressKey(Qt::Key_Space);
            QTRY_VERIFY(popup->property("opened").toBool());
            for (int tabs = 0; tabs < 8 && !w->item(control)->hasActiveFocus(); ++tabs)
                w->pressKey(Qt::Key_Tab);
            QVERIFY(w->item(control)->hasActiveFocus());
            w->pressKey(how == u"down" ? Qt::Key_Down : Qt::Key_Space);
        } else {
            if (inPopup) {
                w->click(button);
                QTRY_VERIFY(popup->property("opened").toBool());
            }
            w->click(w->item(control));
        }
        const QVariant stored = w->preferences().value(settingsKey);
        QStringList expected = after.split(u' ', Qt::SkipEmptyParts);
        expected.sort();
        QCOMPARE(optionsOn(stored), expected);
        if (inPopup) {
            w->pressKey(Qt::Key_Escape);
            QTRY_VERIFY(!popup->property("visible").toBool());
            QVERIFY(button->hasActiveFocus() && button->property("visualFocus").toBool());
        }
        w.reset();

        WindowHarness again({{settingsKey, stored}});
        if (inPopup)
            QVERIFY(again.open(again.find(u"optionsPopup"_s)));
        const QVariant picked = again.item(control)->property("currentText");
        if (picked.isValid())
            QCOMPARE(picked.toString(), ticked);
        else
            QCOMPARE(again.item(control)->property("checked").toBool(), ticked == u"yes");
        QCOMPARE(again.item(u"keepLocationCheck"_s)->isEnabled(),
                 expected.contains(u"keepPhotoDetails"_s));
    }

    // The sheet that New Preset opens: each field says what is wrong with it and Add is enabled
    // exactly when none does. It opens empty, stretching, with the cursor in Name; Tab goes
    // Name, Width, Height, Mode, Shrink only, Add. Return adds a valid preset, with its mode,
    // which the preset button then shows; an invalid one stays until Escape or Cancel.
    void presetSheetFields_data()
    {
        addRowsFrom("window-preset-fields.txt",
                    {"name", "width", "height", "nameError", "sizeError", "closeBy", "mode",
                     "shrink", "shown"});
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
        const auto [mode, shrink, shown] = fields("mode", "shrink", "shown");
        const QStringList modes = {u"stretch"_s, u"fit"_s, u"fill"_s};
        w.pressKey(Qt::Key_Tab);
        QVERIFY(w.item(u"resizeModePicker"_s)->hasActiveFocus());
        for (int down = 0; down < modes.indexOf(mode); ++down)
            w.pressKey(Qt::Key_Down);
        w.pressKey(Qt::Key_Tab);
        QVERIFY(w.item(u"shrinkOnlyCheck"_s)->hasActiveFocus());
        if (shrink == u"yes")
            w.pressKey(Qt::Key_Space);
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
            const QJsonObject document =
                QJsonDocument::fromJson(w.preferences().value(settingsKey).toByteArray()).object();
            const QJsonObject preset = document.value(u"presets"_s).toArray().at(0).toObject();
            QCOMPARE(preset.value(u"resizeMode"_s).toString(), mode);
            QCOMPARE(preset.value(u"shrinkOnly"_s).toBool(), shrink == u"yes");
            QCOMPARE(w.text(u"presetSizeLabel"_s), shown);
            // A short name shows whole.
            QVERIFY(!w.item(u"presetNameLabel"_s)->property("truncated").toBool());
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
        QCOMPARE(w.find(u"resizeModePicker"_s)->property("currentIndex").toInt(), 0);
        QCOMPARE(w.find(u"shrinkOnlyCheck"_s)->property("checked").toBool(), false);
    }
};

QTEST_MAIN(TestSettingsStrip)
#include "tst_settingsstrip.moc"
